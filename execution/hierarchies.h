#ifndef VALIDEUR_EXECUTION_HIERARCHIES_H
#define VALIDEUR_EXECUTION_HIERARCHIES_H

#include <cstdint>
#include <string>
#include <vector>

// A cgroup hierarchy this process is in, and the folder of its own group
// there.
struct Hierarchie {
    bool v2 = false;
    std::string options; // a v1 hierarchy's controllers, comma-separated
    std::string dossier;
};

// Every cgroup hierarchy mounted, with this process's group folder in each
// one it can see.
std::vector<Hierarchie> listerHierarchies();

// The v2 hierarchy where this process's group lends memory, pids and cpu
// and may be written, or -1.
int chercherV2(const std::vector<Hierarchie>& hierarchies);

// The v1 hierarchy of memory, pids, cpu and cpuacct, in that order, when
// root may write them all.
bool chercherV1(const std::vector<Hierarchie>& hierarchies, int (&indices)[4]);

// A control file read whole; written in one write (false, errno set).
std::string lireFichier(const std::string& chemin);
bool ecrire(const std::string& chemin, const std::string& texte);

// The number after `cle` in a "key value" file (memory.events, cpu.stat,
// memory.oom_control); 0 without it.
std::uint64_t lireCle(const std::string& texte, const std::string& cle);

#endif
