#ifndef VALIDEUR_CLASSE_NOTATION_EXECUTEE_H
#define VALIDEUR_CLASSE_NOTATION_EXECUTEE_H

#include "classe/notation/jeux.h"
#include "classe/notation/notation.h"
#include "classe/vue/vue.h"

#include "execution/remise.h"

#include <vector>

// Grades one submission by running it: built once, then run on each test
// set, its standard output read straight into the library's loop. The
// failures of a set that is not hidden go into `vue` when there is one;
// with `expliquer`, such a set's explanation and first failures too.
// Unless `seule` (the submission runs alone), a run the wall clock ended
// short of its CPU time leaves the row `aRelancer`, nothing in `vue`.
Note noterExecution(const Execution& execution, const std::vector<JeuCorrige>& jeux, const Remise& remise,
                    VueClasse* vue, bool expliquer = false, bool seule = false);

#endif
