#include "classe/sorties/progression.h"

std::string formaterDuree(std::chrono::steady_clock::duration duree)
{
    const auto dixiemes = std::chrono::duration_cast<std::chrono::milliseconds>(duree).count() / 100;
    return std::to_string(dixiemes / 10) + ',' + std::to_string(dixiemes % 10) + " s";
}

void afficherProgression(std::ostream& terminal, const Progression& progression,
                         std::size_t faites)
{
    terminal << "\r\x1B[K" << faites << '/' << progression.total << " remises, "
             << formaterDuree(std::chrono::steady_clock::now() - progression.debut) << std::flush;
}

void effacerProgression(std::ostream& terminal)
{
    terminal << "\r\x1B[K" << std::flush;
}
