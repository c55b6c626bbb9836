#ifndef VALIDEUR_AFFICHAGE_H
#define VALIDEUR_AFFICHAGE_H

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>

#include "unicode.h"

// How a text shows on a terminal: escaped where its bytes would act on the
// terminal or hide, measured in columns, and cut to a window when long.
//
// On a terminal a report shows each text escaped and, when it is wider
// than the room it has, only a window of it: its first `tete` columns,
// `contexte` columns before the differing region and `bord` columns of its
// start, `bord` columns of the region's end and `contexte` after it, and the
// last `queue` columns. Pieces at most `fusion` columns apart are joined;
// each cut shows as "[… N octets …]", N the number of bytes left out.
// Without a known width, a text is windowed past 200 columns and a window
// shows 160 to 250; on a terminal of known width the pieces are sized so
// that the whole window, markers included, fits the room given, the ends of
// the text giving way first. Columns: one per UTF-8 character, an escape
// as many as the characters it prints, a tab one (eight, the most it can
// take, when the width is known).
//
// Every pass over a line walks it once and keeps nothing of it: a report on a
// terminal holds a few kilobytes whatever the lengths of its lines.

struct Gabarit {
    std::size_t seuil = 200;
    std::size_t tete = 30;
    std::size_t queue = 30;
    std::size_t contexte = 20;
    std::size_t bord = 30;
    std::size_t fusion = 30;
};

constexpr Gabarit gabaritLibre{};
constexpr std::size_t seuilFenetre = gabaritLibre.seuil;
constexpr std::size_t tete = gabaritLibre.tete;
constexpr std::size_t queue = gabaritLibre.queue;
constexpr std::size_t contexte = gabaritLibre.contexte;
constexpr std::size_t bord = gabaritLibre.bord;
constexpr std::size_t fusion = gabaritLibre.fusion;

constexpr std::string_view sgrVerdict = "\x1b[1;31m";
constexpr std::string_view sgrNormal = "\x1b[0m";
constexpr std::string_view sgrInverse = "\x1b[7m";
constexpr std::string_view sgrFinInverse = "\x1b[27m";
constexpr std::string_view sgrGrise = "\x1b[2m";
constexpr std::string_view sgrFinGrise = "\x1b[22m";
constexpr std::string_view sgrGras = "\x1b[1m";

inline std::string_view ecrireNombre(char (&chiffres)[24], std::int64_t nombre)
{
    const char* const fin = std::to_chars(chiffres, chiffres + sizeof chiffres, nombre).ptr;
    return {chiffres, static_cast<std::size_t>(fin - chiffres)};
}

// "12 345": thousands apart, as French writes them.
std::string grouper(std::uint64_t valeur);

// Bytes on their way to a stream's buffer, a block at a time.
struct Sortie {
    std::streambuf* flux = nullptr;
    std::array<char, 4096> octets{};
    std::size_t taille = 0;
};

void vider(Sortie& sortie);
void ajouter(Sortie& sortie, std::string_view texte);

// One character as a terminal shows it: a UTF-8 character that shows as
// itself, or bytes written as escapes (a lone byte that starts no UTF-8
// character, or a control character, or the backslash that starts escapes).
struct Caractere {
    std::size_t taille = 1;
    bool echappe = false;
};

Caractere lireCaractere(std::string_view texte, std::size_t pos);

// Writes `texte` with every character that needs it escaped.
void ecrireEchappe(Sortie& sortie, std::string_view texte);

// The start of the character that holds byte `pos`.
std::size_t debutCaractere(std::string_view texte, std::size_t pos);

// Bytes [debut, fin) of a line: the part a report highlights.
struct Region {
    std::size_t debut = 0;
    std::size_t fin = 0;
};

// Columns of a line: all of it, and where its region starts and ends.
struct Mesure {
    std::size_t largeur = 0;
    std::size_t colonneDebut = 0;
    std::size_t colonneFin = 0;
};

Mesure mesurer(std::string_view texte, Region region, std::size_t largeurTab = 1);

// Columns [debut, fin) of a text that a window shows.
struct Morceau {
    std::size_t debut = 0;
    std::size_t fin = 0;
};

struct Fenetre {
    std::array<Morceau, 4> morceaux{};
    std::size_t nombre = 0;
};

Fenetre choisirFenetre(const Mesure& mesure, const Gabarit& gabarit = gabaritLibre);

// The window of a text of `octets` bytes that fits in `colonnes` columns,
// markers included: the most of the text around its region that does.
Fenetre choisirFenetreDans(const Mesure& mesure, std::size_t colonnes, std::size_t octets);

// Columns a window takes, its markers counted at their widest.
std::size_t mesurerFenetre(const Fenetre& fenetre, const Mesure& mesure, std::size_t octets);

// "[… 149 937 octets …]": the count in groups of three digits.
std::string composerMarque(std::size_t octets);

// Writes a reported text: escaped, as a window when it is long, its region
// highlighted with colour. With `curseur`, appends to it what leads from the
// text's first column to its region's: a tab for each tab, a blank for each
// other column. With `colonnes`, the text takes at most that many columns
// (see above); 0 for no known width.
void ecrireTexte(Sortie& sortie, std::string_view texte, Region region, bool couleur,
                 std::string* curseur, std::size_t colonnes = 0);

// Writes `avant` and `texte` as one dim line.
void ecrireGrise(Sortie& sortie, std::string_view avant, std::string_view texte, bool couleur);

#endif
