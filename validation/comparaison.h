#ifndef VALIDEUR_COMPARAISON_H
#define VALIDEUR_COMPARAISON_H

#include <string>
#include <string_view>

// A line is the bytes between two newlines, newline excluded; a carriage
// return before the newline belongs to the line. Bytes are never decoded.

// The line without its spaces (0x20) and horizontal tabs (0x09).
std::string enleverEspaces(std::string_view ligne);

// True when both texts have the same length and bytes. Short texts, the
// common case, are compared inline without a call to memcmp.
bool ontMemesOctets(std::string_view a, std::string_view b);

// True when both lines hold the same bytes once spaces and tabs are removed.
bool estIdentique(std::string_view attendue, std::string_view obtenue);

#endif
