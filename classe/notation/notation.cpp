#include "classe/notation/notation.h"

#include "classe/notation/suivi.h"
#include "classe/sorties/sorties.h"

#include "validation/explication/analyse.h"
#include "validation/fichier.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <istream>

#include <fcntl.h>
#include <unistd.h>

namespace {

// What is left of a submission past the last test line is counted whole up
// to this many bytes: the diagnosis names junk written after the answers.
constexpr std::size_t plafondApercu = std::size_t{1} << 30;


constexpr Cause causesDeForme[] = {causeCasse,     causePrefixe,         causeVirgule,   causeDecomposition,
                                   causeInsecable, causeDoubleEncodage,  causeSeparateur, causePasUtf8};

void fermer(int descripteur)
{
    if (descripteur >= 0)
        close(descripteur);
}

} // namespace

std::uint64_t empreinterObtenue(const LigneComparee& ligne)
{
    return ligne.obtenueCoupee ? ligne.empreinteObtenue : calculerEmpreinte(ligne.obtenue);
}

void classerDiagnostic(const Analyse& analyse, Note& note)
{
    const bool vide = analyse.lignes > 0 && analyse.premiereFinTeste == 1;
    const bool crlf = echoueParCrlf(analyse);
    const bool coupe = analyse.premiereFinTeste > 1 && analyse.echecs > 0 && !finExpliquee(analyse);
    if (coupe)
        note.arretApres = analyse.premiereFinTeste - 1;
    // One way of writing every answer otherwise right: letter case, a
    // prefix, decimal commas, decomposed accents...
    const auto compte = [&analyse](Cause cause) {
        return analyse.parCause[static_cast<std::size_t>(__builtin_ctz(cause))];
    };
    const bool ecriture = analyse.echecs > 0
        && std::any_of(std::begin(causesDeForme), std::end(causesDeForme),
                       [&](Cause cause) { return compte(cause) * 10 >= analyse.echecs * 9; });
    note.erreurDeForme =
        vide || crlf || coupe || ecriture || analyse.utf16 || analyse.alignement.nombreSauts > 0;
}

void comparerRemise(std::istream& test, std::istream& attendu, std::istream& votre, bool expliquer,
                    std::vector<EchecVue>* echecs, std::size_t plafond, Note& note)
{
    Suivi suivi;
    preparerSuivi(suivi, expliquer);
    const Analyse& analyse = suivi.historique.analyse;
    FinParcours fin;
    note.decomptes = parcourirLignes(
        test, attendu, votre,
        [&suivi, echecs](const LigneComparee& ligne) {
            suivreLigneRemise(suivi, ligne);
            if (echecs != nullptr && !ligne.identiques)
                echecs->push_back({ligne.numeroLigne, empreinterObtenue(ligne), couperApercu(ligne.obtenue)});
        },
        fin, borneLigne, plafond);
    note.explication = conclureSuivi(suivi, fin, note.decomptes);
    note.premiersEchecs = std::move(suivi.premiersEchecs);
    note.diagnostic = diagnostiquer(analyse);
    note.realignees = analyse.alignement.realignees;
    classerDiagnostic(analyse, note);
}

Note noterRemise(const Corrige& corrige, const Remise& remise, std::size_t rangee, VueClasse* vue,
                 bool expliquer)
{
    Note note;
    note.nom = remise.nom;
    note.identifiant = remise.identifiant;
    if (!remise.statut.empty()) {
        note.statut = remise.statut;
        note.absente = remise.absente;
        return note;
    }
    struct stat infos[3] {};
    std::string statuts[3];
    const int descripteurs[3] = {
        ouvrirLecture(corrige.cheminTest, true, false, infos[0], statuts[0]),
        ouvrirLecture(corrige.cheminAttendu, true, false, infos[1], statuts[1]),
        ouvrirLecture(remise.chemin, remise.trouvee, remise.trouvee && !remise.suivreLiens, infos[2],
                      statuts[2])};
    const Connu* const autre = descripteurs[2] < 0 ? nullptr : chercherAutre(corrige.identites, infos[2], rangee);
    if (descripteurs[0] < 0)
        note.statut = "fichier de test : " + statuts[0];
    else if (descripteurs[1] < 0)
        note.statut = "fichier attendu : " + statuts[1];
    else if (descripteurs[2] < 0)
        note.statut = statuts[2];
    // A link to the expected results would agree with them.
    else if (estMemeFichier(infos[2], infos[1]) || estMemeFichier(infos[2], corrige.infosAttendu))
        note.statut = "m\xC3\xAAme fichier que le corrig\xC3\xA9";
    else if (estMemeFichier(infos[2], infos[0]) || estMemeFichier(infos[2], corrige.infosTest))
        note.statut = "m\xC3\xAAme fichier que le test";
    // Whatever name reached it, a file the run has open, another row's
    // among them, is not this row's.
    else if (autre != nullptr)
        note.statut = decrireAutre(*autre);
    else if (remise.trouvee && remise.identifiee && !estMemeFichier(infos[2], remise.infos))
        note.statut = "remplac\xC3\xA9 pendant la notation";
    if (!note.statut.empty()) {
        for (const int descripteur : descripteurs)
            fermer(descripteur);
        return note;
    }

    // From here the buffers own the descriptors.
    Fichier fichierTest(descripteurs[0], std::ios::in);
    Fichier fichierAttendu(descripteurs[1], std::ios::in);
    Fichier fichierVotre(descripteurs[2], std::ios::in);
    std::istream fluxTest(&fichierTest);
    std::istream fluxAttendu(&fichierAttendu);
    std::istream fluxVotre(&fichierVotre);
    std::vector<EchecVue> echecs;
    comparerRemise(fluxTest, fluxAttendu, fluxVotre, expliquer, vue != nullptr ? &echecs : nullptr, plafondApercu,
                   note);
    if (fluxVotre.bad() || fluxTest.bad() || fluxAttendu.bad()) {
        // A row that could not be read whole has no diagnosis.
        note.statut = fluxVotre.bad() ? "erreur de lecture"
            : fluxTest.bad()          ? "fichier de test : erreur de lecture"
                                      : "fichier attendu : erreur de lecture";
        note.diagnostic.clear();
        note.realignees = 0;
        note.erreurDeForme = false;
        note.arretApres = 0;
        return note;
    }
    note.notee = true;
    note.statut = statutOk;
    if (vue != nullptr)
        prendreRemise(*vue, echecs, note.erreurDeForme);
    return note;
}

ResultatRemise convertirNote(const Note& note)
{
    ResultatRemise remise;
    remise.nom = note.nom;
    remise.identifiant = note.identifiant.empty() ? extraireParticipant(note.nom) : note.identifiant;
    remise.statut = note.statut;
    remise.trouvee = !note.absente;
    // A submission that was run has its sets' results already.
    if (!note.jeux.empty() || !note.compilee) {
        remise.jeux = note.jeux;
        remise.compilee = note.compilee;
        remise.compilation = note.compilation;
        return remise;
    }
    ResultatJeu jeu;
    jeu.note = note.notee;
    jeu.reussites = compterMots(note.decomptes.reussites, note.decomptes.autresReussites);
    jeu.explication = note.explication;
    jeu.premiersEchecs = note.premiersEchecs;
    remise.jeux.push_back(std::move(jeu));
    return remise;
}

std::optional<double> noterRangee(const Bareme& bareme, const std::vector<Jeu>& jeux, const Note& note)
{
    return noterSelonBareme(bareme, jeux, convertirNote(note)).note;
}
