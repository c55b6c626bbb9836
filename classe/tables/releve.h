#ifndef VALIDEUR_CLASSE_RELEVE_H
#define VALIDEUR_CLASSE_RELEVE_H

#include "classe/tables/bordereau.h"
#include "classe/decouverte/decouverte.h"
#include "classe/sorties/identites.h"
#include "classe/notation/notation.h"
#include "classe/options/options.h"

#include <string>
#include <vector>

// A share's slip, as the share makes it: begun with what makes a grade and
// the whole class found, ended once its table and view are written.

// The options that change a grade or a table, and the key's files: TEST
// and ATTENDU, or each test set (`nom` empty for TEST ATTENDU).
Bordereau commencerBordereau(const Options& options);
void ajouterCorrige(Bordereau& bordereau, const std::string& test, const std::string& attendu,
                    const std::string& nom = {}, bool cache = false);

// The whole class, sorted as the table, each submission with the
// fingerprint of what it holds now.
void releverClasse(Bordereau& bordereau, const std::vector<Remise>& remises);

// Before the share writes anything: its slip says it is under way, so
// that a share stopped midway is known as unfinished. The slip, beside the
// table, is never one of the run's known files. False with the message
// written.
bool annoncerPart(const Options& options, const Identites& identites);

// Once the table and the view are whole: the slip, with their
// fingerprints and what the merge needs of the graded rows, replaces the
// one under way in one step. False with the message written.
bool signerPart(const Options& options, Bordereau& bordereau, const std::vector<Note>& notes);

#endif
