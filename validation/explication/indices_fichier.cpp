#include "indices_fichier.h"

#include "affichage.h"

#include "validation/comparaison.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace {

// Enough of a file's start to recognise UTF-16 in it.
constexpr std::size_t tailleDebut = 64;

// stdio's buffer for a file is its block size, 4 096 bytes on most systems,
// or a multiple of it.
constexpr std::uint64_t tailleTampon = 4096;

// The words of a file's name, in lower case: "Votre_Sortie.txt" gives
// votre, sortie, txt.
bool nommeUnDe(std::string_view chemin, const std::string_view* mots, std::size_t nombre)
{
    const std::size_t barre = chemin.rfind('/');
    const std::string_view nom = barre == std::string_view::npos ? chemin : chemin.substr(barre + 1);
    std::size_t pos = 0;
    while (pos < nom.size()) {
        std::string mot;
        for (; pos < nom.size(); ++pos) {
            char octet = nom[pos];
            if (octet >= 'A' && octet <= 'Z')
                octet = static_cast<char>(octet - 'A' + 'a');
            if ((octet < 'a' || octet > 'z') && (octet < '0' || octet > '9'))
                break;
            mot += octet;
        }
        ++pos;
        if (std::find(mots, mots + nombre, mot) != mots + nombre)
            return true;
    }
    return false;
}

constexpr std::array<std::string_view, 9> motsProduits = {
    "votre", "vos", "mon", "mes", "ma", "sortie", "obtenu", "obtenus", "etudiant"};
constexpr std::array<std::string_view, 12> motsReferences = {
    "solution", "solutions", "attendu", "attendus", "attendue", "expected", "reference", "ref",
    "corrige", "correction", "oracle", "prof"};

int compterNoms(std::string_view chemin, int produit, int reference)
{
    return (nommeUnDe(chemin, motsProduits.data(), motsProduits.size()) ? produit : 0)
        + (nommeUnDe(chemin, motsReferences.data(), motsReferences.size()) ? reference : 0);
}

} // namespace

std::string indiquerUtf16(EncodageUtf16 encodage, bool fichierTeste)
{
    if (encodage.ordre == OrdreUtf16::aucun)
        return {};
    const bool petit = encodage.ordre == OrdreUtf16::petitBoutiste;
    std::string texte = fichierTeste ? "le fichier test\xC3\xA9" : "le fichier attendu";
    texte += petit ? " est en UTF-16 LE" : " est en UTF-16 BE";
    texte += encodage.marque ? " avec BOM" : " sans BOM";
    // Windows PowerShell 5 writes UTF-16 LE with a mark where a program's
    // output is redirected with ">"; cmd writes the program's own bytes.
    // What to do first; where the room is short, the line ends before the
    // parenthesis.
    texte += " : r\xC3\xA9" "enregistrer en UTF-8";
    if (petit && encodage.marque && fichierTeste)
        texte += " (PowerShell 5 ? rediriger avec cmd /c)";
    return texte;
}

std::string indiquerTamponPerdu(const FinResultats& fin)
{
    if (!fin.coupee || fin.taille == 0 || fin.taille % tailleTampon != 0)
        return {};
    return "fichier test\xC3\xA9 coup\xC3\xA9 \xC3\xA0 " + grouper(fin.taille)
        + " octets, multiple de 4 096 : plantage ? (tampon de stdio jamais vid\xC3\xA9)";
}

std::string indiquerInversion(const Inversion& inversion)
{
    if (inversion.echecs == 0)
        return {};
    const int noms = compterNoms(inversion.cheminAttendu, 1, -1) + compterNoms(inversion.cheminTeste, -1, 1);
    const bool longueurs = inversion.attenduFinitTot && !inversion.testeFinitTot;
    if (noms <= 0 && !longueurs)
        return {};
    return "fichiers attendu et test\xC3\xA9 invers\xC3\xA9s ? l'ordre est test, attendu, test\xC3\xA9 "
           "(valideur test.txt solution.resultat votre.resultat)";
}

bool estResultatVide(std::string_view attendue)
{
    return std::all_of(attendue.begin(), attendue.end(), estBlanc);
}

std::string indiquerResultatsVidesOmis(std::int64_t manquantes, std::int64_t manquantesVides)
{
    if (manquantesVides < 2 || manquantesVides * 10 < manquantes * 9)
        return {};
    return std::to_string(manquantes)
        + (manquantesVides == manquantes ? " lignes manquantes ont un r\xC3\xA9sultat vide"
                                         : " lignes manquantes, " + std::to_string(manquantesVides) + " \xC3\xA0 r\xC3\xA9sultat vide")
        + " : \xC3\xA9" "crire une ligne vide";
}

void releverFaits(FaitsFichiers& faits, const LigneComparee& ligne)
{
    if (ligne.numeroLigne == 1) {
        faits.debutAttendu = std::string(ligne.attendue.substr(0, tailleDebut));
        if (!ligne.finTeste)
            faits.debutTeste = std::string(ligne.obtenue.substr(0, tailleDebut));
    }
    faits.echecs += ligne.identiques ? 0 : 1;
    faits.attenduFini = faits.attenduFini || ligne.finAttendu;
    if (ligne.finTeste) {
        faits.testeFini = true;
        return;
    }
    faits.octetsTeste += ligne.obtenue.size() + (ligne.obtenueSansSaut ? 0 : 1);
    faits.derniereCoupee = ligne.obtenueSansSaut && !ligne.identiques;
}

std::vector<std::string> indiquerFichiers(const FaitsFichiers& faits, std::string_view cheminAttendu,
                                          std::string_view cheminTeste)
{
    std::vector<std::string> indices;
    const auto retenir = [&indices](std::string texte) {
        if (!texte.empty())
            indices.push_back(std::move(texte));
    };
    if (faits.echecs == 0)
        return indices;
    retenir(indiquerUtf16(reconnaitreUtf16(faits.debutTeste), true));
    retenir(indiquerUtf16(reconnaitreUtf16(faits.debutAttendu), false));
    retenir(indiquerInversion({cheminAttendu, cheminTeste, faits.echecs, faits.attenduFini, faits.testeFini}));
    retenir(indiquerTamponPerdu({faits.octetsTeste, faits.testeFini || faits.derniereCoupee}));
    return indices;
}
