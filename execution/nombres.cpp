#include "nombres.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

bool lireEntier(std::string_view texte, std::uint64_t minimum, std::uint64_t maximum, std::uint64_t& nombre,
                int base)
{
    if (texte.empty())
        return false;
    const auto grande = static_cast<std::uint64_t>(base);
    std::uint64_t valeur = 0;
    for (const char octet : texte) {
        const auto code = static_cast<std::uint64_t>(static_cast<unsigned char>(octet));
        std::uint64_t chiffre = 0;
        if (octet >= '0' && octet <= '9')
            chiffre = code - '0';
        else if (base == 16 && octet >= 'a' && octet <= 'f')
            chiffre = code - 'a' + 10;
        else if (base == 16 && octet >= 'A' && octet <= 'F')
            chiffre = code - 'A' + 10;
        else
            return false;
        if (valeur > (std::numeric_limits<std::uint64_t>::max() - chiffre) / grande)
            return false;
        valeur = valeur * grande + chiffre;
    }
    if (valeur < minimum || valeur > maximum)
        return false;
    nombre = valeur;
    return true;
}

bool lireDecimal(std::string_view texte, bool virgule, double& valeur, int& decimales)
{
    std::string chiffres;
    bool chiffre = false;
    bool separateur = false;
    int apres = 0;
    for (const char octet : texte) {
        if (octet >= '0' && octet <= '9') {
            chiffre = true;
            apres += separateur ? 1 : 0;
            chiffres += octet;
        } else if ((octet == '.' || (virgule && octet == ',')) && !separateur) {
            separateur = true;
            chiffres += '.';
        } else {
            return false;
        }
    }
    if (!chiffre)
        return false;
    // strtod would take hexadecimal and "inf": only digits and one point
    // reach it.
    errno = 0;
    const double lu = std::strtod(chiffres.c_str(), nullptr);
    if (errno != 0 || !std::isfinite(lu))
        return false;
    valeur = lu;
    decimales = apres;
    return true;
}
