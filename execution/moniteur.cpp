#include "moniteur.h"

#include "boites.h"
#include "consommation.h"
#include "copie.h"
#include "filtre.h"
#include "limites.h"
#include "verdict.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Horloge = std::chrono::steady_clock;

struct Etat {
    pid_t commande = -1;
    bool premier = false; // PID 1 of the sandbox's namespace
    std::string filtre;   // loaded by the monitor itself outside a sandbox
    Rapport rapport;
};

// How often the whole run's CPU time and space are measured.
constexpr std::chrono::milliseconds intervalleMesures{100};

void fixerLimite(int ressource, rlim_t douce, rlim_t dure)
{
    const rlimit limite{douce, dure};
    setrlimit(ressource, &limite);
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void executerCommande(const Limites& limites, const Etat& etat, char* const* arguments,
                                   char* const* environnement)
{
    const bool premier = etat.premier;
    close(descripteurRapport);
    close(descripteurControle);
    close(descripteurRetour);
    // Where the descriptor is given, the program's memory is its own.
    if (write(descripteurGroupeProgramme, "0", 1) != 1) {
    }
    close(descripteurGroupeProgramme);
    sigset_t aucun;
    sigemptyset(&aucun);
    sigprocmask(SIG_SETMASK, &aucun, nullptr);
    // The grader ignores SIGPIPE; ignored signals would stay ignored
    // through exec.
    for (int signal = 1; signal < NSIG; ++signal)
        std::signal(signal, SIG_DFL);
    if (!premier)
        setpgid(0, 0);
    // In a control group, the monitor is kept from the kernel's choice
    // when memory runs out; the program is back in it.
    const int score = open("/proc/self/oom_score_adj", O_WRONLY | O_CLOEXEC);
    if (score >= 0) {
        if (write(score, "0", 1) != 1) {
        }
        close(score);
    }
    const auto secondes = static_cast<rlim_t>(std::ceil(limites.temps));
    fixerLimite(RLIMIT_CPU, secondes, secondes + 1);
    fixerLimite(RLIMIT_AS, limites.memoire, limites.memoire);
    fixerLimite(RLIMIT_FSIZE, limites.fichierMax, limites.fichierMax);
    fixerLimite(RLIMIT_CORE, 0, 0);
    // The sandbox's user namespace counts its own processes, this monitor
    // among them; outside it the count would be the grader's, but for a
    // box's own user id.
    const uid_t utilisateur = getuid();
    if (premier || (utilisateur >= premierIdentifiantBoite
                    && utilisateur - premierIdentifiantBoite < nombreBlocs * identifiantsParBloc))
        fixerLimite(RLIMIT_NPROC, limites.processus + 1, limites.processus + 1);
    if (!etat.filtre.empty() && !chargerFiltre(etat.filtre.data(), etat.filtre.size()))
        _exit(126);
    execve("/bin/sh", arguments, environnement);
    _exit(127);
}

// Every process of the run, killed and reaped. PID 1 reaches all of its
// namespace at once; outside a sandbox, the command's group, then each
// child left (a subreaper adopts the orphans) until none is.
void tuerTout(Etat& etat)
{
    for (;;) {
        if (etat.premier) {
            kill(-1, SIGKILL);
        } else {
            kill(-etat.commande, SIGKILL);
            std::ifstream enfants("/proc/self/task/" + std::to_string(getpid()) + "/children");
            for (pid_t enfant = 0; enfants >> enfant;)
                kill(enfant, SIGKILL);
        }
        int statut = 0;
        const pid_t fini = waitpid(-1, &statut, 0);
        if (fini < 0 && errno == EINTR)
            continue;
        if (fini < 0)
            return;
        if (fini == etat.commande && !etat.rapport.termine) {
            etat.rapport.statut = statut;
            etat.rapport.termine = true;
        }
    }
}

// Reaps what has ended; true once the command itself has.
bool recolter(Etat& etat)
{
    for (;;) {
        int statut = 0;
        const pid_t fini = waitpid(-1, &statut, WNOHANG);
        if (fini <= 0)
            return etat.rapport.termine;
        if (fini == etat.commande) {
            etat.rapport.statut = statut;
            etat.rapport.termine = true;
        }
    }
}

// Each process's own limit holds by itself; the run's, all its processes
// together, by measure. A process that ends between two readings may be
// counted twice once: past the limit, the CPU time is measured again.
bool depasserLimites(Etat& etat, const Limites& limites)
{
    const auto permis = static_cast<std::uint64_t>(limites.temps * 1e6);
    if (mesurerTemps(etat.premier) > permis && mesurerTemps(etat.premier) > permis)
        etat.rapport.tempsTotal = true;
    else if (etat.premier && depasserEspace(limites))
        etat.rapport.espaceDepasse = true;
    return etat.rapport.tempsTotal || etat.rapport.espaceDepasse;
}

void surveiller(Etat& etat, int signaux, const Limites& limites, Horloge::time_point debut)
{
    const auto limite = debut + std::chrono::microseconds(static_cast<std::int64_t>(limites.tempsReel * 1e6));
    auto mesure = debut + intervalleMesures;
    while (!recolter(etat)) {
        const auto maintenant = Horloge::now();
        const auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(limite - maintenant);
        if (reste.count() <= 0) {
            etat.rapport.horloge = true;
            return;
        }
        if (maintenant >= mesure) {
            if (depasserLimites(etat, limites))
                return;
            mesure = maintenant + intervalleMesures;
        }
        const auto attente = std::min(reste, std::chrono::duration_cast<std::chrono::milliseconds>(mesure - maintenant));
        pollfd attentes[2] = {{signaux, POLLIN, 0}, {descripteurControle, POLLIN, 0}};
        const int prets = poll(attentes, 2, static_cast<int>(std::min<std::int64_t>(attente.count() + 1, INT_MAX)));
        if (prets < 0 && errno != EINTR)
            return;
        if (prets > 0 && (attentes[0].revents & POLLIN) != 0) {
            signalfd_siginfo info {};
            bool arrete = false;
            while (read(signaux, &info, sizeof info) > 0)
                arrete = arrete || info.ssi_signo == SIGTERM;
            if (arrete) {
                etat.rapport.arrete = true;
                return;
            }
        }
        if (prets > 0 && attentes[1].revents != 0) {
            etat.rapport.arrete = true;
            return;
        }
    }
}

std::vector<std::string> preparerEnvironnement(bool execution)
{
    char dossier[PATH_MAX] = "/";
    if (getcwd(dossier, sizeof dossier) == nullptr)
        std::strcpy(dossier, "/");
    std::vector<std::string> environnement = {"PATH=/usr/local/bin:/usr/bin:/bin",
                                              "HOME=" + std::string(dossier), "LANG=C.UTF-8"};
    if (execution) {
        environnement.emplace_back("PYTHONUNBUFFERED=1");
        if (access(bibliothequeStdbuf, R_OK) == 0) {
            environnement.emplace_back("LD_PRELOAD=" + std::string(bibliothequeStdbuf));
            environnement.emplace_back("_STDBUF_O=L");
        }
    }
    return environnement;
}

// A command without operators, groupings or an assignment first runs as
// well after "exec": the shell then ends the way the program does, where
// it would otherwise turn a death by a signal into a status of 128 + N.
bool estCommandeSimple(const std::string& commande)
{
    if (commande.find_first_of(";&|(){}`\n!") != std::string::npos)
        return false;
    const std::size_t debut = commande.find_first_not_of(" \t");
    const std::size_t fin = commande.find_first_of(" \t", debut);
    return debut != std::string::npos && commande.substr(debut, fin - debut).find('=') == std::string::npos;
}

void envoyerRapport(const Rapport& rapport)
{
    const std::string ligne = ecrireRapport(rapport);
    std::size_t ecrits = 0;
    while (ecrits < ligne.size()) {
        const ssize_t n = write(descripteurRapport, ligne.data() + ecrits, ligne.size() - ecrits);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        ecrits += static_cast<std::size_t>(n);
    }
}

} // namespace

int lancerMoniteur(int argc, char* argv[])
{
    // Not dumpable: /proc/1 is closed to the program, and with it the
    // descriptors below.
    prctl(PR_SET_DUMPABLE, 0);
    std::signal(SIGPIPE, SIG_IGN);
    Limites limites;
    if (argc != 4 + nombreArgumentsLimites || !lireLimites(argv + 3, nombreArgumentsLimites, limites))
        return 125;
    const bool construction = std::strcmp(argv[2], modeConstruction) == 0;
    Etat etat;
    etat.premier = getpid() == 1;
    if (!etat.premier)
        prctl(PR_SET_CHILD_SUBREAPER, 1);
    // In a sandbox, bubblewrap has loaded the filter already; with a
    // control group, the runner gives none.
    if (!etat.premier && fcntl(descripteurFiltre, F_GETFD) >= 0 && !lireFiltre(descripteurFiltre, etat.filtre))
        return 125;
    close(descripteurFiltre);

    const int ici = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    etat.rapport.erreur = ici < 0 ? errno : copierDossier(descripteurSource, ici, static_cast<uid_t>(-1), static_cast<gid_t>(-1));
    close(descripteurSource);
    if (etat.rapport.erreur != 0) {
        envoyerRapport(etat.rapport);
        return 0;
    }

    const std::vector<std::string> textes = preparerEnvironnement(!construction);
    std::vector<char*> environnement(textes.size() + 1, nullptr);
    std::transform(textes.begin(), textes.end(), environnement.begin(),
                   [](const std::string& texte) { return const_cast<char*>(texte.c_str()); });
    const std::string donnee = argv[3 + nombreArgumentsLimites];
    const bool simple = estCommandeSimple(donnee);
    std::string commande = (simple ? "exec " : "") + donnee;
    char sh[] = "sh";
    char option[] = "-c";
    char* const arguments[] = {sh, option, commande.data(), nullptr};

    sigset_t enfants;
    sigemptyset(&enfants);
    sigaddset(&enfants, SIGCHLD);
    // Outside a sandbox, the grader stopped midway asks the monitor to end
    // the run: its processes go with it. As PID 1, the monitor is killed
    // with its namespace instead, and the program cannot ask it.
    if (!etat.premier)
        sigaddset(&enfants, SIGTERM);
    sigprocmask(SIG_BLOCK, &enfants, nullptr);
    const int signaux = signalfd(-1, &enfants, SFD_NONBLOCK | SFD_CLOEXEC);
    const auto debut = Horloge::now();
    etat.commande = fork();
    if (etat.commande == 0)
        executerCommande(limites, etat, arguments, environnement.data());
    if (etat.commande < 0) {
        etat.rapport.erreur = errno;
    } else {
        surveiller(etat, signaux, limites, debut);
        tuerTout(etat);
    }
    // The shell's own way of telling that its last command died of a signal.
    const int statut = etat.rapport.statut;
    if (!simple && WIFEXITED(statut) && WEXITSTATUS(statut) > 128 && WEXITSTATUS(statut) - 128 < NSIG)
        etat.rapport.statut = WEXITSTATUS(statut) - 128;
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    etat.rapport.microsecondes = static_cast<std::uint64_t>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000
        + static_cast<std::uint64_t>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    etat.rapport.kio = static_cast<std::uint64_t>(usage.ru_maxrss);
    // The built folder comes back to the grader's disk as the run's space
    // allows, whatever it holds: holes and hard links count in full.
    if (construction && etat.rapport.erreur == 0 && ici >= 0 && !etat.rapport.espaceDepasse) {
        etat.rapport.erreur = copierDossier(ici, descripteurRetour, static_cast<uid_t>(-1), static_cast<gid_t>(-1),
                                            limites.espace, calculerEntreesMax(limites));
        if (etat.rapport.erreur == EFBIG) {
            etat.rapport.erreur = 0;
            etat.rapport.espaceDepasse = true;
        }
    }
    envoyerRapport(etat.rapport);
    return 0;
}
