// The block-wise loop with AVX-512 masks, one compare per 64 bytes. After
// a round whose bytes differ, the expected and actual inputs are compared
// with their blanks taken out by vpcompressb, so that lines differing by
// blanks alone cost no more than equal ones.
#include "blocs.h"

#include "commande.h"
#include "validation/comparaison.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#if defined(VALIDEUR_SSSE3)
#include <immintrin.h>

namespace {

#define VALIDEUR_CIBLE __attribute__((target("avx512f,avx512bw,avx512vbmi2,avx2,popcnt,bmi,bmi2,ssse3")))
#define VALIDEUR_FENETRES_SERREES 1

VALIDEUR_CIBLE inline __m512i charger64(const char* octets)
{
    return _mm512_loadu_si512(octets);
}

VALIDEUR_CIBLE inline std::uint64_t masquerSauts(const char* octets)
{
    return _mm512_cmpeq_epi8_mask(charger64(octets), _mm512_set1_epi8('\n'));
}

VALIDEUR_CIBLE inline std::uint64_t masquerEcarts(const char* a, const char* b)
{
    return _mm512_cmpneq_epi8_mask(charger64(a), charger64(b));
}

VALIDEUR_CIBLE inline bool concorder32(const char* a, const char* b, const char* masque)
{
    return _mm256_testz_si256(_mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a)),
                                               _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b))),
                              _mm256_loadu_si256(reinterpret_cast<const __m256i*>(masque)))
        != 0;
}

// The bytes among the 64 that are not blanks.
VALIDEUR_CIBLE inline std::uint64_t masquerNonBlancs(__m512i octets)
{
    return ~(_mm512_cmpeq_epi8_mask(octets, _mm512_set1_epi8(' '))
             | _mm512_cmpeq_epi8_mask(octets, _mm512_set1_epi8('\t')));
}

// The bytes of a text of at most 64 bytes but its blanks, first, zeros after.
VALIDEUR_CIBLE inline __m512i serrer(std::string_view texte, std::uint64_t& gardes)
{
    const std::uint64_t presents = _bzhi_u64(~std::uint64_t{0}, static_cast<unsigned>(texte.size()));
    const __m512i octets = _mm512_maskz_loadu_epi8(presents, texte.data());
    gardes = presents & masquerNonBlancs(octets);
    return _mm512_maskz_compress_epi8(gardes, octets);
}

VALIDEUR_CIBLE inline bool comparerRestes(std::string_view attendue, std::string_view obtenue)
{
    if (attendue.size() > 64 || obtenue.size() > 64)
        return estIdentiqueSsse3(attendue, obtenue);
    std::uint64_t gardesA;
    std::uint64_t gardesB;
    const __m512i a = serrer(attendue, gardesA);
    const __m512i b = serrer(obtenue, gardesB);
    return __builtin_popcountll(gardesA) == __builtin_popcountll(gardesB)
        && _mm512_cmpneq_epi8_mask(a, b) == 0;
}

#include "boucle_blocs.inc"

// The bytes of the 64 at `octets` that are before `fin`.
VALIDEUR_CIBLE inline std::uint64_t masquerPresents(const char* octets, const char* fin)
{
    const auto reste = static_cast<std::size_t>(fin - octets);
    return _bzhi_u64(~std::uint64_t{0}, static_cast<unsigned>(std::min<std::size_t>(reste, 64)));
}

// One input without its blanks: its bytes are compacted 64 at a time, from
// `brut` on, into `serres`, where [lu, ecrit) are not compared yet. The
// compare goes 64 compacted bytes a step whatever the blanks, and the next
// raw bytes' place never waits on a compare. `repere` is where line
// `ligneRepere` of the walk begins, for the lines a report or the line-by-
// line loop needs back, counted as the walk's line numbers are: the line
// after line n.
struct Flux {
    const char* brut;
    const char* fin;
    const char* repere;
    std::int64_t ligneRepere;
    unsigned lu;
    unsigned ecrit;
    char* serres;
};

// Room for what remplirFlux keeps, and for its last 64-byte store.
constexpr std::size_t tailleSerres = 512;

VALIDEUR_CIBLE inline void ouvrirFlux(Flux& flux, const char* debut, const char* fin, std::int64_t ligne)
{
    flux.brut = debut;
    flux.fin = fin;
    flux.repere = debut;
    flux.ligneRepere = ligne;
    flux.lu = 0;
    flux.ecrit = 0;
}

// Compacts raw bytes until 128 are ready, or the buffer has no more; true
// when at least 64 are ready. The compare reads bytes compacted a step
// earlier, whose stores are done, rather than waiting on the last ones.
// Ready bytes are fewer than 128 before each block, so `serres` holds them
// and the block's 64 after them.
VALIDEUR_CIBLE inline bool remplirFlux(Flux& flux)
{
    while (flux.ecrit - flux.lu < 128) {
        if (flux.brut >= flux.fin)
            return flux.ecrit - flux.lu >= 64;
        if (flux.lu >= 128) {
            const char* const prets = flux.serres + flux.lu;
            _mm512_store_si512(flux.serres, _mm512_loadu_si512(prets));
            _mm512_store_si512(flux.serres + 64, _mm512_loadu_si512(prets + 64));
            flux.ecrit -= flux.lu;
            flux.lu = 0;
        }
        const __m512i brut = charger64(flux.brut);
        const std::uint64_t gardes = masquerPresents(flux.brut, flux.fin) & masquerNonBlancs(brut);
        _mm512_storeu_si512(flux.serres + flux.ecrit, _mm512_maskz_compress_epi8(gardes, brut));
        flux.ecrit += static_cast<unsigned>(__builtin_popcountll(gardes));
        flux.brut += 64;
    }
    return true;
}

// Skips the compacted bytes up to and including the next newline; false
// when the buffer ends first.
VALIDEUR_CIBLE inline bool sauterLigneFlux(Flux& flux)
{
    for (;;) {
        remplirFlux(flux);
        const unsigned prets = flux.ecrit - flux.lu;
        const std::uint64_t sauts =
            _mm512_mask_cmpeq_epi8_mask(_bzhi_u64(~std::uint64_t{0}, std::min(prets, 64U)),
                                        charger64(flux.serres + flux.lu), _mm512_set1_epi8('\n'));
        if (sauts != 0) {
            flux.lu += static_cast<unsigned>(__builtin_ctzll(sauts)) + 1;
            return true;
        }
        if (prets <= 64 && flux.brut >= flux.fin)
            return false;
        flux.lu += std::min(prets, 64U);
    }
}

// Where line `ligne` of the walk begins in the buffer. The lines before it
// are whole in the buffer: their newlines are counted from the last place
// found.
VALIDEUR_CIBLE inline const char* situerLigne(Flux& flux, std::int64_t ligne)
{
    flux.repere = passerSauts(flux.repere, static_cast<std::uint64_t>(ligne - flux.ligneRepere));
    flux.ligneRepere = ligne;
    return flux.repere;
}

// A round compared 64 compacted bytes at a time: every newline of the
// expected bytes before the first difference ends a line that agrees; a
// line with a difference fails, and both inputs go on after its end.
VALIDEUR_CIBLE bool comparerTourSerre(Parcours& parcours, Curseurs& c, const Tour& tour, Flux& attendu,
                                      Flux& obtenu)
{
    unsigned k = 0;
    while (k < tour.n) {
        if (!remplirFlux(attendu) || !remplirFlux(obtenu))
            break;
        const __m512i a = charger64(attendu.serres + attendu.lu);
        const __m512i b = charger64(obtenu.serres + obtenu.lu);
        const std::uint64_t ecarts = _mm512_cmpneq_epi8_mask(a, b);
        const std::uint64_t sauts = _mm512_cmpeq_epi8_mask(a, _mm512_set1_epi8('\n'));
        const std::uint64_t egales = sauts & ((ecarts & (~ecarts + 1)) - 1);
        const auto t = static_cast<unsigned>(__builtin_popcountll(egales));
        if (ecarts == 0 && t <= tour.n - k) {
            attendu.lu += 64;
            obtenu.lu += 64;
            k += t;
            continue;
        }
        if (t != 0) {
            const unsigned prises = std::min(t, tour.n - k);
            const auto saut = static_cast<unsigned>(
                __builtin_ctzll(_pdep_u64(std::uint64_t{1} << (prises - 1), sauts)));
            attendu.lu += saut + 1;
            obtenu.lu += saut + 1;
            k += prises;
            continue;
        }
        // Line k differs before its end in one input or the other.
        if (!sauterLigneFlux(attendu) || !sauterLigneFlux(obtenu))
            break;
        noterEchec(parcours, c, tour, k, [&] {
            const std::int64_t ligne = c.numeroLigne + k;
            const char* const debutA = situerLigne(attendu, ligne);
            const char* const debutB = situerLigne(obtenu, ligne);
            const char* const finA = trouverSaut(debutA, attendu.fin);
            const char* const finB = trouverSaut(debutB, obtenu.fin);
            return std::pair(std::string_view(debutA, static_cast<std::size_t>(finA - debutA)),
                             std::string_view(debutB, static_cast<std::size_t>(finB - debutB)));
        });
        ++k;
    }
    return finirTour(parcours, c, tour, k);
}

// Rounds whose bytes differ are compared compacted, rounds of equal bytes
// as they are: equal bytes need no compaction, and most inputs are either.
// After a round with differing bytes, this many rounds are compacted before
// the plain compare is tried again.
constexpr unsigned toursSerresApresEcart = 8;

VALIDEUR_CIBLE void parcourirRapide(Parcours& parcours)
{
    if (parcours.test.debut >= parcours.test.fin)
        return;
    Curseurs c = ouvrirCurseurs(parcours);
    alignas(64) std::array<char, tailleSerres> serresA;
    alignas(64) std::array<char, tailleSerres> serresB;
    Flux attendu{};
    Flux obtenu{};
    attendu.serres = serresA.data();
    obtenu.serres = serresB.data();
    unsigned toursSerres = 0;
    Tour tour;
    for (bool suite = true; suite;) {
        lireTourTest(parcours, c, tour);
        if (toursSerres == 0) {
            const std::int64_t ecartees = c.ecartees;
            suite = comparerTour(parcours, c, tour);
            if (c.ecartees != ecartees) {
                toursSerres = toursSerresApresEcart;
                ouvrirFlux(attendu, c.debutA, c.finA, c.numeroLigne);
                ouvrirFlux(obtenu, c.debutB, c.finB, c.numeroLigne);
            }
            continue;
        }
        suite = comparerTourSerre(parcours, c, tour, attendu, obtenu);
        if (--toursSerres == 0 || !suite) {
            c.debutA = situerLigne(attendu, c.numeroLigne);
            c.debutB = situerLigne(obtenu, c.numeroLigne);
            c.fenetre = {c.debutA, c.debutB, 0, 0};
            chargerFenetre(c.fenetre);
        }
    }
    rendreCurseurs(parcours, c);
}

} // namespace

__attribute__((target("avx512f,avx512bw,avx512vbmi2,avx2,popcnt,bmi,bmi2,ssse3"))) void
parcourirBlocsAvx512(Parcours& parcours)
{
    parcourir(parcours);
}
#else
void parcourirBlocsAvx512(Parcours& parcours)
{
    parcourirBlocsSimple(parcours);
}
#endif
