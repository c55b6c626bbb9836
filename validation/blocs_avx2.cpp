// The block-wise loop with AVX2 masks, 32 bytes a compare.
#include "blocs.h"

#include "commande.h"
#include "comparaison.h"
#if defined(VALIDEUR_SSSE3)
#include "compaction.h"
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

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

VALIDEUR_CIBLE inline std::uint32_t masquerEgaux32(const char* a, const char* b)
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(charger32(a), charger32(b))));
}

// A lane's shuffle control from its two 8-byte halves, loaded straight into
// it.
VALIDEUR_CIBLE inline __m128i chargerControle(const std::array<std::uint8_t, 8>& bas,
                                              const std::array<std::uint8_t, 8>& haut)
{
    std::int64_t moitieHaute;
    std::memcpy(&moitieHaute, haut.data(), 8);
    return _mm_insert_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bas.data())), moitieHaute, 1);
}

// Two texts of at most 16 bytes without their blanks, both at once: the
// first in the low lane, the second in the high one, where the shuffles of
// the compaction work lane by lane.
VALIDEUR_CIBLE inline bool comparerCourts(std::string_view attendue, std::string_view obtenue)
{
    const __m256i octets = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(attendue.data()))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(obtenue.data())), 1);
    // The lanes past each text's bytes, by its length, in the low lane and in
    // the high one.
    static constexpr std::array<std::array<std::uint32_t, 17>, 2> ignoresParTaille = [] {
        std::array<std::array<std::uint32_t, 17>, 2> ignores{};
        for (unsigned taille = 0; taille <= 16; ++taille) {
            ignores[0][taille] = 0xFFFFU << taille & 0xFFFFU;
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
    const unsigned groupes[4] = {laisses & 0xFFU, laisses >> 8 & 0xFFU, laisses >> 16 & 0xFFU,
                                 laisses >> 24};
    const __m256i controles = _mm256_inserti128_si256(
        _mm256_castsi128_si256(chargerControle(tableCompaction.bas[groupes[0]], tableCompaction.haut[groupes[1]])),
        chargerControle(tableCompaction.bas[groupes[2]], tableCompaction.haut[groupes[3]]), 1);
    const __m256i moities = _mm256_shuffle_epi8(octets, controles);
    const unsigned basA = tableCompaction.gardes[groupes[0]];
    const unsigned basB = tableCompaction.gardes[groupes[2]];
    const __m256i jonctions = _mm256_inserti128_si256(
        _mm256_castsi128_si256(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(tableCompaction.jonctions[basA].data()))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(tableCompaction.jonctions[basB].data())), 1);
    const __m256i serres = _mm256_shuffle_epi8(moities, jonctions);
    // Both have zeros past their kept bytes.
    return basA + tableCompaction.gardes[groupes[1]] == basB + tableCompaction.gardes[groupes[3]]
        && _mm_movemask_epi8(_mm_cmpeq_epi8(_mm256_castsi256_si128(serres),
                                            _mm256_extracti128_si256(serres, 1)))
        == 0xFFFF;
}

VALIDEUR_CIBLE inline bool comparerRestes(std::string_view attendue, std::string_view obtenue)
{
    if (attendue.size() > 16 || obtenue.size() > 16)
        return estIdentiqueSsse3(attendue, obtenue);
    // The buffers' bytes, or their margin, follow both.
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
