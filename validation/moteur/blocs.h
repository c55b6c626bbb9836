#ifndef VALIDEUR_MOTEUR_BLOCS_H
#define VALIDEUR_MOTEUR_BLOCS_H

// The engine: reads the three inputs and runs the validation loop, block-wise
// with the fastest instruction set the processor has (here), or line by line
// for an observer (parcours.h). It uses only the library's vocabulary below
// it (validation/comparaison.h, bilan.h, rapport.h) and knows nothing of who
// calls it.

#include "lecture.h"
#include "validation/bilan.h"
#include "validation/rapport.h"

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

// The instruction sets the loop has a version for, from the plainest.
enum class JeuInstructions { simple, ssse3, avx2, avx512 };

inline constexpr std::array<JeuInstructions, 4> jeuxInstructions = {
    JeuInstructions::simple, JeuInstructions::ssse3, JeuInstructions::avx2,
    JeuInstructions::avx512};

std::string_view nommerJeu(JeuInstructions jeu);

// Whether this build has the version and this processor can run it.
bool peutExecuter(JeuInstructions jeu);

// The fastest version this processor can run.
JeuInstructions choisirJeuInstructions();

// One walk over the three inputs: where it is, what it has counted, where
// its reports go. The counts have one more place than the summary: the lines
// of every other word go there, and nothing reads it.
struct Parcours {
    Entree test;
    Entree solution;
    Entree votre;
    bool silencieux = false;
    std::ostream* erreurs = nullptr;
    // The word of a test line too long for its buffer.
    std::string copieCommande;
    std::array<std::int64_t, commandesBilan.size() + 1> nbEchecs{};
    std::array<std::int64_t, commandesBilan.size() + 1> nbTests{};
    std::int64_t numeroLigne = 0;
    bool fini = false;
};

// One iteration of the loop, line by line, whatever the lines' lengths and
// the inputs' states: what the block-wise versions leave to it.
void avancerLigneALigne(Parcours& parcours);

// The loop to its end, with the version for `jeu`, which must be runnable.
void parcourirBlocs(Parcours& parcours, JeuInstructions jeu);

// The versions, one per file.
void parcourirBlocsSimple(Parcours& parcours);
void parcourirBlocsSsse3(Parcours& parcours);
void parcourirBlocsAvx2(Parcours& parcours);
void parcourirBlocsAvx512(Parcours& parcours);

#endif
