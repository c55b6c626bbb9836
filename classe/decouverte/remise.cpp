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
