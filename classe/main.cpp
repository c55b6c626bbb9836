// valideur-classe: grades every submission of a class with valideur's loop,
// in parallel, into one table.

#include "classe/decouverte/decouverte.h"
#include "classe/deroulement/execution_classe.h"
#include "classe/deroulement/travail.h"
#include "classe/notation/avertissements.h"
#include "classe/notation/maxima.h"
#include "classe/notation/notation.h"
#include "classe/options/options.h"
#include "classe/plateforme/plateforme.h"
#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"
#include "classe/tables/fusion.h"
#include "classe/tables/notes.h"
#include "classe/tables/partage.h"
#include "classe/tables/releve.h"
#include "classe/vue/vue.h"

#include "execution/moniteur.h"
#include "validation/fichier.h"

#include <algorithm>
#include <csignal>
#include <iostream>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {


std::string accorder(std::size_t nombre, std::string_view mot)
{
    return std::to_string(nombre) + ' ' + std::string(mot) + (nombre > 1 ? "s" : "");
}

// Adds what a descriptor writes to, when it is a file, to the files no
// submission may be.
void retenirSortie(int descripteur, Identites& identites)
{
    struct stat infos {};
    if (descripteur >= 0 && fstat(descripteur, &infos) == 0 && S_ISREG(infos.st_mode)) {
        ajouterIdentite(identites, infos, Role::sortie);
        trierIdentites(identites);
    }
}

// The table's file, or -1 with the message written; standard output when
// no file was asked for. What it held stays until the results replace it:
// a class stopped midway, or refused, leaves the last table whole.
int ouvrirTableau(const std::string& chemin, Identites& identites)
{
    std::string erreur;
    const int descripteur = ouvrirEcriture(chemin, identites, erreur, false);
    if (descripteur < 0)
        signalerErreur(chemin, erreur);
    retenirSortie(descripteur, identites);
    return descripteur;
}

// The files for course platforms, opened as the tables are; null when none
// was asked for, and `echec` set when one could not be opened.
std::unique_ptr<Plateformes> preparer(const Options& options, const Corrige& corrige,
                                      const Decomptes& maxima, std::size_t remises,
                                      Identites& identites, bool& echec)
{
    echec = false;
    if (!demandePlateformes(options.plateformes))
        return nullptr;
    auto plateformes = std::make_unique<Plateformes>();
    plateformes->demandes = options.plateformes;
    const auto ouvrir = [&identites](const std::string& chemin) { return ouvrirTableau(chemin, identites); };
    std::string erreur;
    if (!preparerPlateformes(*plateformes, {nommerJeuUnique(corrige.cheminTest, maxima)}, ouvrir, erreur)
        || !compterRemises(*plateformes, remises, erreur)) {
        if (!erreur.empty())
            std::cerr << prefixe << erreur << '\n';
        fermerPlateformes(*plateformes);
        echec = true;
        return nullptr;
    }
    return plateformes;
}

// The last line on standard error, and the status: 0 when every submission
// found was graded, a student without one included; 1 otherwise, or when
// none was found.
int conclure(const Options& options, const std::vector<Note>& notes, const VueClasse& vue, int code,
             const std::string& bilanExecution = {})
{
    const auto notees = static_cast<std::size_t>(
        std::count_if(notes.begin(), notes.end(), [](const Note& note) { return note.notee; }));
    const auto absentes = static_cast<std::size_t>(
        std::count_if(notes.begin(), notes.end(), [](const Note& note) { return note.absente; }));
    // A share may be left with none: the merge judges the class.
    const bool aucune = notes.size() == absentes && options.parts == 0;
    if (aucune)
        std::cerr << prefixe << "aucune remise trouv\xC3\xA9" "e\n";
    if (const auto avertissement = signalerArretCommun(notes))
        std::cerr << prefixe << *avertissement << '\n';
    std::cerr << prefixe << accorder(notes.size(), "remise") << ", "
              << accorder(notees, "not\xC3\xA9" "e") << ", "
              << accorder(notes.size() - notees, "non not\xC3\xA9" "e") << " ; notes : "
              << (options.sortie.empty() ? std::string("sortie standard") : rendreInoffensif(options.sortie));
    if (!options.lignes.empty())
        std::cerr << " ; vue de la classe : " << rendreInoffensif(options.lignes) << resumerVue(vue, options.lignesMax);
    if (!options.plateformes.retours.empty())
        std::cerr << " ; retours : " << rendreInoffensif(options.plateformes.retours);
    if (options.sansBacASable)
        std::cerr << " ; sans bac \xC3\xA0 sable";
    if (const std::string plateformes = conclurePlateformes(options.plateformes); !plateformes.empty())
        std::cerr << " ; " << plateformes;
    std::cerr << bilanExecution << '\n' << std::flush;
    if (aucune || notees + absentes < notes.size())
        code = 1;
    return code;
}

int executer(int argc, char* argv[])
{
    const bool sortieFermee = ouvrirDescripteursStandard();
    Options options;
    std::string erreur;
    switch (lireOptions(argc, argv, options, erreur)) {
    case Demande::aide:
        ecrireAide(std::cout);
        return std::cout.flush() ? 0 : 1;
    case Demande::version:
        ecrireVersion(std::cout);
        return std::cout.flush() ? 0 : 1;
    case Demande::erreur:
        std::cerr << prefixe << erreur
                  << "\nEssayez \xC2\xAB valideur-classe --help \xC2\xBB pour plus d'informations.\n";
        return 2;
    case Demande::fusionner:
        return fusionner(options);
    case Demande::noter:
        break;
    }
    if (!options.executer.empty()) {
        std::vector<Note> notes;
        VueClasse vue;
        vue.toutes = options.lignesToutes;
        std::string bilan;
        const int code = executerRemises(options, sortieFermee, notes, vue, bilan);
        return code == 2 ? 2 : conclure(options, notes, vue, code, bilan);
    }

    // Both are read again for each submission: they must be files.
    Corrige corrige{options.cheminTest, options.cheminAttendu, {}, {}, {}};
    std::string statut;
    const int descripteurTest = ouvrirLecture(corrige.cheminTest, true, false, corrige.infosTest, statut);
    if (descripteurTest < 0) {
        signalerErreur(corrige.cheminTest, statut);
        return 2;
    }
    const int descripteurAttendu =
        ouvrirLecture(corrige.cheminAttendu, true, false, corrige.infosAttendu, statut);
    if (descripteurAttendu < 0) {
        signalerErreur(corrige.cheminAttendu, statut);
        return 2;
    }
    close(descripteurAttendu);
    VueClasse vue;
    vue.toutes = options.lignesToutes;
    // The class report shows the most-missed lines too.
    VueClasse* const vueDemandee =
        options.lignes.empty() && options.plateformes.html.empty() ? nullptr : &vue;
    Decomptes maxima;
    FinParcours finTest;
    if (!compterMaxima(descripteurTest, vueDemandee, maxima, finTest)) {
        signalerErreur(corrige.cheminTest, "erreur de lecture");
        return 2;
    }

    // Every file found is known before any table is opened: none is written over.
    Decouverte decouverte = decouvrirRemises(options.remises, options.motif, options.suivreLiens, corrige.cheminAttendu);
    ajouterIdentite(corrige.identites, corrige.infosTest, Role::test);
    ajouterIdentite(corrige.identites, corrige.infosAttendu, Role::attendu);
    for (std::size_t i = 0; i < decouverte.remises.size(); ++i) {
        if (decouverte.remises[i].identifiee)
            ajouterIdentite(corrige.identites, decouverte.remises[i].infos, Role::remise, i);
        for (const struct stat& autre : decouverte.remises[i].autresFichiers)
            ajouterIdentite(corrige.identites, autre, Role::remise, i);
    }
    trierIdentites(corrige.identites);
    // A share says what it is a share of: the key and the whole class.
    Bordereau bordereau = commencerBordereau(options);
    if (options.parts != 0) {
        ajouterCorrige(bordereau, corrige.cheminTest, corrige.cheminAttendu);
        releverClasse(bordereau, decouverte.remises);
    }
    // A share grades its slice of the rows, every file found still known.
    const Tranche tranche = options.parts == 0 ? Tranche{0, decouverte.remises.size()}
                                               : choisirPart(decouverte.remises.size(), options.part, options.parts);
    decouverte.remises.erase(decouverte.remises.begin() + static_cast<std::ptrdiff_t>(tranche.fin),
                             decouverte.remises.end());
    decouverte.remises.erase(decouverte.remises.begin(),
                             decouverte.remises.begin() + static_cast<std::ptrdiff_t>(tranche.debut));

    // The scheme is read, and the platforms' files opened, before the tables.
    bool echec = false;
    const std::unique_ptr<Plateformes> plateformes =
        preparer(options, corrige, maxima, decouverte.remises.size(), corrige.identites, echec);
    if (echec)
        return 2;
    if (options.sortie.empty()) {
        const std::string refus = sortieFermee ? "ferm\xC3\xA9" "e" : verifierSortieStandard(corrige.identites);
        if (!refus.empty()) {
            signalerErreur("sortie standard", refus);
            return 2;
        }
    }
    const int descripteurNotes = options.sortie.empty() ? -1 : ouvrirTableau(options.sortie, corrige.identites);
    if (!options.sortie.empty() && descripteurNotes < 0)
        return 2;
    std::unique_ptr<Fichier> fichierNotes;
    if (descripteurNotes >= 0)
        fichierNotes = std::make_unique<Fichier>(descripteurNotes, std::ios::out);
    std::unique_ptr<Fichier> fichierLignes;
    if (!options.lignes.empty()) {
        const int descripteurLignes = ouvrirTableau(options.lignes, corrige.identites);
        if (descripteurLignes < 0)
            return 2;
        fichierLignes = std::make_unique<Fichier>(descripteurLignes, std::ios::out);
    }
    retenirSortie(STDOUT_FILENO, corrige.identites);
    retenirSortie(STDERR_FILENO, corrige.identites);
    if (!annoncerPart(options, corrige.identites))
        return 2;

    // The run's warnings, which a share keeps for the merge to say them.
    std::vector<std::string>& avertissements = bordereau.avertissements;
    for (const std::string& ignore : decouverte.ignores)
        avertissements.push_back(rendreInoffensif(ignore) + " : ignor\xC3\xA9, hors du motif "
                                 + rendreInoffensif(options.motif));
    avertissements.insert(avertissements.end(), decouverte.avertissements.begin(), decouverte.avertissements.end());
    if (const auto avertissement = signalerIntervertis(maxima, finTest))
        avertissements.push_back(*avertissement);
    if (const auto avertissement = signalerLigneBlanche(corrige.cheminTest, finTest))
        avertissements.push_back(*avertissement);
    for (const std::string& avertissement : avertissements)
        std::cerr << prefixe << avertissement << '\n';

    std::vector<Note> notes(decouverte.remises.size());
    Travail travail{corrige, decouverte.remises, tranche.debut, notes, vueDemandee, plateformes.get(),
                    nullptr, nullptr, {0}, {0}, {}, {}, {}};
    const unsigned taches = options.taches != 0 ? options.taches
                                                : std::max(1U, std::thread::hardware_concurrency());
    noterTout(travail, taches, isatty(STDERR_FILENO) == 1);

    std::ostream sortieNotes(fichierNotes ? static_cast<std::streambuf*>(fichierNotes.get())
                                          : std::cout.rdbuf());
    if (descripteurNotes >= 0 && !viderFichier(descripteurNotes))
        sortieNotes.setstate(std::ios::badbit);
    if (options.bom)
        sortieNotes << marqueOrdre;
    ecrireNotes(sortieNotes, maxima, notes, options.format,
                plateformes && plateformes->bareme ? &*plateformes->bareme : nullptr);
    int code = 0;
    if (!sortieNotes.flush()) {
        signalerErreur(options.sortie.empty() ? "sortie standard" : options.sortie,
                       "erreur d'\xC3\xA9" "criture");
        code = 1;
    }
    if (fichierLignes) {
        std::ostream sortieLignes(fichierLignes.get());
        if (!viderFichier(fichierLignes->fd()))
            sortieLignes.setstate(std::ios::badbit);
        if (options.bom)
            sortieLignes << marqueOrdre;
        if (options.parts != 0)
            ecrireVuePartielle(sortieLignes, vue, options.part, options.parts);
        else
            ecrireVue(sortieLignes, vue, options.format, options.lignesMax);
        if (!sortieLignes.flush()) {
            signalerErreur(options.lignes, "erreur d'\xC3\xA9" "criture");
            code = 1;
        }
    }
    if (code == 0 && !signerPart(options, bordereau, notes))
        code = 1;
    if (plateformes) {
        const std::vector<LigneManquee> manquees =
            options.plateformes.html.empty() ? std::vector<LigneManquee>{}
                                             : extraireLignesManquees(vue, plateformes->jeux.front().nom, 20);
        if (!ecrirePlateformes(*plateformes, &manquees, std::cerr))
            code = 1;
    }
    return conclure(options, notes, vue, code);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && std::string_view(argv[1]) == argumentMoniteur)
        return lancerMoniteur(argc, argv);
    std::ios::sync_with_stdio(false);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return executer(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << prefixe << "erreur m\xC3\xA9moire\n" << std::flush;
        return 2;
    } catch (const std::system_error&) {
        std::cerr << prefixe << "impossible de lancer les t\xC3\xA2" "ches\n" << std::flush;
        return 2;
    }
}
