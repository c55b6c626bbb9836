#ifndef VALIDEUR_CLASSE_PAGE_H
#define VALIDEUR_CLASSE_PAGE_H

#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The class report: one self-contained HTML page, readable without
// JavaScript and without any resource from elsewhere. A histogram of the
// marks (of the lines passed without a scheme), the success rate per set
// and word, how the runs ended, the most-missed test lines with their most
// frequent wrong results, and a row per student linking to its feedback.

// A student's row: its results (explanations left empty), its mark, and
// the feedback file's URL relative to the page, empty for none.
struct RangeePage {
    ResultatRemise remise;
    std::optional<double> note;
    std::string lien;
};

struct Page {
    std::string titre;
    std::vector<Jeu> jeux;
    const Bareme* bareme = nullptr;
    std::vector<RangeePage> rangees;
    std::vector<LigneManquee> lignes; // most missed first
    bool sansVue = false;             // the lines were not followed
};

void ecrirePage(std::ostream& sortie, const Page& page);

#endif
