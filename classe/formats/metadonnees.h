#ifndef VALIDEUR_CLASSE_METADONNEES_H
#define VALIDEUR_CLASSE_METADONNEES_H

#include "classe/resultats/bareme.h"

#include <optional>
#include <string>
#include <string_view>

// What a hosted autograder says of the assignment in its
// submission_metadata.json: `assignment.total_points`, a number or a
// string holding one ("20.0"). Nothing when the JSON is not well formed or
// has no such number.
inline constexpr const char* cheminMetadonneesGradescope = "/autograder/submission_metadata.json";

std::optional<double> lirePointsGradescope(std::string_view json);

// The assignment's points from the metadata at `chemin`, or from the
// autograder's own file when `chemin` is empty and it is there; they must
// be the scheme's scale (null: none). Without either, there is no scale to
// grade on. False with `erreur` set.
bool lirePointsAttendus(const std::string& chemin, const Bareme* bareme, std::optional<double>& points,
                        std::string& erreur);

#endif
