#ifndef VALIDEUR_CLASSE_NOTES_MOODLE_H
#define VALIDEUR_CLASSE_NOTES_MOODLE_H

#include "classe/formats/feuille_moodle.h"
#include "classe/formats/moodle.h"
#include "classe/resultats/bareme.h"

#include <ctime>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

// The class's grades for a Moodle assignment: its own downloaded worksheet
// filled in when given, else a worksheet of our own in the language asked.

// Reads the downloaded worksheet at `chemin` and checks it against the
// scheme, null when there is none: the scheme's scale must be the
// assignment's maximum grade. Without a worksheet a scheme is needed, a
// count of lines being no Moodle grade. False with `erreur` set.
bool preparerMoodle(const std::string& chemin, const Bareme* bareme, std::optional<FeuilleMoodle>& feuille,
                    std::string& erreur);

// The participant numbers of the worksheet's rows.
std::set<std::string> listerParticipants(const FeuilleMoodle& feuille);

// One submission as the worksheet takes it.
struct NoteMoodle {
    std::string nom;  // its row's name, "Nom Prénom_123456_assignsubmission_file_"
    bool trouvee = true;
    std::optional<double> note; // on the worksheet's scale
    std::string commentaire;    // one line of plain text
};

// The worksheet's text. Says in `erreurs` what no row takes: a
// submission without a participant number, or with a number in no row of
// the downloaded worksheet (a team's group number, another assignment's
// export), rows the gradebook will not let change, two submissions of one
// participant.
// Rows of our own worksheet say `instant` as last modified.
std::string remplirMoodle(const std::string& chemin, std::optional<FeuilleMoodle>& feuille, LangueMoodle langue,
                          const std::vector<NoteMoodle>& notes, double sur, int decimales, std::time_t instant,
                          std::ostream& erreurs);

// One line for a row's comment: the mark out of `sur`, and each set's
// lines passed and how its run ended as a student may read it.
std::string resumerMoodle(const std::vector<Jeu>& jeux, const ResultatRemise& remise, std::optional<double> note,
                          double sur, int decimales);

// For the closing line, without a downloaded worksheet: what to set on the
// assignment, which the file cannot say.
std::string conclureMoodle(double sur, LangueMoodle langue);

#endif
