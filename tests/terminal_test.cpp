#include "cours.h"
#include "valider_chaines.h"
#include "validation/explication/ecran.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Presentation terminal(std::size_t lignes = 24, std::size_t colonnes = 80)
{
    Presentation presentation{true, false};
    presentation.lignes = lignes;
    presentation.colonnes = colonnes;
    return presentation;
}

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
    return valider(test, attendu, votre, false, false, terminal()).erreurs;
}

} // namespace

TEST(SurTerminal, UnEcranSuffitEtLePremierEchecYReste)
{
    const Cours cours = genererCours(1200, 2);
    const std::string test = joindreLignes(cours.tests);
    const std::string attendu = joindreLignes(cours.attendus);
    const auto changer = [&cours](auto changement) {
        std::string texte;
        for (std::size_t i = 0; i < cours.attendus.size(); ++i)
            texte += changement(cours.attendus[i], i + 1);
        return texte;
    };
    const struct {
        const char* nom;
        std::string votre;
        std::string premier;
    } cas[] = {
        {"tout faux", changer([](const std::string& l, std::size_t) { return l + "!\n"; }), "Ligne #1 "},
        {"crlf", changer([](const std::string& l, std::size_t) { return l + "\r\n"; }), "Ligne #1 "},
        {"debug a 312", changer([](const std::string& l, std::size_t n) { return (n == 312 ? "x = 3\n" : "") + l + "\n"; }),
         "Ligne #312 "},
        {"vides omis", changer([](const std::string& l, std::size_t) { return l.empty() ? l : l + "\n"; }), "Ligne #"},
        {"majuscules un sur trois", changer([](std::string l, std::size_t n) {
             if (n % 3 == 0 && !l.empty())
                 l[0] = static_cast<char>(l[0] ^ 0x20);
             return l + "\n";
         }), "Ligne #"},
        {"invite", changer([](const std::string& l, std::size_t) { return "resultat = " + l + "\n"; }), "Ligne #1 "},
        {"utf16", "\xFF\xFE" + [&changer] {
             std::string utf16;
             for (const char octet : changer([](const std::string& l, std::size_t) { return l + "\r\n"; }))
                 utf16 += std::string(1, octet) + '\0';
             return utf16;
         }(), "Ligne #1 "},
        {"coupe a 4096", changer([](const std::string& l, std::size_t) { return l + "\n"; }).substr(0, 8192),
         "Ligne #"},
    };
    for (const auto& [lignes, colonnes] : {std::pair<std::size_t, std::size_t>{24, 80}, {40, 120}, {12, 60}}) {
        for (const auto& [nom, votre, premier] : cas) {
            const Resultat resultat = valider(test, attendu, votre, false, false, terminal(lignes, colonnes));
            const std::string ecran = resultat.erreurs + resultat.sortie;
            EXPECT_LE(compterRangees(ecran, colonnes), lignes - 1) << nom << " " << colonnes << '\n' << ecran;
            EXPECT_EQ(ecran.find(premier), ecran.find("Ligne #")) << nom;
            EXPECT_NE(ecran.find("Ligne #"), std::string::npos) << nom;
            // No line of a report wraps.
            for (std::size_t debut = 0, fin; debut < ecran.size(); debut = fin + 1) {
                fin = ecran.find('\n', debut);
                const std::string ligne = ecran.substr(debut, fin - debut);
                // Nor a hint, from 80 columns on.
                const bool indice = ligne.rfind("  indice : ", 0) == 0 && colonnes >= 80;
                if (ligne.rfind(" V1:", 0) == 0 || ligne.rfind(" V2:", 0) == 0 || indice) {
                    EXPECT_EQ(compterRangees(ligne, colonnes), 1U) << nom << '\n' << ligne;
                }
            }
        }
    }
}

TEST(SurTerminal, UnPetitTerminalSePasseDeLegende)
{
    // Ten rows of fifty columns: the first report, its hint and the recap
    // fit, the legend does not.
    Presentation petit = terminal(10, 50);
    petit.couleur = true;
    const Resultat resultat =
        valider(numeroter("presences salle ", 30), numeroter("Zo\xC3\xA9 ", 30), numeroter("Zo\xE9 ", 30), false, false, petit);
    const std::string ecran = resultat.erreurs + resultat.sortie;
    EXPECT_LE(compterRangees(ecran, 50), 9U) << ecran;
    EXPECT_EQ(ecran.find("Ligne #1 "), 0U) << ecran;
    EXPECT_EQ(compter(ecran, "Latin-1"), 1U) << ecran;
}

TEST(SurTerminal, UneCauseEstMontreeTroisFoisAuPlusPuisComptee)
{
    // Every other line in capitals: one cause, alternating with lines that agree.
    std::string votre;
    for (int i = 1; i <= 400; ++i)
        votre += (i % 2 == 0 ? "R" : "r") + std::to_string(i) + "\n";
    const std::string erreurs =
        valider(numeroter("trace ", 400), numeroter("r", 400), votre, false, false, terminal(60, 120)).erreurs;
    EXPECT_EQ(compter(erreurs, "Ligne #"), 3U) << erreurs;
    EXPECT_EQ(compter(erreurs, "\xE2\x80\xA6"), 0U) << erreurs;
    EXPECT_EQ(compter(erreurs, "m\xC3\xAAme cause (casse) : 200 \xC3\xA9" "checs (#2 \xC3\xA0 #400), dont 197 non affich\xC3\xA9s"), 1U)
        << erreurs;
}

TEST(SurTerminal, UnDecalageSeDitUneFoisEtCiteSaLigneDeTest)
{
    const std::string longue = "trace " + std::string(300, 'a');
    std::string test = longue + "\n" + numeroter("localiser Bob ", 39);
    std::string attendu = numeroter("r", 40);
    // r5 is missing; then an extra line before the first.
    std::string manque;
    for (int i = 1; i <= 40; ++i)
        manque += i == 5 ? "" : "r" + std::to_string(i) + "\n";
    std::string erreurs = surTerminal(test, attendu, manque);
    EXPECT_EQ(compter(erreurs, "Ligne #"), 1U) << erreurs;
    EXPECT_EQ(compter(erreurs, "une ligne semble manquer dans le fichier test\xC3\xA9 \xC3\xA0 la ligne #5 (`localiser Bob 4`)"), 1U)
        << erreurs;
    EXPECT_EQ(compter(erreurs, "d\xC3\xA9" "calage : 1 ligne manquante \xC3\xA0 la ligne #5 ; il explique 36 \xC3\xA9" "checs (#5 \xC3\xA0 #40)"), 1U)
        << erreurs;
    // A test line that the terminal can show is quoted whole, even where
    // that takes the statement to a second row.
    const std::string moyenne = "localiser " + std::string(50, 'b');
    const std::string autreTest = numeroter("localiser Bob ", 4) + moyenne + "\n" + numeroter("localiser Bob ", 35);
    erreurs = valider(autreTest, attendu, manque, false, false, terminal(24, 120)).erreurs;
    EXPECT_EQ(compter(erreurs, "\xC3\xA0 la ligne #5 (`" + moyenne + "`)\n"), 1U) << erreurs;
    // With answers that differ once realigned too: counted apart, never
    // shown against another line's expected result.
    std::string fautes;
    for (int i = 1; i <= 40; ++i)
        fautes += i == 5 ? "" : (i > 5 && i % 4 == 0 ? "R" : "r") + std::to_string(i) + "\n";
    erreurs = surTerminal(test, attendu, fautes);
    EXPECT_EQ(compter(erreurs, "Ligne #"), 1U) << erreurs;
    EXPECT_EQ(compter(erreurs, "diff\xC3\xA9rents une fois r\xC3\xA9" "align\xC3\xA9s : 9 \xC3\xA9" "checs (#8 \xC3\xA0 #40)"), 1U)
        << erreurs;
    erreurs = surTerminal(test, attendu, "debug\n" + attendu);
    // The long test line: its start, in the rest of the statement's rows.
    const std::string enonce = "  une ligne de trop semble se trouver dans le fichier test\xC3\xA9 avant la ligne #1 (`trace aaa";
    const std::size_t debut = erreurs.find(enonce);
    ASSERT_NE(debut, std::string::npos) << erreurs;
    const std::string ligne = erreurs.substr(debut, erreurs.find('\n', debut) - debut);
    EXPECT_EQ(ligne.substr(ligne.size() - 14), " octets \xE2\x80\xA6]`)") << ligne;
    EXPECT_EQ(compterRangees(ligne, 80), 2U) << ligne;
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
        valider("trace 1\nautre 2\nlocaliser 3\n", "a\nb\nc\n", "a\nB\nC\n", false, false, terminal(40, 200)).erreurs;
    const std::string fin = erreurs.substr(erreurs.find("R\xC3\xA9" "capitulatif"));
    EXPECT_EQ(fin, "R\xC3\xA9" "capitulatif : 2 lignes en \xC3\xA9" "chec sur 3 compar\xC3\xA9" "es, la premi\xC3\xA8re \xC3\xA0 la ligne #2 (autre)\n"
                   "  en \xC3\xA9" "chec/compar\xC3\xA9" "es : trace 0/1, localiser 1/1, presences 0/0, frequentations 0/0, "
                   "duree_rencontres 0/0, autre 1/1\n"
                   "  bilan ci-dessous, r\xC3\xA9ussies/compar\xC3\xA9" "es par commande : trace, localiser, presences, "
                   "frequentations, duree_rencontres\n");
    EXPECT_EQ(valider("trace 1\n", "a\n", "b\n", true, false, terminal()).erreurs, "");
}

TEST(CompterRangees, CommeLeTerminalReplieLesLignes)
{
    EXPECT_EQ(compterRangees("", 80), 0U);
    EXPECT_EQ(compterRangees("\n", 80), 1U);
    EXPECT_EQ(compterRangees(std::string(80, 'a') + "\n", 80), 1U);
    EXPECT_EQ(compterRangees(std::string(81, 'a') + "\n" + "b\n", 80), 3U);
    // Colours take no column, accents one, a tab up to eight, wide characters two.
    EXPECT_EQ(compterRangees("\x1b[1;31m" + std::string(80, 'a') + "\x1b[0m\n", 80), 1U);
    std::string accents(40, 'a');
    for (int i = 0; i < 40; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(compterRangees(accents, 80), 1U);
    EXPECT_EQ(compterRangees("\t\t\t\t\t\t\t\t\t\tx", 80), 2U);
    EXPECT_EQ(compterRangees("\xE4\xBD\xA0" + std::string(79, 'a'), 80), 2U);
}

TEST(AjusterLigne, UneParentheseFinaleCedeLaPlace)
{
    EXPECT_EQ(mesurerLargeur("Zo\xC3\xA9 \xE4\xBD\xA0"), 6U);
    const std::string ligne = "  indice : r\xC3\xA9" "enregistrer en UTF-8 (PowerShell 5 ?)";
    EXPECT_EQ(ajusterLigne(ligne, 80), ligne);
    EXPECT_EQ(ajusterLigne(ligne, 40), "  indice : r\xC3\xA9" "enregistrer en UTF-8");
    // Too wide even without it, or without one at its end: left whole.
    EXPECT_EQ(ajusterLigne(ligne, 20), ligne);
    EXPECT_EQ(ajusterLigne("a (b) c", 3), "a (b) c");
}
