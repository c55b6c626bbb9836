// valideur: compares, line by line, the results of a program under test with
// the expected results of a test file. See man/valideur.1 for the contract.

#include "ouverture.h"
#include "validation/explication/presentation.h"
#include "validation/validation.h"
#include "validation/fichier.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The run's options and paths, from the command line.
struct Options {
    bool silencieux = false;
    bool modeCorrige = false;
    std::string cheminTest;
    std::string cheminSolution;
    std::string cheminVotre;
    std::vector<std::string> enTrop; // a fourth path and any after it, ignored
};

// Fills the options and the three paths from the command line. Returns false
// when the line is incomplete: fewer than three paths, or an empty third one.
bool lireArguments(int argc, const char* const argv[], Options& options)
{
    int nbPositionnels = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-q" || argument == "-quiet" || argument == "-silence")
            options.silencieux = true;
        else if (argument == "-c" || argument == "-corrige")
            options.modeCorrige = true;
        else {
            if (nbPositionnels == 0)
                options.cheminTest = argument;
            else if (nbPositionnels == 1)
                options.cheminSolution = argument;
            else if (nbPositionnels == 2)
                options.cheminVotre = argument;
            else
                options.enTrop.push_back(argument);
            ++nbPositionnels;
        }
    }
    return !options.cheminVotre.empty();
}

// Opened in the order test, expected, under test, all three before any is
// checked.
int ouvrir(const std::string& chemin)
{
    return open(chemin.c_str(), O_RDONLY | O_CLOEXEC);
}

// The identity of an open input. A directory opens like a file and then reads
// as empty; it must not pass for an empty input.
// `erreur` keeps the system's reason, 0 for a directory.
bool identifier(int descripteur, struct stat& infos, int& erreur)
{
    if (descripteur < 0)
        return false;
    if (fstat(descripteur, &infos) != 0) {
        erreur = errno;
        return false;
    }
    return !S_ISDIR(infos.st_mode);
}

// The whole run, from the command line to the exit status.
int executer(int argc, const char* const argv[])
{
    Options options;
    if (!lireArguments(argc, argv, options)) {
        std::cerr << "Valideur pour Brelvanto\n"
                     "Syntaxe : valideur text.txt solution.resultat votre.resultat\n"
                  << std::flush;
        return 1;
    }

    Presentation presentation =
        choisirPresentation(isatty(STDERR_FILENO) == 1, std::getenv("NO_COLOR"), std::getenv("TERM"));
    if (presentation.terminal)
        mesurerTerminal(STDERR_FILENO, presentation);
    presentation.cheminAttendu = options.cheminSolution;
    presentation.cheminTeste = options.cheminVotre;
    // What a student reads on a terminal says more than the exact lines.
    const bool explicite = presentation.terminal && !options.silencieux;
    for (const std::string& chemin : options.enTrop) {
        if (!explicite)
            break;
        std::cerr << "attention : chemin en trop, ignor\xC3\xA9 : ";
        ecrireChemin(std::cerr, chemin, presentation);
        std::cerr << '\n';
        // Its rows, at most: a byte escaped takes four columns.
        presentation.rangeesAvant += 1 + (40 + 4 * chemin.size()) / presentation.colonnes;
    }
    const std::string* const chemins[] = {&options.cheminTest, &options.cheminSolution,
                                          &options.cheminVotre};
    int descripteurs[3];
    int erreursOuverture[3] {};
    struct stat infos[3] {};
    for (int i = 0; i < 3; ++i) {
        descripteurs[i] = ouvrir(*chemins[i]);
        erreursOuverture[i] = descripteurs[i] < 0 ? errno : 0;
    }
    const auto fermer = [&descripteurs] {
        for (const int descripteur : descripteurs) {
            if (descripteur >= 0)
                close(descripteur);
        }
    };
    for (int i = 0; i < 3; ++i) {
        if (!identifier(descripteurs[i], infos[i], erreursOuverture[i])) {
            fermer();
            std::cerr << "Erreur ouverture ";
            ecrireChemin(std::cerr, *chemins[i], presentation);
            std::cerr << '\n';
            if (explicite)
                std::cerr << expliquerOuverture(static_cast<Role>(i), *chemins[i], erreursOuverture[i]) << '\n';
            std::cerr << std::flush;
            return 1;
        }
    }
    // A link to the expected results, or a name of one of this process's own
    // descriptors such as /proc/self/fd/4, would let the results agree with
    // themselves: the files are compared as opened, whatever their names.
    const int autre = estMemeFichier(infos[2], infos[1]) ? 1
        : estMemeFichier(infos[2], infos[0])              ? 0
                                                          : -1;
    if (autre >= 0) {
        fermer();
        std::cerr << "Erreur ouverture ";
        ecrireChemin(std::cerr, options.cheminVotre, presentation);
        std::cerr << "\n(m\xC3\xAAme fichier que ";
        ecrireChemin(std::cerr, *chemins[autre], presentation);
        std::cerr << ")\n" << std::flush;
        return 1;
    }

    // From here the buffers own the descriptors.
    Fichier fichierTest(descripteurs[0], std::ios::in);
    Fichier fichierSolution(descripteurs[1], std::ios::in);
    Fichier fichierVotre(descripteurs[2], std::ios::in);
    std::istream test(&fichierTest);
    std::istream solution(&fichierSolution);
    std::istream votre(&fichierVotre);
    std::istream* const flux[] = {&test, &solution, &votre};

    Cadre cadre;
    cadre.presentation = presentation;
    validerFichiers(test, solution, votre, options.silencieux, options.modeCorrige, cadre);

    int statut = 0;
    for (int i = 0; i < 3; ++i) {
        if (flux[i]->bad()) {
            std::cerr << "Erreur lecture ";
            ecrireChemin(std::cerr, *chemins[i], presentation);
            std::cerr << '\n';
            statut = 1;
            break;
        }
    }
    if (!std::cout) {
        std::cerr << "Erreur \xC3\xA9" "criture\n";
        statut = 1;
    }
    std::cerr.flush();
    // A report that could not be written is lost to its reader: the run
    // is not a success, though its summary stands.
    if (!std::cerr)
        statut = 1;
    return statut;
}

} // namespace

int main(int argc, char* argv[])
{
    // Reports go out one flush each rather than one write per piece, and
    // standard output need not be flushed before each: nothing reaches it
    // before the summary.
    std::ios::sync_with_stdio(false);
    std::cerr.unsetf(std::ios::unitbuf);
    std::cerr.tie(nullptr);
    // A reader that goes away (standard error piped into head) must not end
    // the run before its summary: the write then fails like any other lost
    // output and the status says so.
    std::signal(SIGPIPE, SIG_IGN);

    // Memory can run out wherever a line is held; the summary line is only
    // written at the very end, so nothing reaches standard output then.
    try {
        return executer(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "Erreur m\xC3\xA9moire\n" << std::flush;
        return 1;
    }
}
