#ifndef VALIDEUR_CLASSE_DECOUVERTE_H
#define VALIDEUR_CLASSE_DECOUVERTE_H

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

// The status word for an error of open(2) or opendir(3).
std::string decrireErreur(int erreur);

// True when `nom` does not match `motif` but looks like a results file that
// was misnamed: it matches once letter case is ignored, or a part of it
// ending before a '.' does (an extra suffix such as ".txt").
bool ressembleAuMotif(std::string_view nom, const std::string& motif);

// The participant number in a name such as
// "Jean Dupont_123456_assignsubmission_file_", or empty.
std::string extraireIdentifiant(std::string_view nom);

// Each REMISE that is a folder is searched recursively for files whose base
// name matches `motif` (fnmatch). Each entry directly inside it is a
// student: one row each, a folder without a results file included. A
// folder named as a course platform names a student's (with a participant
// number) is that one student, however many files it holds. Links
// inside are not followed unless `suivreLiens`. A REMISE that is no folder
// is a submission itself. A student's copy of the expected results beside
// the results of their program is not the one graded.
Decouverte decouvrirRemises(const std::vector<std::string>& racines, const std::string& motif,
                            bool suivreLiens, const std::string& cheminAttendu);

#endif
