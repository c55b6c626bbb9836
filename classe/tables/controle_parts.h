#ifndef VALIDEUR_CLASSE_CONTROLE_PARTS_H
#define VALIDEUR_CLASSE_CONTROLE_PARTS_H

#include "classe/tables/bordereau.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What --fusionner checks before it writes anything: that the shares are
// one class's, each once, each finished, with their views for all or none.

struct PartLue {
    std::string chemin; // its table's
    Bordereau bordereau;
    std::uint64_t tableau = 0; // the table's fingerprint as read now
};

struct VueLue {
    std::string chemin;
    std::size_t part = 0;
    std::size_t parts = 0;
    std::uint64_t empreinte = 0;
};

struct Refus {
    std::string chemin; // the share at fault, or what was asked
    std::string motif;
};

// A share stopped midway, or whose table changed since.
std::optional<Refus> chercherInachevee(const PartLue& part);
// The first unfinished share's, of several.
std::optional<Refus> chercherInachevees(const std::vector<PartLue>& parts);

// The first thing wrong, naming the share at fault; nothing when the
// shares make one class. `parts` comes back sorted by share.
std::optional<Refus> verifierParts(std::vector<PartLue>& parts, const std::vector<VueLue>& vues,
                                   bool vueDemandee);

#endif
