// Checks the line comparison, with and without SSSE3, against a plain
// statement of the rule: two lines agree exactly when the sequences of their
// bytes other than spaces and tabs are equal.
#include "validation/comparaison.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string garderNonBlancs(std::string ligne)
{
    ligne.erase(std::remove_if(ligne.begin(), ligne.end(),
                               [](char octet) { return octet == ' ' || octet == '\t'; }),
                ligne.end());
    return ligne;
}

void verifier(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    if (taille == 0)
        return 0;
    const std::string octets(reinterpret_cast<const char*>(donnees) + 1, taille - 1);
    const std::size_t coupure = octets.size() * donnees[0] / 256;
    const std::string a = octets.substr(0, coupure);
    const std::string b = octets.substr(coupure);

    const bool identiques = garderNonBlancs(a) == garderNonBlancs(b);
    verifier(estIdentique(a, b) == identiques);
    verifier(estIdentique(b, a) == identiques);
    verifier(estIdentiqueSimple(a, b) == identiques);
    verifier(estIdentiqueSimple(b, a) == identiques);
    verifier(estIdentique(a, a));
    verifier(enleverEspaces(a) == garderNonBlancs(a));
    verifier(estIdentique(a, enleverEspaces(a)));
    return 0;
}
