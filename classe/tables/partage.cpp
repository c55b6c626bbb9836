#include "classe/tables/partage.h"

#include "classe/tables/bordereau.h"

#include "execution/nombres.h"

#include <cstdint>
#include <vector>

namespace {

// The line of a record, from 1, with room made for it in the view.
LigneVue* preparerLigne(VueClasse& vue, std::uint64_t numero)
{
    if (numero < 1 || numero > (std::uint64_t{1} << 40))
        return nullptr;
    const auto indice = static_cast<std::size_t>(numero - 1);
    if (vue.lignes.size() <= indice) {
        vue.lignes.resize(indice + 1);
        vue.tests.resize(indice + 1);
    }
    return &vue.lignes[indice];
}

} // namespace

Tranche choisirPart(std::size_t total, std::size_t part, std::size_t parts)
{
    // At most 100 000 shares: the product stays far within 64 bits.
    const auto borne = [total, parts](std::size_t i) {
        return static_cast<std::size_t>(std::uint64_t{total} * i / parts);
    };
    return {borne(part - 1), borne(part)};
}

void ecrireVuePartielle(std::ostream& sortie, const VueClasse& vue, std::size_t part, std::size_t parts)
{
    sortie << enteteVuePartielle << part << '/' << parts << '\n';
    sortie << "remises\t" << vue.remises.load() << '\t' << vue.ecartees.load() << '\n';
    for (const std::size_t i : ordonnerLignes(vue)) {
        sortie << "test\t" << i + 1 << '\t' << echapperChamp(i < vue.tests.size() ? vue.tests[i] : std::string())
               << '\n';
        for (const Frequent& frequent : ordonnerResultats(vue.lignes[i]))
            sortie << "resultat\t" << i + 1 << '\t' << std::hex << frequent.empreinte << std::dec << '\t'
                   << frequent.compte << '\t' << echapperChamp(frequent.texte) << '\n';
    }
}

bool ajouterVuePartielle(std::string_view texte, VueClasse& vue, std::size_t& part, std::size_t& parts,
                         std::string& erreur)
{
    erreur = "vue partielle illisible";
    std::size_t debut = 0;
    bool premiere = true;
    while (debut < texte.size()) {
        std::size_t fin = texte.find('\n', debut);
        if (fin == std::string_view::npos)
            fin = texte.size();
        const std::vector<std::string_view> champs = decouperChamps(texte.substr(debut, fin - debut));
        debut = fin + 1;
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::uint64_t c = 0;
        if (premiere) {
            premiere = false;
            if (champs.size() != 2 || !lirePartage(champs[1], part, parts))
                return false;
        } else if (champs.size() == 3 && champs[0] == "remises" && lireEntier(champs[1], 0, UINT64_MAX, a)
                   && lireEntier(champs[2], 0, UINT64_MAX, b)) {
            vue.remises += static_cast<std::int64_t>(a);
            vue.ecartees += static_cast<std::int64_t>(b);
        } else if (champs.size() == 3 && champs[0] == "test" && lireEntier(champs[1], 0, UINT64_MAX, a)
                   && preparerLigne(vue, a) != nullptr) {
            vue.tests[static_cast<std::size_t>(a - 1)] = desechapperChamp(champs[2]);
        } else if (champs.size() == 5 && champs[0] == "resultat" && lireEntier(champs[1], 0, UINT64_MAX, a)
                   && lireEntier(champs[2], 0, UINT64_MAX, b, 16) && lireEntier(champs[3], 0, UINT64_MAX, c)) {
            LigneVue* const ligne = preparerLigne(vue, a);
            if (ligne == nullptr)
                return false;
            const std::string exemple = desechapperChamp(champs[4]);
            Frequent& frequent = ligne->resultats[b];
            if (frequent.compte == 0 || exemple < frequent.texte) {
                frequent.empreinte = b;
                frequent.texte = exemple;
            }
            frequent.compte += static_cast<std::int64_t>(c);
            ligne->echecs += static_cast<std::int64_t>(c);
        } else {
            return false;
        }
    }
    erreur.clear();
    return !premiere;
}
