#ifndef VALIDEUR_RAPPROCHEMENT_H
#define VALIDEUR_RAPPROCHEMENT_H

#include "unicode.h"

#include <array>
#include <cstddef>
#include <string_view>

// Whether two lines agree once one thing that looks alike is forgiven, each
// decided in one walk over both lines together, blanks skipped as the
// comparison skips them. A is the expected line, B the one obtained.

// Which of the two lines something was found in, as a mask.
constexpr unsigned coteA = 1;
constexpr unsigned coteB = 2;

// True when `debut` holds a non-blank byte and its non-blank bytes are the
// first ones of `ligne`, which has more.
bool estDebutStrict(std::string_view debut, std::string_view ligne);

bool concordentSansRetours(std::string_view a, std::string_view b);

// The spaces French typography puts before ":" or inside numbers, which
// look like a space and are none: U+00A0, U+202F and U+2009.
inline constexpr std::array<std::string_view, 3> insecables = {
    "\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89"};

bool concordentSansInsecables(std::string_view a, std::string_view b);

// Forgives letter case in ASCII, Latin-1 Supplement and Latin Extended-A.
bool concordentSaufCasse(std::string_view a, std::string_view b);

// Which lines write decomposed (base letter, then combining mark) a letter
// that the other writes precomposed, when that alone tells them apart; 0
// otherwise.
unsigned trouverDecompositions(std::string_view a, std::string_view b);

// True when `obtenue`, each byte read as Windows-1252 (or Latin-1), is the
// UTF-8 of `attendue`.
bool concordentRelue(std::string_view attendue, std::string_view obtenue);

// True when `obtenue` is `attendue` with the bytes of each of its non-ASCII
// characters read as Windows-1252 (or Latin-1) and written in UTF-8 again.
bool estDoubleEncodage(std::string_view attendue, std::string_view obtenue);

constexpr unsigned virguleDansB = 1;
constexpr unsigned pointDansB = 2;

// Where B has a decimal comma for A's point between two digits (or the
// reverse), when that alone tells them apart; 0 otherwise.
unsigned trouverVirgules(std::string_view a, std::string_view b);

// How many times each invisible character shows in each line, by rank.
struct Invisibles {
    std::array<std::size_t, nombreInvisibles> dansA{};
    std::array<std::size_t, nombreInvisibles> dansB{};
    bool trouve = false;
};

// True when the lines agree once their invisible characters are dropped
// and hold at least one; counts them in `invisibles`.
bool concordentSansInvisibles(std::string_view a, std::string_view b, Invisibles& invisibles);

#endif
