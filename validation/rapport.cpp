#include "rapport.h"

#include "comparaison.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <numeric>
#include <string>

// On a terminal a report shows each text escaped and, when a text takes more
// than `seuilFenetre` columns, only a window of it: its first `tete` columns,
// `contexte` columns before the differing region and `bord` columns of its
// start, `bord` columns of the region's end and `contexte` after it, and the
// last `queue` columns. Pieces less than `fusion` columns apart are joined;
// each cut shows as "[… N octets …]", N the number of bytes left out. A
// window thus shows 160 columns of text, 250 at most where short gaps were
// joined, and up to three markers. Columns: one per UTF-8 character, an
// escape as many as the characters it prints, a tab one.
//
// Every pass over a line walks it once and keeps nothing of it: a report on a
// terminal holds a few kilobytes whatever the lengths of its lines.

namespace {

constexpr std::size_t seuilFenetre = 200;
constexpr std::size_t tete = 30;
constexpr std::size_t queue = 30;
constexpr std::size_t contexte = 20;
constexpr std::size_t bord = 30;
constexpr std::size_t fusion = 30;

// Reports up to this size are built whole and go to the stream's buffer in
// one call; longer lines go there straight from the input's buffer.
constexpr std::size_t tailleRapportCourt = 4096;

constexpr std::string_view verdict = "\xC3\x89" "CHEC";
constexpr std::string_view verdictEtV1 = ") : \xC3\x89" "CHEC\n V1:";

constexpr std::string_view sgrVerdict = "\x1b[1;31m";
constexpr std::string_view sgrNormal = "\x1b[0m";
constexpr std::string_view sgrInverse = "\x1b[7m";
constexpr std::string_view sgrFinInverse = "\x1b[27m";
constexpr std::string_view sgrGrise = "\x1b[2m";
constexpr std::string_view sgrFinGrise = "\x1b[22m";

std::string_view ecrireNombre(char (&chiffres)[24], std::int64_t nombre)
{
    const char* const fin = std::to_chars(chiffres, chiffres + sizeof chiffres, nombre).ptr;
    return {chiffres, static_cast<std::size_t>(fin - chiffres)};
}

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

// Bytes on their way to a stream's buffer, a block at a time.
struct Sortie {
    std::streambuf* flux = nullptr;
    std::array<char, 4096> octets{};
    std::size_t taille = 0;
};

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

unsigned valeur(char octet)
{
    return static_cast<unsigned char>(octet);
}

// The length of the well-formed UTF-8 sequence that starts at `pos`, or 0:
// no overlong form, no surrogate, nothing above U+10FFFF, none cut short.
std::size_t longueurSequence(std::string_view texte, std::size_t pos)
{
    const unsigned premier = valeur(texte[pos]);
    if (premier < 0x80)
        return 1;
    std::size_t longueur = 0;
    unsigned bas = 0x80;
    unsigned haut = 0xBF;
    if (premier >= 0xC2 && premier <= 0xDF) {
        longueur = 2;
    } else if (premier >= 0xE0 && premier <= 0xEF) {
        longueur = 3;
        bas = premier == 0xE0 ? 0xA0 : bas;
        haut = premier == 0xED ? 0x9F : haut;
    } else if (premier >= 0xF0 && premier <= 0xF4) {
        longueur = 4;
        bas = premier == 0xF0 ? 0x90 : bas;
        haut = premier == 0xF4 ? 0x8F : haut;
    } else {
        return 0;
    }
    if (texte.size() - pos < longueur)
        return 0;
    const unsigned second = valeur(texte[pos + 1]);
    if (second < bas || second > haut)
        return 0;
    for (std::size_t i = 2; i < longueur; ++i) {
        if ((valeur(texte[pos + i]) & 0xC0) != 0x80)
            return 0;
    }
    return longueur;
}

// One character as a terminal shows it: a UTF-8 character that shows as
// itself, or bytes written as escapes (a lone byte that starts no UTF-8
// character, or a control character, or the backslash that starts escapes).
struct Caractere {
    std::size_t taille = 1;
    bool echappe = false;
};

// Characters that show as nothing, or turn the order of what follows
// around: the soft hyphen, the bidirectional marks, embeddings, overrides
// and isolates, zero-width spaces and joiners, the byte order mark. A line
// holding one would look like a line without it, or read as another.
bool estFormatInvisible(unsigned point)
{
    return point == 0xAD || point == 0x61C || (point >= 0x200B && point <= 0x200F)
        || (point >= 0x202A && point <= 0x202E) || (point >= 0x2060 && point <= 0x206F)
        || point == 0xFEFF;
}

Caractere lireCaractere(std::string_view texte, std::size_t pos)
{
    const std::size_t longueur = longueurSequence(texte, pos);
    if (longueur == 0)
        return {1, true};
    const unsigned premier = valeur(texte[pos]);
    if (longueur == 1)
        return {1, (premier < 0x20 && premier != '\t') || premier == 0x7F || premier == '\\'};
    if (longueur == 4)
        return {longueur, false};
    const unsigned second = valeur(texte[pos + 1]) & 0x3FU;
    const unsigned point = longueur == 2
        ? (premier & 0x1FU) << 6 | second
        : (premier & 0x0FU) << 12 | second << 6 | (valeur(texte[pos + 2]) & 0x3FU);
    // U+0080 to U+009F: C1 controls, which terminals obey as much as C0 ones.
    return {longueur, point < 0xA0 || estFormatInvisible(point)};
}

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

std::size_t largeurCaractere(std::string_view texte, std::size_t pos, Caractere caractere)
{
    if (!caractere.echappe)
        return 1;
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

// Bytes [debut, fin) of a line: its differing region.
struct Region {
    std::size_t debut = 0;
    std::size_t fin = 0;
};

std::size_t compterNonBlancs(std::string_view texte)
{
    return static_cast<std::size_t>(
        std::count_if(texte.begin(), texte.end(), [](char octet) { return !estBlanc(octet); }));
}

// What is left of each line once the longest common prefix and the longest
// common suffix of their blank-free bytes are taken away, blanks at its
// edges excluded and widened to whole characters. An empty region sits
// where the suffix starts, or at the end of the line.
void trouverRegions(std::string_view a, std::string_view b, Region& regionA, Region& regionB)
{
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t prefixe = 0;
    for (;;) {
        while (i < a.size() && estBlanc(a[i]))
            ++i;
        while (j < b.size() && estBlanc(b[j]))
            ++j;
        if (i == a.size() || j == b.size() || a[i] != b[j])
            break;
        ++i;
        ++j;
        ++prefixe;
    }
    const std::size_t suffixeMax = std::min(compterNonBlancs(a), compterNonBlancs(b)) - prefixe;
    std::size_t finA = a.size();
    std::size_t finB = b.size();
    for (std::size_t suffixe = 0;; ++suffixe) {
        while (finA > 0 && estBlanc(a[finA - 1]))
            --finA;
        while (finB > 0 && estBlanc(b[finB - 1]))
            --finB;
        // Below the bound, each line still has a byte outside its prefix.
        if (suffixe == suffixeMax || a[finA - 1] != b[finB - 1])
            break;
        --finA;
        --finB;
    }
    const auto elargir = [](std::string_view texte, std::size_t debut, std::size_t fin) {
        Region region;
        region.debut = debutCaractere(texte, debut);
        region.fin = region.debut;
        if (fin > debut) {
            const std::size_t dernier = debutCaractere(texte, fin - 1);
            region.fin = dernier + lireCaractere(texte, dernier).taille;
        }
        return region;
    };
    regionA = elargir(a, i, finA);
    regionB = elargir(b, j, finB);
}

// Columns of a line: all of it, and where its region starts and ends.
struct Mesure {
    std::size_t largeur = 0;
    std::size_t colonneDebut = 0;
    std::size_t colonneFin = 0;
};

Mesure mesurer(std::string_view texte, Region region)
{
    Mesure mesure;
    std::size_t pos = 0;
    for (; pos < texte.size();) {
        if (pos == region.debut)
            mesure.colonneDebut = mesure.largeur;
        if (pos == region.fin)
            mesure.colonneFin = mesure.largeur;
        const Caractere caractere = lireCaractere(texte, pos);
        mesure.largeur += largeurCaractere(texte, pos, caractere);
        pos += caractere.taille;
    }
    if (region.debut >= texte.size())
        mesure.colonneDebut = mesure.largeur;
    if (region.fin >= texte.size())
        mesure.colonneFin = mesure.largeur;
    return mesure;
}

// Columns [debut, fin) of a text that a window shows.
struct Morceau {
    std::size_t debut = 0;
    std::size_t fin = 0;
};

struct Fenetre {
    std::array<Morceau, 4> morceaux{};
    std::size_t nombre = 0;
};

Fenetre choisirFenetre(const Mesure& mesure)
{
    Fenetre fenetre;
    const std::size_t bout = mesure.largeur + 1;
    if (mesure.largeur <= seuilFenetre) {
        fenetre.morceaux[0] = {0, bout};
        fenetre.nombre = 1;
        return fenetre;
    }
    const auto moins = [](std::size_t a, std::size_t b) { return a > b ? a - b : 0; };
    std::array<Morceau, 4> bruts = {{
        {0, tete},
        {moins(mesure.colonneDebut, contexte), mesure.colonneDebut + bord},
        {moins(mesure.colonneFin, bord), mesure.colonneFin + contexte},
        {moins(mesure.largeur, queue), bout},
    }};
    std::sort(bruts.begin(), bruts.end(),
              [](const Morceau& x, const Morceau& y) { return x.debut < y.debut; });
    for (const Morceau& morceau : bruts) {
        Morceau* const dernier = fenetre.nombre == 0 ? nullptr : &fenetre.morceaux[fenetre.nombre - 1];
        if (dernier != nullptr && morceau.debut <= dernier->fin + fusion)
            dernier->fin = std::max(dernier->fin, morceau.fin);
        else
            fenetre.morceaux[fenetre.nombre++] = morceau;
    }
    return fenetre;
}

// "[… 149 937 octets …]": the count in groups of three digits.
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

std::size_t compterCaracteres(std::string_view texte)
{
    return static_cast<std::size_t>(std::count_if(
        texte.begin(), texte.end(), [](char octet) { return (valeur(octet) & 0xC0) != 0x80; }));
}

// Writes a reported text: escaped, as a window when it is long, its region
// highlighted with colour. With `curseur`, appends to it what leads from the
// text's first column to its region's: a tab for each tab, a blank for each
// other column.
void ecrireTexte(Sortie& sortie, std::string_view texte, Region region, bool couleur,
                 std::string* curseur)
{
    const Fenetre fenetre = choisirFenetre(mesurer(texte, region));
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
        const std::size_t largeur = largeurCaractere(texte, pos, caractere);
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

// True when both lines hold the same bytes once `ignorer` has skipped what
// it will (it gives how many bytes to skip at a position, 0 for none) and
// `plier` has mapped each byte left.
template <typename Ignorer, typename Plier>
bool concordent(std::string_view a, std::string_view b, Ignorer ignorer, Plier plier)
{
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        for (std::size_t saut = 0; i < a.size() && (saut = ignorer(a, i)) > 0;)
            i += saut;
        for (std::size_t saut = 0; j < b.size() && (saut = ignorer(b, j)) > 0;)
            j += saut;
        if (i == a.size() || j == b.size())
            return i == a.size() && j == b.size();
        if (plier(a[i]) != plier(b[j]))
            return false;
        ++i;
        ++j;
    }
}

char identite(char octet)
{
    return octet;
}

char enMinuscule(char octet)
{
    return octet >= 'A' && octet <= 'Z' ? static_cast<char>(octet - 'A' + 'a') : octet;
}

std::size_t ignorerBlanc(std::string_view texte, std::size_t pos)
{
    return estBlanc(texte[pos]) ? 1 : 0;
}

std::size_t ignorerBlancOuRetour(std::string_view texte, std::size_t pos)
{
    return estBlanc(texte[pos]) || texte[pos] == '\r' ? 1 : 0;
}

// The spaces French typography puts before ":" or inside numbers, which
// look like a space and are none: U+00A0, U+202F and U+2009.
constexpr std::array<std::string_view, 3> insecables = {
    "\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89"};
constexpr std::array<std::string_view, 3> nomsInsecables = {"U+00A0", "U+202F", "U+2009"};

std::size_t ignorerBlancOuInsecable(std::string_view texte, std::size_t pos)
{
    if (estBlanc(texte[pos]))
        return 1;
    const auto insecable =
        std::find_if(insecables.begin(), insecables.end(), [&](std::string_view espace) {
            return texte.substr(pos, espace.size()) == espace;
        });
    return insecable == insecables.end() ? 0 : insecable->size();
}

// Sets bit k of `trouves` for each no-break space insecables[k] in `texte`.
void chercherInsecables(std::string_view texte, unsigned& trouves)
{
    for (std::size_t k = 0; k < insecables.size(); ++k) {
        if (texte.find(insecables[k]) != std::string_view::npos)
            trouves |= 1U << k;
    }
}

void ecrireIndice(Sortie& sortie, std::string_view indice, bool couleur)
{
    if (couleur)
        ajouter(sortie, sgrGrise);
    ajouter(sortie, "  indice : ");
    ajouter(sortie, indice);
    if (couleur)
        ajouter(sortie, sgrNormal);
    ajouter(sortie, "\n");
}

void ecrireIndices(Sortie& sortie, const Echec& echec, Region regionA, Region regionB,
                   bool couleur)
{
    const std::string_view a = echec.attendue;
    const std::string_view b = echec.obtenue;
    if (echec.finFichierTeste)
        ecrireIndice(sortie, "fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test",
                     couleur);
    if (concordent(a, b, ignorerBlancOuRetour, identite))
        ecrireIndice(sortie, "les lignes ne diff\xC3\xA8rent que par des retours chariot (\\r) : "
                             "fins de ligne Windows (\\r\\n) ?", couleur);
    if (concordent(a, b, ignorerBlancOuInsecable, identite)) {
        unsigned trouves = 0;
        chercherInsecables(a.substr(regionA.debut, regionA.fin - regionA.debut), trouves);
        chercherInsecables(b.substr(regionB.debut, regionB.fin - regionB.debut), trouves);
        if (trouves == 0) {
            chercherInsecables(a, trouves);
            chercherInsecables(b, trouves);
        }
        std::string indice = "espace ins\xC3\xA9" "cable";
        const char* separateur = " ";
        for (std::size_t k = 0; k < nomsInsecables.size(); ++k) {
            if ((trouves & (1U << k)) != 0) {
                indice += separateur;
                indice += nomsInsecables[k];
                separateur = ", ";
            }
        }
        indice += " l\xC3\xA0 o\xC3\xB9 l'autre ligne a une espace ordinaire ou rien";
        ecrireIndice(sortie, indice, couleur);
    }
    if (concordent(a, b, ignorerBlanc, enMinuscule))
        ecrireIndice(sortie, "seule la casse des lettres diff\xC3\xA8re", couleur);
}

void ecrireTerminal(std::ostream& erreurs, const Echec& echec, bool couleur)
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
    ecrireIndices(sortie, echec, regionA, regionB, couleur);
    vider(sortie);
    erreurs.flush();
}

} // namespace

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
        ecrireTerminal(erreurs, echec, presentation.couleur);
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
