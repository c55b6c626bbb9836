#include "classe/decouverte/remise.h"

#include <utility>

Remise creerRemise(std::string chemin, std::string nom, std::string statut)
{
    Remise remise;
    remise.chemin = std::move(chemin);
    remise.nom = std::move(nom);
    remise.statut = std::move(statut);
    return remise;
}

std::string extraireIdentifiant(std::string_view nom)
{
    static constexpr std::string_view marque = "_assignsubmission_";
    for (std::size_t fin = nom.find(marque); fin != std::string_view::npos;
         fin = nom.find(marque, fin + 1)) {
        std::size_t debut = fin;
        while (debut > 0 && nom[debut - 1] >= '0' && nom[debut - 1] <= '9')
            --debut;
        if (debut < fin && debut > 0 && nom[debut - 1] == '_')
            return std::string(nom.substr(debut, fin - debut));
    }
    return {};
}
