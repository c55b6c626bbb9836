#ifndef VALIDEUR_EXECUTION_CONSOMMATION_H
#define VALIDEUR_EXECUTION_CONSOMMATION_H

#include "limites.h"

#include <cstdint>

// What a run has used so far, as its monitor sees it with no control group
// to ask.

// CPU time, in microseconds, of every process of the run: those the
// monitor has reaped, and each one still there with the children it has
// reaped itself. In a sandbox every process but the monitor is of the run;
// outside, the monitor's descendants (it adopts their orphans), found from
// it down, never by reading every process of the machine.
std::uint64_t mesurerTemps(bool premier);

// True when the sandbox's private file systems (the working folder, /tmp,
// /dev/shm) hold together more than --espace, in bytes or in entries.
bool depasserEspace(const Limites& limites);

#endif
