#include "classe/sorties/echappement.h"

#include "classe/sorties/tableau.h"

#include <cstddef>

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
        const std::size_t longueur = mesurerSequence(texte, i);
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
