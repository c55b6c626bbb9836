#include "classe/options/options.h"
#include "classe/options/definitions.h"

#include "execution/groupes.h"

#include <algorithm>

#include <getopt.h>

#ifndef VALIDEUR_VERSION
#define VALIDEUR_VERSION "0"
#endif

namespace {

// getopt_long's code for an option: its letter, or past every letter its
// place in the table.
constexpr int codeSansLettre = 0x100;

int coder(const DefinitionOption& definition, std::size_t indice)
{
    return definition.courte != '\0' ? definition.courte : codeSansLettre + static_cast<int>(indice);
}

bool verifierExecution(const Options& options, std::string& erreur)
{
    if (options.executer.empty()) {
        if (!options.construire.empty() || !options.jeux.empty() || options.sansBacASable || options.sansCgroups)
            erreur = "--construire, --jeux, --sans-bac-a-sable et --sans-cgroups demandent --executer";
    } else if (options.limites.tempsReel > 0 && options.limites.tempsReel < options.limites.temps) {
        erreur = "--temps-reel doit valoir au moins --temps";
    } else if (!options.jeux.empty() && !options.lignes.empty()) {
        erreur = "--lignes ne se combine pas avec --jeux";
    }
    return erreur.empty();
}

// What the platforms' options need of each other.
bool verifierPlateformes(const DemandesPlateformes& demandes, bool langueDonnee, std::string& erreur)
{
    if (!demandes.moodleFeuille.empty() && demandes.moodle.empty())
        erreur = "--moodle-feuille demande --moodle, le fichier \xC3\xA0 \xC3\xA9" "crire";
    else if (!demandes.moodleFeuille.empty() && langueDonnee)
        erreur = "--moodle-langue et --moodle-feuille s'excluent : la feuille t\xC3\xA9l\xC3\xA9" "charg\xC3\xA9" "e dit sa langue";
    else if (demandes.gradescope.empty() && !demandes.gradescopeMetadonnees.empty())
        erreur = "--gradescope-metadonnees demande --gradescope";
    return erreur.empty();
}

// What follows the options: the files of a request, checked.
Demande lireOperandes(int argc, char* argv[], Lecture& lecture, std::string& erreur)
{
    Options& options = lecture.options;
    if (lecture.demande == Demande::fusionner) {
        if (argc - optind < 1 || options.parts != 0) {
            erreur = options.parts != 0 ? "--part et --fusionner s'excluent"
                                        : "il faut les tableaux et les vues des parts \xC3\xA0 fusionner";
            return Demande::erreur;
        }
        for (int i = optind; i < argc; ++i)
            options.remises.emplace_back(argv[i]);
        return lecture.demande;
    }
    if (lecture.demande != Demande::noter)
        return lecture.demande;
    if (options.parts != 0 && options.sortie.empty()) {
        erreur = "--part demande -o FICHIER, \xC3\xA0 c\xC3\xB4t\xC3\xA9 duquel va le bordereau de la part";
        return Demande::erreur;
    }
    // A wall-clock limit alone bounds the default CPU time too.
    if (!lecture.tempsDonne && options.limites.tempsReel > 0)
        options.limites.temps = std::min(options.limites.temps, options.limites.tempsReel);
    if (!verifierExecution(options, erreur) || !verifierPlateformes(options.plateformes, lecture.langueMoodleDonnee, erreur))
        return Demande::erreur;
    if (!options.jeux.empty()) {
        if (argc - optind < 1) {
            erreur = "il faut au moins une remise";
            return Demande::erreur;
        }
        for (int i = optind; i < argc; ++i)
            options.remises.emplace_back(argv[i]);
        return Demande::noter;
    }
    if (argc - optind < 3) {
        erreur = "il faut un fichier de test, un fichier attendu et au moins une remise";
        return Demande::erreur;
    }
    if (options.motif.empty()) {
        erreur = "motif vide";
        return Demande::erreur;
    }
    options.cheminTest = argv[optind];
    options.cheminAttendu = argv[optind + 1];
    for (int i = optind + 2; i < argc; ++i)
        options.remises.emplace_back(argv[i]);
    return Demande::noter;
}

// One option's lines in --help: its names, then its text from column 26,
// or two spaces further when the names reach it.
void ecrireOption(std::ostream& sortie, const DefinitionOption& definition)
{
    std::string noms = definition.courte != '\0' ? std::string("  -") + definition.courte + ", " : "      ";
    noms += "--" + std::string(definition.longue);
    if (!definition.valeur.empty())
        noms += "=" + std::string(definition.valeur);
    constexpr std::size_t colonne = 25;
    noms.append(noms.size() + 2 > colonne ? 2 : colonne - noms.size(), ' ');
    std::string_view aide = definition.aide;
    for (;;) {
        const std::size_t fin = aide.find('\n');
        sortie << noms << aide.substr(0, fin) << '\n';
        if (fin == std::string_view::npos)
            return;
        aide.remove_prefix(fin + 1);
        noms.assign(colonne, ' ');
    }
}

} // namespace

Demande lireOptions(int argc, char* argv[], Options& options, std::string& erreur)
{
    const std::vector<DefinitionOption>& definitions = listerOptions();
    std::vector<option> longues;
    std::string courtes = ":";
    for (std::size_t i = 0; i < definitions.size(); ++i) {
        const DefinitionOption& definition = definitions[i];
        const int argument = definition.valeur.empty() ? no_argument : required_argument;
        longues.push_back({definition.longue.data(), argument, nullptr, coder(definition, i)});
        if (definition.courte != '\0')
            courtes += std::string(1, definition.courte) + (definition.valeur.empty() ? "" : ":");
    }
    longues.push_back({nullptr, 0, nullptr, 0});
    opterr = 0;
    optind = 0;
    Lecture lecture{options};
    for (;;) {
        const int code = getopt_long(argc, argv, courtes.c_str(), longues.data(), nullptr);
        if (code == -1)
            break;
        const std::string nom = argv[optind - 1];
        if (code == ':') {
            erreur = "l'option \xC2\xAB " + nom + " \xC2\xBB demande une valeur";
            return Demande::erreur;
        }
        std::size_t indice = 0;
        while (indice < definitions.size() && coder(definitions[indice], indice) != code)
            ++indice;
        if (indice == definitions.size()) {
            erreur = "option inconnue : \xC2\xAB "
                + (optopt != 0 ? "-" + std::string(1, static_cast<char>(optopt)) : nom) + " \xC2\xBB";
            return Demande::erreur;
        }
        if (!definitions[indice].lire(lecture, optarg, nom, erreur))
            return Demande::erreur;
    }
    return lireOperandes(argc, argv, lecture, erreur);
}

void ecrireAide(std::ostream& sortie)
{
    sortie << "Utilisation : valideur-classe [OPTION]... TEST ATTENDU REMISE...\n"
              "   ou : valideur-classe --fusionner [OPTION]... PART...\n"
              "   ou : valideur-classe --executer=COMMANDE --jeux=DOSSIER [OPTION]... REMISE...\n"
              "Note chaque remise d'une classe comme valideur, en parall\xC3\xA8le, et \xC3\xA9" "crit un\n"
              "tableau : une rang\xC3\xA9" "e de maxima, puis une rang\xC3\xA9" "e par remise, tri\xC3\xA9" "e, avec les\n"
              "r\xC3\xA9ussites par mot de commande, le total, un statut et un diagnostic.\n"
              "Une REMISE est un fichier de r\xC3\xA9sultats, ou un dossier o\xC3\xB9 les chercher.\n";
    Groupe groupe = Groupe::information;
    for (const DefinitionOption& definition : listerOptions()) {
        if (definition.groupe != groupe) {
            groupe = definition.groupe;
            sortie << '\n';
            if (groupe == Groupe::execution)
                sortie << "Ex\xC3\xA9" "cution des remises (chaque REMISE est alors un dossier) :\n";
        }
        ecrireOption(sortie, definition);
    }
    sortie << "\n"
              "Statut de sortie : 0 si chaque remise trouv\xC3\xA9" "e a \xC3\xA9t\xC3\xA9 not\xC3\xA9" "e (un \xC3\xA9l\xC3\xA8ve sans remise,\n"
              "absent, compris), 1 si l'une ne l'a pas \xC3\xA9t\xC3\xA9 pour une autre raison (ou si\n"
              "aucune n'a \xC3\xA9t\xC3\xA9 trouv\xC3\xA9" "e), 2 pour une erreur d'utilisation.\n"
              "Voir valideur-classe(1).\n";
}

void ecrireVersion(std::ostream& sortie)
{
    sortie << "valideur-classe " VALIDEUR_VERSION "\n"
           << "limites des ex\xC3\xA9" "cutions : " << nommerModeLimites(sonderGroupes()) << "\n";
}
