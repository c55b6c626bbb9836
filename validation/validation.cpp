#include "validation.h"

#include "bilan.h"
#include "comparaison.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Bytes asked of an input at a time, once it has shown it is not tiny. Large
// enough that reading costs a few system calls per megabyte, small enough
// that three buffers stay in cache. Small inputs start with a small buffer.
constexpr std::size_t tailleBloc = std::size_t{256} * 1024;
constexpr std::size_t tailleBlocInitiale = std::size_t{4} * 1024;

// Space, or one of \t \n \v \f \r, which are the consecutive codes 9 to 13.
bool estEspaceCommande(char octet)
{
    return octet == ' ' || (octet >= '\t' && octet <= '\r');
}

// The first newline in [octet, fin), or nullptr.
const char* chercherSaut(const char* octet, const char* fin)
{
#if defined(__SSE2__)
    // Most lines are shorter than 32 bytes, and a call to memchr costs more
    // than looking at them here: two 16-byte compares give a mask of the
    // newlines, with no branch that depends on the line's length.
    if (fin - octet >= 32) {
        const __m128i sauts = _mm_set1_epi8('\n');
        const auto bas = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(octet)), sauts)));
        const auto haut = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(octet + 16)), sauts)));
        const unsigned masque = bas | (haut << 16);
        if (masque != 0)
            return octet + __builtin_ctz(masque);
        octet += 32;
    }
#endif
    if (octet == fin)
        return nullptr;
    return static_cast<const char*>(std::memchr(octet, '\n', static_cast<std::size_t>(fin - octet)));
}

// Moves the unfinished line to the front of `tampon` and appends what the
// input has after it. From a pipe this takes what is there rather than
// waiting for a full block, so reports keep pace with a program that writes
// slowly. Returns the number of bytes added: 0 at the end of the input or on
// a read error.
std::size_t remplir(std::istream& flux, Octets& tampon, std::size_t& capacite,
                    std::size_t& debut, std::size_t& fin)
{
    if (debut != 0) {
        fin -= debut;
        std::memmove(tampon.get(), tampon.get() + debut, fin);
        debut = 0;
    }
    // Room for one more block after the unfinished line. A long line doubles
    // the capacity; realloc moves large blocks by remapping their pages, and
    // only the pages that reads fill are ever touched, so memory stays near
    // the longest line.
    const std::size_t voulu = std::clamp(2 * capacite, tailleBlocInitiale, tailleBloc);
    if (capacite - fin < voulu) {
        const std::size_t nouvelle = std::max(fin + voulu, 2 * capacite);
        auto* const agrandi = static_cast<char*>(std::realloc(tampon.get(), nouvelle));
        if (agrandi == nullptr)
            throw std::bad_alloc();
        static_cast<void>(tampon.release());
        tampon.reset(agrandi);
        capacite = nouvelle;
    }
    // One block at a time, even into a large buffer: what follows the line
    // is moved to the front when the next line starts, so it must stay small.
    char* const place = tampon.get() + fin;
    const auto libre = static_cast<std::streamsize>(std::min(capacite - fin, tailleBloc));
    std::streamsize lus = flux.readsome(place, libre);
    if (lus == 0 && flux.good() && flux.peek() != std::istream::traits_type::eof())
        lus = flux.readsome(place, libre);
    fin += static_cast<std::size_t>(lus);
    return static_cast<std::size_t>(lus);
}

// Most actual lines are exactly the expected line. When the next bytes of an
// input are that line and a newline, they are the next line and agree with
// it: take them without searching for the newline or comparing again.
bool lireLigneAttendue(const Octets& tampon, std::size_t& debut, std::size_t fin,
                       std::string_view attendue, std::string_view& ligne)
{
    const std::size_t n = attendue.size();
    const char* const octets = tampon.get() + debut;
    if (fin - debut <= n || octets[n] != '\n'
        || !ontMemesOctets(std::string_view(octets, n), attendue))
        return false;
    ligne = std::string_view(octets, n);
    debut += n + 1;
    return true;
}

// True when `ligne` begins with the command word `mot` followed by whitespace
// or the end of the line: `mot` is then the line's command word too.
bool commencePar(std::string_view ligne, std::string_view mot)
{
    return ligne.size() >= mot.size() && ontMemesOctets(ligne.substr(0, mot.size()), mot)
        && (ligne.size() == mot.size() || estEspaceCommande(ligne[mot.size()]));
}

Decompte::iterator trouverOuCreer(Decompte& decompte, std::string_view commande)
{
    const auto entree = decompte.find(commande);
    if (entree != decompte.end())
        return entree;
    return decompte.emplace(std::string(commande), 0).first;
}

// Recently met command words, most recent first: for each, its entry in
// nbTests and its entry in nbReussites (end() until one of its lines agrees).
using Recents = std::array<std::pair<Decompte::iterator, Decompte::iterator>, 8>;

// Finds the command word of `ligneTest` and brings its entries to the front
// of `recents`; returns the word, empty when the line has none. Test files
// cycle through a handful of words, and most lines start with the word of
// the line before: those are recognised without scanning the line for its
// word or searching the maps.
std::string_view reconnaitreCommande(std::string_view ligneTest, Decompte& nbTests,
                                     Decompte& nbReussites, Recents& recents,
                                     std::size_t& nbRecents)
{
    std::size_t trouve = 0;
    while (trouve < nbRecents && !commencePar(ligneTest, recents[trouve].first->first))
        ++trouve;
    if (trouve == nbRecents) {
        // Leading whitespace, or a word not met lately: scan the line.
        const std::string_view commande = extraireCommande(ligneTest);
        if (commande.empty())
            return commande;
        trouve = 0;
        while (trouve < nbRecents && !ontMemesOctets(recents[trouve].first->first, commande))
            ++trouve;
        if (trouve == nbRecents) {
            // It takes the place of the oldest recent word.
            if (nbRecents < recents.size())
                ++nbRecents;
            trouve = nbRecents - 1;
            recents[trouve] = {trouverOuCreer(nbTests, commande), nbReussites.find(commande)};
        }
    }
    std::rotate(recents.begin(), recents.begin() + static_cast<std::ptrdiff_t>(trouve),
                recents.begin() + static_cast<std::ptrdiff_t>(trouve) + 1);
    return recents[0].first->first;
}

} // namespace

std::string_view extraireCommande(std::string_view ligneTest)
{
    const char* octet = ligneTest.data();
    const char* const finLigne = octet + ligneTest.size();
    while (octet != finLigne && estEspaceCommande(*octet))
        ++octet;
    const char* const debut = octet;
    while (octet != finLigne && !estEspaceCommande(*octet))
        ++octet;
    return {debut, static_cast<std::size_t>(octet - debut)};
}

void libererOctets(char* octets)
{
    std::free(octets);
}

bool lireLigne(std::istream& flux, Octets& tampon, std::size_t& capacite,
               std::size_t& debut, std::size_t& fin, std::string_view& ligne)
{
    // Bytes still buffered mean the input has not been seen to end, whatever
    // the stream's own state after reading ahead.
    if (debut == fin && !flux.good())
        return false;
    std::size_t dejaVu = debut;
    for (;;) {
        const char* const octets = tampon.get();
        const char* const saut = chercherSaut(octets + dejaVu, octets + fin);
        if (saut != nullptr) {
            const auto finLigne = static_cast<std::size_t>(saut - octets);
            ligne = std::string_view(octets + debut, finLigne - debut);
            debut = finLigne + 1;
            return true;
        }
        const std::size_t enCours = fin - debut;
        if (remplir(flux, tampon, capacite, debut, fin) == 0) {
            // End of input or read error: what is left is the last line.
            ligne = std::string_view(tampon.get() + debut, fin - debut);
            debut = fin;
            return true;
        }
        dejaVu = enCours;
    }
}

void validerFichiers(std::istream& test, std::istream& solution,
                     std::istream& votre, bool silencieux, bool modeCorrige,
                     const Presentation& presentation, std::ostream& sortie,
                     std::ostream& erreurs)
{
    Octets tamponTest(nullptr, libererOctets);
    Octets tamponSolution(nullptr, libererOctets);
    Octets tamponVotre(nullptr, libererOctets);
    // Each input's buffer holds `capacite` bytes, the unread ones in [debut, fin).
    std::size_t capaciteTest = 0;
    std::size_t capaciteSolution = 0;
    std::size_t capaciteVotre = 0;
    std::size_t debutTest = 0;
    std::size_t debutSolution = 0;
    std::size_t debutVotre = 0;
    std::size_t finTest = 0;
    std::size_t finSolution = 0;
    std::size_t finVotre = 0;
    Decompte nbReussites;
    Decompte nbTests;
    Recents recents;
    std::size_t nbRecents = 0;
    std::int64_t numeroLigne = 0;

    for (;;) {
        // An input that has run out leaves its preset in place.
        std::string_view ligneTest;
        std::string_view ligneSolution;
        std::string_view ligneVotre = "(X)";
        ++numeroLigne;
        lireLigne(test, tamponTest, capaciteTest, debutTest, finTest, ligneTest);
        lireLigne(solution, tamponSolution, capaciteSolution, debutSolution, finSolution, ligneSolution);
        const bool memeLigne =
            lireLigneAttendue(tamponVotre, debutVotre, finVotre, ligneSolution, ligneVotre);
        // No line, or the empty one after the last newline: the results have run out.
        const bool votreEpuise =
            !memeLigne
            && (!lireLigne(votre, tamponVotre, capaciteVotre, debutVotre, finVotre, ligneVotre)
                || (ligneVotre.empty() && debutVotre == finVotre && !votre.good()));

        const std::string_view commande =
            reconnaitreCommande(ligneTest, nbTests, nbReussites, recents, nbRecents);
        if (commande.empty())
            break;
        if (memeLigne || estIdentique(ligneSolution, ligneVotre)) {
            Decompte::iterator& entreeReussite = recents[0].second;
            if (entreeReussite == nbReussites.end())
                entreeReussite = trouverOuCreer(nbReussites, commande);
            ++entreeReussite->second;
        } else if (!silencieux) {
            ecrireRapport(erreurs, {numeroLigne, commande, ligneSolution, ligneVotre, votreEpuise},
                          presentation);
        }
        ++recents[0].first->second;
        if (test.fail())
            break;
    }
    ecrireBilan(nbReussites, nbTests, modeCorrige, sortie);
}
