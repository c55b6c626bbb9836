#include "limites.h"
#include "nombres.h"

#include <cmath>

double calculerTempsReel(const Limites& limites)
{
    return limites.tempsReel > 0 ? limites.tempsReel : 2 * limites.temps + 5;
}

std::uint64_t calculerEntreesMax(const Limites& limites)
{
    return limites.espace / octetsParMio * entreesParMio;
}

bool lireSecondes(const char* texte, double& secondes)
{
    double valeur = 0;
    int decimales = 0;
    if (!lireDecimal(texte, false, valeur, decimales) || !(valeur >= 0.01 && valeur <= 86400))
        return false;
    secondes = valeur;
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
