#ifndef VALIDEUR_TERMINAL_H
#define VALIDEUR_TERMINAL_H

#include "analyse.h"
#include "ecran.h"
#include "indices_fichier.h"
#include "presentation.h"
#include "validation/moteur/parcours.h"

#include <cstdint>
#include <deque>
#include <istream>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// The run on a terminal, where a student reads it. Everything written for
// the run fits in the terminal's rows but one, so that the whole of it,
// the first failure included, is on the screen when the run ends. Reports
// appear as they are found (a window of lines later, see alignement.h); a
// cause, a set of hints or the shifts, is shown in full `rapportsParCause`
// times at most and then counted, wherever it falls; the recap, whose rows
// are kept aside from the start, says each cause once with its count. Into
// a file or a pipe, none of this: every report is written.

constexpr std::int64_t rapportsParCause = 3;

// What failures have in common.
// Failures that still differ once a shift is undone come apart from the
// others: what their report would pair are not each other's lines.
enum class Genre : unsigned char { sansIndice, indices, decalage, realignee };

struct Groupe {
    Genre genre = Genre::sansIndice;
    unsigned causes = 0; // the hints' mask, for Genre::indices
    std::int64_t echecs = 0;
    std::int64_t affiches = 0;
    std::int64_t premier = 0;
    std::int64_t dernier = 0;
};

// A failing line waiting for its verdict: its report as the terminal
// would show it, made while its lines were there; empty when it could not
// be shown anyway.
struct EnAttente {
    std::int64_t numeroLigne = 0;
    unsigned causes = 0;
    std::string rapport;
    // The same report without its hints, when it has any: a line that a
    // shift explains is compared with another line's result, and what its
    // hints say of the two is chance.
    std::string sansIndices;
};

// A test line a shift statement may quote: as read, or only its start
// when it is long, with its length for the marker of what is left out.
struct Citation {
    std::string debut;
    std::size_t taille = 0;
};

// A terminal's history over one run.
struct Historique {
    Ecran ecran;
    Analyse analyse;
    // What the hints on the files as wholes need, and the paths they name.
    FaitsFichiers faits;
    std::string cheminAttendu;
    std::string cheminTeste;
    std::deque<EnAttente> enAttente;
    // Test lines as a shift statement quotes them, by number: those the
    // alignment may still name.
    std::deque<std::pair<std::int64_t, Citation>> citations;
    std::vector<Groupe> groupes;
    std::int64_t sautsDits = 0;         // shift statements shown
    std::size_t budget = 0;             // rows for the whole run
    std::size_t budgetRapports = 0;     // rows reports may fill; the rest is the recap's
    std::int64_t nonAffiches = 0;       // failures not shown in full
    std::int64_t sautsTus = 0;          // shifts not stated as found
    bool legendeEcrite = false;
    std::string premierRapport;
    std::size_t rangeePremierRapport = 0; // rows written before it
};

void commencerHistorique(Historique& historique, std::ostream& erreurs, const Presentation& presentation);

// Takes one compared line: shows, counts, or keeps for its verdict the
// lines it can.
void suivreLigne(Historique& historique, const LigneComparee& ligne);

// Takes the end of the walk: every line's verdict.
void terminerHistorique(Historique& historique, const FinParcours& fin);

// Writes the recap, the last thing before the summary line, in the rows
// left (recap.cpp).
void ecrireRecap(Historique& historique, const Decomptes& decomptes, bool modeCorrige);

// The row the summary line will take, as the recap plans for it.
std::size_t rangeesBilan(const Decomptes& decomptes, bool modeCorrige, std::size_t colonnes);

// validerFichiers for a terminal: the walk, the reports as above, the recap,
// then the summary line on `sortie`.
void validerSurTerminal(std::istream& test, std::istream& solution, std::istream& votre,
                        bool modeCorrige, const Presentation& presentation, std::ostream& sortie,
                        std::ostream& erreurs);

#endif
