#include "terminal.h"

#include "affichage.h"
#include "validation/bilan.h"

#include <algorithm>
#include <sstream>

namespace {

// Quoted test lines kept at most, however far the files are shifted, and
// the bytes kept of each: what two rows of a wide terminal can show.
constexpr std::size_t citationsGardees = 1024;
constexpr std::size_t longueurCitationGardee = 2048;

constexpr std::string_view legende =
    "(V1 : la ligne attendue ; V2 : la ligne obtenue du programme test\xC3\xA9)";

// A test line wider than the terminal is quoted in the rest of its
// statement's row, when that shows this much of it with its marker.
constexpr std::size_t largeurCitationUtile = 36;

// The start of a test line `taille` bytes long (`texte`, all of it or
// enough for two rows) as a statement quotes it: escaped, and when wider
// than `largeur` columns, its start, which names the command, then a
// marker of what is left out.
std::string citer(std::string_view texte, std::size_t taille, std::size_t largeur)
{
    std::stringbuf tampon;
    Sortie sortie;
    sortie.flux = &tampon;
    const std::size_t marque = mesurer(composerMarque(std::max<std::size_t>(taille, 2)), Region{}).largeur;
    std::size_t colonne = 0;
    std::size_t coupe = 0; // bytes that leave room for the marker
    std::size_t pos = 0;
    for (; pos < texte.size(); ) {
        const std::size_t longueur = lireCaractere(texte, pos).taille;
        colonne += mesurer(texte.substr(pos, longueur), Region{}, 8).largeur;
        if (colonne > largeur)
            break;
        pos += longueur;
        if (colonne + marque <= largeur)
            coupe = pos;
    }
    if (pos == taille) {
        ecrireEchappe(sortie, texte);
    } else {
        ecrireEchappe(sortie, texte.substr(0, coupe));
        ajouter(sortie, composerMarque(taille - coupe));
    }
    vider(sortie);
    return tampon.str();
}

std::string griser(const Ecran& ecran, std::string_view avant, std::string_view texte)
{
    std::stringbuf tampon;
    Sortie sortie;
    sortie.flux = &tampon;
    ecrireGrise(sortie, avant, texte, ecran.couleur);
    vider(sortie);
    return tampon.str();
}

Groupe& trouverGroupe(Historique& historique, Genre genre, unsigned causes)
{
    auto place = std::find_if(historique.groupes.begin(), historique.groupes.end(),
                              [&](const Groupe& g) { return g.genre == genre && g.causes == causes; });
    if (place != historique.groupes.end())
        return *place;
    Groupe groupe;
    groupe.genre = genre;
    groupe.causes = causes;
    historique.groupes.push_back(groupe);
    return historique.groupes.back();
}

// The legend's rows before a report of `rangees` rows: none once it is
// written, nor where it would leave too little room to the report.
std::size_t rangeesLegende(const Historique& historique, std::size_t rangees)
{
    if (historique.legendeEcrite)
        return 0;
    const std::size_t siens = compterRangees(legende, historique.ecran.colonnes);
    return historique.ecran.utilisees + siens + rangees <= historique.budgetRapports ? siens : 0;
}

// Whether `rangees` more rows fit among the reports': all of their rows for
// the first failure of a cause, two thirds for the next ones, so that a
// cause that repeats leaves room for others.
bool tient(const Historique& historique, std::size_t rangees, bool premier)
{
    const std::size_t limite = premier ? historique.budgetRapports : historique.budgetRapports * 2 / 3;
    return historique.ecran.utilisees + rangees <= limite;
}

void afficher(Historique& historique, std::string_view texte, bool rapport)
{
    if (rapport && !historique.legendeEcrite) {
        if (rangeesLegende(historique, compterRangees(texte, historique.ecran.colonnes)) > 0)
            ecrireSurEcran(historique.ecran, griser(historique.ecran, "", legende));
        historique.legendeEcrite = true;
    }
    ecrireSurEcran(historique.ecran, texte);
}

std::string enoncer(const Historique& historique, const Saut& saut)
{
    std::string texte = decrireSaut(saut);
    const std::int64_t cite = saut.numero == 0 ? 1 : saut.numero;
    for (const auto& [numero, citation] : historique.citations) {
        if (numero == cite) {
            // Short lines are kept as read, and shown only when quoted:
            // whole when the terminal is wide enough for them, else their
            // start in the rest of the row, or of the next one too when
            // that leaves too little.
            const std::size_t colonnes = historique.ecran.colonnes;
            const std::size_t fin = mesurerLargeur("  " + texte + " (``)") % colonnes;
            std::size_t place = fin == 0 ? 0 : colonnes - fin;
            if (place < largeurCitationUtile)
                place += colonnes;
            if (citation.debut.size() == citation.taille
                && mesurer(citation.debut, Region{}, 8).largeur <= colonnesTexte(colonnes))
                place = colonnesTexte(colonnes);
            texte += " (`" + citer(citation.debut, citation.taille, place) + "`)";
            break;
        }
    }
    return texte;
}

// Whether a failure with these hints could still be shown in full.
bool peutMontrer(Historique& historique, unsigned causes)
{
    if (causes != 0 && trouverGroupe(historique, Genre::indices, causes).affiches >= rapportsParCause)
        return false;
    return tient(historique, 3 + rangeesLegende(historique, 3), true);
}

void traiterVerdict(Historique& historique, const Verdict& verdict, const EnAttente* attente)
{
    std::vector<std::string> enonces;
    for (const Saut& saut : verdict.sauts) {
        if (historique.sautsDits + static_cast<std::int64_t>(enonces.size()) < rapportsParCause)
            enonces.push_back(enoncer(historique, saut));
        else
            ++historique.sautsTus;
    }
    std::string texteEnonces;
    for (const std::string& enonce : enonces)
        texteEnonces += griser(historique.ecran, "  ", enonce);
    const auto dire = [&historique, &enonces](bool dits) {
        if (dits)
            historique.sautsDits += static_cast<std::int64_t>(enonces.size());
        else
            historique.sautsTus += static_cast<std::int64_t>(enonces.size());
    };
    if (attente == nullptr) {
        const bool dits = !enonces.empty() && tient(historique, compterRangees(texteEnonces, historique.ecran.colonnes), true);
        if (dits)
            afficher(historique, texteEnonces, false);
        dire(dits);
        return;
    }
    Groupe& groupe = verdict.explique ? trouverGroupe(historique, Genre::decalage, 0)
        : verdict.autreRang          ? trouverGroupe(historique, Genre::realignee, 0)
        : attente->causes != 0       ? trouverGroupe(historique, Genre::indices, attente->causes)
                                     : trouverGroupe(historique, Genre::sansIndice, 0);
    if (groupe.echecs++ == 0)
        groupe.premier = verdict.numeroLigne;
    groupe.dernier = verdict.numeroLigne;
    bool montrer = !attente->rapport.empty();
    // A shift shows where it starts; the failures it explains after that
    // are counted.
    if (verdict.explique)
        montrer = montrer && !enonces.empty();
    else if (verdict.autreRang)
        montrer = false;
    else if (groupe.genre == Genre::indices)
        montrer = montrer && groupe.affiches < rapportsParCause;
    const std::string& rapport = (verdict.explique || verdict.autreRang) && !attente->sansIndices.empty()
        ? attente->sansIndices
        : attente->rapport;
    const std::string texte = rapport + texteEnonces;
    const std::size_t rangeesTexte = compterRangees(texte, historique.ecran.colonnes);
    const std::size_t rangees = rangeesTexte + rangeesLegende(historique, rangeesTexte);
    // The first failure is shown whatever it takes.
    const bool premier = historique.premierRapport.empty() && verdict.numeroLigne == historique.analyse.premierEchec;
    // Wrong answers without a hint may each be a mistake of its own: only a
    // cause shown already leaves room for others.
    const bool nouveau = groupe.affiches == 0 || groupe.genre == Genre::sansIndice;
    if (!attente->rapport.empty() && (premier || (montrer && tient(historique, rangees, nouveau)))) {
        if (premier) {
            historique.rangeePremierRapport = historique.ecran.utilisees + rangeesLegende(historique, rangeesTexte);
            historique.premierRapport = rapport;
        }
        afficher(historique, texte, true);
        ++groupe.affiches;
        dire(true);
        return;
    }
    ++historique.nonAffiches;
    const bool dits = !enonces.empty() && tient(historique, compterRangees(texteEnonces, historique.ecran.colonnes), true);
    if (dits)
        afficher(historique, texteEnonces, false);
    dire(dits);
}

void prendreVerdicts(Historique& historique)
{
    Verdict verdict;
    while (prendreVerdict(historique.analyse, verdict)) {
        const bool attend = verdict.echec && !historique.enAttente.empty()
            && historique.enAttente.front().numeroLigne == verdict.numeroLigne;
        traiterVerdict(historique, verdict, attend ? &historique.enAttente.front() : nullptr);
        if (attend)
            historique.enAttente.pop_front();
    }
}

} // namespace

void commencerHistorique(Historique& historique, std::ostream& erreurs, const Presentation& presentation)
{
    Ecran& ecran = historique.ecran;
    ecran.erreurs = &erreurs;
    ecran.couleur = presentation.couleur;
    ecran.lignes = std::max<std::size_t>(presentation.lignes, 2);
    ecran.colonnes = std::max<std::size_t>(presentation.colonnes, 1);
    // The last row is the shell's, for its prompt.
    historique.budget = ecran.lignes - 1 > presentation.rangeesAvant ? ecran.lignes - 1 - presentation.rangeesAvant : 1;
    // The recap's rows: its title, the summary line and three lines of about
    // 110 columns at least, a third of the screen at most.
    const auto rangees = [&ecran](std::size_t largeur) { return (largeur + ecran.colonnes - 1) / ecran.colonnes; };
    const std::size_t reserve = std::max(historique.budget / 3, rangees(100) + 3 * rangees(110) + 1);
    historique.budgetRapports = historique.budget > reserve ? historique.budget - reserve : 0;
    historique.analyse.garderVerdicts = true;
    historique.cheminAttendu = presentation.cheminAttendu;
    historique.cheminTeste = presentation.cheminTeste;
}

void suivreLigne(Historique& historique, const LigneComparee& ligne)
{
    const std::vector<Indice> indices = analyserLigne(historique.analyse, ligne);
    releverFaits(historique.faits, ligne);
    // A shift statement names a test line a window of lines after it was
    // read: what it would quote is kept while it may be named.
    if (historique.sautsDits < rapportsParCause) {
        auto& citations = historique.citations;
        // Two rows of it at most are ever shown.
        const std::size_t garde = std::min(longueurCitationGardee, 8 * historique.ecran.colonnes);
        const std::size_t debut = ligne.test.size() <= garde ? ligne.test.size() : debutCaractere(ligne.test, garde);
        citations.emplace_back(ligne.numeroLigne, Citation{std::string(ligne.test.substr(0, debut)), ligne.test.size()});
        const std::int64_t nommable = historique.analyse.alignement.placeesAttendues
            - 2 * static_cast<std::int64_t>(horizonAlignement);
        while (!citations.empty() && (citations.front().first < nommable || citations.size() > citationsGardees))
            citations.pop_front();
    }
    if (!ligne.identiques) {
        EnAttente attente;
        attente.numeroLigne = ligne.numeroLigne;
        for (const Indice& indice : indices)
            attente.causes |= indice.cause;
        // Where the files agree with an offset, a line is placed as soon as
        // it is read: one a shift explains, where none starts, is counted,
        // never shown, and needs no report.
        const auto& verdicts = historique.analyse.verdicts;
        const bool compte = !verdicts.empty() && verdicts.back().numeroLigne == ligne.numeroLigne
            && (verdicts.back().explique || verdicts.back().autreRang) && verdicts.back().sauts.empty();
        if (historique.analyse.echecs == 1 || (!compte && peutMontrer(historique, attente.causes))) {
            std::ostringstream rapport;
            const Echec echec{ligne.numeroLigne, ligne.commande, ligne.attendue, ligne.obtenue,
                              ligne.finTeste, ligne.finAttendu, ligne.obtenueSansSaut};
            ecrireRapportTerminal(rapport, echec, historique.ecran.couleur, indices, {}, historique.ecran.colonnes);
            attente.rapport = rapport.str();
            if (!indices.empty()) {
                std::ostringstream seul;
                ecrireRapportTerminal(seul, echec, historique.ecran.couleur, {}, {}, historique.ecran.colonnes);
                attente.sansIndices = seul.str();
            }
        }
        historique.enAttente.push_back(std::move(attente));
    }
    prendreVerdicts(historique);
}

void terminerHistorique(Historique& historique, const FinParcours& fin)
{
    terminerAnalyse(historique.analyse, fin);
    prendreVerdicts(historique);
}

void validerSurTerminal(std::istream& test, std::istream& solution, std::istream& votre,
                        bool modeCorrige, const Presentation& presentation, std::ostream& sortie,
                        std::ostream& erreurs)
{
    Historique historique;
    commencerHistorique(historique, erreurs, presentation);
    FinParcours fin;
    const Decomptes decomptes = parcourirLignes(
        test, solution, votre, [&historique](const LigneComparee& ligne) { suivreLigne(historique, ligne); },
        fin);
    terminerHistorique(historique, fin);
    ecrireRecap(historique, decomptes, modeCorrige);
    ecrireBilan(decomptes.reussites, decomptes.tests, modeCorrige, sortie);
}
