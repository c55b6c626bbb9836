#ifndef VALIDEUR_VALIDER_CHAINES_H
#define VALIDEUR_VALIDER_CHAINES_H

#include "validation.h"

#include <sstream>
#include <string>

struct Resultat {
    std::string sortie;
    std::string erreurs;
};

// The whole validation over three strings: what it writes on each output.
inline Resultat valider(const std::string& test, const std::string& solution,
                        const std::string& votre, bool silencieux = false,
                        bool modeCorrige = false,
                        const Presentation& presentation = {})
{
    std::istringstream fluxTest(test);
    std::istringstream fluxSolution(solution);
    std::istringstream fluxVotre(votre);
    std::ostringstream sortie;
    std::ostringstream erreurs;
    validerFichiers(fluxTest, fluxSolution, fluxVotre, silencieux, modeCorrige,
                    presentation, sortie, erreurs);
    return {sortie.str(), erreurs.str()};
}

#endif
