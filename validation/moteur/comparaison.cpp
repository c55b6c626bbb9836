#include "validation/comparaison.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>

#if defined(VALIDEUR_SSSE3)
#include "compaction.h"
#endif

namespace {

#if defined(VALIDEUR_SSSE3)

// The last `reste` bytes (at most 16) of a line that began at `debut` and
// ends at `fin`, as one block; the lanes that hold none of them are set in
// `ignores`. Read as the end of a 16-byte block when the line is that long,
// else gathered with overlapping loads, never past the line.
VALIDEUR_SSSE3_EN_LIGNE __m128i chargerFin(const char* debut, const char* fin, unsigned reste,
                                           unsigned& ignores)
{
    if (fin - debut >= 16) {
        ignores = (1U << (16 - reste)) - 1;
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(fin - 16));
    }
    const char* const source = fin - reste;
    std::uint64_t bas = 0;
    std::uint64_t haut = 0;
    if (reste >= 8) {
        std::memcpy(&bas, source, 8);
        std::memcpy(&haut, fin - 8, 8);
        ignores = ((1U << (16 - reste)) - 1) << 8;
    } else if (reste >= 4) {
        std::uint32_t debutBloc;
        std::uint32_t finBloc;
        std::memcpy(&debutBloc, source, 4);
        std::memcpy(&finBloc, fin - 4, 4);
        bas = debutBloc | std::uint64_t{finBloc} << 32;
        ignores = 0xFF00U | (((1U << (8 - reste)) - 1) << 4);
    } else {
        for (unsigned i = 0; i < reste; ++i)
            bas |= std::uint64_t{static_cast<unsigned char>(source[i])} << (8 * i);
        ignores = (0xFFFFU << reste) & 0xFFFFU;
    }
    return _mm_set_epi64x(static_cast<long long>(haut), static_cast<long long>(bas));
}

// One line's bytes without their blanks, made 16 input bytes at a time:
// [octet, fin) is what is left of the line that began at `debut`, and
// `serres` holds the kept bytes not yet compared.
struct Serrage {
    const char* debut;
    const char* octet;
    const char* fin;
    unsigned n;
    char serres[48];
};

// Appends the kept bytes of the line's next block, whole or its last bytes.
VALIDEUR_SSSE3_EN_LIGNE void serrerBloc(Serrage& serrage)
{
    const auto reste = static_cast<std::size_t>(serrage.fin - serrage.octet);
    __m128i octets;
    unsigned ignores = 0;
    if (reste >= 16) {
        octets = _mm_loadu_si128(reinterpret_cast<const __m128i*>(serrage.octet));
        serrage.octet += 16;
    } else {
        octets = chargerFin(serrage.debut, serrage.fin, static_cast<unsigned>(reste), ignores);
        serrage.octet = serrage.fin;
    }
    unsigned n = 0;
    const __m128i serres = serrer(octets, ignores, n);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(serrage.serres + serrage.n), serres);
    serrage.n += n;
}

// Both lines without their blanks, compared 16 kept bytes at a time; memory
// stays at a few dozen bytes whatever the lines' length.
__attribute__((target("ssse3"))) bool comparerSerres(Serrage& a, Serrage& b)
{
    for (;;) {
        while (a.n < 16 && a.octet != a.fin)
            serrerBloc(a);
        while (b.n < 16 && b.octet != b.fin)
            serrerBloc(b);
        if (a.n < 16 || b.n < 16)
            break;
        const __m128i blocA = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.serres));
        const __m128i blocB = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.serres));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(blocA, blocB)) != 0xFFFF)
            return false;
        // The bytes left past the compared 16 go to the front.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(a.serres),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(a.serres + 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b.serres),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.serres + 16)));
        a.n -= 16;
        b.n -= 16;
    }
    // One line is all kept: the other may add blanks only.
    const Serrage& courte = a.n < 16 ? a : b;
    Serrage& autre = a.n < 16 ? b : a;
    while (autre.n <= courte.n && autre.octet != autre.fin)
        serrerBloc(autre);
    return autre.octet == autre.fin && ontMemesOctets(std::string_view(a.serres, a.n),
                                                      std::string_view(b.serres, b.n));
}

// Both lines from byte `commun` on, block by block: for the lines whose ends
// do not fit in one block, out of the way of the short case.
__attribute__((target("ssse3"), noinline)) bool comparerSerresDepuis(std::string_view attendue,
                                                                    std::string_view obtenue,
                                                                    std::size_t commun)
{
    Serrage a;
    a.debut = attendue.data();
    a.octet = a.debut + commun;
    a.fin = a.debut + attendue.size();
    a.n = 0;
    Serrage b;
    b.debut = obtenue.data();
    b.octet = b.debut + commun;
    b.fin = b.debut + obtenue.size();
    b.n = 0;
    return comparerSerres(a, b);
}

#endif

} // namespace

#if defined(VALIDEUR_SSSE3)
__attribute__((target("ssse3"))) bool estIdentiqueSsse3(std::string_view attendue,
                                                    std::string_view obtenue)
{
    // Equal bytes agree whatever blanks they hold: skip the equal start.
    std::size_t commun = 0;
    const std::size_t plusCourte = std::min(attendue.size(), obtenue.size());
    while (commun + 16 <= plusCourte) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(attendue.data() + commun));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(obtenue.data() + commun));
        const auto egaux = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(a, b)));
        if (egaux != 0xFFFFU) {
            commun += static_cast<std::size_t>(__builtin_ctz(~egaux));
            break;
        }
        commun += 16;
    }
    const std::size_t resteA = attendue.size() - commun;
    const std::size_t resteB = obtenue.size() - commun;
    if (resteA <= 16 && resteB <= 16) {
        // Short ends, the common case: one block each, kept in registers.
        unsigned ignoresA = 0xFFFFU;
        unsigned ignoresB = 0xFFFFU;
        const char* const finA = attendue.data() + attendue.size();
        const char* const finB = obtenue.data() + obtenue.size();
        const __m128i blocA = resteA == 0 ? _mm_setzero_si128()
            : chargerFin(attendue.data(), finA, static_cast<unsigned>(resteA), ignoresA);
        const __m128i blocB = resteB == 0 ? _mm_setzero_si128()
            : chargerFin(obtenue.data(), finB, static_cast<unsigned>(resteB), ignoresB);
        unsigned na = 0;
        unsigned nb = 0;
        const __m128i serresA = serrer(blocA, ignoresA, na);
        const __m128i serresB = serrer(blocB, ignoresB, nb);
        // Both have zeros past their kept bytes.
        return na == nb && _mm_movemask_epi8(_mm_cmpeq_epi8(serresA, serresB)) == 0xFFFF;
    }
    return comparerSerresDepuis(attendue, obtenue, commun);
}
#endif

std::string enleverEspaces(std::string_view ligne)
{
    std::string resultat;
    resultat.reserve(ligne.size());
    std::copy_if(ligne.begin(), ligne.end(), std::back_inserter(resultat),
                 [](char octet) { return !estBlanc(octet); });
    return resultat;
}

bool estIdentiqueSimple(std::string_view attendue, std::string_view obtenue)
{
    if (ontMemesOctets(attendue, obtenue))
        return true;

    // Short lines are copied without their blanks and then compared: writing
    // every byte and advancing only past kept ones has no branch to mispredict.
    constexpr std::size_t courte = 64;
    if (attendue.size() <= courte && obtenue.size() <= courte) {
        char sansBlancsA[courte];
        char sansBlancsB[courte];
        std::size_t na = 0;
        std::size_t nb = 0;
        // Both lines in one loop: two independent chains of stores run side
        // by side.
        const std::size_t commun = std::min(attendue.size(), obtenue.size());
        for (std::size_t i = 0; i < commun; ++i) {
            const char a = attendue[i];
            const char b = obtenue[i];
            sansBlancsA[na] = a;
            sansBlancsB[nb] = b;
            na += static_cast<std::size_t>(!estBlanc(a));
            nb += static_cast<std::size_t>(!estBlanc(b));
        }
        for (const char octet : attendue.substr(commun)) {
            sansBlancsA[na] = octet;
            na += static_cast<std::size_t>(!estBlanc(octet));
        }
        for (const char octet : obtenue.substr(commun)) {
            sansBlancsB[nb] = octet;
            nb += static_cast<std::size_t>(!estBlanc(octet));
        }
        return ontMemesOctets(std::string_view(sansBlancsA, na), std::string_view(sansBlancsB, nb));
    }

    // Walk both lines at once. Equal bytes agree whatever blanks they hold,
    // so runs of equal 8-byte words are passed whole; only where the lines
    // differ are blanks stepped over one by one.
    const char* a = attendue.data();
    const char* const finA = a + attendue.size();
    const char* b = obtenue.data();
    const char* const finB = b + obtenue.size();
    for (;;) {
        while (finA - a >= 8 && finB - b >= 8 && lireMotOctets(a) == lireMotOctets(b)) {
            a += 8;
            b += 8;
        }
        while (a != finA && estBlanc(*a))
            ++a;
        while (b != finB && estBlanc(*b))
            ++b;
        if (a == finA || b == finB)
            return a == finA && b == finB;
        if (*a != *b)
            return false;
        ++a;
        ++b;
    }
}

bool estIdentique(std::string_view attendue, std::string_view obtenue)
{
#if defined(VALIDEUR_SSSE3)
    if (__builtin_cpu_supports("ssse3"))
        return estIdentiqueSsse3(attendue, obtenue);
#endif
    return estIdentiqueSimple(attendue, obtenue);
}
