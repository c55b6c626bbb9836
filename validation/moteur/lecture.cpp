#include "lecture.h"

#include <ext/stdio_filebuf.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>

#include <unistd.h>

namespace {

// Small inputs start with a small buffer.
constexpr std::size_t tailleBlocInitiale = std::size_t{4} * 1024;

// The first newline in [octet, fin), or nullptr.
const char* chercherSaut(const char* octet, const char* fin)
{
    if (octet == fin)
        return nullptr;
    return static_cast<const char*>(std::memchr(octet, '\n', static_cast<std::size_t>(fin - octet)));
}

// Up to `libre` bytes of the input at `place`: 0 at its end or on an error,
// which are left in the stream's state as its own reads leave them.
std::size_t lire(Entree& entree, char* place, std::size_t libre)
{
    std::istream& flux = *entree.flux;
    if (entree.descripteur >= 0) {
        for (;;) {
            const ssize_t lus = read(entree.descripteur, place, libre);
            if (lus > 0)
                return static_cast<std::size_t>(lus);
            if (lus < 0 && errno == EINTR)
                continue;
            flux.setstate(lus == 0 ? std::ios::eofbit : std::ios::badbit);
            return 0;
        }
    }
    const auto voulu = static_cast<std::streamsize>(libre);
    std::streamsize lus = flux.readsome(place, voulu);
    if (lus == 0 && flux.good() && flux.peek() != std::istream::traits_type::eof())
        lus = flux.readsome(place, voulu);
    return static_cast<std::size_t>(lus);
}

} // namespace

std::size_t remplirTampon(Entree& entree)
{
    if (entree.debut != 0) {
        entree.fin -= entree.debut;
        std::memmove(entree.octets.get(), entree.octets.get() + entree.debut, entree.fin);
        entree.debut = 0;
    }
    // Room for one more block after the unread bytes. A long line doubles
    // the capacity; realloc moves large blocks by remapping their pages, and
    // only the pages that reads fill are ever touched, so memory stays near
    // the longest line. While the unread bytes are few, a new buffer is
    // cheaper: only they are copied, not the whole old buffer.
    const std::size_t initiale = std::min(tailleBlocInitiale, entree.tailleBloc);
    const std::size_t voulu = std::clamp(2 * entree.capacite, initiale, entree.tailleBloc);
    if (entree.capacite - entree.fin < voulu) {
        const std::size_t nouvelle = std::max(entree.fin + voulu, 2 * entree.capacite);
        char* agrandi = nullptr;
        if (entree.fin <= tailleBlocInitiale) {
            agrandi = static_cast<char*>(std::malloc(nouvelle + margeLecture));
            if (agrandi != nullptr && entree.fin != 0)
                std::memcpy(agrandi, entree.octets.get(), entree.fin);
        } else {
            agrandi = static_cast<char*>(std::realloc(entree.octets.get(), nouvelle + margeLecture));
            if (agrandi != nullptr)
                static_cast<void>(entree.octets.release());
        }
        if (agrandi == nullptr)
            throw std::bad_alloc();
        entree.octets.reset(agrandi);
        entree.capacite = nouvelle;
    }
    // One block at a time, even into a large buffer: the unread bytes are
    // moved to the front when the next line starts, so they must stay few.
    const std::size_t lus = lire(entree, entree.octets.get() + entree.fin,
                                 std::min(entree.capacite - entree.fin, entree.tailleBloc));
    entree.fin += lus;
    std::memset(entree.octets.get() + entree.fin, 0, margeLecture);
    return lus;
}

namespace {

// Copies the word [debut, fin) into `copie`, followed by zeros as a buffer's
// margin would be.
std::string_view garderMot(std::string& copie, const char* debut, const char* fin)
{
    const auto n = static_cast<std::size_t>(fin - debut);
    copie.assign(debut, n);
    copie.append(margeLecture, '\0');
    return std::string_view(copie).substr(0, n);
}

} // namespace

void libererOctets(char* octets)
{
    std::free(octets);
}

Entree ouvrirEntree(std::istream& flux, std::size_t tailleBloc)
{
    Entree entree;
    entree.flux = &flux;
    entree.tailleBloc = std::max(tailleBloc, std::size_t{1});
    // Nothing has been read through the stream's own buffer yet.
    if (auto* fichier = dynamic_cast<__gnu_cxx::stdio_filebuf<char>*>(flux.rdbuf()))
        entree.descripteur = fichier->fd();
    entree.octets.reset(static_cast<char*>(std::calloc(1, margeLecture)));
    if (!entree.octets)
        throw std::bad_alloc();
    return entree;
}

bool lireLigneLente(Entree& entree, std::string_view& ligne)
{
    if (entree.epuisee)
        return false;
    std::size_t dejaVu = 0;
    for (;;) {
        const char* const octets = entree.octets.get();
        const char* const saut = chercherSaut(octets + entree.debut + dejaVu, octets + entree.fin);
        if (saut != nullptr) {
            const auto finLigne = static_cast<std::size_t>(saut - octets);
            ligne = std::string_view(octets + entree.debut, finLigne - entree.debut);
            entree.debut = finLigne + 1;
            return true;
        }
        dejaVu = entree.fin - entree.debut;
        if (remplirTampon(entree) == 0) {
            // End of input or read error: what is left is the last line.
            ligne = std::string_view(entree.octets.get() + entree.debut, entree.fin - entree.debut);
            entree.debut = entree.fin;
            entree.epuisee = true;
            return true;
        }
    }
}

bool prendreLigneAttendue(Entree& entree, std::string_view attendue, std::string_view& ligne)
{
    // A long line is compared block by block as it is read, while its bytes
    // are fresh in the cache, rather than read whole and compared again.
    const std::size_t n = attendue.size();
    std::size_t compares = 0;
    for (;;) {
        const std::size_t disponibles = std::min(entree.fin - entree.debut, n + 1);
        const char* const octets = entree.octets.get() + entree.debut;
        if (disponibles > compares) {
            const std::size_t jusqua = std::min(disponibles, n);
            if (jusqua > compares
                && std::memcmp(octets + compares, attendue.data() + compares, jusqua - compares) != 0)
                return false;
            if (disponibles == n + 1) {
                if (octets[n] != '\n')
                    return false;
                ligne = std::string_view(octets, n);
                entree.debut += n + 1;
                return true;
            }
            compares = disponibles;
        }
        // What is read stays for the next read when the lines differ.
        if (entree.epuisee || remplirTampon(entree) == 0)
            return false;
    }
}

Paire lirePaireLente(Entree& premiere, Entree& seconde, std::string_view presetSeconde)
{
    Paire paire;
    paire.seconde = presetSeconde;
    lireLigne(premiere, paire.premiere);
    paire.memesOctets = prendreLigneAttendue(seconde, paire.premiere, paire.seconde);
    paire.secondeEpuisee = !paire.memesOctets
        && (!lireLigne(seconde, paire.seconde) || (paire.seconde.empty() && seconde.epuisee));
    return paire;
}

void sauterLigne(Entree& entree)
{
    for (;;) {
        const char* const octets = entree.octets.get();
        const char* const saut = chercherSaut(octets + entree.debut, octets + entree.fin);
        if (saut != nullptr) {
            entree.debut = static_cast<std::size_t>(saut - octets) + 1;
            return;
        }
        entree.debut = entree.fin;
        if (remplirTampon(entree) == 0) {
            entree.epuisee = true;
            return;
        }
    }
}

std::string_view lireLigneCommandeLente(Entree& entree, std::string& copie)
{
    if (entree.debut != entree.fin) {
        const char* const octets = entree.octets.get();
        const char* const saut = chercherSaut(octets + entree.debut, octets + entree.fin);
        if (saut != nullptr) {
            const auto finLigne = static_cast<std::size_t>(saut - octets);
            const std::string_view ligne(octets + entree.debut, finLigne - entree.debut);
            entree.debut = finLigne + 1;
            return ligne;
        }
    } else if (entree.epuisee) {
        return {};
    }
    // A line longer than what is buffered: only its word is kept. Leading
    // whitespace is dropped as it comes, the word grows the buffer if it
    // must, and what follows it is skipped.
    std::size_t dejaVu = 0;
    for (;;) {
        const char* const octets = entree.octets.get();
        const char* octet = octets + entree.debut + dejaVu;
        const char* const fin = octets + entree.fin;
        if (dejaVu == 0) {
            while (octet != fin && estEspaceCommande(*octet) && *octet != '\n')
                ++octet;
            entree.debut = static_cast<std::size_t>(octet - octets);
        }
        while (octet != fin && !estEspaceCommande(*octet))
            ++octet;
        if (octet != fin) {
            const char* const mot = octets + entree.debut;
            const std::string_view commande = garderMot(copie, mot, octet);
            entree.debut = static_cast<std::size_t>(octet - octets);
            sauterLigne(entree);
            return commande;
        }
        dejaVu = entree.fin - entree.debut;
        if (remplirTampon(entree) == 0) {
            // The input ended within the word.
            const char* const mot = entree.octets.get() + entree.debut;
            entree.debut = entree.fin;
            entree.epuisee = true;
            return garderMot(copie, mot, entree.octets.get() + entree.fin);
        }
    }
}

Apercu apercevoir(Entree& entree, std::size_t plafond)
{
    Apercu apercu;
    const char* const octets = entree.octets.get();
    const auto compterSauts = [](const char* debut, std::size_t taille) {
        return static_cast<std::uint64_t>(std::count(debut, debut + taille, '\n'));
    };
    const std::size_t enTampon = entree.fin - entree.debut;
    apercu.octets = enTampon;
    apercu.lignes = compterSauts(octets + entree.debut, std::min(enTampon, plafond));
    std::size_t vus = std::min(enTampon, plafond);
    char dernier = enTampon > 0 ? octets[entree.debut + vus - 1] : '\n';
    // in_avail() asks the system how much is there, and never waits; a
    // stream that hands its bytes over in blocks tells one block at a time.
    while (!entree.epuisee) {
        const std::streamsize prets = entree.flux->rdbuf()->in_avail();
        if (prets <= 0)
            break;
        apercu.octets += static_cast<std::uint64_t>(prets);
        const std::size_t voulus = std::min(static_cast<std::size_t>(prets), plafond - std::min(plafond, vus));
        std::size_t aLire = voulus;
        char morceau[4096];
        while (aLire > 0) {
            const std::streamsize lus = entree.flux->rdbuf()->sgetn(
                morceau, static_cast<std::streamsize>(std::min(aLire, sizeof morceau)));
            if (lus <= 0)
                break;
            const auto n = static_cast<std::size_t>(lus);
            apercu.lignes += compterSauts(morceau, n);
            dernier = morceau[n - 1];
            vus += n;
            aLire -= n;
        }
        if (aLire > 0 || voulus < static_cast<std::size_t>(prets))
            break;
    }
    apercu.complet = vus == apercu.octets;
    // A last line without a newline is a line too.
    if (apercu.complet && apercu.octets > 0 && dernier != '\n')
        ++apercu.lignes;
    return apercu;
}
