#ifndef VALIDEUR_CLASSE_NOTES_JEUX_H
#define VALIDEUR_CLASSE_NOTES_JEUX_H

#include "classe/notation/jeux.h"
#include "classe/notation/notation.h"
#include "classe/resultats/bareme.h"
#include "classe/sorties/tableau.h"

#include <ostream>
#include <vector>

// The table of a class whose submissions were run: for each test set, its
// counts as in the table of notes, then how its run ended (fin), its CPU
// seconds and its peak memory in MiB; each column prefixed by the set's
// name and a dot when the sets come from --jeux. Then the status, the
// diagnosis of the sets that are not hidden, the participant number, and
// the mark when there is a scheme. Decimals take a point in TSV
// and a comma in CSV, as French spreadsheets read them.
void ecrireNotesJeux(std::ostream& sortie, const std::vector<JeuCorrige>& jeux, const std::vector<Note>& notes,
                     Format format, const Bareme* bareme);

#endif
