#ifndef VALIDEUR_EXPLICATION_ECRAN_H
#define VALIDEUR_EXPLICATION_ECRAN_H

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// A terminal's screen as a run fills it: its size, and the rows written
// so far as the terminal wraps them.
struct Ecran {
    std::ostream* erreurs = nullptr;
    bool couleur = false;
    std::size_t lignes = 24;
    std::size_t colonnes = 80;
    std::size_t utilisees = 0;
};

// The rows `texte` takes on a terminal `colonnes` wide: each of its lines
// at least one, and one more each time it passes the last column. Escape
// sequences take none, a tab goes to the next multiple of eight, wide
// characters take two columns. Never fewer than the terminal shows.
std::size_t compterRangees(std::string_view texte, std::size_t colonnes);

// The columns `ligne`, one line of plain text, takes on one row.
std::size_t mesurerLargeur(std::string_view ligne);

// `ligne`, one line of plain text, without the parenthesis that ends it
// when that is what keeps it within `colonnes` columns: what a parenthesis
// adds is detail. Texts are written to fit 80 columns without it.
std::string ajusterLigne(std::string_view ligne, std::size_t colonnes);

// Writes whole lines and flushes: each shows when it is written.
void ecrireSurEcran(Ecran& ecran, std::string_view texte);

#endif
