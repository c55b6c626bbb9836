#ifndef VALIDEUR_CLASSE_OPTIONS_H
#define VALIDEUR_CLASSE_OPTIONS_H

// Floor options/: the command line, read into Options (reglages.h). Includes
// plateforme/ and everything below it, and execution/limites.h.

#include "classe/options/reglages.h"

#include <ostream>
#include <string>

// Reads the command line, GNU style. On a usage error, `erreur` says what
// was wrong, in one line.
Demande lireOptions(int argc, char* argv[], Options& options, std::string& erreur);

void ecrireAide(std::ostream& sortie);
void ecrireVersion(std::ostream& sortie);

#endif
