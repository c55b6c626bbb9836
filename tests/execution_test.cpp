#include "execution/copie.h"
#include "execution/limites.h"
#include "execution/nombres.h"
#include "execution/verdict.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    // Ended by the monitor's measures of the whole run.
    Rapport ensemble = finir(SIGKILL, 10.1);
    ensemble.tempsTotal = true;
    EXPECT_EQ(deciderFin(ensemble, limites), "temps d\xC3\xA9pass\xC3\xA9");
    Rapport fichiers = finir(SIGKILL);
    fichiers.espaceDepasse = true;
    EXPECT_EQ(deciderFin(fichiers, limites), "espace d\xC3\xA9pass\xC3\xA9");
    // Ended by the runner, past its control group's CPU time.
    Rapport groupe = finir(SIGKILL, 0.9);
    groupe.tempsDepasse = true;
    EXPECT_EQ(deciderFin(groupe, limites), "temps d\xC3\xA9pass\xC3\xA9");
}

TEST(Fin, MemoireSeulementSurUneFinAnormalePresDeLaLimite)
{
    const Limites limites;
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(1, 0), 0.1, 500), limites), "m\xC3\xA9moire d\xC3\xA9pass\xC3\xA9" "e");
    EXPECT_EQ(deciderFin(finir(SIGSEGV, 0.1, 400), limites), "m\xC3\xA9moire d\xC3\xA9pass\xC3\xA9" "e");
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(0, 0), 0.1, 500), limites), "normale");
    EXPECT_EQ(deciderFin(finir(W_EXITCODE(1, 0), 0.1, 100), limites), "statut 1");
    // The group's kernel killed for memory: so said, however low the peak
    // of what it measured (memory files count, no process shows them).
    Rapport tue = finir(SIGKILL, 0.1, 10);
    tue.memoireDepassee = true;
    EXPECT_EQ(deciderFin(tue, limites), "m\xC3\xA9moire d\xC3\xA9pass\xC3\xA9" "e");
    tue.statut = W_EXITCODE(0, 0);
    EXPECT_EQ(deciderFin(tue, limites), "normale");
}

TEST(Rapport, AllerRetour)
{
    Rapport rapport = finir(SIGSEGV, 1.25, 42);
    rapport.horloge = true;
    rapport.espaceDepasse = true;
    Rapport lu;
    ASSERT_TRUE(lireRapport(ecrireRapport(rapport), lu));
    EXPECT_EQ(lu.statut, SIGSEGV);
    EXPECT_TRUE(lu.horloge && lu.termine && !lu.arrete && !lu.tempsTotal && lu.espaceDepasse);
    EXPECT_EQ(lu.microsecondes, 1250000U);
    EXPECT_EQ(lu.kio, 42U * 1024);
    EXPECT_FALSE(lireRapport("", lu));
    EXPECT_FALSE(lireRapport("1 2 x", lu));
}

// One reading of numbers for the command line, the schemes, the shares'
// views and the monitor: digits only, whatever strtol would forgive.
TEST(Nombres, ChiffresSeulement)
{
    std::uint64_t nombre = 0;
    EXPECT_TRUE(lireEntier("18446744073709551615", 0, UINT64_MAX, nombre));
    EXPECT_EQ(nombre, UINT64_MAX);
    EXPECT_TRUE(lireEntier("ff", 0, UINT64_MAX, nombre, 16));
    EXPECT_EQ(nombre, 255U);
    for (const char* faux : {"", "+1", " 1", "1 ", "-0", "18446744073709551616", "0x1", "ff", "1025"})
        EXPECT_FALSE(lireEntier(faux, 0, 1024, nombre)) << faux;
    double valeur = 0;
    int decimales = 0;
    EXPECT_TRUE(lireDecimal("13,250", true, valeur, decimales));
    EXPECT_DOUBLE_EQ(valeur, 13.25);
    EXPECT_EQ(decimales, 3);
    for (const char* faux : {"", ".", "1,5", "1..5", "1e3", "inf", "-1", "+1", "0x10"})
        EXPECT_FALSE(lireDecimal(faux, false, valeur, decimales)) << faux;
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

namespace {

std::string creerTemporaire()
{
    char modele[] = "/tmp/copie-test.XXXXXX";
    return mkdtemp(modele) != nullptr ? modele : "";
}

int ouvrirDossier(const std::string& chemin)
{
    return open(chemin.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

TEST(Copie, DossiersFichiersEtLiensSansLesSuivre)
{
    const std::string racine = creerTemporaire();
    ASSERT_FALSE(racine.empty());
    const std::string source = racine + "/source";
    const std::string copie = racine + "/copie";
    ASSERT_EQ(mkdir(source.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(copie.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((source + "/sous").c_str(), 0500), 0); // read-only: still copied, still removed
    std::ofstream(source + "/prog") << "#!/bin/sh\necho bonjour\n";
    chmod((source + "/prog").c_str(), 0755);
    std::ofstream(racine + "/secret") << "attendu\n";
    ASSERT_EQ(symlink((racine + "/secret").c_str(), (source + "/lien").c_str()), 0);
    ASSERT_EQ(mkfifo((source + "/tube").c_str(), 0644), 0);

    const int dossierSource = ouvrirDossier(source);
    const int dossierCopie = ouvrirDossier(copie);
    EXPECT_EQ(copierDossier(dossierSource, dossierCopie, static_cast<uid_t>(-1), static_cast<gid_t>(-1)), 0);
    struct stat infos {};
    ASSERT_EQ(stat((copie + "/prog").c_str(), &infos), 0);
    EXPECT_EQ(infos.st_mode & 0777, 0755U);
    ASSERT_EQ(lstat((copie + "/lien").c_str(), &infos), 0);
    EXPECT_TRUE(S_ISLNK(infos.st_mode)); // a link stays one: what it names is not read
    EXPECT_NE(lstat((copie + "/tube").c_str(), &infos), 0);
    ASSERT_EQ(stat((copie + "/sous").c_str(), &infos), 0);
    EXPECT_TRUE(S_ISDIR(infos.st_mode));

    // Copied again from the same descriptor: from the folder's start.
    const std::string encore = racine + "/encore";
    ASSERT_EQ(mkdir(encore.c_str(), 0700), 0);
    const int dossierEncore = ouvrirDossier(encore);
    EXPECT_EQ(copierDossier(dossierSource, dossierEncore, static_cast<uid_t>(-1), static_cast<gid_t>(-1)), 0);
    EXPECT_EQ(access((encore + "/prog").c_str(), F_OK), 0);

    // Past the ceiling, the copy stops.
    const std::string petite = racine + "/petite";
    ASSERT_EQ(mkdir(petite.c_str(), 0700), 0);
    const int dossierPetite = ouvrirDossier(petite);
    EXPECT_EQ(copierDossier(dossierSource, dossierPetite, static_cast<uid_t>(-1), static_cast<gid_t>(-1), 10), EFBIG);
    // Past so many entries too: prog, lien and sous are three, the pipe none.
    const std::string trois = racine + "/trois";
    const std::string deux = racine + "/deux";
    ASSERT_EQ(mkdir(trois.c_str(), 0700), 0);
    ASSERT_EQ(mkdir(deux.c_str(), 0700), 0);
    const int dossierTrois = ouvrirDossier(trois);
    const int dossierDeux = ouvrirDossier(deux);
    EXPECT_EQ(copierDossier(dossierSource, dossierTrois, static_cast<uid_t>(-1), static_cast<gid_t>(-1), 1000, 3), 0);
    EXPECT_EQ(copierDossier(dossierSource, dossierDeux, static_cast<uid_t>(-1), static_cast<gid_t>(-1), 1000, 2), EFBIG);

    for (const int dossier : {dossierSource, dossierCopie, dossierEncore, dossierPetite, dossierTrois, dossierDeux})
        close(dossier);
    EXPECT_TRUE(supprimerDossier(racine.c_str()));
    EXPECT_NE(access(racine.c_str(), F_OK), 0);
}

} // namespace
