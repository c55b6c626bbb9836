#ifndef VALIDEUR_CLASSE_MAXIMA_H
#define VALIDEUR_CLASSE_MAXIMA_H

#include "classe/vue/vue.h"
#include "validation/moteur/parcours.h"

// The lines of each word in the test file, as the loop counts them, and,
// for the class view when there is one, the first bytes of each test line.
// Reads the file from its start; false on a read error.
bool compterMaxima(int descripteur, VueClasse* vue, Decomptes& maxima);

// The same, with how the walk ended: where a blank test line stopped it,
// when lines with a word or more follow it.
bool compterMaxima(int descripteur, VueClasse* vue, Decomptes& maxima, FinParcours& fin);

#endif
