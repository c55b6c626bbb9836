#include "classe/notation/maxima.h"

#include "validation/moteur/lecture.h"
#include "validation/fichier.h"

#include <istream>
#include <sstream>

namespace {


// The first bytes of each of the first `nombre` lines of a test file: the
// loop keeps only the word of some lines, the class view shows them whole.
void lireDebutsLignes(std::streambuf& fichier, std::size_t nombre, std::vector<std::string>& debuts)
{
    using Traits = std::streambuf::traits_type;
    std::string ligne;
    while (debuts.size() < nombre) {
        ligne.clear();
        int octet = fichier.sbumpc();
        for (; octet != Traits::eof() && octet != '\n'; octet = fichier.sbumpc()) {
            if (ligne.size() <= longueurApercu)
                ligne += static_cast<char>(octet);
        }
        debuts.push_back(couperApercu(ligne));
        if (octet == Traits::eof())
            break;
    }
    debuts.resize(nombre);
}

// Whether every line past the first `lignes` holds only blanks: past a
// blank line that stopped the walk, nothing is then left unread but blank
// lines, an editor's trailing ones.
bool suiteBlanche(std::streambuf& fichier, std::int64_t lignes)
{
    using Traits = std::streambuf::traits_type;
    if (fichier.pubseekpos(0, std::ios::in) != 0)
        return false;
    for (int octet = fichier.sbumpc(); octet != Traits::eof(); octet = fichier.sbumpc()) {
        if (lignes > 0) {
            lignes -= octet == '\n' ? 1 : 0;
            continue;
        }
        if (!estEspaceCommande(static_cast<char>(octet)))
            return false;
    }
    return true;
}

} // namespace

bool compterMaxima(int descripteur, VueClasse* vue, Decomptes& maxima)
{
    FinParcours fin;
    return compterMaxima(descripteur, vue, maxima, fin);
}

bool compterMaxima(int descripteur, VueClasse* vue, Decomptes& maxima, FinParcours& fin)
{
    // Takes the descriptor, which the buffer closes.
    Fichier fichier(descripteur, std::ios::in);
    std::istream test(&fichier);
    std::istringstream rien;
    std::istringstream rienNonPlus;
    // The lines past a blank one are counted whole.
    maxima = parcourirLignes(test, rien, rienNonPlus, [](const LigneComparee&) {}, fin, 0, std::size_t{1} << 30);
    if (test.bad())
        return false;
    if (vue != nullptr) {
        const auto nombre = static_cast<std::size_t>(fin.lignesComparees);
        if (fichier.pubseekpos(0, std::ios::in) != 0)
            return false;
        lireDebutsLignes(fichier, nombre, vue->tests);
        vue->lignes.resize(nombre);
    }
    if (fin.ligneBlanche && suiteBlanche(fichier, fin.lignesComparees + 1))
        fin.ligneBlanche = false;
    return true;
}
