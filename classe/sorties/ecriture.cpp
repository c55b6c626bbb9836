#include "classe/sorties/ecriture.h"

#include "classe/sorties/sorties.h"
#include "classe/sorties/tableau.h"

#include <iostream>

bool ecrireTableau(Fichier* fichier, bool bom, std::string_view nom,
                   const std::function<void(std::ostream&)>& ecrire)
{
    if (fichier != nullptr && !viderFichier(fichier->fd())) {
        signalerErreur(nom, "erreur d'\xC3\xA9" "criture");
        return false;
    }
    std::ostream sortie(fichier != nullptr ? static_cast<std::streambuf*>(fichier) : std::cout.rdbuf());
    if (bom)
        sortie << marqueOrdre;
    ecrire(sortie);
    if (sortie.flush())
        return true;
    signalerErreur(nom, "erreur d'\xC3\xA9" "criture");
    return false;
}
