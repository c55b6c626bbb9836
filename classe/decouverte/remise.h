#ifndef VALIDEUR_CLASSE_REMISE_H
#define VALIDEUR_CLASSE_REMISE_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

// One row of the table: a student's submission, or a student's folder that
// holds none.
struct Remise {
    std::string chemin; // as it can be opened
    std::string nom;    // the row's name
    // Found by searching a folder: only a regular file is a results file
    // there, opened without following a link; a REMISE named on the command
    // line may be a pipe or a link.
    bool trouvee = false;
    bool suivreLiens = false;
    // Why it cannot be graded, when what could be found already tells:
    // "lien", "chemin trop long", the error of a folder that could not be
    // read... Empty otherwise.
    std::string statut;
    // A student's folder without a results file: an outcome, not a failure.
    bool absente = false;
    // The file's identity as found, when it could be seen.
    bool identifiee = false;
    struct stat infos {};
    // The student's other results files, not graded: nothing is written
    // over them either.
    std::vector<struct stat> autresFichiers;
    // A course platform's participant number, from the folder's name.
    std::string identifiant;
};

Remise creerRemise(std::string chemin, std::string nom, std::string statut = {});

struct Decouverte {
    std::vector<Remise> remises;      // sorted by name as the table shows it
    std::vector<std::string> ignores; // paths that look like results files but do not match
    std::vector<std::string> avertissements; // one line each
};

#endif
