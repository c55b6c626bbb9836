#ifndef VALIDEUR_EXECUTION_REMISE_H
#define VALIDEUR_EXECUTION_REMISE_H

#include "bac_a_sable.h"
#include "boites.h"
#include "course.h"
#include "limites.h"

#include <atomic>
#include <string>

// How a class's submissions are run: the same for every one.
struct Execution {
    BacASable bac;
    Limites limites;
    std::string executer;
    std::string construire; // empty: nothing to build
    const std::atomic<bool>* arret = nullptr; // set: no new private copy
};

// One submission ready to be run: a private copy of its folder, built when
// there is a build command. Each run copies it again into its own sandbox.
struct Atelier {
    std::string dossier; // the private folder, removed by fermerAtelier
    Boite boite;         // its ids, when root: its build's and runs'
    Boites* boites = nullptr; // where they go back to
    int source = -1;     // what runs copy: the built copy, or the copy as submitted
    bool pret = false;
    std::string statut;  // why it could not be prepared, when it could not
    bool construite = false; // a build ran
    std::string finConstruction; // "normale", or how the build ended
    std::string messagesConstruction; // its first bytes of output, both streams
    double secondesConstruction = 0;
    double mioConstruction = 0;
};

// Copies the submission's folder and builds it. When the build fails,
// `finConstruction` says how and the submission is not to be run (the
// table says "ne compile pas").
void preparerAtelier(const Execution& execution, const std::string& chemin, Atelier& atelier);
void fermerAtelier(Atelier& atelier);

// One run of the prepared submission with `entree` as standard input.
// False with `statut` set when it could not start.
bool lancerCourse(const Execution& execution, const Atelier& atelier, int entree, Course& course,
                  std::string& dossier, std::string& statut);

// After terminerCourse: the run's working folder outside a sandbox removed,
// and the words of its end ("" when no report came: `statut` says why).
std::string conclureCourse(const Execution& execution, Course& course, std::string& dossier,
                           std::string& statut);

#endif
