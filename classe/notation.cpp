#include "notation.h"

#include "validation/bilan.h"
#include "validation/explication/analyse.h"
#include "validation/explication/terminal.h"
#include "validation/rapport.h"

#include <ext/stdio_filebuf.h>

#include <cerrno>
#include <algorithm>
#include <istream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Fichier = __gnu_cxx::stdio_filebuf<char>;

bool estMemeFichier(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// "Ligne #5 (localiser) : ÉCHEC" with V1 and V2, each cut short.
std::string decrireEchec(const LigneComparee& ligne)
{
    constexpr std::size_t longueur = 200;
    const Echec echec{ligne.numeroLigne, ligne.commande.substr(0, longueur), ligne.attendue.substr(0, longueur),
                      ligne.obtenue.substr(0, longueur), ligne.finTeste, ligne.finAttendu, ligne.obtenueSansSaut};
    std::ostringstream texte;
    ecrireRapport(texte, echec);
    return texte.str();
}

std::size_t indiquerMot(std::string_view commande)
{
    return static_cast<std::size_t>(std::find(commandesBilan.begin(), commandesBilan.end(), commande)
                                    - commandesBilan.begin());
}

void fermer(int descripteur)
{
    if (descripteur >= 0)
        close(descripteur);
}

} // namespace

std::string decrireErreur(int erreur)
{
    switch (erreur) {
    case ENOENT:
    case ENOTDIR:
        return "absent";
    case EACCES:
    case EPERM:
        return "permission refus\xC3\xA9" "e";
    case EISDIR:
        return "r\xC3\xA9pertoire";
    case ELOOP:
        return "lien en boucle";
    default:
        return "erreur d'ouverture";
    }
}

int ouvrirLecture(const std::string& chemin, bool ordinaireSeulement, struct stat& infos,
                  std::string& statut)
{
    // A pipe opened without O_NONBLOCK would wait for a writer before its
    // kind could be seen.
    const int drapeaux = O_RDONLY | O_CLOEXEC | (ordinaireSeulement ? O_NONBLOCK : 0);
    const int descripteur = open(chemin.c_str(), drapeaux);
    if (descripteur < 0) {
        statut = decrireErreur(errno);
        return -1;
    }
    const bool connu = fstat(descripteur, &infos) == 0;
    if (connu && S_ISDIR(infos.st_mode))
        statut = decrireErreur(EISDIR);
    else if (connu && ordinaireSeulement && !S_ISREG(infos.st_mode))
        statut = "pas un fichier ordinaire";
    else if (!connu
             || (ordinaireSeulement
                 && fcntl(descripteur, F_SETFL, fcntl(descripteur, F_GETFL) & ~O_NONBLOCK) < 0))
        statut = "erreur d'ouverture";
    else
        return descripteur;
    close(descripteur);
    return -1;
}

Note noterRemise(const Corrige& corrige, const Remise& remise, VueClasse* vue, bool expliquer)
{
    Note note;
    note.nom = remise.nom;
    if (remise.erreur != 0) {
        note.statut = decrireErreur(remise.erreur);
        return note;
    }
    struct stat infos[3] {};
    std::string statuts[3];
    const int descripteurs[3] = {ouvrirLecture(corrige.cheminTest, true, infos[0], statuts[0]),
                                 ouvrirLecture(corrige.cheminAttendu, true, infos[1], statuts[1]),
                                 ouvrirLecture(remise.chemin, remise.trouvee, infos[2], statuts[2])};
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
    // The terminal run's history holds the analysis; its reports are
    // written only when asked, into a string, without colour.
    Historique historique;
    std::ostringstream explication;
    historique.erreurs = &explication;
    Analyse& analyse = historique.analyse;
    FinParcours fin;
    note.decomptes = parcourirLignes(
        fluxTest, fluxAttendu, fluxVotre,
        [&historique, &note, vue, expliquer](const LigneComparee& ligne) {
            if (!expliquer) {
                analyserLigne(historique.analyse, ligne);
            } else {
                suivreLigne(historique, ligne);
                std::string& premier = note.premiersEchecs[indiquerMot(ligne.commande)];
                if (!ligne.identiques && premier.empty())
                    premier = decrireEchec(ligne);
            }
            if (vue != nullptr && !ligne.identiques)
                noterEchec(*vue, ligne.numeroLigne, ligne.obtenue);
        },
        fin);
    terminerAnalyse(analyse, fin);
    if (expliquer) {
        ecrireRecap(historique, note.decomptes, false);
        ecrireBilan(note.decomptes.reussites, note.decomptes.tests, false, explication);
        note.explication = explication.str();
    }
    if (vue != nullptr)
        ++vue->remises;
    if (fluxVotre.bad()) {
        note.statut = "erreur de lecture";
        return note;
    }
    if (fluxTest.bad() || fluxAttendu.bad()) {
        note.statut = fluxTest.bad() ? "fichier de test : erreur de lecture"
                                     : "fichier attendu : erreur de lecture";
        return note;
    }
    note.notee = true;
    note.statut = "ok";
    note.diagnostic = diagnostiquer(analyse);
    return note;
}
