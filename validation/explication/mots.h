#ifndef VALIDEUR_MOTS_H
#define VALIDEUR_MOTS_H

#include <cstddef>
#include <string>
#include <string_view>

// Two lines that say the same words differently: in another order, with
// other separators between them, or after something written before the
// result. A word is a run of letters, digits, '_' and non-ASCII bytes, with
// the '.', ',', '-' and '\'' found inside it ("3.14", "Jean-Luc"); the
// other bytes, blanks aside, separate words. A is the expected line, B the
// one obtained.

// These walks hold a view of every word: lines longer than this are left
// alone, and none of the three says anything of them.
constexpr std::size_t longueurMotsMax = std::size_t{1} << 16;

// True when B holds A's words, as many times each, in another order.
bool ontMotsDansAutreOrdre(std::string_view a, std::string_view b);

// The separators that tell two lines apart when their words are the same
// and in the same order.
struct Separateurs {
    bool trouves = false;
    std::string_view attendu; // the first separator that differs, blanks kept, in A
    std::string_view obtenu;  // the one in its place in B
};

Separateurs trouverSeparateurs(std::string_view a, std::string_view b);

// What B writes before the whole of A, blanks aside: a few bytes that end
// in punctuation, as an invite or a label does ("> ", "Résultat :");
// empty when B is not that. Where A is empty, the prefix must have no
// letter or digit, or any line would pass for one.
std::string_view trouverPrefixe(std::string_view a, std::string_view b);

// A separator or a prefix to quote in a hint: short printable ASCII, blanks
// at its ends taken off; empty when it cannot be quoted as it is.
std::string citerCourt(std::string_view texte);

#endif
