#ifndef VALIDEUR_EXECUTION_COURSE_H
#define VALIDEUR_EXECUTION_COURSE_H

#include "bac_a_sable.h"
#include "groupes.h"
#include "limites.h"
#include "verdict.h"

#include <chrono>
#include <cstdint>
#include <streambuf>
#include <string>

// Standard error kept of a run, for feedback.
constexpr std::size_t erreursGardees = std::size_t{64} * 1024;

// One run in progress: the monitor (in its sandbox), the pipes from it, and
// the runner's own clock, a backstop half a second past the monitor's.
struct Course {
    pid_t processus = -1;
    int sortie = -1;   // the command's standard output
    int erreurs = -1;  // its standard error (a build's output too)
    int rapport = -1;
    int controle = -1; // closed to end the run early
    std::chrono::steady_clock::time_point limite;
    std::uint64_t lus = 0;
    std::uint64_t sortieMax = 0;
    std::string messages; // the first erreursGardees bytes of standard error
    std::string texteRapport;
    Rapport resultat;
    // Its control group, when there is one: the whole run's CPU time is
    // read in it as the run goes, and the run ended past --temps.
    GroupeControle groupe;
    std::uint64_t microsecondesMax = 0;
    std::chrono::steady_clock::time_point prochaineMesure;
};

// What to run: a build, whose standard output joins its standard error
// and whose folder is copied back to `retour`, or a run, with the test set
// on standard input. `source` is the folder copied into the working one.
struct DemandeCourse {
    const BacASable* bac = nullptr;
    const Limites* limites = nullptr;
    bool construction = false;
    const std::string* commande = nullptr;
    int entree = -1;
    int source = -1;
    int retour = -1;
    const char* dossier = nullptr; // the working folder outside a sandbox
    const Boite* boite = nullptr;  // its user ids, when root
};

// Starts the monitor. False, with errno set, when it could not be started.
bool demarrerCourse(const DemandeCourse& demande, Course& course);

// Up to `taille` bytes of the command's standard output, read as they come
// while standard error is kept; 0 at its end, past the output limit (the
// run is then ended) or past the runner's clock.
std::size_t lireSortie(Course& course, char* tampon, std::size_t taille);

// Reads what is left (standard output is counted, not kept), waits for the
// monitor's report and its end. `resultat.recu` is false when no report
// came: the runner's clock or a sandbox that could not start.
void terminerCourse(Course& course);

// The command's standard output as a stream for the grading loop: it is
// never held whole. It is handed over in full blocks, as a file would be,
// waiting for each: the loop, and its look past the last test line, then
// see the same bytes at the same places whatever the pace of the run, so
// that the same program is graded and diagnosed the same way twice.
struct TamponCourse : std::streambuf {
    explicit TamponCourse(Course& c) : course(&c) {}
    Course* course;
    char zone[64 * 1024] {};
    int_type underflow() override;
    std::streamsize showmanyc() override;
};

#endif
