// Runs the whole validation over string streams and checks what must hold
// for any input, against a plain model of the loop built on std::getline.
#include "validation/bilan.h"
#include "validation/comparaison.h"
#include "entree_lente.h"
#include "valider_chaines.h"
#include "validation/explication/ecran.h"
#include "validation/validation.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>
#include <string>

namespace {

using Decompte = std::map<std::string, std::int64_t, std::less<>>;

void verifier(bool condition)
{
    if (!condition)
        std::abort();
}

// The loop as plainly as it can be said: getline, presets, first word.
std::int64_t compterEchecsModele(const std::string& test, const std::string& solution,
                                 const std::string& votre, Decompte& nbReussites,
                                 Decompte& nbTests)
{
    std::istringstream fluxTest(test);
    std::istringstream fluxSolution(solution);
    std::istringstream fluxVotre(votre);
    std::int64_t echecs = 0;
    for (;;) {
        std::string ligneTest;
        std::string ligneSolution;
        std::string ligneVotre = "(X)";
        if (fluxTest.good())
            std::getline(fluxTest, ligneTest);
        if (fluxSolution.good())
            std::getline(fluxSolution, ligneSolution);
        if (fluxVotre.good())
            std::getline(fluxVotre, ligneVotre);
        std::istringstream mots(ligneTest);
        std::string commande;
        if (!(mots >> commande))
            break;
        if (enleverEspaces(ligneSolution) == enleverEspaces(ligneVotre))
            ++nbReussites[commande];
        else
            ++echecs;
        ++nbTests[commande];
        if (fluxTest.fail())
            break;
    }
    return echecs;
}

// True when nothing in `texte` acts on a terminal or hides from its reader:
// valid UTF-8 without C0 controls but tab and newline, DEL, C1 controls,
// invisible characters or bidirectional controls, once the SGR sequences
// ESC [ digits and semicolons m are taken out.
bool estSurPourTerminal(const std::string& texte)
{
    std::size_t i = 0;
    while (i < texte.size()) {
        const auto octet = static_cast<unsigned char>(texte[i]);
        if (octet == 0x1b) {
            std::size_t j = i + 1;
            if (j == texte.size() || texte[j] != '[')
                return false;
            ++j;
            while (j < texte.size() && ((texte[j] >= '0' && texte[j] <= '9') || texte[j] == ';'))
                ++j;
            if (j == texte.size() || texte[j] != 'm')
                return false;
            i = j + 1;
            continue;
        }
        if (octet < 0x80) {
            if ((octet < 0x20 && octet != '\t' && octet != '\n') || octet == 0x7f)
                return false;
            ++i;
            continue;
        }
        // Decode one sequence and check its value is what its length allows.
        std::size_t longueur = 0;
        std::uint32_t point = 0;
        if ((octet & 0xe0) == 0xc0) {
            longueur = 2;
            point = octet & 0x1fU;
        } else if ((octet & 0xf0) == 0xe0) {
            longueur = 3;
            point = octet & 0x0fU;
        } else if ((octet & 0xf8) == 0xf0) {
            longueur = 4;
            point = octet & 0x07U;
        } else {
            return false;
        }
        if (texte.size() - i < longueur)
            return false;
        for (std::size_t k = 1; k < longueur; ++k) {
            const auto suite = static_cast<unsigned char>(texte[i + k]);
            if ((suite & 0xc0) != 0x80)
                return false;
            point = (point << 6) | (suite & 0x3fU);
        }
        const std::uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (point < minimum[longueur] || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff)
            || point <= 0x9f || point == 0xad || point == 0x61c
            || (point >= 0x200b && point <= 0x200f) || (point >= 0x202a && point <= 0x202e)
            || (point >= 0x2060 && point <= 0x206f) || point == 0xfeff)
            return false;
        i += longueur;
    }
    return true;
}

std::size_t compter(const std::string& texte, char octet)
{
    std::size_t n = 0;
    for (const char c : texte)
        n += c == octet;
    return n;
}

} // namespace

void signalerEcart(const Reglages&, const std::string&, const std::string&)
{
    std::abort();
}

// Every input runs through every version of the loop this processor has, at
// every read size; the others are named once.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    for (const JeuInstructions jeu : jeuxInstructions) {
        if (!peutExecuter(jeu))
            std::fprintf(stderr, "fuzz_validation : version %s sautée, absente de ce processeur"
                                 " ou de cette construction\n",
                         std::string(nommerJeu(jeu)).c_str());
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille)
{
    if (taille < 3)
        return 0;
    const bool modeCorrige = (donnees[0] & 1) != 0;
    const std::string octets(reinterpret_cast<const char*>(donnees) + 3, taille - 3);
    const std::size_t premiere = octets.size() * donnees[1] / 256;
    const std::size_t seconde = premiere + (octets.size() - premiere) * donnees[2] / 256;
    const std::string test = octets.substr(0, premiere);
    const std::string solution = octets.substr(premiere, seconde - premiere);
    const std::string votre = octets.substr(seconde);

    const Resultat normale = valider(test, solution, votre, false, modeCorrige);

    // The same run with inputs that arrive in small pieces, so that lines
    // cross every buffer boundary, gives the same bytes.
    {
        const std::size_t morceau = 1 + (donnees[0] >> 1) % 8;
        EntreeLente entreeTest(test, morceau);
        EntreeLente entreeSolution(solution, morceau);
        EntreeLente entreeVotre(votre, morceau);
        std::istream fluxTest(&entreeTest);
        std::istream fluxSolution(&entreeSolution);
        std::istream fluxVotre(&entreeVotre);
        std::ostringstream sortie;
        std::ostringstream erreurs;
        validerFichiers(fluxTest, fluxSolution, fluxVotre, false, modeCorrige,
                        {{}, &sortie, &erreurs, {}});
        verifier(sortie.str() == normale.sortie);
        verifier(erreurs.str() == normale.erreurs);
    }
    const Resultat muette = valider(test, solution, votre, true, modeCorrige);

    // One summary line of five tab-separated fields.
    verifier(!normale.sortie.empty() && normale.sortie.back() == '\n');
    verifier(compter(normale.sortie, '\n') == 1);
    verifier(compter(normale.sortie, '\t') == 4);

    // Quiet mode changes nothing but the reports.
    verifier(muette.sortie == normale.sortie);
    verifier(muette.erreurs.empty());

    // Reports are three lines each (reported lines hold no newline), one per
    // disagreeing line over all command words, and the summary is the model's.
    Decompte nbReussites;
    Decompte nbTests;
    const std::int64_t echecs = compterEchecsModele(test, solution, votre, nbReussites, nbTests);
    verifier(compter(normale.erreurs, '\n') == static_cast<std::size_t>(echecs) * 3);
    Comptes reussites{};
    Comptes tests{};
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        const std::string mot(commandesBilan[i]);
        reussites[i] = nbReussites.count(mot) != 0 ? nbReussites[mot] : 0;
        tests[i] = nbTests.count(mot) != 0 ? nbTests[mot] : 0;
    }
    std::ostringstream bilan;
    ecrireBilan(reussites, tests, modeCorrige, bilan);
    verifier(normale.sortie == bilan.str());

    // On a terminal, with or without colour: the same summary, no byte of
    // the inputs that acts on it, one screen, and a recap that counts every
    // disagreeing line.
    const Resultat terminal = valider(test, solution, votre, false, modeCorrige,
                                      {true, (donnees[0] & 0x10) != 0});
    verifier(terminal.sortie == normale.sortie);
    verifier(estSurPourTerminal(terminal.erreurs));
    std::size_t rapports = terminal.erreurs.rfind("Ligne #", 0) == 0 ? 1 : 0;
    for (std::size_t i = terminal.erreurs.find("\nLigne #"); i != std::string::npos;
         i = terminal.erreurs.find("\nLigne #", i + 1))
        ++rapports;
    // Within the rows of a 24 x 80 terminal, but for a first report that
    // alone takes more than the rows reports may fill.
    verifier(rapports <= static_cast<std::size_t>(echecs));
    verifier(compterRangees(terminal.erreurs + terminal.sortie, 80) <= 23 || rapports <= 1);
    const std::string recap = echecs == 0
        ? std::string("aucun \xC3\xA9" "chec")
        : std::to_string(echecs) + (echecs > 1 ? " lignes en \xC3\xA9" "chec sur " : " ligne en \xC3\xA9" "chec sur ");
    verifier(terminal.erreurs.find(" : " + recap) != std::string::npos
             || (echecs == 0 && terminal.erreurs.find("aucune ligne compar") != std::string::npos));
    return 0;
}
