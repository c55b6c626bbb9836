#ifndef VALIDEUR_EXECUTION_LIMITES_H
#define VALIDEUR_EXECUTION_LIMITES_H

#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint64_t octetsParMio = std::uint64_t{1} << 20;

// What one run of a submission may use. Each run has its own: the counts are
// kept per process (rlimits) or per sandbox (its user namespace counts its
// processes), never per user of the machine.
struct Limites {
    double temps = 10;       // CPU seconds
    double tempsReel = 0;    // wall-clock seconds; 0: twice the CPU time plus 5
    std::uint64_t memoire = 512 * octetsParMio; // address space of each process
    std::uint64_t processus = 64;
    std::uint64_t sortieMax = 32 * octetsParMio; // standard output read by the grader
    std::uint64_t fichierMax = 16 * octetsParMio; // one file written
    std::uint64_t espace = 64 * octetsParMio;     // the working folder, and /tmp
};

// The wall-clock limit once the default is resolved.
double calculerTempsReel(const Limites& limites);

// Files, folders and links a run's private folders may hold, and its built
// folder copied back: so many per MiB of --espace. An empty file costs the
// kernel about a KiB, held by no other limit.
constexpr std::uint64_t entreesParMio = 1024;
std::uint64_t calculerEntreesMax(const Limites& limites);

// A duration in seconds (a decimal with a point, from 0.01 up to a day) or
// a size in MiB (a whole number, from 1 up to 1 TiB): false on anything
// else.
bool lireSecondes(const char* texte, double& secondes);
bool lireMio(const char* texte, std::uint64_t& octets);

// The limits as the monitor reads them back from its command line.
std::vector<std::string> ecrireLimites(const Limites& limites);
bool lireLimites(char* const* arguments, int nombre, Limites& limites);
constexpr int nombreArgumentsLimites = 7;

#endif
