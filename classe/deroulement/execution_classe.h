#ifndef VALIDEUR_CLASSE_EXECUTION_CLASSE_H
#define VALIDEUR_CLASSE_EXECUTION_CLASSE_H

#include "classe/notation/notation.h"
#include "classe/options/options.h"
#include "classe/vue/vue.h"

#include <string>
#include <vector>

// valideur-classe --executer: each REMISE is a folder whose program is
// built and run on each test set in a sandbox; the table is written, the
// rows left in `notes` for the closing line, with what it adds in `bilan`
// (" ; limites : cgroup v1"...). Returns 2 when nothing could be graded
// (the reason said), 1 when a file could not be written, else 0.
int executerRemises(const Options& options, bool sortieFermee, std::vector<Note>& notes, VueClasse& vue,
                    std::string& bilan);

#endif
