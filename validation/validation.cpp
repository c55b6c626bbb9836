#include "validation.h"

#include "bilan.h"
#include "commande.h"
#include "lecture.h"

#include <cstdint>


std::string_view extraireCommande(std::string_view ligneTest)
{
    const char* octet = ligneTest.data();
    const char* const finLigne = octet + ligneTest.size();
    while (octet != finLigne && estEspaceCommande(*octet))
        ++octet;
    const char* const debut = octet;
    while (octet != finLigne && !estEspaceCommande(*octet))
        ++octet;
    return {debut, static_cast<std::size_t>(octet - debut)};
}

void validerFichiers(std::istream& test, std::istream& solution,
                     std::istream& votre, bool silencieux, bool modeCorrige,
                     const Presentation& presentation, std::ostream& sortie,
                     std::ostream& erreurs, const Reglages& reglages)
{
    Parcours parcours;
    parcours.test = ouvrirEntree(test, reglages.tailleBloc);
    parcours.solution = ouvrirEntree(solution, reglages.tailleBloc);
    parcours.votre = ouvrirEntree(votre, reglages.tailleBloc);
    parcours.silencieux = silencieux;
    parcours.presentation = &presentation;
    parcours.erreurs = &erreurs;
    if (presentation.terminal && !silencieux) {
        while (!parcours.fini)
            avancerLigneALigne(parcours);
    } else {
        parcourirBlocs(parcours, reglages.jeu.value_or(choisirJeuInstructions()));
    }
    Comptes reussites{};
    Comptes tests{};
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        reussites[i] = parcours.nbReussites[i];
        tests[i] = parcours.nbTests[i];
    }
    ecrireBilan(reussites, tests, modeCorrige, sortie);
}
