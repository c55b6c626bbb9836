#ifndef VALIDEUR_FICHIER_H
#define VALIDEUR_FICHIER_H

#include <ext/stdio_filebuf.h>

#include <sys/stat.h>

// A file as both programs handle it: a stream over a descriptor they
// opened themselves, and a file known by its identity rather than by the
// path that reached it.
using Fichier = __gnu_cxx::stdio_filebuf<char>;

inline bool estMemeFichier(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

#endif
