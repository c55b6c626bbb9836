#include "classe/notation/notation_executee.h"

#include "classe/notation/suivi.h"

#include "validation/explication/analyse.h"
#include "validation/fichier.h"
#include "classe/sorties/sorties.h"
#include "execution/verdict.h"

#include <csignal>
#include <filesystem>
#include <istream>

#include <unistd.h>

namespace {


// What a visible set gives the class view: taken once the submission's
// runs are kept, never from those run again alone.
struct PourVue {
    std::vector<EchecVue> echecs;
    bool erreurDeForme = false;
};

// A run the wall clock ended before it used its CPU time may have been
// starved by its neighbours or the machine.
bool estAffamee(const Rapport& rapport, const Limites& limites)
{
    return (rapport.horloge || rapport.delaiDepasse) && !rapport.tempsDepasse && !rapport.sortieDepassee
        && static_cast<double>(rapport.microsecondes) < limites.temps * 1e6;
}

// One set's run, graded as it comes. False with `statut` set when the set's
// files or the run failed, so that the row cannot be graded.
bool noterJeu(const Execution& execution, const JeuCorrige& jeu, const Atelier& atelier, PourVue* vue,
              bool expliquer, ResultatJeu& resultat, std::string& diagnostic, std::int64_t& realignees,
              bool& affamee, std::string& statut)
{
    struct stat infos[2] {};
    std::string statuts[2];
    const int test = ouvrirLecture(jeu.corrige.cheminTest, true, false, infos[0], statuts[0]);
    const int attendu = ouvrirLecture(jeu.corrige.cheminAttendu, true, false, infos[1], statuts[1]);
    const int entree = ouvrirCopie(jeu);
    if (test < 0 || attendu < 0 || entree < 0) {
        statut = test < 0 ? "fichier de test : " + statuts[0]
            : attendu < 0 ? "fichier attendu : " + statuts[1] : "copie du test illisible";
        for (const int descripteur : {test, attendu, entree}) {
            if (descripteur >= 0)
                close(descripteur);
        }
        return false;
    }
    Fichier fichierTest(test, std::ios::in);
    Fichier fichierAttendu(attendu, std::ios::in);
    std::istream fluxTest(&fichierTest);
    std::istream fluxAttendu(&fichierAttendu);

    Course course;
    std::string dossier;
    const bool lancee = lancerCourse(execution, atelier, entree, course, dossier, statut);
    close(entree);
    if (!lancee)
        return false;
    TamponCourse tampon(course);
    std::istream fluxVotre(&tampon);
    // A hidden set is never explained: its lines are not a student's to see.
    PourVue* const vueVisible = jeu.cache ? nullptr : vue;
    std::vector<EchecVue> echecs;
    Note comparee;
    try {
        comparerRemise(fluxTest, fluxAttendu, fluxVotre, expliquer && !jeu.cache,
                       vueVisible != nullptr ? &echecs : nullptr, std::size_t{1} << 20, comparee);
    } catch (...) {
        // No process of the run outlives the grader's failure.
        kill(course.processus, SIGKILL);
        terminerCourse(course);
        conclureCourse(execution, course, dossier, statut);
        throw;
    }
    resultat.explication = std::move(comparee.explication);
    resultat.premiersEchecs = std::move(comparee.premiersEchecs);
    terminerCourse(course);
    resultat.fin = conclureCourse(execution, course, dossier, statut);
    affamee = affamee || estAffamee(course.resultat, execution.limites);
    if (!statut.empty())
        return false;
    if (fluxTest.bad() || fluxAttendu.bad()) {
        statut = fluxTest.bad() ? "fichier de test : erreur de lecture" : "fichier attendu : erreur de lecture";
        return false;
    }
    resultat.note = true;
    resultat.reussites = compterMots(comparee.decomptes.reussites, comparee.decomptes.autresReussites);
    resultat.secondes = static_cast<double>(course.resultat.microsecondes) / 1e6;
    resultat.mio = static_cast<double>(course.resultat.kio) / 1024;
    // A program may copy its input to standard error: a hidden set's would
    // show its lines.
    if (!jeu.cache)
        resultat.erreurs = std::move(course.messages);
    diagnostic = std::move(comparee.diagnostic);
    realignees += comparee.realignees;
    if (vueVisible != nullptr) {
        vueVisible->echecs = std::move(echecs);
        vueVisible->erreurDeForme = comparee.erreurDeForme;
    }
    return true;
}

} // namespace

Note noterExecution(const Execution& execution, const std::vector<JeuCorrige>& jeux, const Remise& remise,
                    VueClasse* vue, bool expliquer, bool seule)
{
    Note note;
    note.nom = remise.nom;
    note.identifiant = remise.identifiant;
    // An empty folder is a student who handed nothing in, as in a class of
    // results files: absent, without a mark, and nothing is run; so is one
    // that discovery found absent.
    std::error_code erreur;
    if (remise.absente || (std::filesystem::is_empty(remise.chemin, erreur) && !erreur)) {
        note.absente = true;
        note.statut = statutAbsent;
        return note;
    }
    Atelier atelier;
    try {
        preparerAtelier(execution, remise.chemin, atelier);
        if (!atelier.statut.empty()) {
            note.statut = atelier.statut;
            fermerAtelier(atelier);
            return note;
        }
        note.compilee = atelier.pret;
        if (!atelier.pret)
            note.compilation = atelier.messagesConstruction;
        note.jeux.resize(jeux.size());
        std::vector<std::string> diagnostics(jeux.size());
        std::vector<PourVue> pourVue(jeux.size());
        bool affamee = false;
        for (std::size_t i = 0; i < jeux.size(); ++i) {
            if (!atelier.pret) {
                // Graded: nothing of it ran. A build past --espace says so.
                note.jeux[i].note = true;
                note.jeux[i].fin = atelier.finConstruction == finEspaceDepasse ? finEspaceDepasse : finNonCompilee;
                continue;
            }
            if (!noterJeu(execution, jeux[i], atelier, vue != nullptr ? &pourVue[i] : nullptr, expliquer,
                          note.jeux[i], diagnostics[i], note.realignees, affamee, note.statut)) {
                note.jeux.clear();
                fermerAtelier(atelier);
                return note;
            }
        }
        for (std::size_t i = 0; i < jeux.size() && note.diagnostic.empty(); ++i) {
            if (!jeux[i].cache)
                note.diagnostic = diagnostics[i];
        }
        note.aRelancer = affamee && !seule;
        for (std::size_t i = 0; i < pourVue.size() && vue != nullptr && !note.aRelancer; ++i) {
            if (!jeux[i].cache && atelier.pret)
                prendreRemise(*vue, pourVue[i].echecs, pourVue[i].erreurDeForme);
        }
    } catch (...) {
        fermerAtelier(atelier);
        throw;
    }
    fermerAtelier(atelier);
    note.notee = true;
    note.statut = statutOk;
    return note;
}
