#include "classe/formats/moodle.h"

#include "classe/resultats/bareme.h"
#include "classe/sorties/echappement.h"
#include "classe/sorties/tableau.h"

#include <algorithm>

namespace {

// The strings of Moodle's language packs: "hiddenuser", the worksheet's
// columns, and the comments plugin's name.
constexpr ChainesMoodle chainesFr{"Identifiant",   "Nom complet",
                                  "Note",          "Note maximale",
                                  "Derni\xC3\xA8re modification (note)",
                                  "Feedback par commentaires", "Participant"};
constexpr ChainesMoodle chainesEn{"Identifier",    "Full name",
                                  "Grade",         "Maximum grade",
                                  "Last modified (grade)",
                                  "Feedback comments", "Participant "};

} // namespace

const ChainesMoodle& chainesMoodle(LangueMoodle langue)
{
    return langue == LangueMoodle::fr ? chainesFr : chainesEn;
}

std::optional<LangueMoodle> lireLangueMoodle(std::string_view texte)
{
    if (texte == "fr")
        return LangueMoodle::fr;
    if (texte == "en")
        return LangueMoodle::en;
    return std::nullopt;
}

std::string citerCsv(std::string_view texte)
{
    std::string propre = assainir(texte);
    std::replace_if(propre.begin(), propre.end(), [](char octet) { return octet == '\n' || octet == '\t'; }, ' ');
    return citerChamp(propre, ',', !propre.empty() && propre.front() == ' ');
}

std::string horodaterMoodle(std::time_t instant)
{
    std::tm temps{};
    gmtime_r(&instant, &temps);
    char tampon[40];
    const std::size_t taille = std::strftime(tampon, sizeof tampon, "%Y-%m-%dT%H:%M:%S+00:00", &temps);
    return std::string(tampon, taille);
}

void ecrireEnteteMoodle(std::ostream& sortie, LangueMoodle langue)
{
    const ChainesMoodle& chaines = chainesMoodle(langue);
    sortie << citerCsv(chaines.identifiant) << ',' << citerCsv(chaines.nomComplet) << ','
           << citerCsv(chaines.note) << ',' << citerCsv(chaines.noteMax) << ','
           << citerCsv(chaines.modification) << ',' << citerCsv(chaines.commentaire) << '\n';
}

void ecrireRangeeMoodle(std::ostream& sortie, LangueMoodle langue, const RangeeMoodle& rangee)
{
    const ChainesMoodle& chaines = chainesMoodle(langue);
    sortie << citerCsv(std::string(chaines.participant) + rangee.participant) << ','
           << citerCsv(rangee.nomComplet) << ','
           << (rangee.note ? formaterNombre(*rangee.note, rangee.decimales, '.') : std::string()) << ','
           << formaterNombre(rangee.sur, 2, '.') << ',' << citerCsv(rangee.modification) << ','
           // The comments plugin stores its text as HTML.
           << citerCsv(echapperXml(rangee.commentaire)) << '\n';
}
