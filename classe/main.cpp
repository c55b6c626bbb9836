// valideur-classe: grades every submission of a class with valideur's loop,
// in parallel, into one table.

#include "classe/deroulement/deroulement.h"
#include "classe/options/options.h"
#include "classe/sorties/sorties.h"
#include "classe/tables/fusion.h"

#include "execution/moniteur.h"

#include <csignal>
#include <iostream>
#include <new>
#include <system_error>

namespace {

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
    return noterClasse(options, sortieFermee);
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
