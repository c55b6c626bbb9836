#include "classe/notation/suivi.h"

#include "validation/bilan.h"
#include "validation/rapport.h"

#include <algorithm>

namespace {

// "Ligne #5 (localiser) : ÉCHEC" with V1 and V2, each cut short.
std::string decrireEchec(const LigneComparee& ligne)
{
    constexpr std::size_t longueur = 200;
    const Echec echec{ligne.numeroLigne, ligne.commande.substr(0, longueur), ligne.attendue.substr(0, longueur),
                      ligne.obtenue.substr(0, longueur), ligne.finTeste, ligne.finAttendu, ligne.obtenueSansSaut};
    std::ostringstream texte;
    ecrireRapport(texte, echec);
    return texte.str();
}

std::size_t indiquerMot(std::string_view commande)
{
    return static_cast<std::size_t>(std::find(commandesBilan.begin(), commandesBilan.end(), commande)
                                    - commandesBilan.begin());
}

} // namespace

void preparerSuivi(Suivi& suivi, bool expliquer)
{
    suivi.expliquer = expliquer;
    // A terminal of the usual size, without colour: the run as a student
    // would see it.
    commencerHistorique(suivi.historique, suivi.texte, Presentation{true, false});
    suivi.historique.analyse.garderVerdicts = expliquer;
    suivi.historique.analyse.alignerSuite = true;
}

void suivreLigneRemise(Suivi& suivi, const LigneComparee& ligne)
{
    if (!suivi.expliquer) {
        analyserLigne(suivi.historique.analyse, ligne);
        return;
    }
    suivreLigne(suivi.historique, ligne);
    std::string& premier = suivi.premiersEchecs[indiquerMot(ligne.commande)];
    if (!ligne.identiques && premier.empty())
        premier = decrireEchec(ligne);
}

std::string conclureSuivi(Suivi& suivi, const FinParcours& fin, const Decomptes& decomptes)
{
    terminerHistorique(suivi.historique, fin);
    if (!suivi.expliquer)
        return {};
    ecrireRecap(suivi.historique, decomptes, false);
    ecrireBilan(decomptes.reussites, decomptes.tests, false, suivi.texte);
    // The terminal's advice to run the same command again: a student who
    // reads feedback ran none.
    std::string texte = suivi.texte.str();
    static constexpr std::string_view relancer = " ; pour tous les lire, relancer";
    const std::size_t conseil = texte.find(relancer);
    if (conseil != std::string::npos)
        texte.erase(conseil, texte.find('\n', conseil) - conseil);
    return texte;
}
