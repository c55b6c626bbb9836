#include "rapprochement.h"

#include "validation/comparaison.h"
#include "unicode.h"

#include <algorithm>

// No walk copies a line: a line may be very long.

namespace {

void sauterBlancs(std::string_view texte, std::size_t& pos)
{
    while (pos < texte.size() && estBlanc(texte[pos]))
        ++pos;
}

// Both lines at their next non-blank byte; true when either has none left.
bool avancer(std::string_view a, std::size_t& i, std::string_view b, std::size_t& j)
{
    sauterBlancs(a, i);
    sauterBlancs(b, j);
    return i == a.size() || j == b.size();
}

bool finiesEnsemble(std::string_view a, std::size_t i, std::string_view b, std::size_t j)
{
    return i == a.size() && j == b.size();
}

std::size_t longueurInsecable(std::string_view texte, std::size_t pos)
{
    const auto insecable =
        std::find_if(insecables.begin(), insecables.end(), [&](std::string_view espace) {
            return texte.substr(pos, espace.size()) == espace;
        });
    return insecable == insecables.end() ? 0 : insecable->size();
}

// True when both lines hold the same bytes once `sauter` has skipped what
// it will: at a position, how many bytes to skip, 0 for none.
template <typename Sauter>
bool concordentEnSautant(std::string_view a, std::string_view b, Sauter sauter)
{
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        for (std::size_t saut = 0; i < a.size() && (saut = sauter(a, i)) > 0;)
            i += saut;
        for (std::size_t saut = 0; j < b.size() && (saut = sauter(b, j)) > 0;)
            j += saut;
        if (i == a.size() || j == b.size())
            return finiesEnsemble(a, i, b, j);
        if (a[i] != b[j])
            return false;
        ++i;
        ++j;
    }
}

// Steps over one character of each line: a well-formed UTF-8 character, or
// a lone byte. `accepter` decides whether two different characters, both
// well formed, go together (and steps over them); where either line has a
// lone byte, the two bytes must be equal, so that lines agreeing byte for
// byte, blanks aside, still do.
template <typename Accepter>
bool concordentParCaractere(std::string_view a, std::string_view b, Accepter accepter)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (!avancer(a, i, b, j)) {
        const Point x = lirePoint(a, i);
        const Point y = lirePoint(b, j);
        if (x.longueur == 0 || y.longueur == 0) {
            if (a[i] != b[j])
                return false;
            ++i;
            ++j;
        } else if (x.code == y.code) {
            i += x.longueur;
            j += y.longueur;
        } else if (!accepter(x, i, y, j)) {
            return false;
        }
    }
    return finiesEnsemble(a, i, b, j);
}

// Moves `pos` past the decomposed form of a letter, its base then (blanks
// aside) its combining mark, when `texte` holds it there.
bool passerDecomposee(std::string_view texte, std::size_t& pos, Decomposition lettre)
{
    if (lettre.base == 0 || texte[pos] != lettre.base)
        return false;
    std::size_t suite = pos + 1;
    sauterBlancs(texte, suite);
    char marque[4];
    const std::string_view accent(marque, encoderUtf8(0x300U + lettre.marque, marque));
    if (texte.substr(suite, accent.size()) != accent)
        return false;
    pos = suite + accent.size();
    return true;
}

// Moves `pos` past the UTF-8 of what `octet` reads as in Windows-1252 or in
// Latin-1, when `texte` holds either there.
bool passerRelu(std::string_view texte, std::size_t& pos, unsigned char octet)
{
    for (const unsigned point : {lireWindows1252(octet), static_cast<unsigned>(octet)}) {
        char octets[4];
        const std::string_view relu(octets, encoderUtf8(point, octets));
        if (texte.substr(pos, relu.size()) == relu) {
            pos += relu.size();
            return true;
        }
    }
    return false;
}

bool estChiffre(char octet)
{
    return octet >= '0' && octet <= '9';
}

bool chiffreSuit(std::string_view texte, std::size_t pos)
{
    sauterBlancs(texte, pos);
    return pos < texte.size() && estChiffre(texte[pos]);
}

void passerInvisibles(std::string_view texte, std::size_t& pos, bool& trouve,
                      std::array<std::size_t, nombreInvisibles>& comptes)
{
    while (pos < texte.size()) {
        if (estBlanc(texte[pos])) {
            ++pos;
            continue;
        }
        const Point caractere = lirePoint(texte, pos);
        const std::size_t rang = caractere.longueur == 0 ? nombreInvisibles
                                                         : classerInvisible(caractere.code);
        if (rang == nombreInvisibles)
            return;
        pos += caractere.longueur;
        ++comptes[rang];
        trouve = true;
    }
}

} // namespace

bool estDebutStrict(std::string_view debut, std::string_view ligne)
{
    std::size_t i = 0;
    std::size_t j = 0;
    bool commence = false;
    while (!avancer(debut, i, ligne, j)) {
        if (debut[i] != ligne[j])
            return false;
        commence = true;
        ++i;
        ++j;
    }
    return commence && i == debut.size() && j < ligne.size();
}

bool concordentSansRetours(std::string_view a, std::string_view b)
{
    return concordentEnSautant(a, b, [](std::string_view texte, std::size_t pos) -> std::size_t {
        return estBlanc(texte[pos]) || texte[pos] == '\r' ? 1 : 0;
    });
}

bool concordentSansInsecables(std::string_view a, std::string_view b)
{
    return concordentEnSautant(a, b, [](std::string_view texte, std::size_t pos) {
        return estBlanc(texte[pos]) ? std::size_t{1} : longueurInsecable(texte, pos);
    });
}

bool concordentSaufCasse(std::string_view a, std::string_view b)
{
    return concordentParCaractere(
        a, b, [](Point x, std::size_t& i, Point y, std::size_t& j) {
            if (!ontMemeLettre(x.code, y.code))
                return false;
            i += x.longueur;
            j += y.longueur;
            return true;
        });
}

unsigned trouverDecompositions(std::string_view a, std::string_view b)
{
    unsigned cotes = 0;
    const bool concordent = concordentParCaractere(
        a, b, [&](Point x, std::size_t& i, Point y, std::size_t& j) {
            if (passerDecomposee(b, j, decomposer(x.code))) {
                i += x.longueur;
                cotes |= coteB;
                return true;
            }
            if (passerDecomposee(a, i, decomposer(y.code))) {
                j += y.longueur;
                cotes |= coteA;
                return true;
            }
            return false;
        });
    return concordent ? cotes : 0;
}

bool concordentRelue(std::string_view attendue, std::string_view obtenue)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (!avancer(attendue, i, obtenue, j)) {
        const unsigned char octet = static_cast<unsigned char>(obtenue[j]);
        if (octet < 0x80) {
            if (attendue[i] != obtenue[j])
                return false;
            ++i;
        } else if (!passerRelu(attendue, i, octet)) {
            return false;
        }
        ++j;
    }
    return finiesEnsemble(attendue, i, obtenue, j);
}

bool estDoubleEncodage(std::string_view attendue, std::string_view obtenue)
{
    std::size_t i = 0;
    std::size_t j = 0;
    bool trouve = false;
    while (!avancer(attendue, i, obtenue, j)) {
        const std::size_t longueur = lirePoint(attendue, i).longueur;
        if (longueur < 2) {
            if (attendue[i] != obtenue[j])
                return false;
            ++i;
            ++j;
            continue;
        }
        for (std::size_t k = 0; k < longueur; ++k) {
            if (!passerRelu(obtenue, j, static_cast<unsigned char>(attendue[i + k])))
                return false;
        }
        i += longueur;
        trouve = true;
    }
    return trouve && finiesEnsemble(attendue, i, obtenue, j);
}

unsigned trouverVirgules(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    unsigned echanges = 0;
    char precedent = 0;
    while (!avancer(a, i, b, j)) {
        if (a[i] != b[j]) {
            const bool echange = (a[i] == '.' && b[j] == ',') || (a[i] == ',' && b[j] == '.');
            if (!echange || !estChiffre(precedent) || !chiffreSuit(a, i + 1))
                return 0;
            echanges |= b[j] == ',' ? virguleDansB : pointDansB;
        }
        precedent = a[i];
        ++i;
        ++j;
    }
    return finiesEnsemble(a, i, b, j) ? echanges : 0;
}

bool concordentSansInvisibles(std::string_view a, std::string_view b, Invisibles& invisibles)
{
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        passerInvisibles(a, i, invisibles.trouve, invisibles.dansA);
        passerInvisibles(b, j, invisibles.trouve, invisibles.dansB);
        if (i == a.size() || j == b.size())
            return invisibles.trouve && finiesEnsemble(a, i, b, j);
        if (a[i] != b[j])
            return false;
        ++i;
        ++j;
    }
}
