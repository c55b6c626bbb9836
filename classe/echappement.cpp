#include "echappement.h"

#include <cstddef>

namespace {

// The length of the valid UTF-8 sequence at `i`, 0 when none starts there.
std::size_t mesurerUtf8(std::string_view texte, std::size_t i)
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
            minimum = 0xA0;
        else if (premier == 0xED)
            maximum = 0x9F;
    } else if (premier >= 0xF0 && premier <= 0xF4) {
        longueur = 4;
        if (premier == 0xF0)
            minimum = 0x90;
        else if (premier == 0xF4)
            maximum = 0x8F;
    } else {
        return 0;
    }
    if (texte.size() - i < longueur || octet(i + 1) < minimum || octet(i + 1) > maximum)
        return 0;
    for (std::size_t j = 2; j < longueur; ++j) {
        if (octet(i + j) < 0x80 || octet(i + j) > 0xBF)
            return 0;
    }
    return longueur;
}

} // namespace

std::string assainir(std::string_view texte)
{
    std::string resultat;
    resultat.reserve(texte.size());
    std::size_t i = 0;
    while (i < texte.size()) {
        const auto octet = static_cast<unsigned char>(texte[i]);
        if (octet < 0x80) {
            if (octet == '\r')
                resultat += "\\r";
            else if ((octet < 0x20 && octet != '\t' && octet != '\n') || octet == 0x7F)
                resultat += '?';
            else
                resultat += static_cast<char>(octet);
            ++i;
            continue;
        }
        const std::size_t longueur = mesurerUtf8(texte, i);
        const auto suivant = [&texte, i](std::size_t j) { return static_cast<unsigned char>(texte[i + j]); };
        // C1 controls, and U+FFFE and U+FFFF, which are no XML characters.
        const bool exclu = (longueur == 2 && octet == 0xC2 && suivant(1) <= 0x9F)
            || (longueur == 3 && octet == 0xEF && suivant(1) == 0xBF && suivant(2) >= 0xBE);
        if (longueur == 0 || exclu) {
            resultat += '?';
            i += longueur == 0 ? 1 : longueur;
            continue;
        }
        resultat += texte.substr(i, longueur);
        i += longueur;
    }
    return resultat;
}

std::string echapperJson(std::string_view texte)
{
    static constexpr char hexa[] = "0123456789abcdef";
    std::string resultat = "\"";
    for (const char octet : assainir(texte)) {
        switch (octet) {
        case '"':
            resultat += "\\\"";
            break;
        case '\\':
            resultat += "\\\\";
            break;
        case '\n':
            resultat += "\\n";
            break;
        case '\t':
            resultat += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(octet) < 0x20) {
                resultat += "\\u00";
                resultat += hexa[static_cast<unsigned char>(octet) >> 4];
                resultat += hexa[static_cast<unsigned char>(octet) & 0xF];
            } else {
                resultat += octet;
            }
        }
    }
    resultat += '"';
    return resultat;
}

std::string echapperXml(std::string_view texte)
{
    std::string resultat;
    for (const char octet : assainir(texte)) {
        switch (octet) {
        case '&':
            resultat += "&amp;";
            break;
        case '<':
            resultat += "&lt;";
            break;
        case '>':
            resultat += "&gt;";
            break;
        case '"':
            resultat += "&quot;";
            break;
        case '\'':
            resultat += "&#39;";
            break;
        default:
            resultat += octet;
        }
    }
    return resultat;
}

std::string encoderChemin(std::string_view chemin)
{
    static constexpr char hexa[] = "0123456789ABCDEF";
    std::string resultat;
    for (const char octet : chemin) {
        const auto valeur = static_cast<unsigned char>(octet);
        const bool garde = (valeur >= 'a' && valeur <= 'z') || (valeur >= 'A' && valeur <= 'Z')
            || (valeur >= '0' && valeur <= '9') || octet == '-' || octet == '.' || octet == '_'
            || octet == '~' || octet == '/';
        if (garde) {
            resultat += octet;
        } else {
            resultat += '%';
            resultat += hexa[valeur >> 4];
            resultat += hexa[valeur & 0xF];
        }
    }
    return resultat;
}
