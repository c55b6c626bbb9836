#ifndef VALIDEUR_EXECUTION_COPIE_H
#define VALIDEUR_EXECUTION_COPIE_H

#include <cstdint>

#include <sys/types.h>

// Copies the folder open at `source` into the one open at `destination`:
// folders, regular files and symbolic links, never following a link, and
// nothing else (pipes, devices and sockets are left out), at most 64
// folders deep. Every copy is readable and writable by its owner; with
// `proprietaire` other than -1 it is given to that user and group. Returns
// 0, or the errno of the first failure (ENOSPC when the destination is full,
// EFBIG past `plafond` bytes of files or `entreesMax` entries: nothing is
// written beyond either).
int copierDossier(int source, int destination, uid_t proprietaire, gid_t groupe,
                  std::uint64_t plafond = UINT64_MAX, std::uint64_t entreesMax = UINT64_MAX);

// Removes a folder and everything in it, never following a link. Returns
// false when something could not be removed.
bool supprimerDossier(const char* chemin);

// The same for the folder `nom` of the one open at `parent`: a link there is
// never followed.
bool supprimerDans(int parent, const char* nom);

#endif
