#include "classe/deroulement/deroulement.h"

#include "classe/decouverte/decouverte.h"
#include "classe/deroulement/cle.h"
#include "classe/deroulement/travail.h"
#include "classe/notation/avertissements.h"
#include "classe/plateforme/fin.h"
#include "classe/plateforme/plateforme.h"
#include "classe/sorties/ecriture.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"
#include "classe/tables/conclusion.h"
#include "classe/tables/notes.h"
#include "classe/tables/notes_jeux.h"
#include "classe/tables/partage.h"
#include "classe/tables/releve.h"
#include "classe/vue/manquees.h"

#include "validation/fichier.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// One class being graded, phase after phase.
struct Classe {
    const Options& options;
    bool executer; // the submissions are run rather than their results read
    VueClasse vue;
    VueClasse* vueDemandee = nullptr;
    Cle cle;
    Decouverte decouverte;
    Bordereau bordereau;
    Tranche tranche;
    std::vector<Jeu> jeux;         // the sets as the scheme and the platforms' writers take them
    std::optional<Bareme> bareme;  // the scheme, when one was given
    std::unique_ptr<Plateformes> plateformes;
    std::unique_ptr<Fichier> tableau;
    std::unique_ptr<Fichier> fichierVue;
    std::vector<Note> notes;
};

// Adds what a descriptor writes to, when it is a file, to the files no
// submission may be.
void retenirSortie(int descripteur, Identites& identites)
{
    struct stat infos {};
    if (descripteur >= 0 && fstat(descripteur, &infos) == 0 && S_ISREG(infos.st_mode)) {
        ajouterIdentite(identites, infos, Role::sortie);
        trierIdentites(identites);
    }
}

// An output's file, or -1 with the message written. What it held stays
// until the results replace it: a class stopped midway, or refused, leaves
// the last table whole.
int ouvrirTableau(const std::string& chemin, Identites& identites)
{
    std::string erreur;
    const int descripteur = ouvrirEcriture(chemin, identites, erreur, false);
    if (descripteur < 0)
        signalerErreur(chemin, erreur);
    retenirSortie(descripteur, identites);
    return descripteur;
}

// Every file found is known before any output is opened: none is written
// over. A submission's folder that is run holds no output either: the next
// runs would copy it, and it could replace a student's own.
bool trouverRemises(Classe& course)
{
    const Options& options = course.options;
    std::vector<Remise>& remises = course.decouverte.remises;
    if (!course.executer) {
        Identites& identites = course.cle.corrige.identites;
        course.decouverte =
            decouvrirRemises(options.remises, options.motif, options.suivreLiens, course.cle.corrige.cheminAttendu);
        for (std::size_t i = 0; i < remises.size(); ++i) {
            if (remises[i].identifiee)
                ajouterIdentite(identites, remises[i].infos, Role::remise, i);
            for (const struct stat& autre : remises[i].autresFichiers)
                ajouterIdentite(identites, autre, Role::remise, i);
        }
        trierIdentites(identites);
        return true;
    }
    course.decouverte = decouvrirDossiers(options.remises);
    const DemandesPlateformes& demandes = options.plateformes;
    const std::string dansRetours = demandes.retours.empty() ? std::string() : demandes.retours + "/retour";
    for (const std::string* const chemin : {&options.sortie, &options.lignes, &demandes.moodle, &demandes.junit,
                                            &demandes.gradescope, &demandes.html, &demandes.retours, &dansRetours}) {
        const auto dossier = std::find_if(remises.begin(), remises.end(), [chemin](const Remise& remise) {
            return !chemin->empty() && estDansDossier(*chemin, remise.chemin);
        });
        if (dossier != remises.end()) {
            signalerErreur(chemin == &dansRetours ? demandes.retours : *chemin, "est dans une remise");
            return false;
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
        return false;
    }
    return true;
}

// A share says what it is a share of, the key and the whole class, and
// grades its slice of the rows in their sorted order, every file found
// still known.
void prendrePart(Classe& course)
{
    const Options& options = course.options;
    std::vector<Remise>& remises = course.decouverte.remises;
    course.bordereau = commencerBordereau(options);
    if (options.parts != 0) {
        if (course.executer) {
            for (const JeuCorrige& jeu : course.cle.jeux)
                ajouterCorrige(course.bordereau, jeu.corrige.cheminTest, jeu.corrige.cheminAttendu, jeu.nom,
                               jeu.cache);
        } else {
            ajouterCorrige(course.bordereau, course.cle.corrige.cheminTest, course.cle.corrige.cheminAttendu);
        }
        releverClasse(course.bordereau, remises);
    }
    course.tranche = options.parts == 0 ? Tranche{0, remises.size()}
                                        : choisirPart(remises.size(), options.part, options.parts);
    remises.erase(remises.begin() + static_cast<std::ptrdiff_t>(course.tranche.fin), remises.end());
    remises.erase(remises.begin(), remises.begin() + static_cast<std::ptrdiff_t>(course.tranche.debut));
}

// The scheme is read, and the platforms' files opened, before the tables;
// standard output takes the table only when no input is it.
bool ouvrirSorties(Classe& course, bool sortieFermee)
{
    const Options& options = course.options;
    Identites& identites = course.cle.corrige.identites;
    course.jeux = decrireJeux(options, course.cle);
    if (!options.plateformes.bareme.empty()) {
        std::string erreur;
        course.bareme.emplace();
        if (!chargerBareme(options.plateformes.bareme, course.jeux, *course.bareme, erreur)) {
            std::cerr << prefixe << erreur << '\n';
            return false;
        }
    }
    if (demandePlateformes(options.plateformes)) {
        course.plateformes = std::make_unique<Plateformes>();
        Plateformes& plateformes = *course.plateformes;
        plateformes.demandes = options.plateformes;
        plateformes.bareme = course.bareme ? &*course.bareme : nullptr;
        const auto ouvrir = [&identites](const std::string& chemin) { return ouvrirTableau(chemin, identites); };
        std::string erreur;
        if (!preparerPlateformes(plateformes, course.jeux, ouvrir, erreur)
            || !compterRemises(plateformes, course.decouverte.remises.size(), erreur)) {
            if (!erreur.empty())
                std::cerr << prefixe << erreur << '\n';
            fermerPlateformes(plateformes);
            return false;
        }
    }
    if (options.sortie.empty()) {
        const std::string refus = sortieFermee ? "ferm\xC3\xA9" "e" : verifierSortieStandard(identites);
        if (!refus.empty()) {
            signalerErreur("sortie standard", refus);
            return false;
        }
    }
    for (auto [chemin, fichier] : {std::pair{&options.sortie, &course.tableau}, {&options.lignes, &course.fichierVue}}) {
        if (chemin->empty())
            continue;
        const int descripteur = ouvrirTableau(*chemin, identites);
        if (descripteur < 0)
            return false;
        *fichier = std::make_unique<Fichier>(descripteur, std::ios::out);
    }
    if (!course.executer) {
        retenirSortie(STDOUT_FILENO, identites);
        retenirSortie(STDERR_FILENO, identites);
    }
    return annoncerPart(options, identites);
}

// The run's warnings, which a share keeps for the merge to say them.
void direAvertissements(Classe& course)
{
    const Options& options = course.options;
    std::vector<std::string>& avertissements = course.bordereau.avertissements;
    std::transform(course.decouverte.ignores.begin(), course.decouverte.ignores.end(),
                   std::back_inserter(avertissements), [&options](const std::string& ignore) {
                       return rendreInoffensif(ignore) + " : ignor\xC3\xA9, hors du motif "
                           + rendreInoffensif(options.motif);
                   });
    avertissements.insert(avertissements.end(), course.decouverte.avertissements.begin(),
                          course.decouverte.avertissements.end());
    if (!course.executer) {
        if (const auto avertissement = signalerIntervertis(course.cle.maxima, course.cle.finTest))
            avertissements.push_back(*avertissement);
        if (const auto avertissement = signalerLigneBlanche(course.cle.corrige.cheminTest, course.cle.finTest))
            avertissements.push_back(*avertissement);
    }
    for (const std::string& avertissement : avertissements)
        std::cerr << prefixe << avertissement << '\n';
}

// Grades every submission of the share. False when the class was stopped
// midway: no table of runs that were killed.
bool noterRemises(Classe& course)
{
    Cle& cle = course.cle;
    course.notes.resize(course.decouverte.remises.size());
    Travail travail{cle.corrige, course.decouverte.remises, course.tranche.debut, course.notes, course.vueDemandee,
                    course.plateformes.get(), cle.lancement ? &cle.lancement->execution : nullptr,
                    course.executer ? &cle.jeux : nullptr, course.bareme ? &*course.bareme : nullptr, &course.jeux,
                    {0}, {0}, {}, {}, {}};
    noterTout(travail, cle.taches, isatty(STDERR_FILENO) == 1);
    if (!course.executer)
        return true;
    const std::size_t relancees = travail.relancees.size();
    cle.bilan += " ; " + std::to_string(relancees) + (relancees > 1 ? " remises relanc\xC3\xA9" "es seules"
                                                                 : " remise relanc\xC3\xA9" "e seule");
    if (cle.lancement->arret.demande)
        return false;
    for (const JeuCorrige& jeu : cle.jeux)
        close(jeu.copie);
    return true;
}

// The table, the class view, the share's slip and the platforms' files:
// 1 when one could not be written, else 0.
int ecrireResultats(Classe& course)
{
    const Options& options = course.options;
    const Bareme* const bareme =
        course.bareme ? &*course.bareme : nullptr;
    int code = 0;
    if (!ecrireTableau(course.tableau.get(), options.bom, options.sortie.empty() ? "sortie standard" : options.sortie,
                       [&](std::ostream& sortie) {
                           if (course.executer)
                               ecrireNotesJeux(sortie, course.cle.jeux, course.notes, options.format, bareme);
                           else
                               ecrireNotes(sortie, course.cle.maxima, course.notes, options.format, bareme);
                       }))
        code = 1;
    if (course.fichierVue
        && !ecrireTableau(course.fichierVue.get(), options.bom, options.lignes, [&](std::ostream& sortie) {
               if (options.parts != 0)
                   ecrireVuePartielle(sortie, course.vue, options.part, options.parts);
               else
                   ecrireVue(sortie, course.vue, options.format, options.lignesMax);
           }))
        code = 1;
    if (code == 0 && !signerPart(options, course.bordereau, course.notes))
        code = 1;
    if (course.plateformes) {
        const bool vueSuivie = course.cle.vueSuivie;
        const std::vector<LigneManquee> manquees =
            !vueSuivie || options.plateformes.html.empty()
            ? std::vector<LigneManquee>{}
            : extraireLignesManquees(course.vue, nommerJeuVisible(course.plateformes->jeux), 20);
        if (!ecrirePlateformes(*course.plateformes, vueSuivie ? &manquees : nullptr, std::cerr))
            code = 1;
    }
    return code;
}

// The last line on standard error, and the status: 0 when every submission
// found was graded, a student without one included; 1 otherwise, or when
// none was found.
int conclure(const Options& options, const std::vector<Note>& notes, const VueClasse& vue, int code,
             const std::string& bilanExecution, const Plateformes* plateformes)
{
    const auto notees = static_cast<std::size_t>(
        std::count_if(notes.begin(), notes.end(), [](const Note& note) { return note.notee; }));
    const auto absentes = static_cast<std::size_t>(
        std::count_if(notes.begin(), notes.end(), [](const Note& note) { return note.absente; }));
    // A share may be left with none: the merge judges the class.
    const bool aucune = notes.size() == absentes && options.parts == 0;
    if (aucune)
        std::cerr << prefixe << "aucune remise trouv\xC3\xA9" "e\n";
    if (const auto avertissement = signalerArretCommun(notes))
        std::cerr << prefixe << *avertissement << '\n';
    commencerConclusion(std::cerr, options, vue, notes.size(), notees);
    if (!options.plateformes.retours.empty())
        std::cerr << " ; retours : " << rendreInoffensif(options.plateformes.retours);
    if (options.sansBacASable)
        std::cerr << " ; sans bac \xC3\xA0 sable";
    if (plateformes != nullptr) {
        if (const std::string conclusion = conclurePlateformes(*plateformes); !conclusion.empty())
            std::cerr << " ; " << conclusion;
    }
    std::cerr << bilanExecution << '\n' << std::flush;
    return deciderStatut(aucune, notes.size(), notees, absentes, code);
}

} // namespace

int noterClasse(const Options& options, bool sortieFermee)
{
    Classe course{options, !options.executer.empty(), {}, nullptr, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
    course.vue.toutes = options.lignesToutes;
    const bool vueVoulue = !options.lignes.empty() || !options.plateformes.html.empty();
    if (!lireCle(options, vueVoulue ? &course.vue : nullptr, course.cle))
        return 2;
    // With several sets that may be shown, the view's lines would mix them.
    const bool vueTenue = course.executer ? course.cle.vueSuivie || !options.lignes.empty() : vueVoulue;
    course.vueDemandee = vueTenue ? &course.vue : nullptr;
    if (!trouverRemises(course))
        return 2;
    prendrePart(course);
    if (!ouvrirSorties(course, sortieFermee))
        return 2;
    direAvertissements(course);
    if (!noterRemises(course))
        return 2;
    const int code = ecrireResultats(course);
    // The sandbox and its private copies are gone before the last line.
    course.cle.lancement.reset();
    return conclure(options, course.notes, course.vue, code, course.cle.bilan, course.plateformes.get());
}
