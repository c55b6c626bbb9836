#ifndef VALIDEUR_CLASSE_BAREME_H
#define VALIDEUR_CLASSE_BAREME_H

#include "classe/resultats/resultats.h"

#include <istream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A grading scheme, read from a small text file, one statement a line:
//
//   # exercise 3: localiser counts double, the hidden sets 80 %
//   sur 20
//   arrondi 0,5 proche
//   mot localiser 2
//   mot autres 0
//   jeu public 20
//   jeu grand 40
//
// `sur` is the mark's scale (20 by default); `arrondi PAS [proche|haut|bas]`
// rounds the mark to a multiple of PAS (0.01 to the nearest by default);
// `mot MOT POIDS` weighs one of the five words or `autres` (1 by default);
// `jeu NOM POIDS` weighs a test set (1 by default). Numbers take a decimal
// point or comma; "#" starts a comment. Weights written with "%" are
// shares that must make 100 % (the words' among them, the sets' among
// them), and then what is not named weighs 0: a forgotten set or a wrong
// sum is an error, not a silent reweighing.
//
// Within a set, each word that has lines shares the set's part by its
// weight, whatever its number of lines; the sets share the mark by theirs.
// A word or set without lines, or of weight 0, takes no part.
enum class Sens { proche, haut, bas };

struct Bareme {
    double sur = 20;
    double pas = 0.01;
    int decimales = 2; // as PAS was written: the mark's digits after the point
    Sens sens = Sens::proche;
    std::array<double, nombreMots> poidsMots{1, 1, 1, 1, 1, 1};
    std::vector<std::pair<std::string, double>> poidsJeux;
    bool jeuxEnPourcent = false;
};

// Reads a scheme; on a fault, `erreur` says which line and why, in French.
bool lireBareme(std::istream& entree, Bareme& bareme, std::string& erreur);

// Reads the scheme of file `chemin` and checks it against `jeux`; on a
// fault, `erreur` names the file and says why.
bool chargerBareme(const std::string& chemin, const std::vector<Jeu>& jeux, Bareme& bareme, std::string& erreur);

// Every set the scheme names must be one of `jeux`: a misspelt name would
// silently weigh nothing.
bool verifierJeux(const Bareme& bareme, const std::vector<Jeu>& jeux, std::string& erreur);

// A part of the mark: points earned out of a maximum, before rounding.
struct Part {
    double points = 0;
    double max = 0;
};

// One submission's mark: per set and word its part, and the rounded mark,
// absent when there is none to give (no submission, or nothing graded that
// is not a build failure).
struct Notation {
    std::vector<std::array<Part, nombreMots>> parts;
    std::optional<double> note;
};

Notation noterSelonBareme(const Bareme& bareme, const std::vector<Jeu>& jeux,
                          const ResultatRemise& remise);

// Without a scheme: each part is lines passed out of lines, and the "mark"
// the total of lines passed.
Notation noterSansBareme(const std::vector<Jeu>& jeux, const ResultatRemise& remise);

// Without a scheme but on a platform's scale: each part is its share of
// the lines times `sur`, the mark rounded as a scheme's default.
Notation noterSurEchelle(const std::vector<Jeu>& jeux, const ResultatRemise& remise, double sur);

// The number with at most `decimales` digits after the separator, trailing
// zeros left out: "14", "14.5", "13,25".
std::string formaterNombre(double valeur, int decimales, char separateur);

#endif
