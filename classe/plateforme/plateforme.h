#ifndef VALIDEUR_CLASSE_PLATEFORME_H
#define VALIDEUR_CLASSE_PLATEFORME_H

// Floor plateforme/: what ties grading to the writers of formats/: what
// the command line asks beyond the table (demandes.h), each graded
// submission's feedback file in its folder (retours.h), as it is graded
// (here), and the files written at the end (fin.h), with the marks grading
// gave. Includes notation/ and everything below it.

#include "classe/formats/feuille_moodle.h"
#include "classe/formats/page.h"
#include "classe/notation/notation.h"
#include "classe/plateforme/demandes.h"
#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"

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

// One class's files beyond its table while it is graded: what was asked,
// what the writers need, what grading has given them so far.
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
    // The files written at the end, opened before grading, in the order of
    // FichierFin; -1 when not asked.
    std::array<int, 4> fichiers{-1, -1, -1, -1};
};

// The files written at the end: Moodle's worksheet, JUnit, results.json,
// the report.
enum class FichierFin : std::size_t { moodle, junit, gradescope, html };

// Closes the files still open.
void fermerPlateformes(Plateformes& plateformes);

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

// A submission's mark on a platform's scale: the scheme's, else the share
// of lines passed times `sur`, else the lines passed.
Notation noterPourPlateformes(const Plateformes& plateformes, const ResultatRemise& remise,
                              std::optional<double> sur = std::nullopt);

// What the closing line says of the files asked for: with --moodle and no
// downloaded worksheet, what the assignment must be set to. Empty for
// nothing.
std::string conclurePlateformes(const Plateformes& plateformes);

#endif
