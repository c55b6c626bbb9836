#include "classe/decouverte/decouverte.h"

#include "classe/decouverte/candidats.h"
#include "classe/sorties/sorties.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <set>
#include <utility>

#include <dirent.h>
#include <fnmatch.h>
#include <unistd.h>

namespace {

constexpr std::string_view marquePlateforme = "_assignsubmission_";
constexpr std::string_view genreFichiers = "file_";

struct Parcours {
    const std::string& motif;
    bool suivreLiens;
    Decouverte& decouverte;
    Racine racine;
    std::set<std::pair<dev_t, ino_t>> ancetres; // the folders being searched, against loops of links
};

bool suitMotif(const std::string& motif, const std::string& nom, int drapeaux)
{
    return fnmatch(motif.c_str(), nom.c_str(), drapeaux) == 0;
}

std::string joindre(const std::string& dossier, const std::string& nom)
{
    if (dossier.empty())
        return nom;
    return dossier.back() == '/' ? dossier + nom : dossier + '/' + nom;
}

// A link that reaches a descriptor of this very process: whatever it names,
// it reads what the run has open.
bool visePropresDescripteurs(const std::string& chemin)
{
    char cible[PATH_MAX];
    const ssize_t taille = readlink(chemin.c_str(), cible, sizeof cible);
    if (taille <= 0)
        return false;
    const std::string_view texte(cible, static_cast<std::size_t>(taille));
    return texte.rfind("/dev/fd/", 0) == 0 || texte.rfind("/dev/std", 0) == 0
        || (texte.rfind("/proc/", 0) == 0 && texte.find("/fd/") != std::string_view::npos);
}

void ajouterCandidat(Parcours& parcours, Remise remise, const std::string& eleve,
                     std::size_t profondeur, bool resultats)
{
    remise.trouvee = true;
    remise.suivreLiens = parcours.suivreLiens;
    parcours.racine.candidats.push_back({std::move(remise), eleve, profondeur, resultats});
}

// A folder being searched: its entries, read at once and closed, so that a
// deep tree holds no descriptor per level, and the next one to examine.
struct Etage {
    std::string dossier;  // as opened
    std::string avantNom; // what its entries' names start with
    std::string eleve;
    std::size_t profondeur = 0;
    std::pair<dev_t, ino_t> identite;
    std::vector<std::string> entrees;
    std::size_t suivante = 0;
};

// Reads `etage.dossier` and puts it on the walk's stack; a folder that
// cannot be read is a row that says why.
void entrerDossier(Parcours& parcours, std::vector<Etage>& pile, Etage etage)
{
    const std::unique_ptr<DIR, int (*)(DIR*)> flux(opendir(etage.dossier.c_str()), closedir);
    if (!flux) {
        const int erreur = errno;
        ajouterCandidat(parcours, creerRemise(etage.dossier, etage.avantNom, decrireErreur(erreur)), etage.eleve,
                        etage.profondeur, false);
        parcours.ancetres.erase(etage.identite);
        return;
    }
    while (const dirent* entree = readdir(flux.get())) {
        std::string nom = entree->d_name;
        if (nom != "." && nom != "..")
            etage.entrees.push_back(std::move(nom));
    }
    pile.push_back(std::move(etage));
}

// One entry of the folder on top of the stack: a candidate, a folder to
// enter (pushed on the stack), or nothing.
void examinerEntree(Parcours& parcours, std::vector<Etage>& pile, const std::string& nom)
{
    const Etage& haut = pile.back();
    const std::string chemin = joindre(haut.dossier, nom);
    const std::string relatif = haut.avantNom + nom;
    const std::size_t profondeur = haut.profondeur;
    const std::string eleve = profondeur == 0 ? nom : haut.eleve;
    const bool motif = suitMotif(parcours.motif, nom, 0);
    struct stat infos {};
    if (lstat(chemin.c_str(), &infos) != 0) {
        // A path too deep for the system is not an absent file; nothing
        // deeper is looked at, so the walk's stack stays within PATH_MAX.
        const int erreur = errno;
        if (erreur == ENAMETOOLONG)
            ajouterCandidat(parcours, creerRemise(chemin, relatif, std::string(statutTropLong)), eleve, profondeur,
                            motif);
        return;
    }
    bool dossierReel = S_ISDIR(infos.st_mode);
    if (S_ISLNK(infos.st_mode)) {
        struct stat cible {};
        const bool versDossier = stat(chemin.c_str(), &cible) == 0 && S_ISDIR(cible.st_mode);
        if (!parcours.suivreLiens || visePropresDescripteurs(chemin)) {
            if (motif || versDossier)
                ajouterCandidat(parcours,
                                creerRemise(chemin, versDossier ? relatif + '/' : relatif, std::string(statutLien)),
                                eleve, profondeur, motif);
            else if (ressembleAuMotif(nom, parcours.motif))
                parcours.decouverte.ignores.push_back(chemin);
            return;
        }
        infos = cible;
        dossierReel = versDossier;
    }
    if (motif) {
        Remise remise = creerRemise(chemin, relatif);
        remise.identifiee = S_ISREG(infos.st_mode);
        remise.infos = infos;
        ajouterCandidat(parcours, std::move(remise), eleve, profondeur, true);
    } else if (dossierReel) {
        if (profondeur == 0 && nom.front() != '.')
            parcours.racine.eleves.push_back(nom + '/');
        // A folder is entered again under another name, never inside itself.
        const std::pair<dev_t, ino_t> identite{infos.st_dev, infos.st_ino};
        if (parcours.ancetres.insert(identite).second)
            entrerDossier(parcours, pile, {chemin, relatif + '/', eleve, profondeur + 1, identite, {}, 0});
    } else if (ressembleAuMotif(nom, parcours.motif)) {
        parcours.decouverte.ignores.push_back(chemin);
    }
}

// Searches the REMISE folder `racine` depth first, with a stack of its
// folders rather than a call per level: no tree is too deep for it.
void parcourirRacine(Parcours& parcours, const std::string& racine, std::pair<dev_t, ino_t> identite)
{
    std::vector<Etage> pile;
    entrerDossier(parcours, pile, {racine, "", "", 0, identite, {}, 0});
    while (!pile.empty()) {
        Etage& haut = pile.back();
        if (haut.suivante == haut.entrees.size()) {
            parcours.ancetres.erase(haut.identite);
            pile.pop_back();
            continue;
        }
        const std::string nom = std::move(haut.entrees[haut.suivante++]);
        examinerEntree(parcours, pile, nom);
    }
}

// The name a REMISE folder gives its rows: its last component.
std::string nommerDossier(const std::string& racine)
{
    const std::string nom(retirerBarresFinales(racine));
    std::string base = nom.substr(nom.rfind('/') + 1);
    if (base.empty() || base == "." || base == "..") {
        const std::unique_ptr<char, void (*)(void*)> reel(realpath(racine.c_str(), nullptr), std::free);
        if (reel) {
            const std::string complet = reel.get();
            base = complet == "/" ? std::string() : complet.substr(complet.rfind('/') + 1);
        }
    }
    return base;
}

} // namespace

bool ressembleAuMotif(std::string_view nom, const std::string& motif)
{
    const std::string entier(nom);
    if (suitMotif(motif, entier, 0))
        return false;
    if (suitMotif(motif, entier, FNM_CASEFOLD))
        return true;
    for (std::size_t point = entier.find('.', 1); point != std::string::npos;
         point = entier.find('.', point + 1)) {
        if (suitMotif(motif, entier.substr(0, point), FNM_CASEFOLD))
            return true;
    }
    return false;
}

Decouverte decouvrirRemises(const std::vector<std::string>& racines, const std::string& motif,
                            bool suivreLiens, const std::string& cheminAttendu)
{
    Decouverte decouverte;
    for (const std::string& racine : racines) {
        struct stat infos {};
        const bool connue = stat(racine.c_str(), &infos) == 0;
        if (!connue || !S_ISDIR(infos.st_mode)) {
            Remise remise = creerRemise(racine, racine);
            remise.suivreLiens = true;
            remise.identifiee = connue && S_ISREG(infos.st_mode);
            remise.infos = infos;
            decouverte.remises.push_back(std::move(remise));
            continue;
        }
        Parcours parcours{motif, suivreLiens, decouverte, {}, {{infos.st_dev, infos.st_ino}}};
        parcourirRacine(parcours, racine, {infos.st_dev, infos.st_ino});
        const std::string base = nommerDossier(racine);
        // A student's own folder, given alone (as "remises/*/" gives each):
        // one row, as when its class folder is given. It is known by a
        // platform's participant number, or, among several REMISE folders,
        // by the results files it holds directly.
        const std::vector<Candidat>& trouves = parcours.racine.candidats;
        const auto directs = std::count_if(trouves.begin(), trouves.end(),
                                           [](const Candidat& c) { return c.profondeur == 0 && c.resultats; });
        if (!base.empty() && (!extraireParticipant(base).empty() || (racines.size() > 1 && directs >= 1))) {
            Racine eleve;
            for (Candidat candidat : parcours.racine.candidats) {
                candidat.eleve = base;
                candidat.remise.nom = base + '/' + candidat.remise.nom;
                eleve.candidats.push_back(std::move(candidat));
            }
            if (eleve.candidats.empty())
                eleve.eleves.push_back(base + '/');
            rangerRacine(eleve, {}, cheminAttendu, decouverte);
            continue;
        }
        // Several REMISE folders, or one folder of one student: each row
        // says the folder it comes from, so that "remises/*/" names rows
        // as "remises/" does.
        const std::vector<Candidat>& candidats = parcours.racine.candidats;
        const auto eleves = parcours.racine.eleves.size()
            + static_cast<std::size_t>(std::count_if(candidats.begin(), candidats.end(),
                                                     [](const Candidat& c) { return c.profondeur == 0; }));
        const bool prefixer = racines.size() > 1 || eleves <= 1;
        // A folder named for one student, or an empty one, that holds no
        // results file is that student, absent, whatever folders it holds.
        if (!candidats.empty() || (!prefixer && !parcours.racine.eleves.empty())) {
            rangerRacine(parcours.racine, prefixer && !base.empty() ? base + '/' : std::string(), cheminAttendu,
                         decouverte);
            continue;
        }
        Remise absente = creerRemise(racine, base.empty() ? racine : base + '/', std::string(statutAbsent));
        absente.absente = true;
        absente.identifiant = extraireParticipant(absente.nom);
        decouverte.remises.push_back(std::move(absente));
    }
    terminerDecouverte(decouverte);
    return decouverte;
}

Decouverte decouvrirDossiers(const std::vector<std::string>& racines)
{
    Decouverte decouverte;
    for (const std::string& racine : racines) {
        const std::string nom(retirerBarresFinales(racine));
        const std::size_t barre = nom.rfind('/');
        Remise remise = creerRemise(racine, barre == std::string::npos || nom.size() == 1 ? nom : nom.substr(barre + 1));
        remise.trouvee = true;
        remise.identifiant = extraireParticipant(remise.nom);
        // A course platform's folder of another kind than files (online
        // text) holds no program: as in a class of results files, it is
        // no row beside the student's files, and alone an absent student.
        const std::size_t marque = remise.nom.rfind(marquePlateforme);
        if (!remise.identifiant.empty()
            && remise.nom.compare(marque + marquePlateforme.size(), genreFichiers.size(), genreFichiers) != 0) {
            remise.absente = true;
            remise.statut = statutAbsent;
        }
        decouverte.remises.push_back(std::move(remise));
    }
    terminerDecouverte(decouverte);
    return decouverte;
}
