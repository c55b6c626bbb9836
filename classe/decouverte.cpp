#include "decouverte.h"

#include <algorithm>
#include <cerrno>
#include <memory>

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace {

struct Parcours {
    const std::string& motif;
    Decouverte& decouverte;
};

bool suitMotif(const std::string& motif, const std::string& nom, int drapeaux)
{
    return fnmatch(motif.c_str(), nom.c_str(), drapeaux) == 0;
}

// Searches `dossier`, whose entries are named `prefixe` + their name; returns
// the number of submissions found under it.
std::size_t parcourirDossier(Parcours& parcours, const std::string& dossier,
                             const std::string& prefixe, bool racine)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> flux(opendir(dossier.c_str()), closedir);
    if (!flux) {
        const int erreur = errno;
        parcours.decouverte.remises.push_back({dossier, racine ? dossier : prefixe, true, erreur});
        return 1;
    }
    std::vector<std::string> entrees;
    while (const dirent* entree = readdir(flux.get())) {
        const std::string nom = entree->d_name;
        if (nom != "." && nom != "..")
            entrees.push_back(nom);
    }
    std::size_t trouvees = 0;
    for (const std::string& nom : entrees) {
        std::string chemin = dossier;
        if (chemin.back() != '/')
            chemin += '/';
        chemin += nom;
        const std::string relatif = prefixe + nom;
        struct stat infos {};
        const bool connu = lstat(chemin.c_str(), &infos) == 0;
        const bool dossierReel = connu && S_ISDIR(infos.st_mode);
        if (suitMotif(parcours.motif, nom, 0)) {
            parcours.decouverte.remises.push_back({chemin, relatif, true, 0});
            ++trouvees;
        } else if (dossierReel) {
            const std::size_t dedans = parcourirDossier(parcours, chemin, relatif + '/', false);
            if (racine && dedans == 0 && nom.front() != '.')
                parcours.decouverte.remises.push_back({chemin, relatif + '/', true, ENOENT});
            trouvees += dedans;
        } else if (ressembleAuMotif(nom, parcours.motif)) {
            parcours.decouverte.ignores.push_back(chemin);
        }
    }
    return trouvees;
}

} // namespace

bool ressembleAuMotif(std::string_view nom, const std::string& motif)
{
    const std::string entier(nom);
    if (suitMotif(motif, entier, 0))
        return false;
    if (suitMotif(motif, entier, FNM_CASEFOLD))
        return true;
    for (std::size_t point = entier.find('.', 1); point != std::string::npos;
         point = entier.find('.', point + 1)) {
        if (suitMotif(motif, entier.substr(0, point), FNM_CASEFOLD))
            return true;
    }
    return false;
}

Decouverte decouvrirRemises(const std::vector<std::string>& racines, const std::string& motif)
{
    Decouverte decouverte;
    Parcours parcours{motif, decouverte};
    for (const std::string& racine : racines) {
        struct stat infos {};
        if (stat(racine.c_str(), &infos) == 0 && S_ISDIR(infos.st_mode))
            parcourirDossier(parcours, racine, "", true);
        else
            decouverte.remises.push_back({racine, racine, false, 0});
    }
    std::sort(decouverte.remises.begin(), decouverte.remises.end(),
              [](const Remise& a, const Remise& b) {
                  return a.nom != b.nom ? a.nom < b.nom : a.chemin < b.chemin;
              });
    std::sort(decouverte.ignores.begin(), decouverte.ignores.end());
    return decouverte;
}
