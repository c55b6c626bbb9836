// The block-wise loop in plain C++: the 64-byte masks are made 8 bytes at a
// time in ordinary integers.
#include "blocs.h"

#include "commande.h"
#include "validation/comparaison.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace {

#define VALIDEUR_CIBLE

// Bit i of the result set when byte i of `x` is not zero. The high bit of each
// byte is set by the add when any of its low seven bits is, or by the byte
// itself; the multiply then gathers the eight high bits, each term landing on
// its own bit.
inline std::uint64_t masquerNonNuls(std::uint64_t x)
{
    constexpr std::uint64_t bas = 0x7F7F7F7F7F7F7F7FULL;
    const std::uint64_t hauts = (((x & bas) + bas) | x) & ~bas;
    return (hauts * 0x0002040810204081ULL) >> 56;
}

inline std::uint64_t masquerSauts(const char* octets)
{
    std::uint64_t masque = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::uint64_t mot = lireMotOctets(octets + 8 * i) ^ 0x0A0A0A0A0A0A0A0AULL;
        masque |= (~masquerNonNuls(mot) & 0xFFU) << (8 * i);
    }
    return masque;
}

inline std::uint64_t masquerEcarts(const char* a, const char* b)
{
    std::uint64_t masque = 0;
    for (std::size_t i = 0; i < 8; ++i)
        masque |= masquerNonNuls(lireMotOctets(a + 8 * i) ^ lireMotOctets(b + 8 * i)) << (8 * i);
    return masque;
}

inline bool concorder32(const char* a, const char* b, const char* masque)
{
    std::uint64_t ecarts = 0;
    for (std::size_t i = 0; i < 4; ++i)
        ecarts |= (lireMotOctets(a + 8 * i) ^ lireMotOctets(b + 8 * i)) & lireMotOctets(masque + 8 * i);
    return ecarts == 0;
}

inline bool comparerRestes(std::string_view attendue, std::string_view obtenue)
{
    return estIdentiqueSimple(attendue, obtenue);
}

#include "boucle_blocs.inc"

} // namespace

void parcourirBlocsSimple(Parcours& parcours)
{
    parcourir(parcours);
}
