#ifndef VALIDEUR_EXECUTION_GROUPES_H
#define VALIDEUR_EXECUTION_GROUPES_H

#include "limites.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Who holds a run's limits: a control group of its own, in a cgroup v2
// hierarchy or in cgroup v1 (as root), or, where none is writable, the
// rlimits, the seccomp filter and the monitor's own accounting.
enum class ModeLimites { comptabilite, cgroupV1, cgroupV2 };

// "cgroup v2", "cgroup v1" or "seccomp et comptabilité".
const char* nommerModeLimites(ModeLimites mode);

// The class's groups, one folder per hierarchy, under this process's own
// group: each run's is made inside them.
struct GroupesControle {
    ModeLimites mode = ModeLimites::comptabilite;
    std::vector<std::string> classes; // the class's folder in each hierarchy used
    // Of those, where memory, processes, CPU weight and CPU time are set
    // or read (with cgroup v2, the same one).
    std::size_t memoire = 0, processus = 0, poids = 0, temps = 0;
    // cgroup v2, when this process had to leave its own group for a leaf
    // so that the controllers could be handed down: the group to go back to.
    std::string origine;
    std::string feuille;
    std::mutex verrou;
    std::uint64_t faits = 0; // groups made, naming the next
};

// Finds a writable hierarchy (unless `permis` is false) and makes the
// class's folders. Without one, the mode stays `comptabilite`.
void preparerGroupes(bool permis, GroupesControle& groupes);

// Removes the class's folders, and gives this process back its group.
void fermerGroupes(GroupesControle& groupes);

// The mode this machine would give, for --version: nothing is made.
ModeLimites sonderGroupes();

// One run's group: its folders, the descriptors its first process writes
// itself into, and the one its CPU time is read from. Within it, the
// program has a memory group of its own, limited to --memoire: the
// monitor, left room above it, still reports when the program has filled
// its share with files that outlive it. `programme` is that group's
// cgroup.procs, which the monitor's child writes itself into.
struct GroupeControle {
    ModeLimites mode = ModeLimites::comptabilite;
    std::vector<std::string> dossiers; // removed last to first
    std::vector<int> entrees;
    int temps = -1;
    int programme = -1;
    std::string dossierMemoire;
    std::string dossierProgramme;
};

// Makes a run's group with the run's limits: memory (everything it makes
// live, files of its tmpfs and shared memory included, no swap), processes,
// the same CPU weight as every other run. False, with errno set.
bool creerGroupe(GroupesControle& groupes, const Limites& limites, GroupeControle& groupe);

// In the child, between fork and exec: joins the group.
bool entrerGroupe(const GroupeControle& groupe);

// The group's CPU time so far, in microseconds.
std::uint64_t lireTempsGroupe(const GroupeControle& groupe);

// At the run's end: its peak memory in KiB, and whether the kernel killed
// a process of it for memory.
void mesurerGroupe(const GroupeControle& groupe, std::uint64_t& kio, bool& memoireDepassee);

// Kills what is left in it and removes it.
void supprimerGroupe(GroupeControle& groupe);

#endif
