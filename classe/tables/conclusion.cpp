#include "classe/tables/conclusion.h"

#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"

#include <string>
#include <string_view>

namespace {

std::string accorder(std::size_t nombre, std::string_view mot)
{
    return std::to_string(nombre) + ' ' + std::string(mot) + (nombre > 1 ? "s" : "");
}

} // namespace

void commencerConclusion(std::ostream& sortie, const Options& options, const VueClasse& vue, std::size_t remises,
                         std::size_t notees)
{
    sortie << prefixe << accorder(remises, "remise") << ", " << accorder(notees, "not\xC3\xA9" "e") << ", "
           << accorder(remises - notees, "non not\xC3\xA9" "e") << " ; notes : "
           << (options.sortie.empty() ? std::string("sortie standard") : rendreInoffensif(options.sortie));
    if (!options.lignes.empty())
        sortie << " ; vue de la classe : " << rendreInoffensif(options.lignes) << resumerVue(vue, options.lignesMax);
}

int deciderStatut(bool aucune, std::size_t remises, std::size_t notees, std::size_t absentes, int code)
{
    return aucune || notees + absentes < remises ? 1 : code;
}
