#ifndef VALIDEUR_CLASSE_VUE_H
#define VALIDEUR_CLASSE_VUE_H

// Floor vue/: the class view, what the class missed line by line (here),
// and the lines the class report shows of it (manquees.h). Beside
// decouverte/ and formats/, which it never includes; includes sorties/,
// resultats/ and the library.

#include "classe/sorties/tableau.h"
#include "validation/explication/alignement.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The class view: per test line, how many submissions failed it and its
// wrong results, each counted exactly, by the hash of its text without
// blanks, with one spelling kept. The counts do not depend on the order in
// which submissions are graded, so neither does the view.

// Bytes kept of a test line and of a wrong result.
constexpr std::size_t longueurApercu = 60;

// One wrong result: how many submissions gave it, and the smallest of its
// spellings seen, cut short, so that the text kept does not depend on the
// order in which submissions were graded.
struct Frequent {
    std::uint64_t empreinte = 0;
    std::int64_t compte = 0;
    std::string texte;
};

struct LigneVue {
    std::int64_t echecs = 0;
    std::unordered_map<std::uint64_t, Frequent> resultats; // by hash
};

// One submission's failures, kept until its diagnosis says whether it goes
// into the view.
struct EchecVue {
    std::int64_t numeroLigne = 0;
    std::uint64_t empreinte = 0;
    std::string texte; // cut short
};

struct VueClasse {
    std::vector<std::string> tests; // the test lines, cut short, index = line number - 1
    std::vector<LigneVue> lignes;   // as many
    std::array<std::mutex, 64> verrous{}; // line i under verrous[i % 64]
    std::atomic<std::int64_t> remises{0};  // submissions taken in
    std::atomic<std::int64_t> ecartees{0}; // left out for an error of form
    bool toutes = false;                   // keep those too
};

// The first bytes of a text, cut at a character boundary, "…" after them
// when some were left out.
std::string couperApercu(std::string_view texte);

// calculerEmpreinte, the hash of a line without its spaces and tabs, is the
// alignment's (validation/explication/alignement.h).

// Counts one more submission giving a wrong result on a line.
void compterFrequent(LigneVue& ligne, std::uint64_t empreinte, std::string_view texte);

// Takes one graded submission's failures into the view, or counts it left
// out when its results have an error of form and not every submission is
// kept. Safe from several threads.
void prendreRemise(VueClasse& vue, const std::vector<EchecVue>& echecs, bool erreurDeForme);

// The failed lines, most failed first, then by number.
std::vector<std::size_t> ordonnerLignes(const VueClasse& vue);

// A line's wrong results, most frequent first, then by text, then by hash.
std::vector<Frequent> ordonnerResultats(const LigneVue& ligne);

// The rows of the view: failed test lines in that order, at most
// `maximum` of them (0: all).
void ecrireVue(std::ostream& sortie, const VueClasse& vue, Format format, std::size_t maximum);

// What standard error says of the view beyond its file's name: the lines
// left out by the cap, the submissions left out.
std::string resumerVue(const VueClasse& vue, std::size_t maximum);

#endif
