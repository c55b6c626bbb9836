#include "validation/explication/affichage.h"
#include "validation/explication/difference.h"
#include "validation/explication/ecran.h"
#include "validation/explication/presentation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace std::string_literals;

namespace {

std::string ecrire(std::string_view texte, Region region, bool couleur)
{
    std::stringbuf tampon;
    Sortie sortie;
    sortie.flux = &tampon;
    ecrireTexte(sortie, texte, region, couleur, nullptr);
    vider(sortie);
    return tampon.str();
}

// A stream buffer that refuses every byte, as a full disk or a closed pipe.
struct TamponRefusant : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
    int sync() override { return -1; }
};

} // namespace

TEST(LirePoint, OctetsDeTeteAuxLimites)
{
    const struct {
        std::string octets;
        std::size_t longueur;
    } cas[] = {
        {"\x7F", 1},          {"\x80", 0},          {"\xC1\xBF", 0},      {"\xC2\x80", 2},
        {"\xDF\xBF", 2},      {"\xE0\x9F\xBF", 0},  {"\xE0\xA0\x80", 3},  {"\xED\x9F\xBF", 3},
        {"\xED\xA0\x80", 0},  {"\xEF\xBF\xBF", 3},  {"\xEF\xBF", 0},      {"\xF0\x8F\xBF\xBF", 0},
        {"\xF0\x90\x80\x80", 4}, {"\xF4\x8F\xBF\xBF", 4}, {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0},
        {"\xE2\x82\x41", 0},  {"\xC3", 0},
    };
    for (const auto& [octets, longueur] : cas)
        EXPECT_EQ(lirePoint(octets, 0).longueur, longueur) << testing::PrintToString(octets);
}

TEST(EstFormatInvisible, PremierEtDernierDeChaquePlage)
{
    const struct {
        unsigned point;
        bool invisible;
    } cas[] = {
        {0xAC, false},   {0xAD, true},    {0xAE, false},   {0x61B, false},  {0x61C, true},
        {0x61D, false},  {0x200A, false}, {0x200B, true},  {0x200F, true},  {0x2010, false},
        {0x2029, false}, {0x202A, true},  {0x202E, true},  {0x202F, false}, {0x205F, false},
        {0x2060, true},  {0x206F, true},  {0x2070, false}, {0xFEFE, false}, {0xFEFF, true},
        {0xFF00, false},
    };
    for (const auto& [point, invisible] : cas)
        EXPECT_EQ(estFormatInvisible(point), invisible) << std::hex << point;
    // C1 controls end at U+009F: U+00A0 shows as itself.
    EXPECT_TRUE(lireCaractere("\xC2\x9F", 0).echappe);
    EXPECT_FALSE(lireCaractere("\xC2\xA0", 0).echappe);
}

TEST(ChoisirFenetre, SeuilEtDistanceDeFusion)
{
    EXPECT_EQ(choisirFenetre({seuilFenetre, 0, 0}).nombre, 1U);
    EXPECT_EQ(choisirFenetre({seuilFenetre + 1, 0, 0}).nombre, 2U);
    // The region's start piece begins `contexte` columns before it; the
    // head ends at `tete`: a gap of exactly `fusion` columns is joined.
    const std::size_t largeur = 1000;
    const std::size_t joint = tete + fusion + contexte;
    EXPECT_EQ(choisirFenetre({largeur, joint, joint + 200}).morceaux[0].fin, joint + bord);
    const Fenetre separee = choisirFenetre({largeur, joint + 1, joint + 201});
    EXPECT_EQ(separee.morceaux[0].fin, tete);
    EXPECT_EQ(separee.morceaux[1].debut, joint + 1 - contexte);
}

TEST(EcrireTexte, CouleurAutourDUneCoupure)
{
    // A 300-byte region from column 100: its middle is cut.
    const std::string texte = std::string(100, 'a') + std::string(300, 'b') + std::string(100, 'c');
    const std::string ecrit = ecrire(texte, {100, 400}, true);
    EXPECT_NE(ecrit.find(std::string(20, 'a') + "\x1b[7m" + std::string(30, 'b') + "\x1b[27m\x1b[2m[\xE2\x80\xA6 240 octets \xE2\x80\xA6]\x1b[22m\x1b[7m"
                         + std::string(30, 'b') + "\x1b[27m" + std::string(20, 'c')),
              std::string::npos)
        << ecrit;
    EXPECT_EQ(ecrire("abc", {0, 0}, true), "abc");
    EXPECT_EQ(ecrire("\x01" "b", {0, 1}, true), "\x1b[7m\\x01\x1b[27m" "b");
}

TEST(TrouverRegions, RegionVideEnDebutDeLigne)
{
    Region a;
    Region b;
    trouverRegions("abc", "xabc", a, b);
    EXPECT_EQ(a.debut, 0U);
    EXPECT_EQ(a.fin, 0U);
    EXPECT_EQ(b.debut, 0U);
    EXPECT_EQ(b.fin, 1U);
    trouverRegions("\xC3\xA9t\xC3\xA9", "\xC3\xA8t\xC3\xA9", a, b);
    EXPECT_EQ(a.fin, 2U);
}

TEST(EcrireRapport, TerminalAuDelaDeQuatreKioctetsEtFluxEnPanne)
{
    // The command word is never cut: its report passes the 4 KiB buffer.
    const std::string mot(5000, 'm');
    std::ostringstream erreurs;
    presenterRapport(erreurs, {7, mot, "a", "b"}, {true, false});
    EXPECT_EQ(erreurs.str(), "Ligne #7 (" + mot + ") : \xC3\x89" "CHEC\n V1:a\n V2:b\n    ^\n");

    TamponRefusant refusant;
    for (const Presentation presentation : {Presentation{false, false}, Presentation{true, true}}) {
        std::ostream panne(&refusant);
        presenterRapport(panne, {1, "trace", "a", "b"}, presentation);
        EXPECT_TRUE(panne.bad()) << presentation.terminal;
    }
}

TEST(EcrireTexte, LaFenetreTientDansLesColonnesDonnees)
{
    for (const std::size_t longueur : {50U, 300U, 1100U, 200000U}) {
        // Escapes (four columns each), tabs and accents among the letters.
        // Under about 60 columns, three markers of a long line leave no room.
        std::string texte;
        for (std::size_t i = 0; texte.size() < longueur; ++i)
            texte += i % 17 == 0 ? "\x1b" : i % 23 == 0 ? "\t" : i % 5 == 0 ? "\xC3\xA9" : "a";
        for (const std::size_t colonnes : {60U, 75U, 115U, 250U}) {
            for (const std::size_t debut : {std::size_t{0}, texte.size() / 2, texte.size() - 1}) {
                for (const std::size_t etendue : {1U, 500U}) {
                    const Region region{debutCaractere(texte, debut),
                                        std::min(texte.size(), debutCaractere(texte, debut) + etendue)};
                    std::stringbuf tampon;
                    Sortie sortie;
                    sortie.flux = &tampon;
                    ecrireTexte(sortie, texte, region, false, nullptr, colonnes);
                    vider(sortie);
                    // Tabs as far as they can reach: from a column of eight.
                    EXPECT_EQ(compterRangees("        " + tampon.str(), colonnes + 8), 1U)
                        << longueur << " " << colonnes << " " << debut << " " << etendue << '\n' << tampon.str();
                }
            }
        }
    }
}
