#include "boites.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

bool reserverBoites(Boites& boites)
{
    // A name in the abstract socket space is held until the process ends,
    // however it ends: no file to leave behind.
    for (unsigned bloc = 0; bloc < nombreBlocs; ++bloc) {
        const int prise = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (prise < 0)
            return false;
        sockaddr_un adresse {};
        adresse.sun_family = AF_UNIX;
        const int longueur = std::snprintf(adresse.sun_path + 1, sizeof adresse.sun_path - 1,
                                           "valideur-classe/identifiants/%u", bloc);
        const auto taille = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(longueur));
        if (bind(prise, reinterpret_cast<const sockaddr*>(&adresse), taille) == 0) {
            boites.reservation = prise;
            boites.premier = premierIdentifiantBoite + bloc * identifiantsParBloc;
            boites.prises.assign(identifiantsParBloc, false);
            return true;
        }
        close(prise);
    }
    return false;
}

void libererBoites(Boites& boites)
{
    if (boites.reservation >= 0)
        close(boites.reservation);
    boites.reservation = -1;
}

bool prendreBoite(Boites& boites, Boite& boite)
{
    const std::lock_guard<std::mutex> verrou(boites.verrou);
    for (std::size_t i = 0; i < boites.prises.size(); ++i) {
        if (!boites.prises[i]) {
            boites.prises[i] = true;
            boite.indice = static_cast<int>(i);
            boite.utilisateur = boites.premier + static_cast<uid_t>(i);
            boite.groupe = boite.utilisateur;
            return true;
        }
    }
    return false;
}

void rendreBoite(Boites& boites, Boite& boite)
{
    if (boite.indice < 0)
        return;
    const std::lock_guard<std::mutex> verrou(boites.verrou);
    boites.prises[static_cast<std::size_t>(boite.indice)] = false;
    boite.indice = -1;
}
