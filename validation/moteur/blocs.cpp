#include "blocs.h"

#include "commande.h"
#include "validation/comparaison.h"

std::string_view nommerJeu(JeuInstructions jeu)
{
    switch (jeu) {
    case JeuInstructions::ssse3:
        return "ssse3";
    case JeuInstructions::avx2:
        return "avx2";
    case JeuInstructions::avx512:
        return "avx512";
    case JeuInstructions::simple:
        break;
    }
    return "simple";
}

bool peutExecuter(JeuInstructions jeu)
{
#if defined(VALIDEUR_SSSE3)
    switch (jeu) {
    case JeuInstructions::simple:
        return true;
    case JeuInstructions::ssse3:
        return __builtin_cpu_supports("ssse3");
    case JeuInstructions::avx2:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi")
            && __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("ssse3");
    case JeuInstructions::avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")
            && __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("avx2")
            && __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi")
            && __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("ssse3");
    }
    return false;
#else
    return jeu == JeuInstructions::simple;
#endif
}

JeuInstructions choisirJeuInstructions()
{
    JeuInstructions meilleur = JeuInstructions::simple;
    for (const JeuInstructions jeu : jeuxInstructions) {
        if (peutExecuter(jeu))
            meilleur = jeu;
    }
    return meilleur;
}

void parcourirBlocs(Parcours& parcours, JeuInstructions jeu)
{
    switch (jeu) {
    case JeuInstructions::ssse3:
        parcourirBlocsSsse3(parcours);
        return;
    case JeuInstructions::avx2:
        parcourirBlocsAvx2(parcours);
        return;
    case JeuInstructions::avx512:
        parcourirBlocsAvx512(parcours);
        return;
    case JeuInstructions::simple:
        break;
    }
    parcourirBlocsSimple(parcours);
}

void avancerLigneALigne(Parcours& parcours)
{
    ++parcours.numeroLigne;
    const std::string_view ligneTest = lireLigneCommande(parcours.test, parcours.copieCommande);
    // An input that has run out leaves its preset: an empty expected line,
    // "(X)" for the results under test. Without a report to show them, the
    // lines need not be held while they are compared.
    Paire lignes;
    if (parcours.silencieux)
        lignes.memesOctets = comparerPaireAuFil(parcours.solution, parcours.votre, "(X)");
    else
        lignes = lirePaire(parcours.solution, parcours.votre, "(X)");

    const std::size_t rang = classerCommande(ligneTest);
    if (rang == aucuneCommande) {
        parcours.fini = true;
        return;
    }
    const bool identiques = lignes.memesOctets || (!parcours.silencieux && estIdentique(lignes.premiere, lignes.seconde));
    if (!identiques && !parcours.silencieux)
        ecrireRapport(*parcours.erreurs,
                      {parcours.numeroLigne, extraireCommande(ligneTest), lignes.premiere,
                       lignes.seconde, lignes.secondeEpuisee});
    parcours.nbEchecs[rang] += static_cast<std::int64_t>(!identiques);
    ++parcours.nbTests[rang];
    // Only a read that met the end of the test file or an error can have
    // failed its stream.
    if (parcours.test.epuisee && parcours.test.flux->fail())
        parcours.fini = true;
}
