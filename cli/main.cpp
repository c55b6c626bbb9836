// valideur: compares, line by line, the results of a program under test with
// the expected results of a test file. See the README for the contract.

#include "validation.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <string>
#include <system_error>

#include <unistd.h>

namespace {

// Fills the options and the three paths from the command line. Returns false
// when the line is incomplete: fewer than three paths, or an empty third one.
bool lireArguments(int argc, const char* const argv[], bool& silencieux, bool& modeCorrige,
                   std::string& cheminTest, std::string& cheminSolution,
                   std::string& cheminVotre)
{
    int nbPositionnels = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-q" || argument == "-quiet" || argument == "-silence")
            silencieux = true;
        else if (argument == "-c" || argument == "-corrige")
            modeCorrige = true;
        else {
            // A fourth path and any after it are ignored.
            if (nbPositionnels == 0)
                cheminTest = argument;
            else if (nbPositionnels == 1)
                cheminSolution = argument;
            else if (nbPositionnels == 2)
                cheminVotre = argument;
            ++nbPositionnels;
        }
    }
    return !cheminVotre.empty();
}

// A directory opens like a file and then reads as empty; it must not pass
// for an empty input.
bool estOuvert(const std::ifstream& flux, const std::string& chemin)
{
    std::error_code erreur;
    return flux.is_open() && !flux.fail()
        && !std::filesystem::is_directory(chemin, erreur);
}

// The whole run, from the command line to the exit status.
int executer(int argc, const char* const argv[])
{
    bool silencieux = false;
    bool modeCorrige = false;
    std::string cheminTest;
    std::string cheminSolution;
    std::string cheminVotre;
    if (!lireArguments(argc, argv, silencieux, modeCorrige, cheminTest,
                       cheminSolution, cheminVotre)) {
        std::cerr << "Valideur pour Brelvanto\n"
                     "Syntaxe : valideur text.txt solution.resultat votre.resultat\n"
                  << std::flush;
        return 1;
    }

    const Presentation presentation =
        choisirPresentation(isatty(STDERR_FILENO) == 1, std::getenv("NO_COLOR"), std::getenv("TERM"));
    const auto mode = std::ios::in | std::ios::binary;
    std::ifstream test(cheminTest, mode);
    std::ifstream solution(cheminSolution, mode);
    std::ifstream votre(cheminVotre, mode);
    // Every check below goes through the files in this order.
    const std::pair<const std::ifstream*, const std::string*> fichiers[] = {
        {&test, &cheminTest}, {&solution, &cheminSolution}, {&votre, &cheminVotre}};
    for (const auto& [flux, chemin] : fichiers) {
        if (!estOuvert(*flux, *chemin)) {
            std::cerr << "Erreur ouverture ";
            ecrireChemin(std::cerr, *chemin, presentation);
            std::cerr << '\n' << std::flush;
            return 1;
        }
    }

    validerFichiers(test, solution, votre, silencieux, modeCorrige, presentation, std::cout,
                    std::cerr);

    int statut = 0;
    for (const auto& [flux, chemin] : fichiers) {
        if (flux->bad()) {
            std::cerr << "Erreur lecture ";
            ecrireChemin(std::cerr, *chemin, presentation);
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
    return statut;
}

} // namespace

int main(int argc, char* argv[])
{
    // Reports go out one flush each rather than one write per piece.
    std::ios::sync_with_stdio(false);
    std::cerr.unsetf(std::ios::unitbuf);

    // Memory can run out wherever a line is held; the summary line is only
    // written at the very end, so nothing reaches standard output then.
    try {
        return executer(argc, argv);
    } catch (const std::bad_alloc&) {
        std::cerr << "Erreur m\xC3\xA9moire\n" << std::flush;
        return 1;
    }
}
