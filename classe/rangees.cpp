// From what a search found to the table's rows: one per student.
#include "candidats.h"
#include "tableau.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

namespace {

// The submission graded among a student's: one that can be graded first,
// then the least deep, then the first by name.
bool preferer(const Candidat& a, const Candidat& b)
{
    return std::make_tuple(!a.remise.statut.empty(), a.profondeur, a.remise.nom)
        < std::make_tuple(!b.remise.statut.empty(), b.profondeur, b.remise.nom);
}

std::string accorderFichiers(std::size_t nombre)
{
    return std::to_string(nombre) + " fichiers de r\xC3\xA9sultats";
}

bool memeRemise(const Remise& a, const Remise& b)
{
    if (a.nom != b.nom)
        return false;
    if (a.identifiee && b.identifiee)
        return a.infos.st_dev == b.infos.st_dev && a.infos.st_ino == b.infos.st_ino;
    return a.chemin == b.chemin;
}

} // namespace

std::string extraireIdentifiant(std::string_view nom)
{
    static constexpr std::string_view marque = "_assignsubmission_";
    for (std::size_t fin = nom.find(marque); fin != std::string_view::npos;
         fin = nom.find(marque, fin + 1)) {
        std::size_t debut = fin;
        while (debut > 0 && nom[debut - 1] >= '0' && nom[debut - 1] <= '9')
            --debut;
        if (debut < fin && debut > 0 && nom[debut - 1] == '_')
            return std::string(nom.substr(debut, fin - debut));
    }
    return {};
}

void rangerRacine(const Racine& racine, const std::string& prefixe, Decouverte& decouverte)
{
    std::map<std::string, std::vector<const Candidat*>> parEleve;
    for (const Candidat& candidat : racine.candidats)
        parEleve[candidat.eleve].push_back(&candidat);
    for (const auto& [eleve, candidats] : parEleve) {
        const Candidat& choisi = **std::min_element(
            candidats.begin(), candidats.end(),
            [](const Candidat* a, const Candidat* b) { return preferer(*a, *b); });
        Remise remise = choisi.remise;
        remise.nom = prefixe + remise.nom;
        for (const Candidat* candidat : candidats) {
            if (candidat != &choisi && candidat->remise.identifiee)
                remise.autresFichiers.push_back(candidat->remise.infos);
        }
        remise.identifiant = extraireIdentifiant(remise.nom);
        const auto fichiers = static_cast<std::size_t>(std::count_if(
            candidats.begin(), candidats.end(), [](const Candidat* c) { return c->resultats; }));
        if (fichiers > 1)
            decouverte.avertissements.push_back(
                rendreInoffensif(prefixe + eleve) + " : " + accorderFichiers(fichiers) + ", seul "
                + rendreInoffensif(remise.nom) + " est not\xC3\xA9");
        decouverte.remises.push_back(std::move(remise));
    }
    for (const std::string& dossier : racine.eleves) {
        if (parEleve.count(dossier.substr(0, dossier.size() - 1)) != 0)
            continue;
        Remise absente = creerRemise(dossier, prefixe + dossier, "absent");
        absente.absente = true;
        absente.identifiant = extraireIdentifiant(absente.nom);
        decouverte.remises.push_back(std::move(absente));
    }
}

void terminerDecouverte(Decouverte& decouverte)
{
    std::vector<Remise>& remises = decouverte.remises;
    std::vector<std::string> vus(remises.size());
    std::transform(remises.begin(), remises.end(), vus.begin(),
                   [](const Remise& remise) { return rendreInoffensif(remise.nom); });
    std::vector<std::size_t> ordre(remises.size());
    for (std::size_t i = 0; i < ordre.size(); ++i)
        ordre[i] = i;
    std::sort(ordre.begin(), ordre.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(vus[a], remises[a].nom, remises[a].chemin)
            < std::tie(vus[b], remises[b].nom, remises[b].chemin);
    });
    std::vector<Remise> triees;
    std::vector<std::string> nomsVus;
    triees.reserve(remises.size());
    for (const std::size_t i : ordre) {
        if (!triees.empty() && memeRemise(triees.back(), remises[i])) {
            decouverte.avertissements.push_back(vus[i] + " : remise donn\xC3\xA9" "e deux fois, not\xC3\xA9" "e une fois");
            continue;
        }
        triees.push_back(std::move(remises[i]));
        nomsVus.push_back(vus[i]);
    }
    // A course platform exports a folder per kind of submission (files,
    // online text): the student's folder without results beside one with
    // is no absent student, and two without are one absent student.
    // Otherwise one participant number, one row.
    std::set<std::string> remis;
    for (const Remise& remise : triees) {
        if (!remise.identifiant.empty() && !remise.absente)
            remis.insert(remise.identifiant);
    }
    std::set<std::string> absents;
    std::vector<Remise> gardees;
    std::vector<std::string> nomsGardes;
    for (std::size_t i = 0; i < triees.size(); ++i) {
        const std::string& identifiant = triees[i].identifiant;
        if (triees[i].absente && !identifiant.empty()
            && (remis.count(identifiant) != 0 || !absents.insert(identifiant).second))
            continue;
        gardees.push_back(std::move(triees[i]));
        nomsGardes.push_back(std::move(nomsVus[i]));
    }
    triees = std::move(gardees);
    nomsVus = std::move(nomsGardes);
    std::map<std::string, std::size_t> parIdentifiant;
    for (const Remise& remise : triees) {
        if (!remise.identifiant.empty())
            ++parIdentifiant[remise.identifiant];
    }
    for (const auto& [identifiant, nombre] : parIdentifiant) {
        if (nombre > 1)
            decouverte.avertissements.push_back("participant " + identifiant + " : " + std::to_string(nombre)
                                                + " rang\xC3\xA9" "es portent ce num\xC3\xA9ro");
    }
    // Names that read the same in the table, even when their bytes differ.
    for (std::size_t debut = 0; debut < nomsVus.size();) {
        std::size_t fin = debut + 1;
        while (fin < nomsVus.size() && nomsVus[fin] == nomsVus[debut])
            ++fin;
        if (fin - debut > 1)
            decouverte.avertissements.push_back(nomsVus[debut] + " : " + std::to_string(fin - debut)
                                                + " rang\xC3\xA9" "es portent ce nom");
        debut = fin;
    }
    remises = std::move(triees);
    std::sort(decouverte.ignores.begin(), decouverte.ignores.end());
}
