#include "validation/explication/indices.h"
#include "validation/explication/unicode.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

const std::string finTeste =
    "fin du fichier test\xC3\xA9, qui a moins de lignes que le fichier de test";
const std::string finAttendu = "fin du fichier attendu, qui a moins de lignes que le fichier de test";
const std::string coupee = "fin du fichier test\xC3\xA9 en cours de ligne : programme interrompu ?";
const std::string retours = "seuls des retours chariot diff\xC3\xA8rent : fins de ligne Windows (\\r\\n) ?";
const std::string casse = "seule la casse des lettres diff\xC3\xA8re";
const std::string insecable = "espace ins\xC3\xA9" "cable ";
const std::string ouRien = " l\xC3\xA0 o\xC3\xB9 l'autre ligne a une espace ou rien";

Echec echec(std::string_view attendue, std::string_view obtenue, std::int64_t ligne = 2)
{
    Echec resultat;
    resultat.numeroLigne = ligne;
    resultat.commande = "trace";
    resultat.attendue = attendue;
    resultat.obtenue = obtenue;
    return resultat;
}

std::vector<std::string> textes(const Echec& cas)
{
    std::vector<std::string> resultat;
    for (const Indice& indice : trouverIndices(cas))
        resultat.push_back(indice.texte);
    return resultat;
}

// The text of the hint for `cause`, empty when there is none.
std::string texte(const Echec& cas, Cause cause)
{
    for (const Indice& indice : trouverIndices(cas)) {
        if (indice.cause == cause)
            return indice.texte;
    }
    return {};
}

std::string encoder(unsigned point)
{
    char octets[4];
    return std::string(octets, encoderUtf8(point, octets));
}

} // namespace

TEST(TrouverIndices, TextesAnciensEtOrdre)
{
    Echec fin = echec("ab", "AB");
    fin.finFichierTeste = true;
    EXPECT_EQ(textes(fin), (std::vector<std::string>{finTeste, casse}));
    Echec deuxFins = echec("", "\r");
    deuxFins.finFichierTeste = true;
    deuxFins.finFichierAttendu = true;
    EXPECT_EQ(textes(deuxFins), (std::vector<std::string>{finTeste, finAttendu, retours}));
    EXPECT_EQ(textes(echec("12 5\r", "12 5")), std::vector<std::string>{retours});
    EXPECT_EQ(textes(echec("a", "a\r\r b\r")), std::vector<std::string>{});
    EXPECT_EQ(textes(echec("a", "b")), std::vector<std::string>{});
    EXPECT_EQ(textes(echec("A\r", "a")), std::vector<std::string>{});
    Echec nonFini = echec("a", "");
    EXPECT_EQ(textes(nonFini), std::vector<std::string>{});
    nonFini.finFichierAttendu = true;
    EXPECT_EQ(textes(nonFini), std::vector<std::string>{finAttendu});
}

TEST(TrouverIndices, LigneCoupee)
{
    const struct {
        std::string attendue, obtenue;
        bool sansSaut, finTeste, indice;
    } cas[] = {
        {"Alice rencontre Bob", "Alice renc", true, false, true},
        {"Al ice", "A\tlic", true, false, true},
        {"Alice", "Alice renc", true, false, false},
        {"Alice", "Alice!", true, false, false},
        {"Alice", "Alix", true, false, false},
        {"Alice", "", true, false, false},
        {"Alice", "  ", true, false, false},
        {"Alice  ", "Alice", true, false, false},
        {"Alice rencontre Bob", "Alice renc", false, false, false},
        {"(X)", "(X", true, true, false},
    };
    for (const auto& [attendue, obtenue, sansSaut, finTeste, indice] : cas) {
        Echec ligne = echec(attendue, obtenue);
        ligne.obtenueSansSaut = sansSaut;
        ligne.finFichierTeste = finTeste;
        EXPECT_EQ(texte(ligne, causeCoupee), indice ? coupee : "")
            << '"' << attendue << "\" / \"" << obtenue << '"';
    }
    // Cut inside a character: not a matter of encoding.
    Echec caractereCoupe = echec("caf\xC3\xA9", "caf\xC3");
    caractereCoupe.obtenueSansSaut = true;
    EXPECT_EQ(textes(caractereCoupe), std::vector<std::string>{coupee});
    caractereCoupe.obtenueSansSaut = false;
    EXPECT_NE(texte(caractereCoupe, causePasUtf8), "");
}

TEST(TrouverIndices, MarqueOrdreAuDebutDeLaPremiereLigne)
{
    const std::string bom = "\xEF\xBB\xBF";
    const std::string avant = "BOM (U+FEFF) au d\xC3\xA9" "but du fichier ";
    const std::string apres = " : l'enregistrer sans BOM";
    const struct {
        std::string attendue, obtenue;
        std::int64_t ligne;
        std::string marque;
    } cas[] = {
        {"trace 1", bom + "trace 1", 1, avant + "test\xC3\xA9" + apres},
        {bom + "trace 1", "trace 1", 1, avant + "attendu" + apres},
        {"trace 1", bom + " trace\t1", 1, avant + "test\xC3\xA9" + apres},
        {bom + "a", bom + "b", 1, ""},
        {"trace 1", bom + "trace 2", 1, ""},
        {"trace 1", bom + "trace 1", 2, ""},
        {"trace 1", " " + bom + "trace 1", 1, ""},
        {"trace 1", "\xEF\xBB" "trace 1", 1, ""},
    };
    for (const auto& [attendue, obtenue, ligne, marque] : cas) {
        const Echec premiere = echec(attendue, obtenue, ligne);
        EXPECT_EQ(texte(premiere, causeMarqueOrdre), marque) << ligne << " \"" << obtenue << '"';
        // Said once: the same character makes no second hint as an invisible one.
        if (!marque.empty()) {
            EXPECT_EQ(textes(premiere).size(), 1U);
        }
    }
    EXPECT_NE(texte(echec("trace 1", bom + "trace 1", 2), causeInvisible), "");
}

TEST(TrouverIndices, InsecablesNommesDansLaRegionQuiDiffere)
{
    const struct { std::string attendue, obtenue; std::string noms; } cas[] = {
        {"12 345", "12\xE2\x80\xAF" "345", "U+202F"},
        {"a\xC2\xA0:", "a:", "U+00A0"},
        {"1\xE2\x80\x89" "2 3", "1 2\xC2\xA0" "3", "U+00A0, U+2009"},
        // The region is where the lines part: the U+00A0 both have is not named.
        {"1 \xC2\xA0" "2 3\xE2\x80\xAF" "4", "1\xC2\xA0" "2 34", "U+202F"},
        {"1\xC2\xA0" "2 34", "1\t\xC2\xA0" "2 3\xE2\x80\xAF" "4 ", "U+202F"},
        {"3\xE2\x80\xAF" "4\xC2\xA0" "5", "34\xC2\xA0" "5 ", "U+202F"},
        {"34\xC2\xA0" "5\t", "3\xE2\x80\xAF" "4\xC2\xA0" "5", "U+202F"},
        {"1\xC2\xA0" "2 x\xE2\x80\xAF", "1\xC2\xA0" "2x\xE2\x80\x89", "U+202F, U+2009"},
        {"a\xC2\xA0x", "a b", ""},
        {"a\xC2\xA0", "a\xC2", ""},
    };
    for (const auto& [attendue, obtenue, noms] : cas) {
        EXPECT_EQ(texte(echec(attendue, obtenue), causeInsecable),
                  noms.empty() ? "" : insecable + noms + ouRien)
            << '"' << attendue << "\" / \"" << obtenue << '"';
    }
}

TEST(TrouverIndices, CasseDesLettresLatines)
{
    const struct { unsigned x; unsigned y; bool indice; } paires[] = {
        {'A', 'a', true}, {'Z', 'z', true}, {'@', '`', false}, {'[', '{', false},
        {0xC0, 0xE0, true}, {0xDE, 0xFE, true}, {0xBF, 0xDF, false}, {0xDF, 0xFF, false},
        {0xD7, 0xF7, false}, {0xC9, 0xE9, true}, {0x178, 0xFF, true}, {0xB5, 0x39C, false},
        {0x100, 0x101, true}, {0x12E, 0x12F, true}, {0x12F, 0x130, false},
        {0x130, 'i', true}, {0x130, 'I', false}, {0x130, 0x131, false},
        {0x131, 'I', true}, {0x131, 'i', false},
        {0x132, 0x133, true}, {0x136, 0x137, true}, {0x137, 0x138, false}, {0x138, 0x139, false},
        {0x139, 0x13A, true}, {0x147, 0x148, true}, {0x148, 0x149, false}, {0x149, 0x14A, false},
        {0x14A, 0x14B, true}, {0x176, 0x177, true}, {0x177, 0x178, false},
        {0x179, 0x17A, true}, {0x17D, 0x17E, true}, {0x17E, 0x17F, false},
        {0x17F, 'S', true}, {0x17F, 's', false},
        {0x180, 0x181, false}, {0x181, 0x253, false}, {0x391, 0x3B1, false}, {0x414, 0x434, false},
    };
    for (const auto& [x, y, indice] : paires) {
        const std::string a = "Zo" + encoder(x) + " 1";
        const std::string b = "ZO" + encoder(y) + "1";
        EXPECT_EQ(texte(echec(a, b), causeCasse), indice ? casse : "") << std::hex << x << ' ' << y;
        EXPECT_EQ(texte(echec(b, a), causeCasse), indice ? casse : "") << std::hex << y << ' ' << x;
    }
    EXPECT_EQ(texte(echec("Zo\xC3\xA9 \xC3", "ZO\xC3\x89\xC3"), causeCasse), casse);
    EXPECT_EQ(texte(echec("Zo\xC3\xA9", "ZO\xC3\x89\xC3"), causeCasse), "");

    // Whatever differs only by ASCII case byte for byte, blanks aside, still
    // does once characters are read.
    std::mt19937 hasard(15);
    const std::string octets = "aAbB \t\xC3\xA9\x89";
    for (int essai = 0; essai < 20000; ++essai) {
        std::string a;
        std::string b;
        for (std::size_t n = hasard() % 6; n > 0; --n) {
            const char octet = octets[hasard() % octets.size()];
            const bool blanc = octet == ' ' || octet == '\t';
            a += octet;
            if (!blanc)
                b += octet >= 'a' && octet <= 'z' ? static_cast<char>(octet - 'a' + 'A') : octet;
            if (hasard() % 3 == 0)
                b += '\t';
        }
        EXPECT_EQ(texte(echec(a, b), causeCasse), casse) << '"' << a << "\" / \"" << b << '"';
    }
}

TEST(TrouverIndices, AccentsDecomposes)
{
    const std::string dansB = "accents d\xC3\xA9" "compos\xC3\xA9s (NFD) dans V2, pr\xC3\xA9" "compos\xC3\xA9s (NFC) dans V1";
    const std::string dansA = "accents d\xC3\xA9" "compos\xC3\xA9s (NFD) dans V1, pr\xC3\xA9" "compos\xC3\xA9s (NFC) dans V2";
    const std::string deux = "accents tant\xC3\xB4t d\xC3\xA9" "compos\xC3\xA9s (NFD), tant\xC3\xB4t "
                             "pr\xC3\xA9" "compos\xC3\xA9s (NFC)";
    const std::string aigu = "\xCC\x81";
    const struct { std::string attendue, obtenue; std::string indice; } cas[] = {
        {"caf\xC3\xA9 1", "cafe" + aigu + " 1", dansB},
        {"cafe" + aigu, "caf\xC3\xA9", dansA},
        {"\xC3\xA9" "e" + aigu, "e" + aigu + "\xC3\xA9", deux},
        {"\xC3\x80", "A\xCC\x80", dansB},           // U+00C0, the first
        {"\xC3\xBF", "y\xCC\x88", dansB},           // U+00FF
        {"\xC4\xB0", "I\xCC\x87", dansB},           // U+0130
        {"\xC5\xBE", "z\xCC\x8C", dansB},           // U+017E, the last
        {"\xC3\xA7" "a", "c \xCC\xA7" "a", dansB},  // blanks aside
        {"\xC3\xA9", "x" + aigu, ""},
        {"\xC3\xA9", "e\xCC\x80", ""},
        {"\xC3\xA9", "E" + aigu, ""},
        {"\xC3\xA9", "e", ""},
        {"e", "e" + aigu, ""},
        {"\xC3\xA9", "e" + aigu + aigu, ""},
        {"\xC3\x86", "A" + aigu, ""},               // U+00C6, no decomposition
        {"\xC4\x90", "D\xCC\xB5", ""},              // U+0110, none either
        {"\xC7\x8E", "a\xCC\x8C", ""},              // U+01CE, past the blocks
        {"\xC3\xA9", "e\xCC", ""},
    };
    for (const auto& [attendue, obtenue, indice] : cas) {
        EXPECT_EQ(texte(echec(attendue, obtenue), causeDecomposition), indice)
            << '"' << attendue << "\" / \"" << obtenue << '"';
    }
}

TEST(TrouverIndices, PasUtf8)
{
    const std::string relue = "sortie en Latin-1 / Windows-1252 ? V2, lue ainsi, concorde avec V1";
    const std::string invalide = "la ligne obtenue n'est pas de l'UTF-8 valide, l'attendue l'est";
    const struct { std::string attendue, obtenue; std::string indice; } cas[] = {
        {"x", "x\xC1\x81", invalide},
        {"x", "x\xC2\x80", ""},
        {"x", "x\xE0\x9F\xBF", invalide},
        {"x", "x\xE0\xA0\x80", ""},
        {"x", "x\xED\x9F\xBF", ""},
        {"x", "x\xED\xA0\x80", invalide},
        {"x", "x\xEF\xBF\xBF", ""},
        {"x", "x\xEF\xBF", invalide},
        {"x", "x\xF0\x8F\xBF\xBF", invalide},
        {"x", "x\xF0\x90\x80\x80", ""},
        {"x", "x\xF4\x8F\xBF\xBF", ""},
        {"x", "x\xF4\x90\x80\x80", invalide},
        {"x", "x\xF5\x80\x80\x80", invalide},
        {"x", "x\x80", invalide},
        {"caf\xC3\xA9", "caf\xE9", relue},
        {"\xC3\xA9t \xC3\xA9", "\xE9t\xE9", relue},
        {"5\xE2\x82\xAC", "5\x80", relue},          // Windows-1252's euro sign
        {"\xC2\x81" "a", "\x81" "a", relue},        // a byte it leaves to Latin-1
        {"\xC5\x93uvre", "\x9C" "uvre", relue},
        {"caf\xC3\xA9", "caf\xE8", invalide},
        {"caf\xC3\xA9", "cafe\xE9", invalide},
        {"caf\xE9", "caf\xE8", ""},
        {"caf\xC3\xA9", "caf\xC3\xA8", ""},
    };
    for (const auto& [attendue, obtenue, indice] : cas) {
        EXPECT_EQ(texte(echec(attendue, obtenue), causePasUtf8), indice)
            << '"' << attendue << "\" / \"" << obtenue << '"';
    }
}

TEST(TrouverIndices, DoubleEncodage)
{
    const std::string indice = "texte encod\xC3\xA9 deux fois en UTF-8 dans V2 "
                               "(\xC2\xAB \xC3\x83\xC2\xA9 \xC2\xBB pour \xC2\xAB \xC3\xA9 \xC2\xBB)";
    const struct { std::string attendue, obtenue; bool indice; } cas[] = {
        {"Zo\xC3\xA9", "Zo\xC3\x83\xC2\xA9", true},
        {"n\xC3\xA9 \xC3\xA0", "n\xC3\x83\xC2\xA9\xC3\x83\xC2\xA0", true},
        {"\xE2\x82\xAC", "\xC3\xA2\xE2\x80\x9A\xC2\xAC", true},  // the euro sign, Windows-1252
        {"\xE2\x82\xAC", "\xC3\xA2\xC2\x82\xC2\xAC", true},      // and Latin-1
        {"\xF0\x9F\x98\x80", "\xC3\xB0\xC5\xB8\xCB\x9C\xE2\x82\xAC", true},
        {"Zo\xC3\xA9", "Zo\xC3\x83", false},
        {"Zo\xC3\xA9", "Zo\xC3\x83\xC2\xA9!", false},
        {"Zo\xC3\xA9", "Zo\xC3\x83\xC2\xA8", false},
        {"Zoe", "Zoe\xC3\x83\xC2\xA9", false},
        {"Zo\xC3", "Zo\xC3\x83", false},
    };
    for (const auto& [attendue, obtenue, oui] : cas) {
        EXPECT_EQ(texte(echec(attendue, obtenue), causeDoubleEncodage), oui ? indice : "")
            << '"' << attendue << "\" / \"" << obtenue << '"';
    }
}

TEST(TrouverIndices, VirguleDecimale)
{
    const std::string virgule = "virgule d\xC3\xA9" "cimale dans V2 l\xC3\xA0 o\xC3\xB9 V1 a un point (3,14 pour 3.14)";
    const std::string point = "point d\xC3\xA9" "cimal dans V2 l\xC3\xA0 o\xC3\xB9 V1 a une virgule (3.14 pour 3,14)";
    const std::string deux = "virgules et points entre chiffres \xC3\xA9" "chang\xC3\xA9s entre les "
                             "deux lignes";
    const struct { std::string attendue, obtenue; std::string indice; } cas[] = {
        {"pi 3.14", "pi 3,14", virgule},
        {"0,5 et 9,0", "0.5 et 9.0", point},
        {"1,000.5", "1.000,5", deux},
        {"3 . 14", "3,14", virgule},
        {"a.b", "a,b", ""},
        {"3.x", "3,x", ""},
        {"x.3", "x,3", ""},
        {".5", ",5", ""},
        {"3.", "3,", ""},
        {"3.14", "3,15", ""},
        {"3.14", "3;14", ""},
        {"3.,4", "3,.4", ""},
    };
    for (const auto& [attendue, obtenue, indice] : cas) {
        EXPECT_EQ(texte(echec(attendue, obtenue), causeVirgule), indice)
            << '"' << attendue << "\" / \"" << obtenue << '"';
    }
}

TEST(TrouverIndices, CaracteresInvisiblesNommes)
{
    const std::string un = "caract\xC3\xA8re invisible";
    const std::string plusieurs = "caract\xC3\xA8res invisibles";
    // The first and last code point of each range, and their neighbours.
    const struct { unsigned point; std::string nom; } bornes[] = {
        {0xAC, ""}, {0xAD, "U+00AD trait d'union conditionnel"}, {0xAE, ""},
        {0x61B, ""}, {0x61C, "U+061C marque de lettre arabe"}, {0x61D, ""},
        {0x200A, ""}, {0x200B, "U+200B espace sans chasse"},
        {0x200F, "U+200F marque droite \xC3\xA0 gauche"}, {0x2010, ""},
        {0x2029, ""}, {0x202A, "U+202A ench\xC3\xA2ssement gauche \xC3\xA0 droite"},
        {0x202E, "U+202E for\xC3\xA7" "age droite \xC3\xA0 gauche"}, {0x202F, ""},
        {0x205F, ""}, {0x2060, "U+2060 gluon de mots"},
        {0x2065, "U+2065 caract\xC3\xA8re non attribu\xC3\xA9"},
        {0x206F, "U+206F commande de formatage obsol\xC3\xA8te"}, {0x2070, ""},
        {0xFEFE, ""}, {0xFEFF, "U+FEFF indicateur d'ordre des octets"}, {0xFF00, ""},
    };
    for (const auto& [point, nom] : bornes) {
        EXPECT_EQ(texte(echec("a b", "a" + encoder(point) + "b"), causeInvisible),
                  nom.empty() ? "" : un + " dans la ligne obtenue : " + nom)
            << std::hex << point;
        EXPECT_EQ(texte(echec(" a" + encoder(point) + encoder(point) + "b", "ab"), causeInvisible),
                  nom.empty() ? "" : un + " dans la ligne attendue : " + nom)
            << std::hex << point;
    }
    const std::string zwsp = "\xE2\x80\x8B";
    const std::string lrm = "\xE2\x80\x8E";
    const struct { std::string attendue, obtenue; std::string indice; } cas[] = {
        {"ab", "a" + lrm + "b" + zwsp, plusieurs + " dans la ligne obtenue : U+200B espace sans "
                                                   "chasse, U+200E marque gauche \xC3\xA0 droite"},
        {zwsp + "ab", "a" + lrm + "b",
         plusieurs + " : U+200B espace sans chasse (attendue), U+200E marque gauche \xC3\xA0 "
                     "droite (obtenue)"},
        {zwsp + "ab", "a" + zwsp + "b",
         un + " \xC3\xA0 des places diff\xC3\xA9rentes dans les deux lignes : U+200B espace sans chasse"},
        {zwsp + "ab" + zwsp, "a" + zwsp + "b" + zwsp + lrm,
         un + " dans la ligne obtenue : U+200E marque gauche \xC3\xA0 droite"},
        {"ab", "a" + zwsp + "c", ""},
        {"ab", "a\xE2\x80" "b", ""},
    };
    for (const auto& [attendue, obtenue, indice] : cas) {
        EXPECT_EQ(texte(echec(attendue, obtenue), causeInvisible), indice)
            << '"' << attendue << "\" / \"" << obtenue << '"';
    }
    for (unsigned point = 0; point < 0x10000; ++point) {
        const std::size_t rang = classerInvisible(point);
        ASSERT_EQ(rang < nombreInvisibles, estFormatInvisible(point)) << std::hex << point;
        if (rang == nombreInvisibles)
            continue;
        std::ostringstream code;
        code << "U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0') << point << ' ';
        EXPECT_EQ(nommerInvisible(rang).substr(0, 7), code.str());
        // A name is shown on a terminal as is: nothing in it may be a control or invisible.
        const std::string nom = nommerInvisible(rang);
        for (std::size_t pos = 0; pos < nom.size(); pos += lirePoint(nom, pos).longueur) {
            const Point caractere = lirePoint(nom, pos);
            const bool visible = caractere.code >= 0xA0
                || (caractere.code >= 0x20 && caractere.code < 0x7F);
            ASSERT_TRUE(caractere.longueur > 0 && visible && !estFormatInvisible(caractere.code))
                << nom;
        }
    }
}
