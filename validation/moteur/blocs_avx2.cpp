// The block-wise loop with AVX2 masks, 32 bytes a compare.
#include "blocs.h"

#include "commande.h"
#include "validation/comparaison.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#if defined(VALIDEUR_SSSE3)
#include <immintrin.h>

namespace {

#define VALIDEUR_CIBLE __attribute__((target("avx2,bmi,popcnt,ssse3")))

VALIDEUR_CIBLE inline __m256i charger32(const char* octets)
{
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(octets));
}

VALIDEUR_CIBLE inline std::uint64_t masquer64(__m256i bas, __m256i haut)
{
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(bas)))
        | static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(haut))) << 32;
}

VALIDEUR_CIBLE inline std::uint64_t masquerSauts(const char* octets)
{
    const __m256i sauts = _mm256_set1_epi8('\n');
    return masquer64(_mm256_cmpeq_epi8(charger32(octets), sauts),
                     _mm256_cmpeq_epi8(charger32(octets + 32), sauts));
}

VALIDEUR_CIBLE inline std::uint64_t masquerEcarts(const char* a, const char* b)
{
    return ~masquer64(_mm256_cmpeq_epi8(charger32(a), charger32(b)),
                      _mm256_cmpeq_epi8(charger32(a + 32), charger32(b + 32)));
}

VALIDEUR_CIBLE inline bool concorder32(const char* a, const char* b, const char* masque)
{
    return _mm256_testz_si256(_mm256_xor_si256(charger32(a), charger32(b)), charger32(masque)) != 0;
}

// A 16-byte lane's shuffle that puts its kept bytes first, as one OR of two
// entries of one table, found from the lane's mask of dropped bytes with
// no more than a mask and a shift. Entry 16 m + c, for each mask m of the
// high 8 bytes (bit i set when byte i is dropped) and each count c of bytes
// the low half keeps: zeros for the first c places, then the high half's
// kept places, then "none" (0x80, which pshufb turns into 0). Entry 16 m + 9,
// for each mask m of the low 8 bytes: their kept places, then zeros.
constexpr std::size_t entreeBas = 9;

struct alignas(16) TableSerrage {
    std::array<std::array<std::uint8_t, 16>, std::size_t{256} * 16> entrees{};
    // For each mask of the low 8 bytes, 16 times the count of bytes kept.
    std::array<std::uint8_t, 256> gardesFois16{};
};

constexpr TableSerrage tableSerrage = [] {
    TableSerrage table{};
    for (std::size_t masque = 0; masque < 256; ++masque) {
        unsigned n = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if ((masque >> i & 1U) == 0)
                table.entrees[16 * masque + entreeBas][n++] = static_cast<std::uint8_t>(i);
        }
        table.gardesFois16[masque] = static_cast<std::uint8_t>(16 * n);
        for (std::size_t c = 0; c <= 8; ++c) {
            std::size_t place = c;
            for (unsigned i = 0; i < 8; ++i) {
                if ((masque >> i & 1U) == 0)
                    table.entrees[16 * masque + c][place++] = static_cast<std::uint8_t>(i + 8);
            }
            for (; place < 16; ++place)
                table.entrees[16 * masque + c][place] = 0x80;
        }
    }
    return table;
}();

// The shuffle of the lane whose dropped bytes are the low 16 bits of
// `laisses`.
VALIDEUR_CIBLE inline __m128i chargerControle(unsigned laisses)
{
    const char* const entrees = reinterpret_cast<const char*>(tableSerrage.entrees.data());
    const std::size_t bas = laisses & 0xFFU;
    return _mm_or_si128(
        _mm_load_si128(reinterpret_cast<const __m128i*>(entrees + (bas << 8) + 16 * entreeBas)),
        _mm_load_si128(
            reinterpret_cast<const __m128i*>(entrees + (laisses & 0xFF00U) + tableSerrage.gardesFois16[bas])));
}

// Two texts of at most 15 bytes, each followed by its line's newline,
// without their blanks, both at once: the first in the low lane, the second
// in the high one, where the shuffles work lane by lane. The newline is
// kept after the bytes: equal lanes then mean equal texts, whatever their
// lengths and the zeros they hold.
VALIDEUR_CIBLE inline bool comparerCourts(std::string_view attendue, std::string_view obtenue)
{
    const __m256i octets = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(attendue.data()))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(obtenue.data())), 1);
    // The lanes past each text's newline, by the text's length, in the low
    // lane and in the high one.
    static constexpr std::array<std::array<std::uint32_t, 16>, 2> ignoresParTaille = [] {
        std::array<std::array<std::uint32_t, 16>, 2> ignores{};
        for (unsigned taille = 0; taille < 16; ++taille) {
            ignores[0][taille] = 0xFFFFU << (taille + 1) & 0xFFFFU;
            ignores[1][taille] = ignores[0][taille] << 16;
        }
        return ignores;
    }();
    const unsigned ignores = ignoresParTaille[0][attendue.size()] | ignoresParTaille[1][obtenue.size()];
    // A blank is the byte its low nibble picks in this table: space at 0, tab
    // at 9; no other entry has its own index as low nibble, and pshufb gives
    // zero, no blank, for bytes from 0x80.
    alignas(32) static constexpr std::array<char, 32> blancsParQuartet = {
        ' ', -1, -1, -1, -1, -1, -1, -1, -1, '\t', -1, -1, -1, -1, -1, 0,
        ' ', -1, -1, -1, -1, -1, -1, -1, -1, '\t', -1, -1, -1, -1, -1, 0};
    const __m256i blancs = _mm256_cmpeq_epi8(
        _mm256_shuffle_epi8(_mm256_load_si256(reinterpret_cast<const __m256i*>(blancsParQuartet.data())),
                            octets),
        octets);
    const unsigned laisses = ignores | static_cast<unsigned>(_mm256_movemask_epi8(blancs));
    const __m256i serres = _mm256_shuffle_epi8(
        octets, _mm256_inserti128_si256(_mm256_castsi128_si256(chargerControle(laisses)),
                                        chargerControle(laisses >> 16), 1));
    const __m128i ecarts = _mm_xor_si128(_mm256_castsi256_si128(serres), _mm256_extracti128_si256(serres, 1));
    return _mm_testz_si128(ecarts, ecarts) != 0;
}

VALIDEUR_CIBLE inline bool comparerRestes(std::string_view attendue, std::string_view obtenue)
{
    if ((attendue.size() | obtenue.size()) > 15)
        return estIdentiqueSsse3(attendue, obtenue);
    return comparerCourts(attendue, obtenue);
}

#include "boucle_blocs.inc"

} // namespace

__attribute__((target("avx2,bmi,popcnt,ssse3"))) void parcourirBlocsAvx2(Parcours& parcours)
{
    parcourir(parcours);
}
#else
void parcourirBlocsAvx2(Parcours& parcours)
{
    parcourirBlocsSimple(parcours);
}
#endif
