#ifndef VALIDEUR_EXPLICATION_ALIGNEMENT_H
#define VALIDEUR_EXPLICATION_ALIGNEMENT_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string_view>
#include <vector>

// The expected and actual results aligned as a diff aligns two files: which
// results are missing, which are extra, which lines agree once those are
// set aside. Lines are known by a hash of their bytes without blanks, so
// that two lines have the same hash when they agree; an empty or a
// repeated line is a line like any other.
//
// The alignment is made in a stream. Where the two files agree line for
// line, or agree with an offset already decided, each line is placed as it
// comes. Where they part, nothing is decided before `horizonAlignement`
// more lines of each file are known: then the least costly edit script over
// that window says how the first half of it goes, and the rest waits for
// more lines. A line's fate is thus known at most about 1.5 windows after
// it was read: a terminal shows its report that much later, which is
// instant to a reader, and in exchange a report never announces a shift
// that the next lines disprove.
//
// Memory: the hashes of the lines not yet placed, at most
// `capaciteAlignement` a file; a file that runs more lines ahead than that
// has its oldest ones placed past the other's end, without a statement.

constexpr std::size_t horizonAlignement = 64;
constexpr std::size_t capaciteAlignement = std::size_t{1} << 16;

// Where the alignment put a compared line: the first of its two lines (the
// expected and the actual one) to be placed.
enum class Place : unsigned char {
    concorde,   // paired, equal, with the line of the same number
    decalee,    // paired, equal, with a line of another number: a shift explains it
    differente, // paired with a line it differs from
    manquante,  // an expected line whose result is missing
    enTrop,     // an actual line that answers no expected line
    horsFin,    // past the end of the other file
};

// Results missing from the results file (`manque`), or extra lines in it.
// Missing: `numero` is the first test line whose result is missing. Extra:
// the test line after whose result they were written, 0 before the first.
struct Saut {
    bool manque = true;
    std::int64_t lignes = 0;
    std::int64_t numero = 0;
};

struct Decision {
    std::int64_t numeroLigne = 0;
    Place place = Place::concorde;
    bool autreRang = false; // paired with a line of another number
    std::vector<Saut> sauts; // the shifts this line is the first to show
};

struct Alignement {
    // Hashes of the lines not yet placed: expected lines from number
    // placeesAttendues + 1, actual lines from placeesObtenues + 1.
    std::deque<std::uint64_t> attendues;
    std::deque<std::uint64_t> obtenues;
    std::int64_t placeesAttendues = 0;
    std::int64_t placeesObtenues = 0;
    bool finAttendues = false;
    bool finObtenues = false;
    // Decisions made, from the absolute rank `premiereDecision`; a shift
    // still growing holds back those from its own rank.
    std::deque<Decision> decisions;
    std::int64_t premiereDecision = 0;
    std::int64_t decidees = 0; // compared lines with a decision
    bool sautOuvert = false;
    Saut saut;
    std::int64_t rangSaut = 0;
    std::vector<Saut> sautsSansLigne; // closed, waiting for the next decision
    std::vector<std::uint16_t> couts; // the window's table, kept between decisions
    // Totals.
    std::int64_t realignees = 0; // pairs of equal lines once the shifts are set aside
    std::int64_t manquantes = 0;
    std::int64_t manquantesVides = 0; // whose expected line is empty, blanks aside
    std::int64_t enTrop = 0;
    // Expected lines past the end of the results, and those of them empty.
    std::int64_t restantes = 0;
    std::int64_t restantesVides = 0;
    std::int64_t nombreSauts = 0;
    Saut premierSaut; // of either kind; lignes 0 while there is none

};

// Hash of a line without its blanks: equal for lines that agree.
std::uint64_t calculerEmpreinte(std::string_view ligne);

// Takes the next compared line: the hashes of its expected and actual
// lines, or that a file has ended (its line is then the loop's preset,
// not a line of the file).
void pousserLigne(Alignement& alignement, std::uint64_t attendue, bool attendueLue,
                  std::uint64_t obtenue, bool obtenueLue);

// Places every line still waiting: the walk is over.
void terminerAlignement(Alignement& alignement);

// Takes the oldest decision ready, in the order of the lines.
bool prendreDecision(Alignement& alignement, Decision& decision);

#endif
