#ifndef VALIDEUR_MOTEUR_PARCOURS_H
#define VALIDEUR_MOTEUR_PARCOURS_H

#include "lecture.h"
#include "validation/bilan.h"

#include <cstdint>
#include <functional>
#include <istream>
#include <string_view>
#include <vector>

// The loop line by line for whoever looks at every compared line: the run
// on a terminal and the class program. It writes nothing; what it sees goes
// to an observer.

// One compared line as the loop saw it. The views stay valid until the loop
// reads its next line.
struct LigneComparee {
    std::int64_t numeroLigne = 0;
    std::string_view test;     // the test line, or its word alone when it was too long to hold
    std::string_view commande;
    std::string_view attendue; // V1
    std::string_view obtenue;  // V2
    bool identiques = false;
    bool finAttendu = false;      // the expected input had no line left: V1 is its empty preset
    bool finTeste = false;        // V2 is what an ended results file gives: "(X)" or the
                                  // empty line read after its last newline
    bool obtenueSansSaut = false; // the actual line ended with its input, not with a newline
    // With a bound: V1 or V2 is only the start of a longer line, and the
    // hash of the whole line without spaces and tabs (set only then).
    bool attendueCoupee = false;
    bool obtenueCoupee = false;
    std::uint64_t empreinteObtenue = 0;
    std::uint64_t empreinteAttendue = 0;
};

// What the inputs still held once the loop ended, as far as could be seen
// without waiting for them.
struct FinParcours {
    std::int64_t lignesComparees = 0;
    // The loop stopped at a test line without a command word while the test
    // input went on after it.
    bool ligneBlanche = false;
    Apercu resteTest;
    // The expected and the results inputs had a line past the last compared one.
    bool resteAttendu = false;
    bool resteVotre = false;
    // The results' lines past the last compared one, counted in at most
    // the look's cap.
    Apercu apercuVotre;
    // Hashes without blanks of the first of those lines, at most
    // `lignesSuiteGardees`, those at hand without waiting: the answers of a
    // run that printed extra lines earlier are there.
    std::vector<std::uint64_t> suiteVotre;
};

constexpr std::size_t lignesSuiteGardees = 64;

// Per reported word the lines that agreed and the lines compared, and the
// same for every other word together.
struct Decomptes {
    Comptes reussites{};
    Comptes tests{};
    std::int64_t autresReussites = 0;
    std::int64_t autresTests = 0;
};

using Observateur = std::function<void(const LigneComparee&)>;

// The validation loop, line by line, telling `observer` each compared line.
// With a `borne`, an expected or actual line longer than that many bytes is
// compared as it is read, never held: the observer sees its start, and the
// loop's memory stays that of a quiet run whatever the lines' length. What
// is left of the inputs is looked at in up to `plafondApercu` bytes.
Decomptes parcourirLignes(std::istream& test, std::istream& solution, std::istream& votre,
                          const Observateur& observer, FinParcours& fin, std::size_t borne = 0,
                          std::size_t plafondApercu = std::size_t{1} << 20);

#endif
