#ifndef VALIDEUR_ANALYSE_H
#define VALIDEUR_ANALYSE_H

#include "indices.h"
#include "validation/moteur/parcours.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What explains a run's failures taken together, line after line: results
// offset by a few lines from the expected ones, one cause repeated, files
// that end early. It keeps a few hashes per recent failure, never a line.

// The largest offset looked for, in lines.
constexpr unsigned decalageMax = 3;

// Results offset from the expected ones by `lignes` lines from line `debut`:
// lines missing from the results file, or extra lines in it.
struct Decalage {
    bool manque = true;
    unsigned lignes = 0;
    std::int64_t debut = 0;
    std::string test;          // the test line at `debut`, cut short
    std::int64_t expliques = 0; // failures it explains that were not shown one by one
    std::int64_t premierExplique = 0;
    std::int64_t dernierExplique = 0;
};

// A failure as the analysis sees it.
struct Verdict {
    bool explique = false; // a shift already established explains it
    bool etabli = false;   // it establishes a shift, which its report says
    unsigned causes = 0;   // mask of its hints' causes
    std::vector<Indice> indices;
};

// One recent failure: what the shift detection needs of it.
struct Trace {
    std::int64_t numeroLigne = 0;
    std::uint64_t empreinteAttendue = 0; // hash of the line without blanks
    std::uint64_t empreinteObtenue = 0;
    bool attendueVide = false;
    bool obtenueVide = false;
    std::string test; // the test line, cut short
};

// Failing and compared lines of one command word.
struct ParMot {
    std::string mot;
    std::int64_t echecs = 0;
    std::int64_t tests = 0;
};

struct Analyse {
    std::array<Trace, 2 * decalageMax + 2> recents{};
    std::size_t nbRecents = 0;
    // A shift that recent failures suggest, and how many in a row agree with it.
    Decalage candidat;
    unsigned confirmations = 0;
    // Whether the lines the candidate matched are not all one value.
    bool varie = false;
    std::uint64_t premierApparie = 0;
    bool actif = false; // `decalages.back()` goes on
    std::vector<Decalage> decalages;

    std::int64_t lignes = 0;
    std::int64_t echecs = 0;
    std::int64_t premierEchec = 0;
    std::string commandePremierEchec;
    std::vector<ParMot> parMot; // the five reported words first, then the others met, a few
    std::int64_t autresMotsEchecs = 0; // words past those few
    std::int64_t autresMotsTests = 0;
    // Failures per cause, bit k of Cause counted in parCause[k].
    std::array<std::int64_t, nombreCauses> parCause{};
    std::int64_t premiereFinTeste = 0;   // first line where V2 was the end of the results file
    std::int64_t premiereFinAttendu = 0; // first line where V1 was the end of the expected file
    FinParcours fin;
    bool terminee = false;
};

// Takes one compared line into the analysis; what it makes of it when the
// line disagrees.
Verdict analyserLigne(Analyse& analyse, const LigneComparee& ligne);

// Takes in how the walk ended.
void terminerAnalyse(Analyse& analyse, const FinParcours& fin);

// Whether the results file ends early only because lines are missing from
// it: a shift that goes on to its end already says so.
bool finExpliquee(const Analyse& analyse);

// "une ligne semble manquer dans le fichier testé à la ligne #500", and the
// like for extra lines and for two or three.
std::string decrireDecalage(const Decalage& decalage);

// One short French phrase for a grader's table on what explains the
// failures: the whole file in CRLF ends, results shifted by k lines from
// line N, results ending at line N, an empty file, not UTF-8. Empty when
// nothing does.
std::string diagnostiquer(const Analyse& analyse);

#endif
