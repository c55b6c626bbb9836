#include "difference.h"

#include "validation/comparaison.h"

#include <algorithm>

namespace {

std::size_t compterNonBlancs(std::string_view texte)
{
    return static_cast<std::size_t>(
        std::count_if(texte.begin(), texte.end(), [](char octet) { return !estBlanc(octet); }));
}

} // namespace

void trouverRegions(std::string_view a, std::string_view b, Region& regionA, Region& regionB)
{
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t prefixe = 0;
    for (;;) {
        while (i < a.size() && estBlanc(a[i]))
            ++i;
        while (j < b.size() && estBlanc(b[j]))
            ++j;
        if (i == a.size() || j == b.size() || a[i] != b[j])
            break;
        ++i;
        ++j;
        ++prefixe;
    }
    const std::size_t suffixeMax = std::min(compterNonBlancs(a), compterNonBlancs(b)) - prefixe;
    std::size_t finA = a.size();
    std::size_t finB = b.size();
    for (std::size_t suffixe = 0;; ++suffixe) {
        while (finA > 0 && estBlanc(a[finA - 1]))
            --finA;
        while (finB > 0 && estBlanc(b[finB - 1]))
            --finB;
        // Below the bound, each line still has a byte outside its prefix.
        if (suffixe == suffixeMax || a[finA - 1] != b[finB - 1])
            break;
        --finA;
        --finB;
    }
    const auto elargir = [](std::string_view texte, std::size_t debut, std::size_t fin) {
        Region region;
        region.debut = debutCaractere(texte, debut);
        region.fin = region.debut;
        if (fin > debut) {
            const std::size_t dernier = debutCaractere(texte, fin - 1);
            region.fin = dernier + lireCaractere(texte, dernier).taille;
        }
        return region;
    };
    regionA = elargir(a, i, finA);
    regionB = elargir(b, j, finB);
}

