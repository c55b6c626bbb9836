// Two lines compared as they are read, neither held: for quiet runs, where
// no report will show them, and for runs that keep only their start.
#include "lecture.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

// The first newline in [octet, fin), or nullptr.
const char* chercherSaut(const char* octet, const char* fin)
{
    if (octet == fin)
        return nullptr;
    return static_cast<const char*>(std::memchr(octet, '\n', static_cast<std::size_t>(fin - octet)));
}

// One line taken piece by piece as the input gives it: the bytes of the
// buffer up to the line's newline, or a preset when the input had no next
// line. `saut` is where the newline is once it is in the buffer, `vu` how
// far the buffer is known to hold none.
struct LigneAuFil {
    Entree* entree;
    std::string_view preset;
    bool depuisPreset;
    bool finie = false;
    std::size_t saut = 0;
    bool sautTrouve = false;
    std::size_t vu = 0;
    Garde* garde = nullptr; // sees every byte taken
};

constexpr std::uint64_t baseEmpreinte = 0xcbf29ce484222325ULL;

std::uint64_t empreinterSuite(std::uint64_t empreinte, std::string_view texte)
{
    for (const char octet : texte) {
        if (octet == ' ' || octet == '\t')
            continue;
        empreinte = (empreinte ^ static_cast<unsigned char>(octet)) * 0x100000001b3ULL;
    }
    return empreinte;
}

void garder(Garde& garde, std::string_view morceau)
{
    garde.empreinte = empreinterSuite(garde.empreinte, morceau);
    const std::size_t place = garde.borne - std::min(garde.borne, garde.debut.size());
    garde.debut.append(morceau.substr(0, place));
    garde.coupee = garde.coupee || morceau.size() > place;
}

LigneAuFil commencerLigne(Entree& entree, std::string_view preset)
{
    LigneAuFil ligne{&entree, preset, entree.epuisee};
    ligne.vu = entree.debut;
    return ligne;
}

// The next bytes of the line, empty once it has ended (its newline taken).
std::string_view voirLigne(LigneAuFil& ligne)
{
    if (ligne.depuisPreset) {
        ligne.finie = ligne.preset.empty();
        return ligne.preset;
    }
    Entree& entree = *ligne.entree;
    while (!ligne.finie) {
        if (!ligne.sautTrouve) {
            const char* const octets = entree.octets.get();
            const char* const saut = chercherSaut(octets + ligne.vu, octets + entree.fin);
            if (saut != nullptr) {
                ligne.saut = static_cast<std::size_t>(saut - octets);
                ligne.sautTrouve = true;
            } else {
                ligne.vu = entree.fin;
            }
        }
        const std::size_t finMorceau = ligne.sautTrouve ? ligne.saut : entree.fin;
        if (finMorceau != entree.debut)
            return {entree.octets.get() + entree.debut, finMorceau - entree.debut};
        if (ligne.sautTrouve) {
            ++entree.debut;
            ligne.finie = true;
        } else if (remplirTampon(entree) == 0) {
            entree.epuisee = true;
            ligne.finie = true;
        } else {
            // All was taken: the buffer holds only new bytes.
            ligne.vu = entree.debut;
        }
    }
    return {};
}

void consommerLigne(LigneAuFil& ligne, std::size_t n)
{
    if (ligne.garde != nullptr)
        garder(*ligne.garde, ligne.depuisPreset ? ligne.preset.substr(0, n)
                                                : std::string_view(ligne.entree->octets.get() + ligne.entree->debut, n));
    if (ligne.depuisPreset)
        ligne.preset.remove_prefix(n);
    else
        ligne.entree->debut += n;
}

// The kept bytes of one line not yet matched against the other's.
struct Serres {
    char octets[8192];
    std::size_t debut = 0;
    std::size_t fin = 0;
};

constexpr std::size_t morceauSerre = 4096;

// Appends up to morceauSerre bytes of the line, blanks removed; false once
// the line has ended.
bool serrerMorceau(LigneAuFil& ligne, Serres& serres, bool accord)
{
    const std::string_view morceau = voirLigne(ligne);
    if (morceau.empty())
        return false;
    // Once the lines disagree, the rest is only read.
    if (!accord) {
        consommerLigne(ligne, morceau.size());
        return true;
    }
    if (serres.debut == serres.fin)
        serres.debut = serres.fin = 0;
    else if (serres.fin + morceauSerre > sizeof serres.octets) {
        std::memmove(serres.octets, serres.octets + serres.debut, serres.fin - serres.debut);
        serres.fin -= serres.debut;
        serres.debut = 0;
    }
    const std::size_t n = std::min(morceau.size(), morceauSerre);
    for (std::size_t i = 0; i < n; ++i) {
        serres.octets[serres.fin] = morceau[i];
        serres.fin += static_cast<std::size_t>(morceau[i] != ' ' && morceau[i] != '\t');
    }
    consommerLigne(ligne, n);
    return true;
}

// The number of equal bytes at the start of two texts of `n` bytes or more.
std::size_t compterEgaux(const char* a, const char* b, std::size_t n)
{
    if (std::memcmp(a, b, n) == 0)
        return n;
    std::size_t egaux = 0;
    while (egaux + 8 <= n && std::memcmp(a + egaux, b + egaux, 8) == 0)
        egaux += 8;
    while (a[egaux] == b[egaux])
        ++egaux;
    return egaux;
}

// Takes the equal bytes at the start of what is left of both lines, as they
// come, whatever blanks they hold.
void passerEgaux(LigneAuFil& a, LigneAuFil& b)
{
    for (;;) {
        const std::string_view morceauA = voirLigne(a);
        const std::string_view morceauB = voirLigne(b);
        const std::size_t n = std::min(morceauA.size(), morceauB.size());
        if (n == 0)
            return;
        const std::size_t egaux = compterEgaux(morceauA.data(), morceauB.data(), n);
        consommerLigne(a, egaux);
        consommerLigne(b, egaux);
        if (egaux != n)
            return;
    }
}

bool comparerLignesAuFil(LigneAuFil& a, LigneAuFil& b)
{
    // Where the bytes differ, both without their blanks, until the kept bytes
    // of both are matched and equal bytes can be passed again. Once the
    // lines disagree, the rest of both is only read.
    // On the stack, and left uninitialised: only what is written is read.
    Serres serresA;
    Serres serresB;
    bool accord = true;
    bool suiteA = true;
    bool suiteB = true;
    while (suiteA || suiteB) {
        if (accord && serresA.debut == serresA.fin && serresB.debut == serresB.fin)
            passerEgaux(a, b);
        // A side far ahead of the other waits for it.
        if (suiteA && (serresA.fin - serresA.debut < morceauSerre || !accord))
            suiteA = serrerMorceau(a, serresA, accord);
        if (suiteB && (serresB.fin - serresB.debut < morceauSerre || !accord))
            suiteB = serrerMorceau(b, serresB, accord);
        const std::size_t resteA = serresA.fin - serresA.debut;
        const std::size_t resteB = serresB.fin - serresB.debut;
        const std::size_t n = std::min(resteA, resteB);
        accord = accord
            && std::memcmp(serresA.octets + serresA.debut, serresB.octets + serresB.debut, n) == 0
            && !(!suiteA && resteA == n && resteB > n) && !(!suiteB && resteB == n && resteA > n);
        serresA.debut += n;
        serresB.debut += n;
        if (!accord) {
            serresA.debut = serresA.fin;
            serresB.debut = serresB.fin;
        }
    }
    return accord && serresA.debut == serresA.fin && serresB.debut == serresB.fin;
}

} // namespace

bool comparerPaireAuFil(Entree& premiere, Entree& seconde, std::string_view presetSeconde)
{
    LigneAuFil a = commencerLigne(premiere, {});
    LigneAuFil b = commencerLigne(seconde, presetSeconde);
    return comparerLignesAuFil(a, b);
}

std::uint64_t empreinterSansBlancs(std::string_view texte)
{
    return empreinterSuite(baseEmpreinte, texte);
}

bool comparerPaireGardee(Entree& premiere, Entree& seconde, std::string_view presetSeconde,
                         Garde& gardePremiere, Garde& gardeSeconde)
{
    for (Garde* const garde : {&gardePremiere, &gardeSeconde}) {
        garde->debut.clear();
        garde->coupee = false;
        garde->empreinte = baseEmpreinte;
    }
    LigneAuFil a = commencerLigne(premiere, {});
    LigneAuFil b = commencerLigne(seconde, presetSeconde);
    a.garde = &gardePremiere;
    b.garde = &gardeSeconde;
    return comparerLignesAuFil(a, b);
}

