#ifndef VALIDEUR_CLASSE_JEUX_H
#define VALIDEUR_CLASSE_JEUX_H

#include "classe/decouverte/remise.h"
#include "classe/notation/notation.h"

#include <string>
#include <vector>

// A test set: its test file and expected results, and the test file again
// as the runs read it, a sealed in-memory copy: the program gets neither
// the file nor its path, and cannot write to it.
struct JeuCorrige {
    std::string nom;      // prefixes its columns; empty for the only set of TEST ATTENDU
    bool cache = false;   // from caches/: its lines are never shown
    Corrige corrige;
    int copie = -1;       // the sealed copy
    Decomptes maxima;
};

// The sets of `dossier`: each NOM.txt with NOM.resultat beside it, in
// `dossier` and in `dossier`/caches/, sorted by name. False with `erreur`
// (a path and what is wrong with it) when a set is incomplete, two share a
// name or there is none.
bool decouvrirJeux(const std::string& dossier, std::vector<JeuCorrige>& jeux, std::string& erreur,
                   std::string& chemin);

// Makes the sealed copy of the set's test file; false on failure.
bool copierTest(JeuCorrige& jeu);

// The sealed copy opened again, read from its start: one per run.
int ouvrirCopie(const JeuCorrige& jeu);

#endif
