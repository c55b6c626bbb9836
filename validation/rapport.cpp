#include "rapport.h"

#include "affichage.h"
#include "difference.h"
#include "indices.h"

#include <cstring>
#include <string>

namespace {

// Reports up to this size are built whole and go to the stream's buffer in
// one call; longer lines go there straight from the input's buffer.
constexpr std::size_t tailleRapportCourt = 4096;

constexpr std::string_view verdict = "\xC3\x89" "CHEC";
constexpr std::string_view verdictEtV1 = ") : \xC3\x89" "CHEC\n V1:";

// Copies `texte` to `place` and returns the place after it.
char* copier(char* place, std::string_view texte)
{
    if (!texte.empty())
        std::memcpy(place, texte.data(), texte.size());
    return place + texte.size();
}

void ecrireExact(std::ostream& erreurs, const Echec& echec)
{
    char chiffres[24];
    const std::string_view numero = ecrireNombre(chiffres, echec.numeroLigne);
    constexpr std::string_view debut = "Ligne #";
    constexpr std::string_view avantCommande = " (";
    constexpr std::string_view v2 = "\n V2:";
    const std::size_t total = debut.size() + numero.size() + avantCommande.size()
        + echec.commande.size() + verdictEtV1.size() + echec.attendue.size() + v2.size()
        + echec.obtenue.size() + 1;
    std::streambuf& tampon = *erreurs.rdbuf();
    if (total <= tailleRapportCourt) {
        char rapport[tailleRapportCourt];
        char* place = copier(rapport, debut);
        place = copier(place, numero);
        place = copier(place, avantCommande);
        place = copier(place, echec.commande);
        place = copier(place, verdictEtV1);
        place = copier(place, echec.attendue);
        place = copier(place, v2);
        place = copier(place, echec.obtenue);
        *place++ = '\n';
        tampon.sputn(rapport, place - rapport);
    } else {
        for (const std::string_view morceau : {debut, numero, avantCommande, echec.commande,
                                                verdictEtV1, echec.attendue, v2, echec.obtenue,
                                                std::string_view("\n")})
            tampon.sputn(morceau.data(), static_cast<std::streamsize>(morceau.size()));
    }
    // A failed write must show in the stream's state, as flush() would set
    // it, without flush()'s own checks on every report.
    if (tampon.pubsync() == -1)
        erreurs.setstate(std::ios::badbit);
}

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

void ecrireRapport(std::ostream& erreurs, const Echec& echec, const Presentation& presentation)
{
    if (presentation.terminal)
        ecrireRapportTerminal(erreurs, echec, presentation.couleur, trouverIndices(echec), {});
    else
        ecrireExact(erreurs, echec);
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
