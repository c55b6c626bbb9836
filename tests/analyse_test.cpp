#include "cours.h"
#include "validation/explication/analyse.h"
#include "validation/moteur/parcours.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

// N distinct expected results, one per test line.
std::vector<std::string> resultats(int nombre)
{
    std::vector<std::string> lignes;
    for (int i = 1; i <= nombre; ++i)
        lignes.push_back("r" + std::to_string(i * 7919 % 10007) + " en " + std::to_string(i) + " minutes");
    return lignes;
}

Analyse analyser(const std::vector<std::string>& attendues, const std::string& obtenues,
                 std::vector<Verdict>* verdicts = nullptr, bool alignerSuite = false)
{
    std::string test;
    for (std::size_t i = 0; i < attendues.size(); ++i)
        test += "localiser Bob " + std::to_string(i + 1) + "\n";
    std::istringstream fluxTest(test);
    std::istringstream fluxAttendu(joindreLignes(attendues));
    std::istringstream fluxVotre(obtenues);
    Analyse analyse;
    analyse.garderVerdicts = verdicts != nullptr;
    analyse.alignerSuite = alignerSuite;
    FinParcours fin;
    const auto prendre = [&] {
        Verdict verdict;
        while (verdicts != nullptr && prendreVerdict(analyse, verdict))
            verdicts->push_back(verdict);
    };
    parcourirLignes(fluxTest, fluxAttendu, fluxVotre, [&](const LigneComparee& ligne) {
        analyserLigne(analyse, ligne);
        prendre();
    }, fin);
    terminerAnalyse(analyse, fin);
    prendre();
    return analyse;
}

} // namespace

TEST(AnalyserLigne, UnDecalageExpliqueLesEchecsQuIlCause)
{
    // One line missing at 100, one extra after 199: in step again after it.
    const std::vector<std::string> attendues = resultats(300);
    std::vector<std::string> obtenues(attendues.begin(), attendues.begin() + 99);
    obtenues.insert(obtenues.end(), attendues.begin() + 100, attendues.begin() + 199);
    obtenues.push_back("en trop");
    obtenues.insert(obtenues.end(), attendues.begin() + 199, attendues.end());
    std::vector<Verdict> verdicts;
    const Analyse analyse = analyser(attendues, joindreLignes(obtenues), &verdicts);
    ASSERT_EQ(verdicts.size(), 300U);
    EXPECT_EQ(analyse.echecs, 100);
    EXPECT_EQ(analyse.expliques, 100);
    EXPECT_EQ(analyse.premierExplique, 100);
    EXPECT_EQ(analyse.dernierExplique, 199);
    EXPECT_EQ(analyse.alignement.realignees, 299);
    std::string sauts;
    for (const Verdict& verdict : verdicts) {
        for (const Saut& saut : verdict.sauts)
            sauts += std::to_string(verdict.numeroLigne) + ":" + decrireSaut(saut) + "\n";
    }
    EXPECT_EQ(sauts, "100:une ligne semble manquer dans le fichier test\xC3\xA9 \xC3\xA0 la ligne #100\n"
                     "200:une ligne de trop semble se trouver dans le fichier test\xC3\xA9 apr\xC3\xA8s la ligne #199\n");
    EXPECT_EQ(decrireSaut({true, 4, 12}), "4 lignes semblent manquer dans le fichier test\xC3\xA9 \xC3\xA0 la ligne #12");
    EXPECT_EQ(decrireSaut({false, 2, 0}),
              "deux lignes de trop semblent se trouver dans le fichier test\xC3\xA9 avant la ligne #1");
}

TEST(AnalyserLigne, LesReponsesPousseesApresLaFinSontRealignees)
{
    // Two lines printed first: the last two answers lie past the last test
    // line, the file ending without a newline.
    const std::vector<std::string> attendues = resultats(50);
    std::string obtenues = "debug\n\n" + joindreLignes(attendues);
    obtenues.pop_back();
    std::vector<Verdict> verdicts;
    const Analyse analyse = analyser(attendues, obtenues, &verdicts, true);
    EXPECT_EQ(analyse.alignement.realignees, 50);
    EXPECT_EQ(analyse.alignement.enTrop, 2);
    ASSERT_EQ(verdicts.size(), 50U);
    EXPECT_EQ(verdicts.back().numeroLigne, 50);
    EXPECT_EQ(analyser(attendues, obtenues).alignement.realignees, 48);
}

TEST(Diagnostiquer, CeQuiExpliqueLesEchecsDUneRemise)
{
    const std::vector<std::string> attendues = resultats(50);
    const auto transformer = [&attendues](auto changer) {
        std::vector<std::string> v;
        for (std::size_t i = 0; i < attendues.size(); ++i)
            v.push_back(changer(attendues[i], i));
        return v;
    };
    std::vector<std::string> manque(attendues.begin(), attendues.begin() + 19);
    manque.insert(manque.end(), attendues.begin() + 20, attendues.end());
    std::vector<std::string> trous;
    for (std::size_t i = 0; i < attendues.size(); ++i) {
        if (i % 10 != 9)
            trous.push_back(attendues[i]);
    }
    std::vector<std::string> melange = manque;
    melange.erase(melange.begin() + 30, melange.begin() + 33);
    melange.insert(melange.begin() + 5, "debug");
    const struct {
        const char* nom;
        std::string obtenues;
        std::string diagnostic;
    } cas[] = {
        {"juste", joindreLignes(attendues), ""},
        {"vide", "", "fichier vide"},
        {"crlf", joindreLignes(transformer([](const std::string& l, std::size_t) { return l + "\r"; })),
         "fins de ligne CRLF (Windows)"},
        {"coupe", joindreLignes(std::vector<std::string>(attendues.begin(), attendues.begin() + 30)),
         "s'arr\xC3\xAAte apr\xC3\xA8s la ligne 30 (programme interrompu ?)"},
        {"manque", joindreLignes(manque), "1 ligne manquante \xC3\xA0 la ligne 20"},
        // The last result missing too: no sign of a crash.
        {"trous", joindreLignes(trous),
         "4 lignes manquantes, la premi\xC3\xA8re \xC3\xA0 la ligne 10 ; s'arr\xC3\xAAte apr\xC3\xA8s la ligne 49"},
        {"crlf et manque", [&manque] {
             std::string v;
             for (const std::string& ligne : manque)
                 v += ligne + "\r\n";
             return v;
         }(), "fins de ligne CRLF (Windows) ; s'arr\xC3\xAAte apr\xC3\xA8s la ligne 49 (programme interrompu ?)"},
        {"melange", joindreLignes(melange), "4 lignes manquantes et 1 en trop, la premi\xC3\xA8re apr\xC3\xA8s la ligne 5"},
        {"en trop a la fin", joindreLignes(attendues) + "x\ny\nz", "3 lignes en trop apr\xC3\xA8s la derni\xC3\xA8re ligne de test"},
        // The line an extra one pushed past the end is no news.
        {"debug", [&attendues] {
             std::vector<std::string> v = attendues;
             v.insert(v.begin() + 10, "debug");
             return joindreLignes(v);
         }(), "1 ligne en trop apr\xC3\xA8s la ligne 10"},
        {"bom", "\xEF\xBB\xBF" + joindreLignes(attendues), "marque d'ordre des octets (BOM) en t\xC3\xAAte"},
        {"bom et crlf", "\xEF\xBB\xBF" + joindreLignes(transformer([](const std::string& l, std::size_t) { return l + "\r"; })),
         "fins de ligne CRLF (Windows) ; marque d'ordre des octets (BOM) en t\xC3\xAAte"},
        {"prefixe", joindreLignes(transformer([](const std::string& l, std::size_t) { return "> " + l; })),
         "un pr\xC3\xA9" "fixe devant les r\xC3\xA9sultats (50 lignes)"},
        {"casse", joindreLignes(transformer([](std::string l, std::size_t) { l[0] = 'R'; return l; })),
         "seule la casse diff\xC3\xA8re (50 lignes)"},
        {"utf-16", [&attendues] {
             std::string utf16 = "\xFF\xFE";
             for (const char octet : joindreLignes(attendues))
                 utf16 += std::string{octet, '\0'};
             return utf16;
         }(), "en UTF-16, pas en UTF-8"},
    };
    for (const auto& [nom, obtenues, diagnostic] : cas)
        EXPECT_EQ(diagnostiquer(analyser(attendues, obtenues)), diagnostic) << nom;
}

TEST(Diagnostiquer, UneCelluleCourteQuelQueSoitLeFichier)
{
    // An empty line printed after every result, CRLF ends, junk after the end.
    const Cours cours = genererCours(3000, 11);
    std::string obtenues;
    for (const std::string& ligne : cours.attendus)
        obtenues += ligne + "\n\n";
    obtenues += std::string(100000, 'x');
    const Analyse analyse = analyser(cours.attendus, obtenues);
    const std::string diagnostic = diagnostiquer(analyse);
    std::size_t caracteres = 0;
    for (const char octet : diagnostic)
        caracteres += (static_cast<unsigned char>(octet) & 0xC0) != 0x80 ? 1 : 0;
    EXPECT_LE(caracteres, 120U) << diagnostic;
    EXPECT_EQ(diagnostic.find(" lignes en trop, la premi\xC3\xA8re "), 4U) << diagnostic;
    EXPECT_EQ(diagnostic.find("trops"), std::string::npos);
}
