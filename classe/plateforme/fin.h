#ifndef VALIDEUR_CLASSE_FIN_H
#define VALIDEUR_CLASSE_FIN_H

#include "classe/plateforme/plateforme.h"
#include "classe/resultats/resultats.h"

#include <ostream>
#include <vector>

// Writes the files asked for, once the class is graded, and closes them:
// Moodle's worksheet, JUnit XML, results.json, the class report, in that
// order. False when one could not be written. `manquees` is null when the
// lines were not followed.
bool ecrirePlateformes(Plateformes& plateformes, const std::vector<LigneManquee>* manquees,
                       std::ostream& erreurs);

#endif
