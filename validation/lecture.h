#ifndef VALIDEUR_LECTURE_H
#define VALIDEUR_LECTURE_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#if defined(__SSE2__) && !defined(VALIDEUR_SANS_SIMD)
#define VALIDEUR_SSE2 1
#include <emmintrin.h>
#endif

// A reading buffer of raw bytes: it grows with realloc, so that a long line
// costs neither copies nor zero-filling, and is released with libererOctets.
using Octets = std::unique_ptr<char, void (*)(char*)>;
void libererOctets(char* octets);

// Bytes that may be read past the end of what an input holds: the buffer
// always has this many more, zeroed, so that the line searches can look at
// 32 bytes at a time without asking how many are left first.
constexpr std::size_t margeLecture = 64;

// One input read line by line: its stream, and a buffer of `capacite` bytes
// (plus the margin) whose unread bytes are [debut, fin).
struct Entree {
    std::istream* flux = nullptr;
    Octets octets{nullptr, libererOctets};
    std::size_t capacite = 0;
    std::size_t debut = 0;
    std::size_t fin = 0;
};

// Space, or one of \t \n \v \f \r, which are the consecutive codes 9 to 13:
// what separates the command word from the rest of a test line.
inline bool estEspaceCommande(char octet)
{
    return octet == ' ' || (octet >= '\t' && octet <= '\r');
}

#if defined(VALIDEUR_SSE2)
// A mask of the newlines among the 32 bytes at `octets`, bit i for byte i.
inline std::uint32_t masquerSauts(const char* octets)
{
    const __m128i sauts = _mm_set1_epi8('\n');
    const auto bas = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(octets)), sauts)));
    const auto haut = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(octets + 16)), sauts)));
    return bas | (haut << 16);
}

// The mask's bits for the first `n` bytes only.
inline std::uint32_t garderPremiers(std::uint32_t masque, std::size_t n)
{
    return n >= 32 ? masque : masque & ((std::uint32_t{1} << n) - 1);
}
#endif

// What reading a line needs beyond the common case: a line that is not
// wholly in the buffer, the end of the input, or a read error.
bool lireLigneLente(Entree& entree, std::string_view& ligne);

// Reads the next line as std::getline would. Returns false, and leaves
// `ligne` as it was, when the previous read had already reached the end of
// the input or an error; otherwise `ligne` views the line (empty when nothing
// was left) and stays valid until the next read of the same input.
inline bool lireLigne(Entree& entree, std::string_view& ligne)
{
#if defined(VALIDEUR_SSE2)
    // Most lines are short: one look at 32 bytes finds their end.
    const std::size_t reste = entree.fin - entree.debut;
    if (reste != 0) {
        const char* const octets = entree.octets.get() + entree.debut;
        const std::uint32_t sauts = garderPremiers(masquerSauts(octets), reste);
        if (sauts != 0) {
            const auto n = static_cast<std::size_t>(__builtin_ctz(sauts));
            ligne = std::string_view(octets, n);
            entree.debut += n + 1;
            return true;
        }
    }
#endif
    return lireLigneLente(entree, ligne);
}

// True once the input has been read to its end (or to a read error) and
// every byte taken: the next read finds nothing.
inline bool estEpuisee(const Entree& entree)
{
    return entree.debut == entree.fin && !entree.flux->good();
}

// Most actual lines are exactly the expected line. When the next bytes of the
// input are `attendue` and a newline, takes them as the next line and returns
// true: they agree with it, and nothing was searched or compared twice.
bool prendreLigneAttendue(Entree& entree, std::string_view attendue, std::string_view& ligne);

// Reads the next line of a test file for its command word alone: gives the
// whole line when it is in the buffer, else the word by itself (the bytes
// after any leading whitespace up to the next whitespace byte), from `copie`;
// the rest of such a line is skipped, never held. Either way the line's
// command word is the first word of what is given. Empty when no line was
// left. Valid until the next read of the same input.
std::string_view lireLigneCommandeLente(Entree& entree, std::string& copie);

inline std::string_view lireLigneCommande(Entree& entree, std::string& copie)
{
#if defined(VALIDEUR_SSE2)
    const std::size_t reste = entree.fin - entree.debut;
    if (reste != 0) {
        const char* const octets = entree.octets.get() + entree.debut;
        const std::uint32_t sauts = garderPremiers(masquerSauts(octets), reste);
        if (sauts != 0) {
            const auto n = static_cast<std::size_t>(__builtin_ctz(sauts));
            entree.debut += n + 1;
            return {octets, n};
        }
    }
#endif
    return lireLigneCommandeLente(entree, copie);
}

// Skips the rest of the current line, up to and including its newline.
void sauterLigne(Entree& entree);

#endif
