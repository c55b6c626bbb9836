#ifndef VALIDEUR_CLASSE_JUNIT_H
#define VALIDEUR_CLASSE_JUNIT_H

#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

// JUnit XML as GitLab and Jenkins read it: one testsuite per submission,
// one testcase per set and word ("set : word"), with the run's CPU seconds
// for a visible set; a failure when not every line passed, its message
// also leading its text (all GitLab shows), followed for a visible set by
// the word's first failing line; a student without a submission skipped.
// GitLab keys a test by classname and name across the whole file: the
// classname names the submission, without a dot, made unique when two rows
// share a name.
struct Junit {
    std::set<std::string> suites; // the names given so far
};

void ecrireDebutJunit(std::ostream& sortie);
void ecrireSuiteJunit(std::ostream& sortie, Junit& junit, const std::vector<Jeu>& jeux,
                      const ResultatRemise& remise, const Notation& notation);
void ecrireFinJunit(std::ostream& sortie);

#endif
