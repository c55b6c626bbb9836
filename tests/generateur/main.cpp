// generateur: the realistic data of the acceptance tests, and the tools
// that judge what valideur shows.
//   generateur classe DOSSIER [LIGNES [GRAINE]]   an exercise and its mistakes
//   generateur modele TEST ATTENDU TESTE          the exact reports and summary
//   generateur ecran COLONNES RANGEES FICHIER     rows taken, then the last screen

#include "erreurs.h"
#include "exercice.h"
#include "outils.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "classe" && argc >= 3) {
            const std::size_t lignes = argc > 3 ? std::stoul(argv[3]) : 1200;
            const std::uint64_t graine = argc > 4 ? std::stoull(argv[4]) : 2026;
            return ecrireClasse(genererExercice(graine, lignes), argv[2]) ? 0 : 1;
        }
        if (mode == "modele" && argc == 5) {
            std::ifstream test(argv[2], std::ios::binary);
            std::ifstream solution(argv[3], std::ios::binary);
            std::ifstream votre(argv[4], std::ios::binary);
            if (!test || !solution || !votre)
                return 1;
            modeliser(test, solution, votre, std::cout, std::cerr);
            return 0;
        }
        if (mode == "ecran" && argc == 5) {
            std::ifstream fichier(argv[4], std::ios::binary);
            std::stringstream texte;
            texte << fichier.rdbuf();
            const std::size_t rangees = std::stoul(argv[3]);
            const Ecran ecran = mesurerEcran(texte.str(), std::stoul(argv[2]), rangees > 0 ? rangees - 1 : 0);
            std::cout << ecran.rangees << "\n" << ecran.dernieres;
            return 0;
        }
    } catch (const std::exception& erreur) {
        std::cerr << "generateur : " << erreur.what() << "\n";
        return 1;
    }
    std::cerr << "usage : generateur classe DOSSIER [LIGNES [GRAINE]] | modele TEST ATTENDU TESTE"
                 " | ecran COLONNES RANGEES FICHIER\n";
    return 2;
}
