#include "parcours.h"

#include "commande.h"
#include "validation/comparaison.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <sys/stat.h>

namespace {

// Whether the next line of an input is wholly in its buffer and no longer
// than `borne`, or there is none: it can be read as usual.
bool tientDansBorne(const Entree& entree, std::size_t borne)
{
    if (entree.epuisee)
        return true;
    const std::size_t reste = std::min(entree.fin - entree.debut, borne + 1);
    return std::memchr(entree.octets.get() + entree.debut, '\n', reste) != nullptr;
}

// The test line whole, as a report or a shift statement quotes it, when it
// fits in a block: the buffer is filled up to its newline first. A longer
// one gives its word alone, as the loop reads it.
std::string_view lireLigneTest(Entree& entree, std::string& copie)
{
    while (!entree.epuisee && entree.fin - entree.debut < entree.tailleBloc
           && std::memchr(entree.octets.get() + entree.debut, '\n', entree.fin - entree.debut) == nullptr) {
        if (remplirTampon(entree) > 0)
            continue;
        if (entree.debut == entree.fin)
            break;
        // The last line, without a newline; the margin's zeros follow it.
        const std::string_view ligne(entree.octets.get() + entree.debut, entree.fin - entree.debut);
        entree.debut = entree.fin;
        entree.epuisee = true;
        return ligne;
    }
    return lireLigneCommande(entree, copie);
}

// Whether more of an input can be read now without waiting for a writer:
// a stream the loop reads through its own buffer, as it read the rest, a
// file, an input known to have ended, or bytes there.
bool lisibleSansAttendre(const Entree& entree)
{
    struct stat infos {};
    if (entree.descripteur < 0 || entree.flux->eof()
        || (fstat(entree.descripteur, &infos) == 0 && S_ISREG(infos.st_mode)))
        return true;
    // in_avail() asks the system how much is there: -1 at a known end.
    return entree.flux->rdbuf()->in_avail() != 0;
}

// Hashes of the next lines of an input, left unread for the look that
// follows: those in its buffer, and in one block more when it is there.
void empreinterSuite(Entree& entree, std::vector<std::uint64_t>& empreintes)
{
    std::size_t vus = 0; // past entree.debut
    bool rempli = entree.epuisee;
    while (empreintes.size() < lignesSuiteGardees) {
        const char* const debut = entree.octets.get() + entree.debut + vus;
        const std::size_t reste = entree.fin - entree.debut - vus;
        if (const void* saut = std::memchr(debut, '\n', reste)) {
            const auto longueur = static_cast<std::size_t>(static_cast<const char*>(saut) - debut);
            empreintes.push_back(empreinterSansBlancs({debut, longueur}));
            vus += longueur + 1;
            continue;
        }
        if (rempli || !lisibleSansAttendre(entree))
            return;
        rempli = true;
        if (remplirTampon(entree) == 0) {
            // The end: what is left is the last line.
            if (entree.fin - entree.debut > vus)
                empreintes.push_back(
                    empreinterSansBlancs({entree.octets.get() + entree.debut + vus, entree.fin - entree.debut - vus}));
            return;
        }
    }
}

} // namespace

Decomptes parcourirLignes(std::istream& test, std::istream& solution, std::istream& votre,
                          const Observateur& observer, FinParcours& fin, std::size_t borne,
                          std::size_t plafondApercu)
{
    Entree entreeTest = ouvrirEntree(test);
    Entree entreeSolution = ouvrirEntree(solution);
    Entree entreeVotre = ouvrirEntree(votre);
    std::string copieCommande;
    std::array<std::int64_t, commandesBilan.size() + 1> nbReussites{};
    std::array<std::int64_t, commandesBilan.size() + 1> nbTests{};
    LigneComparee ligne;
    Garde gardeAttendue{borne, {}, false, 0};
    Garde gardeObtenue{borne, {}, false, 0};
    // Whether the last iteration's reads found a line: what is left past
    // the last compared one.
    bool attendueLue = false;
    bool obtenueLue = false;
    for (;;) {
        ++ligne.numeroLigne;
        ligne.test = lireLigneTest(entreeTest, copieCommande);
        ligne.attendue = {};
        ligne.obtenue = "(X)";
        const bool gardee =
            borne != 0 && !(tientDansBorne(entreeSolution, borne) && tientDansBorne(entreeVotre, borne));
        if (gardee) {
            attendueLue = !entreeSolution.epuisee;
            obtenueLue = !entreeVotre.epuisee;
            ligne.identiques = comparerPaireGardee(entreeSolution, entreeVotre, ligne.obtenue, gardeAttendue,
                                                   gardeObtenue);
            ligne.attendue = gardeAttendue.debut;
            // The preset of an ended input is the loop's own, never cut.
            if (obtenueLue)
                ligne.obtenue = gardeObtenue.debut;
        } else {
            attendueLue = lireLigne(entreeSolution, ligne.attendue);
            obtenueLue = lireLigne(entreeVotre, ligne.obtenue);
        }
        ligne.attendueCoupee = gardee && gardeAttendue.coupee;
        ligne.obtenueCoupee = gardee && obtenueLue && gardeObtenue.coupee;
        ligne.empreinteObtenue = ligne.obtenueCoupee ? gardeObtenue.empreinte : 0;
        ligne.empreinteAttendue = ligne.attendueCoupee ? gardeAttendue.empreinte : 0;
        ligne.finAttendu = !attendueLue || (ligne.attendue.empty() && entreeSolution.epuisee);
        ligne.finTeste = !obtenueLue || (ligne.obtenue.empty() && entreeVotre.epuisee);
        ligne.obtenueSansSaut = !ligne.finTeste && entreeVotre.epuisee;
        const std::size_t rang = classerCommande(ligne.test);
        if (rang == aucuneCommande) {
            fin.ligneBlanche = !entreeTest.epuisee;
            break;
        }
        ligne.commande = extraireCommande(ligne.test);
        if (!gardee)
            ligne.identiques = estIdentique(ligne.attendue, ligne.obtenue);
        observer(ligne);
        nbReussites[rang] += static_cast<std::int64_t>(ligne.identiques);
        ++nbTests[rang];
        ++fin.lignesComparees;
        if (entreeTest.epuisee && test.fail()) {
            attendueLue = false;
            obtenueLue = false;
            break;
        }
    }
    // A look at what is left, enough to say how much was never read.
    fin.resteTest = apercevoir(entreeTest, plafondApercu);
    fin.ligneBlanche = fin.ligneBlanche && fin.resteTest.octets > 0;
    fin.resteAttendu = (attendueLue && !ligne.finAttendu) || apercevoir(entreeSolution, 0).octets > 0;
    if (obtenueLue && !ligne.finTeste)
        fin.suiteVotre.push_back(ligne.obtenueCoupee ? ligne.empreinteObtenue : empreinterSansBlancs(ligne.obtenue));
    if (!entreeVotre.epuisee)
        empreinterSuite(entreeVotre, fin.suiteVotre);
    fin.apercuVotre = apercevoir(entreeVotre, plafondApercu);
    if (obtenueLue && !ligne.finTeste) {
        ++fin.apercuVotre.lignes;
        fin.apercuVotre.octets += ligne.obtenue.size() + (ligne.obtenueSansSaut ? 0 : 1);
    }
    fin.resteVotre = fin.apercuVotre.octets > 0;
    Decomptes decomptes;
    for (std::size_t i = 0; i < commandesBilan.size(); ++i) {
        decomptes.reussites[i] = nbReussites[i];
        decomptes.tests[i] = nbTests[i];
    }
    decomptes.autresReussites = nbReussites[autreCommande];
    decomptes.autresTests = nbTests[autreCommande];
    return decomptes;
}
