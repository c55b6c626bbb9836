#include "indices.h"

#include "comparaison.h"
#include "difference.h"

#include <algorithm>
#include <array>

namespace {

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

} // namespace

std::vector<Indice> trouverIndices(const Echec& echec)
{
    std::vector<Indice> indices;
    Region regionA;
    Region regionB;
    trouverRegions(echec.attendue, echec.obtenue, regionA, regionB);
    const std::string_view a = echec.attendue;
    const std::string_view b = echec.obtenue;
    if (echec.finFichierTeste)
        indices.push_back({causeFinTeste, "fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test"});
    if (concordent(a, b, ignorerBlancOuRetour, identite))
        indices.push_back({causeRetoursChariot, "les lignes ne diff\xC3\xA8rent que par des retours chariot (\\r) : "
                             "fins de ligne Windows (\\r\\n) ?"});
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
        indices.push_back({causeInsecable, indice});
    }
    if (concordent(a, b, ignorerBlanc, enMinuscule))
        indices.push_back({causeCasse, "seule la casse des lettres diff\xC3\xA8re"});
    return indices;
}
