#ifndef VALIDEUR_GENERATEUR_OUTILS_H
#define VALIDEUR_GENERATEUR_OUTILS_H

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

// The line without its spaces and tabs: lines that agree give the same.
std::string serrer(const std::string& ligne);

// The plain loop, as simple as it can be written: every report as three
// lines on `erreurs`, the summary on `sortie`. What valideur writes into
// files and pipes must be these bytes.
void modeliser(std::istream& test, std::istream& solution, std::istream& votre, std::ostream& sortie,
               std::ostream& erreurs);

// A terminal's record, as a terminal of `colonnes` columns shows it: the
// rows its lines take once wrapped (escape sequences take none, a tab goes
// to the next multiple of 8, combining marks take no column and wide
// characters two), and the lines of which some row is among the last
// `dernieres` rows.
struct Ecran {
    std::size_t rangees = 0;
    std::string dernieres;
};

Ecran mesurerEcran(const std::string& texte, std::size_t colonnes, std::size_t dernieres);

#endif
