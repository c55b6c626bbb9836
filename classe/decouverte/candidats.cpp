// From what a search found to the table's rows: one per student.
#include "classe/decouverte/candidats.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <set>
#include <tuple>

namespace {

std::string_view nommerBase(std::string_view chemin)
{
    chemin = retirerBarresFinales(chemin);
    const std::size_t barre = chemin.rfind('/');
    return barre == std::string_view::npos ? chemin : chemin.substr(barre + 1);
}

// Whether a submission is a copy of the expected results at `chemin`: of
// the same name, and the same bytes. A program's own right output has the
// same bytes too, but the name the student gave it.
bool estCopie(const Remise& remise, const std::string& chemin)
{
    struct stat infos {};
    if (!remise.identifiee || !S_ISREG(remise.infos.st_mode) || nommerBase(remise.chemin) != nommerBase(chemin)
        || stat(chemin.c_str(), &infos) != 0
        || infos.st_size != remise.infos.st_size)
        return false;
    std::ifstream a(remise.chemin, std::ios::binary);
    std::ifstream b(chemin, std::ios::binary);
    std::array<char, 16384> blocA{};
    std::array<char, 16384> blocB{};
    while (a && b) {
        a.read(blocA.data(), blocA.size());
        b.read(blocB.data(), blocB.size());
        if (a.gcount() != b.gcount() || !std::equal(blocA.begin(), blocA.begin() + a.gcount(), blocB.begin()))
            return false;
    }
    return a.eof() && b.eof();
}

// The submission graded among a student's: one that can be graded first,
// then one that is not a copy of the expected results (which students keep
// beside their own to check them, under its name), then the least deep, then the first by
// name.
struct Choix {
    const Candidat* candidat;
    bool copie;
};

bool preferer(const Choix& a, const Choix& b)
{
    const bool refuseeA = !a.candidat->remise.statut.empty();
    const bool refuseeB = !b.candidat->remise.statut.empty();
    return std::tie(refuseeA, a.copie, a.candidat->profondeur, a.candidat->remise.nom)
        < std::tie(refuseeB, b.copie, b.candidat->profondeur, b.candidat->remise.nom);
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

void rangerRacine(const Racine& racine, const std::string& avantNom, const std::string& cheminAttendu,
                  Decouverte& decouverte)
{
    std::map<std::string, std::vector<const Candidat*>> parEleve;
    for (const Candidat& candidat : racine.candidats)
        parEleve[candidat.eleve].push_back(&candidat);
    for (const auto& [eleve, candidats] : parEleve) {
        const bool plusieurs = candidats.size() > 1;
        std::vector<Choix> choix(candidats.size());
        std::transform(candidats.begin(), candidats.end(), choix.begin(), [&](const Candidat* candidat) {
            return Choix{candidat, plusieurs && estCopie(candidat->remise, cheminAttendu)};
        });
        const Candidat& choisi = *std::min_element(choix.begin(), choix.end(), preferer)->candidat;
        Remise remise = choisi.remise;
        remise.nom = avantNom + remise.nom;
        for (const Candidat* candidat : candidats) {
            if (candidat != &choisi && candidat->remise.identifiee)
                remise.autresFichiers.push_back(candidat->remise.infos);
        }
        remise.identifiant = extraireParticipant(remise.nom);
        const auto fichiers = static_cast<std::size_t>(std::count_if(
            candidats.begin(), candidats.end(), [](const Candidat* c) { return c->resultats; }));
        if (fichiers > 1)
            decouverte.avertissements.push_back(
                rendreInoffensif(avantNom + eleve) + " : " + accorderFichiers(fichiers) + ", seul "
                + rendreInoffensif(remise.nom) + " est not\xC3\xA9");
        decouverte.remises.push_back(std::move(remise));
    }
    for (const std::string& dossier : racine.eleves) {
        if (parEleve.count(dossier.substr(0, dossier.size() - 1)) != 0)
            continue;
        Remise absente = creerRemise(dossier, avantNom + dossier, std::string(statutAbsent));
        absente.absente = true;
        absente.identifiant = extraireParticipant(absente.nom);
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
