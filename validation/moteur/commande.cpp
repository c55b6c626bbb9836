#include "commande.h"

std::string_view extraireCommande(std::string_view ligneTest)
{
    const char* octet = ligneTest.data();
    const char* const finLigne = octet + ligneTest.size();
    while (octet != finLigne && estEspaceCommande(*octet))
        ++octet;
    const char* const debut = octet;
    while (octet != finLigne && !estEspaceCommande(*octet))
        ++octet;
    return {debut, static_cast<std::size_t>(octet - debut)};
}
