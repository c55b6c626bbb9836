#include "classe/decouverte.h"
#include "classe/tableau.h"
#include "classe/vue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

std::string cellule(std::string_view texte, Format format)
{
    std::ostringstream sortie;
    ecrireTexte(sortie, texte, format);
    return sortie.str();
}

void compter(LigneVue& ligne, std::string_view texte)
{
    compterFrequent(ligne, calculerEmpreinte(texte), texte);
}

} // namespace

TEST(RendreInoffensif, SeulsLesOctetsDangereuxDeviennentDesPointsDInterrogation)
{
    const struct {
        std::string_view texte;
        std::string_view attendu;
    } cas[] = {
        {"dupont marie/votre.resultat", "dupont marie/votre.resultat"},
        {"\xC3\xA9lodie \xE2\x82\xAC \xF0\x9F\x98\x80", "\xC3\xA9lodie \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"a\tb\nc\rd\r", "a?b?c\\rd\\r"},
        {std::string_view("\0\x1B[2J\x7F", 6), "??[2J?"},
        {"\xC2\x9B" "31m \xC2\xA0", "?31m \xC2\xA0"},           // C1 CSI, then a no-break space kept
        {"\xE2\x80\xAE" "txt \xE2\x80\xA8 \xE2\x81\xA6 \xD8\x9C", "?txt ? ? ?"}, // bidi, separator
        {"\xE2\x80\xAD\xE2\x80\xAF", "?\xE2\x80\xAF"},           // U+202D, then U+202F kept
        {"\xFF\xC3(\xE0\x80\x80\xED\xA0\x80\xC3", "??" "(???????"}, // invalid, overlong, surrogate, cut
        // Code points that show nothing: U+200B, U+FEFF, U+2060, U+00AD, a
        // variation selector, a tag; U+200A (a visible space) is kept.
        {"a\xE2\x80\x8B" "b\xEF\xBB\xBF" "c\xE2\x81\xA0\xC2\xAD\xEF\xB8\x8F\xF3\xA0\x80\x81\xE2\x80\x8A",
         "a?b?c????\xE2\x80\x8A"},
    };
    for (const auto& [texte, attendu] : cas)
        EXPECT_EQ(rendreInoffensif(texte), attendu) << testing::PrintToString(std::string(texte));
}

TEST(EcrireTexte, GuillemetsEnCsvQuandIlFaut)
{
    EXPECT_EQ(cellule("alice/votre.resultat", Format::csv), "alice/votre.resultat");
    EXPECT_EQ(cellule("a;b", Format::csv), "\"a;b\"");
    EXPECT_EQ(cellule("5 : \"Bob\"", Format::csv), "\"5 : \"\"Bob\"\"\"");
    EXPECT_EQ(cellule("a\r\nb;", Format::csv), "\"a\\r?b;\"");
    EXPECT_EQ(cellule("a;\"b\tc", Format::tsv), "a;\"b?c");
}

TEST(EcrireTexte, AucuneCelluleNAgit)
{
    // A spreadsheet takes these for formulas; the apostrophe makes them text.
    EXPECT_EQ(cellule("=HYPERLINK(\"x\")", Format::csv), "\"'=HYPERLINK(\"\"x\"\")\"");
    EXPECT_EQ(cellule("+1+1", Format::csv), "'+1+1");
    EXPECT_EQ(cellule("-2+3", Format::csv), "'-2+3");
    EXPECT_EQ(cellule("@SUM(1;2)", Format::csv), "\"'@SUM(1;2)\"");
    EXPECT_EQ(cellule("-2+3", Format::tsv), "-2+3");
    EXPECT_EQ(cellule("\tx", Format::csv), "?x");
    EXPECT_EQ(cellule("\rx", Format::csv), "\\rx");
    EXPECT_EQ(cellule("a=b", Format::csv), "a=b");
    // A leading quote opens a quoted field for quote-aware TSV readers.
    EXPECT_EQ(cellule("\"aaa\tb", Format::tsv), "'\"aaa?b");
    EXPECT_EQ(cellule("a\"b", Format::tsv), "a\"b");
}

TEST(RessembleAuMotif, CasseEtSuffixeEnTrop)
{
    const struct {
        std::string_view nom;
        bool ressemble;
    } cas[] = {
        {"votre.resultat", false},     {"votre.RESULTAT", true}, {"Votre.Resultat", true},
        {"votre.resultat.txt", true},  {"votre.resultat.old.2", true},
        {"votre.res", false},          {"LISEZMOI", false},      {".resultat", false},
        {"votre.resultats", false},
    };
    for (const auto& [nom, ressemble] : cas)
        EXPECT_EQ(ressembleAuMotif(nom, "*.resultat"), ressemble) << nom;
}

TEST(CompterFrequent, ExactTantQueLesValeursTiennentDansLesCompteurs)
{
    LigneVue ligne;
    for (const char* texte : {"b", "a", "b", "c", "b", "a", "d", "e", "f"})
        compter(ligne, texte);
    // Spellings that agree once blanks are removed are one wrong result,
    // kept under the smallest spelling whatever the order they came in.
    compter(ligne, "a ");
    compter(ligne, " a");
    std::vector<Frequent> tries = ligne.frequents;
    std::sort(tries.begin(), tries.end(),
              [](const Frequent& x, const Frequent& y) { return x.compte > y.compte; });
    ASSERT_EQ(tries.size(), compteursParLigne);
    EXPECT_EQ(tries[0].texte, " a");
    EXPECT_EQ(tries[0].compte, 4);
    EXPECT_EQ(tries[1].texte, "b");
    EXPECT_EQ(tries[1].compte, 3);
}

TEST(CompterFrequent, UneValeurFrequenteResteMalgreLesRaresQuiPassent)
{
    LigneVue ligne;
    for (int i = 0; i < 100; ++i) {
        compter(ligne, "souvent");
        compter(ligne, "rare " + std::to_string(i));
    }
    ASSERT_EQ(ligne.frequents.size(), compteursParLigne);
    const auto souvent = std::find_if(ligne.frequents.begin(), ligne.frequents.end(),
                                      [](const Frequent& f) { return f.texte == "souvent"; });
    ASSERT_NE(souvent, ligne.frequents.end());
    EXPECT_EQ(souvent->compte, 100);
}

TEST(CouperApercu, CoupeEntreDeuxCaracteres)
{
    EXPECT_EQ(couperApercu(std::string(longueurApercu, 'a')), std::string(longueurApercu, 'a'));
    const std::string long1 = std::string(longueurApercu - 1, 'a') + "\xC3\xA9z";
    EXPECT_EQ(couperApercu(long1), std::string(longueurApercu - 1, 'a') + "\xE2\x80\xA6");
    const std::string long2 = std::string(longueurApercu, 'a') + "b";
    EXPECT_EQ(couperApercu(long2), std::string(longueurApercu, 'a') + "\xE2\x80\xA6");
}
