#ifndef VALIDEUR_UNICODE_H
#define VALIDEUR_UNICODE_H

#include <cstddef>
#include <string>
#include <string_view>

// What the hints need to know of characters: UTF-8 read and written, the
// case and the decomposition of Latin letters, the Windows-1252 code page,
// the invisible characters and their names. Lines are still compared as
// bytes; this only explains why two of them differ.

// A character of a line: its code point and the length of its UTF-8
// sequence, 0 when the byte there starts no well-formed sequence.
struct Point {
    unsigned code = 0;
    std::size_t longueur = 0;
};

// The well-formed UTF-8 sequence that starts at `pos` (< texte.size()): no
// overlong form, no surrogate, nothing above U+10FFFF, none cut short.
Point lirePoint(std::string_view texte, std::size_t pos);

bool estUtf8(std::string_view texte);

// Writes the UTF-8 of `point` (<= U+10FFFF) to `octets`; returns its length.
std::size_t encoderUtf8(unsigned point, char (&octets)[4]);

// The character that byte stands for in Windows-1252; the five bytes that
// code page leaves unassigned stand for themselves, as in Latin-1.
unsigned lireWindows1252(unsigned char octet);

// True when the two letters are one letter in two cases (or the same
// character), for ASCII, Latin-1 Supplement and Latin Extended-A.
bool ontMemeLettre(unsigned x, unsigned y);

// A precomposed Latin letter as its base letter and combining mark
// (U+0300 + marque); base 0 when it has no such decomposition.
struct Decomposition {
    char base = 0;
    unsigned char marque = 0;
};

Decomposition decomposer(unsigned point);

// Characters that show as nothing, or turn the order of what follows
// around: the soft hyphen, the bidirectional marks, embeddings, overrides
// and isolates, zero-width spaces and joiners, the byte order mark.
bool estFormatInvisible(unsigned point);

// The invisible characters in order of code point, each with its rank.
constexpr std::size_t nombreInvisibles = 29;

// The rank of an invisible character; nombreInvisibles for any other.
std::size_t classerInvisible(unsigned point);

// "U+200B espace sans chasse": the code point and French name of the
// invisible character of rank `rang`.
std::string nommerInvisible(std::size_t rang);

#endif
