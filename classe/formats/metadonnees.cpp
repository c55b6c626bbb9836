#include "classe/formats/metadonnees.h"

#include "classe/sorties/tableau.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// A reader of JSON that keeps one value: the scalar at a path of object
// keys. Strings are compared as written, escapes included, which the keys
// sought never hold.
struct Lecture {
    std::string_view texte;
    std::size_t i = 0;
    std::vector<std::string_view> chemin; // the keys from the top
    std::size_t profondeur = 0;
    std::vector<std::string_view> cles;   // the path being read
    std::optional<std::string> trouve;
};

void sauterBlancs(Lecture& lecture)
{
    while (lecture.i < lecture.texte.size()
           && std::string_view(" \t\r\n").find(lecture.texte[lecture.i]) != std::string_view::npos)
        ++lecture.i;
}

bool lireChaine(Lecture& lecture, std::string_view& chaine)
{
    if (lecture.i >= lecture.texte.size() || lecture.texte[lecture.i] != '"')
        return false;
    const std::size_t debut = ++lecture.i;
    while (lecture.i < lecture.texte.size() && lecture.texte[lecture.i] != '"')
        lecture.i += lecture.texte[lecture.i] == '\\' ? 2 : 1;
    if (lecture.i >= lecture.texte.size())
        return false;
    chaine = lecture.texte.substr(debut, lecture.i++ - debut);
    return true;
}

bool lireValeur(Lecture& lecture)
{
    sauterBlancs(lecture);
    if (lecture.i >= lecture.texte.size() || ++lecture.profondeur > 200)
        return false;
    const char premier = lecture.texte[lecture.i];
    bool reussi = true;
    if (premier == '{' || premier == '[') {
        const char fin = premier == '{' ? '}' : ']';
        ++lecture.i;
        sauterBlancs(lecture);
        bool vide = lecture.i < lecture.texte.size() && lecture.texte[lecture.i] == fin;
        while (reussi && !vide) {
            std::string_view cle;
            sauterBlancs(lecture);
            if (premier == '{') {
                reussi = lireChaine(lecture, cle);
                sauterBlancs(lecture);
                reussi = reussi && lecture.i < lecture.texte.size() && lecture.texte[lecture.i++] == ':';
            }
            lecture.cles.push_back(premier == '{' ? cle : std::string_view("\x01"));
            reussi = reussi && lireValeur(lecture);
            lecture.cles.pop_back();
            sauterBlancs(lecture);
            reussi = reussi && lecture.i < lecture.texte.size();
            if (reussi && lecture.texte[lecture.i] == fin)
                break;
            reussi = reussi && lecture.texte[lecture.i++] == ',';
        }
        ++lecture.i;
    } else {
        const std::size_t debut = lecture.i;
        std::string_view chaine;
        if (premier == '"') {
            reussi = lireChaine(lecture, chaine);
        } else {
            while (lecture.i < lecture.texte.size()
                   && std::string_view(",]} \t\r\n").find(lecture.texte[lecture.i]) == std::string_view::npos)
                ++lecture.i;
            chaine = lecture.texte.substr(debut, lecture.i - debut);
            reussi = !chaine.empty();
        }
        if (reussi && lecture.cles == lecture.chemin)
            lecture.trouve = std::string(chaine);
    }
    --lecture.profondeur;
    return reussi;
}

} // namespace

std::optional<double> lirePointsGradescope(std::string_view json)
{
    Lecture lecture{json, 0, {"assignment", "total_points"}, 0, {}, std::nullopt};
    if (!lireValeur(lecture))
        return std::nullopt;
    sauterBlancs(lecture);
    if (lecture.i < json.size() || !lecture.trouve || lecture.trouve->empty())
        return std::nullopt;
    char* fin = nullptr;
    const double points = std::strtod(lecture.trouve->c_str(), &fin);
    if (fin != lecture.trouve->c_str() + lecture.trouve->size() || !(points > 0) || points > 1e9)
        return std::nullopt;
    return points;
}

bool lirePointsAttendus(const std::string& chemin, const Bareme* bareme, std::optional<double>& points,
                        std::string& erreur)
{
    const std::string lu = chemin.empty() ? std::string(cheminMetadonneesGradescope) : chemin;
    std::ifstream fichier(lu, std::ios::binary);
    if (fichier) {
        const std::string texte((std::istreambuf_iterator<char>(fichier)), std::istreambuf_iterator<char>());
        points = lirePointsGradescope(texte);
        if (!points) {
            erreur = rendreInoffensif(lu) + " : pas de nombre \xC2\xAB assignment.total_points \xC2\xBB";
            return false;
        }
    } else if (!chemin.empty()) {
        erreur = rendreInoffensif(lu) + " : impossible de lire les m\xC3\xA9tadonn\xC3\xA9" "es";
        return false;
    }
    if (bareme != nullptr && points && std::fabs(*points - bareme->sur) > 1e-9) {
        erreur = rendreInoffensif(lu) + " : le devoir vaut " + formaterNombre(*points, 2, ',')
            + " points, le bar\xC3\xA8me est sur " + formaterNombre(bareme->sur, 2, ',')
            + " : accorder l'un \xC3\xA0 l'autre";
        return false;
    }
    if (bareme == nullptr && !points) {
        erreur = "--gradescope demande un bar\xC3\xA8me (--bareme) ou les points du devoir "
                 "(--gradescope-metadonnees, submission_metadata.json) : un nombre de lignes r\xC3\xA9ussies "
                 "n'est pas une note Gradescope";
        return false;
    }
    return true;
}
