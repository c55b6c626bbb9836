#ifndef VALIDEUR_CLASSE_SUIVI_H
#define VALIDEUR_CLASSE_SUIVI_H

#include "classe/resultats/resultats.h"

#include "validation/explication/terminal.h"
#include "validation/moteur/parcours.h"

#include <array>
#include <sstream>
#include <string>

// One run of a submission followed line by line: the analysis that makes
// its row's diagnosis and, when asked, what a student reads of it on a
// terminal, written without colour into a string, and per word its first
// failing line. Only a set whose lines may be shown is ever explained.
struct Suivi {
    bool expliquer = false;
    Historique historique; // its analysis is the row's
    std::ostringstream texte;
    std::array<std::string, nombreMots> premiersEchecs;
};

// `suivi` must stay where it is from here on: its history writes into its
// text.
void preparerSuivi(Suivi& suivi, bool expliquer);

void suivreLigneRemise(Suivi& suivi, const LigneComparee& ligne);

// Ends the analysis; when asked, writes the recap and the summary line as
// the terminal run does and returns the whole explanation.
std::string conclureSuivi(Suivi& suivi, const FinParcours& fin, const Decomptes& decomptes);

#endif
