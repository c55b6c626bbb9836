#include "presentation.h"

#include "affichage.h"
#include "difference.h"
#include "ecran.h"
#include "indices.h"

#include <algorithm>
#include <string>

#include <sys/ioctl.h>

namespace {

constexpr std::string_view verdict = "\xC3\x89" "CHEC";

} // namespace

void ecrireRapportTerminal(std::ostream& erreurs, const Echec& echec, bool couleur,
                           const std::vector<Indice>& indices, std::string_view remarque,
                           std::size_t colonnes)
{
    const std::size_t largeur = colonnes == 0 ? 0 : colonnesTexte(colonnes);
    Sortie sortie;
    sortie.flux = erreurs.rdbuf();
    char chiffres[24];
    ajouter(sortie, "Ligne #");
    ajouter(sortie, ecrireNombre(chiffres, echec.numeroLigne));
    ajouter(sortie, " (");
    // A command word wider than a third of the terminal is windowed too.
    if (largeur == 0)
        ecrireEchappe(sortie, echec.commande);
    else
        ecrireTexte(sortie, echec.commande, Region{}, false, nullptr, std::max<std::size_t>(colonnes / 3, 20));
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
    ecrireTexte(sortie, echec.attendue, regionA, couleur, nullptr, largeur);
    ajouter(sortie, "\n V2:");
    // Under " V2:", which takes four columns.
    std::string curseur(4, ' ');
    ecrireTexte(sortie, echec.obtenue, regionB, couleur, couleur ? nullptr : &curseur, largeur);
    ajouter(sortie, "\n");
    if (!couleur) {
        curseur += "^\n";
        ajouter(sortie, curseur);
    }
    // A hint is one line, whatever the width.
    for (const Indice& indice : indices) {
        if (colonnes == 0)
            ecrireGrise(sortie, "  indice : ", indice.texte, couleur);
        else
            ecrireGrise(sortie, "", ajusterLigne("  indice : " + indice.texte, colonnes), couleur);
    }
    if (!remarque.empty())
        ecrireGrise(sortie, "  ", remarque, couleur);
    vider(sortie);
    erreurs.flush();
}

std::size_t colonnesTexte(std::size_t colonnes)
{
    return colonnes > 8 ? colonnes - 5 : 3;
}

void mesurerTerminal(int descripteur, Presentation& presentation)
{
    struct winsize taille {};
    if (ioctl(descripteur, TIOCGWINSZ, &taille) != 0)
        return;
    if (taille.ws_row > 0)
        presentation.lignes = taille.ws_row;
    if (taille.ws_col > 0)
        presentation.colonnes = taille.ws_col;
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
