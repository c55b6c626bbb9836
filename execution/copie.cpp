#include "copie.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int profondeurMax = 64;

using Dossier = std::unique_ptr<DIR, int (*)(DIR*)>;

// What the copy may still write: bytes as read (a sparse file's holes and
// each hard link's file count in full) and entries.
struct Reste {
    std::uint64_t octets;
    std::uint64_t entrees;
};

int copierFichier(int source, int destination, const char* nom, mode_t mode, uid_t proprietaire,
                  gid_t groupe, Reste& reste)
{
    const int entree = openat(source, nom, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (entree < 0)
        return errno;
    const int sortie = openat(destination, nom, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              (mode & 0777) | 0600);
    if (sortie < 0) {
        const int erreur = errno;
        close(entree);
        return erreur;
    }
    int erreur = 0;
    char tampon[65536];
    for (;;) {
        const ssize_t lus = read(entree, tampon, sizeof tampon);
        if (lus < 0 && errno == EINTR)
            continue;
        if (lus <= 0) {
            erreur = lus < 0 ? errno : 0;
            break;
        }
        if (static_cast<std::uint64_t>(lus) > reste.octets) {
            erreur = EFBIG;
            break;
        }
        reste.octets -= static_cast<std::uint64_t>(lus);
        ssize_t ecrits = 0;
        while (ecrits < lus) {
            const ssize_t n = write(sortie, tampon + ecrits, static_cast<std::size_t>(lus - ecrits));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                erreur = errno;
                break;
            }
            ecrits += n;
        }
        if (erreur != 0)
            break;
    }
    if (erreur == 0 && proprietaire != static_cast<uid_t>(-1) && fchown(sortie, proprietaire, groupe) != 0)
        erreur = errno;
    // The file's mode again: the umask took some bits.
    if (erreur == 0 && fchmod(sortie, (mode & 0777) | 0600) != 0)
        erreur = errno;
    close(entree);
    if (close(sortie) != 0 && erreur == 0)
        erreur = errno;
    return erreur;
}

int copierEntrees(int source, int destination, uid_t proprietaire, gid_t groupe, Reste& reste, int profondeur)
{
    if (profondeur > profondeurMax)
        return ELOOP;
    const int copieSource = fcntl(source, F_DUPFD_CLOEXEC, 0);
    if (copieSource < 0)
        return errno;
    const Dossier dossier(fdopendir(copieSource), closedir);
    if (!dossier) {
        const int erreur = errno;
        close(copieSource);
        return erreur;
    }
    // The copy of the descriptor shares its position: a folder copied
    // before is read again from its start.
    rewinddir(dossier.get());
    for (;;) {
        errno = 0;
        const dirent* entree = readdir(dossier.get());
        if (entree == nullptr)
            return errno;
        const char* nom = entree->d_name;
        if (std::strcmp(nom, ".") == 0 || std::strcmp(nom, "..") == 0)
            continue;
        struct stat infos {};
        if (fstatat(source, nom, &infos, AT_SYMLINK_NOFOLLOW) != 0)
            return errno;
        const bool copiee = S_ISREG(infos.st_mode) || S_ISLNK(infos.st_mode) || S_ISDIR(infos.st_mode);
        if (copiee && reste.entrees == 0)
            return EFBIG;
        if (copiee)
            --reste.entrees;
        int erreur = 0;
        if (S_ISREG(infos.st_mode)) {
            erreur = copierFichier(source, destination, nom, infos.st_mode, proprietaire, groupe, reste);
        } else if (S_ISLNK(infos.st_mode)) {
            std::string cible(static_cast<std::size_t>(infos.st_size) + 1, '\0');
            const ssize_t longueur = readlinkat(source, nom, cible.data(), cible.size());
            if (longueur < 0)
                return errno;
            cible.resize(static_cast<std::size_t>(longueur));
            if (symlinkat(cible.c_str(), destination, nom) != 0)
                return errno;
            if (proprietaire != static_cast<uid_t>(-1)
                && fchownat(destination, nom, proprietaire, groupe, AT_SYMLINK_NOFOLLOW) != 0)
                return errno;
        } else if (S_ISDIR(infos.st_mode)) {
            if (mkdirat(destination, nom, 0700) != 0)
                return errno;
            const int dedans = openat(source, nom, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const int copie = openat(destination, nom, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (dedans < 0 || copie < 0)
                erreur = errno;
            else
                erreur = copierEntrees(dedans, copie, proprietaire, groupe, reste, profondeur + 1);
            if (erreur == 0 && proprietaire != static_cast<uid_t>(-1) && fchown(copie, proprietaire, groupe) != 0)
                erreur = errno;
            if (erreur == 0 && fchmod(copie, (infos.st_mode & 0777) | 0700) != 0)
                erreur = errno;
            if (dedans >= 0)
                close(dedans);
            if (copie >= 0)
                close(copie);
        }
        if (erreur != 0)
            return erreur;
    }
}

bool viderDossier(int dossier, int profondeur)
{
    const int copie = fcntl(dossier, F_DUPFD_CLOEXEC, 0);
    if (copie < 0)
        return false;
    const Dossier flux(fdopendir(copie), closedir);
    if (!flux) {
        close(copie);
        return false;
    }
    rewinddir(flux.get());
    bool reussi = true;
    for (const dirent* entree = readdir(flux.get()); entree != nullptr; entree = readdir(flux.get())) {
        const char* nom = entree->d_name;
        if (std::strcmp(nom, ".") == 0 || std::strcmp(nom, "..") == 0)
            continue;
        if (unlinkat(dossier, nom, 0) == 0)
            continue;
        if (errno != EISDIR || profondeur > profondeurMax + 1) {
            reussi = false;
            continue;
        }
        // A folder its program left without write or search permission.
        fchmodat(dossier, nom, 0700, 0);
        const int dedans = openat(dossier, nom, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (dedans < 0 || !viderDossier(dedans, profondeur + 1))
            reussi = false;
        if (dedans >= 0)
            close(dedans);
        if (unlinkat(dossier, nom, AT_REMOVEDIR) != 0)
            reussi = false;
    }
    return reussi;
}

} // namespace

int copierDossier(int source, int destination, uid_t proprietaire, gid_t groupe, std::uint64_t plafond,
                  std::uint64_t entreesMax)
{
    Reste reste{plafond, entreesMax};
    return copierEntrees(source, destination, proprietaire, groupe, reste, 0);
}

bool supprimerDossier(const char* chemin)
{
    chmod(chemin, 0700);
    const int dossier = open(chemin, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dossier < 0)
        return errno == ENOENT;
    const bool vide = viderDossier(dossier, 0);
    close(dossier);
    return rmdir(chemin) == 0 && vide;
}

bool supprimerDans(int parent, const char* nom)
{
    const int dossier = openat(parent, nom, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dossier < 0)
        return errno == ENOENT;
    fchmod(dossier, 0700);
    const bool vide = viderDossier(dossier, 0);
    close(dossier);
    return unlinkat(parent, nom, AT_REMOVEDIR) == 0 && vide;
}
