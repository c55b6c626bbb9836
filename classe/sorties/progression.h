#ifndef VALIDEUR_CLASSE_PROGRESSION_H
#define VALIDEUR_CLASSE_PROGRESSION_H

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

// The progress line on a terminal: written over itself, erased at the end.
struct Progression {
    std::size_t total = 0;
    std::chrono::steady_clock::time_point debut;
};

// "12,3 s": seconds with one decimal and a comma.
std::string formaterDuree(std::chrono::steady_clock::duration duree);

void afficherProgression(std::ostream& terminal, const Progression& progression,
                         std::size_t faites);
void effacerProgression(std::ostream& terminal);

#endif
