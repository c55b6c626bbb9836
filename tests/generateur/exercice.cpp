#include "exercice.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

namespace {

const std::array<std::string, 24> personnes = {
    "Zo\xC3\xA9", "Chlo\xC3\xA9", "\xC3\x89mile", "Ga\xC3\xABlle", "Fran\xC3\xA7ois", "Bob",
    "Alice", "L\xC3\xA9" "a", "No\xC3\xABl", "H\xC3\xA9l\xC3\xA8ne", "J\xC3\xA9r\xC3\xB4me",
    "In\xC3\xA8s", "Ma\xC3\xABlys", "Ana\xC3\xAFs", "Lo\xC3\xAF" "c", "Bruno", "Camille", "Th\xC3\xA9o",
    "Sarah", "Hugo", "C\xC3\xA9line", "Jules", "Manon", "Rapha\xC3\xABl"};
// Asked about, never seen: their answers are empty.
const std::array<std::string, 4> inconnus = {"Ursule", "K\xC3\xA9vin", "Yanis", "\xC3\x89lo\xC3\xAFse"};
const std::array<std::string, 12> salles = {
    "hall", "biblioth\xC3\xA8que", "caf\xC3\xA9t\xC3\xA9ria", "salle_A", "salle_B", "salle_C",
    "amphith\xC3\xA9\xC3\xA2tre", "gymnase", "laboratoire", "atelier", "infirmerie", "foyer"};
const std::string dehors = "dehors";

struct Monde {
    std::map<std::string, std::string> lieu; // person -> room, "dehors" when out
    std::map<std::string, std::set<std::string>> rencontres;
    std::map<std::pair<std::string, std::string>, long> minutesEnsemble;
    long minute = 8 * 60;
};

std::pair<std::string, std::string> paire(const std::string& a, const std::string& b)
{
    return a < b ? std::make_pair(a, b) : std::make_pair(b, a);
}

// The time spent together by everyone in the same room, up to `minute`.
void avancer(Monde& monde, long minute)
{
    const long duree = minute - monde.minute;
    monde.minute = minute;
    for (const auto& [a, salleA] : monde.lieu) {
        for (const auto& [b, salleB] : monde.lieu) {
            if (a < b && salleA != dehors && salleA == salleB)
                monde.minutesEnsemble[paire(a, b)] += duree;
        }
    }
}

void deplacer(Monde& monde, const std::string& qui, const std::string& ou)
{
    monde.lieu[qui] = ou;
    if (ou == dehors)
        return;
    for (const auto& [autre, salle] : monde.lieu) {
        if (autre != qui && salle == ou) {
            monde.rencontres[qui].insert(autre);
            monde.rencontres[autre].insert(qui);
        }
    }
}

std::string heure(long minute)
{
    std::string texte = std::to_string(minute / 60 % 24);
    const long reste = minute % 60;
    return (texte.size() < 2 ? "0" : "") + texte + (reste < 10 ? ":0" : ":") + std::to_string(reste);
}

std::string lister(const std::set<std::string>& noms)
{
    std::string liste;
    for (const std::string& nom : noms)
        liste += (liste.empty() ? "" : ", ") + nom;
    return liste;
}

// A known person mostly; now and then someone no one has seen.
const std::string& choisirPersonne(Hasard& hasard, std::size_t inconnuSur)
{
    if (tirerSous(hasard, inconnuSur) == 0)
        return inconnus[tirerSous(hasard, inconnus.size())];
    return personnes[tirerSous(hasard, personnes.size())];
}

void tracer(Monde& monde, Hasard& hasard, Exercice& exercice)
{
    // Most traces move a few people; one in ten is a long day, up to
    // about 1 100 bytes of test line.
    const std::size_t nombre = tirerSous(hasard, 10) == 0 ? 30 + tirerSous(hasard, 16) : 1 + tirerSous(hasard, 6);
    std::string ligne = "trace";
    for (std::size_t i = 0; i < nombre; ++i) {
        avancer(monde, monde.minute + 1 + static_cast<long>(tirerSous(hasard, 9)));
        const std::string& qui = personnes[tirerSous(hasard, personnes.size())];
        const std::string& ou = tirerSous(hasard, 3) == 0 ? dehors : salles[tirerSous(hasard, salles.size())];
        deplacer(monde, qui, ou);
        ligne += " " + heure(monde.minute) + " " + qui + " " + ou;
    }
    std::size_t presents = 0;
    for (const auto& [qui, ou] : monde.lieu)
        presents += ou != dehors ? 1 : 0;
    exercice.test.push_back(ligne);
    exercice.attendu.push_back(std::to_string(nombre) + (nombre > 1 ? " mouvements, " : " mouvement, ")
                               + std::to_string(presents) + (presents > 1 ? " personnes pr\xC3\xA9sentes" : " personne pr\xC3\xA9sente"));
}

void repondre(Monde& monde, Hasard& hasard, Exercice& exercice, std::size_t sorte)
{
    if (sorte == 0) {
        const std::string& qui = choisirPersonne(hasard, 5);
        exercice.test.push_back("localiser " + qui);
        const auto ou = monde.lieu.find(qui);
        exercice.attendu.push_back(ou == monde.lieu.end() ? "" : qui + " : " + ou->second);
    } else if (sorte == 1) {
        const std::string& salle = salles[tirerSous(hasard, salles.size())];
        std::set<std::string> presents;
        for (const auto& [qui, ou] : monde.lieu) {
            if (ou == salle)
                presents.insert(qui);
        }
        exercice.test.push_back("presences " + salle);
        exercice.attendu.push_back(presents.empty() ? "" : salle + " : " + lister(presents));
    } else if (sorte == 2) {
        const std::string& qui = choisirPersonne(hasard, 5);
        exercice.test.push_back("frequentations " + qui);
        const auto vus = monde.rencontres.find(qui);
        exercice.attendu.push_back(vus == monde.rencontres.end() ? "" : qui + " : " + lister(vus->second));
    } else {
        const std::string& a = choisirPersonne(hasard, 5);
        std::string b = personnes[tirerSous(hasard, personnes.size())];
        if (b == a)
            b = personnes[(tirerSous(hasard, personnes.size() - 1) + 1) % personnes.size()];
        exercice.test.push_back("duree_rencontres " + a + " " + b);
        if (monde.lieu.count(a) == 0 || monde.lieu.count(b) == 0) {
            exercice.attendu.push_back("");
            return;
        }
        const long minutes = monde.minutesEnsemble[paire(a, b)];
        const long centiemes = (minutes * 100 + 30) / 60;
        const std::string decimales = std::to_string(100 + centiemes % 100).substr(1);
        exercice.attendu.push_back(a + " et " + b + " : " + std::to_string(centiemes / 100) + "." + decimales + " h");
    }
}

} // namespace

std::uint64_t tirer(Hasard& hasard)
{
    // splitmix64
    std::uint64_t z = (hasard.etat += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::size_t tirerSous(Hasard& hasard, std::size_t borne)
{
    return static_cast<std::size_t>(tirer(hasard) % borne);
}

Exercice genererExercice(std::uint64_t graine, std::size_t lignes)
{
    Hasard hasard{graine};
    Monde monde;
    Exercice exercice;
    // The day starts with people coming in, so that the first questions
    // have answers.
    while (exercice.test.size() < lignes) {
        const std::size_t tirage = exercice.test.size() < 3 ? 0 : tirerSous(hasard, 100);
        if (tirage < 20)
            tracer(monde, hasard, exercice);
        else if (tirage < 50)
            repondre(monde, hasard, exercice, 0);
        else if (tirage < 70)
            repondre(monde, hasard, exercice, 1);
        else if (tirage < 85)
            repondre(monde, hasard, exercice, 2);
        else
            repondre(monde, hasard, exercice, 3);
    }
    return exercice;
}
