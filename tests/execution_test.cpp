#include "execution/limites.h"
#include "execution/verdict.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/wait.h>

namespace {

Rapport finir(int statut, double secondes = 0.1, std::uint64_t mio = 10)
{
    Rapport rapport;
    rapport.recu = true;
    rapport.termine = true;
    rapport.statut = statut;
    rapport.microsecondes = static_cast<std::uint64_t>(secondes * 1e6);
    rapport.kio = mio * 1024;
    return rapport;
}

TEST(Fin, MotsDeChaqueFin)
{
    const Limites limites; // 10 s, 512 MiB
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(0, 0)), limites), "normale");
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(3, 0)), limites), "statut 3");
    EXPECT_EQ(deciderFin(finir(SIGSEGV), limites), "plantage (SIGSEGV : erreur de segmentation)");
    EXPECT_EQ(deciderFin(finir(SIGABRT), limites), "plantage (SIGABRT : abandon)");
    EXPECT_EQ(deciderFin(finir(SIGRTMIN + 1), limites), "plantage (signal " + std::to_string(SIGRTMIN + 1) + ")");
    EXPECT_EQ(deciderFin(finir(SIGXCPU), limites), "temps d\xC3\xA9pass\xC3\xA9");
    // SIGKILL is the hard CPU limit only once the time is spent.
    EXPECT_EQ(deciderFin(finir(SIGKILL, 10.5), limites), "temps d\xC3\xA9pass\xC3\xA9");
    EXPECT_EQ(deciderFin(finir(SIGKILL, 0.5), limites), "plantage (SIGKILL : tu\xC3\xA9)");
    Rapport horloge = finir(SIGKILL);
    horloge.horloge = true;
    EXPECT_EQ(deciderFin(horloge, limites), "temps d\xC3\xA9pass\xC3\xA9");
    Rapport delai;
    delai.delaiDepasse = true;
    EXPECT_EQ(deciderFin(delai, limites), "temps d\xC3\xA9pass\xC3\xA9");
    // Past the output limit, whatever the program did then.
    Rapport bavard = finir(SIGPIPE);
    bavard.sortieDepassee = true;
    EXPECT_EQ(deciderFin(bavard, limites), "sortie trop longue");
}

TEST(Fin, MemoireSeulementSurUneFinAnormalePresDeLaLimite)
{
    const Limites limites;
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(1, 0), 0.1, 500), limites), "m\xC3\xA9moire d\xC3\xA9pass\xC3\xA9" "e");
    EXPECT_EQ(deciderFin(finir(SIGSEGV, 0.1, 400), limites), "m\xC3\xA9moire d\xC3\xA9pass\xC3\xA9" "e");
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(0, 0), 0.1, 500), limites), "normale");
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(1, 0), 0.1, 100), limites), "statut 1");
}

TEST(Rapport, AllerRetour)
{
    Rapport rapport = finir(SIGSEGV, 1.25, 42);
    rapport.horloge = true;
    Rapport lu;
    ASSERT_TRUE(lireRapport(ecrireRapport(rapport), lu));
    EXPECT_EQ(lu.statut, SIGSEGV);
    EXPECT_TRUE(lu.horloge && lu.termine && !lu.arrete);
    EXPECT_EQ(lu.microsecondes, 1250000U);
    EXPECT_EQ(lu.kio, 42U * 1024);
    EXPECT_FALSE(lireRapport("", lu));
    EXPECT_FALSE(lireRapport("1 2 x", lu));
}

TEST(Limites, Valeurs)
{
    double secondes = 0;
    EXPECT_TRUE(lireSecondes("1.5", secondes));
    EXPECT_DOUBLE_EQ(secondes, 1.5);
    for (const char* faux : {"", ".", "1,5", "-1", "1e3", "inf", "0", "0x10", "1.2.3", "100000"})
        EXPECT_FALSE(lireSecondes(faux, secondes)) << faux;
    std::uint64_t octets = 0;
    EXPECT_TRUE(lireMio("64", octets));
    EXPECT_EQ(octets, 64 * octetsParMio);
    for (const char* faux : {"", "0", "-1", "1.5", " 1", "99999999999999999999"})
        EXPECT_FALSE(lireMio(faux, octets)) << faux;

    Limites limites;
    limites.temps = 1.5;
    EXPECT_DOUBLE_EQ(calculerTempsReel(limites), 8);
    limites.tempsReel = 3;
    const std::vector<std::string> textes = ecrireLimites(limites);
    std::vector<char*> arguments;
    for (const std::string& texte : textes)
        arguments.push_back(const_cast<char*>(texte.c_str()));
    Limites lues;
    ASSERT_TRUE(lireLimites(arguments.data(), static_cast<int>(arguments.size()), lues));
    EXPECT_DOUBLE_EQ(lues.temps, 1.5);
    EXPECT_DOUBLE_EQ(lues.tempsReel, 3);
    EXPECT_EQ(lues.memoire, limites.memoire);
    EXPECT_EQ(lues.espace, limites.espace);
}

} // namespace
