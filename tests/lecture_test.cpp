#include "entree_lente.h"
#include "validation/moteur/lecture.h"
#include "validation/moteur/commande.h"
#include "validation/validation.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

using Lectures = std::vector<std::optional<std::string>>;

// What std::getline gives, read after read: nothing once the stream has
// stopped being good, else the line (emptied first).
Lectures lireParGetline(const std::string& contenu, int nbLectures)
{
    std::istringstream flux(contenu);
    Lectures lectures;
    std::string ligne;
    for (int i = 0; i < nbLectures; ++i) {
        if (!flux.good()) {
            lectures.emplace_back();
            continue;
        }
        std::getline(flux, ligne);
        lectures.emplace_back(ligne);
    }
    return lectures;
}

// The same reads through lireLigne.
Lectures lireParLigne(std::istream& flux, int nbLectures)
{
    Entree entree = ouvrirEntree(flux);
    Lectures lectures;
    for (int i = 0; i < nbLectures; ++i) {
        std::string_view ligne = "inchangée";
        if (lireLigne(entree, ligne))
            lectures.emplace_back(std::string(ligne));
        else {
            EXPECT_EQ(ligne, "inchangée");
            lectures.emplace_back();
        }
    }
    return lectures;
}

const std::string tresLongue(300000, 'x');

const std::vector<std::string> contenus = {
    "",
    "\n",
    "\n\n",
    "a",
    "a\n",
    "a\nb",
    "a\nb\n",
    "a\r\nb\r\n",
    "\n\nc\n",
    "un deux\0trois\nquatre"s,
    tresLongue,
    tresLongue + "\n",
    "a\n" + tresLongue + "\nb\n" + tresLongue,
    std::string(262143, 'y') + "\n" + std::string(262144, 'z') + "\nfin",
};


// An input whole, or a few bytes at a time, as a pipe gives it.
std::unique_ptr<std::istream> ouvrir(const std::string& contenu, std::size_t morceau,
                                     std::unique_ptr<EntreeLente>& lente)
{
    if (morceau == 0)
        return std::make_unique<std::istringstream>(contenu);
    lente = std::make_unique<EntreeLente>(contenu, morceau);
    return std::make_unique<std::istream>(lente.get());
}

// Lines of lengths around the 32-byte steps of the searches, and files made
// of them: equal, or one byte changed, longer or shorter, or without a final
// newline.
std::vector<std::string> contenusJumeaux()
{
    std::vector<std::string> lignes;
    for (const std::size_t n : {0, 1, 15, 16, 31, 32, 33, 63, 64, 65, 100}) {
        std::string ligne;
        for (std::size_t i = 0; i < n; ++i)
            ligne += static_cast<char>(i % 7 == 3 ? ' ' : 'a' + i % 26);
        lignes.push_back(ligne);
    }
    std::string base;
    for (const std::string& ligne : lignes)
        base += ligne + "\n";
    std::vector<std::string> jumeaux = {base, base.substr(0, base.size() - 1), ""};
    for (const std::size_t i : {std::size_t{3}, std::size_t{6}, std::size_t{9}}) {
        for (const std::size_t position : {std::size_t{0}, lignes[i].size() / 2, lignes[i].size() - 1}) {
            std::string autre;
            for (std::size_t j = 0; j < lignes.size(); ++j) {
                std::string ligne = lignes[j];
                if (j == i)
                    ligne[position] = '#';
                autre += ligne + "\n";
            }
            jumeaux.push_back(autre);
        }
        std::string longue;
        std::string courte;
        for (std::size_t j = 0; j < lignes.size(); ++j) {
            longue += lignes[j] + (j == i ? "x\n" : "\n");
            courte += (j == i ? lignes[j].substr(1) : lignes[j]) + "\n";
        }
        jumeaux.push_back(longue);
        jumeaux.push_back(courte);
    }
    return jumeaux;
}

} // namespace

TEST(LireLigne, CommeGetlineSurChaqueContenu)
{
    for (const std::string& contenu : contenus) {
        const Lectures attendu = lireParGetline(contenu, 8);
        std::istringstream flux(contenu);
        EXPECT_EQ(lireParLigne(flux, 8), attendu) << "contenu de " << contenu.size() << " octets";
    }
}

TEST(LireLigne, CommeGetlineParPetitsMorceaux)
{
    for (const std::size_t morceau : {std::size_t{1}, std::size_t{3}, std::size_t{4096}}) {
        for (const std::string& contenu : contenus) {
            EntreeLente entree(contenu, morceau);
            std::istream flux(&entree);
            EXPECT_EQ(lireParLigne(flux, 8), lireParGetline(contenu, 8))
                << "morceaux de " << morceau << ", contenu de " << contenu.size() << " octets";
        }
    }
}

TEST(LireLigne, ErreurDeLectureTermineLaLigneEtLeFlux)
{
    EntreeLente entree("un\ndeux\ntrois\n", 4, 6);
    std::istream flux(&entree);
    const Lectures attendu = {"un"s, "deu"s, std::nullopt, std::nullopt};
    EXPECT_EQ(lireParLigne(flux, 4), attendu);
    EXPECT_TRUE(flux.bad());
}


// Reading two inputs side by side must give, on each, the lines that
// std::getline gives, or the presets once it gives none, and tell rightly
// whether the lines are the same bytes and whether the second has run out.
TEST(LirePaire, CommeGetlineSurChaqueEntree)
{
    const std::vector<std::string> contenus = contenusJumeaux();
    for (const std::size_t morceau : {std::size_t{0}, std::size_t{1}, std::size_t{5}}) {
        for (const std::string& a : contenus) {
            for (const std::string& b : contenus) {
                std::unique_ptr<EntreeLente> lenteA;
                std::unique_ptr<EntreeLente> lenteB;
                const auto fluxA = ouvrir(a, morceau, lenteA);
                const auto fluxB = ouvrir(b, morceau, lenteB);
                Entree entreeA = ouvrirEntree(*fluxA);
                Entree entreeB = ouvrirEntree(*fluxB);
                std::istringstream modeleA(a);
                std::istringstream modeleB(b);
                for (int i = 0; i < 16; ++i) {
                    std::string attendueA;
                    std::string attendueB = "(X)";
                    if (modeleA.good())
                        std::getline(modeleA, attendueA);
                    const bool lueB = modeleB.good();
                    if (lueB)
                        std::getline(modeleB, attendueB);
                    const Paire paire = lirePaire(entreeA, entreeB, "(X)");
                    ASSERT_EQ(paire.premiere, attendueA) << "morceaux de " << morceau << ", ligne " << i;
                    ASSERT_EQ(paire.seconde, attendueB) << "morceaux de " << morceau << ", ligne " << i;
                    ASSERT_TRUE(!paire.memesOctets || paire.premiere == paire.seconde);
                    ASSERT_EQ(paire.secondeEpuisee,
                              !paire.memesOctets && (!lueB || (attendueB.empty() && modeleB.eof())))
                        << "morceaux de " << morceau << ", ligne " << i;
                }
            }
        }
    }
}

// Whatever the length of a test line, what lireLigneCommande gives has the
// line's command word first, and the next read starts at the next line.
TEST(LireLigneCommande, PremierMotDeChaqueLigne)
{
    const std::string longue(300000, 'x');
    const std::string blancs(300000, ' ');
    const std::vector<std::string> contenus = {
        "",
        "trace 1 2\nlocaliser\n\npresences",
        "  \ttrace\r\n\v\f\r\n",
        "trace " + longue + "\nlocaliser 1\n",
        blancs + "duree x" + longue + "\nfin\n",
        blancs + "\t" + blancs + "\nfin",
        longue + "\n" + longue,
        "mot " + longue,
        blancs,
    };
    for (const std::size_t morceau : {std::size_t{0}, std::size_t{7}, std::size_t{4096}}) {
        for (const std::string& contenu : contenus) {
            std::unique_ptr<EntreeLente> lente;
            const auto flux = ouvrir(contenu, morceau, lente);
            Entree entree = ouvrirEntree(*flux);
            std::string copie;
            std::vector<std::string> mots;
            for (int i = 0; i < 5; ++i)
                mots.emplace_back(extraireCommande(lireLigneCommande(entree, copie)));
            std::vector<std::string> attendus;
            for (const std::optional<std::string>& ligne : lireParGetline(contenu, 5))
                attendus.emplace_back(extraireCommande(ligne.value_or("")));
            EXPECT_EQ(mots, attendus) << "morceaux de " << morceau << ", contenu de "
                                      << contenu.size() << " octets";
        }
    }
}

// Only the word of a long test line is kept: the buffer stays far smaller
// than the line.
TEST(LireLigneCommande, LigneLongueSauteeSansEtreGardee)
{
    std::istringstream flux("trace " + std::string(20000000, 'x') + "\nlocaliser\n");
    Entree entree = ouvrirEntree(flux);
    std::string copie;
    EXPECT_EQ(extraireCommande(lireLigneCommande(entree, copie)), "trace");
    EXPECT_EQ(extraireCommande(lireLigneCommande(entree, copie)), "localiser");
    EXPECT_LT(entree.capacite, std::size_t{1} << 20);
}
