#ifndef VALIDEUR_CLASSE_DEFINITIONS_H
#define VALIDEUR_CLASSE_DEFINITIONS_H

#include "classe/options/reglages.h"

#include <string>
#include <string_view>
#include <vector>

// Every option of valideur-classe, each defined once: the parser, --help
// and the tests of the completion script and the manual page all read this
// table.

// What reading the command line gathers besides the options' values.
struct Lecture {
    Options& options;
    Demande demande = Demande::noter;
    bool tempsDonne = false; // --temps given: --temps-reel does not bound it
    bool langueMoodleDonnee = false;
};

// Reads an option's value (null for an option without one) into `lecture`;
// `nom` is the option as written. False with `erreur` on a bad value.
using LireOption = bool (*)(Lecture& lecture, const char* valeur, const std::string& nom, std::string& erreur);

// The parts of --help, in its order.
enum class Groupe { notation, execution, information };

struct DefinitionOption {
    std::string_view longue;
    char courte;             // '\0' for none
    std::string_view valeur; // the value's name in --help, empty when it takes none; "a|b" lists the choices
    Groupe groupe;
    bool fichier;            // its value is a file or a folder: completed with their names
    std::string_view aide;   // --help's text, its lines past the first aligned under it
    LireOption lire;
};

// In the order of --help.
const std::vector<DefinitionOption>& listerOptions();

#endif
