#include "validation.h"

#include "bilan.h"
#include "comparaison.h"
#include "lecture.h"
#include "terminal.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

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
constexpr std::array<std::uint8_t, 256> rangsParInitiale = calculerRangsParInitiale();

// For each byte, whether it separates a command word from what follows.
constexpr std::array<bool, 256> calculerEspacesCommande()
{
    std::array<bool, 256> espaces{};
    for (std::size_t octet = 0; octet < espaces.size(); ++octet)
        espaces[octet] = estEspaceCommande(static_cast<char>(octet));
    return espaces;
}
constexpr std::array<bool, 256> sontEspacesCommande = calculerEspacesCommande();

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
constexpr Modeles modelesBilan = calculerModelesBilan();

// True when the bytes at `octets` begin with the reported word of rank
// `rang`; the 16 bytes at `octets` are readable.
bool commenceParMot(const char* octets, std::size_t rang)
{
    const std::size_t n = commandesBilan[rang].size();
#if defined(VALIDEUR_SSE2)
    const auto egaux = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(octets)),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(modelesBilan[rang].data())))));
    const unsigned voulus = 0xFFFFU >> (16 - n);
    return (egaux & voulus) == voulus;
#else
    return std::memcmp(octets, modelesBilan[rang].data(), n) == 0;
#endif
}

// Where a test line's command word counts: its place in commandesBilan,
// autreCommande for any other word, aucuneCommande for a line without one.
constexpr std::size_t autreCommande = commandesBilan.size();
constexpr std::size_t aucuneCommande = commandesBilan.size() + 1;

std::size_t trouverRang(std::string_view mot)
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
std::size_t classerCommande(std::string_view ligne)
{
    if (!ligne.empty()) {
        const std::size_t rang = rangsParInitiale[static_cast<unsigned char>(ligne.front())];
        if (rang < commandesBilan.size() && commenceParMot(ligne.data(), rang)
            && sontEspacesCommande[static_cast<unsigned char>(ligne.data()[commandesBilan[rang].size()])])
            return rang;
    }
    return trouverRang(extraireCommande(ligne));
}

} // namespace

std::string_view extraireCommande(std::string_view ligneTest)
{
    const char* octet = ligneTest.data();
    const char* const finLigne = octet + ligneTest.size();
    while (octet != finLigne && estEspaceCommande(*octet))
        ++octet;
    const char* const debut = octet;
    while (octet != finLigne && !estEspaceCommande(*octet))
        ++octet;
    return {debut, static_cast<std::size_t>(octet - debut)};
}

void validerFichiers(std::istream& test, std::istream& solution,
                     std::istream& votre, bool silencieux, bool modeCorrige,
                     const Presentation& presentation, std::ostream& sortie,
                     std::ostream& erreurs)
{
    // A student reads a terminal: there, causes are said once.
    if (presentation.terminal && !silencieux) {
        validerSurTerminal(test, solution, votre, modeCorrige, presentation.couleur, sortie, erreurs);
        return;
    }
    Entree entreeTest = ouvrirEntree(test);
    Entree entreeSolution = ouvrirEntree(solution);
    Entree entreeVotre = ouvrirEntree(votre);
    // The word of a test line too long for its buffer.
    std::string copieCommande;
    // One more count than the summary has: the lines of every other word go
    // there (autreCommande), and nothing reads it.
    std::array<std::int64_t, commandesBilan.size() + 1> nbReussites{};
    std::array<std::int64_t, commandesBilan.size() + 1> nbTests{};
    std::int64_t numeroLigne = 0;

    for (;;) {
        ++numeroLigne;
        const std::string_view ligneTest = lireLigneCommande(entreeTest, copieCommande);
        // An input that has run out leaves its preset: an empty expected
        // line, "(X)" for the results under test.
        const Paire lignes = lirePaire(entreeSolution, entreeVotre, "(X)");

        const std::size_t rang = classerCommande(ligneTest);
        if (rang == aucuneCommande)
            break;
        const bool identiques =
            lignes.memesOctets || estIdentique(lignes.premiere, lignes.seconde);
        if (!identiques && !silencieux)
            ecrireRapport(erreurs,
                          {numeroLigne, extraireCommande(ligneTest), lignes.premiere,
                           lignes.seconde, lignes.secondeEpuisee},
                          presentation);
        nbReussites[rang] += static_cast<std::int64_t>(identiques);
        ++nbTests[rang];
        // Only a read that met the end of the test file or an error can
        // have failed its stream.
        if (entreeTest.epuisee && test.fail())
            break;
    }
    Comptes reussites{};
    Comptes tests{};
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        reussites[i] = nbReussites[i];
        tests[i] = nbTests[i];
    }
    ecrireBilan(reussites, tests, modeCorrige, sortie);
}

Decomptes parcourirLignes(std::istream& test, std::istream& solution, std::istream& votre,
                          const Observateur& observer, FinParcours& fin)
{
    Entree entreeTest = ouvrirEntree(test);
    Entree entreeSolution = ouvrirEntree(solution);
    Entree entreeVotre = ouvrirEntree(votre);
    std::string copieCommande;
    std::array<std::int64_t, commandesBilan.size() + 1> nbReussites{};
    std::array<std::int64_t, commandesBilan.size() + 1> nbTests{};
    LigneComparee ligne;
    // Whether the last iteration's reads found a line: what is left past
    // the last compared one.
    bool attendueLue = false;
    bool obtenueLue = false;
    for (;;) {
        ++ligne.numeroLigne;
        ligne.test = lireLigneCommande(entreeTest, copieCommande);
        ligne.attendue = {};
        ligne.obtenue = "(X)";
        attendueLue = lireLigne(entreeSolution, ligne.attendue);
        obtenueLue = lireLigne(entreeVotre, ligne.obtenue);
        ligne.finAttendu = !attendueLue || (ligne.attendue.empty() && entreeSolution.epuisee);
        ligne.finTeste = !obtenueLue || (ligne.obtenue.empty() && entreeVotre.epuisee);
        ligne.obtenueSansSaut = !ligne.finTeste && entreeVotre.epuisee;
        const std::size_t rang = classerCommande(ligne.test);
        if (rang == aucuneCommande) {
            fin.ligneBlanche = !entreeTest.epuisee;
            break;
        }
        ligne.commande = extraireCommande(ligne.test);
        ligne.identiques = estIdentique(ligne.attendue, ligne.obtenue);
        observer(ligne);
        nbReussites[rang] += static_cast<std::int64_t>(ligne.identiques);
        ++nbTests[rang];
        ++fin.lignesComparees;
        if (entreeTest.epuisee && test.fail()) {
            attendueLue = false;
            obtenueLue = false;
            break;
        }
    }
    // A look at what is left, enough to say how much was never read.
    constexpr std::size_t plafondApercu = std::size_t{1} << 20;
    fin.resteTest = apercevoir(entreeTest, plafondApercu);
    fin.ligneBlanche = fin.ligneBlanche && fin.resteTest.octets > 0;
    fin.resteAttendu = (attendueLue && !ligne.finAttendu) || apercevoir(entreeSolution, 0).octets > 0;
    fin.resteVotre = (obtenueLue && !ligne.finTeste) || apercevoir(entreeVotre, 0).octets > 0;
    Decomptes decomptes;
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        decomptes.reussites[i] = nbReussites[i];
        decomptes.tests[i] = nbTests[i];
    }
    decomptes.autresReussites = nbReussites[autreCommande];
    decomptes.autresTests = nbTests[autreCommande];
    return decomptes;
}
