#ifndef VALIDEUR_EXECUTION_PLACES_H
#define VALIDEUR_EXECUTION_PLACES_H

#include "limites.h"

#include <string>

// An ordinary grader's runs all count against its own process limit
// (RLIMIT_NPROC counts a user id, in every sandbox of it): as many runs at
// once as that limit holds, each with --processus processes, beside what
// the user already runs. Root's runs are not counted against it.
// Returns `taches`, fewer with `message` saying why, or 0 with `message`
// saying how to raise the limit.
unsigned compterPlaces(const Limites& limites, unsigned taches, std::string& message);

#endif
