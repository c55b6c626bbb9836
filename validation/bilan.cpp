#include "bilan.h"

#include <charconv>
#include <string>

namespace {

void ajouterNombre(std::string& ligne, std::int64_t nombre)
{
    char chiffres[24];
    const char* const fin = std::to_chars(chiffres, chiffres + sizeof chiffres, nombre).ptr;
    ligne.append(chiffres, static_cast<std::size_t>(fin - chiffres));
}

} // namespace

void ecrireBilan(const Comptes& nbReussites, const Comptes& nbTests, bool modeCorrige,
                 std::ostream& sortie)
{
    std::string ligne;
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        if (i != 0)
            ligne += '\t';
        ajouterNombre(ligne, nbReussites[i]);
        if (!modeCorrige) {
            ligne += '/';
            ajouterNombre(ligne, nbTests[i]);
        }
    }
    ligne += '\n';
    sortie.write(ligne.data(), static_cast<std::streamsize>(ligne.size()));
    sortie.flush();
}
