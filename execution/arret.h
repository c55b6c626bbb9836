#ifndef VALIDEUR_EXECUTION_ARRET_H
#define VALIDEUR_EXECUTION_ARRET_H

#include <atomic>
#include <string>
#include <thread>

// A class stopped midway (Ctrl-C, a closed terminal, kill): every run is
// ended and every private copy removed before the grader dies of the
// signal it got, as it would have without them.
struct Arret {
    std::atomic<bool> demande{false}; // no new private folder once set
    std::string racine;   // the one folder that holds this class's private copies
    bool bacActif = true; // bubblewrap's runs are killed; a bare monitor is asked to end its own
    std::thread veilleur;
    int reveil = -1;      // written when the class has ended on its own
    int verrou = -1;      // the folder's lock, held while this grader lives
};

// Blocks SIGINT, SIGTERM and SIGHUP (before any thread starts, so that
// every thread inherits it), removes the private folders of graders that
// are gone, creates this one's folder of private copies and
// starts the thread that waits for them. False with `erreur` set.
bool preparerArret(Arret& arret, std::string& erreur);

// Stops that thread, removes the folder and unblocks the signals: one
// that came after the watch ended is then taken as usual. After a stop,
// waits for the process to end: call it before writing any result.
void fermerArret(Arret* arret);

#endif
