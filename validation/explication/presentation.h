#ifndef VALIDEUR_EXPLICATION_PRESENTATION_H
#define VALIDEUR_EXPLICATION_PRESENTATION_H

// What a person is shown about failures on a terminal: texts escaped and
// windowed around their differing region, hints, what a run's failures have
// in common, the run on a terminal with its recap. Uses the engine
// (validation/moteur/) and the exact writers (validation/rapport.h,
// validation/bilan.h, validation/comparaison.h); nothing here is seen in
// files or pipes.

#include "validation/rapport.h"

#include <cstddef>
#include <ostream>
#include <string_view>
#include <vector>

struct Indice;

// How reports are shown.
struct Presentation {
    bool terminal = false; // escapes, windows, differing region, hints
    bool couleur = false;  // SGR highlighting instead of the caret line (only with terminal)
    // The terminal's size, and the rows already written on it before the run.
    std::size_t lignes = 24;
    std::size_t colonnes = 80;
    std::size_t rangeesAvant = 0;
    // The paths of the expected and results files as given, which some
    // hints name.
    std::string_view cheminAttendu{};
    std::string_view cheminTeste{};
};

// Asks the terminal on `descripteur` its size; keeps 24 x 80 when it does
// not say.
void mesurerTerminal(int descripteur, Presentation& presentation);

// From isatty(stderr) and the values of NO_COLOR and TERM (nullptr when unset).
Presentation choisirPresentation(bool terminal, const char* noColor, const char* term);

// The report of one disagreeing line as `presentation` says: the exact
// three lines, or on a terminal with its hints.
void presenterRapport(std::ostream& erreurs, const Echec& echec, const Presentation& presentation);

// The terminal report of one disagreeing line with the given hints, and a
// `remarque` after them when not empty; then flushes `erreurs`. With
// `colonnes`, texts are windowed so that no line of the report is wider.
void ecrireRapportTerminal(std::ostream& erreurs, const Echec& echec, bool couleur,
                           const std::vector<Indice>& indices, std::string_view remarque,
                           std::size_t colonnes = 0);

// The columns a reported text may take on a terminal `colonnes` wide: all
// but the four of " V1:" and one.
std::size_t colonnesTexte(std::size_t colonnes);

// Writes a path of an error message: as is, or escaped for a terminal.
void ecrireChemin(std::ostream& erreurs, std::string_view chemin, const Presentation& presentation);

#endif
