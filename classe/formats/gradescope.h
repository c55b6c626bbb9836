#ifndef VALIDEUR_CLASSE_GRADESCOPE_H
#define VALIDEUR_CLASSE_GRADESCOPE_H

#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"

#include <ostream>
#include <string_view>
#include <vector>

// results.json for one submission graded inside a hosted autograder's
// container: the mark as `score`, the feedback text as `output`, and one
// test per set and word with its part of the mark, passed when every line
// of it was, hidden for the hidden sets. A hidden set's test says how its
// run ended and its counts, nothing of its lines.
void ecrireGradescope(std::ostream& sortie, const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                      const Notation& notation, std::string_view retour);

#endif
