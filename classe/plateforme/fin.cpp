#include "classe/plateforme/fin.h"

#include "classe/formats/gradescope.h"
#include "classe/formats/junit.h"
#include "classe/formats/notes_moodle.h"
#include "classe/formats/page.h"
#include "classe/plateforme/retours.h"
#include "classe/sorties/echappement.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"

#include <cstddef>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include <unistd.h>

namespace {

bool ecrireFichier(Plateformes& plateformes, FichierFin fichier, const std::string& chemin,
                   const std::string& contenu, std::ostream& erreurs)
{
    int& ouvert = plateformes.fichiers[static_cast<std::size_t>(fichier)];
    const int descripteur = ouvert;
    ouvert = -1;
    if (descripteur < 0)
        return false;
    const bool ecrit = viderFichier(descripteur) && ecrireTout(descripteur, contenu);
    if (close(descripteur) != 0 || !ecrit) {
        erreurs << prefixe << rendreInoffensif(chemin) << " : erreur d'\xC3\xA9" "criture\n";
        return false;
    }
    return true;
}

bool ecrireMoodle(Plateformes& plateformes, std::ostream& erreurs)
{
    const DemandesPlateformes& demandes = plateformes.demandes;
    const Bareme* bareme = plateformes.bareme;
    const double sur = bareme != nullptr ? bareme->sur : plateformes.feuille ? plateformes.feuille->maximum : 0;
    const int decimales = bareme != nullptr ? bareme->decimales : 2;
    std::vector<NoteMoodle> notes;
    for (const RangeePage& rangee : plateformes.rangees) {
        const std::optional<double> note = noterPourPlateformes(plateformes, rangee.remise, sur).note;
        notes.push_back({rangee.remise.nom, rangee.remise.trouvee, note,
                         resumerMoodle(plateformes.jeux, rangee.remise, note, sur, decimales)});
    }
    const std::string feuille = remplirMoodle(demandes.moodleFeuille.empty() ? demandes.moodle : demandes.moodleFeuille,
                                              plateformes.feuille, demandes.langueMoodle, notes, sur, decimales,
                                              plateformes.instant, erreurs);
    return ecrireFichier(plateformes, FichierFin::moodle, demandes.moodle, feuille, erreurs);
}

bool ecrireJunit(Plateformes& plateformes, std::ostream& erreurs)
{
    std::ostringstream xml;
    Junit junit;
    ecrireDebutJunit(xml);
    for (const RangeePage& rangee : plateformes.rangees)
        ecrireSuiteJunit(xml, junit, plateformes.jeux, rangee.remise, noterPourPlateformes(plateformes, rangee.remise));
    ecrireFinJunit(xml);
    return ecrireFichier(plateformes, FichierFin::junit, plateformes.demandes.junit, xml.str(), erreurs);
}

// The one submission's results, explanation included: kept in its feedback
// text, which is what its tests show.
bool ecrireResultatsGradescope(Plateformes& plateformes, std::ostream& erreurs)
{
    const Bareme* bareme = plateformes.bareme;
    const RangeePage& rangee = plateformes.rangees.front();
    Gradescope gradescope;
    gradescope.sur = bareme != nullptr ? bareme->sur : plateformes.pointsGradescope.value_or(0);
    gradescope.decimales = bareme != nullptr ? bareme->decimales : 2;
    gradescope.retour = plateformes.retourUnique;
    gradescope.visibiliteCachee = plateformes.demandes.visibiliteCachee;
    std::ostringstream json;
    ecrireGradescope(json, plateformes.jeux, rangee.remise,
                     noterPourPlateformes(plateformes, rangee.remise, gradescope.sur), gradescope);
    return ecrireFichier(plateformes, FichierFin::gradescope, plateformes.demandes.gradescope, json.str(), erreurs);
}

// Last, as it takes the rows.
bool ecrireRapport(Plateformes& plateformes, const std::vector<LigneManquee>* manquees, std::ostream& erreurs)
{
    const DemandesPlateformes& demandes = plateformes.demandes;
    Page page;
    page.titre = "Classe \xE2\x80\x94 ";
    for (std::size_t j = 0; j < plateformes.jeux.size(); ++j)
        page.titre += (j > 0 ? ", " : "") + plateformes.jeux[j].nom;
    page.jeux = plateformes.jeux;
    page.bareme = plateformes.bareme;
    if (manquees != nullptr)
        page.lignes = *manquees;
    page.sansVue = manquees == nullptr;
    const std::string prefixeLien = demandes.retours.empty() ? std::string() : lierRetours(demandes);
    page.rangees = std::move(plateformes.rangees);
    for (RangeePage& rangee : page.rangees) {
        if (!rangee.lien.empty())
            rangee.lien = encoderChemin(prefixeLien) + rangee.lien;
    }
    std::ostringstream html;
    ecrirePage(html, page);
    return ecrireFichier(plateformes, FichierFin::html, demandes.html, html.str(), erreurs);
}

} // namespace

bool ecrirePlateformes(Plateformes& plateformes, const std::vector<LigneManquee>* manquees,
                       std::ostream& erreurs)
{
    const DemandesPlateformes& demandes = plateformes.demandes;
    bool reussi = plateformes.echecsEcriture == 0;
    if (!demandes.moodle.empty())
        reussi = ecrireMoodle(plateformes, erreurs) && reussi;
    if (!demandes.junit.empty())
        reussi = ecrireJunit(plateformes, erreurs) && reussi;
    if (!demandes.gradescope.empty() && !plateformes.rangees.empty())
        reussi = ecrireResultatsGradescope(plateformes, erreurs) && reussi;
    if (!demandes.html.empty())
        reussi = ecrireRapport(plateformes, manquees, erreurs) && reussi;
    fermerPlateformes(plateformes);
    return reussi;
}
