// Times valideur beside wc -l and diff -w on the inputs that generer wrote:
// best of 9 runs each, with the peak resident memory of the process; then the
// cost of one report, and the instructions per input byte that callgrind
// counts on the first 200 000 lines. With VALIDEUR_AVANT=path, also the time
// against that other build, run in turn with this one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int nbEssais = 9;

struct Mesure {
    double secondes;
    long memoireKo;
};

// Runs the command with standard output to /dev/null and standard error to
// `erreurs`; returns its wall time and peak resident memory. A command that
// fails, or ends with a status above `statutAdmis`, ends the benchmark: its
// times would mean nothing.
Mesure executer(const std::vector<std::string>& commande, const std::string& erreurs,
                int statutAdmis)
{
    // The reports of the previous run go before the clock starts: freeing
    // their pages is no part of this run's time.
    if (erreurs != "/dev/null")
        unlink(erreurs.c_str());
    const auto debut = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int nul = open("/dev/null", O_WRONLY);
        const int err = open(erreurs.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(nul, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        std::vector<char*> arguments;
        for (const std::string& a : commande)
            arguments.push_back(const_cast<char*>(a.c_str()));
        arguments.push_back(nullptr);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    int statut = 0;
    rusage usage{};
    wait4(pid, &statut, 0, &usage);
    const auto fin = std::chrono::steady_clock::now();
    if (!WIFEXITED(statut) || WEXITSTATUS(statut) > statutAdmis) {
        std::fprintf(stderr, "banc : échec de %s (statut %d), rien de plus n'est mesuré\n",
                     commande[0].c_str(), WIFEXITED(statut) ? WEXITSTATUS(statut) : statut);
        std::exit(1);
    }
    return {std::chrono::duration<double>(fin - debut).count(), usage.ru_maxrss};
}

Mesure meilleure(const std::vector<std::string>& commande, const std::string& erreurs,
                 int statutAdmis = 0)
{
    Mesure m = executer(commande, erreurs, statutAdmis);
    for (int i = 1; i < nbEssais; ++i) {
        const Mesure essai = executer(commande, erreurs, statutAdmis);
        m.secondes = std::min(m.secondes, essai.secondes);
        m.memoireKo = std::max(m.memoireKo, essai.memoireKo);
    }
    return m;
}

double taille(const std::vector<std::string>& fichiers)
{
    double octets = 0;
    for (const std::string& f : fichiers) {
        struct stat infos {};
        if (stat(f.c_str(), &infos) == 0)
            octets += static_cast<double>(infos.st_size);
    }
    return octets;
}

void ligne(const char* nom, const Mesure& m, double octets, double plancher)
{
    std::printf("%-34s %8.3f %9.0f %7.2f %9.1f\n", nom, m.secondes, octets / m.secondes / 1e6,
                m.secondes / plancher, static_cast<double>(m.memoireKo) / 1024.0);
}

void comparer(const char* titre, const std::string& valideur, const std::string& prefixe)
{
    const std::string t = prefixe + ".test";
    const std::string a = prefixe + ".attendu";
    const std::string v = prefixe + ".votre";
    const std::string nul = "/dev/null";
    const double octets = taille({t, a, v});
    std::printf("\n%s (%.0f Mo en trois fichiers)\n", titre, octets / 1e6);
    std::printf("%-34s %8s %9s %7s %9s\n", "commande", "s", "Mo/s", "x wc", "Mio max");
    const Mesure wc = meilleure({"wc", "-l", t, a, v}, nul);
    ligne("wc -l test attendu votre", wc, octets, wc.secondes);
    ligne("diff -w attendu votre", meilleure({"diff", "-w", a, v}, nul, 1), taille({a, v}), wc.secondes);
    ligne("valideur -q", meilleure({valideur, "-q", t, a, v}, nul), octets, wc.secondes);
    if (prefixe.size() >= 8 && prefixe.compare(prefixe.size() - 8, 8, "/courtes") == 0)
        ligne("valideur -q, copie des attendus", meilleure({valideur, "-q", t, a, prefixe + ".copie"}, nul),
              taille({t, a, prefixe + ".copie"}), wc.secondes);
    ligne("valideur, rapports vers un fichier", meilleure({valideur, t, a, v}, prefixe + ".rapports"),
          octets, wc.secondes);
}

// A report costs its formatting and the write that its flush makes: the time
// of a run where every line disagrees, less the same run in quiet mode.
void mesurerRapports(const std::string& valideur, const std::string& prefixe, long nbLignes)
{
    const std::string t = prefixe + ".test";
    const std::string a = prefixe + ".attendu";
    const std::string f = prefixe + ".faux";
    const Mesure muet = meilleure({valideur, "-q", t, a, f}, "/dev/null");
    const Mesure bavard = meilleure({valideur, t, a, f}, prefixe + ".rapports");
    std::printf("\nRapports : %ld lignes toutes en échec, %.3f s muet, %.3f s vers un fichier,"
                " %.2f µs par rapport\n",
                nbLignes, muet.secondes, bavard.secondes,
                (bavard.secondes - muet.secondes) / static_cast<double>(nbLignes) * 1e6);
}

// Instructions of the quiet run that callgrind counts, the program's start
// included, per byte of the three inputs.
void compterInstructions(const std::string& valideur, const std::string& prefixe)
{
    const std::string t = prefixe + ".test";
    const std::string a = prefixe + ".attendu";
    const std::string v = prefixe + ".votre";
    const std::string journal = prefixe + ".callgrind";
    const std::string commande = "valgrind --tool=callgrind --callgrind-out-file=/dev/null '" + valideur
        + "' -q '" + t + "' '" + a + "' '" + v + "' >/dev/null 2>'" + journal + "'";
    if (std::system(commande.c_str()) != 0) {
        std::printf("\nInstructions : valgrind absent ou en échec (paquet valgrind), non mesurées\n");
        return;
    }
    std::ifstream flux(journal);
    std::string ligneJournal;
    double instructions = 0;
    while (std::getline(flux, ligneJournal)) {
        const std::size_t position = ligneJournal.find("Collected : ");
        if (position != std::string::npos)
            instructions = std::stod(ligneJournal.substr(position + 12));
    }
    std::printf("\nInstructions (callgrind, -q, 200 000 premières lignes) : %.0f, %.2f par octet lu\n",
                instructions, instructions / taille({t, a, v}));
}

// The time of `apres` over that of `avant` on one command, as the median of
// the ratios of runs made in turn, one of each: whatever the machine's state
// while they run, both see it alike.
double rapporterA(const std::string& avant, const std::string& apres,
                  const std::vector<std::string>& arguments, const std::string& erreurs)
{
    std::vector<double> rapports;
    for (int i = 0; i < nbEssais; ++i) {
        std::vector<std::string> commande = {avant};
        commande.insert(commande.end(), arguments.begin(), arguments.end());
        const double tempsAvant = executer(commande, erreurs, 0).secondes;
        commande[0] = apres;
        const double tempsApres = executer(commande, erreurs, 0).secondes;
        rapports.push_back(tempsApres / tempsAvant);
    }
    std::sort(rapports.begin(), rapports.end());
    return rapports[rapports.size() / 2];
}

void comparerAvant(const std::string& avant, const std::string& valideur, const std::string& dossier)
{
    const std::string c = dossier + "/courtes";
    const std::string l = dossier + "/longues";
    std::printf("\nContre %s : médiane des rapports de temps sur %d paires d'essais alternés"
                " (< 1 : plus rapide)\n",
                avant.c_str(), nbEssais);
    const struct {
        const char* nom;
        std::vector<std::string> arguments;
        std::string erreurs;
    } cas[] = {
        {"lignes courtes, -q", {"-q", c + ".test", c + ".attendu", c + ".votre"}, "/dev/null"},
        {"lignes courtes, copie des attendus, -q", {"-q", c + ".test", c + ".attendu", c + ".copie"},
         "/dev/null"},
        {"lignes courtes, rapports vers un fichier", {c + ".test", c + ".attendu", c + ".votre"},
         c + ".rapports"},
        {"lignes longues, -q", {"-q", l + ".test", l + ".attendu", l + ".votre"}, "/dev/null"},
    };
    for (const auto& [nom, arguments, erreurs] : cas)
        std::printf("%-42s %6.2f\n", nom, rapporterA(avant, valideur, arguments, erreurs));
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: banc VALIDEUR DOSSIER\n");
        return 1;
    }
    const std::string valideur = argv[1];
    const std::string dossier = argv[2];
    std::printf("meilleur de %d essais ; Mo/s sur les octets lus; x wc : temps / temps de wc -l\n",
                nbEssais);
    comparer("Lignes courtes, 2 millions par fichier", valideur, dossier + "/courtes");
    comparer("Lignes longues, 4 de 50 Mo par fichier", valideur, dossier + "/longues");
    mesurerRapports(valideur, dossier + "/extrait", 200000);
    compterInstructions(valideur, dossier + "/extrait");
    if (const char* avant = std::getenv("VALIDEUR_AVANT"); avant != nullptr && *avant != '\0')
        comparerAvant(avant, valideur, dossier);
    return 0;
}
