#ifndef VALIDEUR_INDICES_H
#define VALIDEUR_INDICES_H

#include "validation/rapport.h"

#include <string>
#include <vector>

// What a hint names as the likely cause of a difference, one bit each, so
// that a set of causes is a mask: consecutive failures with the same mask
// share their cause.
enum Cause : unsigned {
    causeFinTeste = 1U << 0,        // the results file has ended
    causeFinAttendu = 1U << 1,      // the expected file has ended
    causeCoupee = 1U << 2,          // V2 stops partway through V1 at the end of its file
    causeRetoursChariot = 1U << 3,  // only carriage returns differ
    causeMarqueOrdre = 1U << 4,     // a byte order mark before the first line
    causeInsecable = 1U << 5,       // a no-break space where the other line has a blank
    causeCasse = 1U << 6,           // only letter case differs
    causeDecomposition = 1U << 7,   // accents precomposed on one side, decomposed on the other
    causePasUtf8 = 1U << 8,         // V2 is not UTF-8 where V1 is
    causeDoubleEncodage = 1U << 9,  // V2 is V1 encoded in UTF-8 twice
    causeVirgule = 1U << 10,        // a decimal comma for a point, or the reverse
    causeInvisible = 1U << 11,      // an invisible character that the other line lacks
    causeUtf16 = 1U << 12,          // a line of UTF-16 text, zero bytes between its letters
    causePrefixe = 1U << 13,        // V2 is V1 after a few bytes of invite or label
    causeOrdre = 1U << 14,          // the same words in another order
    causeSeparateur = 1U << 15,     // the same words with other separators
};

// How many causes there are: bits 0 to nombreCauses - 1.
constexpr unsigned nombreCauses = 16;

// One line of hint: its cause and its French text, without the "indice : "
// that a report puts before it.
struct Indice {
    Cause cause;
    std::string texte;
};

// The hints for one disagreeing line, most telling first; none when nothing
// simple explains the difference.
std::vector<Indice> trouverIndices(const Echec& echec);

#endif
