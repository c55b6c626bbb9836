#include "notes.h"

#include <numeric>
#include <string_view>

namespace {

// The counts of a row: the five words, the others, the total.
void ecrireComptes(std::ostream& sortie, const Comptes& comptes, std::int64_t autres, Format format)
{
    for (const std::int64_t compte : comptes) {
        sortie << compte;
        ecrireSeparateur(sortie, format);
    }
    sortie << autres;
    ecrireSeparateur(sortie, format);
    sortie << std::accumulate(comptes.begin(), comptes.end(), autres);
    ecrireSeparateur(sortie, format);
}

} // namespace

void ecrireNotes(std::ostream& sortie, const Decomptes& maxima, const std::vector<Note>& notes,
                 Format format)
{
    ecrireTexte(sortie, "remise", format);
    for (const std::string_view mot : commandesBilan) {
        ecrireSeparateur(sortie, format);
        ecrireTexte(sortie, mot, format);
    }
    for (const std::string_view entete : {"autres", "total", "statut", "diagnostic"}) {
        ecrireSeparateur(sortie, format);
        ecrireTexte(sortie, entete, format);
    }
    ecrireFinRangee(sortie, format);

    ecrireTexte(sortie, "maximum", format);
    ecrireSeparateur(sortie, format);
    ecrireComptes(sortie, maxima.tests, maxima.autresTests, format);
    ecrireSeparateur(sortie, format);
    ecrireFinRangee(sortie, format);

    for (const Note& note : notes) {
        ecrireTexte(sortie, note.nom, format);
        ecrireSeparateur(sortie, format);
        if (note.notee) {
            ecrireComptes(sortie, note.decomptes.reussites, note.decomptes.autresReussites, format);
        } else {
            for (std::size_t i = 0; i < commandesBilan.size() + 2; ++i)
                ecrireSeparateur(sortie, format);
        }
        ecrireTexte(sortie, note.statut, format);
        ecrireSeparateur(sortie, format);
        ecrireTexte(sortie, note.diagnostic, format);
        ecrireFinRangee(sortie, format);
    }
}
