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

// Two texts of at most 16 bytes without their blanks, both at once: the
// first in the low lane, the second in the high one, where the shuffles of
// the compaction work lane by lane.
VALIDEUR_CIBLE inline bool comparerCourts(std::string_view attendue, std::string_view obtenue)
{
    const __m256i octets = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(attendue.data()))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(obtenue.data())), 1);
    const unsigned ignores = (0xFFFFU << attendue.size() & 0xFFFFU)
        | (0xFFFFU << obtenue.size() & 0xFFFFU) << 16;
    const unsigned laisses = ignores
        | static_cast<unsigned>(_mm256_movemask_epi8(
            _mm256_or_si256(_mm256_cmpeq_epi8(octets, _mm256_set1_epi8(' ')),
                            _mm256_cmpeq_epi8(octets, _mm256_set1_epi8('\t')))));
    const unsigned groupes[4] = {laisses & 0xFFU, laisses >> 8 & 0xFFU, laisses >> 16 & 0xFFU,
                                 laisses >> 24};
    std::uint64_t controles[4];
    std::memcpy(&controles[0], tableCompaction.bas[groupes[0]].data(), 8);
    std::memcpy(&controles[1], tableCompaction.haut[groupes[1]].data(), 8);
    std::memcpy(&controles[2], tableCompaction.bas[groupes[2]].data(), 8);
    std::memcpy(&controles[3], tableCompaction.haut[groupes[3]].data(), 8);
    const __m256i moities = _mm256_shuffle_epi8(
        octets, _mm256_set_epi64x(static_cast<long long>(controles[3]), static_cast<long long>(controles[2]),
                                  static_cast<long long>(controles[1]), static_cast<long long>(controles[0])));
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
