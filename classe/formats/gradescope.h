#ifndef VALIDEUR_CLASSE_GRADESCOPE_H
#define VALIDEUR_CLASSE_GRADESCOPE_H

#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"

#include <ostream>
#include <string_view>
#include <vector>

// results.json for one submission graded inside a hosted autograder's
// container: the mark as `score`, and one test per set and word with its
// part of the mark, passed when every line of it was. The tests' maxima add
// up to the assignment's points and their scores to `score`, exactly in
// decimal. A hidden set's tests are shown only after the due date or once
// the grades are published (never "hidden", which Gradescope keeps for
// tests without points: its points would count in the total shown at
// once), and say how its run ended as a category, nothing of its lines.
struct Gradescope {
    double sur = 20;              // the assignment's points
    int decimales = 2;            // of the mark
    std::string_view retour;      // `output`: the feedback of the visible sets
    std::string_view visibiliteCachee = "after_published"; // or "after_due_date"
};

void ecrireGradescope(std::ostream& sortie, const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                      const Notation& notation, const Gradescope& gradescope);

#endif
