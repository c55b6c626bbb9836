#ifndef VALIDEUR_CLASSE_DEROULEMENT_H
#define VALIDEUR_CLASSE_DEROULEMENT_H

// valideur-classe, by floors; each folder is a library that includes only
// the floors below it, and folders on one floor never include each other:
//
//   sorties/       standard error, files known by identity, table cells,
//                  escapes, the progress line
//   resultats/     a graded class as plain values, the grading scheme
//   decouverte/    finding the submissions        (these three side by side,
//   vue/           the class view                  on one floor)
//   formats/       one writer per output format
//   notation/      grading one submission, from its results or by running
//                  it; the maxima, the test sets, the run's warnings
//   plateforme/    a graded submission's feedback, the end's files
//   options/       the command line
//   tables/        the tables, shares and their merging
//   deroulement/   one class graded, phase after phase, in either mode
//                  (deroulement.h): its key (cle.h), the workers (travail.h)
//   main.cpp       chooses what to do: help, a merge, or grading
//
// Below them all, the library (validation/) and the sandbox (execution/).
// tests/etages.sh checks this.

#include "classe/options/options.h"

// Grades a class, its submissions' results files or, with --executer, their
// runs, in one sequence of phases: read the key, find the submissions, take
// the share, open the outputs, say the run's warnings, grade, write the
// tables, conclude. The status: 2 when nothing could be graded (the reason
// said), 1 when a submission found was not graded or a file could not be
// written, else 0.
int noterClasse(const Options& options, bool sortieFermee);

#endif
