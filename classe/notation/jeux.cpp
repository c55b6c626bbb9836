#include "classe/notation/jeux.h"

#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <unistd.h>

namespace {

constexpr std::string_view extensionTest = ".txt";
constexpr std::string_view extensionAttendu = ".resultat";

bool finitPar(std::string_view texte, std::string_view fin)
{
    return texte.size() > fin.size() && texte.substr(texte.size() - fin.size()) == fin;
}

// The sets of one folder; false with the path at fault in `chemin`.
bool lireDossier(const std::string& dossier, bool cache, std::vector<JeuCorrige>& jeux, std::string& erreur,
                 std::string& chemin)
{
    DIR* flux = opendir(dossier.c_str());
    if (flux == nullptr) {
        if (cache && errno == ENOENT)
            return true;
        chemin = dossier;
        erreur = decrireErreur(errno);
        return false;
    }
    std::vector<std::string> noms;
    for (const dirent* entree = readdir(flux); entree != nullptr; entree = readdir(flux))
        noms.emplace_back(entree->d_name);
    closedir(flux);
    std::sort(noms.begin(), noms.end());
    for (const std::string& nom : noms) {
        if (!finitPar(nom, extensionTest))
            continue;
        JeuCorrige jeu;
        jeu.nom = nom.substr(0, nom.size() - extensionTest.size());
        jeu.cache = cache;
        jeu.corrige.cheminTest = dossier + "/";
        jeu.corrige.cheminTest += nom;
        jeu.corrige.cheminAttendu = dossier + "/";
        jeu.corrige.cheminAttendu += jeu.nom;
        jeu.corrige.cheminAttendu += extensionAttendu;
        if (access(jeu.corrige.cheminAttendu.c_str(), F_OK) != 0) {
            chemin = jeu.corrige.cheminTest;
            erreur = "pas de " + jeu.nom + std::string(extensionAttendu) + " \xC3\xA0 c\xC3\xB4t\xC3\xA9";
            return false;
        }
        jeux.push_back(std::move(jeu));
    }
    return true;
}

} // namespace

bool decouvrirJeux(const std::string& dossier, std::vector<JeuCorrige>& jeux, std::string& erreur,
                   std::string& chemin)
{
    if (!lireDossier(dossier, false, jeux, erreur, chemin) || !lireDossier(dossier + "/caches", true, jeux, erreur, chemin))
        return false;
    std::stable_sort(jeux.begin(), jeux.end(), [](const JeuCorrige& a, const JeuCorrige& b) { return a.nom < b.nom; });
    for (std::size_t i = 1; i < jeux.size(); ++i) {
        if (jeux[i].nom == jeux[i - 1].nom) {
            chemin = jeux[i].corrige.cheminTest;
            erreur = "deux jeux s'appellent " + jeux[i].nom;
            return false;
        }
    }
    if (jeux.empty()) {
        chemin = dossier;
        erreur = "aucun jeu de test (NOM.txt et NOM.resultat)";
        return false;
    }
    return true;
}

bool copierTest(JeuCorrige& jeu)
{
    struct stat infos {};
    std::string statut;
    const int test = ouvrirLecture(jeu.corrige.cheminTest, true, false, infos, statut);
    if (test < 0)
        return false;
    jeu.copie = memfd_create("jeu", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    bool reussi = jeu.copie >= 0;
    for (off_t reste = infos.st_size; reussi && reste > 0;) {
        const ssize_t copies = sendfile(jeu.copie, test, nullptr, static_cast<std::size_t>(std::min<off_t>(reste, 1 << 30)));
        reussi = copies > 0;
        reste -= copies;
    }
    close(test);
    return reussi && fcntl(jeu.copie, F_ADD_SEALS, F_SEAL_WRITE | F_SEAL_GROW | F_SEAL_SHRINK | F_SEAL_SEAL) == 0;
}

int ouvrirCopie(const JeuCorrige& jeu)
{
    return open(("/proc/self/fd/" + std::to_string(jeu.copie)).c_str(), O_RDONLY | O_CLOEXEC);
}
