#include "bilan.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string bilan(const Decompte& nbReussites, const Decompte& nbTests, bool modeCorrige)
{
    std::ostringstream sortie;
    ecrireBilan(nbReussites, nbTests, modeCorrige, sortie);
    return sortie.str();
}

} // namespace

TEST(EcrireBilan, SansAucuneLigne)
{
    EXPECT_EQ(bilan({}, {}, false), "0/0\t0/0\t0/0\t0/0\t0/0\n");
    EXPECT_EQ(bilan({}, {}, true), "0\t0\t0\t0\t0\n");
}

TEST(EcrireBilan, ChampsDansLOrdreDesCommandes)
{
    const Decompte nbReussites = {{"trace", 1}, {"presences", 3}, {"duree_rencontres", 5}};
    const Decompte nbTests = {{"trace", 2}, {"localiser", 4}, {"presences", 3},
                              {"frequentations", 1}, {"duree_rencontres", 9}};
    EXPECT_EQ(bilan(nbReussites, nbTests, false), "1/2\t0/4\t3/3\t0/1\t5/9\n");
    EXPECT_EQ(bilan(nbReussites, nbTests, true), "1\t0\t3\t0\t5\n");
}

TEST(EcrireBilan, IgnoreLesAutresCommandes)
{
    const Decompte nbReussites = {{"Trace", 7}, {"localiser", 3}, {"autre", 2}};
    const Decompte nbTests = {{"Trace", 7}, {"localiser", 4}, {"autre", 9}, {"trace ", 1}};
    EXPECT_EQ(bilan(nbReussites, nbTests, false), "0/0\t3/4\t0/0\t0/0\t0/0\n");
}

TEST(EcrireBilan, GrandsNombresSansDebordement)
{
    const Decompte nbReussites = {{"trace", 4294967296}};
    const Decompte nbTests = {{"trace", 4294967297}, {"localiser", 2147483648}};
    EXPECT_EQ(bilan(nbReussites, nbTests, false),
              "4294967296/4294967297\t0/2147483648\t0/0\t0/0\t0/0\n");
}
