#include "bac_a_sable.h"

#include "copie.h"
#include "filtre.h"
#include "moniteur.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr const char* cheminMoniteur = "/run/moniteur";

std::string chercherProgramme(const char* nom)
{
    const char* chemins = std::getenv("PATH");
    std::string reste = chemins != nullptr && *chemins != '\0' ? chemins : "/usr/bin:/bin";
    for (std::size_t debut = 0; debut <= reste.size();) {
        std::size_t fin = reste.find(':', debut);
        if (fin == std::string::npos)
            fin = reste.size();
        std::string chemin = reste.substr(debut, fin - debut) + "/" + nom;
        if (fin > debut && access(chemin.c_str(), X_OK) == 0)
            return chemin;
        debut = fin + 1;
    }
    return {};
}

// The system as the sandbox sees it. The top-level links of a merged /usr
// are links again; of /etc, the loader's cache and configuration, the
// alternatives (cc, python3...), the time zone and the interpreters' own.
std::vector<std::string> decrireSysteme()
{
    std::vector<std::string> arguments = {
        "--unshare-user", "--unshare-pid", "--unshare-net", "--unshare-ipc", "--unshare-uts",
        "--unshare-cgroup-try", "--disable-userns", "--die-with-parent", "--new-session",
        "--as-pid-1", "--uid", "1000", "--gid", "1000", "--hostname", "remise",
        "--ro-bind", "/usr", "/usr"};
    for (const char* haut : {"/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32"}) {
        struct stat infos {};
        if (lstat(haut, &infos) != 0)
            continue;
        if (S_ISLNK(infos.st_mode)) {
            std::array<char, PATH_MAX> cible {};
            const ssize_t longueur = readlink(haut, cible.data(), cible.size() - 1);
            if (longueur > 0)
                arguments.insert(arguments.end(), {"--symlink", std::string(cible.data(), static_cast<std::size_t>(longueur)), haut});
        } else if (S_ISDIR(infos.st_mode)) {
            arguments.insert(arguments.end(), {"--ro-bind", haut, haut});
        }
    }
    std::vector<std::string> etc = {"ld.so.cache", "ld.so.conf", "ld.so.conf.d", "alternatives", "localtime"};
    if (DIR* dossier = opendir("/etc")) {
        for (const dirent* entree = readdir(dossier); entree != nullptr; entree = readdir(dossier)) {
            const std::string nom = entree->d_name;
            if (nom.rfind("python3", 0) == 0 || nom.rfind("java-", 0) == 0 || nom == "perl")
                etc.push_back(nom);
        }
        closedir(dossier);
    }
    for (const std::string& nom : etc)
        arguments.insert(arguments.end(), {"--ro-bind-try", "/etc/" + nom, "/etc/" + nom});
    arguments.insert(arguments.end(), {"--proc", "/proc", "--dev", "/dev"});
    return arguments;
}

// Started by root, bubblewrap runs as an unprivileged user, who may not
// reach this program where it lies (a build under /root): the sandbox binds
// a copy of it that anyone can read instead, in a folder of its own.
bool copierMoniteur(BacASable& bac)
{
    std::string dossier = bac.racine + "/moniteur";
    // The sandbox's user crosses the class's folder, without reading it.
    if (mkdir(dossier.c_str(), 0700) != 0 || chmod(bac.racine.c_str(), 0711) != 0)
        return false;
    bac.dossierMoniteur = dossier;
    const std::string copie = dossier + "/moniteur";
    const int source = open(bac.moniteur.c_str(), O_RDONLY | O_CLOEXEC);
    const int destination = open(copie.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0755);
    bool reussi = source >= 0 && destination >= 0 && chmod(dossier.c_str(), 0755) == 0
        && fchmod(destination, 0755) == 0;
    for (char tampon[65536]; reussi;) {
        const ssize_t lus = read(source, tampon, sizeof tampon);
        if (lus <= 0) {
            reussi = lus == 0;
            break;
        }
        reussi = write(destination, tampon, static_cast<std::size_t>(lus)) == lus;
    }
    if (source >= 0)
        close(source);
    if (destination >= 0 && close(destination) != 0)
        reussi = false;
    if (reussi)
        bac.moniteur = copie;
    return reussi;
}

// The sandbox tried once with a program that does nothing: the first line
// bubblewrap wrote when it could not.
bool essayerBacASable(const BacASable& bac, std::string& message)
{
    std::vector<std::string> arguments = {bac.bwrap};
    arguments.insert(arguments.end(), bac.systeme.begin(), bac.systeme.end());
    arguments.insert(arguments.end(), {"--remount-ro", "/", "/bin/sh", "-c", ":"});
    int tube[2];
    if (pipe2(tube, O_CLOEXEC) != 0)
        return false;
    const pid_t processus = demarrerProcessus(bac, nullptr, nullptr, arguments, {-1, -1, tube[1], -1, -1, -1, -1}, nullptr);
    close(tube[1]);
    char tampon[512];
    std::size_t lus = 0;
    for (ssize_t n = 1; n > 0 && lus < sizeof tampon;) {
        n = read(tube[0], tampon + lus, sizeof tampon - lus);
        if (n > 0)
            lus += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            n = 1;
    }
    close(tube[0]);
    int statut = 0;
    if (processus < 0 || waitpid(processus, &statut, 0) != processus)
        return false;
    message.assign(tampon, lus);
    message.resize(std::min(message.size(), message.find('\n')));
    return WIFEXITED(statut) && WEXITSTATUS(statut) == 0;
}

} // namespace

bool preparerBacASable(bool actif, BacASable& bac, std::string& erreur)
{
    bac.actif = actif;
    std::array<char, PATH_MAX> chemin {};
    const ssize_t longueur = readlink("/proc/self/exe", chemin.data(), chemin.size() - 1);
    if (longueur <= 0) {
        erreur = "impossible de trouver ce programme dans /proc/self/exe : /proc doit \xC3\xAAtre mont\xC3\xA9";
        return false;
    }
    bac.moniteur.assign(chemin.data(), static_cast<std::size_t>(longueur));
    // A control group bounds what the filter refuses: the filter is for
    // the machines that lend none.
    preparerGroupes(bac.groupesPermis, *bac.groupes);
    const bool filtrer = bac.groupes->mode == ModeLimites::comptabilite;
    bac.filtre = filtrer ? compilerFiltre() : -1;
    if (filtrer && bac.filtre < 0) {
        erreur = "impossible de pr\xC3\xA9parer le filtre seccomp : " + std::string(std::strerror(errno));
        return false;
    }
    if (actif) {
        bac.bwrap = chercherProgramme("bwrap");
        if (bac.bwrap.empty()) {
            erreur = "bubblewrap (bwrap) est introuvable : installez le paquet bubblewrap "
                     "(apt-get install bubblewrap), ou lancez --sans-bac-a-sable dans un conteneur d\xC3\xA9j\xC3\xA0 isol\xC3\xA9";
            return false;
        }
    }
    // Started by root, programs never run as root, in a sandbox or not:
    // without one, what only root may read (a hosted autograder's hidden
    // sets) stays out of their reach.
    if (geteuid() == 0) {
        bac.changerUtilisateur = true;
        if (const passwd* personne = getpwnam("nobody")) {
            bac.utilisateur = personne->pw_uid;
            bac.groupe = personne->pw_gid;
        }
        if (!reserverBoites(*bac.boites)) {
            erreur = "tous les identifiants r\xC3\xA9serv\xC3\xA9s aux bacs \xC3\xA0 sable sont pris";
            return false;
        }
        if (!copierMoniteur(bac)) {
            erreur = "impossible de copier ce programme pour le bac \xC3\xA0 sable dans " + bac.dossierMoniteur;
            return false;
        }
    }
    if (!actif)
        return true;
    bac.systeme = decrireSysteme();
    if (bac.filtre >= 0)
        bac.systeme.insert(bac.systeme.end(), {"--seccomp", std::to_string(descripteurFiltre)});
    std::string message;
    if (!essayerBacASable(bac, message)) {
        erreur = "bubblewrap ne peut pas cr\xC3\xA9" "er de bac \xC3\xA0 sable"
            + (message.empty() ? std::string() : " (" + message + ")")
            + " : activez les espaces de noms utilisateur (sysctl kernel.unprivileged_userns_clone=1 "
              "et user.max_user_namespaces non nul), ou lancez --sans-bac-a-sable dans un conteneur d\xC3\xA9j\xC3\xA0 isol\xC3\xA9";
        return false;
    }
    return true;
}

void fermerBacASable(BacASable* bac)
{
    if (!bac->dossierMoniteur.empty())
        supprimerDossier(bac->dossierMoniteur.c_str());
    bac->dossierMoniteur.clear();
    if (bac->filtre >= 0)
        close(bac->filtre);
    bac->filtre = -1;
    fermerGroupes(*bac->groupes);
    libererBoites(*bac->boites);
}

std::vector<std::string> construireCommande(const BacASable& bac, const Limites& limites,
                                            const char* mode, const std::string& commande)
{
    std::vector<std::string> arguments;
    if (bac.actif) {
        const std::string taille = std::to_string(limites.espace);
        arguments.push_back(bac.bwrap);
        arguments.insert(arguments.end(), bac.systeme.begin(), bac.systeme.end());
        // /dev is a writable tmpfs of bubblewrap's: read-only, with a
        // bounded /dev/shm, like the root.
        arguments.insert(arguments.end(),
                         {"--size", taille, "--tmpfs", "/dev/shm", "--remount-ro", "/dev",
                          "--size", taille, "--tmpfs", "/tmp", "--size", taille, "--tmpfs", "/remise",
                          "--ro-bind", bac.moniteur, cheminMoniteur, "--remount-ro", "/",
                          "--chdir", "/remise", "--clearenv", cheminMoniteur});
    } else {
        arguments.push_back(bac.moniteur);
    }
    arguments.insert(arguments.end(), {argumentMoniteur, mode});
    const std::vector<std::string> valeurs = ecrireLimites(limites);
    arguments.insert(arguments.end(), valeurs.begin(), valeurs.end());
    arguments.push_back(commande);
    return arguments;
}

pid_t demarrerProcessus(const BacASable& bac, const Boite* boite, const GroupeControle* groupe,
                        const std::vector<std::string>& arguments, const int (&descripteurs)[7],
                        const char* dossier)
{
    std::vector<char*> argv(arguments.size() + 1, nullptr);
    std::transform(arguments.begin(), arguments.end(), argv.begin(),
                   [](const std::string& argument) { return const_cast<char*>(argument.c_str()); });
    char* environnement[] = {nullptr};
    const bool changer = bac.changerUtilisateur;
    // Opened anew, each run reads the filter from its start, whoever reads
    // another at the same time.
    const std::string filtre = "/proc/self/fd/" + std::to_string(bac.filtre);
    const uid_t utilisateur = boite != nullptr ? boite->utilisateur : bac.utilisateur;
    const gid_t groupeUnix = boite != nullptr ? boite->groupe : bac.groupe;
    const pid_t processus = fork();
    if (processus != 0)
        return processus;
    // The child of a threaded program: async-signal-safe calls only. The
    // grader's blocked signals would pass through exec.
    sigset_t aucun;
    sigemptyset(&aucun);
    sigprocmask(SIG_SETMASK, &aucun, nullptr);
    // Into the working folder first: the user it is given to may not cross
    // the folders above it.
    if (dossier != nullptr && chdir(dossier) != 0)
        _exit(126);
    const int programme = bac.filtre < 0 ? -1 : open(filtre.c_str(), O_RDONLY | O_CLOEXEC);
    if (bac.filtre >= 0 && programme < 0)
        _exit(126);
    // In the run's group before anything of the run is made. The monitor
    // is the last the kernel kills for memory: the program goes first.
    if (groupe != nullptr && !entrerGroupe(*groupe))
        _exit(126);
    if (changer && groupe != nullptr && groupe->mode != ModeLimites::comptabilite) {
        const int score = open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC);
        if (score >= 0) {
            if (write(score, "-1000", 5) != 5) {
            }
            close(score);
        }
    }
    if (changer && (setgroups(0, nullptr) != 0 || setgid(groupeUnix) != 0 || setuid(utilisateur) != 0))
        _exit(126);
    // Moved above the targets first: a source may be another's target.
    int hauts[9];
    for (int i = 0; i < 9; ++i) {
        const int source = i < 7 ? descripteurs[i] : i == 7 ? programme : groupe != nullptr ? groupe->programme : -1;
        hauts[i] = source < 0 ? -1 : fcntl(source, F_DUPFD, 16);
        if (source >= 0 && hauts[i] < 0)
            _exit(126);
    }
    for (int i = 0; i < 9; ++i) {
        if (hauts[i] < 0)
            close(i);
        else if (dup2(hauts[i], i) < 0)
            _exit(126);
    }
    syscall(SYS_close_range, 9U, ~0U, 0U);
    execve(argv[0], argv.data(), environnement);
    _exit(127);
}
