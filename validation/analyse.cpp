#include "analyse.h"

Verdict analyserLigne(Analyse& analyse, const LigneComparee& ligne)
{
    ++analyse.lignes;
    Verdict verdict;
    if (!ligne.identiques)
        ++analyse.echecs;
    return verdict;
}

void terminerAnalyse(Analyse& analyse, const FinParcours& fin)
{
    analyse.fin = fin;
    analyse.terminee = true;
}

std::string diagnostiquer(const Analyse& /*analyse*/)
{
    return {};
}
