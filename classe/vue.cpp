#include "vue.h"

#include <algorithm>
#include <iterator>

std::string couperApercu(std::string_view texte)
{
    if (texte.size() <= longueurApercu)
        return std::string(texte);
    std::size_t fin = longueurApercu;
    while (fin > 0 && (static_cast<unsigned char>(texte[fin]) & 0xC0U) == 0x80U)
        --fin;
    return std::string(texte.substr(0, fin)) + "\xE2\x80\xA6";
}

std::uint64_t calculerEmpreinte(std::string_view ligne)
{
    // FNV-1a.
    std::uint64_t empreinte = 14695981039346656037ULL;
    for (const char octet : ligne) {
        if (octet == ' ' || octet == '\t')
            continue;
        empreinte ^= static_cast<unsigned char>(octet);
        empreinte *= 1099511628211ULL;
    }
    return empreinte;
}

void compterFrequent(LigneVue& ligne, std::uint64_t empreinte, std::string_view texte)
{
    std::vector<Frequent>& frequents = ligne.frequents;
    const auto connu = std::find_if(frequents.begin(), frequents.end(),
                                    [empreinte](const Frequent& f) { return f.empreinte == empreinte; });
    if (connu != frequents.end()) {
        ++connu->compte;
        std::string apercu = couperApercu(texte);
        if (apercu < connu->texte)
            connu->texte = std::move(apercu);
        return;
    }
    if (frequents.size() < compteursParLigne) {
        if (frequents.empty())
            frequents.reserve(compteursParLigne);
        frequents.push_back({empreinte, 1, couperApercu(texte)});
        return;
    }
    // The rarest so far gives its counter up; its count stays as the new
    // one's error bound.
    Frequent& rarest = *std::min_element(
        frequents.begin(), frequents.end(),
        [](const Frequent& a, const Frequent& b) { return a.compte < b.compte; });
    rarest = {empreinte, rarest.compte + 1, couperApercu(texte)};
}

void noterEchec(VueClasse& vue, std::int64_t numeroLigne, std::string_view obtenue)
{
    if (numeroLigne < 1 || static_cast<std::size_t>(numeroLigne) > vue.lignes.size())
        return;
    const auto indice = static_cast<std::size_t>(numeroLigne - 1);
    const std::uint64_t empreinte = calculerEmpreinte(obtenue);
    const std::lock_guard<std::mutex> verrou(vue.verrous[indice % vue.verrous.size()]);
    LigneVue& ligne = vue.lignes[indice];
    ++ligne.echecs;
    compterFrequent(ligne, empreinte, obtenue);
}

void ecrireVue(std::ostream& sortie, const VueClasse& vue, Format format)
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

    std::vector<std::size_t> ordre;
    for (std::size_t i = 0; i < vue.lignes.size(); ++i) {
        if (vue.lignes[i].echecs > 0)
            ordre.push_back(i);
    }
    std::stable_sort(ordre.begin(), ordre.end(), [&vue](std::size_t a, std::size_t b) {
        return vue.lignes[a].echecs > vue.lignes[b].echecs;
    });
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
        std::vector<Frequent> frequents = ligne.frequents;
        std::sort(frequents.begin(), frequents.end(), [](const Frequent& a, const Frequent& b) {
            return a.compte != b.compte ? a.compte > b.compte : a.texte < b.texte;
        });
        for (std::size_t rang = 0; rang < 3; ++rang) {
            ecrireSeparateur(sortie, format);
            if (rang < frequents.size())
                ecrireTexte(sortie, frequents[rang].texte.empty() ? "(ligne vide)" : frequents[rang].texte,
                            format);
            ecrireSeparateur(sortie, format);
            if (rang < frequents.size())
                sortie << frequents[rang].compte;
        }
        ecrireFinRangee(sortie, format);
    }
}
