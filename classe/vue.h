#ifndef VALIDEUR_CLASSE_VUE_H
#define VALIDEUR_CLASSE_VUE_H

#include "tableau.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The class view: per test line, how many submissions failed it and its most
// frequent wrong results. Memory is a few counters per failed test line,
// whatever the number of submissions.

// Counters kept per test line: the frequent wrong results are exact while a
// line has at most this many different ones (space-saving counters).
constexpr std::size_t compteursParLigne = 6;
// Bytes kept of a test line and of a wrong result.
constexpr std::size_t longueurApercu = 60;

// One wrong result: the hash of the line without its blanks, how often it
// was seen (an upper bound once a counter was taken over), and the smallest
// of its spellings seen, cut short, so that the text kept does not depend
// on the order in which submissions were graded.
struct Frequent {
    std::uint64_t empreinte = 0;
    std::int64_t compte = 0;
    std::string texte;
};

struct LigneVue {
    std::int64_t echecs = 0;
    std::vector<Frequent> frequents; // at most compteursParLigne, allocated on the first failure
};

struct VueClasse {
    std::vector<std::string> tests; // the test lines, cut short, index = line number - 1
    std::vector<LigneVue> lignes;   // as many
    std::array<std::mutex, 64> verrous{}; // line i under verrous[i % 64]
    std::atomic<std::int64_t> remises{0}; // submissions whose lines were taken in
};

// The first bytes of a text, cut at a character boundary, "…" after them
// when some were left out.
std::string couperApercu(std::string_view texte);

// The hash of a line without its spaces and tabs: lines that agree share it.
std::uint64_t calculerEmpreinte(std::string_view ligne);

// Counts one more occurrence of a wrong result.
void compterFrequent(LigneVue& ligne, std::uint64_t empreinte, std::string_view texte);

// Takes in one failure of test line `numeroLigne` (from 1), whose wrong
// result was `obtenue`; safe from several threads.
void noterEchec(VueClasse& vue, std::int64_t numeroLigne, std::string_view obtenue);

// The rows of the view: failed test lines, most failed first.
void ecrireVue(std::ostream& sortie, const VueClasse& vue, Format format);

#endif
