#include "unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace {

unsigned valeur(char octet)
{
    return static_cast<unsigned char>(octet);
}

// U+0080 to U+009F as Windows-1252 reads bytes 0x80 to 0x9F.
constexpr std::array<std::uint16_t, 32> windows1252 = {
    0x20AC, 0x81, 0x201A, 0x192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x2C6, 0x2030, 0x160, 0x2039, 0x152, 0x8D, 0x17D, 0x8F,
    0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x2DC, 0x2122, 0x161, 0x203A, 0x153, 0x9D, 0x17E, 0x178};

// U+00C0 to U+017F, the canonical decompositions, all into an ASCII letter
// and one combining mark.
constexpr Decomposition decompositions[] = {
    {'A', 0x00}, {'A', 0x01}, {'A', 0x02}, {'A', 0x03}, {'A', 0x08}, {'A', 0x0A},
    {}, {'C', 0x27}, {'E', 0x00}, {'E', 0x01}, {'E', 0x02}, {'E', 0x08},
    {'I', 0x00}, {'I', 0x01}, {'I', 0x02}, {'I', 0x08}, {}, {'N', 0x03},
    {'O', 0x00}, {'O', 0x01}, {'O', 0x02}, {'O', 0x03}, {'O', 0x08}, {},
    {}, {'U', 0x00}, {'U', 0x01}, {'U', 0x02}, {'U', 0x08}, {'Y', 0x01},
    {}, {}, {'a', 0x00}, {'a', 0x01}, {'a', 0x02}, {'a', 0x03},
    {'a', 0x08}, {'a', 0x0A}, {}, {'c', 0x27}, {'e', 0x00}, {'e', 0x01},
    {'e', 0x02}, {'e', 0x08}, {'i', 0x00}, {'i', 0x01}, {'i', 0x02}, {'i', 0x08},
    {}, {'n', 0x03}, {'o', 0x00}, {'o', 0x01}, {'o', 0x02}, {'o', 0x03},
    {'o', 0x08}, {}, {}, {'u', 0x00}, {'u', 0x01}, {'u', 0x02},
    {'u', 0x08}, {'y', 0x01}, {}, {'y', 0x08}, {'A', 0x04}, {'a', 0x04},
    {'A', 0x06}, {'a', 0x06}, {'A', 0x28}, {'a', 0x28}, {'C', 0x01}, {'c', 0x01},
    {'C', 0x02}, {'c', 0x02}, {'C', 0x07}, {'c', 0x07}, {'C', 0x0C}, {'c', 0x0C},
    {'D', 0x0C}, {'d', 0x0C}, {}, {}, {'E', 0x04}, {'e', 0x04},
    {'E', 0x06}, {'e', 0x06}, {'E', 0x07}, {'e', 0x07}, {'E', 0x28}, {'e', 0x28},
    {'E', 0x0C}, {'e', 0x0C}, {'G', 0x02}, {'g', 0x02}, {'G', 0x06}, {'g', 0x06},
    {'G', 0x07}, {'g', 0x07}, {'G', 0x27}, {'g', 0x27}, {'H', 0x02}, {'h', 0x02},
    {}, {}, {'I', 0x03}, {'i', 0x03}, {'I', 0x04}, {'i', 0x04},
    {'I', 0x06}, {'i', 0x06}, {'I', 0x28}, {'i', 0x28}, {'I', 0x07}, {},
    {}, {}, {'J', 0x02}, {'j', 0x02}, {'K', 0x27}, {'k', 0x27},
    {}, {'L', 0x01}, {'l', 0x01}, {'L', 0x27}, {'l', 0x27}, {'L', 0x0C},
    {'l', 0x0C}, {}, {}, {}, {}, {'N', 0x01},
    {'n', 0x01}, {'N', 0x27}, {'n', 0x27}, {'N', 0x0C}, {'n', 0x0C}, {},
    {}, {}, {'O', 0x04}, {'o', 0x04}, {'O', 0x06}, {'o', 0x06},
    {'O', 0x0B}, {'o', 0x0B}, {}, {}, {'R', 0x01}, {'r', 0x01},
    {'R', 0x27}, {'r', 0x27}, {'R', 0x0C}, {'r', 0x0C}, {'S', 0x01}, {'s', 0x01},
    {'S', 0x02}, {'s', 0x02}, {'S', 0x27}, {'s', 0x27}, {'S', 0x0C}, {'s', 0x0C},
    {'T', 0x27}, {'t', 0x27}, {'T', 0x0C}, {'t', 0x0C}, {}, {},
    {'U', 0x03}, {'u', 0x03}, {'U', 0x04}, {'u', 0x04}, {'U', 0x06}, {'u', 0x06},
    {'U', 0x0A}, {'u', 0x0A}, {'U', 0x0B}, {'u', 0x0B}, {'U', 0x28}, {'u', 0x28},
    {'W', 0x02}, {'w', 0x02}, {'Y', 0x02}, {'y', 0x02}, {'Y', 0x08}, {'Z', 0x01},
    {'z', 0x01}, {'Z', 0x07}, {'z', 0x07}, {'Z', 0x0C}, {'z', 0x0C}, {},
};

// The lower case of a capital letter, the letter itself otherwise. U+0130
// (capital I with dot) is the capital of 'i'; U+0131 (dotless i), U+0138
// (kra), U+0149 (n with apostrophe) and U+017F (long s) have no capital of
// their own in these blocks.
unsigned enMinuscule(unsigned point)
{
    if (point >= 'A' && point <= 'Z')
        return point + 0x20;
    if (point >= 0xC0 && point <= 0xDE && point != 0xD7)
        return point + 0x20;
    if (point == 0x178)
        return 0xFF;
    if (point == 0x130)
        return 'i';
    if (point < 0x100 || point > 0x17E || point == 0x131 || point == 0x138 || point == 0x149)
        return point;
    // Capitals take the even code points, except from U+0139 to U+0148 and
    // from U+0179 to U+017E, where the run is one off.
    const bool decale = (point >= 0x139 && point <= 0x148) || point >= 0x179;
    const bool capitale = (point % 2 == 0) != decale;
    return capitale ? point + 1 : point;
}

struct Invisible {
    unsigned point;
    std::string_view nom;
};

constexpr Invisible invisibles[nombreInvisibles] = {
    {0xAD, "trait d'union conditionnel"},
    {0x61C, "marque de lettre arabe"},
    {0x200B, "espace sans chasse"},
    {0x200C, "antiliant sans chasse"},
    {0x200D, "liant sans chasse"},
    {0x200E, "marque gauche \xC3\xA0 droite"},
    {0x200F, "marque droite \xC3\xA0 gauche"},
    {0x202A, "ench\xC3\xA2ssement gauche \xC3\xA0 droite"},
    {0x202B, "ench\xC3\xA2ssement droite \xC3\xA0 gauche"},
    {0x202C, "d\xC3\xA9pilement de formatage directionnel"},
    {0x202D, "for\xC3\xA7" "age gauche \xC3\xA0 droite"},
    {0x202E, "for\xC3\xA7" "age droite \xC3\xA0 gauche"},
    {0x2060, "gluon de mots"},
    {0x2061, "application de fonction"},
    {0x2062, "multiplication invisible"},
    {0x2063, "s\xC3\xA9parateur invisible"},
    {0x2064, "plus invisible"},
    {0x2065, "caract\xC3\xA8re non attribu\xC3\xA9"},
    {0x2066, "isolat gauche \xC3\xA0 droite"},
    {0x2067, "isolat droite \xC3\xA0 gauche"},
    {0x2068, "isolat \xC3\xA0 direction du premier fort"},
    {0x2069, "fin d'isolat"},
    {0x206A, "commande de formatage obsol\xC3\xA8te"},
    {0x206B, "commande de formatage obsol\xC3\xA8te"},
    {0x206C, "commande de formatage obsol\xC3\xA8te"},
    {0x206D, "commande de formatage obsol\xC3\xA8te"},
    {0x206E, "commande de formatage obsol\xC3\xA8te"},
    {0x206F, "commande de formatage obsol\xC3\xA8te"},
    {0xFEFF, "indicateur d'ordre des octets"},
};

} // namespace

Point lirePoint(std::string_view texte, std::size_t pos)
{
    const unsigned premier = valeur(texte[pos]);
    if (premier < 0x80)
        return {premier, 1};
    std::size_t longueur = 0;
    unsigned bas = 0x80;
    unsigned haut = 0xBF;
    unsigned code = 0;
    if (premier >= 0xC2 && premier <= 0xDF) {
        longueur = 2;
        code = premier & 0x1FU;
    } else if (premier >= 0xE0 && premier <= 0xEF) {
        longueur = 3;
        code = premier & 0x0FU;
        bas = premier == 0xE0 ? 0xA0 : bas;
        haut = premier == 0xED ? 0x9F : haut;
    } else if (premier >= 0xF0 && premier <= 0xF4) {
        longueur = 4;
        code = premier & 0x07U;
        bas = premier == 0xF0 ? 0x90 : bas;
        haut = premier == 0xF4 ? 0x8F : haut;
    } else {
        return {};
    }
    if (texte.size() - pos < longueur)
        return {};
    const unsigned second = valeur(texte[pos + 1]);
    if (second < bas || second > haut)
        return {};
    code = code << 6 | (second & 0x3FU);
    for (std::size_t i = 2; i < longueur; ++i) {
        const unsigned suite = valeur(texte[pos + i]);
        if ((suite & 0xC0) != 0x80)
            return {};
        code = code << 6 | (suite & 0x3FU);
    }
    return {code, longueur};
}

bool estUtf8(std::string_view texte)
{
    for (std::size_t pos = 0; pos < texte.size();) {
        const std::size_t longueur = lirePoint(texte, pos).longueur;
        if (longueur == 0)
            return false;
        pos += longueur;
    }
    return true;
}

std::size_t encoderUtf8(unsigned point, char (&octets)[4])
{
    const auto octet = [](unsigned x) { return static_cast<char>(static_cast<unsigned char>(x)); };
    if (point < 0x80) {
        octets[0] = octet(point);
        return 1;
    }
    if (point < 0x800) {
        octets[0] = octet(0xC0 | point >> 6);
        octets[1] = octet(0x80 | (point & 0x3F));
        return 2;
    }
    if (point < 0x10000) {
        octets[0] = octet(0xE0 | point >> 12);
        octets[1] = octet(0x80 | (point >> 6 & 0x3F));
        octets[2] = octet(0x80 | (point & 0x3F));
        return 3;
    }
    octets[0] = octet(0xF0 | point >> 18);
    octets[1] = octet(0x80 | (point >> 12 & 0x3F));
    octets[2] = octet(0x80 | (point >> 6 & 0x3F));
    octets[3] = octet(0x80 | (point & 0x3F));
    return 4;
}

unsigned lireWindows1252(unsigned char octet)
{
    return octet >= 0x80 && octet < 0xA0 ? windows1252[octet - 0x80U] : octet;
}

bool ontMemeLettre(unsigned x, unsigned y)
{
    // The capitals of the dotless i and of the long s are ASCII letters,
    // whose own lower cases are other letters.
    const auto capitaleAscii = [](unsigned point, unsigned autre) {
        return (point == 0x131 && autre == 'I') || (point == 0x17F && autre == 'S');
    };
    return x == y || enMinuscule(x) == y || enMinuscule(y) == x || capitaleAscii(x, y)
        || capitaleAscii(y, x);
}

Decomposition decomposer(unsigned point)
{
    if (point < 0xC0 || point >= 0xC0 + std::size(decompositions))
        return {};
    return decompositions[point - 0xC0];
}

bool estFormatInvisible(unsigned point)
{
    return point == 0xAD || point == 0x61C || (point >= 0x200B && point <= 0x200F)
        || (point >= 0x202A && point <= 0x202E) || (point >= 0x2060 && point <= 0x206F)
        || point == 0xFEFF;
}

std::size_t classerInvisible(unsigned point)
{
    if (!estFormatInvisible(point))
        return nombreInvisibles;
    const auto rang = std::lower_bound(
        std::begin(invisibles), std::end(invisibles), point,
        [](const Invisible& invisible, unsigned cherche) { return invisible.point < cherche; });
    return static_cast<std::size_t>(rang - std::begin(invisibles));
}

std::string nommerInvisible(std::size_t rang)
{
    const char chiffres[] = "0123456789ABCDEF";
    const unsigned point = invisibles[rang].point;
    std::string nom = "U+";
    for (unsigned decalage = 16; decalage > 0;) {
        decalage -= 4;
        nom += chiffres[point >> decalage & 0xF];
    }
    nom += ' ';
    nom += invisibles[rang].nom;
    return nom;
}
