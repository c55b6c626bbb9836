#include "limites.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

double calculerTempsReel(const Limites& limites)
{
    return limites.tempsReel > 0 ? limites.tempsReel : 2 * limites.temps + 5;
}

bool lireSecondes(const char* texte, double& secondes)
{
    // strtod would take a locale's comma, hexadecimal and "inf": only digits
    // and one point are a duration here.
    bool chiffre = false;
    bool point = false;
    for (const char* c = texte; *c != '\0'; ++c) {
        if (*c >= '0' && *c <= '9')
            chiffre = true;
        else if (*c == '.' && !point)
            point = true;
        else
            return false;
    }
    if (!chiffre)
        return false;
    const double valeur = std::strtod(texte, nullptr);
    if (!(valeur >= 0.01 && valeur <= 86400))
        return false;
    secondes = valeur;
    return true;
}

bool lireEntier(const char* texte, std::uint64_t minimum, std::uint64_t maximum, std::uint64_t& nombre)
{
    if (*texte < '0' || *texte > '9')
        return false;
    char* fin = nullptr;
    errno = 0;
    const unsigned long long valeur = std::strtoull(texte, &fin, 10);
    if (*fin != '\0' || errno != 0 || valeur < minimum || valeur > maximum)
        return false;
    nombre = valeur;
    return true;
}

bool lireMio(const char* texte, std::uint64_t& octets)
{
    std::uint64_t mio = 0;
    if (!lireEntier(texte, 1, std::uint64_t{1} << 20, mio))
        return false;
    octets = mio * octetsParMio;
    return true;
}

std::vector<std::string> ecrireLimites(const Limites& limites)
{
    const auto millisecondes = [](double secondes) {
        return std::to_string(static_cast<std::uint64_t>(std::llround(secondes * 1000)));
    };
    return {millisecondes(limites.temps),          millisecondes(calculerTempsReel(limites)),
            std::to_string(limites.memoire),       std::to_string(limites.processus),
            std::to_string(limites.sortieMax),     std::to_string(limites.fichierMax),
            std::to_string(limites.espace)};
}

bool lireLimites(char* const* arguments, int nombre, Limites& limites)
{
    if (nombre < nombreArgumentsLimites)
        return false;
    std::uint64_t valeurs[nombreArgumentsLimites] {};
    for (int i = 0; i < nombreArgumentsLimites; ++i) {
        if (!lireEntier(arguments[i], 0, UINT64_MAX, valeurs[i]))
            return false;
    }
    limites.temps = static_cast<double>(valeurs[0]) / 1000;
    limites.tempsReel = static_cast<double>(valeurs[1]) / 1000;
    limites.memoire = valeurs[2];
    limites.processus = valeurs[3];
    limites.sortieMax = valeurs[4];
    limites.fichierMax = valeurs[5];
    limites.espace = valeurs[6];
    return true;
}
