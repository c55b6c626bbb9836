// valideur-classe: grades every submission of a class with valideur's loop,
// in parallel, into one table.

#include "decouverte.h"
#include "notation.h"
#include "notes.h"
#include "options.h"
#include "plateforme.h"
#include "progression.h"
#include "tableau.h"
#include "vue.h"

#include <ext/stdio_filebuf.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <csignal>
#include <iostream>
#include <mutex>
#include <new>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Fichier = __gnu_cxx::stdio_filebuf<char>;

constexpr const char* prefixe = "valideur-classe : ";

// What the workers share: the submissions, the rows they fill, one each,
// and the count of those done.
struct Travail {
    const Corrige& corrige;
    const std::vector<Remise>& remises;
    std::vector<Note>& notes;
    VueClasse* vue;
    Plateformes* plateformes; // null when nothing beyond the table is asked
    std::atomic<std::size_t> prochaine{0};
    std::atomic<std::size_t> faites{0};
    std::mutex verrou;
    std::condition_variable toutesFaites;
};

void travailler(Travail& travail)
{
    const std::size_t total = travail.remises.size();
    for (;;) {
        const std::size_t i = travail.prochaine++;
        if (i >= total)
            return;
        try {
            Plateformes* const plateformes = travail.plateformes;
            travail.notes[i] = noterRemise(travail.corrige, travail.remises[i], travail.vue,
                                           plateformes != nullptr && expliquerRemises(plateformes->demandes));
            if (plateformes != nullptr)
                rendreRemise(*plateformes, i, travail.notes[i], std::cerr);
        } catch (const std::bad_alloc&) {
            travail.notes[i].nom = travail.remises[i].nom;
            travail.notes[i].notee = false;
            travail.notes[i].statut = "erreur m\xC3\xA9moire";
        }
        if (++travail.faites == total) {
            const std::lock_guard<std::mutex> verrou(travail.verrou);
            travail.toutesFaites.notify_all();
        }
    }
}

// Grades every submission on `taches` threads; shows the progress on
// standard error when it is a terminal.
void noterTout(Travail& travail, unsigned taches, bool terminal)
{
    std::vector<std::thread> fils;
    const std::size_t total = travail.remises.size();
    for (unsigned i = 0; i < taches && i < total; ++i)
        fils.emplace_back(travailler, std::ref(travail));
    if (terminal && total > 0) {
        const Progression progression{total, std::chrono::steady_clock::now()};
        std::unique_lock<std::mutex> verrou(travail.verrou);
        for (;;) {
            afficherProgression(std::cerr, progression, travail.faites.load());
            if (travail.toutesFaites.wait_for(verrou, std::chrono::milliseconds(200),
                                              [&travail, total] { return travail.faites.load() == total; }))
                break;
        }
        effacerProgression(std::cerr);
    }
    for (std::thread& fil : fils)
        fil.join();
}

void signalerErreur(std::string_view chemin, std::string_view motif)
{
    std::cerr << prefixe << rendreInoffensif(chemin) << " : " << motif << '\n';
}

// The first bytes of each of the first `nombre` lines of a test file: the
// loop keeps only the word of some lines, the class view shows them whole.
void lireDebutsLignes(std::streambuf& fichier, std::size_t nombre, std::vector<std::string>& debuts)
{
    using Traits = std::streambuf::traits_type;
    std::string ligne;
    while (debuts.size() < nombre) {
        ligne.clear();
        int octet = fichier.sbumpc();
        for (; octet != Traits::eof() && octet != '\n'; octet = fichier.sbumpc()) {
            if (ligne.size() <= longueurApercu)
                ligne += static_cast<char>(octet);
        }
        debuts.push_back(couperApercu(ligne));
        if (octet == Traits::eof())
            break;
    }
    debuts.resize(nombre);
}

// The lines of each word in the test file, as the loop counts them, and the
// test lines themselves for the class view.
bool compterMaxima(int descripteur, VueClasse* vue, Decomptes& maxima)
{
    Fichier fichier(descripteur, std::ios::in);
    std::istream test(&fichier);
    std::istringstream rien;
    std::istringstream rienNonPlus;
    FinParcours fin;
    maxima = parcourirLignes(test, rien, rienNonPlus, [](const LigneComparee&) {}, fin);
    if (test.bad())
        return false;
    if (vue != nullptr) {
        const auto nombre = static_cast<std::size_t>(fin.lignesComparees);
        if (fichier.pubseekpos(0, std::ios::in) != 0)
            return false;
        lireDebutsLignes(fichier, nombre, vue->tests);
        vue->lignes.resize(nombre);
    }
    return true;
}

// Opens a table's file; never one of the inputs, which it would empty.
int ouvrirEcriture(const std::string& chemin, const Corrige& corrige)
{
    const int descripteur = open(chemin.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (descripteur < 0) {
        signalerErreur(chemin, decrireErreur(errno));
        return -1;
    }
    struct stat infos {};
    const bool identifie = fstat(descripteur, &infos) == 0;
    const auto memeQue = [&infos](const struct stat& autre) {
        return infos.st_dev == autre.st_dev && infos.st_ino == autre.st_ino;
    };
    if (!identifie || memeQue(corrige.infosTest) || memeQue(corrige.infosAttendu)) {
        close(descripteur);
        signalerErreur(chemin, identifie ? "est le fichier de test ou le fichier attendu"
                                         : "erreur d'ouverture");
        return -1;
    }
    if (S_ISREG(infos.st_mode) && ftruncate(descripteur, 0) != 0) {
        close(descripteur);
        signalerErreur(chemin, "erreur d'ouverture");
        return -1;
    }
    return descripteur;
}

std::string accorder(std::size_t nombre, std::string_view mot)
{
    return std::to_string(nombre) + ' ' + std::string(mot) + (nombre > 1 ? "s" : "");
}

int executer(int argc, char* argv[])
{
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
    case Demande::noter:
        break;
    }

    // Both are read again for each submission: they must be files.
    Corrige corrige{options.cheminTest, options.cheminAttendu};
    std::string statut;
    const int descripteurTest = ouvrirLecture(corrige.cheminTest, true, corrige.infosTest, statut);
    if (descripteurTest < 0) {
        signalerErreur(corrige.cheminTest, statut);
        return 2;
    }
    const int descripteurAttendu = ouvrirLecture(corrige.cheminAttendu, true, corrige.infosAttendu, statut);
    if (descripteurAttendu < 0) {
        close(descripteurTest);
        signalerErreur(corrige.cheminAttendu, statut);
        return 2;
    }
    close(descripteurAttendu);
    VueClasse vue;
    // The class report shows the most-missed lines too.
    VueClasse* const vueDemandee =
        options.lignes.empty() && options.plateformes.html.empty() ? nullptr : &vue;
    Decomptes maxima;
    if (!compterMaxima(descripteurTest, vueDemandee, maxima)) {
        signalerErreur(corrige.cheminTest, "erreur de lecture");
        return 2;
    }
    std::unique_ptr<Plateformes> plateformes;
    if (demandePlateformes(options.plateformes)) {
        plateformes = std::make_unique<Plateformes>();
        plateformes->demandes = options.plateformes;
        const auto ouvrir = [&corrige](const std::string& chemin) { return ouvrirEcriture(chemin, corrige); };
        if (!preparerPlateformes(*plateformes, {nommerJeuUnique(corrige.cheminTest, maxima)}, ouvrir, erreur)) {
            if (!erreur.empty())
                std::cerr << prefixe << erreur << '\n';
            return 2;
        }
    }

    const int descripteurNotes = options.sortie.empty() ? -1 : ouvrirEcriture(options.sortie, corrige);
    if (!options.sortie.empty() && descripteurNotes < 0)
        return 2;
    std::unique_ptr<Fichier> fichierNotes;
    if (descripteurNotes >= 0)
        fichierNotes = std::make_unique<Fichier>(descripteurNotes, std::ios::out);
    std::unique_ptr<Fichier> fichierLignes;
    if (!options.lignes.empty()) {
        const int descripteurLignes = ouvrirEcriture(options.lignes, corrige);
        if (descripteurLignes < 0)
            return 2;
        struct stat infosNotes {};
        struct stat infosLignes {};
        if (descripteurNotes >= 0 && fstat(descripteurNotes, &infosNotes) == 0
            && fstat(descripteurLignes, &infosLignes) == 0 && S_ISREG(infosLignes.st_mode)
            && infosNotes.st_dev == infosLignes.st_dev && infosNotes.st_ino == infosLignes.st_ino) {
            close(descripteurLignes);
            signalerErreur(options.lignes, "est aussi le tableau des notes");
            return 2;
        }
        fichierLignes = std::make_unique<Fichier>(descripteurLignes, std::ios::out);
    }

    const Decouverte decouverte = decouvrirRemises(options.remises, options.motif);
    for (const std::string& ignore : decouverte.ignores)
        signalerErreur(ignore, "ignor\xC3\xA9, hors du motif " + rendreInoffensif(options.motif));

    if (plateformes && !compterRemises(*plateformes, decouverte.remises.size(), erreur)) {
        std::cerr << prefixe << erreur << '\n';
        fermerPlateformes(*plateformes);
        return 2;
    }
    std::vector<Note> notes(decouverte.remises.size());
    Travail travail{corrige, decouverte.remises, notes, vueDemandee, plateformes.get(), {0}, {0}, {}, {}};
    const unsigned taches = options.taches != 0 ? options.taches
                                                : std::max(1U, std::thread::hardware_concurrency());
    noterTout(travail, taches, isatty(STDERR_FILENO) == 1);

    std::ostream sortieNotes(fichierNotes ? static_cast<std::streambuf*>(fichierNotes.get())
                                          : std::cout.rdbuf());
    constexpr std::string_view bom = "\xEF\xBB\xBF";
    if (options.bom)
        sortieNotes << bom;
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
        if (options.bom)
            sortieLignes << bom;
        ecrireVue(sortieLignes, vue, options.format);
        if (!sortieLignes.flush()) {
            signalerErreur(options.lignes, "erreur d'\xC3\xA9" "criture");
            code = 1;
        }
    }

    if (plateformes) {
        const std::vector<LigneManquee> manquees =
            options.plateformes.html.empty() ? std::vector<LigneManquee>{}
                                             : extraireLignesManquees(vue, plateformes->jeux.front().nom, 20);
        if (!ecrirePlateformes(*plateformes, manquees, std::cerr))
            code = 1;
    }

    const auto notees = static_cast<std::size_t>(
        std::count_if(notes.begin(), notes.end(), [](const Note& note) { return note.notee; }));
    if (notes.empty())
        std::cerr << prefixe << "aucune remise trouv\xC3\xA9" "e\n";
    std::cerr << prefixe << accorder(notes.size(), "remise") << ", "
              << accorder(notees, "not\xC3\xA9" "e") << ", "
              << accorder(notes.size() - notees, "non not\xC3\xA9" "e") << " ; notes : "
              << (options.sortie.empty() ? std::string("sortie standard") : rendreInoffensif(options.sortie));
    if (!options.lignes.empty())
        std::cerr << " ; vue de la classe : " << rendreInoffensif(options.lignes);
    if (!options.plateformes.retours.empty())
        std::cerr << " ; retours : " << rendreInoffensif(options.plateformes.retours);
    std::cerr << '\n' << std::flush;
    if (notes.empty() || notees < notes.size())
        code = 1;
    return code;
}

} // namespace

int main(int argc, char* argv[])
{
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
