#ifndef VALIDEUR_EXPLICATION_INDICES_PARCOURS_H
#define VALIDEUR_EXPLICATION_INDICES_PARCOURS_H

#include "analyse.h"
#include "indices.h"
#include "validation/moteur/parcours.h"

#include <vector>

// Hints on a run as a whole: what the failures show together and no one
// of them does. The terminal run shows each in its recap, one line each,
// within its rows.

// What these hints keep of the lines as they pass: a few counts, no line.
struct IndicesParcours {
    bool vide = true;
};

// Looks at one compared line, as the walk goes.
void observerParcours(IndicesParcours& indices, const LigneComparee& ligne);

// The hints of the whole run, most telling first, once the walk is over.
std::vector<Indice> conclureParcours(const IndicesParcours& indices, const Analyse& analyse);

#endif
