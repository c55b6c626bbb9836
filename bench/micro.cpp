// Micro-benchmarks of the hot functions: comparison, command word, and line
// splitting over an in-memory stream.
#include "validation/comparaison.h"
#include "validation/moteur/lecture.h"
#include "validation/moteur/commande.h"
#include "validation/validation.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

void comparerEgales(benchmark::State& etat)
{
    const std::string a = "12345 67890 -> 321";
    const std::string b = a;
    for (auto _ : etat)
        benchmark::DoNotOptimize(estIdentique(a, b));
}
BENCHMARK(comparerEgales);

void comparerEspacees(benchmark::State& etat)
{
    const std::string a = "12345 67890 -> 321";
    const std::string b = "12345  67890  ->  321";
    for (auto _ : etat)
        benchmark::DoNotOptimize(estIdentique(a, b));
}
BENCHMARK(comparerEspacees);

void comparerLongues(benchmark::State& etat)
{
    std::string a(static_cast<std::size_t>(etat.range(0)), 'x');
    for (std::size_t i = 0; i < a.size(); i += 10)
        a[i] = ' ';
    std::string b = a;
    b[b.size() / 3] = '\t';
    for (auto _ : etat)
        benchmark::DoNotOptimize(estIdentique(a, b));
    etat.SetBytesProcessed(etat.iterations() * etat.range(0) * 2);
}
BENCHMARK(comparerLongues)->Arg(1 << 10)->Arg(1 << 20);

void extraire(benchmark::State& etat)
{
    const std::string ligne = "  localiser 123 456";
    for (auto _ : etat)
        benchmark::DoNotOptimize(extraireCommande(ligne));
}
BENCHMARK(extraire);

void decouper(benchmark::State& etat)
{
    std::string contenu;
    for (int i = 0; i < 100000; ++i)
        contenu += "trace " + std::to_string(i) + " " + std::to_string(i * 7) + "\n";
    for (auto _ : etat) {
        std::istringstream flux(contenu);
        Entree entree = ouvrirEntree(flux);
        std::string_view ligne;
        std::size_t n = 0;
        while (lireLigne(entree, ligne))
            n += ligne.size();
        benchmark::DoNotOptimize(n);
    }
    etat.SetBytesProcessed(etat.iterations() * static_cast<std::int64_t>(contenu.size()));
}
BENCHMARK(decouper);

} // namespace

BENCHMARK_MAIN();
