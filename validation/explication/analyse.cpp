#include "analyse.h"

#include "validation/bilan.h"
#include "validation/comparaison.h"

#include <algorithm>

namespace {

// Failures in a row that a shift must explain before it is taken for one.
// Two are enough when the lines they match differ from each other; lines
// that repeat one value match by chance, and need more.
constexpr unsigned confirmationsVariees = 2;
constexpr unsigned confirmationsRepetees = 4;

// Other command words listed one by one before they are lumped together.
constexpr std::size_t autresMotsMax = 5;

// What a shift's message and the recap keep of a test line.
constexpr std::size_t longueurTestGardee = 60;

struct Empreinte {
    std::uint64_t valeur = 0;
    bool vide = true;
};

// FNV-1a over the bytes that are not blanks: lines that agree have the same.
Empreinte calculerEmpreinte(std::string_view ligne)
{
    Empreinte empreinte;
    empreinte.valeur = 0xcbf29ce484222325ULL;
    for (const char octet : ligne) {
        if (estBlanc(octet))
            continue;
        empreinte.valeur = (empreinte.valeur ^ static_cast<unsigned char>(octet)) * 0x100000001b3ULL;
        empreinte.vide = false;
    }
    return empreinte;
}

const Trace* chercherTrace(const Analyse& analyse, std::int64_t numeroLigne)
{
    const std::size_t nombre = std::min(analyse.nbRecents, analyse.recents.size());
    for (std::size_t i = 0; i < nombre; ++i) {
        if (analyse.recents[i].numeroLigne == numeroLigne)
            return &analyse.recents[i];
    }
    return nullptr;
}

// Whether results offset as `decalage` says explain line `numero`: lines
// missing from the results file put its expected line k lines earlier in
// it; extra lines put its actual line k lines later than the expected one.
// Empty lines prove nothing. Gives the matched fingerprint.
bool expliquer(const Analyse& analyse, bool manque, unsigned k, std::int64_t numero,
               Empreinte attendue, Empreinte obtenue, std::uint64_t& apparie)
{
    const Trace* const avant = chercherTrace(analyse, numero - k);
    if (avant == nullptr)
        return false;
    if (manque) {
        apparie = attendue.valeur;
        return !attendue.vide && !avant->obtenueVide && avant->empreinteObtenue == attendue.valeur;
    }
    apparie = obtenue.valeur;
    return !obtenue.vide && !avant->attendueVide && avant->empreinteAttendue == obtenue.valeur;
}

// Cut on a character's start, so that no half character shows as bytes.
std::string couperTest(std::string_view test)
{
    std::size_t taille = std::min(test.size(), longueurTestGardee);
    while (taille < test.size() && taille > 0 && (static_cast<unsigned char>(test[taille]) & 0xC0) == 0x80)
        --taille;
    return std::string(test.substr(0, taille));
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
        analyse.parMot.push_back({couperTest(ligne.commande), 0, 0});
        place = analyse.parMot.end() - 1;
    }
    ++place->tests;
    place->echecs += ligne.identiques ? 0 : 1;
}

// Follows the shifts: the one going on, or one that recent failures begin
// to show.
void suivreDecalage(Analyse& analyse, const LigneComparee& ligne, Verdict& verdict)
{
    const Empreinte attendue = calculerEmpreinte(ligne.attendue);
    const Empreinte obtenue = calculerEmpreinte(ligne.obtenue);
    const std::int64_t numero = ligne.numeroLigne;
    std::uint64_t apparie = 0;
    if (analyse.actif) {
        Decalage& decalage = analyse.decalages.back();
        if (expliquer(analyse, decalage.manque, decalage.lignes, numero, attendue, obtenue, apparie)) {
            verdict.explique = true;
            if (decalage.expliques == 0)
                decalage.premierExplique = numero;
            ++decalage.expliques;
            decalage.dernierExplique = numero;
        } else {
            analyse.actif = false;
        }
    }
    if (!analyse.actif && !verdict.explique) {
        bool trouve = false;
        for (unsigned k = 1; k <= decalageMax && !trouve; ++k) {
            for (const bool manque : {true, false}) {
                if (!expliquer(analyse, manque, k, numero, attendue, obtenue, apparie))
                    continue;
                const bool suite = analyse.confirmations > 0 && analyse.candidat.manque == manque
                    && analyse.candidat.lignes == k && analyse.candidat.dernierExplique == numero - 1;
                if (!suite) {
                    const Trace* const debut = chercherTrace(analyse, numero - k);
                    analyse.candidat = Decalage{};
                    analyse.candidat.manque = manque;
                    analyse.candidat.lignes = k;
                    analyse.candidat.debut = numero - k;
                    analyse.candidat.test = debut != nullptr ? debut->test : std::string();
                    analyse.confirmations = 0;
                    analyse.varie = false;
                    analyse.premierApparie = apparie;
                }
                analyse.varie = analyse.varie || apparie != analyse.premierApparie;
                ++analyse.confirmations;
                analyse.candidat.dernierExplique = numero;
                trouve = true;
                break;
            }
        }
        if (!trouve)
            analyse.confirmations = 0;
        const unsigned voulues = analyse.varie ? confirmationsVariees : confirmationsRepetees;
        if (trouve && analyse.confirmations >= voulues) {
            Decalage decalage = analyse.candidat;
            decalage.expliques = 0;
            analyse.decalages.push_back(decalage);
            analyse.actif = true;
            analyse.confirmations = 0;
            verdict.etabli = true;
        }
    }
    Trace& trace = analyse.recents[analyse.nbRecents % analyse.recents.size()];
    ++analyse.nbRecents;
    trace.numeroLigne = numero;
    trace.empreinteAttendue = attendue.valeur;
    trace.empreinteObtenue = obtenue.valeur;
    trace.attendueVide = attendue.vide;
    trace.obtenueVide = obtenue.vide;
    trace.test = couperTest(ligne.test);
}

} // namespace

Verdict analyserLigne(Analyse& analyse, const LigneComparee& ligne)
{
    ++analyse.lignes;
    compterMot(analyse, ligne);
    if (ligne.finTeste && analyse.premiereFinTeste == 0)
        analyse.premiereFinTeste = ligne.numeroLigne;
    if (ligne.finAttendu && analyse.premiereFinAttendu == 0)
        analyse.premiereFinAttendu = ligne.numeroLigne;
    Verdict verdict;
    if (ligne.identiques) {
        // A line that agrees ends the shift going on: the files are back
        // in step, or never were.
        analyse.actif = false;
        analyse.confirmations = 0;
        return verdict;
    }
    ++analyse.echecs;
    if (analyse.premierEchec == 0) {
        analyse.premierEchec = ligne.numeroLigne;
        analyse.commandePremierEchec = couperTest(ligne.commande);
    }
    suivreDecalage(analyse, ligne, verdict);
    const Echec echec{ligne.numeroLigne, ligne.commande, ligne.attendue, ligne.obtenue,
                      ligne.finTeste, ligne.finAttendu, ligne.obtenueSansSaut};
    verdict.indices = trouverIndices(echec);
    for (const Indice& indice : verdict.indices) {
        verdict.causes |= indice.cause;
        ++analyse.parCause[static_cast<std::size_t>(__builtin_ctz(indice.cause))];
    }
    return verdict;
}

void terminerAnalyse(Analyse& analyse, const FinParcours& fin)
{
    analyse.fin = fin;
    analyse.terminee = true;
}

bool finExpliquee(const Analyse& analyse)
{
    return !analyse.decalages.empty() && analyse.decalages.back().manque
        && analyse.decalages.back().dernierExplique >= analyse.premiereFinTeste;
}

std::string decrireDecalage(const Decalage& decalage)
{
    static constexpr std::string_view nombres[] = {"", "une", "deux", "trois"};
    const bool une = decalage.lignes == 1;
    std::string texte(nombres[decalage.lignes]);
    texte += une ? " ligne" : " lignes";
    if (decalage.manque)
        texte += une ? " semble manquer" : " semblent manquer";
    else
        texte += une ? " de trop semble se trouver" : " de trop semblent se trouver";
    texte += " dans le fichier test\xC3\xA9 \xC3\xA0 la ligne #";
    texte += std::to_string(decalage.debut);
    return texte;
}

std::string diagnostiquer(const Analyse& analyse)
{
    std::string diagnostic;
    const auto ajouterPhrase = [&diagnostic](std::string_view phrase) {
        if (!diagnostic.empty())
            diagnostic += "; ";
        diagnostic += phrase;
    };
    const auto compte = [&analyse](Cause cause) {
        return analyse.parCause[static_cast<std::size_t>(__builtin_ctz(cause))];
    };
    if (analyse.lignes > 0 && analyse.premiereFinTeste == 1) {
        ajouterPhrase("fichier vide");
        return diagnostic;
    }
    if (analyse.echecs > 0 && compte(causeRetoursChariot) * 10 >= analyse.echecs * 9)
        ajouterPhrase("fins de ligne CRLF (Windows)");
    for (const Decalage& decalage : analyse.decalages) {
        std::string phrase = "d\xC3\xA9" "cal\xC3\xA9 de ";
        phrase += std::to_string(decalage.lignes);
        phrase += decalage.lignes > 1 ? " lignes" : " ligne";
        phrase += decalage.manque ? " (manquante" : " (en trop";
        phrase += decalage.lignes > 1 ? "s)" : ")";
        phrase += " \xC3\xA0 partir de la ligne ";
        phrase += std::to_string(decalage.debut);
        ajouterPhrase(phrase);
    }
    if (analyse.premiereFinTeste > 1 && analyse.echecs > 0 && !finExpliquee(analyse))
        ajouterPhrase("s'arr\xC3\xAAte apr\xC3\xA8s la ligne " + std::to_string(analyse.premiereFinTeste - 1)
                      + " (programme interrompu ?)");
    if (compte(causePasUtf8) > 0)
        ajouterPhrase("pas en UTF-8");
    return diagnostic;
}
