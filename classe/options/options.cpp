#include "classe/options/options.h"
#include "classe/options/options_execution.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <getopt.h>

#ifndef VALIDEUR_VERSION
#define VALIDEUR_VERSION "0"
#endif

namespace {

bool lireNombre(const char* texte, long minimum, long maximum, std::size_t& nombre)
{
    char* fin = nullptr;
    errno = 0;
    const long valeur = std::strtol(texte, &fin, 10);
    if (fin == texte || *fin != '\0' || errno != 0 || valeur < minimum || valeur > maximum)
        return false;
    nombre = static_cast<std::size_t>(valeur);
    return true;
}

// "I/N", 1 <= I <= N.
bool lirePart(const char* texte, Options& options)
{
    const std::string entier(texte);
    const std::size_t barre = entier.find('/');
    if (barre == std::string::npos)
        return false;
    const std::string premier = entier.substr(0, barre);
    const std::string second = entier.substr(barre + 1);
    std::size_t part = 0;
    std::size_t parts = 0;
    if (!lireNombre(premier.c_str(), 1, 100000, part) || !lireNombre(second.c_str(), 1, 100000, parts)
        || part > parts)
        return false;
    options.part = part;
    options.parts = parts;
    return true;
}

bool lireTaches(const char* texte, unsigned& taches)
{
    char* fin = nullptr;
    errno = 0;
    const long valeur = std::strtol(texte, &fin, 10);
    if (fin == texte || *fin != '\0' || errno != 0 || valeur < 1 || valeur > 1024)
        return false;
    taches = static_cast<unsigned>(valeur);
    return true;
}

// The options that write for course platforms, past every single letter.
enum : int {
    optionBareme = 0x100,
    optionRetours,
    optionMoodle,
    optionLangueMoodle,
    optionGradescope,
    optionJunit,
    optionHtml,
};

bool lireOptionPlateforme(int option, const char* valeur, DemandesPlateformes& demandes, std::string& erreur)
{
    switch (option) {
    case optionBareme:
        demandes.bareme = valeur;
        return true;
    case optionRetours:
        demandes.retours = valeur;
        return true;
    case optionMoodle:
        demandes.moodle = valeur;
        return true;
    case optionLangueMoodle:
        if (const auto langue = lireLangueMoodle(valeur)) {
            demandes.langueMoodle = *langue;
            return true;
        }
        erreur = "langue de Moodle invalide : \xC2\xAB " + std::string(valeur) + " \xC2\xBB (fr ou en)";
        return false;
    case optionGradescope:
        demandes.gradescope = valeur;
        return true;
    case optionJunit:
        demandes.junit = valeur;
        return true;
    default:
        demandes.html = valeur;
        return true;
    }
}

} // namespace

Demande lireOptions(int argc, char* argv[], Options& options, std::string& erreur)
{
    static const option longues[] = {
        {"sortie", required_argument, nullptr, 'o'}, {"csv", no_argument, nullptr, 'C'},
        {"motif", required_argument, nullptr, 'M'},  {"jobs", required_argument, nullptr, 'j'},
        {"lignes", required_argument, nullptr, 'L'}, {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},      {"bom", no_argument, nullptr, 'B'},
        {"bareme", required_argument, nullptr, optionBareme},
        {"retours", required_argument, nullptr, optionRetours},
        {"moodle", required_argument, nullptr, optionMoodle},
        {"moodle-langue", required_argument, nullptr, optionLangueMoodle},
        {"gradescope", required_argument, nullptr, optionGradescope},
        {"junit", required_argument, nullptr, optionJunit},
        {"html", required_argument, nullptr, optionHtml},
        {"suivre-liens", no_argument, nullptr, 'S'},
        {"lignes-toutes", no_argument, nullptr, 'T'},
        {"lignes-max", required_argument, nullptr, 'X'},
        {"part", required_argument, nullptr, 'P'},
        {"fusionner", no_argument, nullptr, 'F'},
        {"executer", required_argument, nullptr, optionExecuter},
        {"construire", required_argument, nullptr, optionConstruire},
        {"jeux", required_argument, nullptr, optionJeux},
        {"sans-bac-a-sable", no_argument, nullptr, optionSansBac},
        {"temps", required_argument, nullptr, optionTemps},
        {"temps-reel", required_argument, nullptr, optionTempsReel},
        {"memoire", required_argument, nullptr, optionMemoire},
        {"processus", required_argument, nullptr, optionProcessus},
        {"sortie-max", required_argument, nullptr, optionSortieMax},
        {"fichier-max", required_argument, nullptr, optionFichierMax},
        {"espace", required_argument, nullptr, optionEspace},
        {nullptr, 0, nullptr, 0}};
    opterr = 0;
    optind = 0;
    Demande demande = Demande::noter;
    bool tempsDonne = false;
    for (;;) {
        const int option = getopt_long(argc, argv, ":o:j:hV", longues, nullptr);
        if (option == -1)
            break;
        const std::string nom = argv[optind - 1];
        switch (option) {
        case 'o':
            options.sortie = optarg;
            break;
        case 'C':
            options.format = Format::csv;
            break;
        case 'B':
            options.bom = true;
            break;
        case 'S':
            options.suivreLiens = true;
            break;
        case 'T':
            options.lignesToutes = true;
            break;
        case 'P':
            if (!lirePart(optarg, options)) {
                erreur = "part invalide : \xC2\xAB " + std::string(optarg) + " \xC2\xBB (I/N, de 1/N \xC3\xA0 N/N)";
                return Demande::erreur;
            }
            break;
        case 'F':
            if (demande == Demande::noter)
                demande = Demande::fusionner;
            break;
        case 'X':
            if (!lireNombre(optarg, 0, 1000000000, options.lignesMax)) {
                erreur = "nombre de lignes invalide : \xC2\xAB " + std::string(optarg) + " \xC2\xBB";
                return Demande::erreur;
            }
            break;
        case 'M':
            options.motif = optarg;
            break;
        case 'j':
            if (!lireTaches(optarg, options.taches)) {
                erreur = "nombre de t\xC3\xA2" "ches invalide : \xC2\xAB " + std::string(optarg)
                    + " \xC2\xBB (de 1 \xC3\xA0 1024)";
                return Demande::erreur;
            }
            break;
        case 'L':
            options.lignes = optarg;
            break;
        case 'h':
            demande = Demande::aide;
            break;
        case optionBareme:
        case optionRetours:
        case optionMoodle:
        case optionLangueMoodle:
        case optionGradescope:
        case optionJunit:
        case optionHtml:
            if (!lireOptionPlateforme(option, optarg, options.plateformes, erreur))
                return Demande::erreur;
            break;
        case optionExecuter:
        case optionConstruire:
        case optionJeux:
        case optionSansBac:
        case optionTemps:
        case optionTempsReel:
        case optionMemoire:
        case optionProcessus:
        case optionSortieMax:
        case optionFichierMax:
        case optionEspace:
            if (!lireOptionExecution(option, optarg, nom, options, erreur))
                return Demande::erreur;
            tempsDonne = tempsDonne || option == optionTemps;
            break;
        case 'V':
            if (demande != Demande::aide)
                demande = Demande::version;
            break;
        case ':':
            erreur = "l'option \xC2\xAB " + nom + " \xC2\xBB demande une valeur";
            return Demande::erreur;
        default:
            erreur = "option inconnue : \xC2\xAB "
                + (optopt != 0 ? "-" + std::string(1, static_cast<char>(optopt)) : nom) + " \xC2\xBB";
            return Demande::erreur;
        }
    }
    if (demande == Demande::fusionner) {
        if (argc - optind < 1 || options.parts != 0) {
            erreur = options.parts != 0 ? "--part et --fusionner s'excluent"
                                        : "il faut les tableaux et les vues des parts \xC3\xA0 fusionner";
            return Demande::erreur;
        }
        for (int i = optind; i < argc; ++i)
            options.remises.emplace_back(argv[i]);
        return demande;
    }
    if (demande != Demande::noter)
        return demande;
    // A wall-clock limit alone bounds the default CPU time too.
    if (!tempsDonne && options.limites.tempsReel > 0)
        options.limites.temps = std::min(options.limites.temps, options.limites.tempsReel);
    if (!verifierExecution(options, erreur))
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

void ecrireAide(std::ostream& sortie)
{
    sortie << "Utilisation : valideur-classe [OPTION]... TEST ATTENDU REMISE...\n"
              "   ou : valideur-classe --fusionner [OPTION]... PART...\n"
              "   ou : valideur-classe --executer=COMMANDE --jeux=DOSSIER [OPTION]... REMISE...\n"
              "Note chaque remise d'une classe comme valideur, en parall\xC3\xA8le, et \xC3\xA9" "crit un\n"
              "tableau : une rang\xC3\xA9" "e de maxima, puis une rang\xC3\xA9" "e par remise, tri\xC3\xA9" "e, avec les\n"
              "r\xC3\xA9ussites par mot de commande, le total, un statut et un diagnostic.\n"
              "Une REMISE est un fichier de r\xC3\xA9sultats, ou un dossier o\xC3\xB9 les chercher.\n"
              "\n"
              "  -o, --sortie=FICHIER   \xC3\xA9" "crire le tableau dans FICHIER (sinon : sortie standard)\n"
              "      --csv              CSV (RFC 4180, s\xC3\xA9parateur \xC2\xAB ; \xC2\xBB) au lieu de TSV\n"
              "      --bom              commencer chaque tableau par une marque d'ordre des\n"
              "                         octets UTF-8, pour les tableurs qui l'attendent\n"
              "      --motif=MOTIF      nom des fichiers de r\xC3\xA9sultats cherch\xC3\xA9s (d\xC3\xA9" "faut : *.resultat)\n"
              "      --suivre-liens     suivre les liens symboliques trouv\xC3\xA9s dans les\n"
              "                         dossiers (sinon : statut \xC2\xAB lien \xC2\xBB)\n"
              "  -j, --jobs=N           N remises not\xC3\xA9" "es \xC3\xA0 la fois (d\xC3\xA9" "faut : une par c\xC5\x93ur)\n"
              "      --lignes=FICHIER   \xC3\xA9" "crire dans FICHIER la vue de la classe : les lignes de\n"
              "                         test manqu\xC3\xA9" "es, les plus manqu\xC3\xA9" "es d'abord\n"
              "      --lignes-max=N     au plus N lignes dans la vue (d\xC3\xA9" "faut : 100 ; 0 : toutes)\n"
              "      --lignes-toutes    garder dans la vue les remises aux erreurs de forme\n"
              "                         (CRLF, d\xC3\xA9" "calage, fichier vide ou coup\xC3\xA9)\n"
              "      --bareme=FICHIER   noter selon le bar\xC3\xA8me de FICHIER (poids des mots et des\n"
              "                         jeux, \xC3\xA9" "chelle, arrondi) : une colonne \xC2\xAB note \xC2\xBB de plus\n"
              "      --retours=DOSSIER  \xC3\xA9" "crire un retour pour chaque remise dans DOSSIER\n"
              "      --moodle=FICHIER   \xC3\xA9" "crire la feuille de notes \xC3\xA0 importer dans un devoir Moodle\n"
              "      --moodle-langue=fr|en  langue du site Moodle (d\xC3\xA9" "faut : fr)\n"
              "      --gradescope=FICHIER  \xC3\xA9" "crire le results.json d'une remise (Gradescope)\n"
              "      --junit=FICHIER    \xC3\xA9" "crire les r\xC3\xA9sultats en JUnit XML (GitLab, Jenkins)\n"
              "      --html=FICHIER     \xC3\xA9" "crire le rapport de la classe, une page HTML autonome\n"
              "      --part=I/N         noter la I-i\xC3\xA8me de N parts des remises, pour r\xC3\xA9partir une\n"
              "                         classe sur N machines (avec --lignes : une vue partielle)\n"
              "      --fusionner        fusionner les tableaux et les vues des parts, donn\xC3\xA9s \xC3\xA0\n"
              "                         la place de TEST ATTENDU REMISE... : ce qu'\xC3\xA9" "crit une course\n"
              "\n"
              "Ex\xC3\xA9" "cution des remises (chaque REMISE est alors un dossier) :\n"
              "      --executer=COMMANDE  lancer COMMANDE (sh -c) dans une copie priv\xC3\xA9" "e de chaque\n"
              "                         remise, dans un bac \xC3\xA0 sable, le test sur l'entr\xC3\xA9" "e standard\n"
              "      --construire=COMMANDE  construire d'abord chaque remise (make, gcc...)\n"
              "      --jeux=DOSSIER     jeux de test NOM.txt et NOM.resultat de DOSSIER, et de\n"
              "                         DOSSIER/caches/ pour les jeux cach\xC3\xA9s\n"
              "      --temps=SECONDES   temps processeur par processus (d\xC3\xA9" "faut : 10)\n"
              "      --temps-reel=SECONDES  dur\xC3\xA9" "e r\xC3\xA9" "elle (d\xC3\xA9" "faut : 2 \xC3\x97 temps + 5)\n"
              "      --memoire=MIO      m\xC3\xA9moire par processus (d\xC3\xA9" "faut : 512)\n"
              "      --processus=N      processus et fils d'ex\xC3\xA9" "cution (d\xC3\xA9" "faut : 64)\n"
              "      --sortie-max=MIO   sortie standard lue au plus (d\xC3\xA9" "faut : 32)\n"
              "      --fichier-max=MIO  taille d'un fichier \xC3\xA9" "crit (d\xC3\xA9" "faut : 16)\n"
              "      --espace=MIO       place du dossier de travail, et de /tmp (d\xC3\xA9" "faut : 64)\n"
              "      --sans-bac-a-sable  sans bubblewrap, dans un conteneur d\xC3\xA9j\xC3\xA0 isol\xC3\xA9\n"
              "\n"
              "  -h, --help             afficher cette aide\n"
              "  -V, --version          afficher la version\n"
              "\n"
              "Statut de sortie : 0 si chaque remise trouv\xC3\xA9" "e a \xC3\xA9t\xC3\xA9 not\xC3\xA9" "e (un \xC3\xA9l\xC3\xA8ve sans remise,\n"
              "absent, compris), 1 si l'une ne l'a pas \xC3\xA9t\xC3\xA9 pour une autre raison (ou si\n"
              "aucune n'a \xC3\xA9t\xC3\xA9 trouv\xC3\xA9" "e), 2 pour une erreur d'utilisation.\n"
              "Voir valideur-classe(1).\n";
}

void ecrireVersion(std::ostream& sortie)
{
    sortie << "valideur-classe " VALIDEUR_VERSION "\n";
}
