#ifndef VALIDEUR_GENERATEUR_EXERCICE_H
#define VALIDEUR_GENERATEUR_EXERCICE_H

#include <cstdint>
#include <string>
#include <vector>

// A course's exercise as students meet it: people moving between rooms, and
// a program that answers five commands about them. The test file records
// the moves (trace) and asks where people are (localiser), who is in a room
// (presences), whom someone met (frequentations) and how long two people
// spent together (duree_rencontres); the expected results hold a correct
// program's answer to each line, empty where there is nothing to say.

// Deterministic on every platform, unlike the standard distributions.
struct Hasard {
    std::uint64_t etat = 0;
};

std::uint64_t tirer(Hasard& hasard);
// A number in [0, borne).
std::size_t tirerSous(Hasard& hasard, std::size_t borne);

struct Exercice {
    std::vector<std::string> test;
    std::vector<std::string> attendu;
};

Exercice genererExercice(std::uint64_t graine, std::size_t lignes);

#endif
