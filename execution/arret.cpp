#include "arret.h"

#include "copie.h"
#include "restes.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

sigset_t signauxArret()
{
    sigset_t signaux;
    sigemptyset(&signaux);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signaux, signal);
    return signaux;
}

// This process's children that have not ended yet: the runs' bubblewrap
// or monitors, whichever thread started them.
std::vector<pid_t> listerEnfants()
{
    std::vector<pid_t> enfants;
    DIR* proc = opendir("/proc");
    if (proc == nullptr)
        return enfants;
    const pid_t moi = getpid();
    for (const dirent* entree = readdir(proc); entree != nullptr; entree = readdir(proc)) {
        char* fin = nullptr;
        const long numero = std::strtol(entree->d_name, &fin, 10);
        if (numero <= 0 || *fin != '\0')
            continue;
        std::ifstream stat(std::string("/proc/") + entree->d_name + "/stat");
        std::string texte;
        std::getline(stat, texte);
        // The name, in parentheses, may hold anything: the fields follow
        // its last parenthesis.
        const std::size_t parenthese = texte.rfind(')');
        if (parenthese == std::string::npos)
            continue;
        char etat = 0;
        long parent = 0;
        if (std::sscanf(texte.c_str() + parenthese + 1, " %c %ld", &etat, &parent) == 2 && parent == moi
            && etat != 'Z' && etat != 'X')
            enfants.push_back(static_cast<pid_t>(numero));
    }
    closedir(proc);
    return enfants;
}

void arreterCourses(const Arret& arret)
{
    const auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (;;) {
        const std::vector<pid_t> enfants = listerEnfants();
        if (enfants.empty() || std::chrono::steady_clock::now() > limite)
            return;
        for (const pid_t enfant : enfants)
            kill(enfant, arret.bacActif ? SIGKILL : SIGTERM);
        usleep(10000);
    }
}

void veiller(Arret* arret, int signaux)
{
    pollfd attentes[2] = {{signaux, POLLIN, 0}, {arret->reveil, POLLIN, 0}};
    signalfd_siginfo info {};
    for (;;) {
        if (poll(attentes, 2, -1) < 0 && errno != EINTR)
            return;
        if ((attentes[1].revents & POLLIN) != 0)
            return;
        if ((attentes[0].revents & POLLIN) != 0 && read(signaux, &info, sizeof info) == sizeof info)
            break;
    }
    arret->demande = true;
    arreterCourses(*arret);
    // A copy that a worker was still making may come back once.
    for (int essai = 0; essai < 5 && !supprimerDossier(arret->racine.c_str()); ++essai)
        usleep(20000);
    const int signal = static_cast<int>(info.ssi_signo);
    std::signal(signal, SIG_DFL);
    sigset_t seul;
    sigemptyset(&seul);
    sigaddset(&seul, signal);
    // Blocked in every other thread: this one takes it.
    pthread_sigmask(SIG_UNBLOCK, &seul, nullptr);
    kill(getpid(), signal);
    _exit(128 + signal);
}

} // namespace

bool preparerArret(Arret& arret, std::string& erreur)
{
    const sigset_t signaux = signauxArret();
    pthread_sigmask(SIG_BLOCK, &signaux, nullptr);
    const char* temporaire = std::getenv("TMPDIR");
    const std::string base = temporaire != nullptr && *temporaire == '/' ? temporaire : "/tmp";
    nettoyerRestes(base);
    std::string racine = base + "/" + prefixeDossierPrive + "XXXXXX";
    if (mkdtemp(racine.data()) == nullptr) {
        erreur = "dossier priv\xC3\xA9 impossible dans " + base + " : " + std::strerror(errno);
        return false;
    }
    arret.racine = racine;
    arret.verrou = marquerDossier(racine);
    if (arret.verrou < 0) {
        erreur = "dossier priv\xC3\xA9 impossible dans " + base + " : " + std::strerror(errno);
        return false;
    }
    const int descripteur = signalfd(-1, &signaux, SFD_CLOEXEC);
    arret.reveil = eventfd(0, EFD_CLOEXEC);
    if (descripteur < 0 || arret.reveil < 0) {
        erreur = "signaux : " + std::string(std::strerror(errno));
        if (descripteur >= 0)
            close(descripteur);
        return false;
    }
    arret.veilleur = std::thread([&arret, descripteur] {
        veiller(&arret, descripteur);
        close(descripteur);
    });
    return true;
}

void fermerArret(Arret* arret)
{
    if (arret->veilleur.joinable()) {
        // Once stopped, the watcher ends the process: nothing more is written.
        const std::uint64_t un = 1;
        if (arret->demande || write(arret->reveil, &un, sizeof un) == sizeof un)
            arret->veilleur.join();
        else
            arret->veilleur.detach();
    }
    if (arret->reveil >= 0)
        close(arret->reveil);
    arret->reveil = -1;
    if (!arret->racine.empty())
        supprimerDossier(arret->racine.c_str());
    arret->racine.clear();
    if (arret->verrou >= 0)
        close(arret->verrou);
    arret->verrou = -1;
    const sigset_t signaux = signauxArret();
    pthread_sigmask(SIG_UNBLOCK, &signaux, nullptr);
}
