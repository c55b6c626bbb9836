#ifndef VALIDEUR_RAPPORT_H
#define VALIDEUR_RAPPORT_H

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

struct Indice;

// How reports are shown.
struct Presentation {
    bool terminal = false; // escapes, windows, differing region, hints
    bool couleur = false;  // SGR highlighting instead of the caret line (only with terminal)
};

// From isatty(stderr) and the values of NO_COLOR and TERM (nullptr when unset).
Presentation choisirPresentation(bool terminal, const char* noColor, const char* term);

// One disagreeing line as the loop saw it.
struct Echec {
    std::int64_t numeroLigne = 0;
    std::string_view commande;
    std::string_view attendue;    // V1
    std::string_view obtenue;     // V2
    bool finFichierTeste = false; // V2 is what an ended results file gives: the empty
                                  // line read after its last newline, or the "(X)" preset
    bool finFichierAttendu = false; // V1 is the empty preset of an ended expected file
    bool obtenueSansSaut = false;   // V2 ended with the results file, without a newline
};

// Writes the report of one disagreeing line, then flushes `erreurs`. Outside
// a terminal, exactly the three lines "Ligne #N (commande) : ÉCHEC", " V1:"
// and the expected line, " V2:" and the actual line, bytes as read.
void ecrireRapport(std::ostream& erreurs, const Echec& echec, const Presentation& presentation);

// The terminal report of one disagreeing line with the given hints, and a
// `remarque` after them when not empty; then flushes `erreurs`.
void ecrireRapportTerminal(std::ostream& erreurs, const Echec& echec, bool couleur,
                           const std::vector<Indice>& indices, std::string_view remarque);

// Writes a path of an error message: as is, or escaped for a terminal.
void ecrireChemin(std::ostream& erreurs, std::string_view chemin, const Presentation& presentation);

#endif
