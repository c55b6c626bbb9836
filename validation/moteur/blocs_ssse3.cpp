// The block-wise loop with SSE2 masks, 16 bytes a compare, and the SSSE3
// comparison of differing lines.
#include "blocs.h"

#include "commande.h"
#include "validation/comparaison.h"
#if defined(VALIDEUR_SSSE3)
#include "compaction.h"
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#if defined(VALIDEUR_SSSE3)
#include <emmintrin.h>

namespace {

#define VALIDEUR_CIBLE __attribute__((target("ssse3")))

VALIDEUR_CIBLE inline std::uint64_t masquer16(__m128i egaux, std::size_t rang)
{
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(egaux))) << (16 * rang);
}

VALIDEUR_CIBLE inline __m128i charger16(const char* octets, std::size_t rang)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(octets + 16 * rang));
}

VALIDEUR_CIBLE inline std::uint64_t masquerSauts(const char* octets)
{
    const __m128i sauts = _mm_set1_epi8('\n');
    return masquer16(_mm_cmpeq_epi8(charger16(octets, 0), sauts), 0)
        | masquer16(_mm_cmpeq_epi8(charger16(octets, 1), sauts), 1)
        | masquer16(_mm_cmpeq_epi8(charger16(octets, 2), sauts), 2)
        | masquer16(_mm_cmpeq_epi8(charger16(octets, 3), sauts), 3);
}

VALIDEUR_CIBLE inline std::uint64_t masquerEcarts(const char* a, const char* b)
{
    return ~(masquer16(_mm_cmpeq_epi8(charger16(a, 0), charger16(b, 0)), 0)
             | masquer16(_mm_cmpeq_epi8(charger16(a, 1), charger16(b, 1)), 1)
             | masquer16(_mm_cmpeq_epi8(charger16(a, 2), charger16(b, 2)), 2)
             | masquer16(_mm_cmpeq_epi8(charger16(a, 3), charger16(b, 3)), 3));
}

VALIDEUR_CIBLE inline bool concorder32(const char* a, const char* b, const char* masque)
{
    const __m128i ecarts = _mm_or_si128(
        _mm_and_si128(_mm_xor_si128(charger16(a, 0), charger16(b, 0)), charger16(masque, 0)),
        _mm_and_si128(_mm_xor_si128(charger16(a, 1), charger16(b, 1)), charger16(masque, 1)));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(ecarts, _mm_setzero_si128())) == 0xFFFF;
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

__attribute__((target("ssse3"))) void parcourirBlocsSsse3(Parcours& parcours)
{
    parcourir(parcours);
}
#else
void parcourirBlocsSsse3(Parcours& parcours)
{
    parcourirBlocsSimple(parcours);
}
#endif
