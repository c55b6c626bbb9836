#ifndef VALIDEUR_CLASSE_OPTIONS_H
#define VALIDEUR_CLASSE_OPTIONS_H

#include "plateforme.h"
#include "tableau.h"

#include <ostream>
#include <string>
#include <vector>

struct Options {
    std::string sortie;  // empty: standard output
    std::string lignes;  // the class view's file, empty for none
    Format format = Format::tsv;
    bool bom = false;
    bool suivreLiens = false; // follow the links found inside a REMISE folder
    bool lignesToutes = false;   // the class view keeps submissions with an error of form
    std::size_t lignesMax = 100; // rows of the class view, 0 for all    // a UTF-8 byte order mark first in each table
    std::string motif = "*.resultat";
    unsigned taches = 0; // 0: one per core
    std::string cheminTest;
    std::string cheminAttendu;
    std::vector<std::string> remises;
    DemandesPlateformes plateformes; // scheme, feedback, platforms' files
};

enum class Demande { noter, aide, version, erreur };

// Reads the command line, GNU style. On a usage error, `erreur` says what
// was wrong, in one line.
Demande lireOptions(int argc, char* argv[], Options& options, std::string& erreur);

void ecrireAide(std::ostream& sortie);
void ecrireVersion(std::ostream& sortie);

#endif
