#include "classe/sorties/identites.h"

#include <algorithm>
#include <tuple>

namespace {

bool avant(const Connu& a, const Connu& b)
{
    return std::tie(a.appareil, a.inode) < std::tie(b.appareil, b.inode);
}

} // namespace

void ajouterIdentite(Identites& identites, const struct stat& infos, Role role, std::size_t rangee)
{
    identites.push_back({infos.st_dev, infos.st_ino, role, rangee});
}

void trierIdentites(Identites& identites)
{
    std::sort(identites.begin(), identites.end(), avant);
}

const Connu* chercherAutre(const Identites& identites, const struct stat& infos, std::size_t rangee)
{
    const Connu cle{infos.st_dev, infos.st_ino, Role::remise, 0};
    const auto [premier, dernier] = std::equal_range(identites.begin(), identites.end(), cle, avant);
    for (auto connu = premier; connu != dernier; ++connu) {
        if (connu->role != Role::remise || connu->rangee != rangee)
            return &*connu;
    }
    return nullptr;
}

std::string decrireAutre(const Connu& autre)
{
    switch (autre.role) {
    case Role::test:
        return "m\xC3\xAAme fichier que le test";
    case Role::attendu:
        return "m\xC3\xAAme fichier que le corrig\xC3\xA9";
    case Role::remise:
        return "m\xC3\xAAme fichier qu'une autre remise";
    case Role::sortie:
    case Role::part:
        break;
    }
    return "fichier ouvert par valideur-classe";
}
