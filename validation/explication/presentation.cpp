#include "presentation.h"

#include "affichage.h"
#include "difference.h"
#include "indices.h"

#include <string>

namespace {

constexpr std::string_view verdict = "\xC3\x89" "CHEC";

} // namespace

void ecrireRapportTerminal(std::ostream& erreurs, const Echec& echec, bool couleur,
                           const std::vector<Indice>& indices, std::string_view remarque)
{
    Sortie sortie;
    sortie.flux = erreurs.rdbuf();
    char chiffres[24];
    ajouter(sortie, "Ligne #");
    ajouter(sortie, ecrireNombre(chiffres, echec.numeroLigne));
    ajouter(sortie, " (");
    ecrireEchappe(sortie, echec.commande);
    ajouter(sortie, ") : ");
    if (couleur) {
        ajouter(sortie, sgrVerdict);
        ajouter(sortie, verdict);
        ajouter(sortie, sgrNormal);
    } else {
        ajouter(sortie, verdict);
    }
    Region regionA;
    Region regionB;
    trouverRegions(echec.attendue, echec.obtenue, regionA, regionB);
    ajouter(sortie, "\n V1:");
    ecrireTexte(sortie, echec.attendue, regionA, couleur, nullptr);
    ajouter(sortie, "\n V2:");
    // Under " V2:", which takes four columns.
    std::string curseur(4, ' ');
    ecrireTexte(sortie, echec.obtenue, regionB, couleur, couleur ? nullptr : &curseur);
    ajouter(sortie, "\n");
    if (!couleur) {
        curseur += "^\n";
        ajouter(sortie, curseur);
    }
    for (const Indice& indice : indices)
        ecrireGrise(sortie, "  indice : ", indice.texte, couleur);
    if (!remarque.empty())
        ecrireGrise(sortie, "  ", remarque, couleur);
    vider(sortie);
    erreurs.flush();
}

Presentation choisirPresentation(bool terminal, const char* noColor, const char* term)
{
    Presentation presentation;
    presentation.terminal = terminal;
    const bool sansCouleur = noColor != nullptr && *noColor != '\0';
    const bool termMuet = term == nullptr || std::string_view(term).empty()
        || std::string_view(term) == "dumb";
    presentation.couleur = terminal && !sansCouleur && !termMuet;
    return presentation;
}

void presenterRapport(std::ostream& erreurs, const Echec& echec, const Presentation& presentation)
{
    if (presentation.terminal)
        ecrireRapportTerminal(erreurs, echec, presentation.couleur, trouverIndices(echec), {});
    else
        ecrireRapport(erreurs, echec);
}

void ecrireChemin(std::ostream& erreurs, std::string_view chemin, const Presentation& presentation)
{
    if (!presentation.terminal) {
        erreurs.write(chemin.data(), static_cast<std::streamsize>(chemin.size()));
        return;
    }
    Sortie sortie;
    sortie.flux = erreurs.rdbuf();
    ecrireEchappe(sortie, chemin);
    vider(sortie);
}
