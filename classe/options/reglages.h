#ifndef VALIDEUR_CLASSE_REGLAGES_H
#define VALIDEUR_CLASSE_REGLAGES_H

#include "classe/plateforme/demandes.h"
#include "classe/sorties/tableau.h"

#include "execution/limites.h"

#include <cstddef>
#include <string>
#include <vector>

// What the command line asks of a run.
struct Options {
    std::string sortie;  // empty: standard output
    std::string lignes;  // the class view's file, empty for none
    Format format = Format::tsv;
    bool bom = false;            // a UTF-8 byte order mark first in each table
    bool suivreLiens = false;    // follow the links found inside a REMISE folder
    bool lignesToutes = false;   // the class view keeps submissions with an error of form
    std::size_t lignesMax = 100; // rows of the class view, 0 for all
    // --part=I/N: the I-th of N shares of the submissions; 0 of 0 for all.
    std::size_t part = 0;
    std::size_t parts = 0;
    std::string motif = "*.resultat";
    unsigned taches = 0; // 0: one per core
    std::string cheminTest;
    std::string cheminAttendu;
    std::vector<std::string> remises; // with --fusionner, the shares' files
    DemandesPlateformes plateformes; // scheme, feedback, platforms' files
    // Running each submission: its command, its build, its test sets.
    std::string executer;  // empty: each REMISE holds results files
    std::string construire;
    std::string jeux;      // a folder of test sets; empty: TEST and ATTENDU
    bool sansBacASable = false;
    bool sansCgroups = false;
    Limites limites;
};

enum class Demande { noter, fusionner, aide, version, erreur };

#endif
