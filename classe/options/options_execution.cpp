#include "classe/options/options_execution.h"

bool lireOptionExecution(int option, const char* valeur, const std::string& nom, Options& options,
                         std::string& erreur)
{
    Limites& limites = options.limites;
    bool valide = true;
    switch (option) {
    case optionExecuter:
    case optionConstruire:
        if (*valeur == '\0') {
            erreur = "commande vide pour \xC2\xAB " + nom + " \xC2\xBB";
            return false;
        }
        (option == optionExecuter ? options.executer : options.construire) = valeur;
        return true;
    case optionJeux:
        options.jeux = valeur;
        return true;
    case optionSansBac:
        options.sansBacASable = true;
        return true;
    case optionTemps:
        valide = lireSecondes(valeur, limites.temps);
        break;
    case optionTempsReel:
        valide = lireSecondes(valeur, limites.tempsReel);
        break;
    case optionMemoire:
        valide = lireMio(valeur, limites.memoire);
        break;
    case optionProcessus:
        valide = lireEntier(valeur, 1, 100000, limites.processus);
        break;
    case optionSortieMax:
        valide = lireMio(valeur, limites.sortieMax);
        break;
    case optionFichierMax:
        valide = lireMio(valeur, limites.fichierMax);
        break;
    default:
        valide = lireMio(valeur, limites.espace);
        break;
    }
    if (!valide)
        erreur = "valeur invalide pour \xC2\xAB " + nom.substr(0, nom.find('=')) + " \xC2\xBB : \xC2\xAB "
            + std::string(valeur) + " \xC2\xBB";
    return valide;
}

bool verifierExecution(const Options& options, std::string& erreur)
{
    if (options.executer.empty()) {
        if (!options.construire.empty() || !options.jeux.empty() || options.sansBacASable)
            erreur = "--construire, --jeux et --sans-bac-a-sable demandent --executer";
    } else if (options.limites.tempsReel > 0 && options.limites.tempsReel < options.limites.temps) {
        erreur = "--temps-reel doit valoir au moins --temps";
    } else if (!options.jeux.empty() && !options.lignes.empty()) {
        erreur = "--lignes ne se combine pas avec --jeux";
    }
    return erreur.empty();
}

