#include "classe/formats/notes_moodle.h"

#include "classe/resultats/fins.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"
#include "execution/verdict.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace {

std::string citer(const std::string& texte)
{
    return rendreInoffensif(texte);
}

std::string accorder(std::size_t nombre, const char* singulier, const char* pluriel)
{
    return std::to_string(nombre) + " " + (nombre > 1 ? pluriel : singulier);
}

} // namespace

bool preparerMoodle(const std::string& chemin, const Bareme* bareme, std::optional<FeuilleMoodle>& feuille,
                    std::string& erreur)
{
    if (chemin.empty()) {
        if (bareme == nullptr) {
            erreur = "--moodle demande un bar\xC3\xA8me (--bareme, \xC2\xAB sur N \xC2\xBB \xC3\xA9gal \xC3\xA0 la note maximale du devoir) "
                     "ou la feuille de notes t\xC3\xA9l\xC3\xA9" "charg\xC3\xA9" "e du devoir (--moodle-feuille) : "
                     "un nombre de lignes r\xC3\xA9ussies n'est pas une note Moodle";
            return false;
        }
        return true;
    }
    std::ifstream fichier(chemin, std::ios::binary);
    const std::string texte((std::istreambuf_iterator<char>(fichier)), std::istreambuf_iterator<char>());
    if (!fichier && !fichier.eof()) {
        erreur = citer(chemin) + " : impossible de lire la feuille de notes";
        return false;
    }
    FeuilleMoodle lue;
    if (!lireFeuilleMoodle(texte, lue, erreur)) {
        erreur.insert(0, citer(chemin) + " : ");
        return false;
    }
    if (bareme != nullptr && std::fabs(bareme->sur - lue.maximum) > 1e-9) {
        erreur = citer(chemin) + " : note maximale du devoir " + formaterNombre(lue.maximum, 2, ',')
            + ", bar\xC3\xA8me sur " + formaterNombre(bareme->sur, 2, ',')
            + " : Moodle ignorerait les notes au-del\xC3\xA0 ; accorder le bar\xC3\xA8me (\xC2\xAB sur "
            + formaterNombre(lue.maximum, 2, ',') + " \xC2\xBB) ou le devoir";
        return false;
    }
    feuille = std::move(lue);
    return true;
}

std::set<std::string> listerParticipants(const FeuilleMoodle& feuille)
{
    std::set<std::string> numeros;
    for (std::size_t r = 1; r < feuille.rangees.size(); ++r)
        numeros.insert(numeroRangee(feuille, feuille.rangees[r]));
    numeros.erase(std::string());
    return numeros;
}

std::string remplirMoodle(const std::string& chemin, std::optional<FeuilleMoodle>& feuille, LangueMoodle langue,
                          const std::vector<NoteMoodle>& notes, double sur, int decimales, std::time_t instant,
                          std::ostream& erreurs)
{
    std::ostringstream texte;
    std::size_t sansNumero = 0;
    std::string premiere;
    std::size_t verrouillees = 0;
    std::string premiereVerrouillee;
    std::size_t remplies = 0;
    std::map<std::string, std::size_t> rangees; // participant number, row
    if (feuille) {
        for (std::size_t r = 1; r < feuille->rangees.size(); ++r)
            rangees.emplace(numeroRangee(*feuille, feuille->rangees[r]), r);
    } else {
        ecrireEnteteMoodle(texte, langue);
    }
    std::set<std::string> vus;
    for (const NoteMoodle& note : notes) {
        std::string nomComplet;
        const std::string participant = extraireParticipant(note.nom, &nomComplet);
        if (participant.empty()) {
            if (sansNumero++ == 0)
                premiere = note.nom;
            continue;
        }
        if (feuille && !vus.insert(participant).second) {
            erreurs << prefixe << citer(chemin) << " : participant " << participant << " : une autre remise, "
                    << citer(note.nom) << ", laiss\xC3\xA9" "e de c\xC3\xB4t\xC3\xA9\n";
            continue;
        }
        if (!feuille) {
            // A student who handed nothing in gets no words: Moodle would
            // import them as the feedback comment.
            ecrireRangeeMoodle(texte, langue,
                               {participant, nomComplet, note.trouvee ? note.note : std::nullopt, decimales, sur,
                                horodaterMoodle(instant), note.trouvee ? note.commentaire : std::string()});
            continue;
        }
        const auto rangee = rangees.find(participant);
        if (rangee == rangees.end()) {
            erreurs << prefixe << citer(note.nom) << " : participant " << participant << " absent de la feuille "
                    << citer(chemin) << " (num\xC3\xA9ro d'un groupe, ou d'un autre devoir) : sa note n'est \xC3\xA9" "crite nulle part\n";
            continue;
        }
        // An empty folder leaves the row as downloaded, as a missing one.
        if (!note.trouvee || !note.note)
            continue;
        RangeeFeuille& ligne = feuille->rangees[rangee->second];
        if (!estModifiable(*feuille, ligne)) {
            if (verrouillees++ == 0)
                premiereVerrouillee = ligne.cellules[feuille->identifiant];
            continue;
        }
        remplirRangee(*feuille, ligne, *note.note, decimales, note.commentaire);
        ++remplies;
    }
    if (sansNumero > 0)
        erreurs << prefixe << citer(chemin) << " : " << sansNumero
                << (sansNumero > 1 ? " remises absentes" : " remise absente") << " de la feuille, sans num\xC3\xA9ro de participant (\xC2\xAB Nom_123456_assignsubmission_file_ \xC2\xBB), dont "
                << citer(premiere) << '\n';
    if (verrouillees > 0)
        erreurs << prefixe << citer(chemin) << " : " << accorder(verrouillees, "note", "notes")
                << " que le carnet de notes ne laisse pas modifier (verrouill\xC3\xA9" "e ou remplac\xC3\xA9" "e), laiss\xC3\xA9"
                << (verrouillees > 1 ? "es" : "e") << " telle" << (verrouillees > 1 ? "s" : "") << " quelle"
                << (verrouillees > 1 ? "s" : "") << ", dont " << citer(premiereVerrouillee) << '\n';
    if (feuille && !feuille->commentaire && remplies > 0)
        erreurs << prefixe << citer(chemin)
                << " : pas de colonne \xC2\xAB Feedback par commentaires \xC2\xBB dans la feuille : notes sans commentaire\n";
    if (feuille)
        ecrireFeuilleMoodle(texte, *feuille);
    return texte.str();
}

std::string resumerMoodle(const std::vector<Jeu>& jeux, const ResultatRemise& remise, std::optional<double> note,
                          double sur, int decimales)
{
    std::string texte;
    if (note)
        texte = "Note " + formaterNombre(*note, decimales, ',') + "/" + formaterNombre(sur, 2, ',');
    if (!remise.trouvee)
        return texte.empty() ? remise.statut : texte + " ; " + remise.statut;
    if (!remise.compilee)
        return (texte.empty() ? "" : texte + " ; ") + std::string(finNonCompilee);
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        const Jeu& jeu = jeux[j];
        const ResultatJeu& resultat = resultatDuJeu(remise, j);
        std::int64_t reussies = 0;
        std::int64_t lignes = 0;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            reussies += resultat.note ? resultat.reussites[m] : 0;
            lignes += jeu.maxima[m];
        }
        texte += (texte.empty() ? "" : " ; ") + jeu.nom + (jeu.cache ? " (cach\xC3\xA9)" : "") + " : ";
        const std::string fin = montrerFin(jeu, resultat.fin);
        if (!fin.empty() && fin != finNormale)
            texte += fin + ", ";
        texte += std::to_string(reussies) + "/" + std::to_string(lignes) + " lignes";
    }
    return texte;
}

std::string conclureMoodle(double sur, LangueMoodle langue)
{
    return "Moodle : note maximale du devoir \xC3\xA0 r\xC3\xA9gler sur " + formaterNombre(sur, 2, ',')
        + ", feuille \xC3\xA0 importer par un enseignant dont Moodle est en "
        + (langue == LangueMoodle::fr ? "fran\xC3\xA7" "ais" : "anglais");
}
