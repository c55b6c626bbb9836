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

VALIDEUR_CIBLE inline bool comparerRestes(std::string_view attendue, std::string_view obtenue)
{
    if (attendue.size() > 16 || obtenue.size() > 16)
        return estIdentiqueSsse3(attendue, obtenue);
    // The buffers' bytes, or their margin, follow both.
    unsigned na = 0;
    unsigned nb = 0;
    const __m128i a = serrer(_mm_loadu_si128(reinterpret_cast<const __m128i*>(attendue.data())),
                             0xFFFFU << attendue.size() & 0xFFFFU, na);
    const __m128i b = serrer(_mm_loadu_si128(reinterpret_cast<const __m128i*>(obtenue.data())),
                             0xFFFFU << obtenue.size() & 0xFFFFU, nb);
    return na == nb && _mm_movemask_epi8(_mm_cmpeq_epi8(a, b)) == 0xFFFF;
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
