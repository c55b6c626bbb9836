#ifndef VALIDEUR_EXECUTION_MONITEUR_H
#define VALIDEUR_EXECUTION_MONITEUR_H

// The monitor: valideur-classe started again, inside the sandbox, as its
// first process. It copies the submission into its working folder, runs the
// command under /bin/sh -c with the run's limits, reaps every process, ends
// them all when the command ends or its wall-clock time is up, and reports
// the command's end, CPU time and peak memory. The program never sees it:
// PID 1 of its namespace ignores the signals the program could send, and it
// is not dumpable, so /proc shows nothing of it.

// The argument that starts the monitor instead of the class program.
constexpr const char* argumentMoniteur = "--moniteur-interne";

// Descriptors the monitor is given beyond 0, 1 and 2: where it writes its
// report; what it watches for an early end (readable or closed: stop); the
// folder it copies from; for a build, the folder the built copy goes to;
// the compiled seccomp filter (bubblewrap's in a sandbox; outside one, the
// monitor loads it on the command); with a control group, the program's
// memory group, which the command enters.
constexpr int descripteurRapport = 3;
constexpr int descripteurControle = 4;
constexpr int descripteurSource = 5;
constexpr int descripteurRetour = 6;
constexpr int descripteurFiltre = 7;
constexpr int descripteurGroupeProgramme = 8;

// What the monitor is asked: a build (its folder copied back out, no line
// buffering) or a run.
constexpr const char* modeConstruction = "construire";
constexpr const char* modeExecution = "executer";

// The coreutils library that makes a dynamically linked program's stdio
// line-buffered, as stdbuf -oL does.
constexpr const char* bibliothequeStdbuf = "/usr/libexec/coreutils/libstdbuf.so";

// argv: program, argumentMoniteur, mode, the limits (ecrireLimites), the
// command. Returns the monitor's exit status.
int lancerMoniteur(int argc, char* argv[]);

#endif
