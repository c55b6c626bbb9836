#include "classe/tables/releve.h"

#include "classe/notation/avertissements.h"
#include "classe/sorties/empreinte.h"
#include "classe/sorties/sorties.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef VALIDEUR_VERSION
#define VALIDEUR_VERSION "0"
#endif

namespace {

std::string empreindreChemin(const std::string& chemin)
{
    std::int64_t modifiee = 0;
    return ecrireEmpreinte(empreindreRemise(chemin, true, modifiee));
}

std::uint64_t empreindreFichier(const std::string& chemin)
{
    Empreinte empreinte;
    const int descripteur = open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
    bool tronque = false;
    if (descripteur < 0 || !empreindreDescripteur(descripteur, empreinte, UINT64_MAX, tronque))
        empreindre(empreinte, "illisible");
    if (descripteur >= 0)
        close(descripteur);
    return terminerEmpreinte(empreinte);
}

std::string nommerBordereau(const Options& options)
{
    return options.sortie + std::string(suffixeBordereau);
}

// The slip written beside its final name, then renamed over it: never
// seen half written.
bool poserBordereau(const Options& options, const Bordereau& bordereau)
{
    const std::string chemin = nommerBordereau(options);
    std::string provisoire = chemin + ".XXXXXX";
    const int descripteur = mkostemp(provisoire.data(), O_CLOEXEC);
    if (descripteur < 0) {
        signalerErreur(chemin, decrireErreur(errno));
        return false;
    }
    const std::string texte = ecrireBordereau(bordereau);
    const bool envoye = ecrireTout(descripteur, texte);
    const bool ecrit = fchmod(descripteur, 0644) == 0 && fsync(descripteur) == 0 && envoye;
    if (close(descripteur) != 0 || !ecrit || std::rename(provisoire.c_str(), chemin.c_str()) != 0) {
        unlink(provisoire.c_str());
        signalerErreur(chemin, "erreur d'\xC3\xA9" "criture");
        return false;
    }
    return true;
}

} // namespace

Bordereau commencerBordereau(const Options& options)
{
    Bordereau bordereau;
    bordereau.part = options.part;
    bordereau.parts = options.parts;
    bordereau.version = VALIDEUR_VERSION;
    timespec maintenant {};
    clock_gettime(CLOCK_REALTIME, &maintenant);
    bordereau.faite = static_cast<std::int64_t>(maintenant.tv_sec) * 1000000000 + maintenant.tv_nsec;
    const auto booleen = [](bool valeur) { return std::string(valeur ? "oui" : "non"); };
    const Limites& limites = options.limites;
    bordereau.options = {
        {"--csv", booleen(options.format == Format::csv)},
        {"--motif", options.motif},
        {"--suivre-liens", booleen(options.suivreLiens)},
        {"--lignes-toutes", booleen(options.lignesToutes)},
        {"--bareme", options.plateformes.bareme.empty() ? std::string() : empreindreChemin(options.plateformes.bareme)},
        {"--executer", options.executer},
        {"--construire", options.construire},
        {"--sans-bac-a-sable", booleen(options.sansBacASable)},
        {"--temps", std::to_string(limites.temps)},
        {"--temps-reel", std::to_string(limites.tempsReel)},
        {"--memoire", std::to_string(limites.memoire)},
        {"--processus", std::to_string(limites.processus)},
        {"--sortie-max", std::to_string(limites.sortieMax)},
        {"--fichier-max", std::to_string(limites.fichierMax)},
        {"--espace", std::to_string(limites.espace)},
    };
    return bordereau;
}

void ajouterCorrige(Bordereau& bordereau, const std::string& test, const std::string& attendu,
                    const std::string& nom, bool cache)
{
    if (nom.empty()) {
        bordereau.corrige.emplace_back("fichier de test", empreindreChemin(test));
        bordereau.corrige.emplace_back("fichier attendu", empreindreChemin(attendu));
        return;
    }
    bordereau.corrige.emplace_back("jeu \xC2\xAB " + nom + (cache ? " \xC2\xBB (cach\xC3\xA9)" : " \xC2\xBB"),
                                   empreindreChemin(test) + ' ' + empreindreChemin(attendu));
}

void releverClasse(Bordereau& bordereau, const std::vector<Remise>& remises)
{
    for (const Remise& remise : remises) {
        RemiseRelevee relevee{remise.nom, 0, 0};
        // What the row can read: its file (or folder), or why it cannot.
        if (remise.statut.empty() && !remise.absente)
            relevee.empreinte = empreindreRemise(remise.chemin, remise.suivreLiens || !remise.trouvee,
                                                 relevee.modifiee);
        else
            relevee.empreinte = empreindreTexte(remise.absente ? "absente" : remise.statut);
        relevee.modifiee = std::max<std::int64_t>(relevee.modifiee, 0);
        bordereau.remises.push_back(std::move(relevee));
    }
}

bool annoncerPart(const Options& options, const Identites& identites)
{
    if (options.parts == 0)
        return true;
    // The slip keeps the fingerprints of what the share wrote: files only.
    for (const std::string* const sortie : {&options.sortie, &options.lignes}) {
        struct stat infos {};
        if (!sortie->empty() && (stat(sortie->c_str(), &infos) != 0 || !S_ISREG(infos.st_mode))) {
            signalerErreur(*sortie, "pas un fichier ordinaire : une part s'\xC3\xA9" "crit dans des fichiers");
            return false;
        }
    }
    // Never over a file the run reads, whatever the path that names it.
    std::string erreur;
    const std::string chemin = nommerBordereau(options);
    const int descripteur = ouvrirEcriture(chemin, identites, erreur, false);
    if (descripteur < 0) {
        signalerErreur(chemin, erreur);
        return false;
    }
    close(descripteur);
    Bordereau enCours;
    enCours.part = options.part;
    enCours.parts = options.parts;
    enCours.version = VALIDEUR_VERSION;
    return poserBordereau(options, enCours);
}

bool signerPart(const Options& options, Bordereau& bordereau, const std::vector<Note>& notes)
{
    if (options.parts == 0)
        return true;
    compterArrets(notes, bordereau.arrets, bordereau.notees);
    bordereau.tableau = empreindreFichier(options.sortie);
    bordereau.vue = !options.lignes.empty();
    if (bordereau.vue)
        bordereau.empreinteVue = empreindreFichier(options.lignes);
    bordereau.finie = true;
    return poserBordereau(options, bordereau);
}
