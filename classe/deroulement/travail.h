#ifndef VALIDEUR_CLASSE_TRAVAIL_H
#define VALIDEUR_CLASSE_TRAVAIL_H

#include "classe/notation/jeux.h"
#include "classe/notation/notation.h"
#include "classe/plateforme/plateforme.h"

#include "execution/remise.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

// What the workers share: the submissions, the rows they fill, one each,
// and the count of those done.
struct Travail {
    const Corrige& corrige;
    const std::vector<Remise>& remises;
    std::size_t premiere; // the first row's number among every submission found
    std::vector<Note>& notes;
    VueClasse* vue;
    Plateformes* plateformes; // null when nothing beyond the table is asked
    const Execution* execution; // running each submission, or reading its results files
    const std::vector<JeuCorrige>* jeux;
    const Bareme* bareme;           // the scheme that gives each row its mark, null for none
    const std::vector<Jeu>* jeuxNotes; // the sets as the scheme weighs them
    std::atomic<std::size_t> prochaine{0};
    std::atomic<std::size_t> faites{0};
    std::mutex verrou;
    std::condition_variable toutesFaites;
    std::vector<std::size_t> relancees; // rows run again alone, at the end
};

// Grades every submission on `taches` threads; shows the progress on
// standard error when it is a terminal.
void noterTout(Travail& travail, unsigned taches, bool terminal);

#endif
