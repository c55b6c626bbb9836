#ifndef VALIDEUR_CLASSE_MANQUEES_H
#define VALIDEUR_CLASSE_MANQUEES_H

#include "classe/resultats/resultats.h"
#include "classe/vue/vue.h"

#include <cstddef>
#include <string>
#include <vector>

// The class view's most-missed test lines, at most `nombre`, most missed
// first, each with its three most frequent wrong results, named as lines
// of set `jeu`: what the class report shows of the view.
std::vector<LigneManquee> extraireLignesManquees(const VueClasse& vue, const std::string& jeu,
                                                 std::size_t nombre);

#endif
