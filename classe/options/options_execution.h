#ifndef VALIDEUR_CLASSE_OPTIONS_EXECUTION_H
#define VALIDEUR_CLASSE_OPTIONS_EXECUTION_H

#include "classe/options/reglages.h"

#include <string>

// The options of running submissions, past the platforms'.
enum : int {
    optionExecuter = 0x200,
    optionConstruire,
    optionJeux,
    optionSansBac,
    optionTemps,
    optionTempsReel,
    optionMemoire,
    optionProcessus,
    optionSortieMax,
    optionFichierMax,
    optionEspace,
};

// Reads one of them into `options`; false with `erreur` on a bad value.
bool lireOptionExecution(int option, const char* valeur, const std::string& nom, Options& options,
                         std::string& erreur);

// What the options of running ask together; false with `erreur`.
bool verifierExecution(const Options& options, std::string& erreur);

#endif
