#include "classe/formats/feuille_moodle.h"

#include "classe/resultats/bareme.h"
#include "classe/sorties/tableau.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The column names of Moodle's language packs, English and French, as the
// worksheet's download writes them.
constexpr std::string_view nomsIdentifiant[] = {"Identifier", "Identifiant"};
constexpr std::string_view nomsNote[] = {"Grade", "Note"};
constexpr std::string_view nomsMaximum[] = {"Maximum grade", "Note maximale"};
constexpr std::string_view nomsModifiable[] = {"Grade can be changed", "La note peut \xC3\xAAtre modifi\xC3\xA9" "e"};
constexpr std::string_view nomsCommentaire[] = {"Feedback comments", "Feedback par commentaires",
                                                "Commentaires de feedback"};
constexpr std::string_view valeursNon[] = {"No", "Non"};

bool egalerSansCasse(std::string_view a, std::string_view b)
{
    const auto minuscule = [](char octet) { return octet >= 'A' && octet <= 'Z' ? static_cast<char>(octet + 32) : octet; };
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return minuscule(x) == minuscule(y); });
}

std::string_view rogner(std::string_view texte)
{
    while (!texte.empty() && (texte.front() == ' ' || texte.front() == '\t'))
        texte.remove_prefix(1);
    while (!texte.empty() && (texte.back() == ' ' || texte.back() == '\t'))
        texte.remove_suffix(1);
    return texte;
}

template <std::size_t N>
bool estUnDe(std::string_view texte, const std::string_view (&noms)[N])
{
    return std::any_of(std::begin(noms), std::end(noms),
                       [texte](std::string_view nom) { return egalerSansCasse(rogner(texte), nom); });
}

template <std::size_t N>
std::optional<std::size_t> chercherColonne(const std::vector<std::string>& entete, const std::string_view (&noms)[N])
{
    for (std::size_t i = 0; i < entete.size(); ++i) {
        if (estUnDe(entete[i], noms))
            return i;
    }
    return std::nullopt;
}

// One record from `i`: its cells, its text and its line end.
bool lireRangee(std::string_view texte, std::size_t& i, RangeeFeuille& rangee)
{
    const std::size_t debut = i;
    std::string cellule;
    bool citee = false;
    while (i < texte.size()) {
        const char octet = texte[i];
        if (citee) {
            if (octet == '"' && i + 1 < texte.size() && texte[i + 1] == '"') {
                cellule += '"';
                i += 2;
                continue;
            }
            if (octet == '"')
                citee = false;
            else
                cellule += octet;
            ++i;
            continue;
        }
        if (octet == '"') {
            citee = true;
        } else if (octet == ',') {
            rangee.cellules.push_back(std::move(cellule));
            cellule.clear();
        } else if (octet == '\n' || octet == '\r') {
            break;
        } else {
            cellule += octet;
        }
        ++i;
    }
    if (citee)
        return false;
    rangee.cellules.push_back(std::move(cellule));
    rangee.brut = std::string(texte.substr(debut, i - debut));
    const std::size_t finLigne = i;
    if (i < texte.size() && texte[i] == '\r')
        ++i;
    if (i < texte.size() && texte[i] == '\n')
        ++i;
    rangee.fin = std::string(texte.substr(finLigne, i - finLigne));
    return true;
}

std::optional<double> lireNombreFeuille(std::string_view cellule)
{
    std::string texte(rogner(cellule));
    std::replace(texte.begin(), texte.end(), ',', '.');
    if (texte.empty() || texte.find_first_not_of("0123456789.") != std::string::npos)
        return std::nullopt;
    char* fin = nullptr;
    const double valeur = std::strtod(texte.c_str(), &fin);
    if (fin != texte.c_str() + texte.size())
        return std::nullopt;
    return valeur;
}

std::string citer(std::string_view texte)
{
    return "\xC2\xAB " + rendreInoffensif(texte) + " \xC2\xBB";
}

// A cell as RFC 4180 writes it, quoted when it must be to be read back
// whole, spaces around included.
std::string ecrireCellule(std::string_view cellule)
{
    const bool forcer = cellule.find_first_of("\r\n") != std::string_view::npos
        || (!cellule.empty() && (cellule.front() == ' ' || cellule.back() == ' '));
    return citerChamp(cellule, ',', forcer);
}

} // namespace

bool lireFeuilleMoodle(std::string_view texte, FeuilleMoodle& feuille, std::string& erreur)
{
    if (texte.substr(0, marqueOrdre.size()) == marqueOrdre) {
        feuille.marque = std::string(marqueOrdre);
        texte.remove_prefix(marqueOrdre.size());
    }
    std::size_t i = 0;
    while (i < texte.size()) {
        RangeeFeuille rangee;
        if (!lireRangee(texte, i, rangee)) {
            erreur = "guillemet non ferm\xC3\xA9, ligne " + std::to_string(feuille.rangees.size() + 1);
            return false;
        }
        // Blank lines, at the end mostly, are no rows.
        if (rangee.brut.empty() && !feuille.rangees.empty() && i >= texte.size())
            feuille.rangees.back().fin += rangee.fin;
        else
            feuille.rangees.push_back(std::move(rangee));
    }
    if (feuille.rangees.empty()) {
        erreur = "feuille vide";
        return false;
    }
    const std::vector<std::string>& entete = feuille.rangees.front().cellules;
    const auto identifiant = chercherColonne(entete, nomsIdentifiant);
    const auto note = chercherColonne(entete, nomsNote);
    const auto maximum = chercherColonne(entete, nomsMaximum);
    if (!identifiant || !note || !maximum) {
        erreur = "pas une feuille de notes t\xC3\xA9l\xC3\xA9" "charg\xC3\xA9" "e d'un devoir Moodle (colonnes "
            + citer(!identifiant ? "Identifiant" : !note ? "Note" : "Note maximale") + " ou "
            + citer(!identifiant ? "Identifier" : !note ? "Grade" : "Maximum grade") + " introuvables)";
        return false;
    }
    feuille.identifiant = *identifiant;
    feuille.note = *note;
    feuille.modifiable = chercherColonne(entete, nomsModifiable);
    feuille.commentaire = chercherColonne(entete, nomsCommentaire);
    std::optional<double> sur;
    for (std::size_t r = 1; r < feuille.rangees.size(); ++r) {
        RangeeFeuille& rangee = feuille.rangees[r];
        rangee.cellules.resize(std::max(rangee.cellules.size(), entete.size()));
        const std::string& celluleMax = rangee.cellules[*maximum];
        const std::optional<double> valeur = lireNombreFeuille(celluleMax);
        const std::string& celluleNote = rangee.cellules[*note];
        // A scale's grades are words, and its maximum none or one of them.
        if (!valeur || *valeur <= 0 || (sur && *valeur != *sur)
            || (!rogner(celluleNote).empty() && rogner(celluleNote) != "-" && !lireNombreFeuille(celluleNote))) {
            erreur = "devoir not\xC3\xA9 par une \xC3\xA9" "chelle (note maximale " + citer(celluleMax) + ", note "
                + citer(celluleNote) + ", ligne " + std::to_string(r + 1)
                + ") : seule une note num\xC3\xA9rique peut \xC3\xAAtre remplie ; choisir le type \xC2\xAB Point \xC2\xBB dans le devoir";
            return false;
        }
        sur = valeur;
        if (celluleMax.find(',') != std::string::npos)
            feuille.separateur = ',';
    }
    if (!sur) {
        erreur = "feuille sans participant";
        return false;
    }
    feuille.maximum = *sur;
    return true;
}

std::string numeroRangee(const FeuilleMoodle& feuille, const RangeeFeuille& rangee)
{
    const std::string_view cellule = rogner(rangee.cellules[feuille.identifiant]);
    std::size_t debut = cellule.size();
    while (debut > 0 && cellule[debut - 1] >= '0' && cellule[debut - 1] <= '9')
        --debut;
    return std::string(cellule.substr(debut));
}

bool estModifiable(const FeuilleMoodle& feuille, const RangeeFeuille& rangee)
{
    return !feuille.modifiable || !estUnDe(rangee.cellules[*feuille.modifiable], valeursNon);
}

void remplirRangee(const FeuilleMoodle& feuille, RangeeFeuille& rangee, double note, int decimales,
                   const std::string& commentaire)
{
    rangee.cellules[feuille.note] = formaterNombre(note, decimales, feuille.separateur);
    if (feuille.commentaire)
        rangee.cellules[*feuille.commentaire] = commentaire;
    rangee.changee = true;
}

void ecrireFeuilleMoodle(std::ostream& sortie, const FeuilleMoodle& feuille)
{
    sortie << feuille.marque;
    for (const RangeeFeuille& rangee : feuille.rangees) {
        if (!rangee.changee) {
            sortie << rangee.brut << rangee.fin;
            continue;
        }
        for (std::size_t i = 0; i < rangee.cellules.size(); ++i)
            sortie << (i > 0 ? "," : "") << ecrireCellule(rangee.cellules[i]);
        sortie << rangee.fin;
    }
}
