#include "classe/plateforme/demandes.h"

bool demandePlateformes(const DemandesPlateformes& demandes)
{
    return !demandes.bareme.empty() || !demandes.retours.empty() || !demandes.moodle.empty()
        || !demandes.gradescope.empty() || !demandes.junit.empty() || !demandes.html.empty();
}

bool expliquerRemises(const DemandesPlateformes& demandes)
{
    return !demandes.retours.empty() || !demandes.gradescope.empty() || !demandes.junit.empty();
}
