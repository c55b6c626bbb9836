#ifndef VALIDEUR_COMPACTION_H
#define VALIDEUR_COMPACTION_H

// The bytes of a 16-byte block but its blanks, put first by two SSSE3
// shuffles: for the comparison, and inlined into the block-wise loops.

#include <array>
#include <cstdint>
#include <cstring>

#include <tmmintrin.h>

// For each mask of 8 bytes (bit i set when byte i is dropped), the places of
// the kept bytes in order, then "none" (0x80, which pshufb turns into 0): once
// for the low 8 bytes of a 16-byte block and once, shifted by 8, for the high
// ones. With the number of kept bytes per mask, and for each number c of
// bytes kept in the low half, the shuffle that puts the high half's right
// after them.
struct TableCompaction {
    std::array<std::array<std::uint8_t, 8>, 256> bas{};
    std::array<std::array<std::uint8_t, 8>, 256> haut{};
    std::array<std::uint8_t, 256> gardes{};
    std::array<std::array<std::uint8_t, 16>, 9> jonctions{};
};

inline constexpr TableCompaction tableCompaction = [] {
    TableCompaction table{};
    for (unsigned masque = 0; masque < 256; ++masque) {
        unsigned n = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if ((masque >> i & 1U) == 0) {
                table.bas[masque][n] = static_cast<std::uint8_t>(i);
                table.haut[masque][n] = static_cast<std::uint8_t>(i + 8);
                ++n;
            }
        }
        table.gardes[masque] = static_cast<std::uint8_t>(n);
        for (unsigned i = n; i < 8; ++i) {
            table.bas[masque][i] = 0x80;
            table.haut[masque][i] = 0x80;
        }
    }
    for (unsigned c = 0; c <= 8; ++c) {
        for (unsigned i = 0; i < 16; ++i)
            table.jonctions[c][i] = static_cast<std::uint8_t>(i < c ? i : i - c + 8 < 16 ? i - c + 8 : 0x80);
    }
    return table;
}();

#define VALIDEUR_SSSE3_EN_LIGNE __attribute__((target("ssse3"), always_inline)) inline

// The block's bytes but the blanks and those set in `ignores`, first in the
// result, which has zeros after them; `n` is their number.
VALIDEUR_SSSE3_EN_LIGNE __m128i serrer(__m128i octets, unsigned ignores, unsigned& n)
{
    const unsigned blancs = ignores
        | static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(octets, _mm_set1_epi8(' ')),
                         _mm_cmpeq_epi8(octets, _mm_set1_epi8('\t')))));
    const unsigned bas = blancs & 0xFFU;
    const unsigned haut = (blancs >> 8) & 0xFFU;
    std::uint64_t controleBas;
    std::uint64_t controleHaut;
    std::memcpy(&controleBas, tableCompaction.bas[bas].data(), 8);
    std::memcpy(&controleHaut, tableCompaction.haut[haut].data(), 8);
    const __m128i moities = _mm_shuffle_epi8(
        octets, _mm_set_epi64x(static_cast<long long>(controleHaut),
                               static_cast<long long>(controleBas)));
    const unsigned gardesBas = tableCompaction.gardes[bas];
    n = gardesBas + tableCompaction.gardes[haut];
    return _mm_shuffle_epi8(moities, _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                         tableCompaction.jonctions[gardesBas].data())));
}

#endif
