#ifndef VALIDEUR_CLASSE_CLE_H
#define VALIDEUR_CLASSE_CLE_H

#include "classe/notation/jeux.h"
#include "classe/notation/notation.h"
#include "classe/options/options.h"
#include "classe/vue/vue.h"

#include "execution/arret.h"
#include "execution/remise.h"

#include <memory>
#include <string>
#include <vector>

// What a class is graded against, in either mode, read before anything
// else: the test file and the expected results, or the test sets and the
// sandbox their runs go into.

// Running the submissions: the stop in the middle of a class and the
// sandbox, closed in that order's reverse whatever the way out.
struct Lancement {
    Arret arret;
    Execution execution;
    std::unique_ptr<Arret, void (*)(Arret*)> gardeArret{nullptr, fermerArret};
    std::unique_ptr<BacASable, void (*)(BacASable*)> gardeBac{nullptr, fermerBacASable};
};

struct Cle {
    // The test file and the expected results, with every file the run
    // knows: no submission may be one of them, no output written over one.
    Corrige corrige;
    // Results files: the lines of each word of the test file, and how its
    // walk ended.
    Decomptes maxima;
    FinParcours finTest;
    // Runs: the test sets, whether the class view follows the one set
    // whose lines may be shown, and the sandbox.
    std::vector<JeuCorrige> jeux;
    bool vueSuivie = false;
    std::unique_ptr<Lancement> lancement;
    unsigned taches = 1;
    std::string bilan; // what the closing line adds (" ; limites : cgroup v1"...)
};

// Reads the key of the mode asked for; `vue` is filled with the test lines
// when not null. False with the reason said.
bool lireCle(const Options& options, VueClasse* vue, Cle& cle);

// The sets as the platforms' writers take them.
std::vector<Jeu> decrireJeux(const Options& options, const Cle& cle);

#endif
