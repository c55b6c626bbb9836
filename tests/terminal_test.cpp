#include "validation/explication/terminal.h"
#include "valider_chaines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const Presentation terminal{true, false};

std::string numeroter(const std::string& avant, int nombre, const std::string& apres = "")
{
    std::string texte;
    for (int i = 1; i <= nombre; ++i)
        texte += avant + std::to_string(i) + apres + "\n";
    return texte;
}

std::size_t compter(const std::string& texte, const std::string& motif)
{
    std::size_t nombre = 0;
    for (std::size_t pos = texte.find(motif); pos != std::string::npos; pos = texte.find(motif, pos + 1))
        ++nombre;
    return nombre;
}

std::string surTerminal(const std::string& test, const std::string& attendu, const std::string& votre)
{
    return valider(test, attendu, votre, false, false, terminal).erreurs;
}

} // namespace

TEST(SuivreLigne, PlafondDesRapportsAffichesEnEntier)
{
    const struct {
        int echecs;
        std::size_t rapports;
        bool plafond;
    } cas[] = {{plafondRapports, plafondRapports, false}, {plafondRapports + 1, plafondRapports, true}};
    for (const auto& [echecs, rapports, plafond] : cas) {
        const std::string erreurs =
            surTerminal(numeroter("trace ", echecs), numeroter("r", echecs), numeroter("faux ", echecs));
        EXPECT_EQ(compter(erreurs, "Ligne #"), rapports) << echecs;
        EXPECT_EQ(compter(erreurs, "rapports affich\xC3\xA9s : les \xC3\xA9" "checs suivants"), plafond ? 1U : 0U);
        EXPECT_EQ(compter(erreurs, "non affich\xC3\xA9s : 1 \xC3\xA9" "chec apr\xC3\xA8s les 20 premiers"), plafond ? 1U : 0U);
    }
}

TEST(SuivreLigne, UneCauseRepeteeSePlieApresTroisRapports)
{
    const struct {
        const char* nom;
        std::string votre;
        std::size_t rapports;
        std::string pli;
    } cas[] = {
        {"trois", "r1\r\nr2\r\nr3\r\nr4\nr5\n", 3, ""},
        {"quatre", "r1\r\nr2\r\nr3\r\nr4\r\nr5\n", 3, "\xE2\x80\xA6 1 ligne suivante (#4) en \xC3\xA9" "chec pour la m\xC3\xAAme cause (retours chariot)"},
        {"cinq", "r1\r\nr2\r\nr3\r\nr4\r\nr5\r\n", 3, "\xE2\x80\xA6 2 lignes suivantes (#4 \xC3\xA0 #5) en \xC3\xA9" "chec"},
        // A line that agrees closes the fold; the cause folds again at once.
        {"interrompu", "r1\r\nr2\r\nr3\r\nr4\nr5\r\n", 3, "\xE2\x80\xA6 1 ligne suivante (#5)"},
        // Another cause shows in full and closes the fold.
        {"autre", "r1\r\nr2\r\nr3\r\nR4\nr5\r\n", 4, "seule la casse des lettres diff\xC3\xA8re\n  \xE2\x80\xA6 1 ligne suivante (#5)"},
    };
    for (const auto& [nom, votre, rapports, pli] : cas) {
        const std::string erreurs = surTerminal(numeroter("trace ", 5), numeroter("r", 5), votre);
        EXPECT_EQ(compter(erreurs, "Ligne #"), rapports) << nom << '\n' << erreurs;
        if (!pli.empty()) {
            EXPECT_EQ(compter(erreurs, pli), 1U) << nom << '\n' << erreurs;
        }
    }
}

TEST(SuivreLigne, UnDecalageSeDitUneFoisEtPlieSesEchecs)
{
    // r5 is missing from the results.
    std::string votre;
    for (int i = 1; i <= 40; ++i) {
        if (i != 5)
            votre += "r" + std::to_string(i) + "\n";
    }
    const std::string erreurs = surTerminal(numeroter("localiser Bob ", 40), numeroter("r", 40), votre);
    EXPECT_EQ(compter(erreurs, "Ligne #"), 3U) << erreurs;
    EXPECT_EQ(compter(erreurs, "une ligne semble manquer dans le fichier test\xC3\xA9 \xC3\xA0 la ligne #5 "
                               "(`localiser Bob 5`) : les lignes suivantes sont d\xC3\xA9" "cal\xC3\xA9" "es d'une ligne"),
              1U);
    EXPECT_EQ(compter(erreurs, "\xE2\x80\xA6 33 lignes suivantes (#8 \xC3\xA0 #40) d\xC3\xA9" "cal\xC3\xA9" "es de la m\xC3\xAAme fa\xC3\xA7on : "
                               "non affich\xC3\xA9" "es (rapports complets : 2> rapport.txt)"),
              1U)
        << erreurs;
    EXPECT_EQ(compter(erreurs, "il explique 33 \xC3\xA9" "checs (#8 \xC3\xA0 #40)"), 1U);
}

TEST(EcrireRecap, UneLigneSansEchecEtDesAvertissementsPourLesRunsInsenses)
{
    const struct {
        const char* nom;
        std::string test;
        std::string attendu;
        std::string votre;
        std::string recap;
    } cas[] = {
        {"sans echec", "trace 1\ntrace 2\n", "a\nb\n", "a\nb\n",
         "R\xC3\xA9" "capitulatif : aucun \xC3\xA9" "chec, 2 lignes compar\xC3\xA9" "es qui concordent\n"},
        {"ligne blanche", "trace 1\n\ntrace 3\ntrace 4\n", "a\nb\nc\nd\n", "a\nb\nc\nd\n",
         "R\xC3\xA9" "capitulatif : aucun \xC3\xA9" "chec, 1 ligne compar\xC3\xA9" "e qui concordent\n"
         "  attention : la validation s'est arr\xC3\xAAt\xC3\xA9" "e \xC3\xA0 la ligne #2 du fichier de test, qui est vide ; "
         "2 lignes (16 octets) qui la suivent n'ont pas \xC3\xA9t\xC3\xA9 lues\n"},
        {"lignes en trop", "trace 1\n", "a\n", "a\nb\n",
         "R\xC3\xA9" "capitulatif : aucun \xC3\xA9" "chec, 1 ligne compar\xC3\xA9" "e qui concordent\n"
         "  attention : le fichier test\xC3\xA9 a des lignes apr\xC3\xA8s la ligne #1, la derni\xC3\xA8re du fichier de test : "
         "elles n'ont pas \xC3\xA9t\xC3\xA9 compar\xC3\xA9" "es\n"},
        {"mauvais ordre", "a\n", "a\n", "a\n",
         "R\xC3\xA9" "capitulatif : aucun \xC3\xA9" "chec, 1 ligne compar\xC3\xA9" "e qui concordent\n"
         "  attention : aucune ligne de test ne commence par trace, localiser, presences, frequentations ou "
         "duree_rencontres : les fichiers sont-ils dans l'ordre test, attendu, test\xC3\xA9 ?\n"},
        {"attendu vide", "trace 1\n", "", " \n",
         "R\xC3\xA9" "capitulatif : aucun \xC3\xA9" "chec, 1 ligne compar\xC3\xA9" "e qui concordent\n"
         "  attention : le fichier des r\xC3\xA9sultats attendus est vide\n"},
    };
    for (const auto& [nom, test, attendu, votre, recap] : cas)
        EXPECT_EQ(surTerminal(test, attendu, votre), recap) << nom;
}

TEST(EcrireRecap, EchecsParMotPremierEchecEtLegende)
{
    const std::string erreurs =
        surTerminal("trace 1\nautre 2\nlocaliser 3\n", "a\nb\nc\n", "a\nB\nC\n");
    const std::string fin = erreurs.substr(erreurs.find("R\xC3\xA9" "capitulatif"));
    EXPECT_EQ(fin, "R\xC3\xA9" "capitulatif : 2 lignes en \xC3\xA9" "chec sur 3 compar\xC3\xA9" "es, la premi\xC3\xA8re \xC3\xA0 la ligne #2 (autre)\n"
                   "  en \xC3\xA9" "chec/compar\xC3\xA9" "es : trace 0/1, localiser 1/1, presences 0/0, frequentations 0/0, "
                   "duree_rencontres 0/0, autre 1/1\n"
                   "  bilan ci-dessous, r\xC3\xA9ussies/compar\xC3\xA9" "es par commande : trace, localiser, presences, "
                   "frequentations, duree_rencontres\n");
    EXPECT_EQ(valider("trace 1\n", "a\n", "b\n", true, false, terminal).erreurs, "");
}
