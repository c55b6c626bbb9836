#ifndef VALIDEUR_EXECUTION_FILTRE_H
#define VALIDEUR_EXECUTION_FILTRE_H

#include <cstddef>
#include <string>

// The system calls a run may not make, refused with EPERM: what takes
// memory or a share of the processor that no limit of a process bounds.
// Memory files (memfd_create, memfd_secret) and System V shared memory,
// message queues and semaphores live as long as the machine, outside
// --memoire and --espace; a new session (setsid) is a new scheduler
// autogroup, as heavy as a whole run beside the others. On x86-64 the i386
// and x32 system calls are filtered alike; any other architecture's kills.

// The filter compiled into a memory file, read from its start: bubblewrap's
// --seccomp, or the monitor outside a sandbox. -1 with errno set.
int compilerFiltre();

// The compiled program, read whole from `descripteur`.
bool lireFiltre(int descripteur, std::string& programme);

// Loads it on this process, with no_new_privs. Only system calls: safe
// between fork and exec.
bool chargerFiltre(const char* programme, std::size_t taille);

#endif
