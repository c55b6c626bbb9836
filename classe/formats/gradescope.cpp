#include "classe/formats/gradescope.h"

#include "classe/sorties/echappement.h"
#include "execution/verdict.h"

#include <string>

namespace {

std::string nombreJson(double valeur)
{
    return formaterNombre(valeur, 4, '.');
}

// A test's output: its counts, how the set's run ended on its first test,
// and for a visible set the word's first failing line. The whole
// explanation is the submission's own output, not any one test's.
std::string decrireTest(const Jeu& jeu, const ResultatJeu& resultat, std::size_t mot, bool premier)
{
    std::string texte = std::string(motsNotes[mot]) + " : "
        + std::to_string(resultat.note ? resultat.reussites[mot] : 0) + "/" + std::to_string(jeu.maxima[mot])
        + " lignes r\xC3\xA9ussies\n";
    if (premier) {
        texte += "fin : " + (resultat.fin.empty() ? std::string(resultat.note ? finNormale : "non not\xC3\xA9") : resultat.fin);
        if (resultat.secondes >= 0)
            texte += ", " + formaterNombre(resultat.secondes, 2, ',') + " s";
        if (resultat.mio >= 0)
            texte += ", " + formaterNombre(resultat.mio, 1, ',') + " Mio";
        texte += '\n';
    }
    if (!jeu.cache && !(resultat.note && resultat.reussites[mot] >= jeu.maxima[mot]))
        texte += resultat.premiersEchecs[mot];
    return texte;
}

} // namespace

void ecrireGradescope(std::ostream& sortie, const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                      const Notation& notation, std::string_view retour)
{
    sortie << "{\n  \"score\": " << nombreJson(notation.note.value_or(0)) << ",\n"
           << "  \"output\": " << echapperJson(retour) << ",\n"
           << "  \"output_format\": \"text\",\n  \"test_output_format\": \"text\",\n"
           << "  \"tests\": [";
    const char* separateur = "\n";
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        const ResultatJeu& resultat = resultatDuJeu(remise, j);
        bool premier = true;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (jeux[j].maxima[m] == 0)
                continue;
            const Part part = j < notation.parts.size() ? notation.parts[j][m] : Part{};
            const bool reussi = resultat.note && resultat.reussites[m] >= jeux[j].maxima[m];
            sortie << separateur << "    {\"name\": " << echapperJson(jeux[j].nom + " : " + std::string(motsNotes[m]))
                   << ", \"score\": " << nombreJson(part.points) << ", \"max_score\": " << nombreJson(part.max)
                   << ", \"status\": \"" << (reussi ? "passed" : "failed") << "\", \"visibility\": \""
                   << (jeux[j].cache ? "hidden" : "visible") << "\",\n     \"output\": "
                   << echapperJson(decrireTest(jeux[j], resultat, m, premier)) << "}";
            separateur = ",\n";
            premier = false;
        }
    }
    sortie << "\n  ]\n}\n";
}
