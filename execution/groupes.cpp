#include "groupes.h"

#include "hierarchies.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* prefixeClasse = "valideur-classe-";

// Kills what a group holds, and removes it once empty.
void viderGroupe(const std::string& dossier)
{
    for (int essai = 0; essai < 200; ++essai) {
        std::ifstream processus(dossier + "/cgroup.procs");
        for (pid_t pid = 0; processus >> pid;)
            kill(pid, SIGKILL);
        if (rmdir(dossier.c_str()) == 0 || errno != EBUSY)
            return;
        usleep(1000);
    }
}

void supprimerArbre(const std::string& dossier)
{
    if (DIR* flux = opendir(dossier.c_str())) {
        for (const dirent* entree = readdir(flux); entree != nullptr; entree = readdir(flux)) {
            if (entree->d_type == DT_DIR && entree->d_name[0] != '.')
                supprimerArbre(dossier + "/" + entree->d_name);
        }
        closedir(flux);
    }
    viderGroupe(dossier);
}

// The class folders of a grader whose process is gone (killed, it could
// not remove them), found beside this one's.
void supprimerRestes(const std::string& dossier)
{
    DIR* flux = opendir(dossier.c_str());
    if (flux == nullptr)
        return;
    const std::size_t longueur = std::strlen(prefixeClasse);
    for (const dirent* entree = readdir(flux); entree != nullptr; entree = readdir(flux)) {
        if (entree->d_type != DT_DIR || std::strncmp(entree->d_name, prefixeClasse, longueur) != 0)
            continue;
        const long processus = std::strtol(entree->d_name + longueur, nullptr, 10);
        if (processus > 0 && kill(static_cast<pid_t>(processus), 0) != 0 && errno == ESRCH)
            supprimerArbre(dossier + "/" + entree->d_name);
    }
    closedir(flux);
}

// cgroup v2: the controllers handed down to the class's folder. A group
// with processes cannot hand them down: this process then moves to a leaf
// of its own first (a delegated group holds only it).
bool deleguerV2(const std::string& mien, GroupesControle& groupes)
{
    const std::string controleurs = "+memory +pids +cpu";
    if (ecrire(mien + "/cgroup.subtree_control", controleurs))
        return true;
    if (errno != EBUSY)
        return false;
    const std::string feuille = mien + "/" + prefixeClasse + std::to_string(getpid()) + "-principal";
    if (mkdir(feuille.c_str(), 0755) != 0)
        return false;
    if (ecrire(feuille + "/cgroup.procs", "0") && ecrire(mien + "/cgroup.subtree_control", controleurs)) {
        groupes.origine = mien;
        groupes.feuille = feuille;
        return true;
    }
    ecrire(mien + "/cgroup.procs", "0");
    rmdir(feuille.c_str());
    return false;
}

// Room left to the monitor and bubblewrap above the program's memory.
constexpr std::uint64_t margeMoniteur = std::uint64_t{32} << 20;

// A memory limit, with no swap where swap is accounted at all.
bool limiterMemoireV1(const std::string& dossier, std::uint64_t octets)
{
    const std::string texte = std::to_string(octets);
    return ecrire(dossier + "/memory.limit_in_bytes", texte)
        && (ecrire(dossier + "/memory.memsw.limit_in_bytes", texte) || errno == ENOENT);
}

bool limiterMemoireV2(const std::string& dossier, std::uint64_t octets)
{
    return ecrire(dossier + "/memory.max", std::to_string(octets))
        && (ecrire(dossier + "/memory.swap.max", "0") || errno == ENOENT);
}

} // namespace

const char* nommerModeLimites(ModeLimites mode)
{
    switch (mode) {
    case ModeLimites::cgroupV2:
        return "cgroup v2";
    case ModeLimites::cgroupV1:
        return "cgroup v1";
    case ModeLimites::comptabilite:
        break;
    }
    return "seccomp et comptabilit\xC3\xA9";
}

ModeLimites sonderGroupes()
{
    const std::vector<Hierarchie> hierarchies = listerHierarchies();
    int indices[4];
    if (chercherV2(hierarchies) >= 0)
        return ModeLimites::cgroupV2;
    return chercherV1(hierarchies, indices) ? ModeLimites::cgroupV1 : ModeLimites::comptabilite;
}

void preparerGroupes(bool permis, GroupesControle& groupes)
{
    groupes.mode = ModeLimites::comptabilite;
    if (!permis)
        return;
    const std::vector<Hierarchie> hierarchies = listerHierarchies();
    const std::string nom = "/" + std::string(prefixeClasse) + std::to_string(getpid());
    const int v2 = chercherV2(hierarchies);
    int indices[4];
    if (v2 >= 0) {
        const std::string& mien = hierarchies[static_cast<std::size_t>(v2)].dossier;
        supprimerRestes(mien);
        const std::string classe = mien + nom;
        if (deleguerV2(mien, groupes) && mkdir(classe.c_str(), 0755) == 0) {
            groupes.classes.push_back(classe);
            if (ecrire(classe + "/cgroup.subtree_control", "+memory +pids +cpu")) {
                groupes.mode = ModeLimites::cgroupV2;
                return;
            }
        }
        fermerGroupes(groupes);
        return;
    }
    if (!chercherV1(hierarchies, indices))
        return;
    std::size_t* roles[4] = {&groupes.memoire, &groupes.processus, &groupes.poids, &groupes.temps};
    for (int c = 0; c < 4; ++c) {
        const std::string classe = hierarchies[static_cast<std::size_t>(indices[c])].dossier + nom;
        std::size_t i = 0;
        while (i < groupes.classes.size() && groupes.classes[i] != classe)
            ++i;
        if (i == groupes.classes.size()) {
            supprimerRestes(hierarchies[static_cast<std::size_t>(indices[c])].dossier);
            if (mkdir(classe.c_str(), 0755) != 0) {
                fermerGroupes(groupes);
                return;
            }
            groupes.classes.push_back(classe);
        }
        *roles[c] = i;
    }
    groupes.mode = ModeLimites::cgroupV1;
}

void fermerGroupes(GroupesControle& groupes)
{
    for (const std::string& classe : groupes.classes)
        supprimerArbre(classe);
    groupes.classes.clear();
    if (!groupes.feuille.empty()) {
        ecrire(groupes.origine + "/cgroup.subtree_control", "-memory -pids -cpu");
        ecrire(groupes.origine + "/cgroup.procs", "0");
        rmdir(groupes.feuille.c_str());
        groupes.feuille.clear();
    }
    groupes.mode = ModeLimites::comptabilite;
}

bool creerGroupe(GroupesControle& groupes, const Limites& limites, GroupeControle& groupe)
{
    groupe.mode = groupes.mode;
    if (groupes.mode == ModeLimites::comptabilite)
        return true;
    std::uint64_t numero = 0;
    {
        const std::lock_guard<std::mutex> verrou(groupes.verrou);
        numero = groupes.faits++;
    }
    for (const std::string& classe : groupes.classes) {
        std::string dossier = classe + "/" + std::to_string(numero);
        if (mkdir(dossier.c_str(), 0755) != 0) {
            const int erreur = errno;
            supprimerGroupe(groupe);
            errno = erreur;
            return false;
        }
        groupe.dossiers.push_back(std::move(dossier));
    }
    const bool v2 = groupes.mode == ModeLimites::cgroupV2;
    const std::string memoire = groupe.dossiers[groupes.memoire];
    const std::string processus = groupe.dossiers[groupes.processus];
    // The monitor and, in a sandbox, bubblewrap's own process beside the
    // program's.
    const std::string nombre = std::to_string(limites.processus + 2);
    groupe.dossierMemoire = memoire;
    groupe.dossierProgramme = memoire + "/programme";
    // cgroup v2 holds processes in leaves only: the monitor has one too.
    const std::string moniteur = memoire + "/moniteur";
    bool pret = mkdir(groupe.dossierProgramme.c_str(), 0755) == 0;
    if (pret)
        groupe.dossiers.push_back(groupe.dossierProgramme);
    if (pret && v2) {
        pret = mkdir(moniteur.c_str(), 0755) == 0;
        if (pret)
            groupe.dossiers.push_back(moniteur);
        pret = pret && ecrire(memoire + "/cgroup.subtree_control", "+memory");
    }
    pret = pret
        && (v2 ? limiterMemoireV2(memoire, limites.memoire + margeMoniteur)
                   && limiterMemoireV2(groupe.dossierProgramme, limites.memoire)
                   && ecrire(processus + "/pids.max", nombre)
                   && ecrire(groupe.dossiers[groupes.poids] + "/cpu.weight", "100")
               : limiterMemoireV1(memoire, limites.memoire + margeMoniteur)
                   && limiterMemoireV1(groupe.dossierProgramme, limites.memoire)
                   && ecrire(processus + "/pids.max", nombre)
                   && ecrire(groupe.dossiers[groupes.poids] + "/cpu.shares", "1024"));
    const std::string temps = groupe.dossiers[groupes.temps] + (v2 ? "/cpu.stat" : "/cpuacct.usage");
    groupe.temps = pret ? open(temps.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    pret = pret && groupe.temps >= 0;
    for (std::size_t i = 0; pret && i < groupes.classes.size(); ++i) {
        const std::string& dossier = v2 ? moniteur : groupe.dossiers[i];
        groupe.entrees.push_back(open((dossier + "/cgroup.procs").c_str(), O_WRONLY | O_CLOEXEC));
        pret = groupe.entrees.back() >= 0;
    }
    groupe.programme = pret ? open((groupe.dossierProgramme + "/cgroup.procs").c_str(), O_WRONLY | O_CLOEXEC) : -1;
    pret = pret && groupe.programme >= 0;
    if (!pret) {
        const int erreur = errno;
        supprimerGroupe(groupe);
        errno = erreur;
    }
    return pret;
}

bool entrerGroupe(const GroupeControle& groupe)
{
    for (const int entree : groupe.entrees) {
        if (write(entree, "0", 1) != 1)
            return false;
    }
    return true;
}

std::uint64_t lireTempsGroupe(const GroupeControle& groupe)
{
    char tampon[1024];
    const ssize_t lus = groupe.temps < 0 ? -1 : pread(groupe.temps, tampon, sizeof tampon - 1, 0);
    if (lus <= 0)
        return 0;
    tampon[lus] = '\0';
    if (groupe.mode == ModeLimites::cgroupV1)
        return std::strtoull(tampon, nullptr, 10) / 1000;
    return lireCle(tampon, "usage_usec");
}

void mesurerGroupe(const GroupeControle& groupe, std::uint64_t& kio, bool& memoireDepassee)
{
    if (groupe.mode == ModeLimites::comptabilite)
        return;
    const bool v2 = groupe.mode == ModeLimites::cgroupV2;
    const std::string pic = lireFichier(groupe.dossierMemoire + (v2 ? "/memory.peak" : "/memory.max_usage_in_bytes"));
    // Kernels before memory.peak keep the monitor's measure.
    if (!pic.empty())
        kio = std::strtoull(pic.c_str(), nullptr, 10) / 1024;
    for (const std::string* dossier : {&groupe.dossierMemoire, &groupe.dossierProgramme}) {
        const std::string evenements = lireFichier(*dossier + (v2 ? "/memory.events" : "/memory.oom_control"));
        memoireDepassee = memoireDepassee || lireCle(evenements, "oom_kill") > 0;
    }
}

void supprimerGroupe(GroupeControle& groupe)
{
    for (int& entree : groupe.entrees) {
        if (entree >= 0)
            close(entree);
    }
    groupe.entrees.clear();
    for (int* descripteur : {&groupe.temps, &groupe.programme}) {
        if (*descripteur >= 0)
            close(*descripteur);
        *descripteur = -1;
    }
    // The sandbox's end took every process with it; outside one, a process
    // that left the monitor's reach is still in the group.
    for (auto dossier = groupe.dossiers.rbegin(); dossier != groupe.dossiers.rend(); ++dossier)
        viderGroupe(*dossier);
    groupe.dossiers.clear();
}
