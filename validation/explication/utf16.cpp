#include "utf16.h"

#include <algorithm>
#include <cstddef>

EncodageUtf16 reconnaitreUtf16(std::string_view debut)
{
    EncodageUtf16 encodage;
    if (debut.substr(0, 2) == "\xFF\xFE") {
        encodage.ordre = OrdreUtf16::petitBoutiste;
        encodage.marque = true;
        return encodage;
    }
    if (debut.substr(0, 2) == "\xFE\xFF") {
        encodage.ordre = OrdreUtf16::grandBoutiste;
        encodage.marque = true;
        return encodage;
    }
    // Without a mark, the characters' zero halves, all on one side: a text
    // whose characters lie outside Latin-1 has none and is not recognised.
    const std::size_t paires = std::min<std::size_t>(debut.size(), 64) / 2;
    if (paires < 2)
        return encodage;
    std::size_t zerosPairs = 0;
    std::size_t zerosImpairs = 0;
    for (std::size_t i = 0; i < paires; ++i) {
        zerosPairs += debut[2 * i] == '\0' ? 1 : 0;
        zerosImpairs += debut[2 * i + 1] == '\0' ? 1 : 0;
    }
    if (zerosImpairs * 4 >= paires * 3 && zerosPairs * 4 < paires)
        encodage.ordre = OrdreUtf16::petitBoutiste;
    else if (zerosPairs * 4 >= paires * 3 && zerosImpairs * 4 < paires)
        encodage.ordre = OrdreUtf16::grandBoutiste;
    return encodage;
}

bool estLigneUtf16(std::string_view ligne)
{
    const auto zeros = static_cast<std::size_t>(std::count(ligne.begin(), ligne.end(), '\0'));
    return zeros > 0 && zeros * 3 >= ligne.size();
}
