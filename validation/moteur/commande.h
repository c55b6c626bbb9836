#ifndef VALIDEUR_COMMANDE_H
#define VALIDEUR_COMMANDE_H

#include "validation/bilan.h"
#include "validation/comparaison.h"
#include "lecture.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The first word of a test line: the bytes after any leading whitespace
// (space, \t, \n, \v, \f, \r) up to the next whitespace byte or the end.
std::string_view extraireCommande(std::string_view ligneTest);


// For each byte, the reported command word that begins with it, or
// commandesBilan.size() for none: the five words have five different first
// letters, so one look at a line's first byte leaves at most one candidate.
constexpr std::array<std::uint8_t, 256> calculerRangsParInitiale()
{
    std::array<std::uint8_t, 256> rangs{};
    for (std::size_t octet = 0; octet < rangs.size(); ++octet) {
        rangs[octet] = static_cast<std::uint8_t>(commandesBilan.size());
        for (std::size_t rang = 0; rang < commandesBilan.size(); ++rang) {
            if (static_cast<unsigned char>(commandesBilan[rang].front()) == octet)
                rangs[octet] = static_cast<std::uint8_t>(rang);
        }
    }
    return rangs;
}
inline constexpr std::array<std::uint8_t, 256> rangsParInitiale = calculerRangsParInitiale();

// For each byte, whether it separates a command word from what follows.
constexpr std::array<bool, 256> calculerEspacesCommande()
{
    std::array<bool, 256> espaces{};
    for (std::size_t octet = 0; octet < espaces.size(); ++octet)
        espaces[octet] = estEspaceCommande(static_cast<char>(octet));
    return espaces;
}
inline constexpr std::array<bool, 256> sontEspacesCommande = calculerEspacesCommande();

// The reported words, each padded with zeros to 16 bytes.
using Modele = std::array<char, 16>;
using Modeles = std::array<Modele, commandesBilan.size()>;
constexpr Modeles calculerModelesBilan()
{
    Modeles modeles{};
    for (std::size_t rang = 0; rang < modeles.size(); ++rang) {
        for (std::size_t j = 0; j < commandesBilan[rang].size(); ++j)
            modeles[rang][j] = commandesBilan[rang][j];
    }
    return modeles;
}
inline constexpr Modeles modelesBilan = calculerModelesBilan();

// True when the bytes at `octets` begin with the reported word of rank
// `rang`; the 16 bytes at `octets` are readable.
inline bool commenceParMot(const char* octets, std::size_t rang)
{
    const std::size_t n = commandesBilan[rang].size();
#if defined(VALIDEUR_SSE2)
    const auto egaux = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(octets)),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(modelesBilan[rang].data())))));
    const unsigned voulus = (1U << n) - 1;
    return (egaux & voulus) == voulus;
#else
    return std::memcmp(octets, modelesBilan[rang].data(), n) == 0;
#endif
}

// The reported words followed by a space, the separator most lines have,
// padded with zeros to 32 bytes, and the mask of their bytes: a line that
// begins with these bytes has that word. One more model, in the place that
// rangsParInitiale gives the other first bytes, begins with the first word's
// initial, which none of those lines begins with: the one compare fails for
// them without a test of its own.
using ModeleSepare = std::array<char, 32>;
struct ModelesSepares {
    std::array<ModeleSepare, commandesBilan.size() + 1> octets{};
    std::array<std::uint32_t, commandesBilan.size() + 1> masques{};
};
constexpr ModelesSepares calculerModelesSepares()
{
    ModelesSepares modeles{};
    for (std::size_t rang = 0; rang < commandesBilan.size(); ++rang) {
        const std::size_t n = commandesBilan[rang].size();
        for (std::size_t j = 0; j < n; ++j)
            modeles.octets[rang][j] = commandesBilan[rang][j];
        modeles.octets[rang][n] = ' ';
        modeles.masques[rang] = (std::uint32_t{1} << (n + 1)) - 1;
    }
    modeles.octets[commandesBilan.size()][0] = commandesBilan[0].front();
    modeles.masques[commandesBilan.size()] = 1;
    return modeles;
}
inline constexpr ModelesSepares modelesSepares = calculerModelesSepares();

// Where a test line's command word counts: its place in commandesBilan,
// autreCommande for any other word, aucuneCommande for a line without one.
inline constexpr std::size_t autreCommande = commandesBilan.size();
inline constexpr std::size_t aucuneCommande = commandesBilan.size() + 1;

inline std::size_t trouverRang(std::string_view mot)
{
    if (mot.empty())
        return aucuneCommande;
    const std::size_t rang = rangsParInitiale[static_cast<unsigned char>(mot.front())];
    if (rang < commandesBilan.size() && !ontMemesOctets(mot, commandesBilan[rang]))
        return autreCommande;
    return rang;
}

// Most test lines begin with one of the reported words, followed by a blank
// or the newline that ends the line: one compare recognises it without
// scanning for the word's end. `ligne` is followed by readable bytes (see
// lireLigneCommande): its newline, or zeros. Neither is part of a word, so
// the compare fails on a line shorter than the word; and when the byte after
// the word is past the line, it is the line's newline, or else not
// whitespace and the word is looked for the long way.
inline std::size_t classerCommande(std::string_view ligne)
{
    if (!ligne.empty()) {
        const std::size_t rang = rangsParInitiale[static_cast<unsigned char>(ligne.front())];
        if (rang < commandesBilan.size() && commenceParMot(ligne.data(), rang)
            && sontEspacesCommande[static_cast<unsigned char>(ligne.data()[commandesBilan[rang].size()])])
            return rang;
    }
    return trouverRang(extraireCommande(ligne));
}


#endif
