#ifndef VALIDEUR_CLASSE_ECRITURE_H
#define VALIDEUR_CLASSE_ECRITURE_H

#include "validation/fichier.h"

#include <functional>
#include <ostream>
#include <string_view>

// Writes a table into `fichier` (standard output when null), emptied
// first, after a byte order mark when `bom`: what it held stays whole
// until then. False with the message written, `nom` naming the table,
// when it could not be written whole.
bool ecrireTableau(Fichier* fichier, bool bom, std::string_view nom,
                   const std::function<void(std::ostream&)>& ecrire);

#endif
