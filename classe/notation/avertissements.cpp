#include "classe/notation/avertissements.h"

#include "classe/sorties/tableau.h"

#include <map>
#include <numeric>

std::optional<std::string> signalerIntervertis(const Decomptes& maxima, const FinParcours& fin)
{
    // A blank first line stops the loop before any word is seen: the
    // warning on blank lines tells that.
    if (std::accumulate(maxima.tests.begin(), maxima.tests.end(), std::int64_t{0}) != 0
        || (fin.ligneBlanche && fin.lignesComparees == 0))
        return std::nullopt;
    return "aucune ligne du fichier de test ne commence par l'un des cinq mots de commande : "
           "fichier de test et fichier attendu intervertis ?";
}

std::optional<std::string> signalerLigneBlanche(const std::string& cheminTest, const FinParcours& fin)
{
    if (!fin.ligneBlanche)
        return std::nullopt;
    const Apercu& reste = fin.resteTest;
    const bool une = reste.complet && reste.lignes == 1;
    return "attention : " + rendreInoffensif(cheminTest) + " : la ligne " + std::to_string(fin.lignesComparees + 1)
        + " est vide, la validation s'y arr\xC3\xAAte : " + (reste.complet ? "" : "au moins ")
        + std::to_string(reste.lignes) + (une ? " ligne qui la suit n'est jamais lue" : " lignes qui la suivent ne sont jamais lues");
}

void compterArrets(const std::vector<Note>& notes, std::map<std::int64_t, std::int64_t>& parLigne,
                   std::int64_t& notees)
{
    for (const Note& note : notes) {
        if (!note.notee)
            continue;
        ++notees;
        if (note.arretApres > 0)
            ++parLigne[note.arretApres];
    }
}

std::optional<std::string> signalerArretCommun(const std::map<std::int64_t, std::int64_t>& parLigne,
                                               std::int64_t notees)
{
    if (notees < 3)
        return std::nullopt;
    for (const auto& [ligne, nombre] : parLigne) {
        if (nombre * 2 > notees)
            return std::to_string(nombre) + " remises not\xC3\xA9" "es sur " + std::to_string(notees)
                + " s'arr\xC3\xAAtent apr\xC3\xA8s la ligne " + std::to_string(ligne)
                + " : le fichier de test est-il celui de ces r\xC3\xA9sultats ?";
    }
    return std::nullopt;
}

std::optional<std::string> signalerArretCommun(const std::vector<Note>& notes)
{
    std::map<std::int64_t, std::int64_t> parLigne;
    std::int64_t notees = 0;
    compterArrets(notes, parLigne, notees);
    return signalerArretCommun(parLigne, notees);
}
