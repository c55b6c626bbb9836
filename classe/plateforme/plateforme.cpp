#include "classe/plateforme/plateforme.h"

#include "classe/formats/metadonnees.h"
#include "classe/formats/notes_moodle.h"
#include "classe/formats/retour.h"
#include "classe/plateforme/retours.h"
#include "classe/sorties/echappement.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include <unistd.h>

Notation noterPourPlateformes(const Plateformes& plateformes, const ResultatRemise& remise,
                              std::optional<double> sur)
{
    if (plateformes.bareme)
        return noterSelonBareme(*plateformes.bareme, plateformes.jeux, remise);
    return sur ? noterSurEchelle(plateformes.jeux, remise, *sur) : noterSansBareme(plateformes.jeux, remise);
}

Jeu nommerJeuUnique(const std::string& cheminTest, const Decomptes& maxima)
{
    Jeu jeu;
    std::string nom = cheminTest.substr(cheminTest.find_last_of('/') == std::string::npos
                                            ? 0 : cheminTest.find_last_of('/') + 1);
    const std::size_t point = nom.rfind('.');
    if (point != std::string::npos && point > 0)
        nom.erase(point);
    jeu.nom = nom.empty() ? "test" : nom;
    jeu.maxima = compterMots(maxima.tests, maxima.autresTests);
    return jeu;
}

bool preparerPlateformes(Plateformes& plateformes, std::vector<Jeu> jeux, const Ouverture& ouvrir,
                         std::string& erreur)
{
    DemandesPlateformes& demandes = plateformes.demandes;
    plateformes.jeux = std::move(jeux);
    plateformes.instant = std::time(nullptr);
    const Bareme* bareme = plateformes.bareme;
    if (!demandes.moodle.empty()) {
        if (!preparerMoodle(demandes.moodleFeuille, bareme, plateformes.feuille, erreur))
            return false;
        if (plateformes.feuille)
            plateformes.participantsFeuille = listerParticipants(*plateformes.feuille);
    }
    if (!demandes.gradescope.empty() && !lirePointsAttendus(demandes.gradescopeMetadonnees, bareme,
                                                            plateformes.pointsGradescope, erreur))
        return false;
    if (!demandes.retours.empty() && !creerDossierRetours(demandes.retours)) {
        erreur = rendreInoffensif(demandes.retours) + " : impossible de cr\xC3\xA9" "er le dossier des retours";
        return false;
    }
    // In the order of FichierFin.
    const std::string* chemins[] = {&demandes.moodle, &demandes.junit, &demandes.gradescope, &demandes.html};
    for (std::size_t i = 0; i < plateformes.fichiers.size(); ++i) {
        if (chemins[i]->empty())
            continue;
        plateformes.fichiers[i] = ouvrir(*chemins[i]);
        if (plateformes.fichiers[i] < 0) {
            erreur.clear();
            fermerPlateformes(plateformes);
            return false;
        }
    }
    return true;
}

void fermerPlateformes(Plateformes& plateformes)
{
    for (int& descripteur : plateformes.fichiers) {
        if (descripteur >= 0)
            close(descripteur);
        descripteur = -1;
    }
}

bool compterRemises(Plateformes& plateformes, std::size_t remises, std::string& erreur)
{
    if (!plateformes.demandes.gradescope.empty() && remises != 1) {
        erreur = "--gradescope note une seule remise, " + std::to_string(remises) + " trouv\xC3\xA9" "es";
        return false;
    }
    plateformes.rangees.resize(remises);
    return true;
}

std::string nommerJeuVisible(const std::vector<Jeu>& jeux)
{
    const auto visible = std::find_if(jeux.begin(), jeux.end(), [](const Jeu& jeu) { return !jeu.cache; });
    return visible == jeux.end() ? std::string() : visible->nom;
}

void rendreRemise(Plateformes& plateformes, std::size_t indice, Note& note, std::ostream& erreurs)
{
    const DemandesPlateformes& demandes = plateformes.demandes;
    ResultatRemise remise = convertirNote(note);
    const Bareme* bareme = plateformes.bareme;
    const Notation notation = noterPourPlateformes(plateformes, remise);
    std::string texte;
    if (!demandes.retours.empty()) {
        std::ostringstream retour;
        ecrireRetour(retour, plateformes.jeux, remise, notation, bareme);
        texte = retour.str();
    }
    std::string lien;
    // A number in no row of the downloaded worksheet (a team's) is no
    // participant's: its feedback is not named for one.
    const bool participant = !demandes.moodle.empty()
        && (!plateformes.feuille || plateformes.participantsFeuille.count(remise.identifiant) > 0);
    {
        const std::lock_guard<std::mutex> verrou(plateformes.verrou);
        // A student who handed nothing in gets no feedback file.
        if (!demandes.retours.empty() && remise.trouvee) {
            const std::string dossier = reserverDossier(
                plateformes.dossiersPris, nommerDossierRetour(remise.nom, remise.identifiant, participant));
            if (!ecrireRetourFichier(demandes.retours, dossier, texte)) {
                erreurs << prefixe << rendreInoffensif(demandes.retours + "/" + dossier + "/" + nomRetour)
                        << " : erreur d'\xC3\xA9" "criture\n";
                ++plateformes.echecsEcriture;
            }
            lien = encoderChemin(dossier) + "/" + nomRetour;
        }
        if (!demandes.gradescope.empty())
            plateformes.retourUnique = ecrireRetourVisible(plateformes.jeux, remise, notation, bareme);
    }
    // What the end keeps: no explanation; the first failures only for JUnit
    // and results.json.
    note.explication.clear();
    note.explication.shrink_to_fit();
    for (ResultatJeu& jeu : remise.jeux) {
        jeu.explication.clear();
        jeu.erreurs.clear();
        if (demandes.junit.empty() && demandes.gradescope.empty())
            jeu.premiersEchecs = {};
    }
    note.premiersEchecs = {};
    note.compilation.clear();
    for (ResultatJeu& jeu : note.jeux) {
        jeu.explication.clear();
        jeu.erreurs.clear();
        jeu.premiersEchecs = {};
    }
    RangeePage& rangee = plateformes.rangees[indice];
    rangee.remise = std::move(remise);
    rangee.note = notation.note;
    rangee.lien = std::move(lien);
}

std::string conclurePlateformes(const Plateformes& plateformes)
{
    const DemandesPlateformes& demandes = plateformes.demandes;
    if (demandes.moodle.empty() || plateformes.feuille || !plateformes.bareme)
        return {};
    return conclureMoodle(plateformes.bareme->sur, demandes.langueMoodle);
}
