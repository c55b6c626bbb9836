#ifndef VALIDEUR_VALIDATION_H
#define VALIDEUR_VALIDATION_H

#include <istream>
#include <ostream>
#include <string>
#include <string_view>

// The first word of a test line: the bytes after any leading whitespace
// (space, \t, \n, \v, \f, \r) up to the next whitespace byte or the end.
std::string_view extraireCommande(std::string_view ligneTest);

// The text with its control bytes (0x00-0x08, 0x0A-0x1F, 0x7F) written as
// visible escapes such as \r, \0 or \x1b; tabs and all other bytes unchanged.
std::string echapperControles(std::string_view texte);

// Walks the three inputs in lockstep, reports each disagreeing line on
// `erreurs` unless `silencieux`, then writes the summary line on `sortie`.
// With `echapper`, the reported texts go through echapperControles, for a
// reader at a terminal. Read errors are left in the streams' state for the
// caller to judge.
void validerFichiers(std::istream& test, std::istream& solution,
                     std::istream& votre, bool silencieux, bool modeCorrige,
                     bool echapper, std::ostream& sortie, std::ostream& erreurs);

#endif
