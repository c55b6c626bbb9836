#include "validation/explication/analyse.h"
#include "validation/moteur/parcours.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string joindre(const std::vector<std::string>& lignes)
{
    std::string texte;
    for (const std::string& ligne : lignes)
        texte += ligne + "\n";
    return texte;
}

// N distinct expected results, one per test line.
std::vector<std::string> resultats(int nombre)
{
    std::vector<std::string> lignes;
    for (int i = 1; i <= nombre; ++i)
        lignes.push_back("r" + std::to_string(i * 7919 % 10007) + " en " + std::to_string(i) + " minutes");
    return lignes;
}

Analyse analyser(const std::vector<std::string>& attendues, const std::vector<std::string>& obtenues)
{
    std::string test;
    for (std::size_t i = 0; i < attendues.size(); ++i)
        test += "localiser Bob " + std::to_string(i + 1) + "\n";
    std::istringstream fluxTest(test);
    std::istringstream fluxAttendu(joindre(attendues));
    std::istringstream fluxVotre(joindre(obtenues));
    Analyse analyse;
    FinParcours fin;
    parcourirLignes(fluxTest, fluxAttendu, fluxVotre,
                    [&analyse](const LigneComparee& ligne) { analyserLigne(analyse, ligne); }, fin);
    terminerAnalyse(analyse, fin);
    return analyse;
}

} // namespace

TEST(AnalyserLigne, DecalagesDeUneATroisLignesManquantesOuEnTrop)
{
    const std::vector<std::string> attendues = resultats(1000);
    for (const bool manque : {true, false}) {
        for (unsigned k = 1; k <= decalageMax; ++k) {
            std::vector<std::string> obtenues(attendues.begin(), attendues.begin() + 499);
            if (manque)
                obtenues.insert(obtenues.end(), attendues.begin() + 499 + k, attendues.end());
            else {
                for (unsigned i = 0; i < k; ++i)
                    obtenues.push_back("ligne en trop " + std::to_string(i));
                obtenues.insert(obtenues.end(), attendues.begin() + 499, attendues.end());
            }
            const Analyse analyse = analyser(attendues, obtenues);
            ASSERT_EQ(analyse.decalages.size(), 1U) << manque << k;
            const Decalage& decalage = analyse.decalages.front();
            EXPECT_EQ(decalage.manque, manque);
            EXPECT_EQ(decalage.lignes, k);
            EXPECT_EQ(decalage.debut, 500);
            EXPECT_EQ(decalage.test, "localiser Bob 500");
            // k lines unexplained, two that establish it, then every one.
            EXPECT_EQ(decalage.premierExplique, 500 + k + 2);
            EXPECT_EQ(decalage.dernierExplique, 1000);
            EXPECT_EQ(analyse.premierEchec, 500);
        }
    }
}

TEST(AnalyserLigne, AucunDecalageSurDesLignesSimplementFausses)
{
    const std::vector<std::string> attendues = resultats(300);
    const struct {
        const char* nom;
        std::vector<std::string> obtenues;
    } cas[] = {
        {"toutes fausses", [&] {
             std::vector<std::string> v;
             for (const std::string& ligne : attendues)
                 v.push_back(ligne + "!");
             return v;
         }()},
        {"une seule valeur", std::vector<std::string>(300, "erreur")},
        {"vides", std::vector<std::string>(300, "")},
        {"fichier vide", {}},
        {"fin de fichier", std::vector<std::string>(attendues.begin(), attendues.begin() + 100)},
        // A value that repeats matches the previous line by chance: once
        // is not a shift.
        {"une coincidence", [&] {
             std::vector<std::string> v = attendues;
             v[10] = "x";
             v[11] = attendues[10];
             v[12] = "y";
             return v;
         }()},
    };
    for (const auto& [nom, obtenues] : cas)
        EXPECT_TRUE(analyser(attendues, obtenues).decalages.empty()) << nom;
}

TEST(AnalyserLigne, UneLigneQuiConcordeArreteLeDecalage)
{
    // One line missing at 100, one extra at 199: in step again after it.
    const std::vector<std::string> attendues = resultats(300);
    std::vector<std::string> obtenues(attendues.begin(), attendues.begin() + 99);
    obtenues.insert(obtenues.end(), attendues.begin() + 100, attendues.begin() + 199);
    obtenues.push_back("en trop");
    obtenues.insert(obtenues.end(), attendues.begin() + 199, attendues.end());
    const Analyse analyse = analyser(attendues, obtenues);
    ASSERT_EQ(analyse.decalages.size(), 1U);
    EXPECT_EQ(analyse.decalages[0].debut, 100);
    EXPECT_EQ(analyse.decalages[0].dernierExplique, 199);
    EXPECT_EQ(analyse.echecs, 100);
}

TEST(Diagnostiquer, CeQuiExpliqueLesEchecsDUneRemise)
{
    const std::vector<std::string> attendues = resultats(50);
    std::vector<std::string> crlf;
    for (const std::string& ligne : attendues)
        crlf.push_back(ligne + "\r");
    std::vector<std::string> manque(attendues.begin(), attendues.begin() + 19);
    manque.insert(manque.end(), attendues.begin() + 20, attendues.end());
    const struct {
        const char* nom;
        std::vector<std::string> obtenues;
        std::string diagnostic;
    } cas[] = {
        {"juste", attendues, ""},
        {"vide", {}, "fichier vide"},
        {"crlf", crlf, "fins de ligne CRLF (Windows)"},
        {"coupe", std::vector<std::string>(attendues.begin(), attendues.begin() + 30),
         "s'arr\xC3\xAAte apr\xC3\xA8s la ligne 30 (programme interrompu ?)"},
        {"manque", manque, "d\xC3\xA9" "cal\xC3\xA9 de 1 ligne (manquante) \xC3\xA0 partir de la ligne 20"},
    };
    for (const auto& [nom, obtenues, diagnostic] : cas)
        EXPECT_EQ(diagnostiquer(analyser(attendues, obtenues)), diagnostic) << nom;
}
