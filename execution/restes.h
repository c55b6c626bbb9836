#ifndef VALIDEUR_EXECUTION_RESTES_H
#define VALIDEUR_EXECUTION_RESTES_H

#include <string>

// The folder of a class's private copies carries a lock file, locked for
// as long as its grader lives: the lock goes with the process, however it
// ends, and holds across PID namespaces and pid reuse. A folder whose lock
// is free is a dead grader's leftover.
constexpr const char* nomVerrou = "valideur.verrou";
constexpr const char* prefixeDossierPrive = "valideur-classe.";

// Puts the lock file, locked, into `racine`: the descriptor to keep open
// as long as the folder is in use, or -1.
int marquerDossier(const std::string& racine);

// Removes from `base` every folder named valideur-classe.XXXXXX that is
// this user's own (never a link), holds a lock file and whose lock is free.
// Returns how many were removed.
int nettoyerRestes(const std::string& base);

#endif
