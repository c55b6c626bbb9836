#include "comparaison.h"

#include <algorithm>
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
    // Most lines agree byte for byte: one memcmp settles them without a copy.
    if (attendue == obtenue)
        return true;

    // Otherwise walk both lines at once, stepping over blanks on either side.
    const char* a = attendue.data();
    const char* const finA = a + attendue.size();
    const char* b = obtenue.data();
    const char* const finB = b + obtenue.size();
    for (;;) {
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
