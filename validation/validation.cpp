#include "validation.h"

#include "bilan.h"
#include "commande.h"
#include "lecture.h"
#include "terminal.h"

#include <array>
#include <cstdint>
#include <string>


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
    // A student reads a terminal: there, causes are said once.
    if (presentation.terminal && !silencieux) {
        validerSurTerminal(test, solution, votre, modeCorrige, presentation.couleur, sortie, erreurs);
        return;
    }
    Parcours parcours;
    parcours.test = ouvrirEntree(test, reglages.tailleBloc);
    parcours.solution = ouvrirEntree(solution, reglages.tailleBloc);
    parcours.votre = ouvrirEntree(votre, reglages.tailleBloc);
    parcours.silencieux = silencieux;
    parcours.presentation = &presentation;
    parcours.erreurs = &erreurs;
    parcourirBlocs(parcours, reglages.jeu.value_or(choisirJeuInstructions()));
    Comptes reussites{};
    Comptes tests{};
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        reussites[i] = parcours.nbTests[i] - parcours.nbEchecs[i];
        tests[i] = parcours.nbTests[i];
    }
    ecrireBilan(reussites, tests, modeCorrige, sortie);
}

Decomptes parcourirLignes(std::istream& test, std::istream& solution, std::istream& votre,
                          const Observateur& observer, FinParcours& fin)
{
    Entree entreeTest = ouvrirEntree(test);
    Entree entreeSolution = ouvrirEntree(solution);
    Entree entreeVotre = ouvrirEntree(votre);
    std::string copieCommande;
    std::array<std::int64_t, commandesBilan.size() + 1> nbReussites{};
    std::array<std::int64_t, commandesBilan.size() + 1> nbTests{};
    LigneComparee ligne;
    // Whether the last iteration's reads found a line: what is left past
    // the last compared one.
    bool attendueLue = false;
    bool obtenueLue = false;
    for (;;) {
        ++ligne.numeroLigne;
        ligne.test = lireLigneCommande(entreeTest, copieCommande);
        ligne.attendue = {};
        ligne.obtenue = "(X)";
        attendueLue = lireLigne(entreeSolution, ligne.attendue);
        obtenueLue = lireLigne(entreeVotre, ligne.obtenue);
        ligne.finAttendu = !attendueLue || (ligne.attendue.empty() && entreeSolution.epuisee);
        ligne.finTeste = !obtenueLue || (ligne.obtenue.empty() && entreeVotre.epuisee);
        ligne.obtenueSansSaut = !ligne.finTeste && entreeVotre.epuisee;
        const std::size_t rang = classerCommande(ligne.test);
        if (rang == aucuneCommande) {
            fin.ligneBlanche = !entreeTest.epuisee;
            break;
        }
        ligne.commande = extraireCommande(ligne.test);
        ligne.identiques = estIdentique(ligne.attendue, ligne.obtenue);
        observer(ligne);
        nbReussites[rang] += static_cast<std::int64_t>(ligne.identiques);
        ++nbTests[rang];
        ++fin.lignesComparees;
        if (entreeTest.epuisee && test.fail()) {
            attendueLue = false;
            obtenueLue = false;
            break;
        }
    }
    // A look at what is left, enough to say how much was never read.
    constexpr std::size_t plafondApercu = std::size_t{1} << 20;
    fin.resteTest = apercevoir(entreeTest, plafondApercu);
    fin.ligneBlanche = fin.ligneBlanche && fin.resteTest.octets > 0;
    fin.resteAttendu = (attendueLue && !ligne.finAttendu) || apercevoir(entreeSolution, 0).octets > 0;
    fin.resteVotre = (obtenueLue && !ligne.finTeste) || apercevoir(entreeVotre, 0).octets > 0;
    Decomptes decomptes;
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        decomptes.reussites[i] = nbReussites[i];
        decomptes.tests[i] = nbTests[i];
    }
    decomptes.autresReussites = nbReussites[autreCommande];
    decomptes.autresTests = nbTests[autreCommande];
    return decomptes;
}
