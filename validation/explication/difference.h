#ifndef VALIDEUR_DIFFERENCE_H
#define VALIDEUR_DIFFERENCE_H

#include "affichage.h"

#include <string_view>

// What is left of each line once the longest common prefix and the longest
// common suffix of their blank-free bytes are taken away, blanks at its
// edges excluded and widened to whole characters. An empty region sits
// where the suffix starts, or at the end of the line.
void trouverRegions(std::string_view a, std::string_view b, Region& regionA, Region& regionB);

#endif
