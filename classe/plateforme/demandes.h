#ifndef VALIDEUR_CLASSE_DEMANDES_H
#define VALIDEUR_CLASSE_DEMANDES_H

#include "classe/formats/moodle.h"

#include <string>
#include <string_view>

// What the class is to be written into beyond its table, as the command
// line asks it: a feedback file per submission written as it is graded,
// and at the end Moodle's worksheet, results.json, JUnit XML and the class
// report.
struct DemandesPlateformes {
    std::string bareme;
    std::string retours;
    std::string moodle;
    LangueMoodle langueMoodle = LangueMoodle::fr;
    std::string moodleFeuille;         // the assignment's downloaded worksheet, to fill in
    std::string gradescope;
    std::string gradescopeMetadonnees; // empty: the autograder's own, when there
    std::string_view visibiliteCachee = "after_published";
    std::string junit;
    std::string html;
};

// Whether anything beyond the table was asked.
bool demandePlateformes(const DemandesPlateformes& demandes);

// Whether grading must keep each visible set's explanation and first
// failures.
bool expliquerRemises(const DemandesPlateformes& demandes);

#endif
