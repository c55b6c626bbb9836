#ifndef VALIDEUR_INDICES_FICHIER_H
#define VALIDEUR_INDICES_FICHIER_H

#include "utf16.h"
#include "validation/moteur/parcours.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Hints about a run's files as wholes, each one line, from a few facts the
// run gathers as it goes: the first bytes of a file, how many bytes the
// results held, how it ended, how many missing lines had an empty result.
// Each is empty when there is nothing to say.

// What to do about a file in UTF-16; `fichierTeste` names the results file,
// otherwise the expected one.
std::string indiquerUtf16(EncodageUtf16 encodage, bool fichierTeste);

// How the results file ended.
struct FinResultats {
    std::uint64_t taille = 0; // bytes it held
    // It ended before the test file did, or its last line has no newline
    // and disagrees: the program stopped writing partway.
    bool coupee = false;
};

// The output of a program that crashed while stdio still held it in its
// buffer: the file stops partway, after a whole number of 4 096-byte buffers.
std::string indiquerTamponPerdu(const FinResultats& fin);

// What says that the expected and the results files were given in each
// other's place.
struct Inversion {
    std::string_view cheminAttendu; // the paths as given, empty when unknown
    std::string_view cheminTeste;
    std::int64_t echecs = 0;
    // Where each file ended before the test file did: a program's output
    // may stop early, expected results do not.
    bool attenduFinitTot = false;
    bool testeFinitTot = false;
};

// Only when something says so: the expected file ends early while the
// results go on, or the names (a "votre" or "sortie" given as the expected
// file, a "solution" or "attendu" given as the results) say it without any
// name saying the contrary. Never when every line agrees.
std::string indiquerInversion(const Inversion& inversion);

// Whether a line's expected result is empty once blanks are left out: a
// program that writes nothing for an empty result misses such lines.
bool estResultatVide(std::string_view attendue);

// When most of the lines missing from the results have an empty expected
// result, and at least two do: the program writes nothing for an empty result.
std::string indiquerResultatsVidesOmis(std::int64_t manquantes, std::int64_t manquantesVides);

// The facts above, gathered line after line by a run that looks at every
// compared line: a few bytes and counts, whatever the files' sizes.
struct FaitsFichiers {
    std::string debutAttendu; // the first bytes of each file's first line
    std::string debutTeste;
    std::uint64_t octetsTeste = 0; // bytes of the results file read as lines
    bool testeFini = false;        // the results file ended before the test file
    bool attenduFini = false;
    bool derniereCoupee = false; // its last line read has no newline and disagrees
    std::int64_t echecs = 0;
};

void releverFaits(FaitsFichiers& faits, const LigneComparee& ligne);

// Every hint about the files as wholes, in the order a reader needs them:
// the encoding first, then the order of the files, then a crash.
std::vector<std::string> indiquerFichiers(const FaitsFichiers& faits, std::string_view cheminAttendu,
                                          std::string_view cheminTeste);

#endif
