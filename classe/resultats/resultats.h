#ifndef VALIDEUR_CLASSE_RESULTATS_H
#define VALIDEUR_CLASSE_RESULTATS_H

// Floor resultats/: a graded class as plain values (resultats.h), the
// grading scheme that makes a mark of them (bareme.h), and how a run's end
// reads to a student (fins.h). Includes only sorties/, the words of a
// run's end from execution/verdict.h and the summary line's counts from
// validation/bilan.h.

#include "validation/bilan.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What the writers for course platforms, CI and the class report are given
// of a graded class: plain values, filled by whoever graded it.

// The words a mark weighs: the five words of the summary line, in its
// order, then every other word together.
constexpr std::size_t nombreMots = 6;
constexpr std::array<std::string_view, nombreMots> motsNotes = {
    "trace", "localiser", "presences", "frequentations", "duree_rencontres", "autres"};
using CompteMots = std::array<std::int64_t, nombreMots>;

// The counts of the summary line's words, then of every other word.
inline CompteMots compterMots(const Comptes& comptes, std::int64_t autres)
{
    static_assert(std::tuple_size<Comptes>::value + 1 == nombreMots);
    CompteMots mots{};
    std::copy(comptes.begin(), comptes.end(), mots.begin());
    mots[nombreMots - 1] = autres;
    return mots;
}

// One test set: its name, whether a student may see its lines, and the
// lines of each word it holds.
struct Jeu {
    std::string nom;
    bool cache = false;
    CompteMots maxima{};
};

// How one submission did on one set.
struct ResultatJeu {
    bool note = false;       // the set was graded: the counts hold
    std::string fin;         // how its run ended ("normale", "temps dépassé"…), empty when unknown
    double secondes = -1;    // CPU time, negative when not measured
    double mio = -1;         // peak memory in MiB, negative when not measured
    CompteMots reussites{};
    std::string erreurs;     // the start of its standard error
    // For a visible set only, never filled for a hidden one: the
    // explanation a student reads on a terminal, in plain text, and per
    // word its first failing line ("Ligne #5 (localiser) : ÉCHEC" with V1
    // and V2), cut short.
    std::string explication;
    std::array<std::string, nombreMots> premiersEchecs;
};

// One submission: its row's name, its participant number on the course
// platform (empty when its name carries none), why it could not be graded,
// the compiler's first lines when it did not build, and one result per set
// in the order of the sets.
struct ResultatRemise {
    std::string nom;
    std::string identifiant;
    bool trouvee = true;      // false for a student without a submission
    bool compilee = true;
    std::string statut;       // "ok", or why it was not graded
    std::string compilation;
    std::vector<ResultatJeu> jeux;
};

// A submission's result on set `jeu`, or an empty one when it has none.
inline const ResultatJeu& resultatDuJeu(const ResultatRemise& remise, std::size_t jeu)
{
    static const ResultatJeu aucun{};
    return jeu < remise.jeux.size() ? remise.jeux[jeu] : aucun;
}

// A test line the class missed, as the class report shows it.
struct LigneManquee {
    std::string jeu;
    std::int64_t numero = 0;
    std::string test;
    std::int64_t echecs = 0;
    std::vector<std::pair<std::string, std::int64_t>> frequents; // wrong result, how often
};

#endif
