#include "classe/tables/bordereau.h"

#include "classe/sorties/empreinte.h"

#include "execution/nombres.h"

#include <sstream>

std::string echapperChamp(std::string_view texte)
{
    std::string resultat;
    for (const char octet : texte) {
        switch (octet) {
        case '\\':
            resultat += "\\\\";
            break;
        case '\t':
            resultat += "\\t";
            break;
        case '\n':
            resultat += "\\n";
            break;
        case '\r':
            resultat += "\\r";
            break;
        default:
            resultat += octet;
        }
    }
    return resultat;
}

std::string desechapperChamp(std::string_view texte)
{
    std::string resultat;
    for (std::size_t i = 0; i < texte.size(); ++i) {
        if (texte[i] != '\\' || i + 1 == texte.size()) {
            resultat += texte[i];
            continue;
        }
        const char suivant = texte[++i];
        resultat += suivant == 't' ? '\t' : suivant == 'n' ? '\n' : suivant == 'r' ? '\r' : suivant;
    }
    return resultat;
}

std::vector<std::string_view> decouperChamps(std::string_view ligne)
{
    std::vector<std::string_view> champs;
    for (;;) {
        const std::size_t tab = ligne.find('\t');
        champs.push_back(ligne.substr(0, tab));
        if (tab == std::string_view::npos)
            return champs;
        ligne.remove_prefix(tab + 1);
    }
}

bool lirePartage(std::string_view texte, std::size_t& part, std::size_t& parts)
{
    const std::size_t barre = texte.find('/');
    std::uint64_t a = 0;
    std::uint64_t b = 0;
    if (barre == std::string_view::npos || !lireEntier(texte.substr(0, barre), 0, UINT64_MAX, a)
        || !lireEntier(texte.substr(barre + 1), 0, UINT64_MAX, b))
        return false;
    part = static_cast<std::size_t>(a);
    parts = static_cast<std::size_t>(b);
    return true;
}

std::string ecrireBordereau(const Bordereau& b)
{
    std::ostringstream sortie;
    sortie << enteteBordereau << b.part << '/' << b.parts << '\n';
    sortie << "version\t" << echapperChamp(b.version) << '\n';
    if (!b.finie)
        return sortie.str() + "en cours\n";
    sortie << "faite\t" << b.faite << '\n';
    for (const auto& [nom, valeur] : b.options)
        sortie << "option\t" << echapperChamp(nom) << '\t' << echapperChamp(valeur) << '\n';
    for (const auto& [nom, valeur] : b.corrige)
        sortie << "corrige\t" << echapperChamp(nom) << '\t' << echapperChamp(valeur) << '\n';
    for (const RemiseRelevee& remise : b.remises)
        sortie << "remise\t" << echapperChamp(remise.nom) << '\t' << ecrireEmpreinte(remise.empreinte) << '\t'
               << remise.modifiee << '\n';
    for (const std::string& avertissement : b.avertissements)
        sortie << "avertissement\t" << echapperChamp(avertissement) << '\n';
    sortie << "notees\t" << b.notees << '\n';
    for (const auto& [ligne, nombre] : b.arrets)
        sortie << "arret\t" << ligne << '\t' << nombre << '\n';
    sortie << "tableau\t" << ecrireEmpreinte(b.tableau) << '\n';
    if (b.vue)
        sortie << "vue\t" << ecrireEmpreinte(b.empreinteVue) << '\n';
    sortie << "fin\n";
    return sortie.str();
}

bool lireBordereau(std::string_view texte, Bordereau& b, std::string& erreur)
{
    erreur = "bordereau illisible";
    if (texte.substr(0, enteteBordereau.size()) != enteteBordereau)
        return false;
    bool fin = false;
    bool premiere = true;
    while (!texte.empty()) {
        const std::size_t bout = texte.find('\n');
        if (bout == std::string_view::npos)
            return false; // cut short
        const std::vector<std::string_view> c = decouperChamps(texte.substr(0, bout));
        texte.remove_prefix(bout + 1);
        const std::string_view cle = c[0];
        std::uint64_t a = 0;
        std::uint64_t d = 0;
        const auto nombre = [](std::string_view champ, std::uint64_t& valeur) {
            return lireEntier(champ, 0, INT64_MAX, valeur);
        };
        const auto empreinte = [](std::string_view champ, std::uint64_t& valeur) {
            return lireEntier(champ, 0, UINT64_MAX, valeur, 16);
        };
        if (fin)
            return false; // nothing may follow the last line
        if (premiere) {
            premiere = false;
            if (c.size() != 2 || !lirePartage(c[1], b.part, b.parts) || b.part < 1 || b.part > b.parts)
                return false;
        } else if (cle == "version" && c.size() == 2) {
            b.version = desechapperChamp(c[1]);
        } else if (cle == "en cours" && c.size() == 1) {
            b.finie = false;
            erreur.clear();
            return true;
        } else if (cle == "faite" && c.size() == 2 && nombre(c[1], a)) {
            b.faite = static_cast<std::int64_t>(a);
        } else if ((cle == "option" || cle == "corrige") && c.size() == 3) {
            (cle == "option" ? b.options : b.corrige).emplace_back(desechapperChamp(c[1]), desechapperChamp(c[2]));
        } else if (cle == "remise" && c.size() == 4 && empreinte(c[2], a) && nombre(c[3], d)) {
            b.remises.push_back({desechapperChamp(c[1]), a, static_cast<std::int64_t>(d)});
        } else if (cle == "avertissement" && c.size() == 2) {
            b.avertissements.push_back(desechapperChamp(c[1]));
        } else if (cle == "notees" && c.size() == 2 && nombre(c[1], a)) {
            b.notees = static_cast<std::int64_t>(a);
        } else if (cle == "arret" && c.size() == 3 && nombre(c[1], a) && nombre(c[2], d)) {
            b.arrets[static_cast<std::int64_t>(a)] = static_cast<std::int64_t>(d);
        } else if (cle == "tableau" && c.size() == 2 && empreinte(c[1], a)) {
            b.tableau = a;
        } else if (cle == "vue" && c.size() == 2 && empreinte(c[1], a)) {
            b.vue = true;
            b.empreinteVue = a;
        } else if (cle == "fin" && c.size() == 1) {
            fin = true;
        } else {
            return false;
        }
    }
    b.finie = fin;
    if (fin)
        erreur.clear();
    return fin;
}
