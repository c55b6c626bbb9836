// The recap of a run on a terminal: the lines it would say, each with its
// rank of importance, and those that fit in the rows the run has left.

#include "terminal.h"

#include "affichage.h"
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
    return noms.empty() ? std::string("autre") : noms;
}

std::string nombre(std::int64_t valeur)
{
    return std::to_string(valeur);
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

std::string echapper(std::string_view texte)
{
    std::stringbuf tampon;
    Sortie sortie;
    sortie.flux = &tampon;
    ecrireEchappe(sortie, texte);
    vider(sortie);
    return tampon.str();
}

// One line of the recap. Rank 0 is always written; then, as rows allow,
// rank 1 before rank 2, and within a rank in the order given.
struct LigneRecap {
    std::string texte;
    int rang = 1;
    bool avertissement = false;
    std::size_t rangees = 0;
};

struct Recap {
    const Historique* historique = nullptr;
    std::vector<LigneRecap> lignes;
};

void ajouter(Recap& recap, int rang, std::string texte, bool avertissement = false)
{
    LigneRecap ligne;
    ligne.rang = rang;
    ligne.avertissement = avertissement;
    ligne.rangees = compterRangees(texte, recap.historique->ecran.colonnes);
    ligne.texte = std::move(texte);
    recap.lignes.push_back(std::move(ligne));
}

std::string ligneSimple(std::string_view avant, std::string_view texte)
{
    return std::string(avant) + std::string(texte) + "\n";
}

std::string ligneGrise(const Historique& historique, std::string_view avant, std::string_view texte)
{
    std::stringbuf tampon;
    Sortie sortie;
    sortie.flux = &tampon;
    ecrireGrise(sortie, avant, texte, historique.ecran.couleur);
    vider(sortie);
    return tampon.str();
}

void avertir(Recap& recap, const std::string& texte)
{
    const bool couleur = recap.historique->ecran.couleur;
    ajouter(recap, 1, ligneSimple(couleur ? "  \x1b[1mattention\x1b[22m : " : "  attention : ", texte), true);
}

void ajouterAvertissements(Recap& recap, const Decomptes& decomptes)
{
    const Analyse& analyse = recap.historique->analyse;
    const FinParcours& fin = analyse.fin;
    const std::int64_t rapportes =
        std::accumulate(decomptes.tests.begin(), decomptes.tests.end(), std::int64_t{0});
    if (analyse.lignes > 0 && rapportes == 0)
        avertir(recap, "aucune ligne de test ne commence par trace, localiser, presences, "
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
        avertir(recap, texte);
    }
    if (analyse.premiereFinTeste == 1)
        avertir(recap, "le fichier test\xC3\xA9 est vide");
    else if (analyse.premiereFinTeste > 1 && !finExpliquee(analyse))
        avertir(recap, "le fichier test\xC3\xA9 s'arr\xC3\xAAte apr\xC3\xA8s la ligne #"
                           + nombre(analyse.premiereFinTeste - 1) + ", avant la fin du fichier de test");
    // In UTF-16 the zero byte after the last newline reads as one more line.
    if (fin.resteVotre && !fin.ligneBlanche && !analyse.utf16 && compterLignesApresFin(analyse) > 0)
        avertir(recap, "le fichier test\xC3\xA9 a des lignes apr\xC3\xA8s la ligne #" + nombre(fin.lignesComparees)
                           + ", la derni\xC3\xA8re du fichier de test : elles n'ont pas \xC3\xA9t\xC3\xA9 compar\xC3\xA9" "es");
    if (analyse.premiereFinAttendu == 1)
        avertir(recap, "le fichier des r\xC3\xA9sultats attendus est vide");
    else if (analyse.premiereFinAttendu > 1)
        avertir(recap, "le fichier des r\xC3\xA9sultats attendus s'arr\xC3\xAAte apr\xC3\xA8s la ligne #"
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

std::string decrireDecalages(const Historique& historique)
{
    const Analyse& analyse = historique.analyse;
    const Alignement& alignement = analyse.alignement;
    const bool un = alignement.nombreSauts == 1;
    std::string texte = (un ? "d\xC3\xA9" "calage : " : "d\xC3\xA9" "calages : ") + resumerSauts(alignement, true);
    if (analyse.expliques > 0)
        texte += std::string(un ? " ; il explique " : " ; ils expliquent ")
            + pluriel(analyse.expliques, "\xC3\xA9" "chec", "\xC3\xA9" "checs") + " ("
            + plage(analyse.premierExplique, analyse.dernierExplique) + ")";
    return texte;
}

void ajouterCauses(Recap& recap)
{
    const Historique& historique = *recap.historique;
    std::vector<const Groupe*> groupes;
    for (const Groupe& groupe : historique.groupes) {
        if (groupe.genre != Genre::decalage && groupe.echecs > groupe.affiches)
            groupes.push_back(&groupe);
    }
    // Wrong answers alone: the count of those not shown says it all.
    if (groupes.size() == 1 && groupes.front()->genre == Genre::sansIndice
        && historique.analyse.alignement.nombreSauts == 0)
        return;
    std::stable_sort(groupes.begin(), groupes.end(),
                     [](const Groupe* a, const Groupe* b) { return a->echecs > b->echecs; });
    for (const Groupe* groupe : groupes) {
        const std::int64_t tus = groupe->echecs - groupe->affiches;
        std::string texte = groupe->genre == Genre::indices ? "m\xC3\xAAme cause (" + nommerCauses(groupe->causes) + ") : "
            : groupe->genre == Genre::realignee
            ? std::string("diff\xC3\xA9rents une fois r\xC3\xA9" "align\xC3\xA9s : ")
            : std::string("sans indice : ");
        texte += pluriel(groupe->echecs, "\xC3\xA9" "chec", "\xC3\xA9" "checs") + " ("
            + plage(groupe->premier, groupe->dernier) + "), dont " + nombre(tus)
            + (tus > 1 ? " non affich\xC3\xA9s" : " non affich\xC3\xA9");
        ajouter(recap, 1, ligneSimple("  ", texte));
    }
}

} // namespace

std::size_t rangeesBilan(const Decomptes& decomptes, bool modeCorrige, std::size_t colonnes)
{
    std::ostringstream bilan;
    ecrireBilan(decomptes.reussites, decomptes.tests, modeCorrige, bilan);
    return compterRangees(bilan.str(), colonnes);
}

void ecrireRecap(Historique& historique, const Decomptes& decomptes, bool modeCorrige)
{
    const Analyse& analyse = historique.analyse;
    Recap recap;
    recap.historique = &historique;
    const bool couleur = historique.ecran.couleur;
    const std::string_view titre = couleur ? "\x1b[1mR\xC3\xA9" "capitulatif\x1b[22m : " : "R\xC3\xA9" "capitulatif : ";
    if (analyse.echecs == 0) {
        ajouter(recap, 0, ligneSimple(titre, analyse.lignes == 0
                                                 ? std::string("aucune ligne compar\xC3\xA9" "e")
                                                 : "aucun \xC3\xA9" "chec, " + pluriel(analyse.lignes, "ligne compar\xC3\xA9" "e", "lignes compar\xC3\xA9" "es")
                                                       + " qui concordent"));
    } else {
        ajouter(recap, 0, ligneSimple(titre, pluriel(analyse.echecs, "ligne", "lignes") + " en \xC3\xA9" "chec sur "
                                                 + nombre(analyse.lignes) + " compar\xC3\xA9" "es, la premi\xC3\xA8re \xC3\xA0 la ligne #"
                                                 + nombre(analyse.premierEchec) + " (" + echapper(analyse.commandePremierEchec) + ")"));
    }
    // The first failure, again, when its report would leave the screen and
    // the repeat itself can stay on it.
    const std::size_t minimum = recap.lignes.front().rangees + rangeesBilan(decomptes, modeCorrige, historique.ecran.colonnes);
    const std::string repetition =
        "  premi\xC3\xA8re ligne en \xC3\xA9" "chec :\n" + historique.premierRapport;
    if (!historique.premierRapport.empty()
        && historique.ecran.utilisees + minimum > historique.budget + historique.rangeePremierRapport
        && compterRangees(repetition, historique.ecran.colonnes) + minimum <= historique.budget)
        ajouter(recap, 0, repetition);
    // The hints on the run as a whole: one line each.
    std::vector<std::string> indices =
        indiquerFichiers(historique.faits, historique.cheminAttendu, historique.cheminTeste);
    indices.push_back(indiquerResultatsVidesOmis(analyse.alignement.manquantes, analyse.alignement.manquantesVides));
    for (const std::string& indice : indices) {
        if (!indice.empty())
            ajouter(recap, 1, ligneGrise(historique, "", ajusterLigne("  indice : " + indice, historique.ecran.colonnes)));
    }
    if (analyse.echecs > 0) {
        if (analyse.alignement.nombreSauts > 0)
            ajouter(recap, 1, ligneSimple("  ", decrireDecalages(historique)));
        ajouterCauses(recap);
        if (historique.nonAffiches > 0)
            ajouter(recap, 1, ligneSimple("  ", "non affich\xC3\xA9s : " + pluriel(historique.nonAffiches, "\xC3\xA9" "chec", "\xC3\xA9" "checs")
                                                    + " ; pour tous les lire, relancer la m\xC3\xAAme commande suivie de " + std::string(ouTout)));
        ajouter(recap, 2, ligneSimple("  ", compterParMot(analyse)));
    }
    ajouterAvertissements(recap, decomptes);
    if (analyse.echecs > 0) {
        std::string legende = modeCorrige ? "bilan ci-dessous, lignes r\xC3\xA9ussies par commande : "
                                          : "bilan ci-dessous, r\xC3\xA9ussies/compar\xC3\xA9" "es par commande : ";
        for (std::size_t i = 0; i < commandesBilan.size(); ++i)
            legende += std::string(i > 0 ? ", " : "") + std::string(commandesBilan[i]);
        ajouter(recap, 2, ligneGrise(historique, "  ", legende));
    }
    // Warnings first among the lines of rank 1: they say the run makes no sense.
    const std::size_t dispo = historique.budget > historique.ecran.utilisees ? historique.budget - historique.ecran.utilisees : 0;
    std::size_t pris = rangeesBilan(decomptes, modeCorrige, historique.ecran.colonnes);
    std::vector<bool> gardees(recap.lignes.size(), false);
    for (std::size_t i = 0; i < recap.lignes.size(); ++i) {
        if (recap.lignes[i].rang == 0) {
            gardees[i] = true;
            pris += recap.lignes[i].rangees;
        }
    }
    for (const int rang : {1, 2}) {
        for (const bool avertissement : {true, false}) {
            for (std::size_t i = 0; i < recap.lignes.size(); ++i) {
                const LigneRecap& ligne = recap.lignes[i];
                if (ligne.rang != rang || gardees[i] || ligne.avertissement != avertissement || pris + ligne.rangees > dispo)
                    continue;
                gardees[i] = true;
                pris += ligne.rangees;
            }
        }
    }
    for (std::size_t i = 0; i < recap.lignes.size(); ++i) {
        if (gardees[i])
            ecrireSurEcran(historique.ecran, recap.lignes[i].texte);
    }
}
