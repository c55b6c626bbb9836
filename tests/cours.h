#ifndef VALIDEUR_TESTS_COURS_H
#define VALIDEUR_TESTS_COURS_H

// Data shaped like a real exercise: people moving between rooms, the five
// command words mixed, about one expected result in six empty (an empty
// room, an unknown person), answers that repeat ("Bob : dehors"), accented
// names, trace lines up to about 1 100 bytes. Deterministic for a seed.

#include <cstdint>
#include <string>
#include <vector>

struct Cours {
    std::vector<std::string> tests;
    std::vector<std::string> attendus;
};

inline Cours genererCours(int lignes, std::uint32_t graine = 1)
{
    static const char* const noms[] = {"Bob", "Zo\xC3\xA9", "Ana\xC3\xAFs", "L\xC3\xA9on", "Chlo\xC3\xA9",
                                       "Ma\xC3\xABl", "Ren\xC3\xA9", "Eug\xC3\xA8ne", "In\xC3\xA8s"};
    static const char* const salles[] = {"dehors", "hall", "salle 1", "salle 2", "caf\xC3\xA9t\xC3\xA9ria"};
    std::uint32_t etat = graine * 2654435761U + 12345U;
    const auto tirer = [&etat](std::uint32_t nombre) {
        etat = etat * 1664525U + 1013904223U;
        return (etat >> 8) % nombre;
    };
    Cours cours;
    for (int i = 1; i <= lignes; ++i) {
        const std::string nom = noms[tirer(9)];
        std::string test;
        std::string attendu;
        switch (tirer(5)) {
        case 0: {
            test = "trace " + nom;
            const std::uint32_t pas = tirer(6) == 0 ? 40 + tirer(25) : tirer(8);
            for (std::uint32_t k = 0; k < pas; ++k)
                attendu += std::string(k > 0 ? " -> " : "") + salles[tirer(5)] + " (" + std::to_string(tirer(1440)) + ")";
            break;
        }
        case 1:
            test = "localiser " + nom + " " + std::to_string(tirer(1440));
            attendu = nom + " : " + salles[tirer(3) == 0 ? 0 : tirer(5)];
            break;
        case 2:
            test = "presences " + std::string(salles[tirer(5)]) + " " + std::to_string(tirer(1440));
            attendu = tirer(3) == 0 ? "" : std::string(noms[tirer(9)]) + " " + noms[tirer(9)];
            break;
        case 3:
            test = "frequentations " + nom;
            attendu = tirer(4) == 0 ? "" : std::string(salles[tirer(5)]) + " " + std::to_string(tirer(9));
            break;
        default:
            test = "duree_rencontres " + nom + " " + noms[tirer(9)];
            attendu = tirer(5) == 0 ? "" : std::to_string(tirer(300)) + " minutes";
            break;
        }
        cours.tests.push_back(test);
        cours.attendus.push_back(attendu);
    }
    return cours;
}

inline std::string joindreLignes(const std::vector<std::string>& lignes)
{
    std::string texte;
    for (const std::string& ligne : lignes)
        texte += ligne + "\n";
    return texte;
}

#endif
