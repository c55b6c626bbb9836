#include "classe/resultats/bareme.h"

#include "execution/nombres.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>

namespace {

std::vector<std::string> decouperMots(const std::string& ligne)
{
    std::vector<std::string> mots;
    std::size_t i = 0;
    while (i < ligne.size()) {
        while (i < ligne.size() && (ligne[i] == ' ' || ligne[i] == '\t' || ligne[i] == '\r'))
            ++i;
        const std::size_t debut = i;
        while (i < ligne.size() && ligne[i] != ' ' && ligne[i] != '\t' && ligne[i] != '\r')
            ++i;
        if (i > debut)
            mots.push_back(ligne.substr(debut, i - debut));
    }
    // "jeu public 20 %"
    if (mots.size() > 1 && mots.back() == "%") {
        mots.pop_back();
        mots.back() += '%';
    }
    return mots;
}

// A non-negative decimal number, point or comma, an optional final "%".
// `decimales` gets the digits written after the separator.
bool lireNombre(std::string texte, double& valeur, int* decimales = nullptr)
{
    if (!texte.empty() && texte.back() == '%')
        texte.pop_back();
    int apres = 0;
    if (texte.size() > 32 || !lireDecimal(texte, true, valeur, apres))
        return false;
    if (decimales != nullptr)
        *decimales = std::min(apres, 6);
    return true;
}

std::string citer(const std::string& texte)
{
    return "\xC2\xAB " + texte + " \xC2\xBB";
}

bool enPourcent(const std::string& nombre)
{
    return !nombre.empty() && nombre.back() == '%';
}

// Shares in % that do not make 100 % are a mistake of the scheme's.
bool verifierCent(double somme, const char* quoi, std::string& erreur)
{
    if (std::fabs(somme - 100) <= 1e-6)
        return true;
    erreur = std::string("les poids ") + quoi + " en % font " + formaterNombre(somme, 6, ',')
        + " %, pas 100 % (ce qui n'est pas nomm\xC3\xA9 p\xC3\xA8se 0)";
    return false;
}

bool lireInstruction(const std::vector<std::string>& mots, Bareme& bareme,
                     std::vector<std::string>& vus, std::string& erreur)
{
    const std::string& cle = mots[0];
    const auto nombreAttendu = [&](std::size_t minimum, std::size_t maximum) {
        if (mots.size() >= minimum && mots.size() <= maximum)
            return true;
        erreur = citer(cle) + " : nombre de valeurs incorrect";
        return false;
    };
    const auto dejaVu = [&](const std::string& quoi) {
        if (std::find(vus.begin(), vus.end(), quoi) != vus.end()) {
            erreur = citer(quoi) + " donn\xC3\xA9 deux fois";
            return true;
        }
        vus.push_back(quoi);
        return false;
    };
    double valeur = 0;
    if (cle == "sur") {
        if (!nombreAttendu(2, 2) || dejaVu("sur"))
            return false;
        if (enPourcent(mots[1]) || !lireNombre(mots[1], valeur) || valeur <= 0) {
            erreur = "\xC3\xA9" "chelle invalide : " + citer(mots[1]);
            return false;
        }
        bareme.sur = valeur;
        return true;
    }
    if (cle == "arrondi") {
        if (!nombreAttendu(2, 3) || dejaVu("arrondi"))
            return false;
        if (enPourcent(mots[1]) || !lireNombre(mots[1], valeur, &bareme.decimales) || valeur <= 0) {
            erreur = "pas d'arrondi invalide : " + citer(mots[1]);
            return false;
        }
        bareme.pas = valeur;
        const std::string sens = mots.size() == 3 ? mots[2] : "proche";
        if (sens == "proche")
            bareme.sens = Sens::proche;
        else if (sens == "haut")
            bareme.sens = Sens::haut;
        else if (sens == "bas")
            bareme.sens = Sens::bas;
        else {
            erreur = "sens d'arrondi inconnu : " + citer(sens) + " (proche, haut ou bas)";
            return false;
        }
        return true;
    }
    if (cle == "mot" || cle == "jeu") {
        if (!nombreAttendu(3, 3) || dejaVu(cle + " " + mots[1]))
            return false;
        if (!lireNombre(mots[2], valeur)) {
            erreur = "poids invalide : " + citer(mots[2]);
            return false;
        }
        if (cle == "jeu") {
            bareme.poidsJeux.emplace_back(mots[1], valeur);
            bareme.jeuxEnPourcent = bareme.jeuxEnPourcent || enPourcent(mots[2]);
            return true;
        }
        const auto place = std::find(motsNotes.begin(), motsNotes.end(), mots[1]);
        if (place == motsNotes.end()) {
            erreur = "mot inconnu : " + citer(mots[1])
                + " (trace, localiser, presences, frequentations, duree_rencontres ou autres)";
            return false;
        }
        bareme.poidsMots[static_cast<std::size_t>(place - motsNotes.begin())] = valeur;
        if (enPourcent(mots[2]))
            vus.push_back("%");
        return true;
    }
    erreur = "instruction inconnue : " + citer(cle) + " (sur, arrondi, mot ou jeu)";
    return false;
}

double poidsJeu(const Bareme& bareme, const std::string& nom)
{
    for (const auto& [jeu, poids] : bareme.poidsJeux) {
        if (jeu == nom)
            return poids;
    }
    return bareme.jeuxEnPourcent ? 0 : 1;
}

double arrondir(double valeur, const Bareme& bareme)
{
    // A margin against the binary fractions: 13.999999 rounds up to 14 as
    // a person would, never past it.
    const double pas = valeur / bareme.pas;
    double entier = 0;
    switch (bareme.sens) {
    case Sens::proche:
        entier = std::floor(pas + 0.5 + 1e-9);
        break;
    case Sens::haut:
        entier = std::ceil(pas - 1e-9);
        break;
    case Sens::bas:
        entier = std::floor(pas + 1e-9);
        break;
    }
    return std::min(entier * bareme.pas, bareme.sur);
}

double fraction(std::int64_t reussites, std::int64_t maximum)
{
    if (maximum <= 0)
        return 0;
    return static_cast<double>(std::clamp<std::int64_t>(reussites, 0, maximum))
        / static_cast<double>(maximum);
}

bool aUneNote(const ResultatRemise& remise)
{
    if (!remise.trouvee)
        return false;
    if (!remise.compilee)
        return true;
    return std::any_of(remise.jeux.begin(), remise.jeux.end(),
                       [](const ResultatJeu& jeu) { return jeu.note; });
}

} // namespace

bool lireBareme(std::istream& entree, Bareme& bareme, std::string& erreur)
{
    std::string ligne;
    std::vector<std::string> vus;
    for (int numero = 1; std::getline(entree, ligne); ++numero) {
        const std::size_t diese = ligne.find('#');
        if (diese != std::string::npos)
            ligne.erase(diese);
        const std::vector<std::string> mots = decouperMots(ligne);
        if (mots.empty())
            continue;
        if (!lireInstruction(mots, bareme, vus, erreur)) {
            erreur.insert(0, "ligne " + std::to_string(numero) + " : ");
            return false;
        }
    }
    if (entree.bad()) {
        erreur = "erreur de lecture";
        return false;
    }
    if (std::find(vus.begin(), vus.end(), "%") != vus.end()) {
        double somme = 0;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (std::find(vus.begin(), vus.end(), "mot " + std::string(motsNotes[m])) == vus.end())
                bareme.poidsMots[m] = 0;
            somme += bareme.poidsMots[m];
        }
        if (!verifierCent(somme, "des mots", erreur))
            return false;
    }
    if (bareme.pas > bareme.sur) {
        erreur = "pas d'arrondi plus grand que l'\xC3\xA9" "chelle : " + formaterNombre(bareme.pas, 6, ',') + " sur "
            + formaterNombre(bareme.sur, 6, ',');
        return false;
    }
    if (std::all_of(bareme.poidsMots.begin(), bareme.poidsMots.end(), [](double p) { return p == 0; })) {
        erreur = "tous les mots ont un poids nul";
        return false;
    }
    return true;
}

bool verifierJeux(const Bareme& bareme, const std::vector<Jeu>& jeux, std::string& erreur)
{
    for (const auto& paire : bareme.poidsJeux) {
        const std::string& nom = paire.first;
        if (std::none_of(jeux.begin(), jeux.end(), [&nom](const Jeu& jeu) { return jeu.nom == nom; })) {
            std::string noms;
            for (const Jeu& jeu : jeux)
                noms += (noms.empty() ? "" : ", ") + jeu.nom;
            erreur = "jeu inconnu : " + citer(nom) + " (jeux : " + noms + ")";
            return false;
        }
    }
    if (bareme.jeuxEnPourcent) {
        const double somme = std::accumulate(bareme.poidsJeux.begin(), bareme.poidsJeux.end(), 0.0,
                                             [](double total, const auto& paire) { return total + paire.second; });
        if (!verifierCent(somme, "des jeux", erreur))
            return false;
    }
    if (!bareme.poidsJeux.empty()
        && std::all_of(jeux.begin(), jeux.end(), [&bareme](const Jeu& jeu) { return poidsJeu(bareme, jeu.nom) == 0; })) {
        erreur = "tous les jeux ont un poids nul";
        return false;
    }
    return true;
}

Notation noterSelonBareme(const Bareme& bareme, const std::vector<Jeu>& jeux,
                          const ResultatRemise& remise)
{
    Notation notation;
    notation.parts.resize(jeux.size());
    // Each set's weight and the sum of its words' weights, over the words
    // that have lines in it.
    std::vector<double> poidsMotsDuJeu(jeux.size(), 0);
    double poidsTotal = 0;
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (jeux[j].maxima[m] > 0)
                poidsMotsDuJeu[j] += bareme.poidsMots[m];
        }
        if (poidsMotsDuJeu[j] > 0)
            poidsTotal += poidsJeu(bareme, jeux[j].nom);
    }
    double somme = 0;
    for (std::size_t j = 0; j < jeux.size() && poidsTotal > 0; ++j) {
        if (poidsMotsDuJeu[j] <= 0)
            continue;
        const double partJeu = bareme.sur * poidsJeu(bareme, jeux[j].nom) / poidsTotal;
        const ResultatJeu* resultat = j < remise.jeux.size() ? &remise.jeux[j] : nullptr;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            if (jeux[j].maxima[m] <= 0)
                continue;
            Part& part = notation.parts[j][m];
            part.max = partJeu * bareme.poidsMots[m] / poidsMotsDuJeu[j];
            if (resultat != nullptr && resultat->note)
                part.points = part.max * fraction(resultat->reussites[m], jeux[j].maxima[m]);
            somme += part.points;
        }
    }
    if (aUneNote(remise))
        notation.note = arrondir(somme, bareme);
    return notation;
}

Notation noterSansBareme(const std::vector<Jeu>& jeux, const ResultatRemise& remise)
{
    Notation notation;
    notation.parts.resize(jeux.size());
    double total = 0;
    for (std::size_t j = 0; j < jeux.size(); ++j) {
        const ResultatJeu* resultat = j < remise.jeux.size() ? &remise.jeux[j] : nullptr;
        for (std::size_t m = 0; m < nombreMots; ++m) {
            Part& part = notation.parts[j][m];
            part.max = static_cast<double>(jeux[j].maxima[m]);
            if (resultat != nullptr && resultat->note)
                part.points = part.max * fraction(resultat->reussites[m], jeux[j].maxima[m]);
            total += part.points;
        }
    }
    if (aUneNote(remise))
        notation.note = total;
    return notation;
}

Notation noterSurEchelle(const std::vector<Jeu>& jeux, const ResultatRemise& remise, double sur)
{
    Notation notation = noterSansBareme(jeux, remise);
    double lignes = 0;
    for (const auto& parts : notation.parts)
        lignes = std::accumulate(parts.begin(), parts.end(), lignes,
                                 [](double somme, const Part& part) { return somme + part.max; });
    const double facteur = lignes > 0 ? sur / lignes : 0;
    for (auto& parts : notation.parts) {
        for (Part& part : parts) {
            part.points *= facteur;
            part.max *= facteur;
        }
    }
    Bareme defaut;
    defaut.sur = sur;
    if (notation.note)
        notation.note = arrondir(*notation.note * facteur, defaut);
    return notation;
}

std::string formaterNombre(double valeur, int decimales, char separateur)
{
    char tampon[64];
    const int taille = std::snprintf(tampon, sizeof tampon, "%.*f", std::clamp(decimales, 0, 6),
                                     valeur);
    std::string texte(tampon, static_cast<std::size_t>(std::clamp(taille, 0, 63)));
    const std::size_t point = texte.find('.');
    if (point != std::string::npos) {
        while (texte.back() == '0')
            texte.pop_back();
        if (texte.back() == '.')
            texte.pop_back();
        else
            texte[point] = separateur;
    }
    if (texte == "-0")
        texte = "0";
    return texte;
}

bool chargerBareme(const std::string& chemin, const std::vector<Jeu>& jeux, Bareme& bareme, std::string& erreur)
{
    std::ifstream fichier(chemin);
    if (!fichier) {
        erreur = citer(chemin) + " : impossible d'ouvrir le bar\xC3\xA8me";
        return false;
    }
    if (!lireBareme(fichier, bareme, erreur) || !verifierJeux(bareme, jeux, erreur)) {
        erreur.insert(0, citer(chemin) + " : ");
        return false;
    }
    return true;
}
