#ifndef VALIDEUR_CLASSE_FORMATS_H
#define VALIDEUR_CLASSE_FORMATS_H

// Floor formats/: one file per format a graded class is written into
// beyond its table, each taking the plain values of resultats/ and a
// scheme's Notation: a student's feedback file (retour.h), Moodle's
// worksheet (moodle.h; the assignment's own downloaded one read in
// feuille_moodle.h, and either filled in notes_moodle.h), Gradescope's
// results.json (gradescope.h; the assignment's points in metadonnees.h),
// JUnit XML (junit.h), the class report in HTML (page.h). Beside decouverte/ and
// vue/; includes only resultats/ and sorties/, never grading nor the class
// view.

#endif
