#include "classe/plateforme/plateforme.h"

#include "classe/formats/gradescope.h"
#include "classe/formats/junit.h"
#include "classe/formats/metadonnees.h"
#include "classe/formats/notes_moodle.h"
#include "classe/formats/retour.h"
#include "classe/sorties/echappement.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"
#include "execution/verdict.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* nomRetour = "retour.txt";

std::string citer(const std::string& chemin)
{
    return rendreInoffensif(chemin);
}

bool ecrireTout(int descripteur, std::string_view texte)
{
    while (!texte.empty()) {
        const ssize_t ecrits = write(descripteur, texte.data(), texte.size());
        if (ecrits < 0 && errno == EINTR)
            continue;
        if (ecrits <= 0)
            return false;
        texte.remove_prefix(static_cast<std::size_t>(ecrits));
    }
    return true;
}

enum Fichier : std::size_t { moodle, junit, gradescope, html };

bool ecrireFichier(Plateformes& plateformes, Fichier fichier, const std::string& chemin,
                   const std::string& contenu, std::ostream& erreurs)
{
    const int descripteur = plateformes.fichiers[fichier];
    plateformes.fichiers[fichier] = -1;
    if (descripteur < 0)
        return false;
    const bool ecrit = viderFichier(descripteur) && ecrireTout(descripteur, contenu);
    if (close(descripteur) != 0 || !ecrit) {
        erreurs << prefixe << citer(chemin) << " : erreur d'\xC3\xA9" "criture\n";
        return false;
    }
    return true;
}

// The mark on a platform's scale: the scheme's, else the share of lines
// passed times `sur`, else lines passed.
Notation noter(const Plateformes& plateformes, const ResultatRemise& remise, std::optional<double> sur = std::nullopt)
{
    if (plateformes.bareme)
        return noterSelonBareme(*plateformes.bareme, plateformes.jeux, remise);
    return sur ? noterSurEchelle(plateformes.jeux, remise, *sur) : noterSansBareme(plateformes.jeux, remise);
}

// A feedback folder's name not given yet: a second submission of the same
// name gets "_2", and so on.
std::string reserverDossier(Plateformes& plateformes, const std::string& nom)
{
    std::string dossier = nom;
    for (int n = 2; !plateformes.dossiersPris.insert(dossier).second; ++n)
        dossier = nom + "_" + std::to_string(n);
    return dossier;
}

// Writes one feedback file, never through a link planted in the folder.
bool ecrireRetourFichier(const std::string& racine, const std::string& dossier, const std::string& texte)
{
    const std::string cheminDossier = racine + "/" + dossier;
    if (mkdir(cheminDossier.c_str(), 0777) != 0 && errno != EEXIST)
        return false;
    // Neither the folder nor the file may be a link that leads elsewhere.
    const int parent = open(cheminDossier.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (parent < 0)
        return false;
    const int descripteur = openat(parent, nomRetour, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    close(parent);
    if (descripteur < 0)
        return false;
    const bool ecrit = ecrireTout(descripteur, texte);
    return close(descripteur) == 0 && ecrit;
}

// The feedback folder as a link from the report's folder.
std::string lierRetours(const DemandesPlateformes& demandes)
{
    namespace fs = std::filesystem;
    std::error_code erreur;
    const fs::path page = fs::absolute(demandes.html, erreur);
    const fs::path retours = fs::absolute(demandes.retours, erreur);
    fs::path lien = fs::relative(retours, page.parent_path(), erreur);
    if (erreur || lien.empty())
        lien = retours;
    std::string texte = lien.generic_string();
    if (texte == ".")
        texte.clear();
    return texte.empty() || texte.back() == '/' ? texte : texte + "/";
}

} // namespace

bool demandePlateformes(const DemandesPlateformes& demandes)
{
    return !demandes.bareme.empty() || !demandes.retours.empty() || !demandes.moodle.empty()
        || !demandes.gradescope.empty() || !demandes.junit.empty() || !demandes.html.empty();
}

bool expliquerRemises(const DemandesPlateformes& demandes)
{
    return !demandes.retours.empty() || !demandes.gradescope.empty() || !demandes.junit.empty();
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
    if (!demandes.retours.empty()) {
        std::error_code code;
        std::filesystem::create_directories(demandes.retours, code);
        if (code || !std::filesystem::is_directory(demandes.retours, code)) {
            erreur = citer(demandes.retours) + " : impossible de cr\xC3\xA9" "er le dossier des retours";
            return false;
        }
    }
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
    const Notation notation = noter(plateformes, remise);
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
                plateformes, nommerDossierRetour(remise.nom, remise.identifiant, participant));
            if (!ecrireRetourFichier(demandes.retours, dossier, texte)) {
                erreurs << prefixe << citer(demandes.retours + "/" + dossier + "/" + nomRetour)
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

std::string conclurePlateformes(const Plateformes& plateformes)
{
    const DemandesPlateformes& demandes = plateformes.demandes;
    if (demandes.moodle.empty() || plateformes.feuille || !plateformes.bareme)
        return {};
    return conclureMoodle(plateformes.bareme->sur, demandes.langueMoodle);
}

bool ecrirePlateformes(Plateformes& plateformes, const std::vector<LigneManquee>* manquees,
                       std::ostream& erreurs)
{
    const DemandesPlateformes& demandes = plateformes.demandes;
    const Bareme* bareme = plateformes.bareme;
    bool reussi = plateformes.echecsEcriture == 0;
    if (!demandes.moodle.empty()) {
        const double sur = bareme != nullptr ? bareme->sur : plateformes.feuille ? plateformes.feuille->maximum : 0;
        const int decimales = bareme != nullptr ? bareme->decimales : 2;
        std::vector<NoteMoodle> notes;
        for (const RangeePage& rangee : plateformes.rangees) {
            const std::optional<double> note = noter(plateformes, rangee.remise, sur).note;
            notes.push_back({rangee.remise.nom, rangee.remise.trouvee, note,
                             resumerMoodle(plateformes.jeux, rangee.remise, note, sur, decimales)});
        }
        const std::string feuille = remplirMoodle(demandes.moodleFeuille.empty() ? demandes.moodle : demandes.moodleFeuille,
                                                  plateformes.feuille, demandes.langueMoodle, notes, sur, decimales,
                                                  plateformes.instant, erreurs);
        reussi = ecrireFichier(plateformes, Fichier::moodle, demandes.moodle, feuille, erreurs) && reussi;
    }
    if (!demandes.junit.empty()) {
        std::ostringstream xml;
        Junit junit;
        ecrireDebutJunit(xml);
        for (const RangeePage& rangee : plateformes.rangees) {
            ecrireSuiteJunit(xml, junit, plateformes.jeux, rangee.remise, noter(plateformes, rangee.remise));
        }
        ecrireFinJunit(xml);
        reussi = ecrireFichier(plateformes, Fichier::junit, demandes.junit, xml.str(), erreurs) && reussi;
    }
    if (!demandes.gradescope.empty() && !plateformes.rangees.empty()) {
        // The one submission's results, explanation included: kept in its
        // feedback text, which is what its tests show.
        const RangeePage& rangee = plateformes.rangees.front();
        Gradescope gradescope;
        gradescope.sur = bareme != nullptr ? bareme->sur : plateformes.pointsGradescope.value_or(0);
        gradescope.decimales = bareme != nullptr ? bareme->decimales : 2;
        gradescope.retour = plateformes.retourUnique;
        gradescope.visibiliteCachee = demandes.visibiliteCachee;
        std::ostringstream json;
        ecrireGradescope(json, plateformes.jeux, rangee.remise, noter(plateformes, rangee.remise, gradescope.sur),
                         gradescope);
        reussi = ecrireFichier(plateformes, Fichier::gradescope, demandes.gradescope, json.str(), erreurs) && reussi;
    }
    if (!demandes.html.empty()) {
        Page page;
        page.titre = "Classe \xE2\x80\x94 ";
        for (std::size_t j = 0; j < plateformes.jeux.size(); ++j)
            page.titre += (j > 0 ? ", " : "") + plateformes.jeux[j].nom;
        page.jeux = plateformes.jeux;
        page.bareme = bareme;
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
        reussi = ecrireFichier(plateformes, Fichier::html, demandes.html, html.str(), erreurs) && reussi;
    }
    fermerPlateformes(plateformes);
    return reussi;
}
