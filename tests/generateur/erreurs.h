#ifndef VALIDEUR_GENERATEUR_ERREURS_H
#define VALIDEUR_GENERATEUR_ERREURS_H

#include "exercice.h"

#include <string>

// The mistakes students' programs make, each applied to an exercise's
// expected results: the files of a class, and a manifest of what a
// terminal must say about each. Written into `dossier`: test.txt,
// attendu.resultat, one <mistake>.resultat each, and cas.tsv, whose lines
// are tab-separated:
//   cas       name, expected file, results file
//   decalage  the exact statement up to its line number, that number
//   indice    a text the run must show, per line or as a warning
//   fichier   a text the run must show once about the files as wholes
//   absent    a text the run must not show
// Returns false when a file cannot be written.
bool ecrireClasse(const Exercice& exercice, const std::string& dossier);

#endif
