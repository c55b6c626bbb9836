#include "places.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Processes and threads of this real user id, this program's among them.
std::uint64_t compterTaches()
{
    const std::string uid = std::to_string(getuid());
    std::uint64_t taches = 0;
    DIR* proc = opendir("/proc");
    if (proc == nullptr)
        return 0;
    for (const dirent* entree = readdir(proc); entree != nullptr; entree = readdir(proc)) {
        char* fin = nullptr;
        if (std::strtol(entree->d_name, &fin, 10) <= 0 || *fin != '\0')
            continue;
        std::ifstream etat(std::string("/proc/") + entree->d_name + "/status");
        bool sien = false;
        for (std::string ligne; std::getline(etat, ligne);) {
            if (ligne.rfind("Uid:", 0) == 0) {
                const std::size_t debut = ligne.find_first_not_of(" \t", 4);
                sien = debut != std::string::npos && ligne.compare(debut, uid.size(), uid) == 0
                    && (ligne.size() == debut + uid.size() || ligne[debut + uid.size()] == '\t');
            } else if (ligne.rfind("Threads:", 0) == 0) {
                if (sien)
                    taches += std::strtoull(ligne.c_str() + 8, nullptr, 10);
                break;
            }
        }
    }
    closedir(proc);
    return taches;
}

} // namespace

unsigned compterPlaces(const Limites& limites, unsigned taches, std::string& message)
{
    rlimit limite {};
    if (geteuid() == 0 || getuid() == 0 || getrlimit(RLIMIT_NPROC, &limite) != 0 || limite.rlim_cur == RLIM_INFINITY)
        return taches;
    // A run: its processes, its monitor and bubblewrap; and the grader's
    // thread that waits for it.
    const std::uint64_t parCourse = limites.processus + 3;
    const std::uint64_t deja = compterTaches();
    const std::uint64_t libres = limite.rlim_cur > deja ? limite.rlim_cur - deja : 0;
    const std::uint64_t places = libres / parCourse;
    if (places >= taches)
        return taches;
    const std::string compte = "la limite de processus de l'utilisateur (ulimit -u " + std::to_string(limite.rlim_cur)
        + ", dont " + std::to_string(deja) + " d\xC3\xA9j\xC3\xA0 pris) ne tient pas ";
    const std::string remede = "relevez-la (ulimit -u " + std::to_string(deja + taches * parCourse)
        + ") ou baissez --processus";
    if (places == 0) {
        message = compte + "une ex\xC3\xA9" "cution de --processus=" + std::to_string(limites.processus) + " : "
            + remede;
        return 0;
    }
    message = "-j abaiss\xC3\xA9 \xC3\xA0 " + std::to_string(places) + " : " + compte + std::to_string(taches)
        + " ex\xC3\xA9" "cutions de --processus=" + std::to_string(limites.processus) + " ; " + remede;
    return static_cast<unsigned>(places);
}
