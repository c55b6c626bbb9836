#ifndef VALIDEUR_CLASSE_JUNIT_H
#define VALIDEUR_CLASSE_JUNIT_H

#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

// JUnit XML as GitLab and Jenkins read it: one testsuite per submission,
// one testcase per set and word, a failure when not every line passed,
// holding the word's first failing line for a visible set. GitLab keys a
// test by classname and name across the whole file: the classname names
// the submission, made unique when two rows share a name.
struct Junit {
    std::set<std::string> suites; // the names given so far
};

void ecrireDebutJunit(std::ostream& sortie);
void ecrireSuiteJunit(std::ostream& sortie, Junit& junit, const std::vector<Jeu>& jeux,
                      const ResultatRemise& remise, const Notation& notation);
void ecrireFinJunit(std::ostream& sortie);

#endif
