#ifndef VALIDEUR_EXECUTION_NOMBRES_H
#define VALIDEUR_EXECUTION_NOMBRES_H

#include <cstdint>
#include <string_view>

// Numbers as a grader writes them on a command line or in a scheme, and as
// the programs write them for themselves: digits only, no sign, no blank,
// whatever the locale. The bottom of execution/, which everything above
// it reads numbers with.

// A whole number of `base` 10 or 16 between `minimum` and `maximum`.
bool lireEntier(std::string_view texte, std::uint64_t minimum, std::uint64_t maximum, std::uint64_t& nombre,
                int base = 10);

// A decimal number, its separator a point, or a comma too when `virgule`:
// `decimales` gets the digits written after it.
bool lireDecimal(std::string_view texte, bool virgule, double& valeur, int& decimales);

#endif
