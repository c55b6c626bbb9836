#include "analyse.h"

#include "utf16.h"
#include "validation/bilan.h"

#include <algorithm>

namespace {

// A cause's counter: one bit each.
std::size_t rangCause(Cause cause)
{
    return static_cast<std::size_t>(__builtin_ctz(cause));
}

// Other command words listed one by one before they are lumped together.
constexpr std::size_t autresMotsMax = 5;

// What the recap keeps of a command word.
constexpr std::size_t longueurMotGardee = 60;

// The diagnosis of a table's cell, in characters.
constexpr std::size_t longueurDiagnostic = 120;

// Cut on a character's start, so that no half character shows as bytes.
std::string couper(std::string_view texte, std::size_t longueur)
{
    std::size_t taille = std::min(texte.size(), longueur);
    while (taille < texte.size() && taille > 0 && (static_cast<unsigned char>(texte[taille]) & 0xC0) == 0x80)
        --taille;
    return std::string(texte.substr(0, taille));
}

void compterMot(Analyse& analyse, const LigneComparee& ligne)
{
    if (analyse.parMot.empty()) {
        for (const std::string_view mot : commandesBilan)
            analyse.parMot.push_back({std::string(mot), 0, 0});
    }
    auto place = std::find_if(analyse.parMot.begin(), analyse.parMot.end(),
                              [&](const ParMot& parMot) { return parMot.mot == ligne.commande; });
    if (place == analyse.parMot.end()) {
        if (analyse.parMot.size() >= commandesBilan.size() + autresMotsMax) {
            ++analyse.autresMotsTests;
            analyse.autresMotsEchecs += ligne.identiques ? 0 : 1;
            return;
        }
        analyse.parMot.push_back({couper(ligne.commande, longueurMotGardee), 0, 0});
        place = analyse.parMot.end() - 1;
    }
    ++place->tests;
    place->echecs += ligne.identiques ? 0 : 1;
}

// Turns the alignment's decisions into verdicts.
void recevoirDecisions(Analyse& analyse)
{
    Decision decision;
    while (prendreDecision(analyse.alignement, decision)) {
        // Past the last compared line: no verdict, its shifts go with the last one.
        if (decision.numeroLigne > analyse.lignes && analyse.terminee) {
            if (analyse.garderVerdicts && !analyse.verdicts.empty())
                for (Saut& saut : decision.sauts)
                    analyse.verdicts.back().sauts.push_back(saut);
            continue;
        }
        Verdict verdict;
        verdict.numeroLigne = decision.numeroLigne;
        verdict.echec = !analyse.echecsEnAttente.empty() && analyse.echecsEnAttente.front();
        if (!analyse.echecsEnAttente.empty())
            analyse.echecsEnAttente.pop_front();
        verdict.explique = verdict.echec
            && (decision.place == Place::decalee || decision.place == Place::manquante
                || decision.place == Place::enTrop);
        verdict.autreRang = verdict.echec && decision.place == Place::differente && decision.autreRang;
        verdict.sauts = std::move(decision.sauts);
        if (verdict.explique) {
            if (analyse.expliques++ == 0)
                analyse.premierExplique = verdict.numeroLigne;
            analyse.dernierExplique = verdict.numeroLigne;
        }
        if (analyse.garderVerdicts)
            analyse.verdicts.push_back(std::move(verdict));
    }
}

std::string nombre(std::int64_t valeur)
{
    return std::to_string(valeur);
}

std::string situer(const Saut& saut, bool diese)
{
    const std::string numero = (diese ? "#" : "") + nombre(saut.numero);
    if (saut.manque)
        return "\xC3\xA0 la ligne " + numero;
    if (saut.numero == 0)
        return std::string("avant la ligne ") + (diese ? "#1" : "1");
    return "apr\xC3\xA8s la ligne " + numero;
}

std::size_t compterCaracteres(std::string_view texte)
{
    return static_cast<std::size_t>(std::count_if(
        texte.begin(), texte.end(), [](char octet) { return (static_cast<unsigned char>(octet) & 0xC0) != 0x80; }));
}

} // namespace

std::vector<Indice> analyserLigne(Analyse& analyse, const LigneComparee& ligne)
{
    ++analyse.lignes;
    compterMot(analyse, ligne);
    if (ligne.finTeste && analyse.premiereFinTeste == 0)
        analyse.premiereFinTeste = ligne.numeroLigne;
    if (ligne.finAttendu && analyse.premiereFinAttendu == 0)
        analyse.premiereFinAttendu = ligne.numeroLigne;
    if (ligne.numeroLigne == 1 && !ligne.finTeste) {
        analyse.utf16 = reconnaitreUtf16(ligne.obtenue).ordre != OrdreUtf16::aucun;
        constexpr std::string_view marque = "\xEF\xBB\xBF";
        analyse.marqueEnTete = ligne.obtenue.substr(0, marque.size()) == marque
            && ligne.attendue.substr(0, marque.size()) != marque;
    }
    analyse.echecsEnAttente.push_back(!ligne.identiques);
    // A line too long to hold comes with the hash of the whole of it.
    pousserLigne(analyse.alignement,
                 ligne.attendueCoupee ? ligne.empreinteAttendue : calculerEmpreinte(ligne.attendue),
                 !ligne.finAttendu, ligne.obtenueCoupee ? ligne.empreinteObtenue : calculerEmpreinte(ligne.obtenue),
                 !ligne.finTeste);
    recevoirDecisions(analyse);
    if (ligne.identiques)
        return {};
    ++analyse.echecs;
    if (!ligne.obtenueCoupee && !ligne.obtenue.empty() && ligne.obtenue.back() == '\r'
        && (ligne.attendue.empty() || ligne.attendue.back() != '\r'))
        ++analyse.echecsFinRetour;
    if (analyse.premierEchec == 0) {
        analyse.premierEchec = ligne.numeroLigne;
        analyse.commandePremierEchec = couper(ligne.commande, longueurMotGardee);
    }
    const Echec echec{ligne.numeroLigne, ligne.commande, ligne.attendue, ligne.obtenue,
                      ligne.finTeste, ligne.finAttendu, ligne.obtenueSansSaut};
    std::vector<Indice> indices = trouverIndices(echec);
    for (const Indice& indice : indices)
        ++analyse.parCause[rangCause(indice.cause)];
    return indices;
}

void terminerAnalyse(Analyse& analyse, const FinParcours& fin)
{
    analyse.fin = fin;
    analyse.terminee = true;
    if (analyse.alignerSuite) {
        for (const std::uint64_t empreinte : fin.suiteVotre)
            pousserLigne(analyse.alignement, 0, false, empreinte, true);
    }
    terminerAlignement(analyse.alignement);
    recevoirDecisions(analyse);
}

bool prendreVerdict(Analyse& analyse, Verdict& verdict)
{
    if (analyse.verdicts.empty())
        return false;
    verdict = std::move(analyse.verdicts.front());
    analyse.verdicts.pop_front();
    return true;
}

std::uint64_t compterLignesApresFin(const Analyse& analyse)
{
    const Apercu& reste = analyse.fin.apercuVotre;
    if (reste.octets == 0)
        return 0;
    const std::uint64_t lignes = std::max<std::uint64_t>(reste.lignes, 1);
    const std::int64_t poussees = std::max<std::int64_t>(analyse.alignement.enTrop - analyse.alignement.manquantes, 0);
    return lignes > static_cast<std::uint64_t>(poussees) ? lignes - static_cast<std::uint64_t>(poussees) : 0;
}

bool finExpliquee(const Analyse& analyse)
{
    // Every expected line found its result, earlier, but for empty ones
    // left out at the very end.
    const Alignement& alignement = analyse.alignement;
    return analyse.premiereFinTeste > 1 && alignement.manquantes > 0
        && alignement.restantes == alignement.restantesVides;
}

bool echoueParCrlf(const Analyse& analyse)
{
    const std::int64_t retours = std::max(
        analyse.parCause[rangCause(causeRetoursChariot)], analyse.echecsFinRetour);
    return analyse.echecs > 0 && retours * 10 >= analyse.echecs * 9;
}

std::string decrireSaut(const Saut& saut)
{
    static constexpr std::string_view nombres[] = {"", "une", "deux", "trois"};
    const bool une = saut.lignes == 1;
    std::string texte = saut.lignes <= 3 ? std::string(nombres[saut.lignes]) : nombre(saut.lignes);
    texte += une ? " ligne" : " lignes";
    if (saut.manque)
        texte += une ? " semble manquer" : " semblent manquer";
    else
        texte += une ? " de trop semble se trouver" : " de trop semblent se trouver";
    texte += " dans le fichier test\xC3\xA9 " + situer(saut, true);
    return texte;
}

std::string resumerSauts(const Alignement& alignement, bool diese)
{
    const std::int64_t manquantes = alignement.manquantes;
    const std::int64_t enTrop = alignement.enTrop;
    if (alignement.nombreSauts == 0)
        return {};
    std::string texte;
    if (manquantes > 0)
        texte = nombre(manquantes) + (manquantes > 1 ? " lignes manquantes" : " ligne manquante");
    if (enTrop > 0)
        texte += manquantes > 0 ? " et " + nombre(enTrop) + " en trop"
                                : nombre(enTrop) + (enTrop > 1 ? " lignes en trop" : " ligne en trop");
    texte += alignement.nombreSauts == 1 ? " " : ", la premi\xC3\xA8re ";
    texte += situer(alignement.premierSaut, diese);
    return texte;
}

std::string diagnostiquer(const Analyse& analyse)
{
    std::string diagnostic;
    const auto ajouterPhrase = [&diagnostic](const std::string& phrase) {
        if (phrase.empty())
            return;
        const std::size_t separateur = diagnostic.empty() ? 0 : 3;
        if (compterCaracteres(diagnostic) + separateur + compterCaracteres(phrase) > longueurDiagnostic)
            return;
        if (!diagnostic.empty())
            diagnostic += " ; ";
        diagnostic += phrase;
    };
    const auto compte = [&analyse](Cause cause) {
        return analyse.parCause[rangCause(cause)];
    };
    if (analyse.lignes > 0 && analyse.premiereFinTeste == 1)
        return "fichier vide";
    // UTF-16 explains every failure, and the odd lines its zero bytes make.
    if (analyse.utf16)
        return "en UTF-16, pas en UTF-8";
    if (echoueParCrlf(analyse))
        ajouterPhrase("fins de ligne CRLF (Windows)");
    if (compte(causeMarqueOrdre) > 0 || analyse.marqueEnTete)
        ajouterPhrase("marque d'ordre des octets (BOM) en t\xC3\xAAte");
    if (analyse.echecs > 0 && compte(causeCasse) * 2 >= analyse.echecs)
        ajouterPhrase("seule la casse diff\xC3\xA8re (" + nombre(compte(causeCasse))
                      + (compte(causeCasse) > 1 ? " lignes)" : " ligne)"));
    // Causes that a hint names line by line, when they explain a good
    // part of the failures.
    static constexpr struct {
        Cause cause;
        std::string_view texte;
    } causesParLigne[] = {
        {causePrefixe, "un pr\xC3\xA9" "fixe devant les r\xC3\xA9sultats"},
        {causeVirgule, "virgule et point d\xC3\xA9" "cimal \xC3\xA9" "chang\xC3\xA9s"},
        {causeDecomposition, "accents d\xC3\xA9" "compos\xC3\xA9s en NFD"},
        {causeInsecable, "espaces ins\xC3\xA9" "cables"},
        {causeDoubleEncodage, "texte encod\xC3\xA9 deux fois en UTF-8"},
        {causeInvisible, "caract\xC3\xA8res invisibles"},
        {causeOrdre, "les m\xC3\xAAmes mots dans un autre ordre"},
        {causeSeparateur, "les m\xC3\xAAmes mots s\xC3\xA9par\xC3\xA9s autrement"},
    };
    for (const auto& entree : causesParLigne) {
        const std::int64_t lignes = compte(entree.cause);
        if (analyse.echecs > 0 && lignes * 4 >= analyse.echecs)
            ajouterPhrase(std::string(entree.texte) + " (" + nombre(lignes) + (lignes > 1 ? " lignes)" : " ligne)"));
    }
    ajouterPhrase(resumerSauts(analyse.alignement, false));
    if (analyse.premiereFinTeste > 1 && analyse.echecs > 0 && !finExpliquee(analyse)) {
        // With shifts, the answers stop at the test line the alignment
        // reached; missing lines found before make a few more at the end
        // no sign of a crash.
        const Alignement& alignement = analyse.alignement;
        const bool decale = alignement.nombreSauts > 0 && alignement.restantes > 0;
        const std::int64_t derniere =
            decale ? analyse.lignes - alignement.restantes : analyse.premiereFinTeste - 1;
        const bool interrompu =
            alignement.manquantes == 0 || alignement.restantes - alignement.restantesVides > alignement.manquantes;
        ajouterPhrase("s'arr\xC3\xAAte apr\xC3\xA8s la ligne " + nombre(derniere)
                      + (interrompu ? " (programme interrompu ?)" : ""));
    }
    const Apercu& reste = analyse.fin.apercuVotre;
    if (!analyse.fin.ligneBlanche && compterLignesApresFin(analyse) > 0) {
        const std::uint64_t lignes = compterLignesApresFin(analyse);
        ajouterPhrase((reste.complet ? "" : "au moins ") + std::to_string(lignes)
                      + (lignes > 1 ? " lignes en trop" : " ligne en trop")
                      + " apr\xC3\xA8s la derni\xC3\xA8re ligne de test");
    }
    if (!analyse.utf16 && compte(causePasUtf8) > 0)
        ajouterPhrase("pas en UTF-8");
    return diagnostic;
}
