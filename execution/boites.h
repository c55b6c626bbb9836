#ifndef VALIDEUR_EXECUTION_BOITES_H
#define VALIDEUR_EXECUTION_BOITES_H

#include <mutex>
#include <vector>

#include <sys/types.h>

// Started by root, every box running at the same time has a user and group
// id of its own, so that process counts, signals, inotify instances and
// locks are each run's own. A grader takes a block of ids from the reserved
// range, held for as long as it runs; each box takes the first free one.
constexpr uid_t premierIdentifiantBoite = 0x70000000; // 1879048192
constexpr unsigned identifiantsParBloc = 1024;        // as many as -j allows
constexpr unsigned nombreBlocs = 4096;

struct Boites {
    std::mutex verrou;
    std::vector<bool> prises;
    uid_t premier = 0;
    int reservation = -1; // the socket whose name holds the block
};

// A box's ids; `indice` is -1 when none was taken (not root).
struct Boite {
    uid_t utilisateur = 65534;
    gid_t groupe = 65534;
    int indice = -1;
};

// Claims a free block; false when every one is held.
bool reserverBoites(Boites& boites);
void libererBoites(Boites& boites);

// Takes the first free id of the block, and gives it back.
bool prendreBoite(Boites& boites, Boite& boite);
void rendreBoite(Boites& boites, Boite& boite);

#endif
