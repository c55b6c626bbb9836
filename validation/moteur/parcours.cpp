#include "parcours.h"

#include "commande.h"
#include "validation/comparaison.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {

// Whether the next line of an input is wholly in its buffer and no longer
// than `borne`, or there is none: it can be read as usual.
bool tientDansBorne(const Entree& entree, std::size_t borne)
{
    if (entree.epuisee)
        return true;
    const std::size_t reste = std::min(entree.fin - entree.debut, borne + 1);
    return std::memchr(entree.octets.get() + entree.debut, '\n', reste) != nullptr;
}

} // namespace

Decomptes parcourirLignes(std::istream& test, std::istream& solution, std::istream& votre,
                          const Observateur& observer, FinParcours& fin, std::size_t borne)
{
    Entree entreeTest = ouvrirEntree(test);
    Entree entreeSolution = ouvrirEntree(solution);
    Entree entreeVotre = ouvrirEntree(votre);
    std::string copieCommande;
    std::array<std::int64_t, commandesBilan.size() + 1> nbReussites{};
    std::array<std::int64_t, commandesBilan.size() + 1> nbTests{};
    LigneComparee ligne;
    Garde gardeAttendue{borne, {}, false, 0};
    Garde gardeObtenue{borne, {}, false, 0};
    // Whether the last iteration's reads found a line: what is left past
    // the last compared one.
    bool attendueLue = false;
    bool obtenueLue = false;
    for (;;) {
        ++ligne.numeroLigne;
        ligne.test = lireLigneCommande(entreeTest, copieCommande);
        ligne.attendue = {};
        ligne.obtenue = "(X)";
        const bool gardee =
            borne != 0 && !(tientDansBorne(entreeSolution, borne) && tientDansBorne(entreeVotre, borne));
        if (gardee) {
            attendueLue = !entreeSolution.epuisee;
            obtenueLue = !entreeVotre.epuisee;
            ligne.identiques = comparerPaireGardee(entreeSolution, entreeVotre, ligne.obtenue, gardeAttendue,
                                                   gardeObtenue);
            ligne.attendue = gardeAttendue.debut;
            // The preset of an ended input is the loop's own, never cut.
            if (obtenueLue)
                ligne.obtenue = gardeObtenue.debut;
        } else {
            attendueLue = lireLigne(entreeSolution, ligne.attendue);
            obtenueLue = lireLigne(entreeVotre, ligne.obtenue);
        }
        ligne.attendueCoupee = gardee && gardeAttendue.coupee;
        ligne.obtenueCoupee = gardee && obtenueLue && gardeObtenue.coupee;
        ligne.empreinteObtenue = ligne.obtenueCoupee ? gardeObtenue.empreinte : 0;
        ligne.finAttendu = !attendueLue || (ligne.attendue.empty() && entreeSolution.epuisee);
        ligne.finTeste = !obtenueLue || (ligne.obtenue.empty() && entreeVotre.epuisee);
        ligne.obtenueSansSaut = !ligne.finTeste && entreeVotre.epuisee;
        const std::size_t rang = classerCommande(ligne.test);
        if (rang == aucuneCommande) {
            fin.ligneBlanche = !entreeTest.epuisee;
            break;
        }
        ligne.commande = extraireCommande(ligne.test);
        if (!gardee)
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
