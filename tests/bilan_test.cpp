#include "validation/bilan.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string bilan(const Comptes& nbReussites, const Comptes& nbTests, bool modeCorrige)
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
    const Comptes nbReussites = {1, 0, 3, 0, 5};
    const Comptes nbTests = {2, 4, 3, 1, 9};
    EXPECT_EQ(bilan(nbReussites, nbTests, false), "1/2\t0/4\t3/3\t0/1\t5/9\n");
    EXPECT_EQ(bilan(nbReussites, nbTests, true), "1\t0\t3\t0\t5\n");
}

TEST(EcrireBilan, GrandsNombresSansDebordement)
{
    const Comptes nbReussites = {4294967296, 0, 0, 0, 0};
    const Comptes nbTests = {4294967297, 2147483648, 0, 0, 0};
    EXPECT_EQ(bilan(nbReussites, nbTests, false),
              "4294967296/4294967297\t0/2147483648\t0/0\t0/0\t0/0\n");
}
