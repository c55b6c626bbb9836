#include "classe/formats/gradescope.h"

#include "classe/resultats/fins.h"
#include "classe/sorties/echappement.h"
#include "execution/verdict.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numeric>
#include <string>

namespace {

// Whole units of 10^-decimales, so that the tests' scores add up exactly.
using Unites = long long;

Unites puissance(int decimales)
{
    Unites unite = 1;
    for (int i = 0; i < decimales; ++i)
        unite *= 10;
    return unite;
}

std::string ecrireUnites(Unites valeur, int decimales)
{
    return formaterNombre(static_cast<double>(valeur) / static_cast<double>(puissance(decimales)), decimales, '.');
}

// Moves `reste` units into (positive) or out of `parts`, one unit a part
// at a time in `ordre` (out of them in reverse), within their bounds.
void ajuster(std::vector<Unites>& parts, const std::vector<std::size_t>& ordre, const std::vector<Unites>& plafonds,
             Unites& reste)
{
    for (bool bouge = true; reste != 0 && bouge;) {
        bouge = false;
        for (std::size_t k = 0; k < ordre.size() && reste != 0; ++k) {
            const std::size_t i = reste > 0 ? ordre[k] : ordre[ordre.size() - 1 - k];
            if (reste > 0 && parts[i] < plafonds[i]) {
                ++parts[i];
                --reste;
                bouge = true;
            } else if (reste < 0 && parts[i] > 0) {
                --parts[i];
                ++reste;
                bouge = true;
            }
        }
    }
}

// Parts of `cible` units as near `ideaux` as can be, none above its
// `plafond`: each rounded down, then the units left given to the parts
// that lost most, or taken back from those that lost least; first among
// the parts `libres` allows, so that a test passed keeps its full score
// and one failed stays below it, then among all when that cannot be.
std::vector<Unites> repartir(const std::vector<double>& ideaux, const std::vector<Unites>& plafonds, Unites cible,
                             const std::vector<bool>& libres)
{
    std::vector<Unites> parts(ideaux.size());
    for (std::size_t i = 0; i < ideaux.size(); ++i)
        parts[i] = std::clamp(static_cast<Unites>(std::floor(ideaux[i] + 1e-9)), Unites{0}, plafonds[i]);
    std::vector<std::size_t> ordre(ideaux.size());
    std::iota(ordre.begin(), ordre.end(), std::size_t{0});
    std::stable_sort(ordre.begin(), ordre.end(), [&](std::size_t a, std::size_t b) {
        return ideaux[a] - static_cast<double>(parts[a]) > ideaux[b] - static_cast<double>(parts[b]);
    });
    Unites reste = cible - std::accumulate(parts.begin(), parts.end(), Unites{0});
    std::vector<std::size_t> premiers;
    std::copy_if(ordre.begin(), ordre.end(), std::back_inserter(premiers), [&](std::size_t i) { return libres[i]; });
    std::vector<Unites> bornes = plafonds;
    std::transform(bornes.begin(), bornes.end(), bornes.begin(),
                   [](Unites borne) { return std::max<Unites>(0, borne - 1); });
    ajuster(parts, premiers, bornes, reste);
    ajuster(parts, ordre, plafonds, reste);
    return parts;
}

// A test's output: its counts, how the set's run ended on its first test,
// and for a visible set its measures and the word's first failing line. The
// whole explanation is the submission's own output, not any one test's.
std::string decrireTest(const Jeu& jeu, const ResultatJeu& resultat, std::size_t mot, bool premier)
{
    std::string texte = std::string(motsNotes[mot]) + " : "
        + std::to_string(resultat.note ? resultat.reussites[mot] : 0) + "/" + std::to_string(jeu.maxima[mot])
        + " lignes r\xC3\xA9ussies\n";
    if (premier) {
        texte += "fin : " + (resultat.fin.empty() ? std::string(resultat.note ? finNormale : "non not\xC3\xA9")
                                                  : montrerFin(jeu, resultat.fin));
        if (resultat.secondes >= 0 && montrerMesures(jeu))
            texte += ", " + formaterNombre(resultat.secondes, 2, ',') + " s";
        if (resultat.mio >= 0 && montrerMesures(jeu))
            texte += ", " + formaterNombre(resultat.mio, 1, ',') + " Mio";
        texte += '\n';
    }
    if (!jeu.cache && !(resultat.note && resultat.reussites[mot] >= jeu.maxima[mot]))
        texte += resultat.premiersEchecs[mot];
    return texte;
}

} // namespace

void ecrireGradescope(std::ostream& sortie, const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                      const Notation& notation, const Gradescope& gradescope)
{
    const int decimales = std::max(gradescope.decimales, 4);
    const double unite = static_cast<double>(puissance(decimales));
    std::vector<double> maxIdeaux;
    std::vector<double> pointsIdeaux;
    std::vector<bool> echoues;
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (jeux[j].maxima[m] == 0)
                continue;
            const Part part = j < notation.parts.size() ? notation.parts[j][m] : Part{};
            const ResultatJeu& resultat = resultatDuJeu(remise, j);
            const bool reussi = resultat.note && resultat.reussites[m] >= jeux[j].maxima[m];
            maxIdeaux.push_back(part.max * unite);
            pointsIdeaux.push_back(reussi ? part.max * unite : part.points * unite);
            echoues.push_back(!reussi);
        }
    }
    const Unites sur = std::llround(gradescope.sur * unite);
    const Unites note = std::llround(notation.note.value_or(0) * unite);
    const std::vector<Unites> maxima =
        repartir(maxIdeaux, std::vector<Unites>(maxIdeaux.size(), sur + 1), sur, std::vector<bool>(maxIdeaux.size(), true));
    std::vector<double> pointsPleins = pointsIdeaux;
    for (std::size_t i = 0; i < pointsPleins.size(); ++i) {
        if (!echoues[i])
            pointsPleins[i] = static_cast<double>(maxima[i]);
    }
    const std::vector<Unites> points = repartir(pointsPleins, maxima, note, echoues);

    sortie << "{\n  \"score\": " << ecrireUnites(note, decimales) << ",\n"
           << "  \"output\": " << echapperJson(gradescope.retour) << ",\n"
           << "  \"output_format\": \"text\",\n  \"test_output_format\": \"text\",\n"
           << "  \"tests\": [";
    const char* separateur = "\n";
    std::size_t test = 0;
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        const ResultatJeu& resultat = resultatDuJeu(remise, j);
        bool premier = true;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (jeux[j].maxima[m] == 0)
                continue;
            const bool reussi = resultat.note && resultat.reussites[m] >= jeux[j].maxima[m];
            sortie << separateur << "    {\"name\": " << echapperJson(jeux[j].nom + " : " + std::string(motsNotes[m]))
                   << ", \"score\": " << ecrireUnites(points[test], decimales)
                   << ", \"max_score\": " << ecrireUnites(maxima[test], decimales)
                   << ", \"status\": \"" << (reussi ? "passed" : "failed") << "\", \"visibility\": \""
                   << (jeux[j].cache ? gradescope.visibiliteCachee : std::string_view("visible")) << "\",\n     \"output\": "
                   << echapperJson(decrireTest(jeux[j], resultat, m, premier)) << "}";
            separateur = ",\n";
            premier = false;
            ++test;
        }
    }
    sortie << "\n  ]\n}\n";
}
