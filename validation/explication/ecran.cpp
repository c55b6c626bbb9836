#include "ecran.h"

#include "unicode.h"

namespace {

// East Asian wide and fullwidth characters, and emoji: two columns. Taken
// broadly, as a row counted too many costs less than one missed.
bool estLarge(unsigned code)
{
    return (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF)
        || (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF)
        || (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60)
        || (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x1F000 && code <= 0x1FAFF)
        || (code >= 0x20000 && code <= 0x3FFFD);
}

} // namespace

std::size_t compterRangees(std::string_view texte, std::size_t colonnes)
{
    if (colonnes == 0)
        colonnes = 1;
    std::size_t rangees = 0;
    std::size_t colonne = 0;
    bool ligneOuverte = false;
    const auto avancer = [&](std::size_t largeur) {
        if (colonne + largeur > colonnes) {
            ++rangees;
            colonne = 0;
        }
        colonne += largeur;
    };
    for (std::size_t pos = 0; pos < texte.size();) {
        const auto octet = static_cast<unsigned char>(texte[pos]);
        if (!ligneOuverte) {
            ligneOuverte = true;
            ++rangees;
            colonne = 0;
        }
        if (octet == '\n') {
            ligneOuverte = false;
            ++pos;
            continue;
        }
        if (octet == 0x1B && pos + 1 < texte.size() && texte[pos + 1] == '[') {
            pos += 2;
            while (pos < texte.size() && (static_cast<unsigned char>(texte[pos]) < 0x40
                                          || static_cast<unsigned char>(texte[pos]) > 0x7E))
                ++pos;
            ++pos;
            continue;
        }
        if (octet == '\t') {
            const std::size_t arret = (colonne / 8 + 1) * 8;
            avancer(arret > colonnes ? 8 : arret - colonne);
            ++pos;
            continue;
        }
        const Point point = lirePoint(texte, pos);
        if (point.longueur == 0) {
            avancer(1);
            ++pos;
            continue;
        }
        avancer(estLarge(point.code) ? 2 : 1);
        pos += point.longueur;
    }
    return rangees;
}

std::size_t mesurerLargeur(std::string_view ligne)
{
    std::size_t colonnes = 0;
    for (std::size_t pos = 0; pos < ligne.size();) {
        const Point point = lirePoint(ligne, pos);
        colonnes += ligne[pos] == '\t' ? 8 : estLarge(point.code) ? 2 : 1;
        pos += point.longueur == 0 ? 1 : point.longueur;
    }
    return colonnes;
}

std::string ajusterLigne(std::string_view ligne, std::size_t colonnes)
{
    if (ligne.empty() || ligne.back() != ')' || mesurerLargeur(ligne) <= colonnes)
        return std::string(ligne);
    const std::size_t parenthese = ligne.rfind(" (");
    if (parenthese == std::string_view::npos || mesurerLargeur(ligne.substr(0, parenthese)) > colonnes)
        return std::string(ligne);
    return std::string(ligne.substr(0, parenthese));
}

void ecrireSurEcran(Ecran& ecran, std::string_view texte)
{
    ecran.erreurs->write(texte.data(), static_cast<std::streamsize>(texte.size()));
    ecran.erreurs->flush();
    ecran.utilisees += compterRangees(texte, ecran.colonnes);
}
