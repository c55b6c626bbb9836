#ifndef VALIDEUR_UTF16_H
#define VALIDEUR_UTF16_H

#include <string_view>

// Text in UTF-16, which is what Windows PowerShell 5's ">" writes: every
// character of ASCII or Latin-1 takes two bytes, one of them zero. Read as
// lines of bytes, such a file has a zero byte between every two letters,
// and each of its lines after the first starts with the zero that followed
// the previous newline.

enum class OrdreUtf16 { aucun, petitBoutiste, grandBoutiste };

struct EncodageUtf16 {
    OrdreUtf16 ordre = OrdreUtf16::aucun;
    bool marque = false; // a byte order mark, FF FE or FE FF, opens the file
};

// What the first bytes of a file say of its encoding: a byte order mark of
// UTF-16, or, without one, zeros in every other byte of the first
// characters. A few dozen bytes are enough; fewer than four say nothing
// unless they hold a mark.
EncodageUtf16 reconnaitreUtf16(std::string_view debut);

// Whether a line read as bytes is a line of UTF-16 text: a third of its
// bytes or more are zeros, which no line of text in UTF-8 holds.
bool estLigneUtf16(std::string_view ligne);

#endif
