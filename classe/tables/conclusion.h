#ifndef VALIDEUR_CLASSE_CONCLUSION_H
#define VALIDEUR_CLASSE_CONCLUSION_H

#include "classe/options/reglages.h"
#include "classe/vue/vue.h"

#include <cstddef>
#include <ostream>

// The start of the last line on standard error, the same for one run and
// for the merge of its shares: "valideur-classe : 12 remises, 11 notées,
// 1 non notée ; notes : notes.tsv", and the class view's file with what
// it left out. The caller ends the line.
void commencerConclusion(std::ostream& sortie, const Options& options, const VueClasse& vue, std::size_t remises,
                         std::size_t notees);

// The status of a class: 1 when none was found (`aucune`) or a submission
// found was neither graded nor absent, else `code`.
int deciderStatut(bool aucune, std::size_t remises, std::size_t notees, std::size_t absentes, int code);

#endif
