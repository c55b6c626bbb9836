// The block-wise loop with AVX-512 masks, one compare per 64 bytes, and the
// rest of two differing lines compacted without their blanks by vpcompressb.
#include "blocs.h"

#include "commande.h"
#include "comparaison.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#if defined(VALIDEUR_SSSE3)
#include <immintrin.h>

namespace {

#define VALIDEUR_CIBLE __attribute__((target("avx512f,avx512bw,avx512vbmi2,avx2,popcnt,bmi,ssse3")))

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

VALIDEUR_CIBLE inline std::uint32_t masquerEgaux32(const char* a, const char* b)
{
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a)),
                          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b)))));
}

// The bytes of a text of at most 64 bytes but its blanks, first, zeros after.
VALIDEUR_CIBLE inline __m512i serrer(std::string_view texte, std::uint64_t& gardes)
{
    const std::uint64_t presents =
        texte.size() == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << texte.size()) - 1;
    const __m512i octets = _mm512_maskz_loadu_epi8(presents, texte.data());
    const std::uint64_t blancs = _mm512_cmpeq_epi8_mask(octets, _mm512_set1_epi8(' '))
        | _mm512_cmpeq_epi8_mask(octets, _mm512_set1_epi8('\t'));
    gardes = presents & ~blancs;
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

} // namespace

__attribute__((target("avx512f,avx512bw,avx512vbmi2,avx2,popcnt,bmi,ssse3"))) void
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
