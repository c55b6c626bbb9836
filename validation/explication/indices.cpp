#include "indices.h"

#include "validation/comparaison.h"
#include "difference.h"
#include "mots.h"
#include "rapprochement.h"
#include "unicode.h"
#include "utf16.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace {

// The hints' texts, each within the 69 columns that "  indice : " leaves on
// a terminal of 80. The oldest keep the words students learnt to look for:
// fin du fichier testé, fins de ligne Windows, casse, espace insécable.
constexpr std::string_view texteFinTeste =
    "fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test";
constexpr std::string_view texteRetoursChariot =
    "seuls des retours chariot diff\xC3\xA8rent : fins de ligne Windows (\\r\\n) ?";
constexpr std::string_view texteCasse = "seule la casse des lettres diff\xC3\xA8re";
constexpr std::string_view texteFinAttendu =
    "fin du fichier attendu, qui a moins de lignes que le fichier de test";
constexpr std::string_view texteCoupee =
    "fin du fichier test\xC3\xA9 en cours de ligne : programme interrompu ?";
constexpr std::string_view texteMarqueOrdre =
    "BOM (U+FEFF) au d\xC3\xA9" "but du ";
constexpr std::string_view texteSansMarque = " : l'enregistrer sans BOM";
constexpr std::string_view texteDecomposeeB =
    "accents d\xC3\xA9" "compos\xC3\xA9s (NFD) dans V2, pr\xC3\xA9" "compos\xC3\xA9s (NFC) dans V1";
constexpr std::string_view texteDecomposeeA =
    "accents d\xC3\xA9" "compos\xC3\xA9s (NFD) dans V1, pr\xC3\xA9" "compos\xC3\xA9s (NFC) dans V2";
constexpr std::string_view texteDecomposees =
    "accents tant\xC3\xB4t d\xC3\xA9" "compos\xC3\xA9s (NFD), tant\xC3\xB4t pr\xC3\xA9" "compos\xC3\xA9s (NFC)";
constexpr std::string_view texteWindows1252 =
    "sortie en Latin-1 / Windows-1252 ? V2, lue ainsi, concorde avec V1";
constexpr std::string_view textePasUtf8 =
    "la ligne obtenue n'est pas de l'UTF-8 valide, l'attendue l'est";
constexpr std::string_view texteDoubleEncodage =
    "texte encod\xC3\xA9 deux fois en UTF-8 dans V2 (\xC2\xAB \xC3\x83\xC2\xA9 \xC2\xBB "
    "pour \xC2\xAB \xC3\xA9 \xC2\xBB)";
constexpr std::string_view texteVirgule =
    "virgule d\xC3\xA9" "cimale dans V2 l\xC3\xA0 o\xC3\xB9 V1 a un point (3,14 pour 3.14)";
constexpr std::string_view textePoint =
    "point d\xC3\xA9" "cimal dans V2 l\xC3\xA0 o\xC3\xB9 V1 a une virgule (3.14 pour 3,14)";
constexpr std::string_view texteVirgules =
    "virgules et points entre chiffres \xC3\xA9" "chang\xC3\xA9s entre les deux lignes";

constexpr std::string_view texteUtf16 =
    " est en UTF-16 (un octet nul par lettre) : r\xC3\xA9" "enregistrer en UTF-8";
constexpr std::string_view texteOrdre = "les m\xC3\xAAmes mots que V1, dans un autre ordre";
constexpr std::string_view texteSeparateurs = "les m\xC3\xAAmes mots que V1, s\xC3\xA9par\xC3\xA9s autrement";

constexpr std::string_view marqueOrdre = "\xEF\xBB\xBF";

bool commenceParMarque(std::string_view ligne)
{
    return ligne.substr(0, marqueOrdre.size()) == marqueOrdre;
}

constexpr std::array<std::string_view, 3> nomsInsecables = {"U+00A0", "U+202F", "U+2009"};

// Sets bit k of `trouves` for each no-break space insecables[k] in `texte`.
void chercherInsecables(std::string_view texte, unsigned& trouves)
{
    for (std::size_t k = 0; k < insecables.size(); ++k) {
        if (texte.find(insecables[k]) != std::string_view::npos)
            trouves |= 1U << k;
    }
}

// Names the no-break spaces of the differing regions, or of the whole
// lines when the regions hold none.
std::string composerInsecable(std::string_view a, std::string_view b)
{
    Region regionA;
    Region regionB;
    trouverRegions(a, b, regionA, regionB);
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
    indice += " l\xC3\xA0 o\xC3\xB9 l'autre ligne a une espace ou rien";
    return indice;
}

// Names the invisible characters one line has more of than the other, and
// which line; all of them when both lines have as many of each.
std::string composerInvisible(const Invisibles& invisibles)
{
    unsigned cotes = 0;
    std::size_t nombre = 0;
    for (std::size_t rang = 0; rang < nombreInvisibles; ++rang) {
        const std::size_t dansA = invisibles.dansA[rang];
        const std::size_t dansB = invisibles.dansB[rang];
        cotes |= dansA > dansB ? coteA : dansB > dansA ? coteB : 0;
        nombre += dansA != dansB ? 1 : 0;
    }
    const bool tous = cotes == 0;
    std::string liste;
    for (std::size_t rang = 0; rang < nombreInvisibles; ++rang) {
        const std::size_t dansA = invisibles.dansA[rang];
        const std::size_t dansB = invisibles.dansB[rang];
        if (tous ? dansA == 0 && dansB == 0 : dansA == dansB)
            continue;
        nombre += tous ? 1 : 0;
        liste += liste.empty() ? "" : ", ";
        liste += nommerInvisible(rang);
        if (cotes == (coteA | coteB))
            liste += dansA > dansB ? " (attendue)" : " (obtenue)";
    }
    std::string indice = nombre > 1 ? "caract\xC3\xA8res invisibles" : "caract\xC3\xA8re invisible";
    if (cotes == coteA)
        indice += " dans la ligne attendue";
    else if (cotes == coteB)
        indice += " dans la ligne obtenue";
    else if (tous)
        indice += " \xC3\xA0 des places diff\xC3\xA9rentes dans les deux lignes";
    return indice + " : " + liste;
}

// "« ; » pour « , »", or "rien pour « , »": what B writes where A has what.
std::string citerEchange(std::string_view obtenu, std::string_view attendu)
{
    const std::string citeObtenu = citerCourt(obtenu);
    const std::string citeAttendu = citerCourt(attendu);
    if ((citeObtenu.empty() && !enleverEspaces(obtenu).empty())
        || (citeAttendu.empty() && !enleverEspaces(attendu).empty()))
        return {};
    const auto citer = [](const std::string& texte) {
        return texte.empty() ? std::string("rien") : "\xC2\xAB " + texte + " \xC2\xBB";
    };
    return " (" + citer(citeObtenu) + " pour " + citer(citeAttendu) + ")";
}

// What a line says in other words than the expected one, when nothing more
// telling was found: a prefix before it, its words in another order or
// with other separators.
void chercherAutresMots(std::string_view a, std::string_view b, std::vector<Indice>& indices)
{
    const std::string_view prefixe = trouverPrefixe(a, b);
    const std::string cite = citerCourt(prefixe);
    if (!cite.empty()) {
        indices.push_back({causePrefixe, "V2 commence par \xC2\xAB " + cite
                                             + " \xC2\xBB de plus que V1 (une invite avant le r\xC3\xA9sultat ?)"});
        return;
    }
    if (ontMotsDansAutreOrdre(a, b)) {
        indices.push_back({causeOrdre, std::string(texteOrdre)});
        return;
    }
    const Separateurs separateurs = trouverSeparateurs(a, b);
    if (separateurs.trouves)
        indices.push_back({causeSeparateur, std::string(texteSeparateurs)
                                                + citerEchange(separateurs.obtenu, separateurs.attendu)});
}

} // namespace

std::vector<Indice> trouverIndices(const Echec& echec)
{
    const std::string_view a = echec.attendue;
    const std::string_view b = echec.obtenue;
    std::vector<Indice> indices;
    const auto donner = [&](Cause cause, std::string texte) {
        indices.push_back({cause, std::move(texte)});
    };
    if (echec.finFichierTeste)
        donner(causeFinTeste, std::string(texteFinTeste));
    if (echec.finFichierAttendu)
        donner(causeFinAttendu, std::string(texteFinAttendu));
    // Text in UTF-16 explains every other difference of its line.
    const bool utf16A = estLigneUtf16(a);
    const bool utf16B = estLigneUtf16(b);
    if (utf16A != utf16B) {
        donner(causeUtf16, (utf16B ? "V2" : "V1") + std::string(texteUtf16));
        return indices;
    }
    // A line cut short may end inside a character: that says nothing of its encoding.
    const bool coupee = echec.obtenueSansSaut && !echec.finFichierTeste && estDebutStrict(b, a);
    if (coupee)
        donner(causeCoupee, std::string(texteCoupee));
    if (concordentSansRetours(a, b))
        donner(causeRetoursChariot, std::string(texteRetoursChariot));
    const bool marqueA = commenceParMarque(a);
    const bool marqueB = commenceParMarque(b);
    const bool marque = echec.numeroLigne == 1 && marqueA != marqueB
        && estIdentique(a.substr(marqueA ? marqueOrdre.size() : 0),
                        b.substr(marqueB ? marqueOrdre.size() : 0));
    if (marque)
        donner(causeMarqueOrdre, std::string(texteMarqueOrdre)
                    + (marqueB ? "fichier test\xC3\xA9" : "fichier attendu")
                    + std::string(texteSansMarque));
    if (concordentSansInsecables(a, b))
        donner(causeInsecable, composerInsecable(a, b));
    if (concordentSaufCasse(a, b))
        donner(causeCasse, std::string(texteCasse));
    const unsigned decomposees = trouverDecompositions(a, b);
    if (decomposees != 0)
        donner(causeDecomposition, std::string(decomposees == coteB   ? texteDecomposeeB
                                                : decomposees == coteA ? texteDecomposeeA
                                                                       : texteDecomposees));
    if (!coupee && estUtf8(a) && !estUtf8(b))
        donner(causePasUtf8, std::string(concordentRelue(a, b) ? texteWindows1252 : textePasUtf8));
    if (estDoubleEncodage(a, b))
        donner(causeDoubleEncodage, std::string(texteDoubleEncodage));
    const unsigned virgules = trouverVirgules(a, b);
    if (virgules != 0)
        donner(causeVirgule, std::string(virgules == virguleDansB ? texteVirgule
                                          : virgules == pointDansB ? textePoint
                                                                   : texteVirgules));
    // The byte order mark already named is not named again.
    Invisibles invisibles;
    if (!marque && concordentSansInvisibles(a, b, invisibles))
        donner(causeInvisible, composerInvisible(invisibles));
    if (indices.empty())
        chercherAutresMots(a, b, indices);
    return indices;
}
