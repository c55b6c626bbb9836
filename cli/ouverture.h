#ifndef VALIDEUR_OUVERTURE_H
#define VALIDEUR_OUVERTURE_H

#include <string>
#include <string_view>

// Which of the three inputs a path names, by its place on the command line.
enum class Role { test, attendu, teste };

// Why an input could not be opened, for the line a terminal shows after
// "Erreur ouverture": which file it is, the reason from the system's error
// (`erreur` an errno value, or 0 when the path opened as a directory), and
// what an empty path or a path that looks like an option probably is.
std::string expliquerOuverture(Role role, std::string_view chemin, int erreur);

#endif
