#ifndef VALIDEUR_RAPPORT_H
#define VALIDEUR_RAPPORT_H

#include <cstdint>
#include <ostream>
#include <string_view>

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

// Writes the report of one disagreeing line, then flushes `erreurs`: exactly
// the three lines "Ligne #N (commande) : ÉCHEC", " V1:" and the expected
// line, " V2:" and the actual line, bytes as read.
void ecrireRapport(std::ostream& erreurs, const Echec& echec);

#endif
