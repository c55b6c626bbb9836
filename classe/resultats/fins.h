#ifndef VALIDEUR_CLASSE_FINS_H
#define VALIDEUR_CLASSE_FINS_H

#include "classe/resultats/resultats.h"

#include <string>
#include <string_view>

// How a run ended, as a student may read it. A hidden set's end says its
// category only: a status number, a signal, seconds or MiB would each carry
// a few bytes of the set's lines out to whoever wrote the program.

// "normale", "temps dépassé", "mémoire dépassée", "plantage", "statut non
// nul", "sortie trop longue", "espace dépassé", or "ne compile pas"; empty
// for an empty end.
std::string categoriserFin(std::string_view fin);

// The end of a set's run for a student: whole for a visible set, its
// category for a hidden one.
std::string montrerFin(const Jeu& jeu, std::string_view fin);

// Whether the run's seconds and MiB may be shown.
inline bool montrerMesures(const Jeu& jeu)
{
    return !jeu.cache;
}

#endif
