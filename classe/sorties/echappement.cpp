#include "classe/sorties/echappement.h"

#include "classe/sorties/tableau.h"

#include <cstddef>

std::string assainir(std::string_view texte)
{
    return filtrerCaracteres(texte, [](std::string_view sequence) {
        const auto octet = [&sequence](std::size_t j) { return static_cast<unsigned char>(sequence[j]); };
        if (sequence.size() == 1)
            return (octet(0) >= 0x20 || octet(0) == '\t' || octet(0) == '\n') && octet(0) != 0x7F;
        // What the tables hide (C1 controls, bidirectional controls, line
        // and paragraph separators, what shows nothing), and U+FFFE and
        // U+FFFF, which are no XML characters.
        return !estCaractereDangereux(sequence)
            && !(sequence.size() == 3 && octet(0) == 0xEF && octet(1) == 0xBF && octet(2) >= 0xBE);
    });
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
