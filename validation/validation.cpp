#include "validation.h"

#include "validation/bilan.h"
#include "validation/explication/terminal.h"
#include "validation/moteur/blocs.h"

#include <iostream>

void validerFichiers(std::istream& test, std::istream& solution, std::istream& votre,
                     bool silencieux, bool modeCorrige, const Cadre& cadre)
{
    std::ostream& sortie = cadre.sortie != nullptr ? *cadre.sortie : std::cout;
    std::ostream& erreurs = cadre.erreurs != nullptr ? *cadre.erreurs : std::cerr;
    // A student reads a terminal: there, causes are said once.
    if (cadre.presentation.terminal && !silencieux) {
        validerSurTerminal(test, solution, votre, modeCorrige, cadre.presentation, sortie, erreurs);
        return;
    }
    Parcours parcours;
    parcours.test = ouvrirEntree(test, cadre.reglages.tailleBloc);
    parcours.solution = ouvrirEntree(solution, cadre.reglages.tailleBloc);
    parcours.votre = ouvrirEntree(votre, cadre.reglages.tailleBloc);
    parcours.silencieux = silencieux;
    parcours.erreurs = &erreurs;
    parcourirBlocs(parcours, cadre.reglages.jeu.value_or(choisirJeuInstructions()));
    Comptes reussites{};
    Comptes tests{};
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        reussites[i] = parcours.nbTests[i] - parcours.nbEchecs[i];
        tests[i] = parcours.nbTests[i];
    }
    ecrireBilan(reussites, tests, modeCorrige, sortie);
}
