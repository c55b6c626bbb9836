#ifndef VALIDEUR_BILAN_H
#define VALIDEUR_BILAN_H

#include "validation.h"

#include <array>
#include <ostream>
#include <string_view>

// The command words the summary reports, in the order of its fields.
constexpr std::array<std::string_view, 5> commandesBilan = {
    "trace", "localiser", "presences", "frequentations", "duree_rencontres"};

// Writes the summary line: per reported word "agreed/compared" (or the agreed
// count alone in grading mode), fields separated by tabs, then a newline and
// a flush.
void ecrireBilan(const Decompte& nbReussites, const Decompte& nbTests,
                 bool modeCorrige, std::ostream& sortie);

#endif
