#include "bilan.h"

#include <charconv>
#include <string>

namespace {

std::int64_t lireCompte(const Decompte& decompte, std::string_view commande)
{
    const auto entree = decompte.find(commande);
    return entree == decompte.end() ? 0 : entree->second;
}

void ajouterNombre(std::string& ligne, std::int64_t nombre)
{
    char chiffres[24];
    const char* const fin = std::to_chars(chiffres, chiffres + sizeof chiffres, nombre).ptr;
    ligne.append(chiffres, static_cast<std::size_t>(fin - chiffres));
}

} // namespace

void ecrireBilan(const Decompte& nbReussites, const Decompte& nbTests,
                 bool modeCorrige, std::ostream& sortie)
{
    std::string ligne;
    for (const std::string_view commande : commandesBilan) {
        if (!ligne.empty())
            ligne += '\t';
        ajouterNombre(ligne, lireCompte(nbReussites, commande));
        if (!modeCorrige) {
            ligne += '/';
            ajouterNombre(ligne, lireCompte(nbTests, commande));
        }
    }
    ligne += '\n';
    sortie.write(ligne.data(), static_cast<std::streamsize>(ligne.size()));
    sortie.flush();
}
