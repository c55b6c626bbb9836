#include "outils.h"

#include <map>
#include <vector>

namespace {

// std::getline as the loop reads: a stream that has already ended keeps
// the line as it was, and is put into the failed state.
void lire(std::istream& flux, std::string& ligne)
{
    if (!flux.good()) {
        flux.setstate(std::ios::failbit);
        return;
    }
    std::getline(flux, ligne);
}

bool estEspace(char octet)
{
    return octet == ' ' || (octet >= '\t' && octet <= '\r');
}

// Columns a character takes, from its code point.
std::size_t largeur(unsigned point)
{
    if ((point >= 0x300 && point <= 0x36F) || (point >= 0x200B && point <= 0x200F) || point == 0xFEFF)
        return 0;
    if ((point >= 0x1100 && point <= 0x115F) || (point >= 0x2E80 && point <= 0xA4CF)
        || (point >= 0xAC00 && point <= 0xD7A3) || (point >= 0xF900 && point <= 0xFAFF)
        || (point >= 0xFF00 && point <= 0xFF60) || (point >= 0xFFE0 && point <= 0xFFE6)
        || (point >= 0x1F300 && point <= 0x1FAFF) || (point >= 0x20000 && point <= 0x3FFFD))
        return 2;
    return point < 0x20 || point == 0x7F ? 0 : 1;
}

std::size_t mesurerLigne(const std::string& ligne)
{
    std::size_t colonnes = 0;
    for (std::size_t i = 0; i < ligne.size();) {
        const auto octet = static_cast<unsigned char>(ligne[i]);
        if (octet == 0x1B && i + 1 < ligne.size() && ligne[i + 1] == '[') {
            i += 2;
            while (i < ligne.size() && (static_cast<unsigned char>(ligne[i]) < 0x40 || static_cast<unsigned char>(ligne[i]) > 0x7E))
                ++i;
            ++i;
            continue;
        }
        if (octet == '\t') {
            colonnes = (colonnes / 8 + 1) * 8;
            ++i;
            continue;
        }
        const std::size_t longueur = octet < 0x80 ? 1 : octet >= 0xF0 ? 4 : octet >= 0xE0 ? 3 : octet >= 0xC0 ? 2 : 1;
        unsigned point = longueur == 1 ? octet : longueur == 2 ? octet & 0x1FU : longueur == 3 ? octet & 0x0FU : octet & 0x07U;
        for (std::size_t k = 1; k < longueur && i + k < ligne.size(); ++k)
            point = point << 6 | (static_cast<unsigned char>(ligne[i + k]) & 0x3FU);
        colonnes += largeur(point);
        i += longueur;
    }
    return colonnes;
}

} // namespace

std::string serrer(const std::string& ligne)
{
    std::string serre;
    for (const char octet : ligne) {
        if (octet != ' ' && octet != '\t')
            serre += octet;
    }
    return serre;
}

void modeliser(std::istream& test, std::istream& solution, std::istream& votre, std::ostream& sortie,
               std::ostream& erreurs)
{
    std::map<std::string, long> reussites;
    std::map<std::string, long> tests;
    for (long numero = 1;; ++numero) {
        std::string ligneTest;
        std::string ligneSolution;
        std::string ligneVotre = "(X)";
        lire(test, ligneTest);
        lire(solution, ligneSolution);
        lire(votre, ligneVotre);
        std::size_t debut = 0;
        while (debut < ligneTest.size() && estEspace(ligneTest[debut]))
            ++debut;
        std::size_t fin = debut;
        while (fin < ligneTest.size() && !estEspace(ligneTest[fin]))
            ++fin;
        const std::string commande = ligneTest.substr(debut, fin - debut);
        if (commande.empty())
            break;
        if (serrer(ligneSolution) == serrer(ligneVotre))
            ++reussites[commande];
        else
            erreurs << "Ligne #" << numero << " (" << commande << ") : \xC3\x89" "CHEC\n V1:" << ligneSolution
                    << "\n V2:" << ligneVotre << "\n";
        ++tests[commande];
        if (test.fail())
            break;
    }
    const char* separateur = "";
    for (const char* mot : {"trace", "localiser", "presences", "frequentations", "duree_rencontres"}) {
        sortie << separateur << reussites[mot] << "/" << tests[mot];
        separateur = "\t";
    }
    sortie << "\n";
}

Ecran mesurerEcran(const std::string& texte, std::size_t colonnes, std::size_t dernieres)
{
    std::vector<std::string> lignes;
    std::vector<std::size_t> rangees;
    for (std::size_t debut = 0; debut < texte.size();) {
        std::size_t fin = texte.find('\n', debut);
        if (fin == std::string::npos)
            fin = texte.size();
        std::string ligne = texte.substr(debut, fin - debut);
        // A carriage return before the newline moves the cursor, no more.
        if (!ligne.empty() && ligne.back() == '\r')
            ligne.pop_back();
        const std::size_t largeurLigne = mesurerLigne(ligne);
        lignes.push_back(ligne);
        rangees.push_back(largeurLigne == 0 ? 1 : (largeurLigne + colonnes - 1) / colonnes);
        debut = fin + 1;
    }
    Ecran ecran;
    for (const std::size_t nombre : rangees)
        ecran.rangees += nombre;
    std::size_t vues = 0;
    std::size_t premiere = lignes.size();
    while (premiere > 0 && vues < dernieres) {
        --premiere;
        vues += rangees[premiere];
    }
    for (std::size_t i = premiere; i < lignes.size(); ++i)
        ecran.dernieres += lignes[i] + "\n";
    return ecran;
}
