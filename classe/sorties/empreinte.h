#ifndef VALIDEUR_CLASSE_EMPREINTE_H
#define VALIDEUR_CLASSE_EMPREINTE_H

#include <cstdint>
#include <string>
#include <string_view>

// FNV-1a, 64 bits, taken eight bytes at a time (little-endian words, the
// last bytes one by one), whatever the pieces the bytes come in: what
// tells a share's files and submissions apart from others, fast enough
// for every share to read the whole class. Not meant to resist someone
// forging a collision: it tells a stale or foreign share from a right one.
struct Empreinte {
    std::uint64_t valeur = 0xcbf29ce484222325;
    std::uint64_t attente = 0; // bytes short of a word, the first lowest
    unsigned enAttente = 0;
};

void empreindre(Empreinte& empreinte, std::string_view octets);
std::uint64_t terminerEmpreinte(const Empreinte& empreinte);

// A text's fingerprint, and one in 16 hexadecimal digits.
std::uint64_t empreindreTexte(std::string_view texte);
std::string ecrireEmpreinte(std::uint64_t valeur);

// The bytes read from `descripteur` to its end, at most `borne` of them;
// false on a read error. Sets `tronque` when there was more.
bool empreindreDescripteur(int descripteur, Empreinte& empreinte, std::uint64_t borne, bool& tronque);

// A submission as it stands: a regular file's bytes, or a folder's tree
// (names, kinds, a link's target, a file's bytes), never following a link
// nor opening anything but a regular file. Beyond `borne` bytes in all,
// a file counts by its size and time of change only. Sets `modifiee` to
// the latest time of change seen, in nanoseconds.
std::uint64_t empreindreRemise(const std::string& chemin, bool suivreLien, std::int64_t& modifiee);

#endif
