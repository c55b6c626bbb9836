#ifndef VALIDEUR_CLASSE_FUSION_H
#define VALIDEUR_CLASSE_FUSION_H

#include "classe/options/options.h"

#include <string>
#include <string_view>
#include <vector>

// --fusionner: the tables and the class views of a class graded in shares,
// put back together into what one run on one machine writes, byte for
// byte. Returns the status of that run (2 when the shares do not fit).
int fusionner(const Options& options);

#endif
