#include "validation/comparaison.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace std::string_literals;

TEST(EnleverEspaces, RetireEspacesEtTabulationsSeulement)
{
    const struct {
        std::string ligne;
        std::string attendu;
    } cas[] = {
        {"", ""},
        {"   ", ""},
        {"\t \t", ""},
        {"abc", "abc"},
        {" a b\tc ", "abc"},
        {"10 5", "105"},
        {"a\r", "a\r"},
        {"\v\f\r\n", "\v\f\r\n"},
        {"a\0 b"s, "a\0b"s},
        {"caf\xC3\xA9 \xC2\xA0x", "caf\xC3\xA9\xC2\xA0x"},
    };
    for (const auto& [ligne, attendu] : cas)
        EXPECT_EQ(enleverEspaces(ligne), attendu) << '"' << ligne << '"';
}

TEST(EstIdentique, Exemples)
{
    const struct {
        std::string attendue;
        std::string obtenue;
        bool identiques;
    } cas[] = {
        {"1 2 3", "1  2\t3", true},
        {"1 2 3", "123", true},
        {"", "   ", true},
        {"", "", true},
        {"\tx", "x", true},
        {"x ", " x", true},
        {"", "\r", false},
        {"ligne\r", "ligne", false},
        {"Trace", "trace", false},
        {"abc", "abd", false},
        {"abc", "ab", false},
        {"ab", "abc ", false},
        {"a\0b"s, "a\0 b"s, true},
        {"a\0b"s, "a\0c"s, false},
        {"\xC2\xA0", "", false},
        {"x\v", "x", false},
    };
    for (const auto& [attendue, obtenue, identiques] : cas) {
        EXPECT_EQ(estIdentique(attendue, obtenue), identiques)
            << '"' << attendue << "\" / \"" << obtenue << '"';
        EXPECT_EQ(estIdentique(obtenue, attendue), identiques)
            << "symétrie: \"" << attendue << "\" / \"" << obtenue << '"';
    }
}

// The walk over both lines must decide exactly as comparing the lines once
// stripped of their blanks.
TEST(EstIdentique, AccordAvecLesLignesSansEspaces)
{
    const std::string alphabet = " \t\r\nab\0\xC3"s;
    std::mt19937 hasard(12345);
    std::uniform_int_distribution<std::size_t> longueur(0, 8);
    std::uniform_int_distribution<std::size_t> lettre(0, alphabet.size() - 1);
    const auto tirer = [&] {
        std::string ligne(longueur(hasard), ' ');
        for (char& octet : ligne)
            octet = alphabet[lettre(hasard)];
        return ligne;
    };
    for (int i = 0; i < 200000; ++i) {
        const std::string a = tirer();
        const std::string b = tirer();
        ASSERT_EQ(estIdentique(a, b), enleverEspaces(a) == enleverEspaces(b))
            << '"' << a << "\" / \"" << b << '"';
    }
}

// Lines that differ only in their blanks, across the lengths where the
// comparison changes strategy (words of 8 bytes, short copies, long walks),
// and the same lines with one byte changed.
TEST(EstIdentique, EspacementSeulAToutesLesLongueurs)
{
    std::mt19937 hasard(678);
    std::uniform_int_distribution<int> lettre('a', 'e');
    std::uniform_int_distribution<int> de(0, 5);
    for (std::size_t longueur = 0; longueur < 300; ++longueur) {
        std::string a;
        std::string b;
        for (std::size_t i = 0; i < longueur; ++i) {
            const char octet = static_cast<char>(lettre(hasard));
            a += octet;
            b += octet;
            if (de(hasard) == 0)
                a += ' ';
            if (de(hasard) == 0)
                b += de(hasard) < 3 ? "\t" : "  ";
        }
        ASSERT_TRUE(estIdentique(a, b)) << '"' << a << "\" / \"" << b << '"';
        ASSERT_TRUE(estIdentique(b, a)) << '"' << a << "\" / \"" << b << '"';
        if (longueur == 0)
            continue;
        std::string change = b;
        const std::size_t position = std::uniform_int_distribution<std::size_t>(0, b.size() - 1)(hasard);
        change[position] = change[position] == ' ' || change[position] == '\t' ? 'z' : 'Z';
        ASSERT_FALSE(estIdentique(a, change)) << '"' << a << "\" / \"" << change << '"';
        ASSERT_FALSE(estIdentique(change, a)) << '"' << a << "\" / \"" << change << '"';
    }
}

TEST(OntMemesOctets, ChaqueOctetCompteAToutesLesLongueurs)
{
    for (std::size_t longueur = 0; longueur < 80; ++longueur) {
        std::string a(longueur, ' ');
        for (std::size_t i = 0; i < longueur; ++i)
            a[i] = static_cast<char>('!' + i % 90);
        ASSERT_TRUE(ontMemesOctets(a, a + ""));
        ASSERT_FALSE(ontMemesOctets(a, a + "x"));
        for (std::size_t i = 0; i < longueur; ++i) {
            std::string b = a;
            b[i] = '\0';
            ASSERT_FALSE(ontMemesOctets(a, b)) << "longueur " << longueur << ", octet " << i;
        }
    }
}

// Lengths on both sides of every step of the comparison's fast paths (8-byte
// words, 16-byte blocks, 32 and 64 bytes, a reading block), one line far
// longer than the other: the SSSE3 and plain paths decide as the rule does.
TEST(EstIdentique, AToutesLesTaillesCommeLaRegle)
{
    const std::size_t tailles[] = {0, 1, 3, 7, 8, 9, 15, 16, 17, 31, 32, 33,
                                   63, 64, 65, 127, 128, 129, 262143, 262144, 262145};
    std::string texte;
    std::string espace;
    std::string blancs;
    for (std::size_t i = 0; texte.size() < 262146; ++i) {
        const char octet = static_cast<char>(i % 11 == 5 ? ' ' : 'a' + i % 23);
        texte += octet;
        espace += octet == ' ' ? " \t " : std::string(1, octet);
        blancs += i % 3 == 0 ? '\t' : ' ';
    }
    for (const std::size_t na : tailles) {
        for (const std::size_t nb : tailles) {
            const std::string a = texte.substr(0, na);
            const std::string pareil = texte.substr(0, nb);
            const std::string espacee = espace.substr(0, nb);
            const std::string completee = a + blancs.substr(0, nb);
            const std::string changee = completee + 'Z';
            for (const std::string* b : {&pareil, &espacee, &completee, &changee}) {
                const bool regle = enleverEspaces(a) == enleverEspaces(*b);
                ASSERT_EQ(estIdentique(a, *b), regle) << na << " / " << b->size();
                ASSERT_EQ(estIdentique(*b, a), regle) << b->size() << " / " << na;
                ASSERT_EQ(estIdentiqueSimple(a, *b), regle) << na << " / " << b->size();
                ASSERT_EQ(estIdentiqueSimple(*b, a), regle) << b->size() << " / " << na;
            }
        }
    }
}
