#ifndef VALIDEUR_CLASSE_DECOUVERTE_H
#define VALIDEUR_CLASSE_DECOUVERTE_H

#include <string>
#include <string_view>
#include <vector>

// One submission to grade, or a student's folder that holds none.
struct Remise {
    std::string chemin; // as it can be opened
    std::string nom;    // relative to the REMISE it was found in, or the REMISE itself
    // Found by searching a folder: only a regular file is a results file
    // there; a REMISE named on the command line may be a pipe.
    bool trouvee = false;
    // Set when what could be found already tells why it cannot be graded:
    // ENOENT for a student's folder without a results file, the error of a
    // folder that could not be read.
    int erreur = 0;
};

struct Decouverte {
    std::vector<Remise> remises; // sorted by name
    std::vector<std::string> ignores; // paths that look like results files but do not match
};

// True when `nom` does not match `motif` but looks like a results file that
// was misnamed: it matches once letter case is ignored, or a part of it
// ending before a '.' does (an extra suffix such as ".txt").
bool ressembleAuMotif(std::string_view nom, const std::string& motif);

// Each REMISE that is a folder is searched recursively for files whose base
// name matches `motif` (fnmatch); links to folders are not followed. Each
// folder directly inside a REMISE that holds no results file, anywhere
// under it, is a student without one: it gets a row. A REMISE that is no
// folder is a submission itself.
Decouverte decouvrirRemises(const std::vector<std::string>& racines, const std::string& motif);

#endif
