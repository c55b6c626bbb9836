#include "classe/sorties/sorties.h"

#include "classe/sorties/tableau.h"

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <cstddef>
#include <iostream>
#include <limits>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t aucuneRangee = std::numeric_limits<std::size_t>::max();

std::string decrireConnu(const Connu& connu)
{
    switch (connu.role) {
    case Role::test:
    case Role::attendu:
        return "est le fichier de test ou le fichier attendu";
    case Role::remise:
        return "est une remise";
    case Role::part:
        return "est une part \xC3\xA0 fusionner";
    case Role::sortie:
        break;
    }
    return "est aussi le tableau des notes";
}

} // namespace

bool ouvrirDescripteursStandard()
{
    bool sortieFermee = false;
    for (int descripteur = 0; descripteur <= 2; ++descripteur) {
        if (fcntl(descripteur, F_GETFD) != -1 || errno != EBADF)
            continue;
        sortieFermee = sortieFermee || descripteur == STDOUT_FILENO;
        // The lowest free number: this one.
        const int nul = open("/dev/null", descripteur == 0 ? O_RDONLY : O_WRONLY);
        if (nul >= 0 && nul != descripteur)
            close(nul);
    }
    return sortieFermee;
}

int ouvrirEcriture(const std::string& chemin, const Identites& identites, std::string& erreur, bool vider)
{
    // Before anything is created or emptied, then again on what was opened.
    struct stat infos {};
    if (stat(chemin.c_str(), &infos) == 0) {
        if (const Connu* const connu = chercherAutre(identites, infos, aucuneRangee)) {
            erreur = decrireConnu(*connu);
            return -1;
        }
    }
    const int descripteur = open(chemin.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    if (descripteur < 0) {
        erreur = errno == ENXIO ? "tube sans lecteur" : decrireErreur(errno);
        return -1;
    }
    const bool identifie = fstat(descripteur, &infos) == 0;
    const Connu* const connu = identifie ? chercherAutre(identites, infos, aucuneRangee) : nullptr;
    if (!identifie || connu != nullptr
        || fcntl(descripteur, F_SETFL, fcntl(descripteur, F_GETFL) & ~O_NONBLOCK) != 0
        || (vider && S_ISREG(infos.st_mode) && ftruncate(descripteur, 0) != 0)) {
        close(descripteur);
        erreur = connu != nullptr ? decrireConnu(*connu) : "erreur d'ouverture";
        return -1;
    }
    return descripteur;
}

bool viderFichier(int descripteur)
{
    struct stat infos {};
    return fstat(descripteur, &infos) != 0 || !S_ISREG(infos.st_mode) || ftruncate(descripteur, 0) == 0;
}

bool ecrireTout(int descripteur, std::string_view texte)
{
    while (!texte.empty()) {
        const ssize_t ecrits = write(descripteur, texte.data(), texte.size());
        if (ecrits < 0 && errno == EINTR)
            continue;
        if (ecrits <= 0)
            return false;
        texte.remove_prefix(static_cast<std::size_t>(ecrits));
    }
    return true;
}

bool estDansDossier(const std::string& chemin, const std::string& dossier)
{
    const auto resoudre = [](const std::string& nom) {
        const std::unique_ptr<char, void (*)(void*)> reel(realpath(nom.c_str(), nullptr), std::free);
        return reel ? std::string(reel.get()) : std::string();
    };
    const std::size_t barre = chemin.rfind('/');
    const std::string parent = resoudre(barre == std::string::npos ? "." : barre == 0 ? "/" : chemin.substr(0, barre));
    const std::string interieur = resoudre(dossier);
    if (parent.empty() || interieur.empty())
        return false;
    return parent == interieur || parent.rfind(interieur + '/', 0) == 0;
}

std::string verifierSortieStandard(const Identites& identites)
{
    struct stat infos {};
    if (fstat(STDOUT_FILENO, &infos) != 0)
        return {};
    const Connu* const connu = chercherAutre(identites, infos, aucuneRangee);
    return connu == nullptr ? std::string() : decrireConnu(*connu);
}

void signalerErreur(std::string_view chemin, std::string_view motif)
{
    std::cerr << prefixe << rendreInoffensif(chemin) << " : " << motif << '\n';
}

std::string decrireErreur(int erreur)
{
    switch (erreur) {
    case ENOENT:
    case ENOTDIR:
        return std::string(statutAbsent);
    case EACCES:
    case EPERM:
        return "permission refus\xC3\xA9" "e";
    case EISDIR:
        return "r\xC3\xA9pertoire";
    case ELOOP:
        return "lien en boucle";
    case ENAMETOOLONG:
        return std::string(statutTropLong);
    default:
        return "erreur d'ouverture";
    }
}

std::string_view retirerBarresFinales(std::string_view chemin)
{
    while (chemin.size() > 1 && chemin.back() == '/')
        chemin.remove_suffix(1);
    return chemin;
}

std::string extraireParticipant(std::string_view nom, std::string* nomComplet)
{
    static constexpr std::string_view marque = "_assignsubmission_";
    for (std::size_t fin = nom.find(marque); fin != std::string_view::npos; fin = nom.find(marque, fin + 1)) {
        const std::size_t barre = nom.rfind('/', fin);
        const std::size_t dossier = barre == std::string_view::npos ? 0 : barre + 1;
        std::size_t debut = fin;
        while (debut > dossier && nom[debut - 1] >= '0' && nom[debut - 1] <= '9')
            --debut;
        if (debut == fin || debut < dossier + 2 || nom[debut - 1] != '_')
            continue;
        if (nomComplet != nullptr)
            *nomComplet = std::string(nom.substr(dossier, debut - 1 - dossier));
        return std::string(nom.substr(debut, fin - debut));
    }
    return {};
}

int ouvrirLecture(const std::string& chemin, bool ordinaireSeulement, bool sansLien,
                  struct stat& infos, std::string& statut)
{
    // A pipe opened without O_NONBLOCK would wait for a writer before its
    // kind could be seen.
    const int drapeaux = O_RDONLY | O_CLOEXEC | (ordinaireSeulement ? O_NONBLOCK : 0)
        | (sansLien ? O_NOFOLLOW : 0);
    const int descripteur = open(chemin.c_str(), drapeaux);
    if (descripteur < 0) {
        statut = sansLien && errno == ELOOP ? std::string(statutLien) : decrireErreur(errno);
        return -1;
    }
    const bool connu = fstat(descripteur, &infos) == 0;
    if (connu && S_ISDIR(infos.st_mode))
        statut = decrireErreur(EISDIR);
    else if (connu && ordinaireSeulement && !S_ISREG(infos.st_mode))
        statut = "pas un fichier ordinaire";
    else if (!connu
             || (ordinaireSeulement
                 && fcntl(descripteur, F_SETFL, fcntl(descripteur, F_GETFL) & ~O_NONBLOCK) < 0))
        statut = "erreur d'ouverture";
    else
        return descripteur;
    close(descripteur);
    return -1;
}
