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
//   plateforme/    a graded submission's mark, feedback and end files
//   options/       the command line
//   tables/        the tables, shares and their merging
//   deroulement/   a run's phases: the workers (travail.h), a class whose
//                  programs are run (execution_classe.h)
//   main.cpp       chooses what to do
//
// Below them all, the library (validation/) and the sandbox (execution/).
// tests/etages.sh checks this.

#endif
