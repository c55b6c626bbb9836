#ifndef VALIDEUR_ANALYSE_H
#define VALIDEUR_ANALYSE_H

#include "alignement.h"
#include "indices.h"
#include "validation/moteur/parcours.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// What explains a run's failures taken together: results shifted from the
// expected ones (the alignment), one cause repeated, files that end early.
// It keeps hashes of the lines the alignment has not placed yet, never a
// line.

// Failing and compared lines of one command word.
struct ParMot {
    std::string mot;
    std::int64_t echecs = 0;
    std::int64_t tests = 0;
};

// A compared line once the alignment has placed it; verdicts come in the
// order of the lines, a window after them.
struct Verdict {
    std::int64_t numeroLigne = 0;
    bool echec = false;
    bool explique = false;   // a shift explains its failure
    // Its lines differ, and so do the lines a shift pairs in their place:
    // one of the two it compares is another line's.
    bool autreRang = false;
    std::vector<Saut> sauts; // the shifts it is the first to show
};

struct Analyse {
    Alignement alignement;
    bool garderVerdicts = false;  // for whoever takes them, with prendreVerdict
    // Align the results' lines past the last test line too, so that the
    // answers a shift pushed there are counted as realigned.
    bool alignerSuite = false;
    std::deque<Verdict> verdicts;
    std::deque<bool> echecsEnAttente; // lines read, not placed yet: whether each failed

    std::int64_t lignes = 0;
    std::int64_t echecs = 0;
    std::int64_t premierEchec = 0;
    std::string commandePremierEchec;
    std::vector<ParMot> parMot; // the five reported words first, then the others met, a few
    std::int64_t autresMotsEchecs = 0; // words past those few
    std::int64_t autresMotsTests = 0;
    // Failures per cause, bit k of Cause counted in parCause[k].
    std::array<std::int64_t, nombreCauses> parCause{};
    // Failures whose actual line ends with a carriage return the expected
    // one lacks, whatever else differs: CRLF ends under other mistakes.
    std::int64_t echecsFinRetour = 0;
    // Failures a shift explains.
    std::int64_t expliques = 0;
    std::int64_t premierExplique = 0;
    std::int64_t dernierExplique = 0;
    std::int64_t premiereFinTeste = 0;   // first line where V2 was the end of the results file
    std::int64_t premiereFinAttendu = 0; // first line where V1 was the end of the expected file
    bool utf16 = false;                  // the results begin as UTF-16 does
    bool marqueEnTete = false;           // with a UTF-8 byte order mark the expected lack
    FinParcours fin;
    bool terminee = false;
};

// Takes one compared line into the analysis; its hints when it disagrees.
std::vector<Indice> analyserLigne(Analyse& analyse, const LigneComparee& ligne);

// Takes in how the walk ended, and places every line still waiting.
void terminerAnalyse(Analyse& analyse, const FinParcours& fin);

// The oldest verdict ready, when `garderVerdicts`.
bool prendreVerdict(Analyse& analyse, Verdict& verdict);

// The results' lines past the last test line that extra lines found before
// do not account for: those pushed past the end are no news.
std::uint64_t compterLignesApresFin(const Analyse& analyse);

// Whether the results file ends early only because lines are missing from
// it.
bool finExpliquee(const Analyse& analyse);

// "une ligne semble manquer dans le fichier testé à la ligne #500", and the
// like for extra lines and for more lines, without the quoted test line.
std::string decrireSaut(const Saut& saut);

// "3 lignes manquantes et 1 en trop, la première à la ligne 200": the
// shifts of a run in one phrase; `diese` puts "#" before line numbers.
// Empty when there are none.
std::string resumerSauts(const Alignement& alignement, bool diese);

// Whether nearly every failure comes with CRLF ends.
bool echoueParCrlf(const Analyse& analyse);

// One short French phrase (about 120 characters at most) for a grader's
// table on what explains the failures. Empty when nothing does.
std::string diagnostiquer(const Analyse& analyse);

#endif
