#ifndef VALIDEUR_VALIDATION_H
#define VALIDEUR_VALIDATION_H

#include "rapport.h"

#include <cstdint>
#include <cstddef>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

// Per command word, a count of lines; a word without an entry counts 0.
// The transparent comparator lets a word be looked up without a copy.
using Decompte = std::map<std::string, std::int64_t, std::less<>>;

// The first word of a test line: the bytes after any leading whitespace
// (space, \t, \n, \v, \f, \r) up to the next whitespace byte or the end.
std::string_view extraireCommande(std::string_view ligneTest);

// A reading buffer of raw bytes: it grows with realloc, so that a long line
// costs neither copies nor zero-filling, and is released with libererOctets.
using Octets = std::unique_ptr<char, void (*)(char*)>;
void libererOctets(char* octets);

// Reads the next line of `flux` as std::getline would, through the block
// buffer `tampon` of `capacite` bytes whose unread bytes are [debut, fin). Returns false, and
// leaves `ligne` as it was, when the previous read had already reached the
// end of the input or an error; otherwise `ligne` views the line (empty when
// nothing was left) and stays valid until the next read of the same input.
bool lireLigne(std::istream& flux, Octets& tampon, std::size_t& capacite,
               std::size_t& debut, std::size_t& fin, std::string_view& ligne);

// Walks the three inputs in lockstep, reports each disagreeing line on
// `erreurs` unless `silencieux`, as `presentation` says, then writes the
// summary line on `sortie`. Read errors are left in the streams' state for
// the caller to judge.
void validerFichiers(std::istream& test, std::istream& solution,
                     std::istream& votre, bool silencieux, bool modeCorrige,
                     const Presentation& presentation, std::ostream& sortie,
                     std::ostream& erreurs);

#endif
