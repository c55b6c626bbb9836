#ifndef VALIDEUR_CLASSE_CANDIDATS_H
#define VALIDEUR_CLASSE_CANDIDATS_H

#include "classe/decouverte/remise.h"

#include <cstddef>
#include <string>
#include <vector>

// What the search of one REMISE folder found, before it becomes rows.
struct Candidat {
    Remise remise;          // named relative to the REMISE
    std::string eleve;      // the entry directly inside the REMISE it is under
    std::size_t profondeur = 0;
    bool resultats = false; // a results file by its name, not a folder left unread
};

struct Racine {
    std::vector<Candidat> candidats;
    std::vector<std::string> eleves; // the folders directly inside, each with its '/'
};

// The rows of one REMISE folder: per student the one submission graded,
// the best found (one that can be graded, not a copy of the expected
// results at `cheminAttendu`, the least deep, the first by name), with a
// warning when there were several; a folder without one is absent. Names
// get `avantNom` first.
void rangerRacine(const Racine& racine, const std::string& avantNom, const std::string& cheminAttendu,
                  Decouverte& decouverte);

// Sorts the rows as the table shows them, drops a row found twice, and
// warns of names that read the same.
void terminerDecouverte(Decouverte& decouverte);

#endif
