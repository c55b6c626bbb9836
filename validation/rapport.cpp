#include "rapport.h"

#include <charconv>
#include <cstring>
#include <string>

namespace {

// Reports up to this size are built whole and go to the stream's buffer in
// one call; longer lines go there straight from the input's buffer.
constexpr std::size_t tailleRapportCourt = 4096;

constexpr std::string_view verdictEtV1 = ") : \xC3\x89" "CHEC\n V1:";

// Copies `texte` to `place` and returns the place after it.
char* copier(char* place, std::string_view texte)
{
    if (!texte.empty())
        std::memcpy(place, texte.data(), texte.size());
    return place + texte.size();
}

} // namespace

void ecrireRapport(std::ostream& erreurs, const Echec& echec)
{
    char chiffres[24];
    const char* const finChiffres = std::to_chars(chiffres, chiffres + sizeof chiffres, echec.numeroLigne).ptr;
    const std::string_view numero(chiffres, static_cast<std::size_t>(finChiffres - chiffres));
    constexpr std::string_view debut = "Ligne #";
    constexpr std::string_view avantCommande = " (";
    constexpr std::string_view v2 = "\n V2:";
    const std::size_t total = debut.size() + numero.size() + avantCommande.size()
        + echec.commande.size() + verdictEtV1.size() + echec.attendue.size() + v2.size()
        + echec.obtenue.size() + 1;
    std::streambuf& tampon = *erreurs.rdbuf();
    if (total <= tailleRapportCourt) {
        char rapport[tailleRapportCourt];
        char* place = copier(rapport, debut);
        place = copier(place, numero);
        place = copier(place, avantCommande);
        place = copier(place, echec.commande);
        place = copier(place, verdictEtV1);
        place = copier(place, echec.attendue);
        place = copier(place, v2);
        place = copier(place, echec.obtenue);
        *place++ = '\n';
        tampon.sputn(rapport, place - rapport);
    } else {
        for (const std::string_view morceau : {debut, numero, avantCommande, echec.commande,
                                                verdictEtV1, echec.attendue, v2, echec.obtenue,
                                                std::string_view("\n")})
            tampon.sputn(morceau.data(), static_cast<std::streamsize>(morceau.size()));
    }
    // A failed write must show in the stream's state, as flush() would set
    // it, without flush()'s own checks on every report.
    if (tampon.pubsync() == -1)
        erreurs.setstate(std::ios::badbit);
}
