#include "validation/bilan.h"
#include "validation/comparaison.h"
#include "entree_lente.h"
#include "valider_chaines.h"
#include "validation/moteur/commande.h"
#include "validation/validation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace std::string_literals;

void signalerEcart(const Reglages& reglages, const std::string& attendu, const std::string& obtenu)
{
    ADD_FAILURE() << "version " << nommerJeu(reglages.jeu.value_or(JeuInstructions::simple))
                  << ", lectures de " << reglages.tailleBloc << " octets : \"" << obtenu
                  << "\" au lieu de \"" << attendu << '"';
}

namespace {

std::string echec(int numero, const std::string& commande, const std::string& v1,
                  const std::string& v2)
{
    return "Ligne #" + std::to_string(numero) + " (" + commande + ") : \xC3\x89" "CHEC\n V1:"
        + v1 + "\n V2:" + v2 + "\n";
}

} // namespace

TEST(ExtraireCommande, PremierMotApresLesBlancs)
{
    const struct {
        std::string ligne;
        std::string commande;
    } cas[] = {
        {"", ""},
        {"   \t", ""},
        {"\r", ""},
        {"\v\f", ""},
        {"trace", "trace"},
        {"trace 1 2", "trace"},
        {"  \ttrace\t1", "trace"},
        {"localiser\r", "localiser"},
        {"\rpresences\v", "presences"},
        {"Trace", "Trace"},
        {"a\0b c"s, "a\0b"s},
        {"\xC2\xA0mot", "\xC2\xA0mot"},
    };
    for (const auto& [ligne, commande] : cas)
        EXPECT_EQ(extraireCommande(ligne), commande) << '"' << ligne << '"';
}

TEST(ValiderFichiers, LignesIdentiquesSansRapport)
{
    const std::string test = "trace 1\nlocaliser 2\ntrace 3\n";
    const Resultat r = valider(test, "a\nb\nc\n", "a\nb\nc\n");
    EXPECT_EQ(r.erreurs, "");
    EXPECT_EQ(r.sortie, "2/2\t1/1\t0/0\t0/0\t0/0\n");
}

TEST(ValiderFichiers, RapportDeTroisLignesAuNumeroDuTest)
{
    const std::string test = "trace\ntrace\ntrace\ntrace\nlocaliser x\n";
    const Resultat r = valider(test, "1\n2\n3\n4\n5 0\n", "1\n2\n3\n4\n 50 \n");
    EXPECT_EQ(r.erreurs, "");
    const Resultat faux = valider(test, "1\n2\n3\n4\n5\n", "1\n2\n3\n4\n 6\t\n");
    EXPECT_EQ(faux.erreurs, echec(5, "localiser", "5", " 6\t"));
    EXPECT_EQ(faux.sortie, "4/4\t0/1\t0/0\t0/0\t0/0\n");
}

TEST(ValiderFichiers, SilencieuxNeChangeQueLesRapports)
{
    const std::string test = "trace\nlocaliser\npresences\nautre\n";
    const std::string solution = "a\nb\nc\nd\n";
    const std::string votre = "a\nB\nc\nD\n";
    const Resultat bavard = valider(test, solution, votre);
    const Resultat muet = valider(test, solution, votre, true);
    EXPECT_EQ(bavard.erreurs, echec(2, "localiser", "b", "B") + echec(4, "autre", "d", "D"));
    EXPECT_EQ(muet.erreurs, "");
    EXPECT_EQ(muet.sortie, bavard.sortie);
    EXPECT_EQ(bavard.sortie, "1/1\t0/1\t1/1\t0/0\t0/0\n");
    EXPECT_EQ(valider(test, solution, votre, true, true).sortie, "1\t0\t1\t0\t0\n");
}

TEST(ValiderFichiers, LigneBlancheArreteLaValidation)
{
    for (const std::string blanche : {"", "  \t", "\r", "\v\f"}) {
        const std::string test = "trace\n" + blanche + "\ntrace\n";
        const Resultat r = valider(test, "a\nb\nc\n", "a\nx\ny\n");
        EXPECT_EQ(r.erreurs, "");
        EXPECT_EQ(r.sortie, "1/1\t0/0\t0/0\t0/0\t0/0\n");
    }
}

TEST(ValiderFichiers, DerniereLigneSansSautDeLigne)
{
    const Resultat r = valider("trace\ntrace", "a\nb", "a\nc");
    EXPECT_EQ(r.erreurs, echec(2, "trace", "b", "c"));
    EXPECT_EQ(r.sortie, "1/2\t0/0\t0/0\t0/0\t0/0\n");
}

TEST(ValiderFichiers, ResultatsTropCourtsAvecSautFinal)
{
    const Resultat r = valider("trace\ntrace\ntrace\ntrace\n", "a\nb\nc\nd\n", "a\n");
    EXPECT_EQ(r.erreurs, echec(2, "trace", "b", "") + echec(3, "trace", "c", "(X)")
                             + echec(4, "trace", "d", "(X)"));
}

TEST(ValiderFichiers, ResultatsTropCourtsSansSautFinal)
{
    const Resultat r = valider("trace\ntrace\ntrace\n", "a\nb\nc\n", "a");
    EXPECT_EQ(r.erreurs, echec(2, "trace", "b", "(X)") + echec(3, "trace", "c", "(X)"));
}

TEST(ValiderFichiers, AttendusEpuisesComparesAUneLigneVide)
{
    // The fourth line of the results is the empty one after their final newline.
    const Resultat r = valider("trace\ntrace\ntrace\ntrace\ntrace\n", "a\n", "a\n \t\nx\n");
    EXPECT_EQ(r.erreurs, echec(3, "trace", "", "x") + echec(5, "trace", "", "(X)"));
    EXPECT_EQ(r.sortie, "3/5\t0/0\t0/0\t0/0\t0/0\n");
}

TEST(ValiderFichiers, LignesEnTropIgnorees)
{
    const Resultat r = valider("trace\n", "a\nb\nc\n", "a\nz\n");
    EXPECT_EQ(r.erreurs, "");
    EXPECT_EQ(r.sortie, "1/1\t0/0\t0/0\t0/0\t0/0\n");
}

TEST(ValiderFichiers, FinsDeLigneCRLF)
{
    const Resultat r = valider("trace 1\r\nlocaliser\r\n", "a\r\nb\r\n", "a\nb\r\n");
    EXPECT_EQ(r.erreurs, echec(1, "trace", "a\r", "a"));
    EXPECT_EQ(r.sortie, "0/1\t1/1\t0/0\t0/0\t0/0\n");
}

TEST(ValiderFichiers, ToutesLesCommandesComptees)
{
    const Resultat r = valider("Trace\n  duree_rencontres 1\nfrequentations\n\tTrace\n",
                               "1\n2\n3\n4\n", "1\n2\n0\n0\n");
    EXPECT_EQ(r.erreurs, echec(3, "frequentations", "3", "0") + echec(4, "Trace", "4", "0"));
    EXPECT_EQ(r.sortie, "0/0\t0/0\t0/0\t0/1\t1/1\n");
}

TEST(ValiderFichiers, MotsEntrelacesEtPrefixesComptesAChaqueLigne)
{
    // More words than the loop keeps at hand, met in turn, some the start of
    // others: each line must still land on its own word.
    const std::vector<std::string> mots = {
        "trace", "traces", "trac", "localiser", "localise", "Trace", "Trace2",
        "frequentations", "duree_rencontres", "duree", "presences", "autre", "x",
    };
    std::string test;
    std::string solution;
    std::string votre;
    int attendu[5][2] = {};
    for (int tour = 0; tour < 7; ++tour) {
        for (std::size_t i = 0; i < mots.size(); ++i) {
            const std::string& mot = mots[(i * 5 + static_cast<std::size_t>(tour)) % mots.size()];
            const bool reussi = (i + static_cast<std::size_t>(tour)) % 3 != 0;
            test += mot + (i % 2 ? "\t1\n" : "\n");
            solution += "r\n";
            votre += reussi ? "r\n" : "s\n";
            for (std::size_t c = 0; c < commandesBilan.size(); ++c) {
                if (mot == commandesBilan[c]) {
                    attendu[c][0] += reussi;
                    ++attendu[c][1];
                }
            }
        }
    }
    std::string bilan;
    for (const auto& [reussites, tests] : attendu)
        bilan += (bilan.empty() ? "" : "\t") + std::to_string(reussites) + "/"
            + std::to_string(tests);
    EXPECT_EQ(valider(test, solution, votre, true).sortie, bilan + "\n");
}

TEST(ValiderFichiers, FichierTestVide)
{
    const Resultat r = valider("", "a\n", "b\n");
    EXPECT_EQ(r.erreurs, "");
    EXPECT_EQ(r.sortie, "0/0\t0/0\t0/0\t0/0\t0/0\n");
}

TEST(ValiderFichiers, LignesLonguesRapporteesEntieres)
{
    const std::string attendue(1000000, 'a');
    const std::string obtenue = attendue + "b";
    const Resultat r = valider("trace\ntrace\n", attendue + "\nfin\n", obtenue + "\nfin\n");
    EXPECT_EQ(r.erreurs, echec(1, "trace", attendue, obtenue));
}

TEST(ValiderFichiers, ErreurDeLectureDuTestArreteLaBoucle)
{
    EntreeLente entree("trace\ntrace\ntrace\n", 4, 8);
    std::istream test(&entree);
    std::istringstream solution("a\nb\nc\n");
    std::istringstream votre("a\nx\nc\n");
    std::ostringstream sortie;
    std::ostringstream erreurs;
    validerFichiers(test, solution, votre, false, false, {{}, &sortie, &erreurs, {}});
    // The second line was cut by the error after "tr": still a command word.
    EXPECT_EQ(erreurs.str(), echec(2, "tr", "b", "x"));
    EXPECT_EQ(sortie.str(), "1/1\t0/0\t0/0\t0/0\t0/0\n");
    EXPECT_TRUE(test.bad());
}


TEST(ValiderFichiers, RapportsPourUnTerminalMarquentLaFinDesResultats)
{
    // Per report, whether it says the results file had ended.
    const struct {
        std::string votre;
        std::vector<bool> fins;
    } cas[] = {
        {"a\n", {false, true, true}},
        {"a", {false, true, true}},
        {"", {true, true, true}},
        {"a\n\nb\n", {false, false, false}},
        {"a\n\n", {false, false, true}},
    };
    // Tall enough for every report.
    Presentation terminal{true, false};
    terminal.lignes = 100;
    for (const auto& [votre, fins] : cas) {
        const Resultat r = valider("trace\ntrace\ntrace\n", "x\ny\nz\n", votre, false, false, terminal);
        std::vector<bool> obtenues;
        for (std::size_t debut = r.erreurs.find("Ligne #"); debut != std::string::npos;) {
            const std::size_t suivant = r.erreurs.find("Ligne #", debut + 1);
            const std::string rapport = r.erreurs.substr(debut, suivant - debut);
            obtenues.push_back(rapport.find("fin du fichier test\xC3\xA9") != std::string::npos);
            debut = suivant;
        }
        EXPECT_EQ(obtenues, fins) << '"' << votre << '"';
        EXPECT_EQ(r.sortie, valider("trace\ntrace\ntrace\n", "x\ny\nz\n", votre).sortie);
    }
}

namespace {

// The loop as plainly as it can be said, for files and pipes: getline,
// presets, first word, the three-line report, the summary.
Resultat modeler(const std::string& test, const std::string& solution, const std::string& votre,
                 bool silencieux)
{
    std::istringstream fluxTest(test);
    std::istringstream fluxSolution(solution);
    std::istringstream fluxVotre(votre);
    Comptes reussites{};
    Comptes tests{};
    Resultat r;
    for (int numero = 1;; ++numero) {
        std::string ligneTest;
        std::string ligneSolution;
        std::string ligneVotre = "(X)";
        for (auto [flux, ligne] : {std::pair{&fluxTest, &ligneTest}, {&fluxSolution, &ligneSolution},
                                   {&fluxVotre, &ligneVotre}}) {
            if (flux->good())
                std::getline(*flux, *ligne);
        }
        const std::string commande(extraireCommande(ligneTest));
        if (commande.empty())
            break;
        const bool identiques = enleverEspaces(ligneSolution) == enleverEspaces(ligneVotre);
        if (!identiques && !silencieux)
            r.erreurs += echec(numero, commande, ligneSolution, ligneVotre);
        for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
            if (commande == commandesBilan[i]) {
                reussites[i] += identiques;
                ++tests[i];
            }
        }
        if (fluxTest.fail())
            break;
    }
    std::ostringstream bilan;
    ecrireBilan(reussites, tests, false, bilan);
    r.sortie = bilan.str();
    return r;
}

struct Cas {
    std::string test;
    std::string solution;
    std::string votre;
};

// Inputs where a block-wise reader goes wrong: lines around 64 bytes that
// straddle blocks and refills, differences at their first and last bytes or
// in spacing only, NUL bytes where the buffer's zero margin begins, inputs
// that end inside a block with or without a newline, results that run out,
// and test words that begin like a reported one (tracx beside trace).
std::vector<Cas> casDeBordDesBlocs()
{
    const std::vector<std::string> lignesTest = {
        "trace 1", "tracx 2", "trace", "trace\t3", "trace\r", "tracE 1", "trac", "  trace 4",
        "duree_rencontres 5", "duree_rencontresX", "duree_rencontres", "localiser\t",
        "localisex 1", "presences\0"s, "frequentations 1 2", "autre", "x"};
    std::vector<Cas> cas;
    std::uint64_t etat = 17;
    const auto tirer = [&etat](std::uint64_t borne) {
        etat = etat * 6364136223846793005ULL + 1442695040888963407ULL;
        return (etat >> 33) % borne;
    };
    for (int n = 0; n < 120; ++n) {
        Cas c;
        const std::uint64_t nbLignes = 1 + tirer(12);
        for (std::uint64_t i = 0; i < nbLignes; ++i) {
            c.test += lignesTest[tirer(lignesTest.size())] + "\n";
            const std::size_t longueurs[] = {0, 1, 14, 15, 16, 17, 31, 62, 63, 64, 65, 66, 127, 128, 129, 200};
            std::string ligne;
            for (std::size_t j = 0, l = longueurs[tirer(std::size(longueurs))]; j < l; ++j)
                ligne += "ab \t\0c"s[tirer(6)];
            std::string autre = ligne;
            switch (tirer(7)) {
            case 0:
                if (!autre.empty())
                    autre[tirer(autre.size())] = '#';
                break;
            case 1:
                autre += tirer(2) ? " " : "\0"s;
                break;
            case 2:
                autre.insert(tirer(autre.size() + 1), tirer(2) ? " " : "\t\t");
                break;
            case 3:
                autre.resize(tirer(autre.size() + 1));
                break;
            default:
                break;
            }
            c.solution += ligne + "\n";
            c.votre += autre + "\n";
        }
        // Inputs that end early, or inside their last line.
        for (std::string* entree : {&c.test, &c.solution, &c.votre}) {
            if (tirer(4) == 0)
                entree->pop_back();
            if (tirer(8) == 0)
                entree->resize(tirer(entree->size() + 1));
        }
        if (tirer(10) == 0)
            c.test.insert(c.test.find('\n') + 1, tirer(2) ? "\n" : " \t\n");
        cas.push_back(c);
    }
    // Rounds of many test lines, whose ends fall inside a line, and
    // enough of them for a loop to change its way of comparing and back; runs
    // of blanks longer than what is compacted at a time, alone on their line
    // or before the byte that differs.
    for (int n = 0; n < 12; ++n) {
        Cas c;
        for (std::uint64_t i = 0, nbLignes = n == 0 ? 1300 : 60 + tirer(150); i < nbLignes; ++i) {
            c.test += lignesTest[tirer(2) != 0 ? 0 : tirer(lignesTest.size() - 1)] + "\n";
            std::string ligne = std::to_string(tirer(1000));
            if (tirer(6) == 0)
                ligne.insert(tirer(ligne.size() + 1), std::string(60 + tirer(200), tirer(2) != 0 ? ' ' : '\t'));
            std::string autre = ligne;
            switch (tirer(5)) {
            case 0:
                autre.insert(tirer(autre.size() + 1), std::string(1 + tirer(140), ' '));
                break;
            case 1:
                autre += tirer(2) != 0 ? "#" : std::string(130, '\t') + "#";
                break;
            default:
                break;
            }
            c.solution += ligne + "\n";
            c.votre += autre + "\n";
        }
        cas.push_back(c);
    }
    // Rounds that end at their span of test bytes rather than at a failing
    // line: thousands of short lines that mostly agree.
    Cas court;
    for (int i = 0; i < 3000; ++i) {
        court.test += i % 5 == 0 ? "tracx 1\n" : "trace 1\n";
        court.solution += std::to_string(i % 7) + "\n";
        court.votre += i % 97 == 0 ? "x\n" : i % 13 == 0 ? " " + std::to_string(i % 7) + "\n" : std::to_string(i % 7) + "\n";
    }
    cas.push_back(court);
    // Lines of 64 bytes with their newline: rounds that end on a window's
    // last byte.
    Cas plein;
    for (int i = 0; i < 700; ++i) {
        plein.test += "trace " + std::string(57, '1') + "\n";
        const std::string ligne = std::string(60, 'a') + std::to_string(100 + i % 900);
        plein.solution += ligne + "\n";
        plein.votre += (i % 50 == 49 ? ligne + "#" : ligne) + "\n";
    }
    cas.push_back(plein);
    // Test lines longer than a round's span, each a round of its own, among
    // short ones, with results that are short or wait for their lines.
    Cas longs;
    for (int i = 0; i < 40; ++i) {
        longs.test += i % 3 == 0 ? "trace 1\n" : "trace " + std::string(1980 + 61 * static_cast<std::size_t>(i), '7') + "\n";
        longs.solution += std::to_string(i) + "\n";
        longs.votre += (i % 4 == 1 ? "#" : std::to_string(i)) + "\n";
    }
    cas.push_back(longs);
    return cas;
}

std::string nommerReglages(const Reglages& reglages)
{
    return std::string(nommerJeu(reglages.jeu.value_or(JeuInstructions::simple))) + ", lectures de "
        + std::to_string(reglages.tailleBloc) + " octets";
}

class VersionDeLaBoucle : public testing::TestWithParam<JeuInstructions> {
protected:
    void SetUp() override
    {
        if (!peutExecuter(GetParam()))
            GTEST_SKIP() << "version " << nommerJeu(GetParam())
                         << " sautée : ce processeur ou cette construction ne l'a pas";
    }
};

} // namespace

TEST_P(VersionDeLaBoucle, CommeLeModeleAuxBordsDesBlocs)
{
    for (const auto& [test, solution, votre] : casDeBordDesBlocs()) {
        for (const bool silencieux : {false, true}) {
            const Resultat attendu = modeler(test, solution, votre, silencieux);
            for (const std::size_t taille : taillesBlocEssayees) {
                const Reglages reglages{GetParam(), taille};
                const Resultat r = validerAvec(test, solution, votre, silencieux, false, {}, reglages);
                EXPECT_EQ(r.sortie, attendu.sortie) << nommerReglages(reglages);
                EXPECT_EQ(r.erreurs, attendu.erreurs) << nommerReglages(reglages);
                if (r.sortie != attendu.sortie || r.erreurs != attendu.erreurs)
                    return;
            }
        }
    }
}

TEST_P(VersionDeLaBoucle, CommeLeModeleParPetitsMorceaux)
{
    // As pipes fed by slow programs give them: a few bytes per read, never
    // saying how many wait.
    for (const auto& [test, solution, votre] : casDeBordDesBlocs()) {
        const Resultat attendu = modeler(test, solution, votre, false);
        for (const std::size_t morceau : {1, 2, 3}) {
            EntreeLente entreeTest(test, morceau);
            EntreeLente entreeSolution(solution, morceau + 1);
            EntreeLente entreeVotre(votre, morceau);
            std::istream fluxTest(&entreeTest);
            std::istream fluxSolution(&entreeSolution);
            std::istream fluxVotre(&entreeVotre);
            std::ostringstream sortie;
            std::ostringstream erreurs;
            validerFichiers(fluxTest, fluxSolution, fluxVotre, false, false,
                            {{}, &sortie, &erreurs, {GetParam(), tailleBlocLecture}});
            EXPECT_EQ(sortie.str(), attendu.sortie) << "morceaux de " << morceau;
            ASSERT_EQ(erreurs.str(), attendu.erreurs) << "morceaux de " << morceau;
        }
    }
}

TEST_P(VersionDeLaBoucle, ErreurDeLectureDesResultatsDansLaDerniereIteration)
{
    // The iteration that ends the loop still reads the other two inputs: an
    // error that only its read meets is left in the stream for the caller.
    for (const bool silencieux : {false, true}) {
        std::istringstream test("trace\n\n");
        std::istringstream solution("a\nb\n");
        EntreeLente entreeVotre("a\n", 64, 2);
        std::istream votre(&entreeVotre);
        std::ostringstream sortie;
        std::ostringstream erreurs;
        validerFichiers(test, solution, votre, silencieux, false,
                        {{}, &sortie, &erreurs, {GetParam(), tailleBlocLecture}});
        EXPECT_EQ(sortie.str(), "1/1\t0/0\t0/0\t0/0\t0/0\n");
        EXPECT_TRUE(votre.bad());
    }
}

INSTANTIATE_TEST_SUITE_P(Jeux, VersionDeLaBoucle, testing::ValuesIn(jeuxInstructions),
                         [](const testing::TestParamInfo<JeuInstructions>& jeu) {
                             return std::string(nommerJeu(jeu.param));
                         });

TEST(ValiderFichiers, OctetNulFaceAuxZerosDeLaMarge)
{
    // Past an input's last byte the buffer holds zeros: a NUL there is a
    // byte of the line, never the same as the end of the input.
    const Cas cas[] = {
        {"trace\n", "x\0"s, "x"},
        {"trace\n", "x", "x\0"s},
        {"trace\ntrace\n", "x\0\ny\n"s, "x\ny\0"s},
        {"trace\n", "\0"s, ""},
        {"trace\0\ntrace\0"s, "a\nb\n", "a\nc\n"},
        {"trace\n", std::string(63, 'a') + "\0"s, std::string(63, 'a')},
        {"trace\n", std::string(64, 'a') + "\0\n"s, std::string(64, 'a') + "\n"},
    };
    for (const auto& [test, solution, votre] : cas) {
        for (const bool silencieux : {false, true}) {
            const Resultat attendu = modeler(test, solution, votre, silencieux);
            const Resultat r = valider(test, solution, votre, silencieux);
            EXPECT_EQ(r.sortie, attendu.sortie);
            EXPECT_EQ(r.erreurs, attendu.erreurs);
        }
    }
}
