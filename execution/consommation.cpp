#include "consommation.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

// A process's CPU time and its reaped children's, in clock ticks.
bool lireTics(pid_t numero, std::uint64_t& tics)
{
    const std::string chemin = "/proc/" + std::to_string(numero) + "/stat";
    const int fichier = open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
    if (fichier < 0)
        return false;
    char texte[1024];
    const ssize_t lus = read(fichier, texte, sizeof texte - 1);
    close(fichier);
    if (lus <= 0)
        return false;
    texte[lus] = '\0';
    // The name, in parentheses, may hold anything: the fields follow its
    // last parenthesis.
    const char* fin = nullptr;
    for (const char* c = texte; c < texte + lus; ++c) {
        if (*c == ')')
            fin = c;
    }
    unsigned long long utime = 0, stime = 0;
    long long cutime = 0, cstime = 0;
    if (fin == nullptr
        || std::sscanf(fin + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu %lld %lld", &utime, &stime,
                       &cutime, &cstime) != 4)
        return false;
    tics = utime + stime + static_cast<std::uint64_t>(cutime > 0 ? cutime : 0)
        + static_cast<std::uint64_t>(cstime > 0 ? cstime : 0);
    return true;
}

// Every process of the sandbox's namespace but its first.
std::vector<pid_t> listerNamespace()
{
    std::vector<pid_t> processus;
    if (DIR* proc = opendir("/proc")) {
        for (const dirent* entree = readdir(proc); entree != nullptr; entree = readdir(proc)) {
            char* fin = nullptr;
            const long numero = std::strtol(entree->d_name, &fin, 10);
            if (numero > 1 && *fin == '\0')
                processus.push_back(static_cast<pid_t>(numero));
        }
        closedir(proc);
    }
    return processus;
}

// This process's descendants, through each thread's list of children:
// outside a sandbox, the machine's other processes are never read.
std::vector<pid_t> listerDescendants()
{
    std::vector<pid_t> processus;
    std::vector<pid_t> aVoir{getpid()};
    while (!aVoir.empty()) {
        const pid_t parent = aVoir.back();
        aVoir.pop_back();
        const std::string taches = "/proc/" + std::to_string(parent) + "/task";
        DIR* dossier = opendir(taches.c_str());
        if (dossier == nullptr)
            continue;
        for (const dirent* entree = readdir(dossier); entree != nullptr; entree = readdir(dossier)) {
            if (entree->d_name[0] == '.')
                continue;
            std::ifstream enfants(taches + "/" + entree->d_name + "/children");
            for (pid_t enfant = 0; enfants >> enfant;) {
                processus.push_back(enfant);
                aVoir.push_back(enfant);
            }
        }
        closedir(dossier);
    }
    return processus;
}

} // namespace

std::uint64_t mesurerTemps(bool premier)
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const std::uint64_t microsecondes =
        static_cast<std::uint64_t>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000
        + static_cast<std::uint64_t>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    std::uint64_t tics = 0;
    for (const pid_t numero : premier ? listerNamespace() : listerDescendants()) {
        std::uint64_t siens = 0;
        if (lireTics(numero, siens))
            tics += siens;
    }
    const auto parSeconde = static_cast<std::uint64_t>(sysconf(_SC_CLK_TCK));
    return microsecondes + tics * 1000000 / (parSeconde > 0 ? parSeconde : 100);
}

bool depasserEspace(const Limites& limites)
{
    std::uint64_t octets = 0;
    std::uint64_t entrees = 0;
    for (const char* dossier : {".", "/tmp", "/dev/shm"}) {
        struct statfs infos {};
        if (statfs(dossier, &infos) != 0)
            continue;
        octets += static_cast<std::uint64_t>(infos.f_blocks - infos.f_bfree) * static_cast<std::uint64_t>(infos.f_bsize);
        entrees += static_cast<std::uint64_t>(infos.f_files - infos.f_ffree);
    }
    return octets > limites.espace || entrees > calculerEntreesMax(limites);
}
