#include "classe/tables/notes.h"

#include <numeric>
#include <string_view>

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


void ecrireFinMaximum(std::ostream& sortie, std::int64_t lignes, Format format, const Bareme* bareme)
{
    // Empty status, diagnosis and participant number; every test line can
    // agree once realigned.
    ecrireSeparateur(sortie, format);
    ecrireSeparateur(sortie, format);
    ecrireSeparateur(sortie, format);
    sortie << lignes;
    if (bareme != nullptr) {
        ecrireSeparateur(sortie, format);
        sortie << formaterNombre(bareme->sur, 2, format == Format::tsv ? '.' : ',');
    }
    ecrireFinRangee(sortie, format);
}

void ecrireFinNote(std::ostream& sortie, const Note& note, Format format, const Bareme* bareme)
{
    ecrireTexte(sortie, note.statut, format);
    ecrireSeparateur(sortie, format);
    ecrireTexte(sortie, note.diagnostic, format);
    ecrireSeparateur(sortie, format);
    ecrireTexte(sortie, note.identifiant, format);
    ecrireSeparateur(sortie, format);
    if (note.notee)
        sortie << note.realignees;
    if (bareme != nullptr) {
        ecrireSeparateur(sortie, format);
        if (note.note)
            sortie << formaterNombre(*note.note, bareme->decimales, format == Format::tsv ? '.' : ',');
    }
    ecrireFinRangee(sortie, format);
}

void ecrireNotes(std::ostream& sortie, const Decomptes& maxima, const std::vector<Note>& notes,
                 Format format, const Bareme* bareme)
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
    ecrireSeparateur(sortie, format);
    ecrireTexte(sortie, "identifiant", format);
    ecrireSeparateur(sortie, format);
    ecrireTexte(sortie, enteteRealignees, format);
    if (bareme != nullptr) {
        ecrireSeparateur(sortie, format);
        ecrireTexte(sortie, "note", format);
    }
    ecrireFinRangee(sortie, format);

    ecrireTexte(sortie, "maximum", format);
    ecrireSeparateur(sortie, format);
    ecrireComptes(sortie, maxima.tests, maxima.autresTests, format);
    ecrireFinMaximum(sortie, std::accumulate(maxima.tests.begin(), maxima.tests.end(), maxima.autresTests),
                     format, bareme);

    for (const Note& note : notes) {
        ecrireTexte(sortie, note.nom, format);
        ecrireSeparateur(sortie, format);
        if (note.notee) {
            ecrireComptes(sortie, note.decomptes.reussites, note.decomptes.autresReussites, format);
        } else {
            for (std::size_t i = 0; i < commandesBilan.size() + 2; ++i)
                ecrireSeparateur(sortie, format);
        }
        ecrireFinNote(sortie, note, format, bareme);
    }
}
