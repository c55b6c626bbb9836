#ifndef VALIDEUR_VALIDER_CHAINES_H
#define VALIDEUR_VALIDER_CHAINES_H

#include "validation/validation.h"

#include <sstream>
#include <string>
#include <vector>

struct Resultat {
    std::string sortie;
    std::string erreurs;
};

// Sizes of the reads that put line ends and refills at every place around
// the loop's 64-byte blocks.
inline const std::vector<std::size_t> taillesBlocEssayees = {1, 2, 3, 63, 64, 65, 4096};

// Every version of the loop this processor runs, with every read size.
inline std::vector<Reglages> reglagesEssayes()
{
    std::vector<Reglages> reglages;
    for (const JeuInstructions jeu : jeuxInstructions) {
        if (peutExecuter(jeu)) {
            for (const std::size_t taille : taillesBlocEssayees)
                reglages.push_back({jeu, taille});
        }
    }
    return reglages;
}

// Told of settings under which a run wrote other bytes than the default run;
// each program that includes this file says what that does.
void signalerEcart(const Reglages& reglages, const std::string& attendu, const std::string& obtenu);

// The whole validation over three strings, with the given settings.
inline Resultat validerAvec(const std::string& test, const std::string& solution,
                            const std::string& votre, bool silencieux, bool modeCorrige,
                            const Presentation& presentation, const Reglages& reglages)
{
    std::istringstream fluxTest(test);
    std::istringstream fluxSolution(solution);
    std::istringstream fluxVotre(votre);
    std::ostringstream sortie;
    std::ostringstream erreurs;
    validerFichiers(fluxTest, fluxSolution, fluxVotre, silencieux, modeCorrige,
                    {presentation, &sortie, &erreurs, reglages});
    return {sortie.str(), erreurs.str()};
}

// The whole validation over three strings: what it writes on each output,
// checked to be the same under every setting of reglagesEssayes.
inline Resultat valider(const std::string& test, const std::string& solution,
                        const std::string& votre, bool silencieux = false,
                        bool modeCorrige = false,
                        const Presentation& presentation = {})
{
    const Resultat resultat =
        validerAvec(test, solution, votre, silencieux, modeCorrige, presentation, {});
    // Reports for a terminal come from its own loop, line by line.
    if (presentation.terminal && !silencieux)
        return resultat;
    for (const Reglages& reglages : reglagesEssayes()) {
        const Resultat autre =
            validerAvec(test, solution, votre, silencieux, modeCorrige, presentation, reglages);
        if (autre.sortie != resultat.sortie)
            signalerEcart(reglages, resultat.sortie, autre.sortie);
        if (autre.erreurs != resultat.erreurs)
            signalerEcart(reglages, resultat.erreurs, autre.erreurs);
    }
    return resultat;
}

#endif
