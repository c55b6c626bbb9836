#include "classe/vue/vue.h"

#include "validation/moteur/lecture.h"

#include <algorithm>
#include <iterator>
#include <tuple>

std::string couperApercu(std::string_view texte)
{
    if (texte.size() <= longueurApercu)
        return std::string(texte);
    std::size_t fin = longueurApercu;
    while (fin > 0 && (static_cast<unsigned char>(texte[fin]) & 0xC0U) == 0x80U)
        --fin;
    return std::string(texte.substr(0, fin)) + "\xE2\x80\xA6";
}

void compterFrequent(LigneVue& ligne, std::uint64_t empreinte, std::string_view texte)
{
    Frequent& frequent = ligne.resultats[empreinte];
    if (frequent.compte == 0 || texte < frequent.texte) {
        frequent.empreinte = empreinte;
        frequent.texte = std::string(texte);
    }
    ++frequent.compte;
}

void prendreRemise(VueClasse& vue, const std::vector<EchecVue>& echecs, bool erreurDeForme)
{
    if (erreurDeForme && !vue.toutes) {
        ++vue.ecartees;
        return;
    }
    ++vue.remises;
    for (const EchecVue& echec : echecs) {
        if (echec.numeroLigne < 1 || static_cast<std::size_t>(echec.numeroLigne) > vue.lignes.size())
            continue;
        const auto indice = static_cast<std::size_t>(echec.numeroLigne - 1);
        const std::lock_guard<std::mutex> verrou(vue.verrous[indice % vue.verrous.size()]);
        LigneVue& ligne = vue.lignes[indice];
        ++ligne.echecs;
        compterFrequent(ligne, echec.empreinte, echec.texte);
    }
}

std::vector<std::size_t> ordonnerLignes(const VueClasse& vue)
{
    std::vector<std::size_t> ordre;
    for (std::size_t i = 0; i < vue.lignes.size(); ++i) {
        if (vue.lignes[i].echecs > 0)
            ordre.push_back(i);
    }
    std::stable_sort(ordre.begin(), ordre.end(), [&vue](std::size_t a, std::size_t b) {
        return vue.lignes[a].echecs > vue.lignes[b].echecs;
    });
    return ordre;
}

std::vector<Frequent> ordonnerResultats(const LigneVue& ligne)
{
    std::vector<Frequent> resultats;
    resultats.reserve(ligne.resultats.size());
    for (const auto& [empreinte, frequent] : ligne.resultats)
        resultats.push_back(frequent);
    std::sort(resultats.begin(), resultats.end(), [](const Frequent& a, const Frequent& b) {
        return std::make_tuple(-a.compte, std::string_view(a.texte), a.empreinte)
            < std::make_tuple(-b.compte, std::string_view(b.texte), b.empreinte);
    });
    return resultats;
}

void ecrireVue(std::ostream& sortie, const VueClasse& vue, Format format, std::size_t maximum)
{
    const char* const entetes[] = {"ligne",      "test",       "echecs",   "part (%)",
                                   "resultat_1", "nombre_1",   "resultat_2", "nombre_2",
                                   "resultat_3", "nombre_3"};
    for (std::size_t i = 0; i < std::size(entetes); ++i) {
        if (i > 0)
            ecrireSeparateur(sortie, format);
        ecrireTexte(sortie, entetes[i], format);
    }
    ecrireFinRangee(sortie, format);

    std::vector<std::size_t> ordre = ordonnerLignes(vue);
    if (maximum != 0 && ordre.size() > maximum)
        ordre.resize(maximum);
    const std::int64_t remises = std::max<std::int64_t>(vue.remises.load(), 1);
    for (const std::size_t i : ordre) {
        const LigneVue& ligne = vue.lignes[i];
        // A share in tenths of a percent, rounded: a decimal point in TSV, for
        // programs; a comma in CSV, for French spreadsheets.
        const std::int64_t milliemes = (ligne.echecs * 1000 + remises / 2) / remises;
        sortie << i + 1;
        ecrireSeparateur(sortie, format);
        ecrireTexte(sortie, i < vue.tests.size() ? vue.tests[i] : std::string(), format);
        ecrireSeparateur(sortie, format);
        sortie << ligne.echecs;
        ecrireSeparateur(sortie, format);
        sortie << milliemes / 10 << (format == Format::tsv ? '.' : ',') << milliemes % 10;
        const std::vector<Frequent> resultats = ordonnerResultats(ligne);
        for (std::size_t rang = 0; rang < 3; ++rang) {
            ecrireSeparateur(sortie, format);
            if (rang < resultats.size())
                ecrireTexte(sortie, resultats[rang].texte.empty() ? "(ligne vide)" : resultats[rang].texte,
                            format);
            ecrireSeparateur(sortie, format);
            if (rang < resultats.size())
                sortie << resultats[rang].compte;
        }
        ecrireFinRangee(sortie, format);
    }
}

std::string resumerVue(const VueClasse& vue, std::size_t maximum)
{
    std::string resume;
    const auto ajouter = [&resume](const std::string& phrase) {
        resume += resume.empty() ? " (" : " ; ";
        resume += phrase;
    };
    const std::size_t lignes = ordonnerLignes(vue).size();
    if (maximum != 0 && lignes > maximum)
        ajouter(std::to_string(maximum) + " lignes sur " + std::to_string(lignes) + ", --lignes-max");
    const std::int64_t ecartees = vue.ecartees.load();
    if (ecartees > 0)
        ajouter(std::to_string(ecartees) + (ecartees > 1 ? " remises \xC3\xA9" "cart\xC3\xA9" "es" : " remise \xC3\xA9" "cart\xC3\xA9" "e")
                + " pour une erreur de forme, --lignes-toutes");
    return resume.empty() ? resume : resume + ')';
}
