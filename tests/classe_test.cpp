#include "classe/decouverte/decouverte.h"
#include "classe/sorties/tableau.h"
#include "classe/tables/fusion.h"
#include "classe/tables/partage.h"
#include "classe/vue/vue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

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

TEST(CompterFrequent, ExactQuelQueSoitLeNombreDeResultatsDifferents)
{
    // Sixteen submissions wrong on one line with ten distinct results: 4,
    // 3, 2, then 1 each. Spellings that agree once blanks are removed are
    // one result, kept under the smallest spelling.
    LigneVue ligne;
    for (const char* texte : {"b", "a", "b", "c", "b", "a ", "d", "e", "f", "g", "h", " a", "c", "i", "a", "j"})
        compter(ligne, texte);
    const std::vector<Frequent> tries = ordonnerResultats(ligne);
    ASSERT_EQ(tries.size(), 10U);
    const std::pair<std::string, std::int64_t> attendus[] = {{" a", 4}, {"b", 3}, {"c", 2}, {"d", 1}, {"e", 1}};
    for (std::size_t i = 0; i < std::size(attendus); ++i) {
        EXPECT_EQ(tries[i].texte, attendus[i].first);
        EXPECT_EQ(tries[i].compte, attendus[i].second);
    }
    EXPECT_EQ(tries.back().texte, "j");
}

namespace {

// Submissions as the workers hand them in: failures of lines 1 to 3.
std::vector<EchecVue> echecs(std::initializer_list<std::pair<std::int64_t, std::string>> liste)
{
    std::vector<EchecVue> resultat;
    for (const auto& [numero, texte] : liste)
        resultat.push_back({numero, calculerEmpreinte(texte), couperApercu(texte)});
    return resultat;
}

std::string ecrire(const VueClasse& vue, std::size_t maximum)
{
    std::ostringstream sortie;
    ecrireVue(sortie, vue, Format::tsv, maximum);
    return sortie.str();
}

} // namespace

TEST(PrendreRemise, LaMemeVueDansToutOrdreSansLesErreursDeForme)
{
    const std::vector<std::vector<EchecVue>> remises = {
        echecs({{1, "x"}, {2, "=1"}}), echecs({{2, "=1 "}, {3, "z"}}), echecs({{2, "y"}}),
        echecs({{1, "x"}, {2, "y"}}),  echecs({}),                     echecs({{3, "z"}})};
    std::string premiere;
    std::vector<std::size_t> ordre = {0, 1, 2, 3, 4, 5, 6};
    do {
        VueClasse vue;
        vue.lignes.resize(3);
        vue.tests = {"trace 1", "localiser A", "presences 3"};
        for (const std::size_t i : ordre) {
            if (i == 6)
                prendreRemise(vue, echecs({{1, "w"}, {2, "w"}, {3, "w"}}), true); // CRLF, shifted...
            else
                prendreRemise(vue, remises[i], false);
        }
        EXPECT_EQ(vue.remises.load(), 6);
        EXPECT_EQ(vue.ecartees.load(), 1);
        const std::string texte = ecrire(vue, 0);
        if (premiere.empty())
            premiere = texte;
        EXPECT_EQ(texte, premiere);
    } while (std::next_permutation(ordre.begin(), ordre.end()));
    // Ties: most failed first, then by line; results by count, then by text.
    EXPECT_EQ(premiere, "ligne\ttest\techecs\tpart (%)\tresultat_1\tnombre_1\tresultat_2\tnombre_2\tresultat_3\tnombre_3\n"
                        "2\tlocaliser A\t4\t66.7\t=1\t2\ty\t2\t\t\n"
                        "1\ttrace 1\t2\t33.3\tx\t2\t\t\t\t\n"
                        "3\tpresences 3\t2\t33.3\tz\t2\t\t\t\t\n");
    VueClasse vue;
    vue.lignes.resize(3);
    vue.toutes = true;
    prendreRemise(vue, echecs({{2, "w"}}), true);
    EXPECT_EQ(vue.remises.load(), 1);
    EXPECT_EQ(ecrire(vue, 0).substr(ecrire(vue, 0).find('\n') + 1, 2), "2\t");
}

TEST(EcrireVue, AuPlusLeNombreDeLignesDemande)
{
    VueClasse vue;
    vue.lignes.resize(5);
    for (std::int64_t i = 1; i <= 5; ++i)
        prendreRemise(vue, echecs({{i, "r"}}), false);
    const auto rangees = [](const std::string& texte) { return std::count(texte.begin(), texte.end(), '\n'); };
    EXPECT_EQ(rangees(ecrire(vue, 2)), 3);
    EXPECT_EQ(rangees(ecrire(vue, 0)), 6);
    EXPECT_EQ(resumerVue(vue, 2), " (2 lignes sur 5, --lignes-max)");
    EXPECT_EQ(resumerVue(vue, 5), "");
}

TEST(CouperApercu, CoupeEntreDeuxCaracteres)
{
    EXPECT_EQ(couperApercu(std::string(longueurApercu, 'a')), std::string(longueurApercu, 'a'));
    const std::string long1 = std::string(longueurApercu - 1, 'a') + "\xC3\xA9z";
    EXPECT_EQ(couperApercu(long1), std::string(longueurApercu - 1, 'a') + "\xE2\x80\xA6");
    const std::string long2 = std::string(longueurApercu, 'a') + "b";
    EXPECT_EQ(couperApercu(long2), std::string(longueurApercu, 'a') + "\xE2\x80\xA6");
}

TEST(ChoisirPart, ChaqueRangeeDansUnePartEtUneSeule)
{
    for (const std::size_t total : {0U, 1U, 7U, 60U, 1001U}) {
        for (const std::size_t parts : {1U, 2U, 4U, 8U, 13U}) {
            std::size_t suivante = 0;
            for (std::size_t part = 1; part <= parts; ++part) {
                const Tranche tranche = choisirPart(total, part, parts);
                EXPECT_EQ(tranche.debut, suivante);
                EXPECT_LE(tranche.fin - tranche.debut, total / parts + 1);
                suivante = tranche.fin;
            }
            EXPECT_EQ(suivante, total);
        }
    }
}

TEST(DecouperRangee, LesCellulesCommeLesLitUnLecteur)
{
    for (const std::string_view nom : {"=cmd/votre.resultat", "\"a;b\"", "'x", "-2", "a\"b"}) {
        for (const Format format : {Format::tsv, Format::csv}) {
            const std::string rangee = cellule(nom, format) + (format == Format::tsv ? "\tok\n" : ";ok\r\n");
            const std::vector<std::string> cellules = decouperRangee(rangee, format);
            ASSERT_EQ(cellules.size(), 2U) << rangee;
            EXPECT_EQ(cellules[0], nom) << rangee;
            EXPECT_EQ(cellules[1], "ok");
        }
    }
}
