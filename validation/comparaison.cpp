#include "comparaison.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

bool estBlanc(char octet)
{
    return octet == ' ' || octet == '\t';
}

} // namespace

std::string enleverEspaces(std::string_view ligne)
{
    std::string resultat;
    resultat.reserve(ligne.size());
    std::copy_if(ligne.begin(), ligne.end(), std::back_inserter(resultat),
                 [](char octet) { return !estBlanc(octet); });
    return resultat;
}

bool estIdentique(std::string_view attendue, std::string_view obtenue)
{
    if (ontMemesOctets(attendue, obtenue))
        return true;

    // Short lines are copied without their blanks and then compared: writing
    // every byte and advancing only past kept ones has no branch to mispredict.
    constexpr std::size_t courte = 64;
    if (attendue.size() <= courte && obtenue.size() <= courte) {
        char sansBlancsA[courte];
        char sansBlancsB[courte];
        std::size_t na = 0;
        std::size_t nb = 0;
        // Both lines in one loop: two independent chains of stores run side
        // by side.
        const std::size_t commun = std::min(attendue.size(), obtenue.size());
        for (std::size_t i = 0; i < commun; ++i) {
            const char a = attendue[i];
            const char b = obtenue[i];
            sansBlancsA[na] = a;
            sansBlancsB[nb] = b;
            na += static_cast<std::size_t>(!estBlanc(a));
            nb += static_cast<std::size_t>(!estBlanc(b));
        }
        for (const char octet : attendue.substr(commun)) {
            sansBlancsA[na] = octet;
            na += static_cast<std::size_t>(!estBlanc(octet));
        }
        for (const char octet : obtenue.substr(commun)) {
            sansBlancsB[nb] = octet;
            nb += static_cast<std::size_t>(!estBlanc(octet));
        }
        return ontMemesOctets(std::string_view(sansBlancsA, na), std::string_view(sansBlancsB, nb));
    }

    // Walk both lines at once. Equal bytes agree whatever blanks they hold,
    // so runs of equal 8-byte words are passed whole; only where the lines
    // differ are blanks stepped over one by one.
    const char* a = attendue.data();
    const char* const finA = a + attendue.size();
    const char* b = obtenue.data();
    const char* const finB = b + obtenue.size();
    for (;;) {
        while (finA - a >= 8 && finB - b >= 8 && lireMotOctets(a) == lireMotOctets(b)) {
            a += 8;
            b += 8;
        }
        while (a != finA && estBlanc(*a))
            ++a;
        while (b != finB && estBlanc(*b))
            ++b;
        if (a == finA || b == finB)
            return a == finA && b == finB;
        if (*a != *b)
            return false;
        ++a;
        ++b;
    }
}
