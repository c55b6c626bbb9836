#ifndef VALIDEUR_VALIDATION_H
#define VALIDEUR_VALIDATION_H

#include "blocs.h"
#include "lecture.h"
#include "rapport.h"

#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

// How the loop runs, for the tests: the version of the block-wise loop (the
// fastest the processor can run unless said) and the bytes read at a time.
struct Reglages {
    std::optional<JeuInstructions> jeu;
    std::size_t tailleBloc = tailleBlocLecture;
};

// The first word of a test line: the bytes after any leading whitespace
// (space, \t, \n, \v, \f, \r) up to the next whitespace byte or the end.
std::string_view extraireCommande(std::string_view ligneTest);

// Walks the three inputs in lockstep, reports each disagreeing line on
// `erreurs` unless `silencieux`, as `presentation` says, then writes the
// summary line on `sortie`. Read errors are left in the streams' state for
// the caller to judge.
void validerFichiers(std::istream& test, std::istream& solution,
                     std::istream& votre, bool silencieux, bool modeCorrige,
                     const Presentation& presentation, std::ostream& sortie,
                     std::ostream& erreurs, const Reglages& reglages = {});

#endif
