#include "classe/resultats/fins.h"

#include "execution/verdict.h"

#include <algorithm>
#include <iterator>

std::string categoriserFin(std::string_view fin)
{
    static constexpr std::string_view categories[] = {
        finNormale, finTempsDepasse, finMemoireDepassee, finPlantage,
        finSortieTropLongue, finEspaceDepasse, finNonCompilee, "statut non nul"};
    const auto trouvee = std::find_if(std::begin(categories), std::end(categories), [fin](std::string_view categorie) {
        return fin.substr(0, categorie.size()) == categorie;
    });
    if (trouvee != std::end(categories))
        return std::string(*trouvee);
    // "statut 83", or any end not named above: nothing of it but that the
    // program did not end well.
    return fin.empty() ? std::string() : "statut non nul";
}

std::string montrerFin(const Jeu& jeu, std::string_view fin)
{
    return jeu.cache ? categoriserFin(fin) : std::string(fin);
}
