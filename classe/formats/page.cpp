#include "classe/formats/page.h"

#include "classe/resultats/fins.h"
#include "classe/sorties/echappement.h"
#include "classe/sorties/sorties.h"
#include "execution/verdict.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace {

constexpr const char* style = R"(body{font:15px/1.4 sans-serif;margin:2em auto;max-width:70em;color:#222;padding:0 1em}
h1{font-size:1.6em}h2{font-size:1.25em;margin-top:2em;border-bottom:1px solid #ccc}
table{border-collapse:collapse;margin:.5em 0}td,th{border:1px solid #ccc;padding:.2em .5em;text-align:left;vertical-align:top}
th{background:#f0f0f0}td.n{text-align:right;font-variant-numeric:tabular-nums}
.barre{display:inline-block;height:.8em;background:#4a7ebb;vertical-align:middle;margin-right:.4em}
code{font:13px monospace;white-space:pre-wrap;word-break:break-all}
svg text{font:12px sans-serif;fill:#222}svg rect{fill:#4a7ebb}
.ok{color:#1a7f37}.ko{color:#b3261e})";

std::string html(std::string_view texte)
{
    return echapperXml(texte);
}

std::string pourcentage(std::int64_t part, std::int64_t tout)
{
    if (tout <= 0)
        return "\xE2\x80\x94";
    // A no-break space: the sign never wraps away from its number.
    return formaterNombre(100.0 * static_cast<double>(part) / static_cast<double>(tout), 1, ',') + "&#160;%";
}

std::string barre(std::int64_t part, std::int64_t tout)
{
    const double largeur = tout > 0 ? 8.0 * static_cast<double>(part) / static_cast<double>(tout) : 0;
    return "<span class=\"barre\" style=\"width:" + formaterNombre(largeur, 2, '.') + "em\"></span>";
}

std::string decrireFin(const Jeu& jeu, const ResultatRemise& remise, const ResultatJeu& resultat)
{
    if (!remise.trouvee)
        return remise.statut.empty() ? std::string(statutAbsent) : remise.statut;
    if (!remise.compilee)
        return std::string(finNonCompilee);
    if (!resultat.note)
        return remise.statut.empty() || remise.statut == statutOk ? "non not\xC3\xA9" : remise.statut;
    return resultat.fin.empty() ? std::string(finNormale) : montrerFin(jeu, resultat.fin);
}

void ecrireHistogramme(std::ostream& sortie, const Page& page)
{
    double maximum = 0;
    if (page.bareme != nullptr) {
        maximum = page.bareme->sur;
    } else {
        for (const Jeu& jeu : page.jeux)
            maximum += static_cast<double>(std::accumulate(jeu.maxima.begin(), jeu.maxima.end(), std::int64_t{0}));
    }
    // A bar per point up to 20, ten bars past it.
    const std::size_t barres = maximum <= 20 && maximum == std::floor(maximum)
        ? static_cast<std::size_t>(maximum) + 1 : 10;
    const double largeurBarre = barres == 10 ? std::max(maximum, 1.0) / 10 : 1;
    std::vector<std::int64_t> comptes(barres, 0);
    std::int64_t sansNote = 0;
    for (const RangeePage& rangee : page.rangees) {
        if (!rangee.note) {
            ++sansNote;
            continue;
        }
        const double position = barres == 10 ? *rangee.note / largeurBarre : std::floor(*rangee.note + 1e-9);
        comptes[std::min(barres - 1, static_cast<std::size_t>(std::max(0.0, position)))] += 1;
    }
    const std::int64_t plusHaut = std::max<std::int64_t>(1, *std::max_element(comptes.begin(), comptes.end()));
    const int largeur = 40;
    const int hauteur = 160;
    sortie << "<h2>" << (page.bareme != nullptr ? "Notes" : "Lignes r\xC3\xA9ussies (sans bar\xC3\xA8me)")
           << "</h2>\n<svg role=\"img\" width=\"" << barres * largeur + 20 << "\" height=\"" << hauteur + 40
           << "\" viewBox=\"0 0 " << barres * largeur + 20 << ' ' << hauteur + 40 << "\">\n";
    for (std::size_t i = 0; i < barres; ++i) {
        const int h = static_cast<int>(static_cast<double>(hauteur - 20) * static_cast<double>(comptes[i])
                                       / static_cast<double>(plusHaut));
        const std::string debut = formaterNombre(barres == 10 ? static_cast<double>(i) * largeurBarre
                                                              : static_cast<double>(i), 1, ',');
        const auto x = static_cast<long>(10 + i * largeur);
        sortie << "<g><title>" << debut << " : " << comptes[i] << "</title><rect x=\"" << x + 4 << "\" y=\""
               << hauteur - h << "\" width=\"" << largeur - 8 << "\" height=\"" << h << "\"/>";
        if (comptes[i] > 0)
            sortie << "<text x=\"" << x + largeur / 2 << "\" y=\"" << hauteur - h - 4
                   << "\" text-anchor=\"middle\">" << comptes[i] << "</text>";
        sortie << "<text x=\"" << x + largeur / 2 << "\" y=\"" << hauteur + 16 << "\" text-anchor=\"middle\">"
               << debut << "</text></g>\n";
    }
    sortie << "</svg>\n<p>" << page.rangees.size() - static_cast<std::size_t>(sansNote) << " not\xC3\xA9"
           << "s, " << sansNote << " sans note.</p>\n";
}

void ecrireReussites(std::ostream& sortie, const Page& page)
{
    sortie << "<h2>R\xC3\xA9ussite par jeu et par mot</h2>\n<table><tr><th>jeu</th>";
    for (const std::string_view mot : motsNotes)
        sortie << "<th>" << mot << "</th>";
    sortie << "<th>total</th></tr>\n";
    for (std::size_t j = 0; j < page.jeux.size(); ++j) {
        const Jeu& jeu = page.jeux[j];
        sortie << "<tr><th>" << html(jeu.nom) << (jeu.cache ? " (cach\xC3\xA9)" : "") << "</th>";
        std::int64_t reussiesTotal = 0;
        std::int64_t lignesTotal = 0;
        for (std::size_t m = 0; m <= nombreMots; ++m) {
            std::int64_t reussies = 0;
            std::int64_t lignes = 0;
            for (const RangeePage& rangee : page.rangees) {
                if (!rangee.remise.trouvee || j >= rangee.remise.jeux.size() || (rangee.remise.compilee && !rangee.remise.jeux[j].note))
                    continue;
                const ResultatJeu& resultat = rangee.remise.jeux[j];
                if (m < nombreMots) {
                    lignes += jeu.maxima[m];
                    reussies += resultat.note ? std::min(resultat.reussites[m], jeu.maxima[m]) : 0;
                }
            }
            if (m == nombreMots) {
                reussies = reussiesTotal;
                lignes = lignesTotal;
            }
            reussiesTotal += reussies;
            lignesTotal += lignes;
            if (lignes == 0)
                sortie << "<td class=\"n\">\xE2\x80\x94</td>";
            else
                sortie << "<td class=\"n\">" << barre(reussies, lignes) << pourcentage(reussies, lignes) << "</td>";
        }
        sortie << "</tr>\n";
    }
    sortie << "</table>\n";
}

void ecrireFins(std::ostream& sortie, const Page& page)
{
    sortie << "<h2>Fin des ex\xC3\xA9" "cutions</h2>\n<table><tr><th>jeu</th><th>fin</th><th>remises</th></tr>\n";
    for (std::size_t j = 0; j < page.jeux.size(); ++j) {
        std::map<std::string, std::int64_t> fins;
        for (const RangeePage& rangee : page.rangees) {
            ++fins[decrireFin(page.jeux[j], rangee.remise, resultatDuJeu(rangee.remise, j))];
        }
        std::vector<std::pair<std::string, std::int64_t>> triees(fins.begin(), fins.end());
        std::stable_sort(triees.begin(), triees.end(),
                         [](const auto& a, const auto& b) { return a.second > b.second; });
        for (const auto& [fin, nombre] : triees)
            sortie << "<tr><td>" << html(page.jeux[j].nom) << "</td><td>" << html(fin) << "</td><td class=\"n\">"
                   << barre(nombre, static_cast<std::int64_t>(page.rangees.size())) << nombre << "</td></tr>\n";
    }
    sortie << "</table>\n";
}

void ecrireLignes(std::ostream& sortie, const Page& page)
{
    sortie << "<h2>Lignes de test les plus manqu\xC3\xA9" "es</h2>\n";
    if (page.lignes.empty()) {
        sortie << (page.sansVue ? "<p>Pas de vue des lignes pour plusieurs jeux de test.</p>\n" : "<p>Aucune.</p>\n");
        return;
    }
    sortie << "<table><tr><th>jeu</th><th>ligne</th><th>test</th><th>\xC3\xA9" "checs</th>"
              "<th>r\xC3\xA9sultats faux les plus fr\xC3\xA9quents</th></tr>\n";
    for (const LigneManquee& ligne : page.lignes) {
        sortie << "<tr><td>" << html(ligne.jeu) << "</td><td class=\"n\">" << ligne.numero << "</td><td><code>"
               << html(ligne.test) << "</code></td><td class=\"n\">" << ligne.echecs << "</td><td>";
        for (const auto& [texte, nombre] : ligne.frequents)
            sortie << "<code>" << (texte.empty() ? std::string("(ligne vide)") : html(texte)) << "</code> \xC3\x97"
                   << nombre << "<br>";
        sortie << "</td></tr>\n";
    }
    sortie << "</table>\n";
}

void ecrireRangees(std::ostream& sortie, const Page& page)
{
    sortie << "<h2>Remises</h2>\n<table><tr><th>remise</th><th>"
           << (page.bareme != nullptr ? "note" : "lignes") << "</th>";
    for (const Jeu& jeu : page.jeux)
        sortie << "<th>" << html(jeu.nom) << "</th>";
    sortie << "<th>statut</th></tr>\n";
    for (const RangeePage& rangee : page.rangees) {
        const ResultatRemise& remise = rangee.remise;
        sortie << "<tr><td>";
        if (rangee.lien.empty())
            sortie << html(remise.nom);
        else
            sortie << "<a href=\"" << html(rangee.lien) << "\">" << html(remise.nom) << "</a>";
        sortie << "</td><td class=\"n\">"
               << (rangee.note ? formaterNombre(*rangee.note, page.bareme != nullptr ? page.bareme->decimales : 0, ',')
                               : std::string())
               << "</td>";
        for (std::size_t j = 0; j < page.jeux.size(); ++j) {
            const ResultatJeu& resultat = resultatDuJeu(remise, j);
            std::int64_t reussies = 0;
            std::int64_t lignes = 0;
            for (std::size_t m = 0; m < nombreMots; ++m) {
                reussies += resultat.note ? resultat.reussites[m] : 0;
                lignes += page.jeux[j].maxima[m];
            }
            const std::string fin = decrireFin(page.jeux[j], remise, resultat);
            sortie << "<td class=\"n\"><span class=\"" << (resultat.note && reussies == lignes ? "ok" : "ko")
                   << "\">" << reussies << "/" << lignes << "</span>"
                   << (fin != finNormale ? " " + html(fin) : std::string()) << "</td>";
        }
        sortie << "<td>" << html(remise.statut) << "</td></tr>\n";
    }
    sortie << "</table>\n";
}

} // namespace

void ecrirePage(std::ostream& sortie, const Page& page)
{
    sortie << "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
              "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"
           << html(page.titre) << "</title>\n<style>\n" << style << "\n</style>\n</head>\n<body>\n<h1>"
           << html(page.titre) << "</h1>\n<p>" << page.rangees.size() << " remises, "
           << page.jeux.size() << (page.jeux.size() > 1 ? " jeux" : " jeu") << " de test";
    if (page.bareme != nullptr)
        sortie << ", notes sur " << formaterNombre(page.bareme->sur, 2, ',');
    sortie << ".</p>\n";
    ecrireHistogramme(sortie, page);
    ecrireReussites(sortie, page);
    ecrireFins(sortie, page);
    ecrireLignes(sortie, page);
    ecrireRangees(sortie, page);
    sortie << "</body>\n</html>\n";
}
