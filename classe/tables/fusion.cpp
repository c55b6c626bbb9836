#include "classe/tables/fusion.h"

#include "classe/sorties/identites.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"
#include "classe/tables/partage.h"
#include "classe/vue/vue.h"

#include <ext/stdio_filebuf.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <iostream>
#include <iterator>
#include <sstream>
#include <tuple>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// One share's table: its header and maxima, and its rows with their ends.
struct TableauPart {
    std::string entete;
    std::string maxima;
    std::vector<std::string> rangees;
    std::string premiere; // the first and last rows' names, as sorted
    std::string derniere;
};

int refuser(std::string_view chemin, std::string_view motif)
{
    signalerErreur(chemin, motif);
    return 2;
}

bool lireFichier(const std::string& chemin, std::string& texte)
{
    std::ifstream fichier(chemin, std::ios::binary);
    std::ostringstream tampon;
    tampon << fichier.rdbuf();
    texte = tampon.str();
    return fichier.good() || fichier.eof();
}

// Splits a table into its lines, each with its end.
std::vector<std::string> couperLignes(std::string_view texte)
{
    std::vector<std::string> lignes;
    while (!texte.empty()) {
        const std::size_t fin = std::min(texte.find('\n'), texte.size() - 1);
        lignes.emplace_back(texte.substr(0, fin + 1));
        texte.remove_prefix(fin + 1);
    }
    return lignes;
}

std::string nommerRangee(const std::string& rangee, Format format)
{
    const std::vector<std::string> cellules = decouperRangee(rangee, format);
    return cellules.empty() ? std::string() : cellules.front();
}

std::string_view lireStatut(const std::vector<std::string>& cellules, std::size_t colonne)
{
    return cellules.size() > colonne ? std::string_view(cellules[colonne]) : std::string_view();
}

} // namespace

std::vector<std::string> decouperRangee(std::string_view rangee, Format format)
{
    while (!rangee.empty() && (rangee.back() == '\n' || rangee.back() == '\r'))
        rangee.remove_suffix(1);
    const char separateur = format == Format::tsv ? '\t' : ';';
    std::vector<std::string> cellules;
    std::size_t i = 0;
    for (;;) {
        std::string cellule;
        if (format == Format::csv && i < rangee.size() && rangee[i] == '"') {
            for (++i; i < rangee.size(); ++i) {
                if (rangee[i] == '"' && (i + 1 == rangee.size() || rangee[i + 1] != '"'))
                    break;
                cellule += rangee[i];
                i += rangee[i] == '"' ? 1 : 0;
            }
            ++i;
        } else {
            const std::size_t fin = std::min(rangee.find(separateur, i), rangee.size());
            cellule = std::string(rangee.substr(i, fin - i));
            i = fin;
        }
        const char* const actifs = format == Format::tsv ? "\"" : "=+-@\t\r";
        if (cellule.size() > 1 && cellule.front() == '\''
            && std::string_view(actifs).find(cellule[1]) != std::string_view::npos)
            cellule.erase(0, 1);
        cellules.push_back(std::move(cellule));
        if (i >= rangee.size())
            return cellules;
        ++i;
    }
}

int fusionner(const Options& options)
{
    std::vector<TableauPart> tableaux;
    VueClasse vue;
    std::vector<std::size_t> partsVues;
    std::size_t nombreParts = 0;
    Identites entrees;
    for (const std::string& chemin : options.remises) {
        std::string texte;
        struct stat infos {};
        if (stat(chemin.c_str(), &infos) != 0 || !lireFichier(chemin, texte))
            return refuser(chemin, "illisible");
        ajouterIdentite(entrees, infos, Role::part);
        std::string_view contenu(texte);
        if (contenu.substr(0, marqueOrdre.size()) == marqueOrdre)
            contenu.remove_prefix(marqueOrdre.size());
        if (contenu.substr(0, enteteVuePartielle.size()) == enteteVuePartielle) {
            std::size_t part = 0;
            std::size_t parts = 0;
            std::string erreur;
            if (!ajouterVuePartielle(contenu, vue, part, parts, erreur))
                return refuser(chemin, erreur);
            if ((nombreParts != 0 && parts != nombreParts) || part < 1 || part > parts
                || std::count(partsVues.begin(), partsVues.end(), part) != 0)
                return refuser(chemin, "part en double ou d'une autre r\xC3\xA9partition");
            nombreParts = parts;
            partsVues.push_back(part);
            continue;
        }
        const std::string_view attendu = options.format == Format::tsv ? "remise\t" : "remise;";
        if (contenu.substr(0, attendu.size()) != attendu)
            return refuser(chemin, options.format == Format::tsv ? "ni un tableau TSV ni une vue partielle"
                                                                 : "ni un tableau CSV ni une vue partielle");
        std::vector<std::string> lignes = couperLignes(contenu);
        if (lignes.size() < 2)
            return refuser(chemin, "tableau incomplet");
        TableauPart tableau{lignes[0], lignes[1], {}, {}, {}};
        tableau.rangees.assign(std::make_move_iterator(lignes.begin() + 2), std::make_move_iterator(lignes.end()));
        if (!tableaux.empty() && (tableau.entete != tableaux[0].entete || tableau.maxima != tableaux[0].maxima))
            return refuser(chemin, "pas le tableau d'une autre part de la m\xC3\xAAme classe");
        if (!tableau.rangees.empty()) {
            tableau.premiere = nommerRangee(tableau.rangees.front(), options.format);
            tableau.derniere = nommerRangee(tableau.rangees.back(), options.format);
        }
        tableaux.push_back(std::move(tableau));
    }
    if (tableaux.empty())
        return refuser("--fusionner", "aucun tableau de part");
    if (!options.lignes.empty() && partsVues.size() != nombreParts)
        return refuser(options.lignes, partsVues.empty() ? "aucune vue partielle"
                                                         : "il manque la vue partielle d'une part");
    trierIdentites(entrees);

    // The shares' rows follow each other in the sorted order of one run.
    std::stable_sort(tableaux.begin(), tableaux.end(), [](const TableauPart& a, const TableauPart& b) {
        return std::tie(a.premiere, a.derniere) < std::tie(b.premiere, b.derniere);
    });
    using Fichier = __gnu_cxx::stdio_filebuf<char>;
    std::string erreur;
    std::unique_ptr<Fichier> fichier;
    if (!options.sortie.empty()) {
        const int descripteur = ouvrirEcriture(options.sortie, entrees, erreur);
        if (descripteur < 0)
            return refuser(options.sortie, erreur);
        fichier = std::make_unique<Fichier>(descripteur, std::ios::out);
    }
    std::ostream sortie(fichier ? static_cast<std::streambuf*>(fichier.get()) : std::cout.rdbuf());
    if (options.bom)
        sortie << marqueOrdre;
    sortie << tableaux[0].entete << tableaux[0].maxima;
    // The status column, wherever the options of the run put it.
    const std::vector<std::string> entetes = decouperRangee(tableaux[0].entete, options.format);
    const auto colonne = static_cast<std::size_t>(std::find(entetes.begin(), entetes.end(), "statut") - entetes.begin());
    std::size_t rangees = 0;
    std::size_t notees = 0;
    std::size_t absentes = 0;
    for (const TableauPart& tableau : tableaux) {
        for (const std::string& rangee : tableau.rangees) {
            sortie << rangee;
            const std::vector<std::string> cellules = decouperRangee(rangee, options.format);
            ++rangees;
            notees += lireStatut(cellules, colonne) == "ok" ? 1 : 0;
            absentes += lireStatut(cellules, colonne) == "absent" ? 1 : 0;
        }
    }
    int code = sortie.flush() ? 0 : refuser(options.sortie.empty() ? "sortie standard" : options.sortie,
                                            "erreur d'\xC3\xA9" "criture") - 1;
    if (!options.lignes.empty()) {
        const int descripteur = ouvrirEcriture(options.lignes, entrees, erreur);
        if (descripteur < 0)
            return refuser(options.lignes, erreur);
        Fichier tampon(descripteur, std::ios::out);
        std::ostream fichierVue(&tampon);
        if (options.bom)
            fichierVue << marqueOrdre;
        ecrireVue(fichierVue, vue, options.format, options.lignesMax);
        if (!fichierVue.flush())
            code = refuser(options.lignes, "erreur d'\xC3\xA9" "criture") - 1;
    }
    if (rangees == absentes)
        std::cerr << prefixe << "aucune remise trouv\xC3\xA9" "e\n";
    std::cerr << prefixe << rangees << (rangees > 1 ? " remises, " : " remise, ") << notees
              << (notees > 1 ? " not\xC3\xA9" "es, " : " not\xC3\xA9" "e, ") << rangees - notees
              << (rangees - notees > 1 ? " non not\xC3\xA9" "es" : " non not\xC3\xA9" "e") << " ; notes : "
              << (options.sortie.empty() ? std::string("sortie standard") : rendreInoffensif(options.sortie));
    if (!options.lignes.empty())
        std::cerr << " ; vue de la classe : " << rendreInoffensif(options.lignes)
                  << resumerVue(vue, options.lignesMax);
    std::cerr << '\n' << std::flush;
    return rangees == absentes || notees + absentes < rangees ? 1 : code;
}
