#include "classe/formats/junit.h"

#include "classe/sorties/echappement.h"
#include "execution/verdict.h"

namespace {

std::string nommerSuite(Junit& junit, const std::string& nom)
{
    std::string unique = nom;
    for (int n = 2; !junit.suites.insert(unique).second; ++n)
        unique = nom + " (" + std::to_string(n) + ")";
    return unique;
}

std::string attribut(std::string_view texte)
{
    std::string echappe = echapperXml(texte);
    // Attribute values have their newlines normalised away by parsers.
    std::string resultat;
    for (const char octet : echappe) {
        if (octet == '\n')
            resultat += "&#10;";
        else if (octet == '\t')
            resultat += "&#9;";
        else
            resultat += octet;
    }
    return resultat;
}

} // namespace

void ecrireDebutJunit(std::ostream& sortie)
{
    sortie << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"valideur-classe\">\n";
}

void ecrireSuiteJunit(std::ostream& sortie, Junit& junit, const std::vector<Jeu>& jeux,
                      const ResultatRemise& remise, const Notation& notation)
{
    const std::string suite = nommerSuite(junit, assainir(remise.nom));
    std::size_t tests = 0;
    std::size_t echecs = 0;
    double secondes = 0;
    std::string corps;
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        const ResultatJeu& resultat = resultatDuJeu(remise, j);
        if (resultat.secondes > 0)
            secondes += resultat.secondes;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (jeux[j].maxima[m] == 0)
                continue;
            ++tests;
            const std::int64_t reussies = resultat.note ? resultat.reussites[m] : 0;
            corps += "    <testcase classname=\"" + attribut(suite + "." + jeux[j].nom) + "\" name=\""
                + attribut(motsNotes[m]) + "\"";
            if (resultat.note && reussies >= jeux[j].maxima[m]) {
                corps += "/>\n";
                continue;
            }
            ++echecs;
            std::string message = std::to_string(reussies) + "/" + std::to_string(jeux[j].maxima[m])
                + " lignes r\xC3\xA9ussies";
            if (j < notation.parts.size() && notation.parts[j][m].max > 0)
                message += " (" + formaterNombre(notation.parts[j][m].points, 2, '.') + "/"
                    + formaterNombre(notation.parts[j][m].max, 2, '.') + ")";
            std::string texte;
            if (!remise.trouvee || (!resultat.note && remise.compilee)) {
                message += ", " + (remise.statut.empty() ? std::string("non not\xC3\xA9") : remise.statut);
            } else if (!remise.compilee) {
                message += ", " + std::string(finNonCompilee);
                texte = remise.compilation.substr(0, 2000);
            } else {
                if (!resultat.fin.empty() && resultat.fin != finNormale)
                    message += ", fin : " + resultat.fin;
                if (!jeux[j].cache)
                    texte = resultat.premiersEchecs[m];
            }
            corps += ">\n      <failure message=\"" + attribut(message) + "\" type=\"echec\">"
                + echapperXml(texte) + "</failure>\n    </testcase>\n";
        }
    }
    sortie << "  <testsuite name=\"" << attribut(suite) << "\" tests=\"" << tests << "\" failures=\""
           << echecs << "\" errors=\"0\" skipped=\"0\" time=\"" << formaterNombre(secondes, 3, '.')
           << "\">\n"
           << corps << "  </testsuite>\n";
}

void ecrireFinJunit(std::ostream& sortie)
{
    sortie << "</testsuites>\n";
}
