#include "consommation.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace {

struct Processus {
    pid_t parent = 0;
    std::uint64_t tics = 0; // its own time and its reaped children's
};

bool lireProcessus(const char* nom, Processus& processus)
{
    const std::string chemin = std::string("/proc/") + nom + "/stat";
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
    if (fin == nullptr)
        return false;
    long parent = 0;
    unsigned long long utime = 0, stime = 0;
    long long cutime = 0, cstime = 0;
    if (std::sscanf(fin + 1, " %*c %ld %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu %lld %lld", &parent, &utime,
                    &stime, &cutime, &cstime) != 5)
        return false;
    processus.parent = static_cast<pid_t>(parent);
    processus.tics = utime + stime + static_cast<std::uint64_t>(cutime > 0 ? cutime : 0)
        + static_cast<std::uint64_t>(cstime > 0 ? cstime : 0);
    return true;
}

} // namespace

std::uint64_t mesurerTemps(bool premier)
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    std::uint64_t microsecondes =
        static_cast<std::uint64_t>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000
        + static_cast<std::uint64_t>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    std::map<pid_t, Processus> tous;
    if (DIR* proc = opendir("/proc")) {
        for (const dirent* entree = readdir(proc); entree != nullptr; entree = readdir(proc)) {
            char* fin = nullptr;
            const long numero = std::strtol(entree->d_name, &fin, 10);
            Processus processus;
            if (numero > 0 && *fin == '\0' && lireProcessus(entree->d_name, processus))
                tous[static_cast<pid_t>(numero)] = processus;
        }
        closedir(proc);
    }
    const pid_t moi = getpid();
    std::set<pid_t> miens{moi};
    std::uint64_t tics = 0;
    for (const auto& [numero, processus] : tous) {
        bool descendant = premier || miens.count(numero) != 0;
        if (!descendant) {
            // A parent's pid may be larger than its child's: climb.
            std::vector<pid_t> chemin;
            pid_t p = numero;
            for (; p > 1 && miens.count(p) == 0 && tous.count(p) != 0; p = tous[p].parent)
                chemin.push_back(p);
            descendant = miens.count(p) != 0;
            if (descendant)
                miens.insert(chemin.begin(), chemin.end());
        }
        if (descendant && numero != moi)
            tics += processus.tics;
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
