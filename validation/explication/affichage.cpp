#include "affichage.h"

#include <algorithm>
#include <cstring>

void vider(Sortie& sortie)
{
    sortie.flux->sputn(sortie.octets.data(), static_cast<std::streamsize>(sortie.taille));
    sortie.taille = 0;
}

void ajouter(Sortie& sortie, std::string_view texte)
{
    if (texte.size() > sortie.octets.size() - sortie.taille) {
        vider(sortie);
        if (texte.size() > sortie.octets.size()) {
            sortie.flux->sputn(texte.data(), static_cast<std::streamsize>(texte.size()));
            return;
        }
    }
    if (!texte.empty())
        std::memcpy(sortie.octets.data() + sortie.taille, texte.data(), texte.size());
    sortie.taille += texte.size();
}

namespace {

unsigned valeur(char octet)
{
    return static_cast<unsigned char>(octet);
}

} // namespace

Caractere lireCaractere(std::string_view texte, std::size_t pos)
{
    const Point point = lirePoint(texte, pos);
    if (point.longueur == 0)
        return {1, true};
    if (point.longueur == 1)
        return {1, (point.code < 0x20 && point.code != '\t') || point.code == 0x7F || point.code == '\\'};
    // U+0080 to U+009F: C1 controls, which terminals obey as much as C0 ones.
    return {point.longueur, point.code < 0xA0 || estFormatInvisible(point.code)};
}

namespace {

std::string_view echappementNomme(unsigned octet)
{
    switch (octet) {
    case 0x00: return "\\0";
    case '\a': return "\\a";
    case '\b': return "\\b";
    case '\n': return "\\n";
    case '\v': return "\\v";
    case '\f': return "\\f";
    case '\r': return "\\r";
    case '\\': return "\\\\";
    default: return {};
    }
}

std::size_t largeurEchappement(char octet)
{
    return echappementNomme(valeur(octet)).empty() ? 4 : 2;
}

void ecrireEchappement(Sortie& sortie, char octet)
{
    const unsigned code = valeur(octet);
    const std::string_view nomme = echappementNomme(code);
    if (!nomme.empty()) {
        ajouter(sortie, nomme);
        return;
    }
    const char chiffres[] = "0123456789abcdef";
    const char hexa[] = {'\\', 'x', chiffres[code >> 4], chiffres[code & 0xF]};
    ajouter(sortie, std::string_view(hexa, sizeof hexa));
}

std::size_t largeurCaractere(std::string_view texte, std::size_t pos, Caractere caractere,
                             std::size_t largeurTab)
{
    if (!caractere.echappe)
        return texte[pos] == '\t' ? largeurTab : 1;
    std::size_t largeur = 0;
    for (std::size_t i = 0; i < caractere.taille; ++i)
        largeur += largeurEchappement(texte[pos + i]);
    return largeur;
}

void ecrireCaractere(Sortie& sortie, std::string_view texte, std::size_t pos, Caractere caractere)
{
    if (!caractere.echappe) {
        ajouter(sortie, texte.substr(pos, caractere.taille));
        return;
    }
    for (std::size_t i = 0; i < caractere.taille; ++i)
        ecrireEchappement(sortie, texte[pos + i]);
}

} // namespace

void ecrireEchappe(Sortie& sortie, std::string_view texte)
{
    for (std::size_t pos = 0; pos < texte.size();) {
        const Caractere caractere = lireCaractere(texte, pos);
        ecrireCaractere(sortie, texte, pos, caractere);
        pos += caractere.taille;
    }
}

// The start of the character that holds byte `pos`. A character is at most
// four bytes long, and reading from three bytes earlier meets the same
// character boundaries by `pos` as reading from the start of the text.
std::size_t debutCaractere(std::string_view texte, std::size_t pos)
{
    if (pos >= texte.size())
        return texte.size();
    std::size_t debut = pos >= 3 ? pos - 3 : 0;
    for (;;) {
        const std::size_t taille = lireCaractere(texte, debut).taille;
        if (debut + taille > pos)
            return debut;
        debut += taille;
    }
}


Mesure mesurer(std::string_view texte, Region region, std::size_t largeurTab)
{
    Mesure mesure;
    std::size_t pos = 0;
    for (; pos < texte.size();) {
        if (pos == region.debut)
            mesure.colonneDebut = mesure.largeur;
        if (pos == region.fin)
            mesure.colonneFin = mesure.largeur;
        const Caractere caractere = lireCaractere(texte, pos);
        mesure.largeur += largeurCaractere(texte, pos, caractere, largeurTab);
        pos += caractere.taille;
    }
    if (region.debut >= texte.size())
        mesure.colonneDebut = mesure.largeur;
    if (region.fin >= texte.size())
        mesure.colonneFin = mesure.largeur;
    return mesure;
}

Fenetre choisirFenetre(const Mesure& mesure, const Gabarit& gabarit)
{
    Fenetre fenetre;
    const std::size_t bout = mesure.largeur + 1;
    if (mesure.largeur <= gabarit.seuil) {
        fenetre.morceaux[0] = {0, bout};
        fenetre.nombre = 1;
        return fenetre;
    }
    const auto moins = [](std::size_t a, std::size_t b) { return a > b ? a - b : 0; };
    std::array<Morceau, 4> bruts = {{
        {0, gabarit.tete},
        {moins(mesure.colonneDebut, gabarit.contexte), mesure.colonneDebut + gabarit.bord},
        {moins(mesure.colonneFin, gabarit.bord), mesure.colonneFin + gabarit.contexte},
        {moins(mesure.largeur, gabarit.queue), gabarit.queue == 0 ? mesure.largeur : bout},
    }};
    std::sort(bruts.begin(), bruts.end(),
              [](const Morceau& x, const Morceau& y) { return x.debut < y.debut; });
    for (const Morceau& morceau : bruts) {
        if (morceau.fin <= morceau.debut)
            continue;
        Morceau* const dernier = fenetre.nombre == 0 ? nullptr : &fenetre.morceaux[fenetre.nombre - 1];
        if (dernier != nullptr && morceau.debut <= dernier->fin + gabarit.fusion)
            dernier->fin = std::max(dernier->fin, morceau.fin);
        else
            fenetre.morceaux[fenetre.nombre++] = morceau;
    }
    return fenetre;
}

namespace {

std::size_t compterColonnes(std::string_view texte)
{
    return static_cast<std::size_t>(std::count_if(
        texte.begin(), texte.end(), [](char octet) { return (valeur(octet) & 0xC0) != 0x80; }));
}

} // namespace

std::size_t mesurerFenetre(const Fenetre& fenetre, const Mesure& mesure, std::size_t octets)
{
    const std::size_t marque = compterColonnes(composerMarque(std::max<std::size_t>(octets, 2)));
    std::size_t largeur = 0;
    std::size_t coupures = 0;
    std::size_t avant = 0;
    for (std::size_t i = 0; i < fenetre.nombre; ++i) {
        const Morceau& morceau = fenetre.morceaux[i];
        const std::size_t fin = std::min(morceau.fin, mesure.largeur);
        coupures += morceau.debut > avant ? 1 : 0;
        // A character that starts in a piece shows whole: an escape of
        // four columns goes three past the piece's end.
        largeur += (fin > morceau.debut ? fin - morceau.debut : 0) + 3;
        avant = std::max(avant, fin);
    }
    coupures += avant < mesure.largeur ? 1 : 0;
    return largeur + coupures * marque;
}

Fenetre choisirFenetreDans(const Mesure& mesure, std::size_t colonnes, std::size_t octets)
{
    if (mesure.largeur <= colonnes)
        return choisirFenetre(mesure, Gabarit{colonnes, 0, 0, 0, 0, 0});
    // Joined pieces never take more than the marker they spare.
    const std::size_t fusionnee = compterColonnes(composerMarque(1));
    Fenetre meilleure = choisirFenetre(mesure, Gabarit{0, 0, 0, 0, 1, fusionnee});
    // Pieces in proportion 3:2 between the ends (or none) and the context,
    // the largest that fit; with the ends when that leaves a useful context.
    for (const bool bouts : {true, false}) {
        for (std::size_t unite = colonnes / 2; unite > 0; --unite) {
            const std::size_t extremite = bouts ? 3 * unite : 0;
            const Gabarit gabarit{0, extremite, extremite, 2 * unite, 3 * unite, fusionnee};
            const Fenetre fenetre = choisirFenetre(mesure, gabarit);
            if (mesurerFenetre(fenetre, mesure, octets) > colonnes)
                continue;
            if (!bouts || unite >= 5)
                return fenetre;
            break;
        }
    }
    return meilleure;
}

std::string composerMarque(std::size_t octets)
{
    const std::string chiffres = std::to_string(octets);
    std::string marque = "[\xE2\x80\xA6 ";
    for (std::size_t i = 0; i < chiffres.size(); ++i) {
        if (i > 0 && (chiffres.size() - i) % 3 == 0)
            marque += ' ';
        marque += chiffres[i];
    }
    marque += octets > 1 ? " octets \xE2\x80\xA6]" : " octet \xE2\x80\xA6]";
    return marque;
}

namespace {

std::size_t compterCaracteres(std::string_view texte)
{
    return static_cast<std::size_t>(std::count_if(
        texte.begin(), texte.end(), [](char octet) { return (valeur(octet) & 0xC0) != 0x80; }));
}

} // namespace

void ecrireTexte(Sortie& sortie, std::string_view texte, Region region, bool couleur,
                 std::string* curseur, std::size_t colonnes)
{
    const std::size_t largeurTab = colonnes == 0 ? 1 : 8;
    const Mesure mesure = mesurer(texte, region, largeurTab);
    const Fenetre fenetre =
        colonnes == 0 ? choisirFenetre(mesure) : choisirFenetreDans(mesure, colonnes, texte.size());
    std::size_t morceau = 0;
    std::size_t colonne = 0;
    std::size_t omis = 0;
    bool enRegion = false;
    // A cut before the region's first character moves the caret too.
    const auto marquer = [&](std::size_t pos) {
        const std::string marque = composerMarque(omis);
        omis = 0;
        if (couleur && enRegion) {
            ajouter(sortie, sgrFinInverse);
            enRegion = false;
        }
        if (couleur)
            ajouter(sortie, sgrGrise);
        ajouter(sortie, marque);
        if (couleur)
            ajouter(sortie, sgrFinGrise);
        if (curseur != nullptr && pos <= region.debut)
            curseur->append(compterCaracteres(marque), ' ');
    };
    for (std::size_t pos = 0; pos < texte.size();) {
        const Caractere caractere = lireCaractere(texte, pos);
        const std::size_t largeur = largeurCaractere(texte, pos, caractere, largeurTab);
        while (morceau < fenetre.nombre && colonne >= fenetre.morceaux[morceau].fin)
            ++morceau;
        if (morceau == fenetre.nombre || colonne < fenetre.morceaux[morceau].debut) {
            omis += caractere.taille;
        } else {
            if (omis > 0)
                marquer(pos);
            const bool dansRegion = pos >= region.debut && pos < region.fin;
            if (couleur && dansRegion != enRegion) {
                ajouter(sortie, dansRegion ? sgrInverse : sgrFinInverse);
                enRegion = dansRegion;
            }
            ecrireCaractere(sortie, texte, pos, caractere);
            if (curseur != nullptr && pos < region.debut) {
                if (texte[pos] == '\t')
                    curseur->push_back('\t');
                else
                    curseur->append(largeur, ' ');
            }
        }
        colonne += largeur;
        pos += caractere.taille;
    }
    if (omis > 0)
        marquer(texte.size());
    if (enRegion)
        ajouter(sortie, sgrFinInverse);
}


void ecrireGrise(Sortie& sortie, std::string_view avant, std::string_view texte, bool couleur)
{
    if (couleur)
        ajouter(sortie, sgrGrise);
    ajouter(sortie, avant);
    ajouter(sortie, texte);
    if (couleur)
        ajouter(sortie, sgrNormal);
    ajouter(sortie, "\n");
}

std::string grouper(std::uint64_t valeur)
{
    const std::string chiffres = std::to_string(valeur);
    std::string groupe;
    for (std::size_t i = 0; i < chiffres.size(); ++i) {
        if (i > 0 && (chiffres.size() - i) % 3 == 0)
            groupe += ' ';
        groupe += chiffres[i];
    }
    return groupe;
}
