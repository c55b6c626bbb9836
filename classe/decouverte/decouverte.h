#ifndef VALIDEUR_CLASSE_DECOUVERTE_H
#define VALIDEUR_CLASSE_DECOUVERTE_H

// Floor decouverte/: finding the submissions under the folders given, one
// row per student (remise.h is a row, candidats.h turns what a search found
// into rows). Beside vue/ and formats/, which it never includes; includes
// only sorties/ and resultats/.

#include "classe/decouverte/remise.h"

#include <string>
#include <string_view>
#include <vector>

// True when `nom` does not match `motif` but looks like a results file that
// was misnamed: it matches once letter case is ignored, or a part of it
// ending before a '.' does (an extra suffix such as ".txt").
bool ressembleAuMotif(std::string_view nom, const std::string& motif);

// Each REMISE that is a folder is searched recursively for files whose base
// name matches `motif` (fnmatch). Each entry directly inside it is a
// student: one row each, a folder without a results file included. A
// folder named as a course platform names a student's (with a participant
// number) is that one student, however many files it holds. Links
// inside are not followed unless `suivreLiens`. A REMISE that is no folder
// is a submission itself. A student's copy of the expected results beside
// the results of their program is not the one graded.
Decouverte decouvrirRemises(const std::vector<std::string>& racines, const std::string& motif,
                            bool suivreLiens, const std::string& cheminAttendu);

// With --executer: each REMISE is one submission's folder, its row named
// by the folder's name, in the table's order; a course platform's folder of
// online text is no submission.
Decouverte decouvrirDossiers(const std::vector<std::string>& racines);

#endif
