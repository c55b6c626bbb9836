#include "classe/deroulement/execution_classe.h"

#include "classe/decouverte/decouverte.h"

#include "classe/deroulement/travail.h"
#include "classe/notation/jeux.h"
#include "classe/notation/maxima.h"
#include "classe/plateforme/plateforme.h"
#include "classe/sorties/ecriture.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"
#include "classe/tables/notes_jeux.h"
#include "classe/tables/partage.h"
#include "classe/tables/releve.h"

#include "execution/arret.h"
#include "execution/places.h"
#include "execution/remise.h"
#include "validation/fichier.h"

#include <algorithm>
#include <cerrno>
#include <iostream>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {


// The test sets of a class that is run: --jeux's, or TEST and ATTENDU.
// Each is opened, counted and copied for the runs. The class view follows
// the lines of the one set whose lines may be shown, when there is one;
// `vueSuivie` says whether there is.
bool preparerJeux(const Options& options, VueClasse* vue, std::vector<JeuCorrige>& jeux, bool& vueSuivie)
{
    std::string erreur;
    std::string chemin;
    if (options.jeux.empty()) {
        jeux.resize(1);
        jeux[0].corrige = Corrige{options.cheminTest, options.cheminAttendu, {}, {}, {}};
    } else if (!decouvrirJeux(options.jeux, jeux, erreur, chemin)) {
        signalerErreur(chemin, erreur);
        return false;
    }
    const auto visibles = std::count_if(jeux.begin(), jeux.end(), [](const JeuCorrige& jeu) { return !jeu.cache; });
    vueSuivie = vue != nullptr && visibles == 1;
    for (JeuCorrige& jeu : jeux) {
        Corrige& corrige = jeu.corrige;
        const int test = ouvrirLecture(corrige.cheminTest, true, false, corrige.infosTest, erreur);
        const int attendu =
            test < 0 ? -1 : ouvrirLecture(corrige.cheminAttendu, true, false, corrige.infosAttendu, erreur);
        if (test < 0 || attendu < 0) {
            if (test >= 0)
                close(test);
            signalerErreur(test < 0 ? corrige.cheminTest : corrige.cheminAttendu, erreur);
            return false;
        }
        close(attendu);
        if (!compterMaxima(test, vueSuivie && !jeu.cache ? vue : nullptr, jeu.maxima) || !copierTest(jeu)) {
            signalerErreur(corrige.cheminTest, "erreur de lecture");
            return false;
        }
    }
    return true;
}

// A table's file, never over a set's file nor the other table; -1 with
// the message written. Runs take long and may be stopped: what the file
// held stays until the results replace it.
int ouvrirTableau(const std::string& chemin, Identites& identites)
{
    std::string erreur;
    const int descripteur = ouvrirEcriture(chemin, identites, erreur, false);
    struct stat infos {};
    if (descripteur < 0)
        signalerErreur(chemin, erreur);
    else if (fstat(descripteur, &infos) == 0 && S_ISREG(infos.st_mode)) {
        ajouterIdentite(identites, infos, Role::sortie);
        trierIdentites(identites);
    }
    return descripteur;
}

// The sets as the platforms' writers take them.
std::vector<Jeu> decrireJeux(const std::vector<JeuCorrige>& jeux)
{
    if (jeux.size() == 1 && jeux[0].nom.empty())
        return {nommerJeuUnique(jeux[0].corrige.cheminTest, jeux[0].maxima)};
    std::vector<Jeu> decrits;
    for (const JeuCorrige& jeu : jeux) {
        Jeu decrit;
        decrit.nom = jeu.nom;
        decrit.cache = jeu.cache;
        std::copy(jeu.maxima.tests.begin(), jeu.maxima.tests.end(), decrit.maxima.begin());
        decrit.maxima[nombreMots - 1] = jeu.maxima.autresTests;
        decrits.push_back(std::move(decrit));
    }
    return decrits;
}

} // namespace

int executerRemises(const Options& options, bool sortieFermee, std::vector<Note>& notes, VueClasse& vue,
                    std::string& bilan)
{
    std::vector<JeuCorrige> jeux;
    bool vueSuivie = false;
    if (!preparerJeux(options, options.lignes.empty() && options.plateformes.html.empty() ? nullptr : &vue, jeux,
                      vueSuivie))
        return 2;
    // With several sets that may be shown, the view's lines would mix them.
    VueClasse* const vueDemandee = vueSuivie || !options.lignes.empty() ? &vue : nullptr;
    Identites identites;
    for (const JeuCorrige& jeu : jeux) {
        ajouterIdentite(identites, jeu.corrige.infosTest, Role::test);
        ajouterIdentite(identites, jeu.corrige.infosAttendu, Role::attendu);
    }
    trierIdentites(identites);
    std::string erreur;
    // Before the sandbox's guard, so that it goes last, with the folder
    // that holds every private copy.
    Arret arret;
    arret.bacActif = !options.sansBacASable;
    const std::unique_ptr<Arret, void (*)(Arret*)> gardeArret(&arret, fermerArret);
    if (!preparerArret(arret, erreur)) {
        std::cerr << prefixe << erreur << '\n';
        return 2;
    }
    Execution execution{{}, options.limites, options.executer, options.construire, &arret.demande};
    execution.bac.racine = arret.racine;
    // The monitor's copy goes whatever the way out.
    const std::unique_ptr<BacASable, void (*)(BacASable*)> garde(&execution.bac, fermerBacASable);
    execution.bac.groupesPermis = !options.sansCgroups;
    if (!preparerBacASable(!options.sansBacASable, execution.bac, erreur)) {
        std::cerr << prefixe << erreur << '\n';
        return 2;
    }
    const unsigned taches = compterPlaces(options.limites, options.taches != 0 ? options.taches
                                          : std::max(1U, std::thread::hardware_concurrency()), erreur);
    if (!erreur.empty())
        std::cerr << prefixe << erreur << '\n';
    if (taches == 0)
        return 2;
    erreur.clear();
    bilan = " ; limites : " + std::string(nommerModeLimites(execution.bac.groupes->mode));
    Decouverte decouverte = decouvrirDossiers(options.remises);
    std::vector<Remise>& remises = decouverte.remises;
    // No table inside a submission's folder, where it would overwrite a
    // file of the student's.
    // Nor any file for the platforms, nor the feedback folder: the next
    // runs would copy them, and they could replace a student's own.
    const DemandesPlateformes& demandes = options.plateformes;
    const std::string dansRetours = demandes.retours.empty() ? std::string() : demandes.retours + "/retour";
    for (const std::string* const chemin : {&options.sortie, &options.lignes, &demandes.moodle, &demandes.junit,
                                            &demandes.gradescope, &demandes.html, &demandes.retours, &dansRetours}) {
        const auto dossier = std::find_if(remises.begin(), remises.end(), [chemin](const Remise& remise) {
            return !chemin->empty() && estDansDossier(*chemin, remise.chemin);
        });
        if (dossier != remises.end()) {
            signalerErreur(chemin == &dansRetours ? demandes.retours : *chemin, "est dans une remise");
            return 2;
        }
    }
    // Feedback folders beside the submissions' would be taken for some.
    const auto aCote = std::find_if(remises.begin(), remises.end(), [&demandes](const Remise& remise) {
        const std::string chemin(retirerBarresFinales(remise.chemin));
        return !demandes.retours.empty() && estDansDossier(chemin, demandes.retours)
            && estDansDossier(demandes.retours + "/retour", chemin.substr(0, chemin.rfind('/') + 1) + ".");
    });
    if (aCote != remises.end()) {
        signalerErreur(demandes.retours, "est le dossier des remises");
        return 2;
    }
    Bordereau bordereau = commencerBordereau(options);
    if (options.parts != 0) {
        for (const JeuCorrige& jeu : jeux)
            ajouterCorrige(bordereau, jeu.corrige.cheminTest, jeu.corrige.cheminAttendu, jeu.nom, jeu.cache);
        releverClasse(bordereau, remises);
    }
    // A share runs its slice of the submissions, in the sorted order.
    const Tranche tranche = options.parts == 0 ? Tranche{0, remises.size()}
                                               : choisirPart(remises.size(), options.part, options.parts);
    remises.erase(remises.begin() + static_cast<std::ptrdiff_t>(tranche.fin), remises.end());
    remises.erase(remises.begin(), remises.begin() + static_cast<std::ptrdiff_t>(tranche.debut));
    std::unique_ptr<Plateformes> plateformes;
    if (demandePlateformes(options.plateformes)) {
        plateformes = std::make_unique<Plateformes>();
        plateformes->demandes = options.plateformes;
        const auto ouvrir = [&identites](const std::string& chemin) { return ouvrirTableau(chemin, identites); };
        if (!preparerPlateformes(*plateformes, decrireJeux(jeux), ouvrir, erreur)
            || !compterRemises(*plateformes, remises.size(), erreur)) {
            if (!erreur.empty())
                std::cerr << prefixe << erreur << '\n';
            fermerPlateformes(*plateformes);
            return 2;
        }
    }
    if (options.sortie.empty()) {
        const std::string refus = sortieFermee ? "ferm\xC3\xA9" "e" : verifierSortieStandard(identites);
        if (!refus.empty()) {
            signalerErreur("sortie standard", refus);
            return 2;
        }
    }
    std::unique_ptr<Fichier> fichiers[2];
    const std::string* chemins[2] = {&options.sortie, &options.lignes};
    for (int i = 0; i < 2; ++i) {
        const int descripteur = chemins[i]->empty() ? -1 : ouvrirTableau(*chemins[i], identites);
        if (!chemins[i]->empty() && descripteur < 0)
            return 2;
        if (descripteur >= 0)
            fichiers[i] = std::make_unique<Fichier>(descripteur, std::ios::out);
    }
    if (!annoncerPart(options, identites))
        return 2;
    bordereau.avertissements = decouverte.avertissements;
    for (const std::string& avertissement : decouverte.avertissements)
        std::cerr << prefixe << avertissement << '\n';

    notes.resize(remises.size());
    Travail travail{jeux[0].corrige, remises, tranche.debut, notes, vueDemandee, plateformes.get(), &execution, &jeux,
                    {0}, {0}, {}, {}, {}};
    noterTout(travail, taches, isatty(STDERR_FILENO) == 1);
    const std::size_t relancees = travail.relancees.size();
    bilan += " ; " + std::to_string(relancees) + (relancees > 1 ? " remises relanc\xC3\xA9" "es seules"
                                                             : " remise relanc\xC3\xA9" "e seule");
    // Stopped midway: no table of runs that were killed.
    if (arret.demande)
        return 2;
    for (const JeuCorrige& jeu : jeux)
        close(jeu.copie);

    int code = 0;
    if (!ecrireTableau(fichiers[0].get(), options.bom, options.sortie.empty() ? "sortie standard" : options.sortie,
                       [&](std::ostream& sortie) { ecrireNotesJeux(sortie, jeux, notes, options.format,
                                                                     plateformes && plateformes->bareme
                                                                         ? &*plateformes->bareme
                                                                         : nullptr); }))
        code = 1;
    if (fichiers[1]
        && !ecrireTableau(fichiers[1].get(), options.bom, options.lignes,
                          [&](std::ostream& sortie) {
                              if (options.parts != 0)
                                  ecrireVuePartielle(sortie, vue, options.part, options.parts);
                              else
                                  ecrireVue(sortie, vue, options.format, options.lignesMax);
                          }))
        code = 1;
    if (code == 0 && !signerPart(options, bordereau, notes))
        code = 1;
    if (plateformes) {
        const std::vector<LigneManquee> manquees =
            !vueSuivie || options.plateformes.html.empty()
            ? std::vector<LigneManquee>{}
            : extraireLignesManquees(vue, nommerJeuVisible(plateformes->jeux), 20);
        if (!ecrirePlateformes(*plateformes, vueSuivie ? &manquees : nullptr, std::cerr))
            code = 1;
    }
    return code;
}
