#ifndef VALIDEUR_VALIDATION_H
#define VALIDEUR_VALIDATION_H

// The validation library, by floors; each may include only what is below it.
//
//   comparaison.h, bilan.h, rapport.h   what two lines agreeing means, the
//                                       summary line and the exact report:
//                                       the bytes every run writes into
//                                       files and pipes. They use nothing of
//                                       the library.
//   moteur/                             the engine: reads the three inputs
//                                       and runs the loop, block-wise
//                                       (parcourirBlocs) or line by line for
//                                       an observer (parcourirLignes). Uses
//                                       the three headers above, nothing else.
//   explication/                        what a person is shown on a
//                                       terminal: escaped texts, the
//                                       differing region, hints, what a
//                                       run's failures have in common, the
//                                       run on a terminal. Uses moteur/ and
//                                       the headers above.
//   validation.h                        validerFichiers: chooses between the
//                                       exact loop and the terminal run. The
//                                       only unit that sees both.
//
// Programs (cli/, classe/) sit above the library.

#include "validation/explication/presentation.h"
#include "validation/moteur/blocs.h"
#include "validation/moteur/lecture.h"

#include <cstddef>
#include <istream>
#include <optional>
#include <ostream>

// How the loop runs, for the tests: the version of the block-wise loop (the
// fastest the processor can run unless said) and the bytes read at a time.
struct Reglages {
    std::optional<JeuInstructions> jeu;
    std::size_t tailleBloc = tailleBlocLecture;
};

// What the program adds to a run: how failures are shown, where the summary
// and the reports go (standard output and standard error when null), and the
// loop's settings.
struct Cadre {
    Presentation presentation;
    std::ostream* sortie = nullptr;
    std::ostream* erreurs = nullptr;
    Reglages reglages;
};

// Walks the three inputs in lockstep, reports each disagreeing line unless
// `silencieux`, then writes the summary line. Read errors are left in the
// streams' state for the caller to judge.
void validerFichiers(std::istream& test, std::istream& solution, std::istream& votre,
                     bool silencieux, bool modeCorrige, const Cadre& cadre = {});

#endif
