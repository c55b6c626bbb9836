#include "verdict.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <sstream>

#include <sys/wait.h>

namespace {

struct NomSignal {
    int numero;
    const char* nom;         // cppcheck-suppress unusedStructMember
    const char* description; // cppcheck-suppress unusedStructMember
};

const NomSignal nomsSignaux[] = {
    {SIGHUP, "SIGHUP", "d\xC3\xA9" "connexion"},
    {SIGINT, "SIGINT", "interruption"},
    {SIGQUIT, "SIGQUIT", "abandon demand\xC3\xA9"},
    {SIGILL, "SIGILL", "instruction ill\xC3\xA9gale"},
    {SIGTRAP, "SIGTRAP", "point d'arr\xC3\xAAt"},
    {SIGABRT, "SIGABRT", "abandon"},
    {SIGBUS, "SIGBUS", "erreur de bus"},
    {SIGFPE, "SIGFPE", "erreur arithm\xC3\xA9tique"},
    {SIGKILL, "SIGKILL", "tu\xC3\xA9"},
    {SIGUSR1, "SIGUSR1", "signal utilisateur 1"},
    {SIGSEGV, "SIGSEGV", "erreur de segmentation"},
    {SIGUSR2, "SIGUSR2", "signal utilisateur 2"},
    {SIGPIPE, "SIGPIPE", "tube ferm\xC3\xA9"},
    {SIGALRM, "SIGALRM", "alarme"},
    {SIGTERM, "SIGTERM", "termin\xC3\xA9"},
    {SIGSTKFLT, "SIGSTKFLT", "erreur de pile du coprocesseur"},
    {SIGXCPU, "SIGXCPU", "temps processeur d\xC3\xA9pass\xC3\xA9"},
    {SIGXFSZ, "SIGXFSZ", "taille de fichier d\xC3\xA9pass\xC3\xA9" "e"},
    {SIGVTALRM, "SIGVTALRM", "alarme virtuelle"},
    {SIGPROF, "SIGPROF", "alarme de profilage"},
    {SIGIO, "SIGIO", "entr\xC3\xA9" "e-sortie possible"},
    {SIGPWR, "SIGPWR", "panne d'alimentation"},
    {SIGSYS, "SIGSYS", "appel syst\xC3\xA8me invalide"},
};

// An abnormal end with the largest process this close to the memory limit
// is taken for a refused allocation: the address space holds some pages
// never touched (libraries, stacks), so the resident peak stays below it.
bool estPresDeLaLimite(std::uint64_t kio, std::uint64_t memoire)
{
    const std::uint64_t octets = kio * 1024;
    const std::uint64_t marge = std::max<std::uint64_t>(memoire / 4, 24 * octetsParMio);
    return memoire > marge && octets + marge >= memoire;
}

} // namespace

std::string decrireSignal(int signal)
{
    const auto nom = std::find_if(std::begin(nomsSignaux), std::end(nomsSignaux),
                                  [signal](const NomSignal& candidat) { return candidat.numero == signal; });
    if (nom == std::end(nomsSignaux))
        return "signal " + std::to_string(signal);
    return std::string(nom->nom) + " : " + nom->description;
}

std::string deciderFin(const Rapport& rapport, const Limites& limites)
{
    if (rapport.sortieDepassee)
        return std::string(finSortieTropLongue);
    if (rapport.delaiDepasse || rapport.horloge || rapport.tempsTotal || rapport.tempsDepasse)
        return std::string(finTempsDepasse);
    if (rapport.espaceDepasse)
        return std::string(finEspaceDepasse);
    const int statut = rapport.statut;
    const bool signale = WIFSIGNALED(statut);
    const int signal = signale ? WTERMSIG(statut) : 0;
    const auto secondes = static_cast<double>(rapport.microsecondes) / 1e6;
    if (signal == SIGXCPU || (signal == SIGKILL && secondes >= limites.temps))
        return std::string(finTempsDepasse);
    const bool anormale = signale || (WIFEXITED(statut) && WEXITSTATUS(statut) != 0);
    if (anormale && (rapport.memoireDepassee || estPresDeLaLimite(rapport.kio, limites.memoire)))
        return std::string(finMemoireDepassee);
    if (signale)
        return std::string(finPlantage) + " (" + decrireSignal(signal) + ")";
    if (WIFEXITED(statut) && WEXITSTATUS(statut) != 0)
        return "statut " + std::to_string(WEXITSTATUS(statut));
    return std::string(finNormale);
}

std::string ecrireRapport(const Rapport& rapport)
{
    char ligne[160];
    std::snprintf(ligne, sizeof ligne, "%d %d %d %d %llu %llu %d %d %d\n", rapport.statut,
                  rapport.termine ? 1 : 0, rapport.horloge ? 1 : 0, rapport.arrete ? 1 : 0,
                  static_cast<unsigned long long>(rapport.microsecondes),
                  static_cast<unsigned long long>(rapport.kio), rapport.erreur, rapport.tempsTotal ? 1 : 0,
                  rapport.espaceDepasse ? 1 : 0);
    return ligne;
}

bool lireRapport(const std::string& texte, Rapport& rapport)
{
    std::istringstream flux(texte);
    int termine = 0;
    int horloge = 0;
    int arrete = 0;
    int tempsTotal = 0;
    int espace = 0;
    if (!(flux >> rapport.statut >> termine >> horloge >> arrete >> rapport.microsecondes
          >> rapport.kio >> rapport.erreur >> tempsTotal >> espace))
        return false;
    rapport.tempsTotal = tempsTotal != 0;
    rapport.espaceDepasse = espace != 0;
    rapport.termine = termine != 0;
    rapport.horloge = horloge != 0;
    rapport.arrete = arrete != 0;
    rapport.recu = true;
    return true;
}
