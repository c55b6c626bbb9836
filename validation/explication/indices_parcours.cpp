#include "indices_parcours.h"

void observerParcours(IndicesParcours& indices, const LigneComparee& /*ligne*/)
{
    indices.vide = false;
}

std::vector<Indice> conclureParcours(const IndicesParcours& /*indices*/, const Analyse& /*analyse*/)
{
    return {};
}
