#include "alignement.h"

#include "validation/moteur/lecture.h"

#include <algorithm>
#include <utility>

namespace {

// Costs of the edit script. A pair of differing lines costs less than a
// missing and an extra line together, so that wrong answers stay wrong
// answers; a shift that comes back (a line missing, then one extra) must
// pair at least three lines more than it leaves, so that lines equal by
// chance, empty or repeated ones, make no shift.
constexpr std::uint16_t coutDifferentes = 2;
constexpr std::uint16_t coutSaut = 3;
// A line left past the end of a file that has ended within the window: the
// file stopped early there. It costs less than a missing line, so that a
// file cut short stays cut short, and more than nothing, so that lines
// missing just before the end are still found missing rather than pushed
// past it.
constexpr std::uint16_t coutApresFin = 2;

enum class Pas { paire, manque, trop, resteAttendue, resteObtenue };

void attacher(Alignement& alignement, const Saut& saut)
{
    const std::int64_t rang = alignement.rangSaut - alignement.premiereDecision;
    if (rang >= 0 && rang < static_cast<std::int64_t>(alignement.decisions.size()))
        alignement.decisions[static_cast<std::size_t>(rang)].sauts.push_back(saut);
    else
        alignement.sautsSansLigne.push_back(saut);
}

void fermerSaut(Alignement& alignement)
{
    if (!alignement.sautOuvert)
        return;
    alignement.sautOuvert = false;
    const Saut& saut = alignement.saut;
    (saut.manque ? alignement.manquantes : alignement.enTrop) += saut.lignes;
    if (alignement.nombreSauts++ == 0)
        alignement.premierSaut = saut;
    attacher(alignement, saut);
}

void placer(Alignement& alignement, Pas pas)
{
    Place place = Place::horsFin;
    bool autreRang = false;
    switch (pas) {
    case Pas::paire: {
        const bool egales = alignement.attendues.front() == alignement.obtenues.front();
        alignement.attendues.pop_front();
        alignement.obtenues.pop_front();
        ++alignement.placeesAttendues;
        ++alignement.placeesObtenues;
        alignement.realignees += egales ? 1 : 0;
        autreRang = alignement.placeesAttendues != alignement.placeesObtenues;
        place = !egales ? Place::differente
            : alignement.placeesAttendues == alignement.placeesObtenues ? Place::concorde
                                                                        : Place::decalee;
        break;
    }
    case Pas::manque:
    case Pas::resteAttendue: {
        const bool vide = alignement.attendues.front() == calculerEmpreinte({});
        alignement.manquantesVides += pas == Pas::manque && vide ? 1 : 0;
        alignement.restantes += pas == Pas::resteAttendue ? 1 : 0;
        alignement.restantesVides += pas == Pas::resteAttendue && vide ? 1 : 0;
        alignement.attendues.pop_front();
        ++alignement.placeesAttendues;
        place = pas == Pas::manque ? Place::manquante : Place::horsFin;
        break;
    }
    case Pas::trop:
    case Pas::resteObtenue:
        alignement.obtenues.pop_front();
        ++alignement.placeesObtenues;
        place = pas == Pas::trop ? Place::enTrop : Place::horsFin;
        break;
    }
    const bool saute = pas == Pas::manque || pas == Pas::trop;
    if (alignement.sautOuvert && (!saute || alignement.saut.manque != (pas == Pas::manque)))
        fermerSaut(alignement);
    if (saute && !alignement.sautOuvert) {
        // Missing: the line just placed; extra: the last expected line placed.
        alignement.saut = Saut{pas == Pas::manque, 0, alignement.placeesAttendues};
        alignement.sautOuvert = true;
        alignement.rangSaut =
            alignement.premiereDecision + static_cast<std::int64_t>(alignement.decisions.size());
    }
    if (saute)
        ++alignement.saut.lignes;
    // A compared line is decided by the first of its two lines placed.
    const std::int64_t plusLoin = std::max(alignement.placeesAttendues, alignement.placeesObtenues);
    if (plusLoin > alignement.decidees) {
        alignement.decidees = plusLoin;
        Decision decision;
        decision.numeroLigne = plusLoin;
        decision.place = place;
        decision.autreRang = autreRang;
        decision.sauts.swap(alignement.sautsSansLigne);
        alignement.decisions.push_back(std::move(decision));
    }
}

// The least costly edit script from the heads of both files over the
// window: lines past the window are not known yet.
// Places its first half, or all of it when nothing more can come.
void decider(Alignement& alignement, bool complet)
{
    const std::size_t m = std::min(alignement.attendues.size(), horizonAlignement);
    const std::size_t n = std::min(alignement.obtenues.size(), horizonAlignement);
    const std::size_t largeur = n + 1;
    std::vector<std::uint16_t>& cout = alignement.couts;
    cout.assign((m + 1) * largeur, 0);
    const auto& a = alignement.attendues;
    const auto& b = alignement.obtenues;
    // Either end is open where the window cuts a file, and costs what is
    // left past it where the file itself ends.
    if (alignement.finObtenues && n == b.size()) {
        for (std::size_t x = 0; x < m; ++x)
            cout[x * largeur + n] = static_cast<std::uint16_t>((m - x) * coutApresFin);
    }
    if (alignement.finAttendues && m == a.size()) {
        for (std::size_t y = 0; y < n; ++y)
            cout[m * largeur + y] = static_cast<std::uint16_t>((n - y) * coutApresFin);
    }
    for (std::size_t x = m; x-- > 0;) {
        for (std::size_t y = n; y-- > 0;) {
            const std::uint16_t diagonale =
                static_cast<std::uint16_t>(cout[(x + 1) * largeur + y + 1] + (a[x] == b[y] ? 0 : coutDifferentes));
            const std::uint16_t manque = static_cast<std::uint16_t>(cout[(x + 1) * largeur + y] + coutSaut);
            const std::uint16_t trop = static_cast<std::uint16_t>(cout[x * largeur + y + 1] + coutSaut);
            cout[x * largeur + y] = std::min({diagonale, manque, trop});
        }
    }
    const std::size_t moitie = complet ? horizonAlignement : horizonAlignement / 2;
    std::size_t x = 0;
    std::size_t y = 0;
    // Ties go to the pair, then to the missing line: lines are paired as
    // early as they can be, and a shift is placed at the first line it
    // makes fail.
    while (x < m && y < n && x < moitie && y < moitie) {
        const std::uint16_t ici = cout[x * largeur + y];
        const bool egales = alignement.attendues.front() == alignement.obtenues.front();
        Pas pas = Pas::trop;
        if (ici == cout[(x + 1) * largeur + y + 1] + (egales ? 0 : coutDifferentes))
            pas = Pas::paire;
        else if (ici == cout[(x + 1) * largeur + y] + coutSaut)
            pas = Pas::manque;
        placer(alignement, pas);
        x += pas == Pas::trop ? 0 : 1;
        y += pas == Pas::manque ? 0 : 1;
    }
}

void avancer(Alignement& alignement, bool fin)
{
    const auto& a = alignement.attendues;
    const auto& b = alignement.obtenues;
    for (;;) {
        while (!a.empty() && !b.empty() && a.front() == b.front())
            placer(alignement, Pas::paire);
        if (a.empty() && b.empty())
            return;
        if (a.empty() || b.empty()) {
            // What one file has past the other's end.
            const bool fini = a.empty() ? alignement.finAttendues || fin : alignement.finObtenues || fin;
            const bool deborde = std::max(a.size(), b.size()) > capaciteAlignement;
            if (!fini && !deborde)
                return;
            placer(alignement, a.empty() ? Pas::resteObtenue : Pas::resteAttendue);
            continue;
        }
        const bool completA = alignement.finAttendues && a.size() <= horizonAlignement;
        const bool completB = alignement.finObtenues && b.size() <= horizonAlignement;
        const bool assez = (a.size() >= horizonAlignement || completA)
            && (b.size() >= horizonAlignement || completB);
        if (!fin && !assez) {
            if (std::max(a.size(), b.size()) <= capaciteAlignement)
                return;
            placer(alignement, a.size() > b.size() ? Pas::resteAttendue : Pas::resteObtenue);
            continue;
        }
        // All of it when both files are wholly in the window and nothing more can come.
        const bool dansFenetre = a.size() <= horizonAlignement && b.size() <= horizonAlignement;
        decider(alignement, dansFenetre && (fin || (completA && completB)));
    }
}

} // namespace

std::uint64_t calculerEmpreinte(std::string_view ligne)
{
    // The engine's, which it keeps of a line too long to hold.
    return empreinterSansBlancs(ligne);
}

void pousserLigne(Alignement& alignement, std::uint64_t attendue, bool attendueLue,
                  std::uint64_t obtenue, bool obtenueLue)
{
    alignement.finAttendues = alignement.finAttendues || !attendueLue;
    alignement.finObtenues = alignement.finObtenues || !obtenueLue;
    if (!alignement.finAttendues)
        alignement.attendues.push_back(attendue);
    if (!alignement.finObtenues)
        alignement.obtenues.push_back(obtenue);
    avancer(alignement, false);
}

void terminerAlignement(Alignement& alignement)
{
    avancer(alignement, true);
    fermerSaut(alignement);
    // A shift closed by the last placement has no later line to show it.
    if (!alignement.sautsSansLigne.empty() && !alignement.decisions.empty()) {
        auto& sauts = alignement.decisions.back().sauts;
        sauts.insert(sauts.end(), alignement.sautsSansLigne.begin(), alignement.sautsSansLigne.end());
    }
    alignement.sautsSansLigne.clear();
}

bool prendreDecision(Alignement& alignement, Decision& decision)
{
    const std::int64_t pretes = alignement.sautOuvert
        ? alignement.rangSaut - alignement.premiereDecision
        : static_cast<std::int64_t>(alignement.decisions.size());
    if (pretes <= 0)
        return false;
    decision = std::move(alignement.decisions.front());
    alignement.decisions.pop_front();
    ++alignement.premiereDecision;
    return true;
}
