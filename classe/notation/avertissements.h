#ifndef VALIDEUR_CLASSE_AVERTISSEMENTS_H
#define VALIDEUR_CLASSE_AVERTISSEMENTS_H

#include "classe/notation/notation.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Signs that the run itself is wrong rather than the submissions, each a
// line for standard error, or nothing.

// No test line begins with one of the five words: the test file and the
// expected results given in each other's place?
std::optional<std::string> signalerIntervertis(const Decomptes& maxima, const FinParcours& fin);

// The test file goes on past a blank line, where the loop stops: the line's
// number and how many lines are never read.
std::optional<std::string> signalerLigneBlanche(const std::string& cheminTest, const FinParcours& fin);

// Most graded submissions stop after the same line: the wrong test file
// for these results? Looked for from three graded submissions.
std::optional<std::string> signalerArretCommun(const std::vector<Note>& notes);

// The same from counts, as the merge has them: how many graded submissions,
// and how many stop after each line. compterArrets adds a share's.
std::optional<std::string> signalerArretCommun(const std::map<std::int64_t, std::int64_t>& parLigne,
                                               std::int64_t notees);
void compterArrets(const std::vector<Note>& notes, std::map<std::int64_t, std::int64_t>& parLigne,
                   std::int64_t& notees);

#endif
