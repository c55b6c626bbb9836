#include "classe/vue/manquees.h"

#include <cstdint>
#include <utility>

std::vector<LigneManquee> extraireLignesManquees(const VueClasse& vue, const std::string& jeu,
                                                 std::size_t nombre)
{
    std::vector<std::size_t> ordre = ordonnerLignes(vue);
    if (ordre.size() > nombre)
        ordre.resize(nombre);
    std::vector<LigneManquee> lignes;
    for (const std::size_t i : ordre) {
        LigneManquee ligne{jeu, static_cast<std::int64_t>(i) + 1, i < vue.tests.size() ? vue.tests[i] : std::string(),
                           vue.lignes[i].echecs, {}};
        const std::vector<Frequent> frequents = ordonnerResultats(vue.lignes[i]);
        for (std::size_t k = 0; k < frequents.size() && k < 3; ++k)
            ligne.frequents.emplace_back(frequents[k].texte, frequents[k].compte);
        lignes.push_back(std::move(ligne));
    }
    return lignes;
}
