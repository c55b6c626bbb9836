#ifndef VALIDEUR_CLASSE_BORDEREAU_H
#define VALIDEUR_CLASSE_BORDEREAU_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A share's slip: what its table and view are a share of, written beside
// the table (TABLE.bordereau) once both are whole. The merge takes only
// shares whose slips agree.

constexpr std::string_view suffixeBordereau = ".bordereau";
constexpr std::string_view enteteBordereau = "valideur-classe bordereau\t";

// A submission of the whole class as the share found it: its row's name,
// its content's fingerprint and its latest time of change (ns).
struct RemiseRelevee {
    std::string nom;
    std::uint64_t empreinte = 0;
    std::int64_t modifiee = 0;
};

struct Bordereau {
    bool finie = false; // false: the share was started and has not ended
    std::size_t part = 0;
    std::size_t parts = 0;
    std::string version;
    std::int64_t faite = 0; // when it found the class, ns
    // What makes a grade: the options (name as typed, value), then the
    // files of the key (what they are, their fingerprint).
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::pair<std::string, std::string>> corrige;
    std::vector<RemiseRelevee> remises; // the whole class, sorted as the table
    std::vector<std::string> avertissements; // as a single run writes them
    // Of its graded submissions: how many, and how many stop after each line.
    std::int64_t notees = 0;
    std::map<std::int64_t, std::int64_t> arrets;
    std::uint64_t tableau = 0;
    bool vue = false;
    std::uint64_t empreinteVue = 0;
};

// One record a line, its fields separated by tabs and escaped (\\ \t \n \r).
std::string echapperChamp(std::string_view texte);
std::string desechapperChamp(std::string_view texte);
std::vector<std::string_view> decouperChamps(std::string_view ligne);

// "I/N", a share among shares, as a slip and a share's view begin.
bool lirePartage(std::string_view texte, std::size_t& part, std::size_t& parts);

std::string ecrireBordereau(const Bordereau& bordereau);

// False, with `erreur`, when `texte` is no slip.
bool lireBordereau(std::string_view texte, Bordereau& bordereau, std::string& erreur);

#endif
