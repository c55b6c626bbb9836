// The loop with a bound on the lines it holds sees what it sees without
// one: the same counts, the same verdict and ends for every line, the same
// text while a line fits, its start and the hash of all of it otherwise.
#include "entree_lente.h"
#include "validation/moteur/lecture.h"
#include "validation/moteur/parcours.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Vue {
    LigneComparee ligne;
    std::string attendue;
    std::string obtenue;
};

std::vector<Vue> parcourir(const std::string& test, const std::string& attendu, const std::string& obtenu,
                           std::size_t borne, std::size_t morceau, Decomptes& decomptes)
{
    std::istringstream fluxTest(test);
    EntreeLente lenteAttendu(attendu, morceau);
    EntreeLente lenteObtenu(obtenu, morceau);
    std::istream fluxAttendu(&lenteAttendu);
    std::istream fluxObtenu(&lenteObtenu);
    std::vector<Vue> vues;
    FinParcours fin;
    decomptes = parcourirLignes(
        fluxTest, fluxAttendu, fluxObtenu,
        [&vues](const LigneComparee& ligne) {
            vues.push_back({ligne, std::string(ligne.attendue), std::string(ligne.obtenue)});
        },
        fin, borne);
    return vues;
}

// A line of blanks and letters, often a copy of `modele` with blanks moved.
std::string tirerLigne(std::mt19937& hasard, const std::string& modele)
{
    std::string ligne;
    if (!modele.empty() && hasard() % 2 == 0) {
        for (const char octet : modele) {
            if (octet != ' ' && octet != '\t')
                ligne += octet;
            if (hasard() % 5 == 0)
                ligne += hasard() % 2 == 0 ? ' ' : '\t';
        }
        return ligne;
    }
    const std::size_t longueur = hasard() % 4 == 0 ? hasard() % 200 : hasard() % 12;
    for (std::size_t i = 0; i < longueur; ++i)
        ligne += "ab \t\r"[hasard() % 5];
    return ligne;
}

} // namespace

TEST(ParcourirLignes, UneBorneNeChangeQueCeQuiEstGardeDesLonguesLignes)
{
    std::mt19937 hasard(27);
    for (int essai = 0; essai < 300; ++essai) {
        const std::size_t lignes = hasard() % 12;
        std::string test;
        std::string attendu;
        std::string obtenu;
        for (std::size_t i = 0; i < lignes; ++i) {
            test += i % 3 == 0 ? "trace 1\n" : "localiser x\n";
            const std::string ligne = tirerLigne(hasard, "");
            attendu += ligne + "\n";
            if (hasard() % 7 != 0)
                obtenu += tirerLigne(hasard, ligne) + "\n";
        }
        if (hasard() % 3 == 0 && !obtenu.empty())
            obtenu.pop_back();
        Decomptes sans;
        const std::vector<Vue> temoins = parcourir(test, attendu, obtenu, 0, 1 + hasard() % 40, sans);
        for (const std::size_t borne : {1U, 8U, 64U}) {
            Decomptes avec;
            const std::vector<Vue> vues = parcourir(test, attendu, obtenu, borne, 1 + hasard() % 40, avec);
            ASSERT_EQ(vues.size(), temoins.size());
            EXPECT_EQ(avec.reussites, sans.reussites);
            EXPECT_EQ(avec.tests, sans.tests);
            for (std::size_t i = 0; i < vues.size(); ++i) {
                const Vue& vue = vues[i];
                const Vue& temoin = temoins[i];
                SCOPED_TRACE("essai " + std::to_string(essai) + ", ligne " + std::to_string(i + 1));
                EXPECT_EQ(vue.ligne.identiques, temoin.ligne.identiques);
                EXPECT_EQ(vue.ligne.finAttendu, temoin.ligne.finAttendu);
                EXPECT_EQ(vue.ligne.finTeste, temoin.ligne.finTeste);
                EXPECT_EQ(vue.ligne.obtenueSansSaut, temoin.ligne.obtenueSansSaut);
                EXPECT_EQ(vue.attendue, temoin.attendue.substr(0, borne));
                // "(X)", the preset of an ended input, is never cut.
                const bool preset = temoin.ligne.finTeste && temoin.obtenue == "(X)";
                EXPECT_EQ(vue.obtenue, preset ? temoin.obtenue : temoin.obtenue.substr(0, borne));
                EXPECT_EQ(vue.ligne.obtenueCoupee, !preset && temoin.obtenue.size() > borne);
                if (vue.ligne.obtenueCoupee) {
                    EXPECT_EQ(vue.ligne.empreinteObtenue, empreinterSansBlancs(temoin.obtenue));
                }
            }
        }
    }
}
