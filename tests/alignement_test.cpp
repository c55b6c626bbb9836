#include "cours.h"
#include "validation/explication/alignement.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {

struct Aligne {
    std::vector<Saut> sauts;
    std::vector<Decision> decisions;
    Alignement alignement;
};

// Aligns as the loop reads: the actual lines past their end are the loop's
// presets, not lines.
Aligne aligner(const std::vector<std::string>& attendues, const std::vector<std::string>& obtenues)
{
    Aligne resultat;
    Alignement& alignement = resultat.alignement;
    const auto prendre = [&resultat, &alignement] {
        Decision decision;
        while (prendreDecision(alignement, decision)) {
            resultat.sauts.insert(resultat.sauts.end(), decision.sauts.begin(), decision.sauts.end());
            resultat.decisions.push_back(decision);
        }
    };
    for (std::size_t i = 0; i < attendues.size(); ++i) {
        const bool lue = i < obtenues.size();
        pousserLigne(alignement, calculerEmpreinte(attendues[i]), true,
                     calculerEmpreinte(lue ? obtenues[i] : std::string()), lue);
        prendre();
    }
    terminerAlignement(alignement);
    prendre();
    return resultat;
}

std::string decrire(const std::vector<Saut>& sauts)
{
    std::string texte;
    for (const Saut& saut : sauts)
        texte += std::string(saut.manque ? "-" : "+") + std::to_string(saut.lignes) + "@"
            + std::to_string(saut.numero) + " ";
    return texte;
}

} // namespace

TEST(Aligner, ChaqueDecalageEstDitUneFoisALaBonneLigne)
{
    const Cours cours = genererCours(1200, 7);
    const std::vector<std::string>& a = cours.attendus;
    const auto sans = [&a](std::vector<int> numeros) {
        std::vector<std::string> v;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (std::find(numeros.begin(), numeros.end(), static_cast<int>(i + 1)) == numeros.end())
                v.push_back(a[i]);
        }
        return v;
    };
    const auto avecApres = [](std::vector<std::string> v, std::size_t numero, int nombre) {
        for (int k = 0; k < nombre; ++k)
            v.insert(v.begin() + static_cast<std::ptrdiff_t>(numero), "debug " + std::to_string(k));
        return v;
    };
    std::vector<std::string> videsOmis;
    std::string videsAttendus;
    std::int64_t decalage = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!a[i].empty()) {
            videsOmis.push_back(a[i]);
            continue;
        }
        // Empty results in a row are one shift of as many lines.
        if (i > 0 && a[i - 1].empty())
            continue;
        std::size_t fin = i;
        while (fin < a.size() && a[fin].empty())
            ++fin;
        // A last line missing is the results ending early, not a shift.
        if (fin < a.size())
            videsAttendus += "-" + std::to_string(fin - i) + "@" + std::to_string(i + 1) + " ";
        decalage += static_cast<std::int64_t>(fin - i);
    }
    const struct {
        const char* nom;
        std::vector<std::string> obtenues;
        std::string sauts;
    } cas[] = {
        {"juste", a, ""},
        {"une manquante", sans({312}), "-1@312 "},
        {"manquante puis en trop", avecApres(sans({200}), 698, 1), "-1@200 +1@699 "},
        {"cinq manquantes", sans({100, 101, 102, 103, 104}), "-5@100 "},
        {"sept en trop", avecApres(a, 400, 7), "+7@400 "},
        {"en trop avant la premiere", avecApres(a, 0, 1), "+1@0 "},
        {"manquante a la premiere", sans({1}), "-1@1 "},
        {"manquantes pres de la fin", sans({1150, 1190}), "-1@1150 -1@1190 "},
        // In the last window: found missing, not pushed past the results' end.
        {"manquantes dans la derniere fenetre", sans({1180, 1196, 1199}), "-1@1180 -1@1196 -1@1199 "},
        {"vides omis", videsOmis, videsAttendus},
    };
    for (const auto& [nom, obtenues, sauts] : cas) {
        const Aligne aligne = aligner(a, obtenues);
        EXPECT_EQ(decrire(aligne.sauts), sauts) << nom;
        ASSERT_EQ(aligne.decisions.size(), a.size()) << nom;
        for (std::size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ(aligne.decisions[i].numeroLigne, static_cast<std::int64_t>(i + 1)) << nom;
    }
    // Every answer right once the shifts are set aside.
    EXPECT_EQ(aligner(a, sans({312})).alignement.realignees, 1199);
    EXPECT_EQ(aligner(a, videsOmis).alignement.realignees, static_cast<std::int64_t>(videsOmis.size()));
    EXPECT_GT(decalage, 150);
}

TEST(Aligner, DesReponsesFaussesNeFontPasDeDecalage)
{
    const Cours cours = genererCours(600, 3);
    const std::vector<std::string>& a = cours.attendus;
    std::vector<std::string> fausses;
    std::vector<std::string> uneSurDeux = a;
    std::vector<std::string> repetees;
    for (std::size_t i = 0; i < a.size(); ++i) {
        fausses.push_back(a[i] + "!");
        if (i % 2 == 0)
            uneSurDeux[i] = "faux";
        // The same answer everywhere, which the expected lines often hold.
        repetees.push_back("Bob : dehors");
    }
    std::vector<std::string> vides(a.size(), "");
    for (const auto& obtenues : {fausses, uneSurDeux, repetees, vides}) {
        const Aligne aligne = aligner(a, obtenues);
        EXPECT_EQ(decrire(aligne.sauts), "");
        for (const Decision& decision : aligne.decisions)
            ASSERT_TRUE(decision.place == Place::concorde || decision.place == Place::differente);
    }
    // A file cut short: the lines past its end are no shift.
    const Aligne coupe = aligner(a, std::vector<std::string>(a.begin(), a.begin() + 250));
    EXPECT_EQ(decrire(coupe.sauts), "");
    EXPECT_EQ(coupe.decisions.back().place, Place::horsFin);
}

TEST(Aligner, LesLignesQuUnDecalageExpliqueLeDisent)
{
    // Lines that differ from their neighbours, so that the places are known.
    std::vector<std::string> attendues = genererCours(300, 5).attendus;
    for (std::size_t i = 0; i < attendues.size(); ++i)
        attendues[i] += " " + std::to_string(i);
    std::vector<std::string> obtenues = attendues;
    obtenues.erase(obtenues.begin() + 99);
    obtenues[199] = "faux";
    const Aligne aligne = aligner(attendues, obtenues);
    EXPECT_EQ(aligne.decisions[98].place, Place::concorde);
    EXPECT_EQ(aligne.decisions[99].place, Place::manquante);
    // Line 201 shows the answer to 202, which is wrong.
    EXPECT_EQ(aligne.decisions[200].place, Place::differente);
    for (const std::size_t i : {100U, 150U, 250U})
        EXPECT_EQ(aligne.decisions[i].place, Place::decalee) << i;
    // Memory holds the window, not the file.
    EXPECT_TRUE(aligne.alignement.attendues.empty());
}
