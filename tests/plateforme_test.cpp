#include "classe/formats/feuille_moodle.h"
#include "classe/formats/gradescope.h"
#include "classe/formats/junit.h"
#include "classe/formats/metadonnees.h"
#include "classe/formats/moodle.h"
#include "classe/formats/page.h"
#include "classe/formats/retour.h"
#include "classe/plateforme/retours.h"
#include "classe/sorties/sorties.h"
#include "classe/resultats/bareme.h"
#include "classe/sorties/echappement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

Bareme lire(const std::string& texte)
{
    Bareme bareme;
    std::istringstream entree(texte);
    std::string erreur;
    EXPECT_TRUE(lireBareme(entree, bareme, erreur)) << erreur;
    return bareme;
}

std::string erreurDe(const std::string& texte)
{
    Bareme bareme;
    std::istringstream entree(texte);
    std::string erreur;
    EXPECT_FALSE(lireBareme(entree, bareme, erreur)) << texte;
    return erreur;
}

// A public set of trace and localiser lines, and a hidden one of trace
// lines only.
std::vector<Jeu> deuxJeux()
{
    return {{"public", false, {4, 2, 0, 0, 0, 0}}, {"grand", true, {10, 0, 0, 0, 0, 0}}};
}

ResultatRemise remise(CompteMots publique, CompteMots cachee)
{
    ResultatRemise r;
    r.nom = "Dupont Marie_123_assignsubmission_file_";
    r.identifiant = "123";
    r.statut = "ok";
    r.jeux.resize(2);
    r.jeux[0].note = r.jeux[1].note = true;
    r.jeux[0].reussites = publique;
    r.jeux[1].reussites = cachee;
    return r;
}

} // namespace

TEST(LireBareme, InstructionsCommentairesEtDefauts)
{
    const Bareme bareme = lire("# exercice 3\n\nsur 20\r\narrondi 0,5 haut   # au demi-point\n"
                               "mot localiser 2\nmot autres 0\njeu public 20 %\njeu grand 80\n");
    EXPECT_EQ(bareme.sur, 20);
    EXPECT_EQ(bareme.pas, 0.5);
    EXPECT_EQ(bareme.decimales, 1);
    EXPECT_EQ(bareme.sens, Sens::haut);
    EXPECT_EQ(bareme.poidsMots[1], 2);
    EXPECT_EQ(bareme.poidsMots[0], 1);
    EXPECT_EQ(bareme.poidsMots[5], 0);
    ASSERT_EQ(bareme.poidsJeux.size(), 2U);
    EXPECT_EQ(bareme.poidsJeux[0].second, 20);
    const Bareme defaut = lire("");
    EXPECT_EQ(defaut.sur, 20);
    EXPECT_EQ(defaut.decimales, 2);
}

TEST(LireBareme, ChaqueFauteDitSaLigne)
{
    EXPECT_EQ(erreurDe("sur 20\nmot localisr 2\n").rfind("ligne 2 : mot inconnu", 0), 0U);
    EXPECT_EQ(erreurDe("sur 20\nsur 10\n").rfind("ligne 2 :", 0), 0U);
    EXPECT_EQ(erreurDe("jeu a 1\njeu a 2\n").rfind("ligne 2 :", 0), 0U);
    EXPECT_EQ(erreurDe("sur -3\n").rfind("ligne 1 :", 0), 0U);
    EXPECT_EQ(erreurDe("sur 0\n").rfind("ligne 1 :", 0), 0U);
    EXPECT_EQ(erreurDe("arrondi 1,2.5\n").rfind("ligne 1 :", 0), 0U);
    EXPECT_EQ(erreurDe("arrondi 1 milieu\n").rfind("ligne 1 :", 0), 0U);
    EXPECT_EQ(erreurDe("total 20\n").rfind("ligne 1 : instruction inconnue", 0), 0U);
    EXPECT_EQ(erreurDe("mot trace\n").rfind("ligne 1 :", 0), 0U);
    EXPECT_EQ(erreurDe("mot trace 1e3\n").rfind("ligne 1 :", 0), 0U);
    EXPECT_FALSE(erreurDe("mot trace 0\nmot localiser 0\nmot presences 0\nmot frequentations 0\n"
                          "mot duree_rencontres 0\nmot autres 0\n").empty());
    Bareme bareme = lire("jeu pubic 1\n");
    std::string erreur;
    EXPECT_FALSE(verifierJeux(bareme, deuxJeux(), erreur));
    EXPECT_NE(erreur.find("pubic"), std::string::npos);
    EXPECT_TRUE(verifierJeux(lire("jeu grand 3\n"), deuxJeux(), erreur));
    EXPECT_EQ(erreurDe("sur 20 %\n").rfind("ligne 1 :", 0), 0U);
    EXPECT_NE(erreurDe("arrondi 30\n").find("plus grand que l'\xC3\xA9" "chelle"), std::string::npos);
    EXPECT_FALSE(verifierJeux(lire("jeu public 0\njeu grand 0\n"), deuxJeux(), erreur));
}

TEST(LireBareme, PoidsEnPourcentQuiFontCent)
{
    // Shares that do not make 100 %: a forgotten word or set, or a typo.
    EXPECT_NE(erreurDe("mot localiser 60 %\nmot trace 30%\n").find("font 90 %"), std::string::npos);
    std::string erreur;
    EXPECT_FALSE(verifierJeux(lire("jeu public 20 %\njeu grand 70 %\n"), deuxJeux(), erreur));
    EXPECT_NE(erreur.find("font 90 %"), std::string::npos);
    EXPECT_FALSE(verifierJeux(lire("jeu public 20 %\n"), deuxJeux(), erreur));
    // What is not named then weighs nothing.
    const Bareme mots = lire("mot localiser 60 %\nmot trace 40%\n");
    EXPECT_EQ(mots.poidsMots[2], 0);
    const Bareme jeux = lire("jeu public 100 %\n");
    ASSERT_TRUE(verifierJeux(jeux, deuxJeux(), erreur));
    EXPECT_EQ(noterSelonBareme(jeux, deuxJeux(), remise({4, 2}, {0})).parts[1][0].max, 0);
    EXPECT_EQ(*noterSelonBareme(jeux, deuxJeux(), remise({4, 2}, {0})).note, 20);
}

TEST(NoterSelonBareme, MotsEtJeuxPesesPuisArrondis)
{
    // Public 20 % (localiser counts double), hidden 80 %: half of trace and
    // all of localiser in public, 7/10 hidden.
    const Bareme bareme = lire("mot localiser 2\njeu public 20\njeu grand 80\n");
    const Notation notation = noterSelonBareme(bareme, deuxJeux(), remise({2, 2}, {7}));
    ASSERT_TRUE(notation.note);
    EXPECT_NEAR(notation.parts[0][0].max, 4.0 / 3, 1e-9);
    EXPECT_NEAR(notation.parts[0][1].max, 8.0 / 3, 1e-9);
    EXPECT_NEAR(notation.parts[1][0].max, 16, 1e-9);
    EXPECT_EQ(notation.parts[0][2].max, 0); // no presences line
    EXPECT_NEAR(*notation.note, 2.0 / 3 + 8.0 / 3 + 11.2, 0.005);
    EXPECT_EQ(formaterNombre(*notation.note, bareme.decimales, ','), "14,53");

    // Equal weights: 1.25 + 5 + 7.
    EXPECT_EQ(*noterSelonBareme(lire("arrondi 0.5 haut\n"), deuxJeux(), remise({1, 2}, {7})).note, 13.5);
    EXPECT_EQ(*noterSelonBareme(lire("arrondi 0.5 bas\n"), deuxJeux(), remise({1, 2}, {7})).note, 13);
    EXPECT_EQ(*noterSelonBareme(lire("arrondi 0.5\n"), deuxJeux(), remise({1, 2}, {7})).note, 13.5);
    EXPECT_EQ(*noterSelonBareme(lire("arrondi 1\n"), deuxJeux(), remise({4, 2}, {10})).note, 20);
    // 13.999… is 14, up or down.
    EXPECT_EQ(*noterSelonBareme(lire("sur 14\narrondi 1 bas\n"), deuxJeux(), remise({4, 2}, {10})).note, 14);
}

TEST(NoterSelonBareme, AbsentSansNoteNonCompileZero)
{
    const Bareme bareme;
    ResultatRemise absente = remise({}, {});
    absente.trouvee = false;
    absente.jeux[0].note = absente.jeux[1].note = false;
    EXPECT_FALSE(noterSelonBareme(bareme, deuxJeux(), absente).note);
    ResultatRemise cassee = remise({4, 2}, {10});
    cassee.compilee = false;
    cassee.jeux[0].note = cassee.jeux[1].note = false;
    EXPECT_EQ(*noterSelonBareme(bareme, deuxJeux(), cassee).note, 0);
    // A set that did not run counts 0; the other keeps its part.
    ResultatRemise demi = remise({4, 2}, {10});
    demi.jeux[1].note = false;
    EXPECT_EQ(*noterSelonBareme(bareme, deuxJeux(), demi).note, 10);
    const Notation lignes = noterSansBareme(deuxJeux(), remise({3, 1}, {5}));
    EXPECT_EQ(*lignes.note, 9);
    EXPECT_EQ(lignes.parts[1][0].max, 10);
}

TEST(FormaterNombre, ZerosDeFinOtes)
{
    EXPECT_EQ(formaterNombre(14, 2, ','), "14");
    EXPECT_EQ(formaterNombre(14.5, 2, ','), "14,5");
    EXPECT_EQ(formaterNombre(13.25, 2, '.'), "13.25");
    EXPECT_EQ(formaterNombre(0.004, 2, '.'), "0");
    EXPECT_EQ(formaterNombre(-0.0001, 2, '.'), "0");
}

TEST(Echappement, OctetsInvalidesEtControles)
{
    const std::string texte("a\"\\\n\t\r\x01\xFF\xC3\xA9\xC2\x85\xEF\xBF\xBE", 15);
    EXPECT_EQ(echapperJson(texte), "\"a\\\"\\\\\\n\\t\\\\r??\xC3\xA9??\"");
    EXPECT_EQ(echapperXml("<a href='x'>&\"</a>\x0C"), "&lt;a href=&#39;x&#39;&gt;&amp;&quot;&lt;/a&gt;?");
    EXPECT_EQ(encoderChemin("Dupont \xC3\x89lodie_1_x/retour.txt"), "Dupont%20%C3%89lodie_1_x/retour.txt");
}

TEST(Retour, CacheSansLignesEtSoixanteLignesAuPlus)
{
    const std::vector<Jeu> jeux = deuxJeux();
    ResultatRemise r = remise({2, 1}, {3});
    r.jeux[0].fin = "normale";
    r.jeux[0].secondes = 0.25;
    r.jeux[0].mio = 3.4;
    r.jeux[0].erreurs = "Traceback (most recent call last):\n  File \"main.py\"\n\x1b[31mx\n4\n5\n6\n";
    for (int i = 1; i <= 200; ++i)
        r.jeux[0].explication += "Ligne #" + std::to_string(i) + " (trace) : \xC3\x89" "CHEC\n";
    r.jeux[1].fin = "temps d\xC3\xA9pass\xC3\xA9";
    r.jeux[1].erreurs = "SECRET stderr\n";
    r.jeux[1].explication = "SECRET explication\n";
    r.jeux[1].premiersEchecs[0] = "SECRET ligne";
    const Bareme bareme;
    std::ostringstream sortie;
    ecrireRetour(sortie, jeux, r, noterSelonBareme(bareme, jeux, r), &bareme);
    const std::string texte = sortie.str();
    EXPECT_LE(std::count(texte.begin(), texte.end(), '\n'), 60);
    EXPECT_EQ(texte.find("SECRET"), std::string::npos);
    EXPECT_EQ(texte.find('\x1b'), std::string::npos);
    EXPECT_NE(texte.find("Note : 8 / 20"), std::string::npos) << texte;
    EXPECT_NE(texte.find("Jeu \xC2\xAB public \xC2\xBB \xE2\x80\x94 fin : normale, 0,25 s, 3,4 Mio"), std::string::npos) << texte;
    EXPECT_NE(texte.find("Jeu \xC2\xAB grand \xC2\xBB (cach\xC3\xA9) \xE2\x80\x94 fin : temps d\xC3\xA9pass\xC3\xA9"), std::string::npos);
    EXPECT_NE(texte.find("r\xC3\xA9ussies : trace 3/10 (3/10) ; total 3/10"), std::string::npos) << texte;
    EXPECT_NE(texte.find("Ligne #1 (trace)"), std::string::npos);
    EXPECT_NE(texte.find("lignes de plus)"), std::string::npos);

    ResultatRemise cassee = r;
    cassee.compilee = false;
    cassee.compilation = "main.c:3:1: error: expected ';'\n";
    std::ostringstream sortieCassee;
    ecrireRetour(sortieCassee, jeux, cassee, noterSelonBareme(bareme, jeux, cassee), &bareme);
    EXPECT_NE(sortieCassee.str().find("  main.c:3:1: error: expected ';'\n"), std::string::npos);
    EXPECT_EQ(sortieCassee.str().find("Jeu"), std::string::npos);
}

TEST(Retour, DossiersNommesCommeLaRemiseOuPourMoodle)
{
    std::string nom;
    EXPECT_EQ(extraireParticipant("Dupont Marie_123456_assignsubmission_file_", &nom), "123456");
    EXPECT_EQ(nom, "Dupont Marie");
    EXPECT_EQ(extraireParticipant("_12_assignsubmission_file_"), "");
    EXPECT_EQ(extraireParticipant("bob"), "");
    EXPECT_EQ(extraireParticipant("remises/Li Wei_7_assignsubmission_file_/a.resultat", &nom), "7");
    EXPECT_EQ(nom, "Li Wei");
    EXPECT_EQ(extraireParticipant("a_b_assignsubmission_"), "");
    EXPECT_EQ(nommerDossierRetour("Dupont Marie_123456_assignsubmission_file_", "123456", true),
              "Dupont Marie_123456_assignfeedback_file_");
    EXPECT_EQ(nommerDossierRetour("Dupont Marie_123456_assignsubmission_file_", "123456", false),
              "Dupont Marie_123456_assignsubmission_file_");
    EXPECT_EQ(nommerDossierRetour("Jean_Luc Roy_8_assignsubmission_file_", "8", true),
              "Jean Luc Roy_8_assignfeedback_file_");
    EXPECT_EQ(nommerDossierRetour("..", "", false), "_..");
    EXPECT_EQ(nommerDossierRetour("lucie/sous dossier/votre.resultat", "", false), "lucie");
    EXPECT_EQ(nommerDossierRetour("a\nb/", "", false), "a_b");
    EXPECT_EQ(nommerDossierRetour("/x", "", false), "_x");
}

TEST(Retour, DossiersReservesEtLienDepuisLeRapport)
{
    // Two students of one name, then one whose name is the second's folder.
    std::set<std::string> pris;
    EXPECT_EQ(reserverDossier(pris, "Zoé Martin"), "Zoé Martin");
    EXPECT_EQ(reserverDossier(pris, "Zoé Martin"), "Zoé Martin_2");
    EXPECT_EQ(reserverDossier(pris, "Zoé Martin"), "Zoé Martin_3");
    EXPECT_EQ(reserverDossier(pris, "Zoé Martin_2"), "Zoé Martin_2_2");
    DemandesPlateformes demandes;
    for (const auto& [page, retours, lien] : std::vector<std::array<std::string, 3>>{
             {"rapport/classe.html", "retours", "../retours/"},
             {"classe.html", "retours/", "retours/"},
             {"classe.html", ".", ""},
             {"r/classe.html", "r", ""},
             {"r/classe.html", "r/retours à rendre", "retours à rendre/"}}) {
        demandes.html = page;
        demandes.retours = retours;
        EXPECT_EQ(lierRetours(demandes), lien) << page << " " << retours;
    }
}

TEST(Moodle, ChainesExactesDesDeuxLangues)
{
    RangeeMoodle rangee{"123", "Dupont, Marie", 14.5, 2, 20, horodaterMoodle(0), "public : 3/4 <ok>"};
    for (const auto& [langue, attendu] :
         {std::pair{LangueMoodle::fr,
                    std::string("Identifiant,Nom complet,Note,Note maximale,Derni\xC3\xA8re modification (note),"
                                "Feedback par commentaires\nParticipant123,\"Dupont, Marie\",14.5,20,"
                                "1970-01-01T00:00:00+00:00,public : 3/4 &lt;ok&gt;\n")},
          std::pair{LangueMoodle::en,
                    std::string("Identifier,Full name,Grade,Maximum grade,Last modified (grade),Feedback comments\n"
                                "Participant 123,\"Dupont, Marie\",14.5,20,1970-01-01T00:00:00+00:00,"
                                "public : 3/4 &lt;ok&gt;\n")}}) {
        std::ostringstream sortie;
        ecrireEnteteMoodle(sortie, langue);
        ecrireRangeeMoodle(sortie, langue, rangee);
        EXPECT_EQ(sortie.str(), attendu);
    }
    rangee.note.reset();
    std::ostringstream sansNote;
    ecrireRangeeMoodle(sansNote, LangueMoodle::en, rangee);
    EXPECT_EQ(sansNote.str().find("Participant 123,\"Dupont, Marie\",,20,"), 0U);
    EXPECT_FALSE(lireLangueMoodle("de"));
}

TEST(Junit, NomsUniquesEtLignesCacheesTues)
{
    const std::vector<Jeu> jeux = deuxJeux();
    ResultatRemise r = remise({4, 1}, {3});
    r.nom = "Dupont.Marie_123_assignsubmission_file_";
    r.jeux[0].premiersEchecs[1] = "Ligne #6 (localiser) : \xC3\x89" "CHEC <V1>";
    r.jeux[1].premiersEchecs[0] = "SECRET";
    r.jeux[0].secondes = 0.25;
    r.jeux[1].fin = "statut 83";
    r.jeux[1].secondes = 4.5;
    ResultatRemise absent = r;
    absent.trouvee = false;
    absent.statut = "absent";
    Junit junit;
    std::ostringstream sortie;
    ecrireDebutJunit(sortie);
    ecrireSuiteJunit(sortie, junit, jeux, r, noterSansBareme(jeux, r));
    ecrireSuiteJunit(sortie, junit, jeux, r, noterSansBareme(jeux, r));
    ecrireSuiteJunit(sortie, junit, jeux, absent, noterSansBareme(jeux, absent));
    ecrireFinJunit(sortie);
    const std::string xml = sortie.str();
    EXPECT_EQ(xml.find("SECRET"), std::string::npos);
    EXPECT_EQ(xml.find("83"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("4.5"), std::string::npos) << xml;
    // No dot for Jenkins to split; the run's time on a visible set only.
    EXPECT_NE(xml.find("<testcase classname=\"Dupont_Marie_123_assignsubmission_file_ (2)\" name=\"public : trace\" "
                       "time=\"0.25\"/>"), std::string::npos) << xml;
    // The message leads the text, all GitLab shows.
    EXPECT_NE(xml.find("<failure message=\"1/2 lignes r\xC3\xA9ussies (1/2)\" type=\"echec\">1/2 lignes r\xC3\xA9ussies "
                       "(1/2)\nLigne #6 (localiser) : \xC3\x89" "CHEC &lt;V1&gt;</failure>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<failure message=\"3/10 lignes r\xC3\xA9ussies (3/10), fin : statut non nul\" type=\"echec\">3/10 "
                       "lignes r\xC3\xA9ussies (3/10), fin : statut non nul</failure>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("tests=\"3\" failures=\"2\" errors=\"0\" skipped=\"0\" time=\"0.25\""), std::string::npos);
    EXPECT_NE(xml.find("tests=\"3\" failures=\"0\" errors=\"0\" skipped=\"3\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("<skipped message=\"absent\"/>"), std::string::npos);
}

TEST(Gradescope, TestsCachesSansLeursLignes)
{
    const std::vector<Jeu> jeux = deuxJeux();
    ResultatRemise r = remise({4, 2}, {3});
    r.jeux[0].explication = "Récapitulatif : 2 lignes en échec\n";
    r.jeux[0].premiersEchecs[0] = "Ligne #3 (trace) : ÉCHEC\n";
    r.jeux[1].explication = "SECRET";
    r.jeux[1].erreurs = "SECRET";
    r.jeux[1].premiersEchecs[0] = "SECRET";
    std::ostringstream sortie;
    ecrireGradescope(sortie, jeux, r, noterSelonBareme(Bareme{}, jeux, r), {20, 2, "retour"});
    const std::string json = sortie.str();
    EXPECT_EQ(json.find("SECRET"), std::string::npos);
    EXPECT_EQ(json.rfind("{\n  \"score\": 13,\n  \"output\": \"retour\",", 0), 0U) << json;
    EXPECT_NE(json.find("{\"name\": \"grand : trace\", \"score\": 3, \"max_score\": 10, \"status\": \"failed\", "
                        "\"visibility\": \"after_published\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"name\": \"public : localiser\", \"score\": 5, \"max_score\": 5, "
                        "\"status\": \"passed\", \"visibility\": \"visible\""), std::string::npos) << json;
    // Each word shows its own first failure; the explanation is the
    // submission's output only.
    EXPECT_EQ(json.find("Récapitulatif"), std::string::npos) << json;
    EXPECT_EQ(json.find("Ligne #3"), std::string::npos) << json; // trace is full
    r.jeux[0].reussites[0] = 2;
    std::ostringstream partielle;
    ecrireGradescope(partielle, jeux, r, noterSelonBareme(Bareme{}, jeux, r), {20, 2, "retour"});
    EXPECT_NE(partielle.str().find("\"output\": \"trace : 2/4 lignes réussies\\nfin : normale\\nLigne #3 (trace) : ÉCHEC\\n\"}"),
              std::string::npos) << partielle.str();
}

TEST(Page, AutonomeEtEchappee)
{
    Page page;
    page.titre = "Classe <3>";
    page.jeux = deuxJeux();
    RangeePage rangee{remise({4, 2}, {3}), 13.0, "retours/Dupont%20Marie/retour.txt"};
    rangee.remise.nom = "<script>alert(1)</script>";
    page.rangees = {rangee, rangee};
    page.rangees[1].remise.trouvee = false;
    page.rangees[1].note.reset();
    page.lignes.push_back({"public", 3, "localiser <x>", 1, {{"faux & faux", 1}}});
    const Bareme bareme;
    page.bareme = &bareme;
    std::ostringstream sortie;
    ecrirePage(sortie, page);
    const std::string html = sortie.str();
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos);
    EXPECT_EQ(html.find(" src="), std::string::npos);
    EXPECT_NE(html.find("<a href=\"retours/Dupont%20Marie/retour.txt\">&lt;script&gt;"), std::string::npos);
    EXPECT_NE(html.find("<code>faux &amp; faux</code> \xC3\x97" "1"), std::string::npos);
    EXPECT_NE(html.find("1 not\xC3\xA9s, 1 sans note."), std::string::npos);
}

TEST(FeuilleMoodle, RempliePareilleAuReste)
{
    // A BOM, CRLF, a comment over two lines, a scale's maximum with a comma.
    const std::string texte = "\xEF\xBB\xBFIdentifiant,Statut,Note,Note maximale,La note peut \xC3\xAAtre modifi\xC3\xA9" "e,"
                              "Feedback par commentaires\r\n"
                              "Participant 7,Remis,,\"10,00\",Oui,\"deux\r\nlignes\"\r\n"
                              "Participant 8,Remis,\"4,00\",\"10,00\",Non,\r\n";
    FeuilleMoodle feuille;
    std::string erreur;
    ASSERT_TRUE(lireFeuilleMoodle(texte, feuille, erreur)) << erreur;
    ASSERT_EQ(feuille.rangees.size(), 3U);
    EXPECT_EQ(feuille.maximum, 10);
    EXPECT_EQ(numeroRangee(feuille, feuille.rangees[1]), "7");
    EXPECT_TRUE(estModifiable(feuille, feuille.rangees[1]));
    EXPECT_FALSE(estModifiable(feuille, feuille.rangees[2]));
    std::ostringstream intacte;
    ecrireFeuilleMoodle(intacte, feuille);
    EXPECT_EQ(intacte.str(), texte);
    remplirRangee(feuille, feuille.rangees[1], 7.25, 2, "Note 7,25/10, \"bien\"");
    std::ostringstream remplie;
    ecrireFeuilleMoodle(remplie, feuille);
    const std::string avant = "Participant 7,Remis,,\"10,00\",Oui,\"deux\r\nlignes\"";
    EXPECT_EQ(remplie.str(), std::string(texte).replace(texte.find(avant), avant.size(),
                                                        "Participant 7,Remis,\"7,25\",\"10,00\",Oui,"
                                                        "\"Note 7,25/10, \"\"bien\"\"\""));

    // A scale: words for grades, no numeric maximum.
    FeuilleMoodle echelle;
    EXPECT_FALSE(lireFeuilleMoodle("Identifier,Grade,Maximum grade\nParticipant 1,Good,\n", echelle, erreur));
    EXPECT_NE(erreur.find("\xC3\xA9" "chelle"), std::string::npos) << erreur;
    EXPECT_FALSE(lireFeuilleMoodle("Identifier,Grade,Maximum grade\nParticipant 1,Good,4.00\n", echelle, erreur));
    EXPECT_FALSE(lireFeuilleMoodle("Nom,Note\nA,1\n", echelle, erreur));
    EXPECT_FALSE(lireFeuilleMoodle("Identifier,Grade,Maximum grade\n\"Participant 1,,4\n", echelle, erreur));
}

TEST(Gradescope, PointsDuDevoirDansSesMetadonnees)
{
    EXPECT_EQ(lirePointsGradescope(R"({"id": 3, "users": [{"name": "A \"B\"", "total_points": 1}],
        "assignment": {"outline": [[], {}], "total_points": "20.0", "title": "TP"}, "x": null})"),
              20.0);
    EXPECT_EQ(lirePointsGradescope(R"({"assignment":{"total_points":12.5}})"), 12.5);
    for (const char* faux : {R"({"total_points": 20})", R"({"assignment": {"total_points": "vingt"}})",
                             R"({"assignment": {"total_points": 20})", R"({"assignment": {"total_points": 0}})",
                             R"({"assignment": {"total_points": 20}} x)"})
        EXPECT_FALSE(lirePointsGradescope(faux)) << faux;
}

TEST(Gradescope, PartsQuiFontLeTotalExactement)
{
    // Three words of equal weight: 20/3 each, which no decimal writes.
    const std::vector<Jeu> jeux = {{"public", false, {3, 3, 3, 0, 0, 0}}};
    ResultatRemise r = remise({2, 1, 3}, {});
    r.jeux.resize(1);
    Bareme bareme;
    bareme.pas = 0.5;
    bareme.decimales = 1;
    std::ostringstream sortie;
    ecrireGradescope(sortie, jeux, r, noterSelonBareme(bareme, jeux, r), {20, 1, "retour"});
    const std::string json = sortie.str();
    EXPECT_EQ(json.rfind("{\n  \"score\": 13.5,", 0), 0U) << json;
    // 13.3333 rounded up: the failed parts take the rest, a passed one
    // keeps its full score.
    EXPECT_NE(json.find("\"score\": 4.5278, \"max_score\": 6.6667, \"status\": \"failed\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"score\": 2.3056, \"max_score\": 6.6667, \"status\": \"failed\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"score\": 6.6666, \"max_score\": 6.6666, \"status\": \"passed\""), std::string::npos) << json;
}
