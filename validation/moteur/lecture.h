#ifndef VALIDEUR_LECTURE_H
#define VALIDEUR_LECTURE_H

#include <algorithm>
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

// A reading buffer of raw bytes, from malloc: it grows with realloc once it
// holds a long line, so that the line costs neither copies nor zero-filling,
// and is released with libererOctets.
using Octets = std::unique_ptr<char, void (*)(char*)>;
void libererOctets(char* octets);

// Bytes that may be read past the end of what an input holds: the buffer
// always has this many more, and the first margeLecture bytes after `fin`
// are zeros, so that the line searches can look at 32 bytes at a time
// without asking how many are left first: a zero is never a newline.
constexpr std::size_t margeLecture = 64;

// Bytes asked of an input at a time, once it has shown it is not tiny. Large
// enough that reading costs a few system calls per megabyte, small enough
// that the three inputs' blocks are still in the second-level cache when
// they are compared: the kernel's copy into them costs less there too.
constexpr std::size_t tailleBlocLecture = std::size_t{64} * 1024;

// One input read line by line: its stream, and a buffer of `capacite` bytes
// (plus the margin) whose unread bytes are [debut, fin). `epuisee` is set
// once a line has ended with the input (its end or a read error) rather than
// with a newline: there is no next line, whatever was read ahead. A stream
// over a file descriptor is read with read() on it, straight into the
// buffer; its state then tells the end and errors as the stream's own reads
// would have.
struct Entree {
    std::istream* flux = nullptr;
    int descripteur = -1;
    std::size_t tailleBloc = tailleBlocLecture;
    Octets octets{nullptr, libererOctets};
    std::size_t capacite = 0;
    std::size_t debut = 0;
    std::size_t fin = 0;
    bool epuisee = false;
};

// An input ready to be read: its buffer is there from the start, margin
// included, so that the searches below never ask whether it is. Reads ask
// for at most `tailleBloc` bytes at a time (the tests try small ones).
Entree ouvrirEntree(std::istream& flux, std::size_t tailleBloc = tailleBlocLecture);

// Moves the unread bytes to the front of the buffer and appends what the
// input has after them. From a pipe this takes what is there rather than
// waiting for a full block, so reports keep pace with a program that writes
// slowly. Returns the number of bytes added: 0 at the end of the input or on
// a read error.
std::size_t remplirTampon(Entree& entree);

// Space, or one of \t \n \v \f \r, which are the consecutive codes 9 to 13:
// what separates the command word from the rest of a test line.
constexpr bool estEspaceCommande(char octet)
{
    return octet == ' ' || (octet >= '\t' && octet <= '\r');
}

#if defined(VALIDEUR_SSE2)
// The 32-bit mask of two byte compares, bit i for byte i.
inline std::uint32_t masquer(__m128i bas, __m128i haut)
{
    return static_cast<std::uint32_t>(_mm_movemask_epi8(bas))
        | static_cast<std::uint32_t>(_mm_movemask_epi8(haut)) << 16;
}

// A mask of the newlines among the 32 bytes at `octets`, bit i for byte i.
inline std::uint32_t masquerSauts(const char* octets)
{
    const __m128i sauts = _mm_set1_epi8('\n');
    return masquer(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(octets)), sauts),
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(octets + 16)), sauts));
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
        const std::uint32_t sauts = masquerSauts(octets);
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

// One line of each of two inputs read side by side: the expected line and
// the actual one.
struct Paire {
    std::string_view premiere;
    std::string_view seconde;
    // The two lines are the same bytes.
    bool memesOctets = false;
    // The second input gave no line, or the empty one at its end.
    bool secondeEpuisee = false;
};

// Reads the next line of each input, one after the other, for what the one
// pass below leaves. An input without a next line leaves its preset in
// place: empty for the first, `presetSeconde` for the second.
Paire lirePaireLente(Entree& premiere, Entree& seconde, std::string_view presetSeconde);

// Reads the next line of each input. In the common case where both lines are
// wholly in their buffers, one pass finds the first line's end and the first
// byte where the inputs differ together.
inline Paire lirePaire(Entree& premiere, Entree& seconde, std::string_view presetSeconde)
{
#if defined(VALIDEUR_SSE2)
    const std::size_t restePremiere = premiere.fin - premiere.debut;
    const std::size_t resteSeconde = seconde.fin - seconde.debut;
    const std::size_t reste = std::min(restePremiere, resteSeconde);
    const char* const a = premiere.octets.get() + premiere.debut;
    const char* const b = seconde.octets.get() + seconde.debut;
    const __m128i sauts = _mm_set1_epi8('\n');
    for (std::size_t decalage = 0; decalage < reste; decalage += 32) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + decalage));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + decalage + 16));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + decalage));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + decalage + 16));
        const std::uint32_t egaux = masquer(_mm_cmpeq_epi8(a0, b0), _mm_cmpeq_epi8(a1, b1));
        const std::uint32_t sautsA = masquer(_mm_cmpeq_epi8(a0, sauts), _mm_cmpeq_epi8(a1, sauts));
        // The first byte that differs or ends the first line. Before it,
        // neither line has ended. Past the end of either buffer, the zeros
        // differ from the other's bytes or match its zeros, and hold no
        // newline: a line not wholly in its buffer is never taken.
        const std::uint32_t arrets = ~egaux | sautsA;
        if (arrets == 0)
            continue;
        const auto n = static_cast<std::size_t>(__builtin_ctz(arrets));
        if ((egaux & sautsA) >> n & 1U) {
            const std::size_t longueur = decalage + n;
            premiere.debut += longueur + 1;
            seconde.debut += longueur + 1;
            const std::string_view ligne(a, longueur);
            return {ligne, ligne, true, false};
        }
        // The lines differ: both end in this block, or they are read apart.
        const std::uint32_t finA = sautsA;
        const std::uint32_t finB = masquer(_mm_cmpeq_epi8(b0, sauts), _mm_cmpeq_epi8(b1, sauts));
        if (finA == 0 || finB == 0)
            break;
        const std::size_t longueurA = decalage + static_cast<std::size_t>(__builtin_ctz(finA));
        const std::size_t longueurB = decalage + static_cast<std::size_t>(__builtin_ctz(finB));
        premiere.debut += longueurA + 1;
        seconde.debut += longueurB + 1;
        return {std::string_view(a, longueurA), std::string_view(b, longueurB), false, false};
    }
#endif
    return lirePaireLente(premiere, seconde, presetSeconde);
}

// Most actual lines are exactly the expected line. When the next bytes of the
// input are `attendue` and a newline, takes them as the next line and returns
// true: they agree with it. Otherwise returns false and takes nothing, though
// it may have read ahead.
bool prendreLigneAttendue(Entree& entree, std::string_view attendue, std::string_view& ligne);

// Reads the next line of a test file for its command word alone: gives the
// whole line when it is in the buffer, else the word by itself (the bytes
// after any leading whitespace up to the next whitespace byte), from `copie`;
// the rest of such a line is skipped, never held. Either way the line's
// command word is the first word of what is given. Empty when no line was
// left. Valid until the next read of the same input, and followed by at least
// margeLecture readable bytes.
std::string_view lireLigneCommandeLente(Entree& entree, std::string& copie);

inline std::string_view lireLigneCommande(Entree& entree, std::string& copie)
{
#if defined(VALIDEUR_SSE2)
    // With nothing left to read, the margin's zeros hold no newline.
    const char* const octets = entree.octets.get() + entree.debut;
    const std::uint32_t sauts = masquerSauts(octets);
    if (sauts != 0) {
        const auto n = static_cast<std::size_t>(__builtin_ctz(sauts));
        entree.debut += n + 1;
        return {octets, n};
    }
#endif
    return lireLigneCommandeLente(entree, copie);
}

// Skips the rest of the current line, up to and including its newline.
void sauterLigne(Entree& entree);

// Reads the next line of each input as lirePaire does and tells whether they
// agree, without holding either: both are compared as they come in, so that
// a long line costs no more memory than the buffers. For quiet runs, where
// no report will show the lines.
bool comparerPaireAuFil(Entree& premiere, Entree& seconde, std::string_view presetSeconde);

// What is kept of a line compared as it is read: its first `borne` bytes,
// whether there were more, and the FNV-1a hash of all its bytes but spaces
// and tabs, so that lines that agree have the same.
struct Garde {
    std::size_t borne = 0;
    std::string debut;
    bool coupee = false;
    std::uint64_t empreinte = 0;
};

// The hash a Garde keeps, of `texte` alone.
std::uint64_t empreinterSansBlancs(std::string_view texte);

// comparerPaireAuFil, keeping of each line what `garde` says: a long line
// is compared without being held, and only its start is kept.
bool comparerPaireGardee(Entree& premiere, Entree& seconde, std::string_view presetSeconde,
                         Garde& gardePremiere, Garde& gardeSeconde);

// What an input still holds: the bytes already there (buffered, or ready to
// be read without waiting), and the lines among the first of them.
struct Apercu {
    std::uint64_t octets = 0;
    std::uint64_t lignes = 0;
    bool complet = false; // every byte there was looked at: `lignes` counts them all
};

// Looks at what is left of an input once it will be read no more. Never
// waits: from a pipe only what is already there counts, and no more than
// `plafond` bytes are read for the line count.
Apercu apercevoir(Entree& entree, std::size_t plafond);

#endif
