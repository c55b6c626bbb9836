#include "mots.h"

#include "validation/comparaison.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

// A prefix longer than this is more than an invite.
constexpr std::size_t longueurPrefixeMax = 16;
constexpr std::size_t longueurCitationMax = 12;

bool estAlphanumerique(char octet)
{
    return (octet >= '0' && octet <= '9') || (octet >= 'a' && octet <= 'z') || (octet >= 'A' && octet <= 'Z');
}

bool tropLongues(std::string_view a, std::string_view b)
{
    return a.size() > longueurMotsMax || b.size() > longueurMotsMax;
}

bool estDeMot(char octet)
{
    return estAlphanumerique(octet) || octet == '_' || static_cast<unsigned char>(octet) >= 0x80;
}

bool lieMots(char octet)
{
    return octet == '.' || octet == ',' || octet == '-' || octet == '\'';
}

// A line cut into its words and, between them, its separators: separateurs[i]
// comes before mots[i], and the last one after the last word. Views into the line.
struct Decoupage {
    std::vector<std::string_view> mots;
    std::vector<std::string_view> separateurs;
};

Decoupage decouper(std::string_view ligne)
{
    Decoupage decoupage;
    std::size_t pos = 0;
    std::size_t debutSeparateur = 0;
    while (pos < ligne.size()) {
        if (!estDeMot(ligne[pos])) {
            ++pos;
            continue;
        }
        decoupage.separateurs.push_back(ligne.substr(debutSeparateur, pos - debutSeparateur));
        const std::size_t debut = pos;
        while (pos < ligne.size()
               && (estDeMot(ligne[pos])
                   || (lieMots(ligne[pos]) && pos + 1 < ligne.size() && estDeMot(ligne[pos + 1]))))
            ++pos;
        decoupage.mots.push_back(ligne.substr(debut, pos - debut));
        debutSeparateur = pos;
    }
    decoupage.separateurs.push_back(ligne.substr(debutSeparateur));
    return decoupage;
}

} // namespace

bool ontMotsDansAutreOrdre(std::string_view a, std::string_view b)
{
    if (tropLongues(a, b))
        return false;
    Decoupage motsA = decouper(a);
    Decoupage motsB = decouper(b);
    if (motsA.mots.size() < 2 || motsA.mots == motsB.mots)
        return false;
    std::sort(motsA.mots.begin(), motsA.mots.end());
    std::sort(motsB.mots.begin(), motsB.mots.end());
    return motsA.mots == motsB.mots;
}

Separateurs trouverSeparateurs(std::string_view a, std::string_view b)
{
    if (tropLongues(a, b))
        return {};
    const Decoupage motsA = decouper(a);
    const Decoupage motsB = decouper(b);
    Separateurs separateurs;
    if (motsA.mots.empty() || motsA.mots != motsB.mots)
        return separateurs;
    for (std::size_t i = 0; i < motsA.separateurs.size(); ++i) {
        if (enleverEspaces(motsA.separateurs[i]) != enleverEspaces(motsB.separateurs[i])) {
            separateurs.trouves = true;
            separateurs.attendu = motsA.separateurs[i];
            separateurs.obtenu = motsB.separateurs[i];
            return separateurs;
        }
    }
    return separateurs;
}

std::string_view trouverPrefixe(std::string_view a, std::string_view b)
{
    if (tropLongues(a, b))
        return {};
    const std::string serreA = enleverEspaces(a);
    // Where B's last serreA.size() non-blank bytes begin.
    std::size_t reste = serreA.size();
    std::size_t pos = b.size();
    while (reste > 0 && pos > 0) {
        --pos;
        if (!estBlanc(b[pos]))
            --reste;
    }
    if (reste > 0 || enleverEspaces(b.substr(pos)) != serreA)
        return {};
    const std::string_view prefixe = b.substr(0, pos);
    const std::string serre = enleverEspaces(prefixe);
    if (serre.empty() || serre.size() > longueurPrefixeMax)
        return {};
    const char dernier = serre.back();
    if (estDeMot(dernier) || static_cast<unsigned char>(dernier) < 0x21 || dernier == 0x7F)
        return {};
    if (serreA.empty() && std::any_of(serre.begin(), serre.end(), estDeMot))
        return {};
    return prefixe;
}

std::string citerCourt(std::string_view texte)
{
    std::size_t debut = 0;
    std::size_t fin = texte.size();
    while (debut < fin && estBlanc(texte[debut]))
        ++debut;
    while (fin > debut && estBlanc(texte[fin - 1]))
        --fin;
    const std::string_view cite = texte.substr(debut, fin - debut);
    if (cite.size() > longueurCitationMax)
        return {};
    for (const char octet : cite) {
        const auto valeur = static_cast<unsigned char>(octet);
        if (valeur < 0x20 || valeur == 0x7F || valeur >= 0x80)
            return {};
    }
    return std::string(cite);
}
