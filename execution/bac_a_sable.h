#ifndef VALIDEUR_EXECUTION_BAC_A_SABLE_H
#define VALIDEUR_EXECUTION_BAC_A_SABLE_H

#include "boites.h"
#include "groupes.h"
#include "limites.h"

#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

// How submissions are run: in a bubblewrap sandbox (new user, PID,
// network, IPC and UTS namespaces; the system read-only; of /etc only what
// compilers and interpreters read; a private working folder and /tmp, each
// a tmpfs of the limited size; the monitor as PID 1), or, for a grader
// already in an isolated container, as plain processes.
struct BacASable {
    bool actif = true;
    std::string bwrap;    // its path
    std::string moniteur; // this program, started again as the monitor
    // Started by root, the sandbox is entered as an unprivileged user, so
    // that the process limit holds (root's processes are never counted):
    // each box its own (boites.h); this one, nobody, for the trial.
    bool changerUtilisateur = false;
    uid_t utilisateur = 65534;
    gid_t groupe = 65534;
    std::unique_ptr<Boites> boites = std::make_unique<Boites>();
    // The class's control groups, when a hierarchy is writable and
    // `groupesPermis` (--sans-cgroups clears it).
    bool groupesPermis = true;
    std::unique_ptr<GroupesControle> groupes = std::make_unique<GroupesControle>();
    std::vector<std::string> systeme; // the fixed part of bubblewrap's arguments
    std::string racine; // the class's folder of private copies, made beforehand
    std::string dossierMoniteur; // the folder of the monitor's copy, when there is one
    int filtre = -1; // the compiled seccomp filter, each run's descriptor 7
};

// Finds bubblewrap and this program, and tries the sandbox once. False with
// one line in `erreur` that says what to install or enable.
bool preparerBacASable(bool actif, BacASable& bac, std::string& erreur);

// Removes the monitor's copy, when one was made, the filter and the
// class's groups.
void fermerBacASable(BacASable* bac);

// The program and arguments of one run: bubblewrap and the monitor in it,
// or the monitor alone.
std::vector<std::string> construireCommande(const BacASable& bac, const Limites& limites,
                                            const char* mode, const std::string& commande);

// Starts `arguments` with descriptors[i] as its descriptor i (-1: closed),
// the filter read from its start as descriptor 7, the program's memory
// group (GroupeControle::programme) as 8, every other descriptor
// closed, an empty environment, in `dossier` when given, in `groupe` when
// given, as the box's user (the trial's without one) when root. Returns its
// pid, or -1.
pid_t demarrerProcessus(const BacASable& bac, const Boite* boite, const GroupeControle* groupe,
                        const std::vector<std::string>& arguments, const int (&descripteurs)[7],
                        const char* dossier);

#endif
