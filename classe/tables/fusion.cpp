#include "classe/tables/fusion.h"

#include "classe/notation/avertissements.h"
#include "classe/sorties/ecriture.h"
#include "classe/sorties/empreinte.h"
#include "classe/sorties/identites.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"
#include "classe/tables/bordereau.h"
#include "classe/tables/conclusion.h"
#include "classe/tables/controle_parts.h"
#include "classe/tables/partage.h"
#include "classe/vue/vue.h"
#include "validation/fichier.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <iostream>
#include <iterator>
#include <map>
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
    std::size_t part = 0;
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

std::string_view lireStatut(const std::vector<std::string>& cellules, std::size_t colonne)
{
    return cellules.size() > colonne ? std::string_view(cellules[colonne]) : std::string_view();
}

// The files given to the merge, as read.
struct Lecture {
    std::vector<TableauPart> tableaux;
    std::vector<PartLue> parts;
    std::vector<VueLue> vues;
    VueClasse vue;
    Identites entrees;
};

// Reads one file given: a share's table with its slip, a share's view, or
// a slip (read with its table). The refusal when it is none of them.
std::optional<Refus> lireArgument(const Options& options, const std::string& chemin, Lecture& lecture)
{
    std::string texte;
    struct stat infos {};
    if (stat(chemin.c_str(), &infos) != 0 || !lireFichier(chemin, texte))
        return Refus{chemin, "illisible"};
    ajouterIdentite(lecture.entrees, infos, Role::part);
    if (std::string_view(texte).substr(0, enteteBordereau.size()) == enteteBordereau)
        return std::nullopt;
    std::string_view contenu(texte);
    if (contenu.substr(0, marqueOrdre.size()) == marqueOrdre)
        contenu.remove_prefix(marqueOrdre.size());
    std::string erreur;
    if (contenu.substr(0, enteteVuePartielle.size()) == enteteVuePartielle) {
        VueLue lue{chemin, 0, 0, empreindreTexte(texte)};
        if (!ajouterVuePartielle(contenu, lecture.vue, lue.part, lue.parts, erreur))
            return Refus{chemin, erreur};
        lecture.vues.push_back(std::move(lue));
        return std::nullopt;
    }
    PartLue part{chemin, {}, empreindreTexte(texte)};
    const std::string cheminBordereau = chemin + std::string(suffixeBordereau);
    std::string bordereau;
    if (stat(cheminBordereau.c_str(), &infos) != 0)
        return Refus{chemin, "pas le tableau d'une part : sans son bordereau " + rendreInoffensif(cheminBordereau)
                                 + " (le tableau d'une course enti\xC3\xA8re, ou une vue inachev\xC3\xA9" "e ?)"};
    ajouterIdentite(lecture.entrees, infos, Role::part);
    if (!lireFichier(cheminBordereau, bordereau) || !lireBordereau(bordereau, part.bordereau, erreur))
        return Refus{cheminBordereau, erreur.empty() ? std::string("illisible") : erreur};
    lecture.parts.push_back(std::move(part));
    if (chercherInachevee(lecture.parts.back()))
        return std::nullopt; // said before anything else
    const std::string_view attendu = options.format == Format::tsv ? "remise\t" : "remise;";
    if (contenu.substr(0, attendu.size()) != attendu)
        return Refus{chemin, options.format == Format::tsv ? "ni un tableau TSV ni une vue partielle"
                                                           : "ni un tableau CSV ni une vue partielle"};
    std::vector<std::string> lignes = couperLignes(contenu);
    if (lignes.size() < 2)
        return Refus{chemin, "tableau incomplet"};
    std::vector<TableauPart>& tableaux = lecture.tableaux;
    TableauPart tableau{lignes[0], lignes[1], {}, lecture.parts.back().bordereau.part};
    tableau.rangees.assign(std::make_move_iterator(lignes.begin() + 2), std::make_move_iterator(lignes.end()));
    if (!tableaux.empty() && (tableau.entete != tableaux[0].entete || tableau.maxima != tableaux[0].maxima))
        return Refus{chemin, "pas le tableau d'une autre part de la m\xC3\xAAme classe"};
    tableaux.push_back(std::move(tableau));
    return std::nullopt;
}

} // namespace

int fusionner(const Options& options)
{
    Lecture lecture;
    // A share stopped midway says most of what is wrong: it goes first.
    std::optional<Refus> refus;
    for (const std::string& chemin : options.remises) {
        std::optional<Refus> sien = lireArgument(options, chemin, lecture);
        if (!refus)
            refus = std::move(sien);
    }
    if (std::optional<Refus> inachevee = chercherInachevees(lecture.parts))
        refus = std::move(inachevee);
    if (!refus && lecture.parts.empty())
        refus = Refus{"--fusionner", "aucun tableau de part"};
    if (!refus)
        refus = verifierParts(lecture.parts, lecture.vues, !options.lignes.empty());
    // Names of submissions and paths read from the shares' files.
    if (refus)
        return refuser(refus->chemin, rendreInoffensif(refus->motif));
    std::vector<TableauPart>& tableaux = lecture.tableaux;
    const std::vector<PartLue>& parts = lecture.parts;
    VueClasse& vue = lecture.vue;
    Identites& entrees = lecture.entrees;
    trierIdentites(entrees);

    // The shares' rows follow each other in the sorted order of one run.
    std::stable_sort(tableaux.begin(), tableaux.end(),
                     [](const TableauPart& a, const TableauPart& b) { return a.part < b.part; });
    // Both outputs are opened before either is emptied: a refused one
    // leaves the other as it was.
    std::string erreur;
    std::unique_ptr<Fichier> fichier;
    std::unique_ptr<Fichier> fichierVue;
    for (const std::string* const chemin : {&options.sortie, &options.lignes}) {
        if (chemin->empty())
            continue;
        const int descripteur = ouvrirEcriture(*chemin, entrees, erreur, false);
        if (descripteur < 0)
            return refuser(*chemin, erreur);
        struct stat infos {};
        if (fstat(descripteur, &infos) == 0 && S_ISREG(infos.st_mode)) {
            ajouterIdentite(entrees, infos, Role::sortie);
            trierIdentites(entrees);
        }
        (chemin == &options.sortie ? fichier : fichierVue) = std::make_unique<Fichier>(descripteur, std::ios::out);
    }
    int code = 0;
    if (!ecrireTableau(fichier.get(), options.bom, options.sortie.empty() ? "sortie standard" : options.sortie,
                       [&tableaux](std::ostream& sortie) {
                           sortie << tableaux[0].entete << tableaux[0].maxima;
                           for (const TableauPart& tableau : tableaux) {
                               for (const std::string& rangee : tableau.rangees)
                                   sortie << rangee;
                           }
                       }))
        code = 1;
    if (fichierVue && !ecrireTableau(fichierVue.get(), options.bom, options.lignes, [&](std::ostream& sortie) {
            ecrireVue(sortie, vue, options.format, options.lignesMax);
        }))
        code = 1;
    // The status column, wherever the options of the run put it.
    const std::vector<std::string> entetes = decouperRangee(tableaux[0].entete, options.format);
    const auto colonne = static_cast<std::size_t>(std::find(entetes.begin(), entetes.end(), "statut") - entetes.begin());
    std::size_t rangees = 0;
    std::size_t notees = 0;
    std::size_t absentes = 0;
    for (const TableauPart& tableau : tableaux) {
        for (const std::string& rangee : tableau.rangees) {
            const std::vector<std::string> cellules = decouperRangee(rangee, options.format);
            ++rangees;
            notees += lireStatut(cellules, colonne) == statutOk ? 1 : 0;
            absentes += lireStatut(cellules, colonne) == statutAbsent ? 1 : 0;
        }
    }
    // What one run would have said, once.
    const Bordereau& classe = parts.front().bordereau;
    for (const std::string& avertissement : classe.avertissements)
        std::cerr << prefixe << rendreInoffensif(avertissement) << '\n';
    if (rangees == absentes)
        std::cerr << prefixe << "aucune remise trouv\xC3\xA9" "e\n";
    std::map<std::int64_t, std::int64_t> arrets;
    std::int64_t graduees = 0;
    for (const PartLue& part : parts) {
        graduees += part.bordereau.notees;
        for (const auto& [ligne, nombre] : part.bordereau.arrets)
            arrets[ligne] += nombre;
    }
    if (const auto avertissement = signalerArretCommun(arrets, graduees))
        std::cerr << prefixe << *avertissement << '\n';
    commencerConclusion(std::cerr, options, vue, rangees, notees);
    const auto sansBac = std::find(classe.options.begin(), classe.options.end(),
                                   std::pair<std::string, std::string>("--sans-bac-a-sable", "oui"));
    if (sansBac != classe.options.end())
        std::cerr << " ; sans bac \xC3\xA0 sable";
    std::cerr << '\n' << std::flush;
    return deciderStatut(rangees == absentes, rangees, notees, absentes, code);
}
