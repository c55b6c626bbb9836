#include "classe/formats/junit.h"

#include "classe/resultats/fins.h"
#include "classe/sorties/echappement.h"
#include "classe/sorties/sorties.h"
#include "execution/verdict.h"

namespace {

// Jenkins splits a classname at its last dot into a package and a class:
// the submission's name keeps no dot, and is unique over the file.
std::string nommerSuite(Junit& junit, const std::string& nom)
{
    std::string sansPoint = nom;
    std::replace(sansPoint.begin(), sansPoint.end(), '.', '_');
    std::string unique = sansPoint;
    for (int n = 2; !junit.suites.insert(unique).second; ++n)
        unique = sansPoint + " (" + std::to_string(n) + ")";
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

// Why a word of a set failed, in one line, and what shows it: the
// compiler's first lines, or a visible set's first failing line.
void expliquerEchec(const Jeu& jeu, const ResultatRemise& remise, const ResultatJeu& resultat, std::size_t mot,
                    std::string& message, std::string& texte)
{
    if (!resultat.note && remise.compilee) {
        message += ", " + (remise.statut.empty() || remise.statut == statutOk ? std::string("non not\xC3\xA9") : remise.statut);
    } else if (!remise.compilee) {
        message += ", " + std::string(finNonCompilee);
        texte = remise.compilation.substr(0, 2000);
    } else {
        const std::string fin = montrerFin(jeu, resultat.fin);
        if (!fin.empty() && fin != finNormale)
            message += ", fin : " + fin;
        if (!jeu.cache)
            texte = resultat.premiersEchecs[mot];
    }
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
    std::size_t sautes = 0;
    double secondes = 0;
    std::string corps;
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        const ResultatJeu& resultat = resultatDuJeu(remise, j);
        // A hidden set's time is no more shown than its other measures.
        const bool chronometre = remise.trouvee && resultat.secondes >= 0 && montrerMesures(jeux[j]);
        if (chronometre)
            secondes += resultat.secondes;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (jeux[j].maxima[m] == 0)
                continue;
            ++tests;
            const std::int64_t reussies = resultat.note ? resultat.reussites[m] : 0;
            corps += "    <testcase classname=\"" + attribut(suite) + "\" name=\""
                + attribut(jeux[j].nom + " : " + std::string(motsNotes[m])) + "\"";
            if (chronometre)
                corps += " time=\"" + formaterNombre(resultat.secondes, 3, '.') + "\"";
            if (!remise.trouvee) {
                ++sautes;
                corps += ">\n      <skipped message=\"" + attribut(remise.statut.empty() ? statutAbsent : remise.statut)
                    + "\"/>\n    </testcase>\n";
                continue;
            }
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
            expliquerEchec(jeux[j], remise, resultat, m, message, texte);
            // GitLab shows a failure's text only: the message leads it.
            if (!texte.empty())
                texte.insert(0, message + '\n');
            corps += ">\n      <failure message=\"" + attribut(message) + "\" type=\"echec\">"
                + echapperXml(texte.empty() ? message : texte) + "</failure>\n    </testcase>\n";
        }
    }
    sortie << "  <testsuite name=\"" << attribut(suite) << "\" tests=\"" << tests << "\" failures=\""
           << echecs << "\" errors=\"0\" skipped=\"" << sautes << "\" time=\"" << formaterNombre(secondes, 3, '.')
           << "\">\n"
           << corps << "  </testsuite>\n";
}

void ecrireFinJunit(std::ostream& sortie)
{
    sortie << "</testsuites>\n";
}
