#ifndef VALIDEUR_CLASSE_NOTATION_H
#define VALIDEUR_CLASSE_NOTATION_H

// Floor notation/: grading one submission with the library's line-by-line
// loop and its analysis (validation/moteur/, validation/explication/), from
// its results file (notation.h) or by running it on the test sets
// (notation_executee.h, jeux.h, execution/); the maxima of the test file,
// the run's warnings. Includes decouverte/, vue/, resultats/, sorties/,
// the library and execution/; never formats/.

#include "classe/decouverte/remise.h"
#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"
#include "classe/sorties/identites.h"
#include "validation/moteur/parcours.h"
#include "classe/vue/vue.h"

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

struct Analyse;

// The test file and the expected results, opened again for each submission:
// their paths, and their identities as first opened; and every file the run
// knows, which no submission may be.
struct Corrige {
    std::string cheminTest;
    std::string cheminAttendu;
    struct stat infosTest {};
    struct stat infosAttendu {};
    Identites identites;
};

// One row of the table.
struct Note {
    std::string nom;
    std::string identifiant;
    bool notee = false;   // graded: the counts and the diagnosis hold
    bool absente = false; // a student without a results file
    std::string statut;   // "ok", or why it could not be graded
    Decomptes decomptes;  // the successes are the row's counts
    std::string diagnostic;
    // What the diagnosis says of the form: results that are not the
    // program's answers (CRLF ends, shifted, empty, cut short), and the
    // last line before the results stop early, 0 when they do not.
    bool erreurDeForme = false;
    std::int64_t arretApres = 0;
    // Lines that agree once the shifts the analysis found are set aside.
    std::int64_t realignees = 0;
    // When asked: the explanation a student reads on a terminal, without
    // colour, and per word its first failing line, cut short. Dropped once
    // the feedback is written.
    std::string explication;
    std::array<std::string, nombreMots> premiersEchecs;
    std::optional<double> note; // from the scheme
    // With --executer: one result per test set, in the sets' order (the
    // successes per word, how the run ended, its CPU seconds and peak MiB,
    // the first 64 KiB of its standard error, none for a hidden set), and
    // when the build failed, the first 64 KiB of its output, standard
    // output and error together.
    std::vector<ResultatJeu> jeux;
    bool compilee = true;
    std::string compilation;
    // A run the wall clock ended short of its CPU time: the submission is
    // run again alone once the others have ended.
    bool aRelancer = false;
};

// A line longer than this is compared as it is read and only its start
// kept: grading holds no whole line, whatever its length.
constexpr std::size_t borneLigne = std::size_t{256} * 1024;

// The hash under which the class view counts a wrong result: of the whole
// line, also when only its start was kept.
std::uint64_t empreinterObtenue(const LigneComparee& ligne);

// What the diagnosis says of the form, from the analysis' own measures:
// sets `erreurDeForme` and `arretApres`.
void classerDiagnostic(const Analyse& analyse, Note& note);

// A graded row as the writers take it.
ResultatRemise convertirNote(const Note& note);

// A graded row's mark by the scheme, none when there is none to give.
std::optional<double> noterRangee(const Bareme& bareme, const std::vector<Jeu>& jeux, const Note& note);

// Follows a submission's output `votre` against the key line by line, with
// the library's loop and analysis, as both ways of grading do: `note`'s
// counts, diagnosis, form of its results and lines realigned; with
// `expliquer`, its explanation and first failures; into `echecs` when not
// null, its failed lines for the class view. `plafond` bounds what is read
// past the last test line.
void comparerRemise(std::istream& test, std::istream& attendu, std::istream& votre, bool expliquer,
                    std::vector<EchecVue>* echecs, std::size_t plafond, Note& note);

// Grades one submission, row `rangee`, with the library's loop: the counts,
// the analysis' diagnosis, and its failures into `vue` when there is one;
// with `expliquer`, the explanation and the first failures too.
Note noterRemise(const Corrige& corrige, const Remise& remise, std::size_t rangee, VueClasse* vue,
                 bool expliquer = false);

#endif
