#include "tableau.h"

#include <cstddef>

namespace {

// The length of the valid UTF-8 sequence at `i`, or 0 when the byte there
// does not begin one.
std::size_t mesurerSequence(std::string_view texte, std::size_t i)
{
    const auto octet = [&texte](std::size_t j) { return static_cast<unsigned char>(texte[j]); };
    const unsigned char premier = octet(i);
    std::size_t longueur = 0;
    unsigned char minimum = 0x80;
    unsigned char maximum = 0xBF;
    if (premier >= 0xC2 && premier <= 0xDF) {
        longueur = 2;
    } else if (premier >= 0xE0 && premier <= 0xEF) {
        longueur = 3;
        if (premier == 0xE0)
            minimum = 0xA0; // overlong
        else if (premier == 0xED)
            maximum = 0x9F; // surrogates
    } else if (premier >= 0xF0 && premier <= 0xF4) {
        longueur = 4;
        if (premier == 0xF0)
            minimum = 0x90;
        else if (premier == 0xF4)
            maximum = 0x8F;
    } else {
        return 0;
    }
    if (texte.size() - i < longueur)
        return 0;
    if (octet(i + 1) < minimum || octet(i + 1) > maximum)
        return 0;
    for (std::size_t j = 2; j < longueur; ++j) {
        if (octet(i + j) < 0x80 || octet(i + j) > 0xBF)
            return 0;
    }
    return longueur;
}

// C1 controls, U+2028 and U+2029, and the marks, embeddings, overrides and
// isolates that reorder text: valid UTF-8 that still must not be shown.
bool estCaractereDangereux(std::string_view sequence)
{
    const auto octet = [&sequence](std::size_t j) { return static_cast<unsigned char>(sequence[j]); };
    if (sequence.size() == 2)
        return (octet(0) == 0xC2 && octet(1) <= 0x9F)   // C1
            || (octet(0) == 0xD8 && octet(1) == 0x9C);  // U+061C
    if (sequence.size() != 3 || octet(0) != 0xE2)
        return false;
    const unsigned point = (static_cast<unsigned>(octet(1)) << 8) | octet(2);
    return (point >= 0x808E && point <= 0x808F)  // U+200E, U+200F
        || (point >= 0x80A8 && point <= 0x80AE)  // U+2028 to U+202E
        || (point >= 0x81A6 && point <= 0x81A9); // U+2066 to U+2069
}

} // namespace

std::string rendreInoffensif(std::string_view texte)
{
    std::string resultat;
    resultat.reserve(texte.size());
    std::size_t i = 0;
    while (i < texte.size()) {
        const auto octet = static_cast<unsigned char>(texte[i]);
        if (octet < 0x80) {
            resultat += octet < 0x20 || octet == 0x7F ? '?' : static_cast<char>(octet);
            ++i;
            continue;
        }
        const std::size_t longueur = mesurerSequence(texte, i);
        if (longueur == 0) {
            resultat += '?';
            ++i;
            continue;
        }
        const std::string_view sequence = texte.substr(i, longueur);
        if (estCaractereDangereux(sequence))
            resultat += '?';
        else
            resultat += sequence;
        i += longueur;
    }
    return resultat;
}

void ecrireTexte(std::ostream& sortie, std::string_view texte, Format format)
{
    const std::string inoffensif = rendreInoffensif(texte);
    if (format == Format::tsv || inoffensif.find_first_of(";\"") == std::string::npos) {
        sortie << inoffensif;
        return;
    }
    sortie << '"';
    for (const char octet : inoffensif) {
        if (octet == '"')
            sortie << '"';
        sortie << octet;
    }
    sortie << '"';
}

void ecrireSeparateur(std::ostream& sortie, Format format)
{
    sortie << (format == Format::tsv ? '\t' : ';');
}

void ecrireFinRangee(std::ostream& sortie, Format format)
{
    sortie << (format == Format::tsv ? "\n" : "\r\n");
}
