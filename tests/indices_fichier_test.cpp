#include "validation/explication/indices.h"
#include "validation/explication/indices_fichier.h"
#include "validation/explication/mots.h"
#include "validation/explication/utf16.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

// The hint of one cause for a disagreeing line, empty when there is none.
std::string indicePour(std::string_view attendue, std::string_view obtenue, Cause cause)
{
    Echec echec;
    echec.numeroLigne = 2;
    echec.commande = "frequentations";
    echec.attendue = attendue;
    echec.obtenue = obtenue;
    for (const Indice& indice : trouverIndices(echec)) {
        if (indice.cause == cause)
            return indice.texte;
    }
    return {};
}

} // namespace

TEST(Utf16, MarquesEtOctetsNuls)
{
    const auto ordre = [](std::string_view debut) { return reconnaitreUtf16(debut).ordre; };
    EXPECT_TRUE(reconnaitreUtf16("\xFF\xFE" "B\0o\0"s).marque);
    EXPECT_EQ(ordre("\xFF\xFE"), OrdreUtf16::petitBoutiste);
    EXPECT_EQ(ordre("\xFE\xFF\0B"s), OrdreUtf16::grandBoutiste);
    EXPECT_EQ(ordre("B\0o\0b\0 \0:\0"s), OrdreUtf16::petitBoutiste);
    EXPECT_EQ(ordre("\0B\0o\0b\0 \0:"s), OrdreUtf16::grandBoutiste);
    EXPECT_FALSE(reconnaitreUtf16("B\0o\0b\0"s).marque);
    // UTF-8, a binary start, too few bytes: nothing.
    EXPECT_EQ(ordre("Zo\xC3\xA9 : hall"), OrdreUtf16::aucun);
    EXPECT_EQ(ordre("\0\0\0\0\0\0\0\0"s), OrdreUtf16::aucun);
    EXPECT_EQ(ordre("B\0"s), OrdreUtf16::aucun);
    EXPECT_EQ(ordre("\xEF\xBB\xBF" "Bob"), OrdreUtf16::aucun);

    // A line of an ASCII file in UTF-16 LE, the next one starting with the
    // zero of the previous newline, the last one that zero alone.
    EXPECT_TRUE(estLigneUtf16("B\0o\0b\0\r\0"s));
    EXPECT_TRUE(estLigneUtf16("\0Z\0o\0\xE9\0\r\0"s));
    EXPECT_TRUE(estLigneUtf16("\0"s));
    EXPECT_FALSE(estLigneUtf16(""));
    EXPECT_FALSE(estLigneUtf16("Bob : dehors"));
    EXPECT_FALSE(estLigneUtf16("un octet nul\0 perdu dans une longue ligne"s));
}

TEST(Mots, OrdreSeparateursPrefixe)
{
    EXPECT_TRUE(ontMotsDansAutreOrdre("Zo\xC3\xA9 : Bob, Chlo\xC3\xA9", "Zo\xC3\xA9 : Chlo\xC3\xA9, Bob"));
    EXPECT_TRUE(ontMotsDansAutreOrdre("Bob et L\xC3\xA9" "a : 1.25 h", "L\xC3\xA9" "a et Bob : 1.25 h"));
    // Numbers and names with inner punctuation are one word each.
    EXPECT_FALSE(ontMotsDansAutreOrdre("3.14 h", "14.3 h"));
    EXPECT_FALSE(ontMotsDansAutreOrdre("Bob : hall", "Bob : hall, foyer"));
    EXPECT_FALSE(ontMotsDansAutreOrdre("Bob", "bob"));
    EXPECT_FALSE(ontMotsDansAutreOrdre("a a b", "a b b"));

    Separateurs separateurs = trouverSeparateurs("Zo\xC3\xA9 : Bob, Chlo\xC3\xA9", "Zo\xC3\xA9 : Bob ; Chlo\xC3\xA9");
    ASSERT_TRUE(separateurs.trouves);
    EXPECT_EQ(separateurs.attendu, ", ");
    EXPECT_EQ(separateurs.obtenu, " ; ");
    EXPECT_TRUE(trouverSeparateurs("hall -> foyer", "hall > foyer").trouves);
    EXPECT_FALSE(trouverSeparateurs("Bob : hall", "Bob : foyer").trouves);
    EXPECT_FALSE(trouverSeparateurs("", "").trouves);

    EXPECT_EQ(trouverPrefixe("Bob : hall", "> Bob : hall"), "> ");
    EXPECT_EQ(trouverPrefixe("", ">  "), ">  ");
    EXPECT_EQ(trouverPrefixe("12", "R\xC3\xA9sultat : 12"), "R\xC3\xA9sultat : ");
    // A digit more, a word more, a whole line where none was expected: no
    // invite; nor where nothing is before the expected line.
    EXPECT_EQ(trouverPrefixe("2 h", "12 h"), "");
    EXPECT_EQ(trouverPrefixe("hall", "Bob hall"), "");
    EXPECT_EQ(trouverPrefixe("", "Bob : dehors"), "");
    EXPECT_EQ(trouverPrefixe("", "Bob :"), "");
    EXPECT_EQ(trouverPrefixe("Bob", "Bob"), "");
    EXPECT_EQ(trouverPrefixe("Bob", "a very long label of many words: Bob"), "");

    // Lines too long to be worth a view of each word.
    const std::string longue(longueurMotsMax, 'x');
    EXPECT_TRUE(ontMotsDansAutreOrdre("a b", "b a"));
    EXPECT_FALSE(ontMotsDansAutreOrdre("a b " + longue, "b a " + longue));
    EXPECT_FALSE(trouverSeparateurs("a, " + longue, "a; " + longue).trouves);
    EXPECT_EQ(trouverPrefixe(longue, "> " + longue), "");

    EXPECT_EQ(citerCourt(" ; "), ";");
    EXPECT_EQ(citerCourt("\x1b[2J"), "");
}

TEST(TrouverIndices, AutresMotsEtUtf16)
{
    EXPECT_EQ(indicePour("Bob : hall", "> Bob : hall", causePrefixe),
              "V2 commence par \xC2\xAB > \xC2\xBB de plus que V1 (une invite avant le r\xC3\xA9sultat ?)");
    EXPECT_EQ(indicePour("Zo\xC3\xA9 : Bob, L\xC3\xA9" "a", "Zo\xC3\xA9 : L\xC3\xA9" "a, Bob", causeOrdre),
              "les m\xC3\xAAmes mots que V1, dans un autre ordre");
    EXPECT_EQ(indicePour("Zo\xC3\xA9 : Bob, L\xC3\xA9" "a", "Zo\xC3\xA9 : Bob ; L\xC3\xA9" "a", causeSeparateur),
              "les m\xC3\xAAmes mots que V1, s\xC3\xA9par\xC3\xA9s autrement (\xC2\xAB ; \xC2\xBB pour "
              "\xC2\xAB , \xC2\xBB)");
    EXPECT_EQ(indicePour("Bob, Zo\xC3\xA9", "Bob Zo\xC3\xA9", causeSeparateur),
              "les m\xC3\xAAmes mots que V1, s\xC3\xA9par\xC3\xA9s autrement (rien pour \xC2\xAB , \xC2\xBB)");
    // A more telling hint comes alone: carriage returns are not separators.
    EXPECT_EQ(indicePour("Bob, Zo\xC3\xA9", "Bob, Zo\xC3\xA9\r", causeSeparateur), "");
    EXPECT_EQ(indicePour("3.14", "3,14", causeSeparateur), "");
    // ASCII in UTF-16 is valid UTF-8 all the same: its zeros tell it.
    EXPECT_EQ(indicePour("Bob : hall", "\0B\0o\0b\0 \0:\0 \0h\0a\0l\0l\0\r"s, causeUtf16),
              "V2 est en UTF-16 (un octet nul par lettre) : r\xC3\xA9" "enregistrer en UTF-8");
    EXPECT_NE(indicePour("\0"s, "", causeUtf16), "");
}

TEST(IndicesFichier, Utf16TamponInversionVides)
{
    EXPECT_EQ(indiquerUtf16({OrdreUtf16::petitBoutiste, true}, true),
              "le fichier test\xC3\xA9 est en UTF-16 LE avec BOM : r\xC3\xA9" "enregistrer en UTF-8 "
              "(PowerShell 5 ? rediriger avec cmd /c)");
    EXPECT_EQ(indiquerUtf16({OrdreUtf16::grandBoutiste, false}, false),
              "le fichier attendu est en UTF-16 BE sans BOM : r\xC3\xA9" "enregistrer en UTF-8");
    EXPECT_EQ(indiquerUtf16({}, true), "");

    EXPECT_EQ(indiquerTamponPerdu({8192, true}),
              "fichier test\xC3\xA9 coup\xC3\xA9 \xC3\xA0 8 192 octets, multiple de 4 096 : plantage ? "
              "(tampon de stdio jamais vid\xC3\xA9)");
    EXPECT_NE(indiquerTamponPerdu({4096 * 250, true}), "");
    // A whole file of that size, a file cut elsewhere, an empty one: no.
    EXPECT_EQ(indiquerTamponPerdu({8192, false}), "");
    EXPECT_EQ(indiquerTamponPerdu({8191, true}), "");
    EXPECT_EQ(indiquerTamponPerdu({0, true}), "");

    const auto inverses = [](std::string_view attendu, std::string_view teste, bool attenduCourt = false,
                             bool testeCourt = false, std::int64_t echecs = 3) {
        return !indiquerInversion({attendu, teste, echecs, attenduCourt, testeCourt}).empty();
    };
    EXPECT_FALSE(inverses("solution.resultat", "votre.resultat"));
    EXPECT_FALSE(inverses("a.txt", "b.txt"));
    EXPECT_FALSE(inverses("sorties/attendu.txt", "sorties/mon.txt", false, true));
    EXPECT_FALSE(inverses("1.out", "ma_sortie.txt"));
    EXPECT_TRUE(inverses("votre.resultat", "solution.resultat"));
    EXPECT_TRUE(inverses("tp3/Ma_Sortie.txt", "a.txt"));
    EXPECT_TRUE(inverses("a.txt", "b.txt", true, false));
    EXPECT_FALSE(inverses("a.txt", "b.txt", true, true));
    EXPECT_FALSE(inverses("votre.resultat", "solution.resultat", false, false, 0));

    EXPECT_TRUE(estResultatVide(" \t"));
    EXPECT_FALSE(estResultatVide("\r"));
    EXPECT_EQ(indiquerResultatsVidesOmis(70, 70),
              "70 lignes manquantes ont un r\xC3\xA9sultat vide : \xC3\xA9" "crire une ligne vide");
    EXPECT_EQ(indiquerResultatsVidesOmis(20, 19),
              "20 lignes manquantes, 19 \xC3\xA0 r\xC3\xA9sultat vide : \xC3\xA9" "crire une ligne vide");
    EXPECT_EQ(indiquerResultatsVidesOmis(1, 1), "");
    EXPECT_EQ(indiquerResultatsVidesOmis(10, 5), "");
}

// The facts of a whole run, its lines given as the loop gives them.
TEST(IndicesFichier, FaitsReleves)
{
    const auto relever = [](const std::vector<std::string>& obtenues, std::size_t lignes, bool sansSaut) {
        FaitsFichiers faits;
        for (std::size_t i = 0; i < lignes; ++i) {
            LigneComparee ligne;
            ligne.numeroLigne = static_cast<std::int64_t>(i + 1);
            ligne.attendue = "Bob : hall";
            ligne.finTeste = i >= obtenues.size();
            ligne.obtenue = ligne.finTeste ? std::string_view("(X)") : std::string_view(obtenues[i]);
            ligne.obtenueSansSaut = sansSaut && i + 1 == obtenues.size();
            ligne.identiques = ligne.obtenue == ligne.attendue;
            releverFaits(faits, ligne);
        }
        return faits;
    };
    // 4 095 bytes and a newline, then a line cut short: a lost buffer.
    const std::string longue(4095, 'x');
    FaitsFichiers faits = relever({longue, "Bob : ha"}, 3, false);
    EXPECT_EQ(faits.octetsTeste, 4096U + 9U);
    faits = relever({longue, "Bob : hal", "Bob"}, 4, true);
    EXPECT_EQ(faits.octetsTeste, 4096U + 10U + 3U);
    faits = relever({longue}, 3, false);
    EXPECT_TRUE(faits.testeFini);
    EXPECT_EQ(indiquerFichiers(faits, "attendu", "votre").size(), 1U);
    // Every line there, the last one without a newline but whole: no crash.
    faits = relever({longue.substr(0, 4085), "Bob : hall"}, 2, true);
    EXPECT_EQ(faits.octetsTeste, 4096U);
    EXPECT_TRUE(indiquerFichiers(faits, "attendu", "votre").empty());

    faits = relever({"\xFF\xFE" "B\0o\0b\0\r\0"s, "\0B\0o\0b\0\r\0"s}, 2, false);
    ASSERT_EQ(indiquerFichiers(faits, "a", "b").size(), 1U);
    EXPECT_EQ(indiquerFichiers(faits, "a", "b")[0].substr(0, 43), "le fichier test\xC3\xA9 est en UTF-16 LE avec BOM");
    EXPECT_TRUE(indiquerFichiers(relever({"Bob : hall"}, 1, false), "votre", "solution").empty());
}
