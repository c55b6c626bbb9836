#ifndef VALIDEUR_COMPARAISON_H
#define VALIDEUR_COMPARAISON_H

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__x86_64__) && defined(__SSE2__) && !defined(VALIDEUR_SANS_SIMD)
#define VALIDEUR_SSSE3 1
#endif

// A line is the bytes between two newlines, newline excluded; a carriage
// return before the newline belongs to the line. Bytes are never decoded.

// The bytes the comparison ignores: space (0x20) and horizontal tab (0x09).
inline bool estBlanc(char octet)
{
    return octet == ' ' || octet == '\t';
}

// The line without its spaces (0x20) and horizontal tabs (0x09).
std::string enleverEspaces(std::string_view ligne);

// The 8 or 4 bytes at `octets`, as one integer in the machine's order.
inline std::uint64_t lireMotOctets(const char* octets)
{
    std::uint64_t mot;
    std::memcpy(&mot, octets, sizeof mot);
    return mot;
}

inline std::uint32_t lireDemiMotOctets(const char* octets)
{
    std::uint32_t mot;
    std::memcpy(&mot, octets, sizeof mot);
    return mot;
}

// True when both texts have the same length and bytes. Short texts, the
// common case, are compared here, inline, without a call to memcmp.
inline bool ontMemesOctets(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size();
    if (n != b.size())
        return false;
    if (n > 32)
        return std::memcmp(a.data(), b.data(), n) == 0;
    const char* const pa = a.data();
    const char* const pb = b.data();
    if (n >= 8) {
        // Whole words from the front, then the last word, which may overlap.
        for (std::size_t i = 0; i + 8 < n; i += 8) {
            if (lireMotOctets(pa + i) != lireMotOctets(pb + i))
                return false;
        }
        return lireMotOctets(pa + n - 8) == lireMotOctets(pb + n - 8);
    }
    if (n >= 4)
        return lireDemiMotOctets(pa) == lireDemiMotOctets(pb)
            && lireDemiMotOctets(pa + n - 4) == lireDemiMotOctets(pb + n - 4);
    for (std::size_t i = 0; i < n; ++i) {
        if (pa[i] != pb[i])
            return false;
    }
    return true;
}

// True when both lines hold the same bytes once spaces and tabs are removed.
// Uses SSSE3 when the processor has it.
bool estIdentique(std::string_view attendue, std::string_view obtenue);

// The same decision in plain C++, for processors without SSSE3.
bool estIdentiqueSimple(std::string_view attendue, std::string_view obtenue);

#if defined(VALIDEUR_SSSE3)
// The same decision with SSSE3, for processors that have it.
__attribute__((target("ssse3"))) bool estIdentiqueSsse3(std::string_view attendue,
                                                    std::string_view obtenue);
#endif

#endif
