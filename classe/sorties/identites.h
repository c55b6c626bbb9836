#ifndef VALIDEUR_CLASSE_IDENTITES_H
#define VALIDEUR_CLASSE_IDENTITES_H

#include <cstddef>
#include <string>
#include <vector>

#include <sys/stat.h>

// The files a run knows, by identity (device and inode) rather than by
// path: whatever name reaches a file, through links or /proc/self/fd, it is
// the same file. Nothing is written over one of them, and no row reads
// another's.

enum class Role { test, attendu, remise, sortie, part };

struct Connu {
    dev_t appareil = 0;
    ino_t inode = 0;
    Role role = Role::remise;
    std::size_t rangee = 0; // for a submission: its row
};

// Sorted by identity once every file is in.
using Identites = std::vector<Connu>;

void ajouterIdentite(Identites& identites, const struct stat& infos, Role role, std::size_t rangee = 0);
void trierIdentites(Identites& identites);

// The known file that `infos` is, other than row `rangee`'s own, or nullptr.
const Connu* chercherAutre(const Identites& identites, const struct stat& infos, std::size_t rangee);

// Why a submission cannot be read when it is `autre`: "même fichier que
// le test"...
std::string decrireAutre(const Connu& autre);

#endif
