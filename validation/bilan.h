#ifndef VALIDEUR_BILAN_H
#define VALIDEUR_BILAN_H

#include <array>
#include <cstdint>
#include <ostream>
#include <string_view>

// The command words the summary reports, in the order of its fields. They
// begin with five different letters, which the loop relies on to recognise
// them from a line's first byte.
constexpr std::array<std::string_view, 5> commandesBilan = {
    "trace", "localiser", "presences", "frequentations", "duree_rencontres"};

// Per reported word, in the order of commandesBilan, a count of lines. No
// other word is counted: no other count is ever read.
using Comptes = std::array<std::int64_t, commandesBilan.size()>;

// Writes the summary line: per reported word "agreed/compared" (or the agreed
// count alone in grading mode), fields separated by tabs, then a newline and
// a flush.
void ecrireBilan(const Comptes& nbReussites, const Comptes& nbTests, bool modeCorrige,
                 std::ostream& sortie);

#endif
