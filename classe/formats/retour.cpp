#include "classe/formats/retour.h"

#include "classe/resultats/fins.h"
#include "classe/sorties/echappement.h"
#include "classe/sorties/sorties.h"
#include "execution/verdict.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <sstream>
#include <vector>

namespace {

// The first `nombre` lines of a text, each made safe; the count of those
// left out.
std::vector<std::string> premieresLignes(std::string_view texte, std::size_t nombre,
                                         std::size_t& restantes)
{
    std::vector<std::string> lignes;
    restantes = 0;
    while (!texte.empty()) {
        const std::size_t fin = texte.find('\n');
        const std::string_view ligne = texte.substr(0, fin);
        if (lignes.size() < nombre) {
            std::string propre = assainir(ligne.substr(0, 300));
            std::replace(propre.begin(), propre.end(), '\t', ' ');
            lignes.push_back(std::move(propre));
        } else {
            ++restantes;
        }
        if (fin == std::string_view::npos)
            break;
        texte.remove_prefix(fin + 1);
    }
    return lignes;
}

// The explanation within `nombre` lines: its first reports, then its
// recap whole when it fits, which says what the reports left out do.
std::vector<std::string> resumerExplication(std::string_view texte, std::size_t nombre)
{
    nombre = std::max<std::size_t>(nombre, 2);
    std::size_t restantes = 0;
    std::vector<std::string> lignes = premieresLignes(texte, std::numeric_limits<std::size_t>::max(), restantes);
    if (lignes.size() <= nombre)
        return lignes;
    std::size_t recap = lignes.size();
    for (std::size_t i = lignes.size(); i > 0; --i) {
        if (lignes[i - 1].rfind("R\xC3\xA9" "capitulatif", 0) == 0) {
            recap = i - 1;
            break;
        }
    }
    const std::size_t lignesRecap = lignes.size() - recap;
    const std::size_t tete = lignesRecap + 1 < nombre ? nombre - lignesRecap - 1 : nombre - 1;
    std::vector<std::string> resume(lignes.begin(), lignes.begin() + static_cast<std::ptrdiff_t>(tete));
    const std::size_t omises = lignesRecap + 1 < nombre ? recap - tete : lignes.size() - tete;
    resume.push_back("\xE2\x80\xA6 (" + std::to_string(omises) + " lignes de plus)");
    if (lignesRecap + 1 < nombre)
        resume.insert(resume.end(), lignes.begin() + static_cast<std::ptrdiff_t>(recap), lignes.end());
    return resume;
}

std::string decimal(double valeur, int decimales = 2)
{
    return formaterNombre(valeur, decimales, ',');
}

std::string decrireFin(const Jeu& jeu, const ResultatJeu& resultat)
{
    std::string texte = "fin : " + (resultat.fin.empty() ? std::string(finNormale) : assainir(montrerFin(jeu, resultat.fin)));
    if (!montrerMesures(jeu))
        return texte;
    if (resultat.secondes >= 0)
        texte += ", " + decimal(resultat.secondes) + " s";
    if (resultat.mio >= 0)
        texte += ", " + decimal(resultat.mio, 1) + " Mio";
    return texte;
}

std::string decrireComptes(const Jeu& jeu, const ResultatJeu& resultat,
                           const std::array<Part, nombreMots>& parts, const Bareme* bareme)
{
    std::string texte = "  r\xC3\xA9ussies :";
    std::int64_t reussies = 0;
    std::int64_t total = 0;
    double points = 0;
    double max = 0;
    for (std::size_t m = 0; m < nombreMots; ++m) {
        if (jeu.maxima[m] == 0)
            continue;
        const std::int64_t r = resultat.note ? resultat.reussites[m] : 0;
        texte += (total == 0 ? " " : ", ") + std::string(motsNotes[m]) + " " + std::to_string(r) + "/"
            + std::to_string(jeu.maxima[m]);
        if (bareme != nullptr)
            texte += " (" + decimal(parts[m].points) + "/" + decimal(parts[m].max) + ")";
        reussies += r;
        total += jeu.maxima[m];
        points += parts[m].points;
        max += parts[m].max;
    }
    if (total == 0)
        return texte + " aucune ligne";
    texte += " ; total " + std::to_string(reussies) + "/" + std::to_string(total);
    if (bareme != nullptr)
        texte += " ; note du jeu " + decimal(points) + "/" + decimal(max);
    return texte;
}

} // namespace

void ecrireRetour(std::ostream& sortie, const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                  const Notation& notation, const Bareme* bareme)
{
    std::vector<std::string> lignes;
    lignes.push_back("Retour pour " + assainir(remise.nom));
    if (notation.note && bareme != nullptr)
        lignes.push_back("Note : " + formaterNombre(*notation.note, bareme->decimales, ',') + " / "
                         + decimal(bareme->sur));
    else if (notation.note) {
        double max = 0;
        for (const auto& parts : notation.parts)
            max = std::accumulate(parts.begin(), parts.end(), max,
                                  [](double somme, const Part& part) { return somme + part.max; });
        lignes.push_back("Lignes r\xC3\xA9ussies : " + decimal(*notation.note, 0) + " / " + decimal(max, 0));
    }
    if (!remise.trouvee || (remise.statut != statutOk && remise.compilee && !remise.statut.empty()))
        lignes.push_back("Statut : " + assainir(remise.statut));
    if (!remise.compilee) {
        lignes.push_back("Compilation : \xC3\xA9" "chec, le programme n'a pas \xC3\xA9t\xC3\xA9 lanc\xC3\xA9");
        std::size_t restantes = 0;
        for (const std::string& ligne : premieresLignes(remise.compilation, lignesCompilateur, restantes))
            lignes.push_back("  " + ligne); // cppcheck-suppress useStlAlgorithm
        if (restantes > 0)
            lignes.push_back("  \xE2\x80\xA6 (" + std::to_string(restantes) + " lignes de plus)");
    }

    // Each visible set's explanation comes last in its block; first the
    // lines everyone gets, then the explanations share what is left.
    struct Bloc {
        std::vector<std::string> tete;
        std::string_view explication;
    };
    std::vector<Bloc> blocs;
    std::size_t fixes = lignes.size();
    std::size_t avecExplication = 0;
    for (std::size_t j = 0; j < jeux.size() && remise.compilee && remise.trouvee; ++j) {
        const ResultatJeu& resultat = resultatDuJeu(remise, j);
        Bloc bloc;
        const std::string titre = "Jeu \xC2\xAB " + assainir(jeux[j].nom) + " \xC2\xBB"
            + (jeux[j].cache ? " (cach\xC3\xA9)" : "");
        bloc.tete.push_back(resultat.note || !resultat.fin.empty() ? titre + " \xE2\x80\x94 " + decrireFin(jeux[j], resultat)
                                                                    : titre + " \xE2\x80\x94 non not\xC3\xA9");
        const std::array<Part, nombreMots> sansPart{};
        bloc.tete.push_back(decrireComptes(jeux[j], resultat, j < notation.parts.size() ? notation.parts[j] : sansPart, bareme));
        if (!jeux[j].cache) {
            std::size_t restantes = 0;
            const std::vector<std::string> erreurs = premieresLignes(resultat.erreurs, lignesErreurs, restantes);
            if (!erreurs.empty())
                bloc.tete.push_back("  sortie d'erreur (d\xC3\xA9" "but) :");
            for (const std::string& ligne : erreurs)
                bloc.tete.push_back("    " + ligne);
            if (restantes > 0)
                bloc.tete.push_back("    \xE2\x80\xA6");
            bloc.explication = resultat.explication;
            if (!bloc.explication.empty()) {
                bloc.tete.push_back("  explication :");
                ++avecExplication;
            }
        }
        fixes += bloc.tete.size();
        blocs.push_back(std::move(bloc));
    }
    const std::size_t reste = lignesRetour > fixes ? lignesRetour - fixes : 0;
    const std::size_t parExplication = avecExplication > 0 ? reste / avecExplication : 0;
    for (const Bloc& bloc : blocs) {
        lignes.insert(lignes.end(), bloc.tete.begin(), bloc.tete.end());
        if (bloc.explication.empty())
            continue;
        const std::vector<std::string> explication = resumerExplication(bloc.explication, parExplication);
        for (const std::string& ligne : explication)
            lignes.push_back("    " + ligne); // cppcheck-suppress useStlAlgorithm
    }
    for (const std::string& ligne : lignes)
        sortie << ligne << '\n';
}

std::string ecrireRetourVisible(const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                                const Notation& notation, const Bareme* bareme)
{
    std::vector<Jeu> visibles;
    ResultatRemise remiseVisible = remise;
    remiseVisible.jeux.clear();
    Notation notationVisible;
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        if (jeux[j].cache)
            continue;
        visibles.push_back(jeux[j]);
        remiseVisible.jeux.push_back(resultatDuJeu(remise, j));
        notationVisible.parts.push_back(j < notation.parts.size() ? notation.parts[j] : std::array<Part, nombreMots>{});
    }
    if (visibles.size() == jeux.size())
        notationVisible.note = notation.note;
    std::ostringstream texte;
    ecrireRetour(texte, visibles, remiseVisible, notationVisible, bareme);
    return texte.str();
}

std::string nommerDossierRetour(std::string_view nom, std::string_view identifiant, bool moodle)
{
    std::string dossier;
    std::string nomComplet;
    if (moodle && !identifiant.empty() && !extraireParticipant(nom, &nomComplet).empty()) {
        // Moodle finds the number as the second part between '_', as its
        // own export writes names: without one.
        std::replace(nomComplet.begin(), nomComplet.end(), '_', ' ');
        dossier = nomComplet + "_" + std::string(identifiant) + "_assignfeedback_file_";
    }
    else if (moodle && !identifiant.empty())
        dossier = std::string(nom) + "_" + std::string(identifiant) + "_assignfeedback_file_";
    else
        dossier = std::string(nom);
    // A submission found in a student's folder: that folder's name.
    const std::size_t barre = dossier.find('/');
    if (barre != std::string::npos && barre > 0)
        dossier.erase(barre);
    dossier = assainir(dossier);
    std::replace_if(dossier.begin(), dossier.end(),
                    [](char octet) { return octet == '/' || octet == '\t' || octet == '\n' || octet == '\\'; }, '_');
    if (dossier.empty() || dossier == "." || dossier == "..")
        dossier = "_" + dossier;
    return dossier;
}
