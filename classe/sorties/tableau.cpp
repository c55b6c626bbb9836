#include "classe/sorties/tableau.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace {

// The code point of a valid sequence of `longueur` bytes.
char32_t decoderSequence(std::string_view sequence)
{
    const auto octet = [&sequence](std::size_t j) { return static_cast<unsigned char>(sequence[j]); };
    static constexpr unsigned char masques[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t point = octet(0) & masques[sequence.size()];
    for (std::size_t j = 1; j < sequence.size(); ++j)
        point = (point << 6) | (octet(j) & 0x3FU);
    return point;
}

struct Plage {
    char32_t premier;
    char32_t dernier;
};

} // namespace

// Valid UTF-8 that still must not be shown: the C1 controls, the line and
// paragraph separators, the marks, embeddings, overrides and isolates that
// reorder text, and the code points that show nothing (zero-width spaces and
// joiners, the byte order mark, fillers, variation selectors, tags), with
// which two names that differ would look the same.
bool estCaractereDangereux(std::string_view sequence)
{
    static constexpr Plage plages[] = {
        {0x80, 0x9F},       {0xAD, 0xAD},       {0x34F, 0x34F},     {0x61C, 0x61C},
        {0x115F, 0x1160},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x200B, 0x200F},
        {0x2028, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},
        {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0x1BCA0, 0x1BCA3},
        {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
    };
    const char32_t point = decoderSequence(sequence);
    return std::any_of(std::begin(plages), std::end(plages), [point](const Plage& plage) {
        return point >= plage.premier && point <= plage.dernier;
    });
}

bool agirait(std::string_view cellule, Format format)
{
    if (cellule.empty())
        return false;
    if (format == Format::tsv)
        return cellule.front() == '"';
    return std::string_view("=+-@\t\r").find(cellule.front()) != std::string_view::npos;
}

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

std::string filtrerCaracteres(std::string_view texte, bool (*garder)(std::string_view sequence))
{
    std::string resultat;
    resultat.reserve(texte.size());
    std::size_t i = 0;
    while (i < texte.size()) {
        const auto octet = static_cast<unsigned char>(texte[i]);
        if (octet == '\r') {
            resultat += "\\r";
            ++i;
            continue;
        }
        const std::size_t longueur = octet < 0x80 ? 1 : mesurerSequence(texte, i);
        if (longueur == 0) {
            resultat += '?';
            ++i;
            continue;
        }
        const std::string_view sequence = texte.substr(i, longueur);
        if (garder(sequence))
            resultat += sequence;
        else
            resultat += '?';
        i += longueur;
    }
    return resultat;
}

std::string rendreInoffensif(std::string_view texte)
{
    return filtrerCaracteres(texte, [](std::string_view sequence) {
        if (sequence.size() > 1)
            return !estCaractereDangereux(sequence);
        return sequence[0] >= 0x20 && sequence[0] != 0x7F;
    });
}

void ecrireTexte(std::ostream& sortie, std::string_view texte, Format format)
{
    std::string inoffensif = rendreInoffensif(texte);
    // The usual leading apostrophe: spreadsheets take the cell as text.
    if (agirait(inoffensif, format))
        inoffensif.insert(0, 1, '\'');
    sortie << (format == Format::tsv ? inoffensif : citerChamp(inoffensif, ';'));
}

std::string citerChamp(std::string_view champ, char separateur, bool forcer)
{
    const char speciaux[] = {separateur, '"'};
    if (!forcer && champ.find_first_of(std::string_view(speciaux, 2)) == std::string_view::npos)
        return std::string(champ);
    std::string cite = "\"";
    for (const char octet : champ) {
        if (octet == '"')
            cite += '"';
        cite += octet;
    }
    return cite + '"';
}

void ecrireSeparateur(std::ostream& sortie, Format format)
{
    sortie << (format == Format::tsv ? '\t' : ';');
}

void ecrireFinRangee(std::ostream& sortie, Format format)
{
    sortie << (format == Format::tsv ? "\n" : "\r\n");
}

std::vector<std::string> decouperRangee(std::string_view rangee, Format format)
{
    while (!rangee.empty() && (rangee.back() == '\n' || rangee.back() == '\r'))
        rangee.remove_suffix(1);
    const char separateur = format == Format::tsv ? '\t' : ';';
    std::vector<std::string> cellules;
    std::size_t i = 0;
    for (;;) {
        std::string cellule;
        if (format == Format::csv && i < rangee.size() && rangee[i] == '"') {
            for (++i; i < rangee.size(); ++i) {
                if (rangee[i] == '"' && (i + 1 == rangee.size() || rangee[i + 1] != '"'))
                    break;
                cellule += rangee[i];
                i += rangee[i] == '"' ? 1 : 0;
            }
            ++i;
        } else {
            const std::size_t fin = std::min(rangee.find(separateur, i), rangee.size());
            cellule = std::string(rangee.substr(i, fin - i));
            i = fin;
        }
        if (cellule.size() > 1 && cellule.front() == '\'' && agirait(std::string_view(cellule).substr(1), format))
            cellule.erase(0, 1);
        cellules.push_back(std::move(cellule));
        if (i >= rangee.size())
            return cellules;
        ++i;
    }
}
