#ifndef VALIDEUR_CLASSE_PLATEFORME_H
#define VALIDEUR_CLASSE_PLATEFORME_H

// Floor plateforme/: what ties grading to the writers of formats/: each
// graded submission's feedback file, and the files written at the end,
// with the marks grading gave. Includes notation/ and everything below it.

#include "classe/formats/feuille_moodle.h"
#include "classe/formats/moodle.h"
#include "classe/formats/page.h"
#include "classe/notation/notation.h"
#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"
#include "classe/vue/vue.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// What the class is written into beyond its table: a feedback file per
// submission written as it is graded, and at the end Moodle's worksheet,
// results.json, JUnit XML and the class report.

struct DemandesPlateformes {
    std::string bareme;
    std::string retours;
    std::string moodle;
    LangueMoodle langueMoodle = LangueMoodle::fr;
    std::string moodleFeuille;         // the assignment's downloaded worksheet, to fill in
    std::string gradescope;
    std::string gradescopeMetadonnees; // empty: the autograder's own, when there
    std::string_view visibiliteCachee = "after_published";
    std::string junit;
    std::string html;
};

struct Plateformes {
    DemandesPlateformes demandes;
    const Bareme* bareme = nullptr; // the scheme, read before, when there is one
    std::optional<FeuilleMoodle> feuille;
    std::set<std::string> participantsFeuille; // its rows' numbers
    std::optional<double> pointsGradescope;     // the assignment's, from its metadata
    std::vector<Jeu> jeux;
    std::time_t instant = 0; // when the class was graded
    std::mutex verrou;       // over what follows
    std::set<std::string> dossiersPris;
    // Per submission, what the files written at the end need: no
    // explanation, no feedback text.
    std::vector<RangeePage> rangees;
    std::string retourUnique; // the one submission's feedback, for results.json
    std::atomic<int> echecsEcriture{0};
    // The files written at the end, opened before grading: Moodle's
    // worksheet, JUnit, results.json, the report; -1 when not asked.
    std::array<int, 4> fichiers{-1, -1, -1, -1};
};

// Closes the files still open.
void fermerPlateformes(Plateformes& plateformes);

// Whether anything beyond the table was asked.
bool demandePlateformes(const DemandesPlateformes& demandes);

// Whether grading must keep each visible set's explanation and first
// failures.
bool expliquerRemises(const DemandesPlateformes& demandes);

using Ouverture = std::function<int(const std::string&)>;

// Reads the scheme, checks it against the sets, creates the feedback
// folder, opens the files asked for through `ouvrir`, which returns a
// descriptor or -1 having said why. On a fault, `erreur` says what, empty
// when `ouvrir` already did.
bool preparerPlateformes(Plateformes& plateformes, std::vector<Jeu> jeux, const Ouverture& ouvrir,
                         std::string& erreur);

// Once the submissions are found: results.json is for one submission.
bool compterRemises(Plateformes& plateformes, std::size_t remises, std::string& erreur);

// The set a single test file makes: named after it, without its extension.
Jeu nommerJeuUnique(const std::string& cheminTest, const Decomptes& maxima);

// The name of the first set whose lines may be shown, empty when none.
std::string nommerJeuVisible(const std::vector<Jeu>& jeux);

// Takes one graded submission, from any thread: its feedback file written
// now, what the end needs kept.
void rendreRemise(Plateformes& plateformes, std::size_t indice, Note& note, std::ostream& erreurs);

// The test lines of the class view for the report, most missed first.
std::vector<LigneManquee> extraireLignesManquees(const VueClasse& vue, const std::string& jeu,
                                                 std::size_t nombre);

// What the closing line says of the files asked for: with --moodle and no
// downloaded worksheet, what the assignment must be set to. Empty for
// nothing.
std::string conclurePlateformes(const Plateformes& plateformes);

// Writes the files asked for and closes them. False when one could not be
// written. `manquees` is null when the lines were not followed.
bool ecrirePlateformes(Plateformes& plateformes, const std::vector<LigneManquee>* manquees,
                       std::ostream& erreurs);

#endif
