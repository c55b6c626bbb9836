#include "validation/explication/presentation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

const Presentation fichier{false, false};
const Presentation terminal{true, false};
const Presentation couleur{true, true};

std::string rapporter(const Echec& echec, const Presentation& presentation)
{
    std::ostringstream erreurs;
    presenterRapport(erreurs, echec, presentation);
    return erreurs.str();
}

std::vector<std::string> decouper(const std::string& texte)
{
    std::vector<std::string> lignes;
    std::istringstream flux(texte);
    for (std::string ligne; std::getline(flux, ligne);)
        lignes.push_back(ligne);
    return lignes;
}

// The report of V1 `attendue` and V2 `obtenue` on a terminal without colour.
std::vector<std::string> lignesTerminal(const std::string& attendue, const std::string& obtenue,
                                        bool fin = false)
{
    return decouper(rapporter({1, "trace", attendue, obtenue, fin}, terminal));
}

} // namespace

TEST(ChoisirPresentation, CouleurSurTerminalSelonNoColorEtTerm)
{
    const struct {
        bool terminal;
        const char* noColor;
        const char* term;
        bool couleur;
    } cas[] = {
        {true, nullptr, "xterm-256color", true},
        {true, "", "xterm", true},
        {true, "1", "xterm", false},
        {true, nullptr, nullptr, false},
        {true, nullptr, "", false},
        {true, nullptr, "dumb", false},
        {false, nullptr, "xterm", false},
    };
    for (const auto& [estTerminal, noColor, term, avecCouleur] : cas) {
        const Presentation p = choisirPresentation(estTerminal, noColor, term);
        EXPECT_EQ(p.terminal, estTerminal);
        EXPECT_EQ(p.couleur, avecCouleur) << (term ? term : "(TERM absent)");
    }
}

TEST(EcrireRapport, HorsTerminalOctetsTelsQuels)
{
    const std::string longue(10000, '\x1b');
    const std::string nul = "\0\x7f"s;
    const struct {
        Echec echec;
        std::string attendu;
    } cas[] = {
        {{5, "localiser", "5 0", " 6\t"}, "Ligne #5 (localiser) : \xC3\x89" "CHEC\n V1:5 0\n V2: 6\t\n"},
        {{12, "trace", "", "", true}, "Ligne #12 (trace) : \xC3\x89" "CHEC\n V1:\n V2:\n"},
        {{1, "a\x1b]0;b\x07", "\r\\\x9b\xC2\x9B", nul}, "Ligne #1 (a\x1b]0;b\x07) : \xC3\x89" "CHEC\n V1:\r\\\x9b\xC2\x9B\n V2:\0\x7f\n"s},
        {{2, "trace", longue, "x"}, "Ligne #2 (trace) : \xC3\x89" "CHEC\n V1:" + longue + "\n V2:x\n"},
    };
    for (const auto& [echec, attendu] : cas) {
        EXPECT_EQ(rapporter(echec, fichier), attendu);
        // Colour means nothing off a terminal.
        EXPECT_EQ(rapporter(echec, {false, true}), attendu);
    }
}

TEST(EcrireRapport, TerminalEchappeCeQuiAgiraitSurLuiEtLaBarreOblique)
{
    const struct {
        std::string texte;
        std::string visible;
    } cas[] = {
        {"", ""},
        {"texte ordinaire", "texte ordinaire"},
        {"a\tb", "a\tb"},
        {"\0\a\b\n\v\f\r"s, "\\0\\a\\b\\n\\v\\f\\r"},
        {"\x01\x1b[2J\x1f\x7f", "\\x01\\x1b[2J\\x1f\\x7f"},
        {"\\r n'est pas \r", "\\\\r n'est pas \\r"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E \xC2\xA0 \xC2\xA0\xC2\xBF",
         "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9D\x84\x9E \xC2\xA0 \xC2\xA0\xC2\xBF"},
        // C1 controls in UTF-8, then as raw bytes.
        {"\xC2\x9B" "2J\xC2\x80\xC2\x9F", "\\xc2\\x9b2J\\xc2\\x80\\xc2\\x9f"},
        {"\x9b" "2J\x80\x85\x9f", "\\x9b2J\\x80\\x85\\x9f"},
        // Overlong, surrogate, beyond U+10FFFF, cut short, stray bytes.
        {"\xC0\xAF\xE0\x80\xAF", "\\xc0\\xaf\\xe0\\x80\\xaf"},
        {"\xED\xA0\x80", "\\xed\\xa0\\x80"},
        {"\xF4\x90\x80\x80\xF8", "\\xf4\\x90\\x80\\x80\\xf8"},
        {"\xE2\x82x\xE2\x82", "\\xe2\\x82x\\xe2\\x82"},
        {"\xA9\xFF\xFE", "\\xa9\\xff\\xfe"},
        // Invisible or reordering: soft hyphen, ALM, ZWSP, RLO, word joiner,
        // isolates, BOM; their neighbours (U+00AC, U+200A, U+202F) show.
        {"a\xC2\xAD\xC2\xAC\xD8\x9C", "a\\xc2\\xad\xC2\xAC\\xd8\\x9c"},
        {"\xE2\x80\x8A\xE2\x80\x8B\xE2\x80\x8F\xE2\x80\xAE\xE2\x80\xAF",
         "\xE2\x80\x8A\\xe2\\x80\\x8b\\xe2\\x80\\x8f\\xe2\\x80\\xae\xE2\x80\xAF"},
        {"\xE2\x81\xA0\xE2\x81\xA9\xEF\xBB\xBF", "\\xe2\\x81\\xa0\\xe2\\x81\\xa9\\xef\\xbb\\xbf"},
    };
    for (const auto& [texte, visible] : cas) {
        const std::vector<std::string> lignes = lignesTerminal(texte, "#");
        ASSERT_GE(lignes.size(), 2U);
        EXPECT_EQ(lignes[1], " V1:" + visible);
    }
    EXPECT_EQ(rapporter({3, "tr\x1b]0;x\x07" "ace\xC2\x9D", "a", "b"}, terminal).substr(0, 48),
              "Ligne #3 (tr\\x1b]0;x\\aace\\xc2\\x9d) : \xC3\x89" "CHEC\n V1:");
    std::ostringstream chemin;
    ecrireChemin(chemin, "r\xC3\xA9p/\x1b[2J\xC2\x9B\\", terminal);
    EXPECT_EQ(chemin.str(), "r\xC3\xA9p/\\x1b[2J\\xc2\\x9b\\\\");
    std::ostringstream brut;
    ecrireChemin(brut, "r\xC3\xA9p/\x1b[2J", fichier);
    EXPECT_EQ(brut.str(), "r\xC3\xA9p/\x1b[2J");
}

TEST(EcrireRapport, CurseurSousLeDebutDeLaRegionDeV2)
{
    const struct {
        std::string attendue;
        std::string obtenue;
        std::string curseur; // after the four columns of " V2:"
    } cas[] = {
        {"Ulysse", "Ulysee", "    ^"},
        {"abc", "xbc", "^"},
        {"abc", "abx", "  ^"},
        {"12 345 678", "12 346 678", "     ^"},
        {"a b", " a  c ", "    ^"},
        {"abc", "ac", " ^"},
        {"caf\xC3\xA9 noir", "cafe noir", "   ^"},
        {"\xC3\xA9" "a", "\xC3\xA9" "b", " ^"},
        {"\xC3\xA9", "\xC3\xA8", "^"},
        {"\tx\tz", "\tx\ty", "\t \t^"},
        {"abcdef", "abc", "   ^"},
        {"abc", "", "^"},
        {"a\rb", "a\rc", "   ^"},
        {"\x1b[1mX", "\x1b[1mY", "       ^"},
        {"\\a", "\\b", "  ^"},
        {"\xC2\x9B" "a", "\xC2\x9B" "b", "        ^"},
    };
    for (const auto& [attendue, obtenue, curseur] : cas) {
        const std::vector<std::string> lignes = lignesTerminal(attendue, obtenue);
        ASSERT_GE(lignes.size(), 4U);
        EXPECT_EQ(lignes[3], "    " + curseur) << '"' << attendue << "\" / \"" << obtenue << '"';
    }
}

TEST(EcrireRapport, CouleurSurligneLesRegionsSansLigneDeCurseur)
{
    const struct {
        Echec echec;
        std::string sansCouleur;
        std::string avecCouleur;
    } cas[] = {
        {{7, "trace", "Ulysse", "Ulysee"},
         "Ligne #7 (trace) : \xC3\x89" "CHEC\n V1:Ulysse\n V2:Ulysee\n        ^\n",
         "Ligne #7 (trace) : \x1b[1;31m\xC3\x89" "CHEC\x1b[0m\n"
         " V1:Ulys\x1b[7ms\x1b[27me\n V2:Ulys\x1b[7me\x1b[27me\n"},
        {{8, "trace", "caf\xC3\xA9 1", "cafe 1"},
         "Ligne #8 (trace) : \xC3\x89" "CHEC\n V1:caf\xC3\xA9 1\n V2:cafe 1\n       ^\n",
         "Ligne #8 (trace) : \x1b[1;31m\xC3\x89" "CHEC\x1b[0m\n"
         " V1:caf\x1b[7m\xC3\xA9\x1b[27m 1\n V2:caf\x1b[7me\x1b[27m 1\n"},
        {{9, "trace", "ab", "AB", true},
         "Ligne #9 (trace) : \xC3\x89" "CHEC\n V1:ab\n V2:AB\n    ^\n"
         "  indice : fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test\n"
         "  indice : seule la casse des lettres diff\xC3\xA8re\n",
         "Ligne #9 (trace) : \x1b[1;31m\xC3\x89" "CHEC\x1b[0m\n"
         " V1:\x1b[7m" "ab\x1b[27m\n V2:\x1b[7m" "AB\x1b[27m\n"
         "\x1b[2m  indice : fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test\x1b[0m\n"
         "\x1b[2m  indice : seule la casse des lettres diff\xC3\xA8re\x1b[0m\n"},
    };
    for (const auto& [echec, sansCouleur, avecCouleur] : cas) {
        EXPECT_EQ(rapporter(echec, terminal), sansCouleur);
        EXPECT_EQ(rapporter(echec, couleur), avecCouleur);
    }
}

TEST(EcrireRapport, LigneLongueEnFenetre)
{
    const std::string debut(150000, 'a');
    const std::string fin(50000, 'b');
    const std::vector<std::string> lignes =
        lignesTerminal(debut + "Ulysse" + fin, debut + "Ulysee" + fin);
    ASSERT_EQ(lignes.size(), 4U);
    // The first 30 columns, 20 before the region and 30 from it on, the last 30.
    const std::string coupe1 = "[\xE2\x80\xA6 149 945 octets \xE2\x80\xA6]";
    const std::string coupe2 = "[\xE2\x80\xA6 49 942 octets \xE2\x80\xA6]";
    const std::string vue = std::string(30, 'a') + coupe1 + std::string(25, 'a') + "Ulys%e"
        + std::string(28, 'b') + coupe2 + std::string(30, 'b');
    std::string v1 = vue;
    std::string v2 = vue;
    v1.replace(v1.find('%'), 1, "s");
    v2.replace(v2.find('%'), 1, "e");
    EXPECT_EQ(lignes[1], " V1:" + v1);
    EXPECT_EQ(lignes[2], " V2:" + v2);
    EXPECT_EQ(lignes[3], std::string(4 + 30 + 20 + 25 + 4, ' ') + "^");

    // Millions of bytes that each print as four: still a short report.
    const std::string controles(3000000, '\x01');
    const std::string rapport =
        rapporter({1, "trace", controles + "a" + controles, controles + "b" + controles}, couleur);
    EXPECT_LT(rapport.size(), 2000U);
    EXPECT_NE(rapport.find("[\xE2\x80\xA6 2 999 985 octets \xE2\x80\xA6]"), std::string::npos)
        << rapport;
}

TEST(EcrireRapport, IndicesDeCeQuiSeLitMal)
{
    const struct {
        std::string attendue;
        std::string obtenue;
        bool fin;
        std::vector<std::string> indices;
    } cas[] = {
        {"a", "b", false, {}},
        {"a", "", true, {"fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test"}},
        {"a", "(X)", true, {"fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test"}},
        {"12 5\r", "12 5", false,
         {"seuls des retours chariot diff\xC3\xA8rent : fins de ligne Windows (\\r\\n) ?"}},
        {"a", "a\r\r b\r", false, {}},
        {"12 345", "12\xE2\x80\xAF" "345", false,
         {"espace ins\xC3\xA9" "cable U+202F l\xC3\xA0 o\xC3\xB9 l'autre ligne a une espace ou rien"}},
        {"a\xC2\xA0:", "a:", false,
         {"espace ins\xC3\xA9" "cable U+00A0 l\xC3\xA0 o\xC3\xB9 l'autre ligne a une espace ou rien"}},
        {"1\xE2\x80\x89" "2 3", "1 2\xC2\xA0" "3", false,
         {"espace ins\xC3\xA9" "cable U+00A0, U+2009 l\xC3\xA0 o\xC3\xB9 l'autre ligne a une espace ou rien"}},
        {"a\xC2\xA0x", "a b", false, {}},
        {"Ulysse a 3 ans", "ulysse A 3 ANS", false, {"seule la casse des lettres diff\xC3\xA8re"}},
        {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", false, {"seule la casse des lettres diff\xC3\xA8re"}},
        {"A\r", "a", false, {}},
    };
    for (const auto& [attendue, obtenue, fin, indices] : cas) {
        std::vector<std::string> obtenus;
        for (const std::string& ligne : lignesTerminal(attendue, obtenue, fin)) {
            if (ligne.rfind("  indice : ", 0) == 0)
                obtenus.push_back(ligne.substr(11));
        }
        EXPECT_EQ(obtenus, indices) << '"' << attendue << "\" / \"" << obtenue << '"';
    }
}
