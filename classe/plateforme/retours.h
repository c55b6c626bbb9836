#ifndef VALIDEUR_CLASSE_RETOURS_H
#define VALIDEUR_CLASSE_RETOURS_H

#include "classe/plateforme/demandes.h"

#include <set>
#include <string>

// The feedback folder: one folder per submission, its file inside.

// The feedback file's name in each submission's folder.
inline constexpr const char* nomRetour = "retour.txt";

// Creates the feedback folder, and those above it. False when it is not
// a folder after that.
bool creerDossierRetours(const std::string& dossier);

// A submission's folder name not given yet, now taken: a second submission
// of the same name gets "_2", and so on.
std::string reserverDossier(std::set<std::string>& pris, const std::string& nom);

// Writes one feedback file, never through a link planted in the folder.
bool ecrireRetourFichier(const std::string& racine, const std::string& dossier, const std::string& texte);

// The feedback folder as a link from the report's folder, ending in '/',
// empty when they are the same.
std::string lierRetours(const DemandesPlateformes& demandes);

#endif
