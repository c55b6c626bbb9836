// Writes the benchmark's inputs into a folder: a short-line set and a
// long-line set, each a test file, its expected results and results under
// test, the same bytes on every run.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A fixed linear congruential sequence: the inputs must not depend on the
// platform's random engines.
std::uint64_t tirer(std::uint64_t& etat, std::uint64_t borne)
{
    etat = etat * 6364136223846793005ULL + 1442695040888963407ULL;
    return (etat >> 33) % borne;
}

// The short-line set, a results file that is a copy of its expected one, and
// its first `nbExtrait` lines apart, with a results file where every line
// disagrees.
void ecrireCourtes(const std::string& dossier, long nbLignes, long nbExtrait)
{
    const char* const commandes[] = {"trace", "localiser", "presences", "frequentations",
                                     "duree_rencontres"};
    std::ofstream test(dossier + "/courtes.test", std::ios::binary);
    std::ofstream attendu(dossier + "/courtes.attendu", std::ios::binary);
    std::ofstream votre(dossier + "/courtes.votre", std::ios::binary);
    std::ofstream copie(dossier + "/courtes.copie", std::ios::binary);
    std::ofstream extraitTest(dossier + "/extrait.test", std::ios::binary);
    std::ofstream extraitAttendu(dossier + "/extrait.attendu", std::ios::binary);
    std::ofstream extraitVotre(dossier + "/extrait.votre", std::ios::binary);
    std::ofstream extraitFaux(dossier + "/extrait.faux", std::ios::binary);
    std::uint64_t etat = 42;
    std::string ligne;
    std::string ligneTest;
    std::string ligneVotre;
    for (long i = 0; i < nbLignes; ++i) {
        const std::uint64_t x = tirer(etat, 1000);
        const std::uint64_t y = tirer(etat, 1000);
        ligneTest = std::string(commandes[(i / 7) % 5]) + ' ' + std::to_string(x) + ' '
            + std::to_string(y) + '\n';
        ligne = std::to_string(tirer(etat, 100000)) + ' ' + std::to_string(tirer(etat, 100000))
            + " -> " + std::to_string(tirer(etat, 1000));
        const std::uint64_t sort = tirer(etat, 100);
        if (sort < 1) {
            ligneVotre = ligne + "9";
        } else if (sort < 21) {
            ligneVotre.clear();
            for (const char octet : ligne)
                ligneVotre += octet == ' ' ? "  " : std::string(1, octet);
        } else {
            ligneVotre = ligne;
        }
        test << ligneTest;
        attendu << ligne << '\n';
        copie << ligne << '\n';
        votre << ligneVotre << '\n';
        if (i < nbExtrait) {
            extraitTest << ligneTest;
            extraitAttendu << ligne << '\n';
            extraitVotre << ligneVotre << '\n';
            extraitFaux << ligne << "!\n";
        }
    }
}

void ecrireLongues(const std::string& dossier, std::size_t longueur)
{
    std::ofstream test(dossier + "/longues.test", std::ios::binary);
    std::ofstream attendu(dossier + "/longues.attendu", std::ios::binary);
    std::ofstream votre(dossier + "/longues.votre", std::ios::binary);
    std::uint64_t etat = 7;
    std::string ligne(longueur, ' ');
    for (int i = 0; i < 4; ++i) {
        for (char& octet : ligne)
            octet = static_cast<char>('a' + tirer(etat, 26));
        test << "trace " << ligne << '\n';
        for (std::size_t j = 0; j < ligne.size(); j += 10)
            ligne[j] = ' ';
        attendu << ligne << '\n';
        if (i == 2)
            ligne[ligne.size() / 2] = '!';
        votre << ligne << '\n';
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: generer DOSSIER\n");
        return 1;
    }
    ecrireCourtes(argv[1], 2000000, 200000);
    ecrireLongues(argv[1], 50000000);
    return 0;
}
