#include "groupes.h"

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

const char* const controleursV1[] = {"memory", "pids", "cpu", "cpuacct"};
constexpr const char* prefixeClasse = "valideur-classe-";

// A hierarchy this process is in, and the folder of its own group there.
struct Hierarchie {
    bool v2 = false;
    std::string options; // a v1 hierarchy's controllers, comma-separated
    std::string dossier;
};

bool contientMot(const std::string& liste, const std::string& mot, char separateur)
{
    std::size_t debut = 0;
    for (;;) {
        const std::size_t fin = liste.find(separateur, debut);
        if (liste.compare(debut, (fin == std::string::npos ? liste.size() : fin) - debut, mot) == 0)
            return true;
        if (fin == std::string::npos)
            return false;
        debut = fin + 1;
    }
}

std::string lireFichier(const std::string& chemin)
{
    std::ifstream fichier(chemin);
    std::ostringstream texte;
    texte << fichier.rdbuf();
    return texte.str();
}

bool ecrire(const std::string& chemin, const std::string& texte)
{
    const int descripteur = open(chemin.c_str(), O_WRONLY | O_CLOEXEC);
    if (descripteur < 0)
        return false;
    const bool ecrit = write(descripteur, texte.data(), texte.size()) == static_cast<ssize_t>(texte.size());
    const int erreur = errno;
    close(descripteur);
    errno = erreur;
    return ecrit;
}

// The number after `cle` in a "key value" file (memory.events, cpu.stat,
// memory.oom_control).
std::uint64_t lireCle(const std::string& texte, const std::string& cle)
{
    std::istringstream lignes(texte);
    std::string nom;
    std::uint64_t valeur = 0;
    while (lignes >> nom >> valeur) {
        if (nom == cle)
            return valeur;
    }
    return 0;
}

// Every cgroup hierarchy mounted, with this process's group folder in each
// one it can see.
std::vector<Hierarchie> listerHierarchies()
{
    std::vector<std::pair<std::string, std::string>> miens; // controllers, path
    std::ifstream groupes("/proc/self/cgroup");
    for (std::string ligne; std::getline(groupes, ligne);) {
        const std::size_t premier = ligne.find(':');
        const std::size_t second = premier == std::string::npos ? premier : ligne.find(':', premier + 1);
        if (second != std::string::npos)
            miens.emplace_back(ligne.substr(premier + 1, second - premier - 1), ligne.substr(second + 1));
    }
    std::vector<Hierarchie> hierarchies;
    std::ifstream montages("/proc/self/mountinfo");
    for (std::string ligne; std::getline(montages, ligne);) {
        std::istringstream champs(ligne);
        std::string id, parent, numeros, racine, point, mot;
        champs >> id >> parent >> numeros >> racine >> point;
        while (champs >> mot && mot != "-") {
        }
        std::string type, source, options;
        champs >> type >> source >> options;
        if (type != "cgroup" && type != "cgroup2")
            continue;
        Hierarchie hierarchie;
        hierarchie.v2 = type == "cgroup2";
        hierarchie.options = options;
        for (const auto& [controleurs, chemin] : miens) {
            bool memeHierarchie = hierarchie.v2 ? controleurs.empty() : !controleurs.empty();
            if (!hierarchie.v2) {
                std::size_t debut = 0;
                while (memeHierarchie && debut <= controleurs.size()) {
                    std::size_t fin = controleurs.find(',', debut);
                    if (fin == std::string::npos)
                        fin = controleurs.size();
                    memeHierarchie = contientMot(options, controleurs.substr(debut, fin - debut), ',');
                    debut = fin + 1;
                }
            }
            if (!memeHierarchie || chemin.compare(0, racine.size(), racine) != 0)
                continue;
            const std::string reste = racine == "/" ? chemin : chemin.substr(racine.size());
            hierarchie.dossier = point + (reste == "/" ? std::string() : reste);
            hierarchies.push_back(hierarchie);
            break;
        }
    }
    return hierarchies;
}

// The v2 hierarchy where this process's group lends memory, pids and cpu
// and may be written, or -1.
int chercherV2(const std::vector<Hierarchie>& hierarchies)
{
    for (std::size_t i = 0; i < hierarchies.size(); ++i) {
        const Hierarchie& h = hierarchies[i];
        const std::string controleurs = lireFichier(h.dossier + "/cgroup.controllers");
        bool tous = h.v2 && access(h.dossier.c_str(), W_OK) == 0;
        for (const char* controleur : {"memory", "pids", "cpu"})
            tous = tous && contientMot(controleurs.substr(0, controleurs.find('\n')), controleur, ' ');
        if (tous)
            return static_cast<int>(i);
    }
    return -1;
}

// The v1 hierarchy of each controller needed, when root may write them all.
bool chercherV1(const std::vector<Hierarchie>& hierarchies, int (&indices)[4])
{
    if (geteuid() != 0)
        return false;
    for (int c = 0; c < 4; ++c) {
        indices[c] = -1;
        for (std::size_t i = 0; i < hierarchies.size() && indices[c] < 0; ++i) {
            const Hierarchie& h = hierarchies[i];
            if (!h.v2 && contientMot(h.options, controleursV1[c], ',') && access(h.dossier.c_str(), W_OK) == 0)
                indices[c] = static_cast<int>(i);
        }
        if (indices[c] < 0)
            return false;
    }
    return true;
}

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
    const std::string& memoire = groupe.dossiers[groupes.memoire];
    const std::string octets = std::to_string(limites.memoire);
    const std::string& processus = groupe.dossiers[groupes.processus];
    // The monitor and, in a sandbox, bubblewrap's own process beside the
    // program's.
    const std::string nombre = std::to_string(limites.processus + 2);
    bool pret = v2 ? ecrire(memoire + "/memory.max", octets) && ecrire(processus + "/pids.max", nombre)
                         && ecrire(groupe.dossiers[groupes.poids] + "/cpu.weight", "100")
                   : ecrire(memoire + "/memory.limit_in_bytes", octets)
                         && ecrire(processus + "/pids.max", nombre)
                         && ecrire(groupe.dossiers[groupes.poids] + "/cpu.shares", "1024");
    // No swap for the group, where swap is accounted at all.
    if (pret && !(v2 ? ecrire(memoire + "/memory.swap.max", "0")
                     : ecrire(memoire + "/memory.memsw.limit_in_bytes", octets)))
        pret = errno == ENOENT;
    groupe.dossierMemoire = memoire;
    const std::string temps = groupe.dossiers[groupes.temps] + (v2 ? "/cpu.stat" : "/cpuacct.usage");
    groupe.temps = pret ? open(temps.c_str(), O_RDONLY | O_CLOEXEC) : -1;
    pret = pret && groupe.temps >= 0;
    for (std::size_t i = 0; pret && i < groupe.dossiers.size(); ++i) {
        groupe.entrees.push_back(open((groupe.dossiers[i] + "/cgroup.procs").c_str(), O_WRONLY | O_CLOEXEC));
        pret = groupe.entrees.back() >= 0;
    }
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
    const std::string evenements = lireFichier(groupe.dossierMemoire + (v2 ? "/memory.events" : "/memory.oom_control"));
    memoireDepassee = lireCle(evenements, "oom_kill") > 0;
}

void supprimerGroupe(GroupeControle& groupe)
{
    for (int& entree : groupe.entrees) {
        if (entree >= 0)
            close(entree);
    }
    groupe.entrees.clear();
    if (groupe.temps >= 0)
        close(groupe.temps);
    groupe.temps = -1;
    // The sandbox's end took every process with it; outside one, a process
    // that left the monitor's reach is still in the group.
    for (const std::string& dossier : groupe.dossiers)
        viderGroupe(dossier);
    groupe.dossiers.clear();
}
