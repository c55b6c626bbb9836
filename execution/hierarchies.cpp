#include "hierarchies.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace {

const char* const controleursV1[] = {"memory", "pids", "cpu", "cpuacct"};

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

} // namespace

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
