#include "terminal.h"

#include "affichage.h"
#include "presentation.h"
#include "validation/bilan.h"

#include <algorithm>
#include <numeric>
#include <sstream>
#include <string>

namespace {

// "(rapports complets : 2> rapport.txt)": where every report can be read.
constexpr std::string_view ouTout = "2> rapport.txt";

// What the recap calls each cause, in the order of the bits of Cause.
constexpr std::string_view nomsCauses[] = {
    "fin du fichier test\303\251",
    "fin du fichier attendu",
    "ligne coup\303\251e",
    "retours chariot",
    "marque d'ordre des octets",
    "espace ins\303\251cable",
    "casse",
    "accents d\303\251compos\303\251s",
    "pas en UTF-8",
    "UTF-8 encod\303\251 deux fois",
    "virgule d\303\251cimale",
    "caract\303\250re invisible",
    "UTF-16",
    "pr\303\251fixe",
    "ordre des mots",
    "s\303\251parateurs",
};
static_assert(std::size(nomsCauses) == nombreCauses, "a name for every cause");

std::string nommerCauses(unsigned causes)
{
    std::string noms;
    for (unsigned bit = 0; bit < std::size(nomsCauses); ++bit) {
        if ((causes >> bit & 1U) == 0)
            continue;
        if (!noms.empty())
            noms += " + ";
        noms += nomsCauses[bit];
    }
    return noms;
}

std::string nombre(std::int64_t valeur)
{
    return std::to_string(valeur);
}

// "12 345": thousands apart, as French writes them.
std::string grouper(std::uint64_t valeur)
{
    const std::string chiffres = std::to_string(valeur);
    std::string groupe;
    for (std::size_t i = 0; i < chiffres.size(); ++i) {
        if (i > 0 && (chiffres.size() - i) % 3 == 0)
            groupe += ' ';
        groupe += chiffres[i];
    }
    return groupe;
}

std::string pluriel(std::int64_t nombreDe, std::string_view singulier, std::string_view plurielDe)
{
    return nombre(nombreDe) + " " + std::string(nombreDe > 1 ? plurielDe : singulier);
}

std::string plage(std::int64_t premier, std::int64_t dernier)
{
    if (premier == dernier)
        return "#" + nombre(premier);
    return "#" + nombre(premier) + " \xC3\xA0 #" + nombre(dernier);
}

// A text from the inputs, made safe for the terminal.
std::string echapper(std::string_view texte)
{
    std::stringbuf tampon;
    Sortie sortie;
    sortie.flux = &tampon;
    ecrireEchappe(sortie, texte);
    vider(sortie);
    return tampon.str();
}

// Writes whole lines and flushes: each shows when it is written.
void ecrireLignes(Historique& historique, std::string_view avant, std::string_view texte,
                  bool grise)
{
    Sortie sortie;
    sortie.flux = historique.erreurs->rdbuf();
    if (grise) {
        ecrireGrise(sortie, avant, texte, historique.couleur);
    } else {
        ajouter(sortie, avant);
        ajouter(sortie, texte);
        ajouter(sortie, "\n");
    }
    vider(sortie);
    historique.erreurs->flush();
}

ParCauses& trouverParCauses(Historique& historique, unsigned causes)
{
    auto place = std::find_if(historique.parCauses.begin(), historique.parCauses.end(),
                              [causes](const ParCauses& p) { return p.causes == causes; });
    if (place != historique.parCauses.end())
        return *place;
    historique.parCauses.push_back({causes, 0, 0});
    return historique.parCauses.back();
}

void fermerPli(Historique& historique)
{
    Pli& pli = historique.pli;
    if (!pli.ouvert)
        return;
    pli.ouvert = false;
    const bool un = pli.nombre == 1;
    std::string texte = "\xE2\x80\xA6 " + pluriel(pli.nombre, "ligne suivante", "lignes suivantes")
        + " (" + plage(pli.premier, pli.dernier) + ")";
    if (pli.decalage)
        texte += un ? " d\xC3\xA9" "cal\xC3\xA9" "e de la m\xC3\xAAme fa\xC3\xA7on"
                    : " d\xC3\xA9" "cal\xC3\xA9" "es de la m\xC3\xAAme fa\xC3\xA7on";
    else
        texte += " en \xC3\xA9" "chec pour la m\xC3\xAAme cause (" + nommerCauses(pli.causes) + ")";
    texte += un ? " : non affich\xC3\xA9" "e (rapport complet : " : " : non affich\xC3\xA9" "es (rapports complets : ";
    texte += std::string(ouTout) + ")";
    ecrireLignes(historique, "  ", texte, true);
}

void plier(Historique& historique, bool decalage, unsigned causes, std::int64_t numero)
{
    Pli& pli = historique.pli;
    if (pli.ouvert && (pli.decalage != decalage || pli.causes != causes))
        fermerPli(historique);
    if (!pli.ouvert) {
        pli = Pli{true, decalage, causes, 0, numero, numero};
    }
    ++pli.nombre;
    pli.dernier = numero;
}

std::string annoncerDecalage(const Decalage& decalage)
{
    static constexpr std::string_view combien[] = {"", "d'une ligne", "de deux lignes", "de trois lignes"};
    std::string texte = decrireDecalage(decalage);
    if (!decalage.test.empty())
        texte += " (`" + echapper(decalage.test) + "`)";
    texte += " : les lignes suivantes sont d\xC3\xA9" "cal\xC3\xA9" "es ";
    texte += combien[decalage.lignes];
    return texte;
}

} // namespace

void suivreLigne(Historique& historique, const LigneComparee& ligne)
{
    Verdict verdict = analyserLigne(historique.analyse, ligne);
    if (ligne.identiques) {
        fermerPli(historique);
        return;
    }
    const bool plafonne = historique.nonAffiches > 0;
    if (verdict.explique) {
        if (!plafonne)
            plier(historique, true, 0, ligne.numeroLigne);
        return;
    }
    if (historique.pli.ouvert && (historique.pli.decalage || historique.pli.causes != verdict.causes))
        fermerPli(historique);
    if (verdict.causes != 0 && trouverParCauses(historique, verdict.causes).affiches >= rapportsAvantPli) {
        ++trouverParCauses(historique, verdict.causes).plies;
        if (!plafonne)
            plier(historique, false, verdict.causes, ligne.numeroLigne);
        return;
    }
    if (historique.affiches >= plafondRapports) {
        fermerPli(historique);
        if (historique.nonAffiches == 0)
            ecrireLignes(historique, "  ",
                         "\xE2\x80\xA6 " + nombre(plafondRapports) + " rapports affich\xC3\xA9s : les \xC3\xA9"
                         "checs suivants sont compt\xC3\xA9s sans \xC3\xAAtre affich\xC3\xA9s (tous les rapports : "
                         + std::string(ouTout) + ")", true);
        ++historique.nonAffiches;
        return;
    }
    if (!historique.legendeEcrite) {
        ecrireLignes(historique, "",
                     "(V1 : la ligne attendue ; V2 : la ligne obtenue du programme test\xC3\xA9)", true);
        historique.legendeEcrite = true;
    }
    const Echec echec{ligne.numeroLigne, ligne.commande, ligne.attendue, ligne.obtenue,
                      ligne.finTeste, ligne.finAttendu, ligne.obtenueSansSaut};
    const std::string remarque =
        verdict.etabli ? annoncerDecalage(historique.analyse.decalages.back()) : std::string();
    ecrireRapportTerminal(*historique.erreurs, echec, historique.couleur, verdict.indices, remarque);
    ++historique.affiches;
    ++trouverParCauses(historique, verdict.causes).affiches;
}

namespace {

void avertir(Historique& historique, const std::string& texte)
{
    ecrireLignes(historique, historique.couleur ? "  \x1b[1mattention\x1b[22m : " : "  attention : ", texte,
                 false);
}

void ecrireAvertissements(Historique& historique, const Decomptes& decomptes)
{
    const Analyse& analyse = historique.analyse;
    const FinParcours& fin = analyse.fin;
    const std::int64_t rapportes =
        std::accumulate(decomptes.tests.begin(), decomptes.tests.end(), std::int64_t{0});
    if (analyse.lignes > 0 && rapportes == 0)
        avertir(historique, "aucune ligne de test ne commence par trace, localiser, presences, "
                            "frequentations ou duree_rencontres : les fichiers sont-ils dans l'ordre "
                            "test, attendu, test\xC3\xA9 ?");
    if (fin.ligneBlanche) {
        std::string texte = "la validation s'est arr\xC3\xAAt\xC3\xA9" "e \xC3\xA0 la ligne #"
            + nombre(fin.lignesComparees + 1) + " du fichier de test, qui est vide ; ";
        const Apercu& reste = fin.resteTest;
        if (reste.complet)
            texte += pluriel(static_cast<std::int64_t>(reste.lignes), "ligne", "lignes") + " (" + grouper(reste.octets)
                + (reste.octets > 1 ? " octets" : " octet")
                + (reste.lignes > 1 ? ") qui la suivent n'ont pas \xC3\xA9t\xC3\xA9 lues"
                                    : ") qui la suit n'a pas \xC3\xA9t\xC3\xA9 lue");
        else
            texte += "au moins " + grouper(reste.octets) + " octets (" + grouper(reste.lignes)
                + " lignes et plus) qui la suivent n'ont pas \xC3\xA9t\xC3\xA9 lus";
        avertir(historique, texte);
    }
    if (analyse.premiereFinTeste == 1)
        avertir(historique, "le fichier test\xC3\xA9 est vide");
    else if (analyse.premiereFinTeste > 1 && !finExpliquee(analyse))
        avertir(historique, "le fichier test\xC3\xA9 s'arr\xC3\xAAte apr\xC3\xA8s la ligne #"
                                + nombre(analyse.premiereFinTeste - 1) + ", avant la fin du fichier de test");
    if (fin.resteVotre && !fin.ligneBlanche)
        avertir(historique, "le fichier test\xC3\xA9 a des lignes apr\xC3\xA8s la ligne #"
                                + nombre(fin.lignesComparees) + ", la derni\xC3\xA8re du fichier de test : elles n'ont pas \xC3\xA9t\xC3\xA9 compar\xC3\xA9" "es");
    if (analyse.premiereFinAttendu == 1)
        avertir(historique, "le fichier des r\xC3\xA9sultats attendus est vide");
    else if (analyse.premiereFinAttendu > 1)
        avertir(historique, "le fichier des r\xC3\xA9sultats attendus s'arr\xC3\xAAte apr\xC3\xA8s la ligne #"
                                + nombre(analyse.premiereFinAttendu - 1) + ", avant la fin du fichier de test");
}

std::string compterParMot(const Analyse& analyse)
{
    std::string texte = "en \xC3\xA9" "chec/compar\xC3\xA9" "es :";
    const char* separateur = " ";
    for (const ParMot& parMot : analyse.parMot) {
        const bool rapporte = std::find(commandesBilan.begin(), commandesBilan.end(), parMot.mot) != commandesBilan.end();
        if (!rapporte && parMot.tests == 0)
            continue;
        texte += separateur;
        texte += echapper(parMot.mot) + " " + nombre(parMot.echecs) + "/" + nombre(parMot.tests);
        separateur = ", ";
    }
    if (analyse.autresMotsTests > 0)
        texte += ", autres mots " + nombre(analyse.autresMotsEchecs) + "/" + nombre(analyse.autresMotsTests);
    return texte;
}

} // namespace

void ecrireRecap(Historique& historique, const Decomptes& decomptes, bool modeCorrige)
{
    fermerPli(historique);
    const Analyse& analyse = historique.analyse;
    const std::string_view titre = historique.couleur ? "\x1b[1mR\xC3\xA9" "capitulatif\x1b[22m : " : "R\xC3\xA9" "capitulatif : ";
    if (analyse.echecs == 0) {
        ecrireLignes(historique, titre,
                     analyse.lignes == 0 ? std::string("aucune ligne compar\xC3\xA9" "e")
                                         : "aucun \xC3\xA9" "chec, " + pluriel(analyse.lignes, "ligne compar\xC3\xA9" "e", "lignes compar\xC3\xA9" "es")
                                               + " qui concordent",
                     false);
        ecrireAvertissements(historique, decomptes);
        return;
    }
    ecrireLignes(historique, titre,
                 pluriel(analyse.echecs, "ligne", "lignes") + " en \xC3\xA9" "chec sur " + nombre(analyse.lignes)
                     + " compar\xC3\xA9" "es, la premi\xC3\xA8re \xC3\xA0 la ligne #" + nombre(analyse.premierEchec) + " ("
                     + echapper(analyse.commandePremierEchec) + ")",
                 false);
    ecrireLignes(historique, "  ", compterParMot(analyse), false);
    for (const Decalage& decalage : analyse.decalages) {
        std::string texte = "d\xC3\xA9" "calage : " + decrireDecalage(decalage);
        if (!decalage.test.empty())
            texte += " (`" + echapper(decalage.test) + "`)";
        if (decalage.expliques > 0)
            texte += " ; il explique " + pluriel(decalage.expliques, "\xC3\xA9" "chec", "\xC3\xA9" "checs") + " (" + plage(decalage.premierExplique, decalage.dernierExplique) + ")";
        ecrireLignes(historique, "  ", texte, false);
    }
    for (const ParCauses& parCauses : historique.parCauses) {
        if (parCauses.plies > 0)
            ecrireLignes(historique, "  ",
                         "m\xC3\xAAme cause (" + nommerCauses(parCauses.causes) + ") : "
                             + pluriel(parCauses.affiches + parCauses.plies, "\xC3\xA9" "chec", "\xC3\xA9" "checs") + ", dont "
                             + nombre(parCauses.plies) + " pli\xC3\xA9" + (parCauses.plies > 1 ? "s" : ""),
                         false);
    }
    if (historique.nonAffiches > 0)
        ecrireLignes(historique, "  ",
                     "non affich\xC3\xA9" "s : " + pluriel(historique.nonAffiches, "\xC3\xA9" "chec", "\xC3\xA9" "checs")
                         + " apr\xC3\xA8s les " + nombre(plafondRapports)
                         + " premiers rapports ; pour tous les lire, relancer la m\xC3\xAAme commande suivie de "
                         + std::string(ouTout),
                     false);
    ecrireAvertissements(historique, decomptes);
    std::string legende = modeCorrige ? "bilan ci-dessous, lignes r\xC3\xA9ussies par commande : "
                                      : "bilan ci-dessous, r\xC3\xA9ussies/compar\xC3\xA9" "es par commande : ";
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        if (i > 0)
            legende += ", ";
        legende += commandesBilan[i];
    }
    ecrireLignes(historique, "  ", legende, true);
}

void validerSurTerminal(std::istream& test, std::istream& solution, std::istream& votre,
                        bool modeCorrige, bool couleur, std::ostream& sortie,
                        std::ostream& erreurs)
{
    Historique historique;
    historique.erreurs = &erreurs;
    historique.couleur = couleur;
    FinParcours fin;
    const Decomptes decomptes = parcourirLignes(
        test, solution, votre, [&historique](const LigneComparee& ligne) { suivreLigne(historique, ligne); },
        fin);
    terminerAnalyse(historique.analyse, fin);
    ecrireRecap(historique, decomptes, modeCorrige);
    ecrireBilan(decomptes.reussites, decomptes.tests, modeCorrige, sortie);
}
