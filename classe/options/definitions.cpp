#include "classe/options/definitions.h"

#include "execution/nombres.h"

#include <cstdint>

namespace {

std::string citer(std::string_view texte)
{
    return "\xC2\xAB " + std::string(texte) + " \xC2\xBB";
}

// "I/N", 1 <= I <= N.
bool lirePart(std::string_view texte, Options& options)
{
    const std::size_t barre = texte.find('/');
    std::uint64_t part = 0;
    std::uint64_t parts = 0;
    if (barre == std::string_view::npos || !lireEntier(texte.substr(0, barre), 1, 100000, part)
        || !lireEntier(texte.substr(barre + 1), 1, 100000, parts) || part > parts)
        return false;
    options.part = static_cast<std::size_t>(part);
    options.parts = static_cast<std::size_t>(parts);
    return true;
}

bool lireCommande(const char* valeur, const std::string& nom, std::string& commande, std::string& erreur)
{
    if (*valeur == '\0') {
        erreur = "commande vide pour " + citer(nom);
        return false;
    }
    commande = valeur;
    return true;
}

// A limit of the runs, read by `lire`.
template <typename Valeur>
bool lireLimite(bool (*lire)(const char*, Valeur&), const char* valeur, const std::string& nom,
                Valeur& limite, std::string& erreur)
{
    if (lire(valeur, limite))
        return true;
    erreur = "valeur invalide pour " + citer(nom.substr(0, nom.find('='))) + " : " + citer(valeur);
    return false;
}

bool lireProcessus(const char* valeur, std::uint64_t& processus)
{
    return lireEntier(valeur, 1, 100000, processus);
}

} // namespace

const std::vector<DefinitionOption>& listerOptions()
{
    using L = Lecture;
    using S = const std::string;
    static const std::vector<DefinitionOption> definitions = {
        {"sortie", 'o', "FICHIER", Groupe::notation, true,
         "\xC3\xA9" "crire le tableau dans FICHIER (sinon : sortie standard)",
         [](L& l, const char* v, S&, std::string&) { l.options.sortie = v; return true; }},
        {"csv", '\0', "", Groupe::notation, false,
         "CSV (RFC 4180, s\xC3\xA9parateur \xC2\xAB ; \xC2\xBB) au lieu de TSV",
         [](L& l, const char*, S&, std::string&) { l.options.format = Format::csv; return true; }},
        {"bom", '\0', "", Groupe::notation, false,
         "commencer chaque tableau par une marque d'ordre des\n"
         "octets UTF-8, pour les tableurs qui l'attendent",
         [](L& l, const char*, S&, std::string&) { l.options.bom = true; return true; }},
        {"motif", '\0', "MOTIF", Groupe::notation, false,
         "nom des fichiers de r\xC3\xA9sultats cherch\xC3\xA9s (d\xC3\xA9" "faut : *.resultat)",
         [](L& l, const char* v, S&, std::string&) { l.options.motif = v; return true; }},
        {"suivre-liens", '\0', "", Groupe::notation, false,
         "suivre les liens symboliques trouv\xC3\xA9s dans les\n"
         "dossiers (sinon : statut \xC2\xAB lien \xC2\xBB)",
         [](L& l, const char*, S&, std::string&) { l.options.suivreLiens = true; return true; }},
        {"jobs", 'j', "N", Groupe::notation, false,
         "N remises not\xC3\xA9" "es \xC3\xA0 la fois (d\xC3\xA9" "faut : une par c\xC5\x93ur)",
         [](L& l, const char* v, S&, std::string& e) {
             std::uint64_t taches = 0;
             if (!lireEntier(v, 1, 1024, taches)) {
                 e = "nombre de t\xC3\xA2" "ches invalide : " + citer(v) + " (de 1 \xC3\xA0 1024)";
                 return false;
             }
             l.options.taches = static_cast<unsigned>(taches);
             return true;
         }},
        {"lignes", '\0', "FICHIER", Groupe::notation, true,
         "\xC3\xA9" "crire dans FICHIER la vue de la classe : les lignes de\n"
         "test manqu\xC3\xA9" "es, les plus manqu\xC3\xA9" "es d'abord",
         [](L& l, const char* v, S&, std::string&) { l.options.lignes = v; return true; }},
        {"lignes-max", '\0', "N", Groupe::notation, false,
         "au plus N lignes dans la vue (d\xC3\xA9" "faut : 100 ; 0 : toutes)",
         [](L& l, const char* v, S&, std::string& e) {
             std::uint64_t maximum = 0;
             if (!lireEntier(v, 0, 1000000000, maximum)) {
                 e = "nombre de lignes invalide : " + citer(v);
                 return false;
             }
             l.options.lignesMax = static_cast<std::size_t>(maximum);
             return true;
         }},
        {"lignes-toutes", '\0', "", Groupe::notation, false,
         "garder dans la vue les remises aux erreurs de forme\n"
         "(CRLF, d\xC3\xA9" "calage, fichier vide ou coup\xC3\xA9)",
         [](L& l, const char*, S&, std::string&) { l.options.lignesToutes = true; return true; }},
        {"bareme", '\0', "FICHIER", Groupe::notation, true,
         "noter selon le bar\xC3\xA8me de FICHIER (poids des mots et des\n"
         "jeux, \xC3\xA9" "chelle, arrondi) : une colonne \xC2\xAB note \xC2\xBB de plus",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.bareme = v; return true; }},
        {"retours", '\0', "DOSSIER", Groupe::notation, true,
         "\xC3\xA9" "crire un retour pour chaque remise dans DOSSIER",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.retours = v; return true; }},
        {"moodle", '\0', "FICHIER", Groupe::notation, true,
         "\xC3\xA9" "crire la feuille de notes \xC3\xA0 importer dans un devoir Moodle",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.moodle = v; return true; }},
        {"moodle-langue", '\0', "fr|en", Groupe::notation, false, "langue du site Moodle (d\xC3\xA9" "faut : fr)",
         [](L& l, const char* v, S&, std::string& e) {
             if (const auto langue = lireLangueMoodle(v)) {
                 l.options.plateformes.langueMoodle = *langue;
                 l.langueMoodleDonnee = true;
                 return true;
             }
             e = "langue de Moodle invalide : " + citer(v) + " (fr ou en)";
             return false;
         }},
        {"moodle-feuille", '\0', "FICHIER", Groupe::notation, true,
         "remplir la feuille t\xC3\xA9l\xC3\xA9" "charg\xC3\xA9" "e du devoir Moodle\n"
         "(sa langue, ses participants, sa note maximale)",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.moodleFeuille = v; return true; }},
        {"gradescope", '\0', "FICHIER", Groupe::notation, true,
         "\xC3\xA9" "crire le results.json d'une remise (Gradescope)",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.gradescope = v; return true; }},
        {"gradescope-metadonnees", '\0', "FICHIER", Groupe::notation, true,
         "points du devoir (d\xC3\xA9" "faut :\n"
         "/autograder/submission_metadata.json)",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.gradescopeMetadonnees = v; return true; }},
        {"gradescope-visibilite", '\0', "after_published|after_due_date", Groupe::notation, false,
         "quand montrer\nles jeux cach\xC3\xA9s (d\xC3\xA9" "faut : after_published)",
         [](L& l, const char* v, S&, std::string& e) {
             for (const std::string_view visibilite : {"after_published", "after_due_date"}) {
                 if (visibilite == v) {
                     l.options.plateformes.visibiliteCachee = visibilite;
                     return true;
                 }
             }
             e = "visibilit\xC3\xA9 invalide : " + citer(v) + " (after_published ou after_due_date)";
             return false;
         }},
        {"junit", '\0', "FICHIER", Groupe::notation, true,
         "\xC3\xA9" "crire les r\xC3\xA9sultats en JUnit XML (GitLab, Jenkins)",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.junit = v; return true; }},
        {"html", '\0', "FICHIER", Groupe::notation, true,
         "\xC3\xA9" "crire le rapport de la classe, une page HTML autonome",
         [](L& l, const char* v, S&, std::string&) { l.options.plateformes.html = v; return true; }},
        {"part", '\0', "I/N", Groupe::notation, false,
         "noter la I-i\xC3\xA8me de N parts des remises, pour r\xC3\xA9partir une\n"
         "classe sur N machines ; demande -o, \xC3\xA0 c\xC3\xB4t\xC3\xA9 duquel la part\n"
         "\xC3\xA9" "crit son bordereau (avec --lignes : une vue partielle)",
         [](L& l, const char* v, S&, std::string& e) {
             if (lirePart(v, l.options))
                 return true;
             e = "part invalide : " + citer(v) + " (I/N, de 1/N \xC3\xA0 N/N)";
             return false;
         }},
        {"fusionner", '\0', "", Groupe::notation, false,
         "fusionner les tableaux et les vues des parts, donn\xC3\xA9s \xC3\xA0\n"
         "la place de TEST ATTENDU REMISE... : ce qu'\xC3\xA9" "crit une course",
         [](L& l, const char*, S&, std::string&) {
             if (l.demande == Demande::noter)
                 l.demande = Demande::fusionner;
             return true;
         }},
        {"executer", '\0', "COMMANDE", Groupe::execution, false,
         "lancer COMMANDE (sh -c) dans une copie priv\xC3\xA9" "e de chaque\n"
         "remise, dans un bac \xC3\xA0 sable, le test sur l'entr\xC3\xA9" "e standard",
         [](L& l, const char* v, S& n, std::string& e) { return lireCommande(v, n, l.options.executer, e); }},
        {"construire", '\0', "COMMANDE", Groupe::execution, false,
         "construire d'abord chaque remise (make, gcc...)",
         [](L& l, const char* v, S& n, std::string& e) { return lireCommande(v, n, l.options.construire, e); }},
        {"jeux", '\0', "DOSSIER", Groupe::execution, true,
         "jeux de test NOM.txt et NOM.resultat de DOSSIER, et de\n"
         "DOSSIER/caches/ pour les jeux cach\xC3\xA9s",
         [](L& l, const char* v, S&, std::string&) { l.options.jeux = v; return true; }},
        {"temps", '\0', "SECONDES", Groupe::execution, false,
         "temps processeur de tous les processus (d\xC3\xA9" "faut : 10)",
         [](L& l, const char* v, S& n, std::string& e) {
             l.tempsDonne = true;
             return lireLimite(lireSecondes, v, n, l.options.limites.temps, e);
         }},
        {"temps-reel", '\0', "SECONDES", Groupe::execution, false,
         "dur\xC3\xA9" "e r\xC3\xA9" "elle (d\xC3\xA9" "faut : 2 \xC3\x97 temps + 5)",
         [](L& l, const char* v, S& n, std::string& e) {
             return lireLimite(lireSecondes, v, n, l.options.limites.tempsReel, e);
         }},
        {"memoire", '\0', "MIO", Groupe::execution, false,
         "m\xC3\xA9moire de l'ex\xC3\xA9" "cution et de chacun de ses\n"
         "processus (d\xC3\xA9" "faut : 512 ; sans cgroups, par processus)",
         [](L& l, const char* v, S& n, std::string& e) {
             return lireLimite(lireMio, v, n, l.options.limites.memoire, e);
         }},
        {"processus", '\0', "N", Groupe::execution, false,
         "processus et fils d'ex\xC3\xA9" "cution (d\xC3\xA9" "faut : 64)",
         [](L& l, const char* v, S& n, std::string& e) {
             return lireLimite(lireProcessus, v, n, l.options.limites.processus, e);
         }},
        {"sortie-max", '\0', "MIO", Groupe::execution, false, "sortie standard lue au plus (d\xC3\xA9" "faut : 32)",
         [](L& l, const char* v, S& n, std::string& e) {
             return lireLimite(lireMio, v, n, l.options.limites.sortieMax, e);
         }},
        {"fichier-max", '\0', "MIO", Groupe::execution, false,
         "taille d'un fichier \xC3\xA9" "crit (d\xC3\xA9" "faut : 16)",
         [](L& l, const char* v, S& n, std::string& e) {
             return lireLimite(lireMio, v, n, l.options.limites.fichierMax, e);
         }},
        {"espace", '\0', "MIO", Groupe::execution, false,
         "dossier de travail, /tmp et /dev/shm (d\xC3\xA9" "faut : 64)",
         [](L& l, const char* v, S& n, std::string& e) {
             return lireLimite(lireMio, v, n, l.options.limites.espace, e);
         }},
        {"sans-bac-a-sable", '\0', "", Groupe::execution, false,
         "sans bubblewrap, dans un conteneur d\xC3\xA9j\xC3\xA0 isol\xC3\xA9",
         [](L& l, const char*, S&, std::string&) { l.options.sansBacASable = true; return true; }},
        {"sans-cgroups", '\0', "", Groupe::execution, false,
         "limites tenues par seccomp et la comptabilit\xC3\xA9 du\n"
         "moniteur, m\xC3\xAAme o\xC3\xB9 des cgroups sont disponibles",
         [](L& l, const char*, S&, std::string&) { l.options.sansCgroups = true; return true; }},
        {"help", 'h', "", Groupe::information, false, "afficher cette aide",
         [](L& l, const char*, S&, std::string&) { l.demande = Demande::aide; return true; }},
        {"version", 'V', "", Groupe::information, false, "afficher la version",
         [](L& l, const char*, S&, std::string&) {
             if (l.demande != Demande::aide)
                 l.demande = Demande::version;
             return true;
         }},
    };
    return definitions;
}
