#ifndef VALIDEUR_CLASSE_RETOUR_H
#define VALIDEUR_CLASSE_RETOUR_H

#include "classe/resultats/bareme.h"
#include "classe/resultats/resultats.h"

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

// The feedback file a student gets: how each run ended, the compiler's
// first lines, the start of standard error, counts and marks per set and
// word, and for each visible set the explanation valideur gives on a
// terminal; of a hidden set only how it ended and its counts. UTF-8 text
// of at most `lignesRetour` lines.
constexpr std::size_t lignesRetour = 60;
constexpr std::size_t lignesCompilateur = 8;
constexpr std::size_t lignesErreurs = 4;

// `bareme` is null without a scheme; the notation is then lines passed.
void ecrireRetour(std::ostream& sortie, const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                  const Notation& notation, const Bareme* bareme);

// The feedback of the visible sets only, as a student sees it at once on
// a platform that shows the rest later: without the total while a set is
// hidden.
std::string ecrireRetourVisible(const std::vector<Jeu>& jeux, const ResultatRemise& remise,
                                const Notation& notation, const Bareme* bareme);

// The folder of a submission's feedback: named like the submission, or as
// Moodle's feedback upload reads it ("Nom Prénom_N_assignfeedback_file_")
// when asked and its name carries a participant number. One path part,
// never "." or "..", no control character.
std::string nommerDossierRetour(std::string_view nom, std::string_view identifiant, bool moodle);

#endif
