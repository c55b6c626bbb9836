#include "restes.h"

#include "copie.h"

#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether the folder `nom` of `base` is a gone grader's: ours, with its
// lock file ours and free. The lock is then held by `verrou` while it is
// removed, so that two graders starting at once never both remove it.
bool estAbandonne(int base, const char* nom, int& verrou)
{
    struct stat infos {};
    if (fstatat(base, nom, &infos, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(infos.st_mode)
        || infos.st_uid != geteuid())
        return false;
    const int dossier = openat(base, nom, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dossier < 0)
        return false;
    verrou = openat(dossier, nomVerrou, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    close(dossier);
    struct stat marque {};
    if (verrou >= 0 && fstat(verrou, &marque) == 0 && S_ISREG(marque.st_mode) && marque.st_uid == geteuid()
        && flock(verrou, LOCK_EX | LOCK_NB) == 0)
        return true;
    if (verrou >= 0)
        close(verrou);
    verrou = -1;
    return false;
}

} // namespace

int marquerDossier(const std::string& racine)
{
    // Locked before it has its name: no other grader ever sees it free.
    const std::string provisoire = racine + "/" + nomVerrou + ".nouveau";
    const int verrou = open(provisoire.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (verrou < 0)
        return -1;
    const std::string pid = std::to_string(getpid()) + "\n";
    if (flock(verrou, LOCK_EX) != 0 || write(verrou, pid.data(), pid.size()) != static_cast<ssize_t>(pid.size())
        || rename(provisoire.c_str(), (racine + "/" + nomVerrou).c_str()) != 0) {
        close(verrou);
        unlink(provisoire.c_str());
        return -1;
    }
    return verrou;
}

int nettoyerRestes(const std::string& base)
{
    const int dossier = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dossier < 0)
        return 0;
    const int lecture = fcntl(dossier, F_DUPFD_CLOEXEC, 0);
    DIR* flux = lecture < 0 ? nullptr : fdopendir(lecture);
    if (flux == nullptr) {
        if (lecture >= 0)
            close(lecture);
        close(dossier);
        return 0;
    }
    const std::size_t longueurPrefixe = std::strlen(prefixeDossierPrive);
    int supprimes = 0;
    for (const dirent* entree = readdir(flux); entree != nullptr; entree = readdir(flux)) {
        const char* nom = entree->d_name;
        if (std::strlen(nom) != longueurPrefixe + 6 || std::memcmp(nom, prefixeDossierPrive, longueurPrefixe) != 0)
            continue;
        int verrou = -1;
        if (!estAbandonne(dossier, nom, verrou))
            continue;
        if (supprimerDans(dossier, nom))
            ++supprimes;
        close(verrou);
    }
    closedir(flux);
    close(dossier);
    return supprimes;
}
