#include "erreurs.h"

#include "outils.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

using Lignes = std::vector<std::string>;

std::string joindre(const Lignes& lignes, const std::string& fin = "\n")
{
    std::string texte;
    for (const std::string& ligne : lignes)
        texte += ligne + fin;
    return texte;
}

// A duration written with a decimal comma, as a French locale prints it.
std::string mettreVirgule(std::string ligne)
{
    ligne[ligne.rfind('.')] = ',';
    return ligne;
}

std::string remplacer(std::string texte, const std::string& ancien, const std::string& nouveau)
{
    for (std::size_t pos = 0; (pos = texte.find(ancien, pos)) != std::string::npos; pos += nouveau.size())
        texte.replace(pos, ancien.size(), nouveau);
    return texte;
}

// The accented letters of the exercise, in both cases and decomposed.
struct Accent {
    const char* minuscule;
    const char* majuscule;
    const char* decompose;
};
const Accent accents[] = {
    {"\xC3\xA9", "\xC3\x89", "e\xCC\x81"}, {"\xC3\xA8", "\xC3\x88", "e\xCC\x80"},
    {"\xC3\xAB", "\xC3\x8B", "e\xCC\x88"}, {"\xC3\xAF", "\xC3\x8F", "i\xCC\x88"},
    {"\xC3\xB4", "\xC3\x94", "o\xCC\x82"}, {"\xC3\xA7", "\xC3\x87", "c\xCC\xA7"},
    {"\xC3\xA2", "\xC3\x82", "a\xCC\x82"}, {"\xC3\x89", "\xC3\x89", "E\xCC\x81"},
};

std::string changerCasse(std::string texte, bool majuscules)
{
    for (const Accent& accent : accents)
        texte = majuscules ? remplacer(texte, accent.minuscule, accent.majuscule)
                           : remplacer(texte, accent.majuscule, accent.minuscule);
    for (char& octet : texte) {
        if (majuscules && octet >= 'a' && octet <= 'z')
            octet = static_cast<char>(octet - 'a' + 'A');
        else if (!majuscules && octet >= 'A' && octet <= 'Z')
            octet = static_cast<char>(octet - 'A' + 'a');
    }
    return texte;
}

std::string decomposer(std::string texte)
{
    for (const Accent& accent : accents)
        texte = remplacer(texte, accent.minuscule, accent.decompose);
    return texte;
}

// Code points of a UTF-8 text that has no character past U+FFFF.
std::vector<unsigned> decoder(const std::string& texte)
{
    std::vector<unsigned> points;
    for (std::size_t i = 0; i < texte.size();) {
        const auto octet = static_cast<unsigned char>(texte[i]);
        const std::size_t longueur = octet < 0x80 ? 1 : octet < 0xE0 ? 2 : 3;
        unsigned point = longueur == 1 ? octet : longueur == 2 ? octet & 0x1FU : octet & 0x0FU;
        for (std::size_t k = 1; k < longueur; ++k)
            point = point << 6 | (static_cast<unsigned char>(texte[i + k]) & 0x3FU);
        points.push_back(point);
        i += longueur;
    }
    return points;
}

std::string versLatin1(const std::string& texte)
{
    std::string octets;
    for (const unsigned point : decoder(texte))
        octets += static_cast<char>(point);
    return octets;
}

std::string encoderDeuxFois(const std::string& texte)
{
    std::string octets;
    for (const char octet : texte) {
        const auto valeur = static_cast<unsigned char>(octet);
        if (valeur < 0x80) {
            octets += octet;
        } else {
            octets += static_cast<char>(0xC0 | valeur >> 6);
            octets += static_cast<char>(0x80 | (valeur & 0x3F));
        }
    }
    return octets;
}

std::string versUtf16(const std::string& texte, bool petit, bool marque)
{
    std::string octets = marque ? (petit ? "\xFF\xFE" : "\xFE\xFF") : "";
    for (const unsigned point : decoder(texte)) {
        const char haut = static_cast<char>(point >> 8);
        const char bas = static_cast<char>(point & 0xFF);
        octets += petit ? std::string{bas, haut} : std::string{haut, bas};
    }
    return octets;
}

// The answer's list of names, after "<who> : ", changed by `changer`.
std::string changerListe(const std::string& ligne, const std::function<std::string(Lignes)>& changer)
{
    const std::size_t deuxPoints = ligne.find(" : ");
    if (deuxPoints == std::string::npos)
        return ligne;
    Lignes noms;
    const std::string liste = ligne.substr(deuxPoints + 3);
    for (std::size_t debut = 0;;) {
        const std::size_t virgule = liste.find(", ", debut);
        noms.push_back(liste.substr(debut, virgule - debut));
        if (virgule == std::string::npos)
            break;
        debut = virgule + 2;
    }
    return ligne.substr(0, deuxPoints + 3) + changer(noms);
}

std::string nombreEnLettres(std::size_t nombre)
{
    static const char* const lettres[] = {"", "une", "deux", "trois"};
    return nombre <= 3 ? lettres[nombre] : std::to_string(nombre);
}

// A catalogue entry being built: the results' lines, the statements and
// hints a terminal must show.
struct Cas {
    std::string nom;
    Lignes lignes;
    std::string octets; // when the mistake is on bytes rather than lines
    bool parOctets = false;
    std::string attendu = "attendu.resultat";
    std::vector<std::string> manifeste;
};

struct Classe {
    const Exercice* exercice = nullptr;
    std::vector<Cas> cas;
};

Cas& ajouter(Classe& classe, const std::string& nom)
{
    classe.cas.push_back({nom, classe.exercice->attendu, {}, false, "attendu.resultat", {}});
    return classe.cas.back();
}

void indice(Cas& cas, const std::string& texte)
{
    cas.manifeste.push_back("indice\t" + texte);
}

void fichier(Cas& cas, const std::string& texte)
{
    cas.manifeste.push_back("fichier\t" + texte);
}

void absent(Cas& cas, const std::string& texte)
{
    cas.manifeste.push_back("absent\t" + texte);
}

// The lines left once those at the given places are taken out.
Lignes enlever(const Lignes& lignes, const std::vector<std::size_t>& places)
{
    Lignes restantes;
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        if (std::find(places.begin(), places.end(), i) == places.end())
            restantes.push_back(lignes[i]);
    }
    return restantes;
}

// Whether some other `reste` places from `debut` on, of the window's
// lines, leave the same lines as `places` do.
bool autresPlaces(const Lignes& fenetre, const Lignes& voulues, std::vector<std::size_t>& places,
                  std::vector<std::size_t>& essai, std::size_t debut, std::size_t reste)
{
    if (reste == 0)
        return essai != places && enlever(fenetre, essai) == voulues;
    for (std::size_t i = debut; i < fenetre.size(); ++i) {
        essai.push_back(i);
        const bool trouve = autresPlaces(fenetre, voulues, places, essai, i + 1, reste - 1);
        essai.pop_back();
        if (trouve)
            return true;
    }
    return false;
}

// Whether lines [debut, debut + nombre) of the expected results, 0-based,
// can be missing in one way only: with equal lines near them, the same
// results would read as other lines missing (a diff may say either).
bool seulManque(const Lignes& attendu, std::size_t debut, std::size_t nombre)
{
    if (debut + nombre >= attendu.size())
        return false;
    const std::size_t marge = 2 * nombre + 2;
    const std::size_t bas = debut > marge ? debut - marge : 0;
    const std::size_t haut = std::min(attendu.size(), debut + nombre + marge);
    Lignes fenetre;
    for (std::size_t i = bas; i < haut; ++i)
        fenetre.push_back(serrer(attendu[i]));
    std::vector<std::size_t> places;
    for (std::size_t i = 0; i < nombre; ++i)
        places.push_back(debut - bas + i);
    std::vector<std::size_t> essai;
    return !autresPlaces(fenetre, enlever(fenetre, places), places, essai, 0, nombre);
}

// The first place from `pres` (0-based) where `nombre` lines with a result
// can be missing in one way only.
std::size_t trouverManque(const Lignes& attendu, std::size_t pres, std::size_t nombre)
{
    // Lines with a result: a missing empty one tells another story.
    const auto sansVide = [&](std::size_t debut) {
        return std::none_of(attendu.begin() + static_cast<std::ptrdiff_t>(debut),
                            attendu.begin() + static_cast<std::ptrdiff_t>(debut + nombre),
                            [](const std::string& ligne) { return serrer(ligne).empty(); });
    };
    for (std::size_t debut = pres; debut + nombre < attendu.size(); ++debut) {
        if (sansVide(debut) && seulManque(attendu, debut, nombre))
            return debut;
    }
    throw std::runtime_error("aucune place pour une ligne manquante");
}

void enleverLignes(Cas& cas, std::size_t debut, std::size_t nombre, std::size_t dejaEnleves = 0)
{
    cas.lignes.erase(cas.lignes.begin() + static_cast<std::ptrdiff_t>(debut - dejaEnleves),
                     cas.lignes.begin() + static_cast<std::ptrdiff_t>(debut - dejaEnleves + nombre));
    const std::string verbe = nombre > 1 ? " lignes semblent manquer" : " ligne semble manquer";
    cas.manifeste.push_back("decalage\t" + nombreEnLettres(nombre) + verbe
                            + " dans le fichier test\xC3\xA9 \xC3\xA0 la ligne #" + std::to_string(debut + 1)
                            + "\t" + std::to_string(debut + 1));
}

// An extra line written after the result of test line `apres` (1-based; 0
// for before the first), at `position` in the results.
void ajouterLigne(Cas& cas, std::size_t apres, std::size_t position, const std::string& ligne)
{
    cas.lignes.insert(cas.lignes.begin() + static_cast<std::ptrdiff_t>(position), ligne);
    const std::string ou = apres == 0 ? "avant la ligne #1" : "apr\xC3\xA8s la ligne #" + std::to_string(apres);
    cas.manifeste.push_back("decalage\tune ligne de trop semble se trouver dans le fichier test\xC3\xA9 " + ou
                            + "\t" + std::to_string(apres == 0 ? 1 : apres));
}

void changerLignes(Cas& cas, const std::function<std::string(const std::string&)>& changer)
{
    for (std::string& ligne : cas.lignes)
        ligne = changer(ligne);
}

} // namespace

bool ecrireClasse(const Exercice& exercice, const std::string& dossier)
{
    Classe classe;
    classe.exercice = &exercice;
    const Lignes& attendu = exercice.attendu;
    const std::size_t nombre = attendu.size();
    const auto commandeDe = [&](std::size_t i) { return exercice.test[i].substr(0, exercice.test[i].find(' ')); };
    const auto parCommande = [&](Cas& cas, const std::string& commande,
                                 const std::function<std::string(const std::string&)>& changer) {
        for (std::size_t i = 0; i < cas.lignes.size(); ++i) {
            if (commandeDe(i) == commande && !cas.lignes[i].empty())
                cas.lignes[i] = changer(cas.lignes[i]);
        }
    };
    const std::string aucunEchec = "aucun \xC3\xA9" "chec, " + std::to_string(nombre) + " lignes compar\xC3\xA9" "es";

    indice(ajouter(classe, "juste"), aucunEchec);
    {
        Cas& cas = ajouter(classe, "espaces-fin");
        changerLignes(cas, [](const std::string& ligne) { return ligne + "  \t"; });
        indice(cas, aucunEchec);
    }
    ajouterLigne(ajouter(classe, "debug-312"), 311, 311, "DEBUG i=311 salle=hall");
    enleverLignes(ajouter(classe, "manque-1"), trouverManque(attendu, 499, 1), 1);
    // The first line, unless the second is the same.
    enleverLignes(ajouter(classe, "manque-premiere"), trouverManque(attendu, 0, 1), 1);
    {
        Cas& cas = ajouter(classe, "manque-2-endroits");
        const std::size_t premier = trouverManque(attendu, 149, 1);
        const std::size_t second = trouverManque(attendu, 599, 1);
        enleverLignes(cas, premier, 1);
        enleverLignes(cas, second, 1, 1);
    }
    {
        Cas& cas = ajouter(classe, "manque-3-endroits");
        std::size_t enleves = 0;
        for (const std::size_t pres : {99, 399, 899})
            enleverLignes(cas, trouverManque(attendu, static_cast<std::size_t>(pres), 1), 1, enleves++);
    }
    enleverLignes(ajouter(classe, "manque-2-consecutives"), trouverManque(attendu, 699, 2), 2);
    {
        Cas& cas = ajouter(classe, "manque-200-trop-700");
        enleverLignes(cas, trouverManque(attendu, 199, 1), 1);
        ajouterLigne(cas, 700, 699, "debug: fin du tour 700");
    }
    {
        Cas& cas = ajouter(classe, "vides-omis");
        Lignes restantes;
        for (std::size_t i = 0; i < nombre;) {
            if (!serrer(attendu[i]).empty()) {
                restantes.push_back(attendu[i++]);
                continue;
            }
            std::size_t fin = i;
            while (fin < nombre && serrer(attendu[fin]).empty())
                ++fin;
            const std::size_t vides = fin - i;
            cas.manifeste.push_back("decalage\t" + nombreEnLettres(vides)
                                    + (vides > 1 ? " lignes semblent manquer" : " ligne semble manquer")
                                    + " dans le fichier test\xC3\xA9 \xC3\xA0 la ligne #" + std::to_string(i + 1)
                                    + "\t" + std::to_string(i + 1));
            i = fin;
        }
        cas.lignes = restantes;
        fichier(cas, "lignes manquantes ont un r\xC3\xA9sultat vide");
    }
    ajouterLigne(ajouter(classe, "entete"), 0, 0, "R\xC3\xA9sultats du programme :");
    {
        Cas& cas = ajouter(classe, "crlf");
        cas.octets = joindre(cas.lignes, "\r\n");
        cas.parOctets = true;
        indice(cas, "seuls des retours chariot diff\xC3\xA8rent : fins de ligne Windows");
    }
    {
        Cas& cas = ajouter(classe, "latin1");
        changerLignes(cas, versLatin1);
        indice(cas, "sortie en Latin-1 / Windows-1252 ?");
    }
    {
        Cas& cas = ajouter(classe, "nfd");
        changerLignes(cas, decomposer);
        indice(cas, "accents d\xC3\xA9" "compos\xC3\xA9s (NFD) dans V2, pr\xC3\xA9" "compos\xC3\xA9s (NFC) dans V1");
    }
    {
        Cas& cas = ajouter(classe, "majuscules-localiser");
        parCommande(cas, "localiser", [](const std::string& ligne) {
            const std::size_t fin = ligne.find(" : ");
            return changerCasse(ligne.substr(0, fin), true) + ligne.substr(fin);
        });
        indice(cas, "seule la casse des lettres diff\xC3\xA8re");
    }
    {
        Cas& cas = ajouter(classe, "virgule");
        parCommande(cas, "duree_rencontres", mettreVirgule);
        indice(cas, "virgule d\xC3\xA9" "cimale dans V2 l\xC3\xA0 o\xC3\xB9 V1 a un point");
    }
    {
        Cas& cas = ajouter(classe, "insecable");
        changerLignes(cas, [](const std::string& ligne) { return remplacer(ligne, " : ", "\xC2\xA0: "); });
        indice(cas, "espace ins\xC3\xA9" "cable U+00A0");
    }
    {
        Cas& cas = ajouter(classe, "double-encodage");
        changerLignes(cas, encoderDeuxFois);
        indice(cas, "texte encod\xC3\xA9 deux fois en UTF-8");
    }
    // Windows PowerShell 5: UTF-16 LE with a mark and CR LF line ends.
    const std::string enUtf16 = "est en UTF-16";
    for (const auto& [nom, petit, marque, fin] :
         {std::make_tuple("utf16le-bom", true, true, "\r\n"), std::make_tuple("utf16be-bom", false, true, "\n"),
          std::make_tuple("utf16le-sans-bom", true, false, "\n")}) {
        Cas& cas = ajouter(classe, nom);
        cas.octets = versUtf16(joindre(cas.lignes, fin), petit, marque);
        cas.parOctets = true;
        indice(cas, "V2 " + enUtf16);
        fichier(cas, std::string("le fichier test\xC3\xA9 ") + enUtf16 + (petit ? " LE" : " BE")
                         + (marque ? " avec BOM" : " sans BOM"));
        // The zero after the last newline of UTF-16 LE is no line of results.
        absent(cas, "a des lignes apr\xC3\xA8s la ligne");
    }
    {
        // The results of a program that crashed after 1 000 lines, given
        // as the expected file; the expected ones given as the results.
        Cas& cas = ajouter(classe, "inverses");
        cas.lignes.resize(1000);
        cas.attendu = "inverses-votre.resultat";
        indice(cas, "le fichier des r\xC3\xA9sultats attendus s'arr\xC3\xAAte apr\xC3\xA8s la ligne #1000");
        fichier(cas, "fichiers attendu et test\xC3\xA9 invers\xC3\xA9s ? l'ordre est test, attendu, test\xC3\xA9");
    }
    {
        // A decimal comma, the files given the other way round: only their
        // names tell, and the hint on the comma reads backwards.
        Cas& cas = ajouter(classe, "inverses-noms");
        parCommande(cas, "duree_rencontres", mettreVirgule);
        cas.attendu = "inverses-noms-votre.resultat";
        indice(cas, "point d\xC3\xA9" "cimal dans V2 l\xC3\xA0 o\xC3\xB9 V1 a une virgule");
        fichier(cas, "fichiers attendu et test\xC3\xA9 invers\xC3\xA9s ? l'ordre est test, attendu, test\xC3\xA9");
    }
    {
        Cas& cas = ajouter(classe, "prefixe");
        changerLignes(cas, [](const std::string& ligne) { return "> " + ligne; });
        indice(cas, "V2 commence par \xC2\xAB > \xC2\xBB de plus que V1 (une invite avant le r\xC3\xA9sultat ?)");
    }
    {
        Cas& cas = ajouter(classe, "ordre");
        parCommande(cas, "frequentations", [&](const std::string& ligne) {
            return changerListe(ligne, [](Lignes noms) {
                std::reverse(noms.begin(), noms.end());
                return joindre(noms, ", ").substr(0, joindre(noms, ", ").size() - 2);
            });
        });
        indice(cas, "les m\xC3\xAAmes mots que V1, dans un autre ordre");
    }
    {
        Cas& cas = ajouter(classe, "separateur");
        const auto pointsVirgules = [](const std::string& ligne) {
            return changerListe(ligne, [](const Lignes& noms) {
                const std::string liste = joindre(noms, " ; ");
                return liste.substr(0, liste.size() - 3);
            });
        };
        parCommande(cas, "frequentations", pointsVirgules);
        parCommande(cas, "presences", pointsVirgules);
        indice(cas, "les m\xC3\xAAmes mots que V1, s\xC3\xA9par\xC3\xA9s autrement (\xC2\xAB ; \xC2\xBB pour \xC2\xAB , \xC2\xBB)");
    }
    const std::string tout = joindre(attendu);
    {
        // stdio's buffer of 4 096 bytes written twice, the third lost.
        Cas& cas = ajouter(classe, "coupe-tampon");
        cas.octets = tout.substr(0, 2 * 4096);
        cas.parOctets = true;
        fichier(cas, "fichier test\xC3\xA9 coup\xC3\xA9 \xC3\xA0 8 192 octets, multiple de 4 096 : plantage ?");
    }
    {
        Cas& cas = ajouter(classe, "coupe-court");
        std::size_t garde = 900;
        while (joindre(Lignes(attendu.begin(), attendu.begin() + static_cast<std::ptrdiff_t>(garde))).size() % 4096 == 0)
            --garde;
        cas.lignes.resize(garde);
        indice(cas, "le fichier test\xC3\xA9 s'arr\xC3\xAAte apr\xC3\xA8s la ligne #" + std::to_string(garde));
    }
    {
        Cas& cas = ajouter(classe, "vide");
        cas.lignes.clear();
        indice(cas, "le fichier test\xC3\xA9 est vide");
    }
    {
        Cas& cas = ajouter(classe, "dechets-fin");
        for (int i = 0; i < 40; ++i)
            cas.lignes.push_back("DEBUG liberation " + std::to_string(i));
        indice(cas, "le fichier test\xC3\xA9 a des lignes apr\xC3\xA8s la ligne #" + std::to_string(nombre));
    }
    {
        Cas& cas = ajouter(classe, "bom");
        cas.octets = "\xEF\xBB\xBF" + tout;
        cas.parOctets = true;
        indice(cas, "BOM (U+FEFF) au d\xC3\xA9" "but du fichier test\xC3\xA9 : l'enregistrer sans BOM");
    }
    {
        Cas& cas = ajouter(classe, "casse-seule");
        changerLignes(cas, [](const std::string& ligne) { return changerCasse(ligne, false); });
        indice(cas, "seule la casse des lettres diff\xC3\xA8re");
    }

    const auto ecrire = [&](const std::string& nom, const std::string& octets) {
        std::ofstream fichierSortie(dossier + "/" + nom, std::ios::binary);
        fichierSortie << octets;
        return static_cast<bool>(fichierSortie.flush());
    };
    bool ok = ecrire("test.txt", joindre(exercice.test)) && ecrire("attendu.resultat", tout);
    std::string manifeste;
    for (const Cas& cas : classe.cas) {
        const std::string nomTeste = cas.nom + ".resultat";
        const std::string octets = cas.parOctets ? cas.octets : joindre(cas.lignes);
        if (cas.attendu != "attendu.resultat") {
            ok = ok && ecrire(cas.attendu, octets);
            manifeste += "cas\t" + cas.nom + "\t" + cas.attendu + "\tattendu.resultat\n";
        } else {
            ok = ok && ecrire(nomTeste, octets);
            manifeste += "cas\t" + cas.nom + "\tattendu.resultat\t" + nomTeste + "\n";
        }
        for (const std::string& ligne : cas.manifeste)
            manifeste += ligne + "\n";
    }
    return ok && ecrire("cas.tsv", manifeste);
}
