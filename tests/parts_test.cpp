#include "classe/sorties/empreinte.h"
#include "classe/tables/bordereau.h"
#include "classe/tables/controle_parts.h"

#include <gtest/gtest.h>

TEST(Empreinte, FnvUnA64)
{
    EXPECT_EQ(ecrireEmpreinte(empreindreTexte("")), "cbf29ce484222325");
    EXPECT_EQ(ecrireEmpreinte(empreindreTexte("a")), "af63dc4c8601ec8c");
    EXPECT_EQ(ecrireEmpreinte(empreindreTexte("foobar")), "85944171f73967e8");

    // Whatever the pieces a file is read in; and one byte changed shows.
    const std::string texte = "presences 12 14\nlocaliser \xC3\xA9l\xC3\xA8ve 3\r\n\n";
    for (std::size_t morceau = 1; morceau < 12; ++morceau) {
        Empreinte empreinte;
        for (std::size_t i = 0; i < texte.size(); i += morceau)
            empreindre(empreinte, std::string_view(texte).substr(i, morceau));
        EXPECT_EQ(terminerEmpreinte(empreinte), empreindreTexte(texte)) << morceau;
    }
    for (std::size_t i = 0; i < texte.size(); ++i) {
        std::string autre = texte;
        autre[i] = static_cast<char>(autre[i] ^ 0x20);
        EXPECT_NE(empreindreTexte(autre), empreindreTexte(texte)) << i;
    }
}

namespace {

Bordereau fairePart(std::size_t part, std::int64_t modifiee, std::uint64_t contenu)
{
    Bordereau b;
    b.finie = true;
    b.part = part;
    b.parts = 3;
    b.version = "1.3.0";
    b.faite = 100 + static_cast<std::int64_t>(part);
    b.options = {{"--motif", "*.resultat"}};
    b.corrige = {{"fichier de test", "0123456789abcdef"}};
    b.remises = {{"\xC3\xA9lodie 1/votre.resultat", 7, 5}, {"zo\xC3\xA9\t2\\n/x", contenu, modifiee}};
    b.avertissements = {"r/a.txt : ignor\xC3\xA9, hors du motif *.resultat"};
    b.notees = 2;
    b.arrets = {{3, 2}};
    b.tableau = 42;
    return b;
}

} // namespace

TEST(Bordereau, ReluTelQuEcrit)
{
    const Bordereau ecrit = fairePart(2, 9, 0xfedcba9876543210);
    Bordereau lu;
    std::string erreur;
    ASSERT_TRUE(lireBordereau(ecrireBordereau(ecrit), lu, erreur)) << erreur;
    EXPECT_EQ(ecrireBordereau(lu), ecrireBordereau(ecrit));
    EXPECT_EQ(lu.remises[1].nom, ecrit.remises[1].nom);
    EXPECT_EQ(lu.remises[1].empreinte, ecrit.remises[1].empreinte);

    // Cut short, it is no slip; begun and never ended, it says so.
    const std::string texte = ecrireBordereau(ecrit);
    EXPECT_FALSE(lireBordereau(texte.substr(0, texte.size() - 4), lu, erreur));
    Bordereau enCours;
    enCours.part = 1;
    enCours.parts = 3;
    ASSERT_TRUE(lireBordereau(ecrireBordereau(enCours), lu, erreur));
    EXPECT_FALSE(lu.finie);
}

TEST(Bordereau, LaPartPerimeeEstLaPlusAncienneMemeMajoritaire)
{
    // Two shares saw a submission before it changed, one after: the two
    // agree, yet one of them is the one named.
    std::vector<PartLue> parts = {{"p3.tab", fairePart(3, 20, 2), 42},
                                  {"p1.tab", fairePart(1, 10, 1), 42},
                                  {"p2.tab", fairePart(2, 10, 1), 42}};
    const std::optional<Refus> refus = verifierParts(parts, {}, false);
    ASSERT_TRUE(refus);
    EXPECT_TRUE(refus->chemin == "p1.tab" || refus->chemin == "p2.tab") << refus->chemin;
    EXPECT_NE(refus->motif.find("p\xC3\xA9rim\xC3\xA9" "e"), std::string::npos) << refus->motif;
}
