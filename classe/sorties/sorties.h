#ifndef VALIDEUR_CLASSE_SORTIES_H
#define VALIDEUR_CLASSE_SORTIES_H

// Floor sorties/, the bottom of valideur-classe: what every other floor
// writes with and names files by. Standard error's lines and the status
// words of a failed open (sorties.h), files known by identity (identites.h),
// table cells made harmless (tableau.h), escapes for JSON, XML and HTML
// (echappement.h), the progress line (progression.h), the fingerprint of
// files and submissions (empreinte.h), a table written into its file
// (ecriture.h). Includes nothing of
// valideur-classe outside this folder.

#include "classe/sorties/identites.h"

#include <string>
#include <string_view>

#include <sys/stat.h>

// A row's status, in the table's words, each spelled here: a submission
// graded, a student without one (or a path naming nothing), a link not
// followed, a path too long to open.
inline constexpr std::string_view statutOk = "ok";
inline constexpr std::string_view statutAbsent = "absent";
inline constexpr std::string_view statutLien = "lien";
inline constexpr std::string_view statutTropLong = "chemin trop long";

// What begins each of the program's lines on standard error.
inline constexpr std::string_view prefixe = "valideur-classe : ";

// "valideur-classe : CHEMIN : MOTIF" on standard error, the path made
// harmless.
void signalerErreur(std::string_view chemin, std::string_view motif);

// The status word for an error of open(2) or opendir(3).
std::string decrireErreur(int erreur);

// Descriptors 0 to 2 that were closed at start are opened on /dev/null, so
// that no file the run opens takes their number and receives what is meant
// for them. Returns whether standard output was closed.
bool ouvrirDescripteursStandard();

// Opens a file for reading as valideur does, without waiting on a pipe
// found by a search, and without following a link when `sansLien`: returns
// the descriptor, or -1 with `statut` saying why (a directory is not a
// file).
int ouvrirLecture(const std::string& chemin, bool ordinaireSeulement, bool sansLien,
                  struct stat& infos, std::string& statut);

// Opens a table's file for writing: never over a file the run knows (an
// input, the other table), whatever the path that names it, and never
// waiting on a pipe without a reader. A regular file is emptied only once
// checked, or, when `vider` is false, left as it is until viderFichier:
// a class stopped midway then leaves the last results whole. Returns -1
// with `erreur` saying why.
int ouvrirEcriture(const std::string& chemin, const Identites& identites, std::string& erreur,
                   bool vider = true);

// Empties a regular file opened without it, just before it is written.
bool viderFichier(int descripteur);

// Writes the whole of `texte`, again after a signal. False when it could
// not.
bool ecrireTout(int descripteur, std::string_view texte);

// Whether `chemin`, once its folder's links are resolved, names a file
// inside `dossier`.
bool estDansDossier(const std::string& chemin, const std::string& dossier);

// The participant number of a name in the course platform's form
// "Nom Prénom_123456_assignsubmission_file_", taken from the path's part
// that carries it, empty when there is none; `nomComplet` gets the part
// before it.
std::string extraireParticipant(std::string_view nom, std::string* nomComplet = nullptr);

// The path without the '/' that end it, but a lone one.
std::string_view retirerBarresFinales(std::string_view chemin);

// Why standard output cannot take the table, or empty: a file the run
// reads.
std::string verifierSortieStandard(const Identites& identites);

#endif
