#include "classe/tables/notes_jeux.h"

#include "classe/tables/notes.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <string_view>

namespace {

void ecrireDecimal(std::ostream& sortie, double valeur, int decimales, Format format)
{
    char texte[64];
    std::snprintf(texte, sizeof texte, "%.*f", decimales, valeur);
    if (format == Format::csv)
        std::replace(std::begin(texte), std::end(texte), '.', ',');
    sortie << texte;
}

// The empty cells of a set: its counts, fin, secondes and mio.
void ecrireVide(std::ostream& sortie, Format format)
{
    for (std::size_t i = 0; i < commandesBilan.size() + 5; ++i)
        ecrireSeparateur(sortie, format);
}

} // namespace

void ecrireNotesJeux(std::ostream& sortie, const std::vector<JeuCorrige>& jeux, const std::vector<Note>& notes,
                     Format format, const Bareme* bareme)
{
    ecrireTexte(sortie, "remise", format);
    for (const JeuCorrige& jeu : jeux) {
        const std::string prefixe = jeu.nom.empty() ? std::string() : jeu.nom + ".";
        for (const std::string_view mot : commandesBilan) {
            ecrireSeparateur(sortie, format);
            ecrireTexte(sortie, prefixe + std::string(mot), format);
        }
        for (const std::string_view entete : {"autres", "total", "fin", "secondes", "mio"}) {
            ecrireSeparateur(sortie, format);
            ecrireTexte(sortie, prefixe + std::string(entete), format);
        }
    }
    for (const std::string_view entete : {std::string_view("statut"), std::string_view("diagnostic"),
                                          std::string_view("identifiant"), enteteRealignees,
                                          std::string_view("note")}) {
        if (entete == "note" && bareme == nullptr)
            break;
        ecrireSeparateur(sortie, format);
        ecrireTexte(sortie, entete, format);
    }
    ecrireFinRangee(sortie, format);

    ecrireTexte(sortie, "maximum", format);
    ecrireSeparateur(sortie, format);
    for (const JeuCorrige& jeu : jeux) {
        ecrireComptes(sortie, jeu.maxima.tests, jeu.maxima.autresTests, format);
        ecrireSeparateur(sortie, format);
        ecrireSeparateur(sortie, format);
        ecrireSeparateur(sortie, format);
    }
    std::int64_t lignes = 0;
    for (const JeuCorrige& jeu : jeux)
        lignes += std::accumulate(jeu.maxima.tests.begin(), jeu.maxima.tests.end(), jeu.maxima.autresTests);
    ecrireFinMaximum(sortie, lignes, format, bareme);

    for (const Note& note : notes) {
        ecrireTexte(sortie, note.nom, format);
        ecrireSeparateur(sortie, format);
        for (std::size_t i = 0; i < jeux.size(); ++i) {
            if (!note.notee || i >= note.jeux.size()) {
                ecrireVide(sortie, format);
                continue;
            }
            const ResultatJeu& resultat = note.jeux[i];
            Comptes comptes{};
            std::copy_n(resultat.reussites.begin(), comptes.size(), comptes.begin());
            ecrireComptes(sortie, comptes, resultat.reussites[nombreMots - 1], format);
            ecrireTexte(sortie, resultat.fin, format);
            ecrireSeparateur(sortie, format);
            if (resultat.secondes >= 0)
                ecrireDecimal(sortie, resultat.secondes, 2, format);
            ecrireSeparateur(sortie, format);
            if (resultat.mio >= 0)
                ecrireDecimal(sortie, resultat.mio, 1, format);
            ecrireSeparateur(sortie, format);
        }
        ecrireFinNote(sortie, note, format, bareme);
    }
}
