#include "classe/deroulement/cle.h"

#include "classe/notation/maxima.h"
#include "classe/plateforme/plateforme.h"
#include "classe/sorties/sorties.h"

#include "execution/places.h"

#include <algorithm>
#include <iostream>
#include <thread>

#include <unistd.h>

namespace {

// The test sets of a class that is run: --jeux's, or TEST and ATTENDU.
// Each is opened, counted and copied for the runs. The class view follows
// the lines of the one set whose lines may be shown, when there is one.
bool preparerJeux(const Options& options, VueClasse* vue, Cle& cle)
{
    std::vector<JeuCorrige>& jeux = cle.jeux;
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
    cle.vueSuivie = vue != nullptr && visibles == 1;
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
        if (!compterMaxima(test, cle.vueSuivie && !jeu.cache ? vue : nullptr, jeu.maxima) || !copierTest(jeu)) {
            signalerErreur(corrige.cheminTest, "erreur de lecture");
            return false;
        }
    }
    for (const JeuCorrige& jeu : jeux) {
        ajouterIdentite(cle.corrige.identites, jeu.corrige.infosTest, Role::test);
        ajouterIdentite(cle.corrige.identites, jeu.corrige.infosAttendu, Role::attendu);
    }
    trierIdentites(cle.corrige.identites);
    return true;
}

// The sandbox, and the guard that ends the runs of a class stopped midway;
// the number of runs at a time the machine can hold.
bool preparerLancement(const Options& options, Cle& cle)
{
    cle.lancement = std::make_unique<Lancement>();
    Lancement& lancement = *cle.lancement;
    std::string erreur;
    // Before the sandbox's guard, so that it goes last, with the folder
    // that holds every private copy.
    Arret& arret = lancement.arret;
    arret.bacActif = !options.sansBacASable;
    lancement.gardeArret.reset(&arret);
    if (!preparerArret(arret, erreur)) {
        std::cerr << prefixe << erreur << '\n';
        return false;
    }
    Execution& execution = lancement.execution;
    execution.limites = options.limites;
    execution.executer = options.executer;
    execution.construire = options.construire;
    execution.arret = &arret.demande;
    execution.bac.racine = arret.racine;
    // The monitor's copy goes whatever the way out.
    lancement.gardeBac.reset(&execution.bac);
    execution.bac.groupesPermis = !options.sansCgroups;
    if (!preparerBacASable(!options.sansBacASable, execution.bac, erreur)) {
        std::cerr << prefixe << erreur << '\n';
        return false;
    }
    cle.taches = compterPlaces(options.limites, options.taches != 0 ? options.taches
                                              : std::max(1U, std::thread::hardware_concurrency()), erreur);
    if (!erreur.empty())
        std::cerr << prefixe << erreur << '\n';
    if (cle.taches == 0)
        return false;
    cle.bilan = " ; limites : " + std::string(nommerModeLimites(execution.bac.groupes->mode));
    return true;
}

// The test file and the expected results, which each submission reads
// again: they must be files.
bool ouvrirCorrige(const Options& options, VueClasse* vue, Cle& cle)
{
    Corrige& corrige = cle.corrige;
    corrige = Corrige{options.cheminTest, options.cheminAttendu, {}, {}, {}};
    std::string statut;
    const int descripteurTest = ouvrirLecture(corrige.cheminTest, true, false, corrige.infosTest, statut);
    if (descripteurTest < 0) {
        signalerErreur(corrige.cheminTest, statut);
        return false;
    }
    const int descripteurAttendu =
        ouvrirLecture(corrige.cheminAttendu, true, false, corrige.infosAttendu, statut);
    if (descripteurAttendu < 0) {
        signalerErreur(corrige.cheminAttendu, statut);
        return false;
    }
    close(descripteurAttendu);
    if (!compterMaxima(descripteurTest, vue, cle.maxima, cle.finTest)) {
        signalerErreur(corrige.cheminTest, "erreur de lecture");
        return false;
    }
    ajouterIdentite(corrige.identites, corrige.infosTest, Role::test);
    ajouterIdentite(corrige.identites, corrige.infosAttendu, Role::attendu);
    trierIdentites(corrige.identites);
    cle.taches = options.taches != 0 ? options.taches : std::max(1U, std::thread::hardware_concurrency());
    // Its one set may always be shown.
    cle.vueSuivie = true;
    return true;
}

} // namespace

bool lireCle(const Options& options, VueClasse* vue, Cle& cle)
{
    if (options.executer.empty())
        return ouvrirCorrige(options, vue, cle);
    return preparerJeux(options, vue, cle) && preparerLancement(options, cle);
}

std::vector<Jeu> decrireJeux(const Options& options, const Cle& cle)
{
    if (options.executer.empty())
        return {nommerJeuUnique(cle.corrige.cheminTest, cle.maxima)};
    const std::vector<JeuCorrige>& jeux = cle.jeux;
    if (jeux.size() == 1 && jeux[0].nom.empty())
        return {nommerJeuUnique(jeux[0].corrige.cheminTest, jeux[0].maxima)};
    std::vector<Jeu> decrits;
    for (const JeuCorrige& jeu : jeux) {
        Jeu decrit;
        decrit.nom = jeu.nom;
        decrit.cache = jeu.cache;
        decrit.maxima = compterMots(jeu.maxima.tests, jeu.maxima.autresTests);
        decrits.push_back(std::move(decrit));
    }
    return decrits;
}
