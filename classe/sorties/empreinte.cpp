#include "classe/sorties/empreinte.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t borneRemise = std::uint64_t{256} << 20;

std::int64_t lireDate(const struct stat& infos)
{
    return static_cast<std::int64_t>(infos.st_mtim.tv_sec) * 1000000000 + infos.st_mtim.tv_nsec;
}

void empreindreNombre(Empreinte& empreinte, std::int64_t nombre)
{
    empreindre(empreinte, std::to_string(nombre) + '\n');
}

// One entry of a submission: its kind and what it holds. `reste` is what
// may still be read of the whole submission.
void empreindreEntree(Empreinte& empreinte, const std::string& chemin, const struct stat& infos, bool suivreLien,
                      std::uint64_t& reste)
{
    if (S_ISLNK(infos.st_mode)) {
        std::string cible(4096, '\0');
        const ssize_t taille = readlink(chemin.c_str(), cible.data(), cible.size());
        empreindre(empreinte, "lien\n");
        empreindre(empreinte, cible.substr(0, static_cast<std::size_t>(std::max<ssize_t>(taille, 0))));
        return;
    }
    if (!S_ISREG(infos.st_mode)) {
        empreindre(empreinte, S_ISDIR(infos.st_mode) ? "dossier\n" : "autre\n");
        return;
    }
    empreindre(empreinte, "fichier\n");
    empreindreNombre(empreinte, static_cast<std::int64_t>(infos.st_size));
    const int descripteur = open(chemin.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (suivreLien ? 0 : O_NOFOLLOW));
    struct stat ouvert {};
    bool tronque = reste < static_cast<std::uint64_t>(infos.st_size);
    // Only the very file seen, and only when it is wholly read: a larger
    // one counts by its size and date.
    if (descripteur < 0 || fstat(descripteur, &ouvert) != 0 || ouvert.st_ino != infos.st_ino || tronque
        || !empreindreDescripteur(descripteur, empreinte, reste, tronque) || tronque) {
        empreindre(empreinte, descripteur < 0 ? "illisible\n" : "date\n");
        empreindreNombre(empreinte, lireDate(infos));
    } else {
        reste -= static_cast<std::uint64_t>(infos.st_size);
    }
    if (descripteur >= 0)
        close(descripteur);
}

} // namespace

void empreindre(Empreinte& empreinte, std::string_view octets)
{
    constexpr std::uint64_t premier = 0x100000001b3;
    std::size_t i = 0;
    for (; i < octets.size() && empreinte.enAttente > 0; ++i) {
        empreinte.attente |= std::uint64_t{static_cast<unsigned char>(octets[i])} << (8 * empreinte.enAttente);
        if (++empreinte.enAttente == 8) {
            empreinte.valeur = (empreinte.valeur ^ empreinte.attente) * premier;
            empreinte.attente = 0;
            empreinte.enAttente = 0;
        }
    }
    for (; i + 8 <= octets.size(); i += 8) {
        std::uint64_t mot = 0;
        for (unsigned k = 0; k < 8; ++k)
            mot |= std::uint64_t{static_cast<unsigned char>(octets[i + k])} << (8 * k);
        empreinte.valeur = (empreinte.valeur ^ mot) * premier;
    }
    for (; i < octets.size(); ++i) {
        empreinte.attente |= std::uint64_t{static_cast<unsigned char>(octets[i])} << (8 * empreinte.enAttente);
        ++empreinte.enAttente;
    }
}

std::uint64_t terminerEmpreinte(const Empreinte& empreinte)
{
    std::uint64_t valeur = empreinte.valeur;
    for (unsigned k = 0; k < empreinte.enAttente; ++k)
        valeur = (valeur ^ ((empreinte.attente >> (8 * k)) & 0xff)) * 0x100000001b3;
    return valeur;
}

std::uint64_t empreindreTexte(std::string_view texte)
{
    Empreinte empreinte;
    empreindre(empreinte, texte);
    return terminerEmpreinte(empreinte);
}

std::string ecrireEmpreinte(std::uint64_t valeur)
{
    std::string hexa(16, '0');
    for (std::size_t i = 16; i-- > 0; valeur >>= 4)
        hexa[i] = "0123456789abcdef"[valeur & 0xf];
    return hexa;
}

bool empreindreDescripteur(int descripteur, Empreinte& empreinte, std::uint64_t borne, bool& tronque)
{
    tronque = false;
    char tampon[65536];
    std::uint64_t lus = 0;
    for (;;) {
        const ssize_t n = read(descripteur, tampon, sizeof tampon);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        const auto taille = static_cast<std::uint64_t>(n);
        if (lus + taille > borne) {
            tronque = true;
            return true;
        }
        lus += taille;
        empreindre(empreinte, std::string_view(tampon, static_cast<std::size_t>(n)));
    }
}

std::uint64_t empreindreRemise(const std::string& chemin, bool suivreLien, std::int64_t& modifiee)
{
    Empreinte empreinte;
    modifiee = 0;
    struct stat infos {};
    if ((suivreLien ? stat(chemin.c_str(), &infos) : lstat(chemin.c_str(), &infos)) != 0) {
        empreindre(empreinte, "absent\n");
        return terminerEmpreinte(empreinte);
    }
    std::uint64_t reste = borneRemise;
    // A folder's tree, walked without recursion however deep it goes; a
    // path too long to open counts by its name.
    std::vector<std::string> aVoir{std::string()};
    while (!aVoir.empty()) {
        const std::string relatif = std::move(aVoir.back());
        aVoir.pop_back();
        std::string complet = chemin;
        if (!relatif.empty())
            complet.append(1, '/').append(relatif);
        struct stat entree {};
        if (!relatif.empty() && lstat(complet.c_str(), &entree) != 0) {
            empreindre(empreinte, relatif + "\nillisible\n");
            continue;
        }
        if (relatif.empty())
            entree = infos;
        modifiee = std::max(modifiee, lireDate(entree));
        empreindre(empreinte, relatif + '\n');
        if (!S_ISDIR(entree.st_mode)) {
            // A REMISE named on the command line may be a link: its file.
            empreindreEntree(empreinte, complet, entree, suivreLien && relatif.empty(), reste);
            continue;
        }
        empreindre(empreinte, "dossier\n");
        const std::unique_ptr<DIR, int (*)(DIR*)> flux(opendir(complet.c_str()), closedir);
        if (!flux) {
            empreindre(empreinte, "illisible\n");
            continue;
        }
        std::vector<std::string> noms;
        while (const dirent* element = readdir(flux.get())) {
            const std::string nom = element->d_name;
            if (nom != "." && nom != "..")
                noms.push_back(relatif.empty() ? nom : std::string(relatif).append(1, '/').append(nom));
        }
        // Visited in order of name: the last pushed comes first.
        std::sort(noms.rbegin(), noms.rend());
        std::move(noms.begin(), noms.end(), std::back_inserter(aVoir));
    }
    return terminerEmpreinte(empreinte);
}
