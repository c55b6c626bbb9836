#ifndef VALIDEUR_EXECUTION_VERDICT_H
#define VALIDEUR_EXECUTION_VERDICT_H

#include "limites.h"

#include <cstdint>
#include <string>
#include <string_view>

// What the monitor saw of a run, and what the runner added to it.
struct Rapport {
    bool recu = false;     // the monitor reported: the figures below hold
    int statut = 0;        // wait status of the command's shell
    bool termine = false;  // the shell ended by itself
    bool horloge = false;  // the monitor's wall clock ended the run
    bool arrete = false;   // the runner asked for the end
    bool tempsTotal = false; // the CPU time of all its processes together passed --temps
    bool espaceDepasse = false; // its private folders, or its built copy, passed --espace
    std::uint64_t microsecondes = 0; // CPU time of every process of the run
    std::uint64_t kio = 0;           // peak resident memory of its largest process
    int erreur = 0;        // errno of a copy or of a fork that failed before the command ran
    // Set by the runner.
    bool sortieDepassee = false;
    bool delaiDepasse = false; // the runner's own clock, past the monitor's
    bool tempsDepasse = false;   // the run's control group used its CPU time
    bool memoireDepassee = false; // the kernel killed in the group for memory
};

// How a run ended, in the table's words, each spelled here: the end of a
// run that went well, of a build that failed (its sets never ran), of a
// run or build that wrote past --espace.
inline constexpr std::string_view finNormale = "normale";
inline constexpr std::string_view finNonCompilee = "ne compile pas";
inline constexpr std::string_view finEspaceDepasse = "espace d\xC3\xA9pass\xC3\xA9";
inline constexpr std::string_view finTempsDepasse = "temps d\xC3\xA9pass\xC3\xA9";
inline constexpr std::string_view finMemoireDepassee = "m\xC3\xA9moire d\xC3\xA9pass\xC3\xA9" "e";
inline constexpr std::string_view finSortieTropLongue = "sortie trop longue";
inline constexpr std::string_view finPlantage = "plantage"; // followed by the signal, in parentheses

// How a run ended, in the table's words: "normale", "temps dépassé",
// "mémoire dépassée", "plantage (SIGSEGV : erreur de segmentation)",
// "statut N", "sortie trop longue", "espace dépassé". Without cgroups a refused allocation
// shows only as an abnormal end with the peak memory near the limit.
std::string deciderFin(const Rapport& rapport, const Limites& limites);

// "SIGSEGV : erreur de segmentation", or "signal N" for one without a name.
std::string decrireSignal(int signal);

// The line of text the monitor writes, and its reading.
std::string ecrireRapport(const Rapport& rapport);
bool lireRapport(const std::string& texte, Rapport& rapport);

#endif
