#ifndef VALIDEUR_TERMINAL_H
#define VALIDEUR_TERMINAL_H

#include "analyse.h"
#include "validation/moteur/parcours.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <vector>

// The run on a terminal, where a student reads it: a cause is said once.
// Failures that a shift of the results explains, and failures in a row
// with a cause already shown `rapportsAvantPli` times, fold into one line;
// past `plafondRapports` reports shown in full, failures are counted and no
// longer shown; a recap ends the reports, with warnings about runs that make
// no sense. Into a file or a pipe, none of this: every report is written.

constexpr std::int64_t plafondRapports = 20;
constexpr std::int64_t rapportsAvantPli = 3;

// Consecutive failures shown as one line: those a shift explains, or those
// of one cause (a mask of Cause).
struct Pli {
    bool ouvert = false;
    bool decalage = false;
    unsigned causes = 0;
    std::int64_t nombre = 0;
    std::int64_t premier = 0;
    std::int64_t dernier = 0;
};

// What the failures of one cause did: reports shown in full, lines folded.
struct ParCauses {
    unsigned causes = 0;
    std::int64_t affiches = 0;
    std::int64_t plies = 0;
};

// A terminal's history over one run.
struct Historique {
    std::ostream* erreurs = nullptr;
    bool couleur = false;
    Analyse analyse;
    Pli pli;
    std::vector<ParCauses> parCauses;
    std::int64_t affiches = 0;    // reports shown in full
    std::int64_t nonAffiches = 0; // failures past the cap
    bool legendeEcrite = false;
};

// Takes one compared line: shows it, folds it or counts it.
void suivreLigne(Historique& historique, const LigneComparee& ligne);

// Closes what is open and writes the recap, the last thing before the
// summary line.
void ecrireRecap(Historique& historique, const Decomptes& decomptes, bool modeCorrige);

// validerFichiers for a terminal: the walk, the reports as above, the recap,
// then the summary line on `sortie`.
void validerSurTerminal(std::istream& test, std::istream& solution, std::istream& votre,
                        bool modeCorrige, bool couleur, std::ostream& sortie,
                        std::ostream& erreurs);

#endif
