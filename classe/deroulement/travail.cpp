#include "classe/deroulement/travail.h"

#include "classe/notation/notation_executee.h"
#include "classe/sorties/progression.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <new>
#include <thread>

namespace {

bool estArretee(const Travail& travail)
{
    return travail.execution != nullptr && travail.execution->arret != nullptr && travail.execution->arret->load();
}

// Its mark, its feedback. Stopped midway: a run the stop ended says
// nothing of the student's work, and no feedback is written of it.
void rendre(Travail& travail, std::size_t i)
{
    if (estArretee(travail))
        return;
    if (travail.bareme != nullptr)
        travail.notes[i].note = noterRangee(*travail.bareme, *travail.jeuxNotes, travail.notes[i]);
    if (travail.plateformes != nullptr)
        rendreRemise(*travail.plateformes, i, travail.notes[i], std::cerr);
}

// The submissions whose runs the wall clock ended short of their CPU time,
// each run again alone: no neighbour then takes its share of the machine.
void relancer(Travail& travail)
{
    std::sort(travail.relancees.begin(), travail.relancees.end());
    for (const std::size_t i : travail.relancees) {
        if (estArretee(travail))
            return;
        const bool expliquer = travail.plateformes != nullptr && expliquerRemises(travail.plateformes->demandes);
        try {
            travail.notes[i] = noterExecution(*travail.execution, *travail.jeux, travail.remises[i], travail.vue,
                                              expliquer, true);
        } catch (const std::bad_alloc&) {
            travail.notes[i] = Note{};
            travail.notes[i].nom = travail.remises[i].nom;
            travail.notes[i].identifiant = travail.remises[i].identifiant;
            travail.notes[i].statut = "erreur m\xC3\xA9moire";
        }
        rendre(travail, i);
    }
}

void travailler(Travail& travail)
{
    const std::size_t total = travail.remises.size();
    for (;;) {
        const std::size_t i = travail.prochaine++;
        if (i >= total)
            return;
        try {
            Plateformes* const plateformes = travail.plateformes;
            const bool expliquer = plateformes != nullptr && expliquerRemises(plateformes->demandes);
            travail.notes[i] = travail.execution != nullptr
                ? noterExecution(*travail.execution, *travail.jeux, travail.remises[i], travail.vue, expliquer)
                : noterRemise(travail.corrige, travail.remises[i], travail.premiere + i, travail.vue, expliquer);
            if (travail.notes[i].aRelancer) {
                const std::lock_guard<std::mutex> verrou(travail.verrou);
                travail.relancees.push_back(i);
            } else {
                rendre(travail, i);
            }
        } catch (const std::bad_alloc&) {
            travail.notes[i].nom = travail.remises[i].nom;
            travail.notes[i].identifiant = travail.remises[i].identifiant;
            travail.notes[i].notee = false;
            travail.notes[i].statut = "erreur m\xC3\xA9moire";
        }
        if (++travail.faites == total) {
            const std::lock_guard<std::mutex> verrou(travail.verrou);
            travail.toutesFaites.notify_all();
        }
    }
}

} // namespace

void noterTout(Travail& travail, unsigned taches, bool terminal)
{
    std::vector<std::thread> fils;
    const std::size_t total = travail.remises.size();
    for (unsigned i = 0; i < taches && i < total; ++i)
        fils.emplace_back(travailler, std::ref(travail));
    if (terminal && total > 0) {
        const Progression progression{total, std::chrono::steady_clock::now()};
        std::unique_lock<std::mutex> verrou(travail.verrou);
        for (;;) {
            afficherProgression(std::cerr, progression, travail.faites.load());
            if (travail.toutesFaites.wait_for(verrou, std::chrono::milliseconds(200),
                                              [&travail, total] { return travail.faites.load() == total; }))
                break;
        }
        effacerProgression(std::cerr);
    }
    for (std::thread& fil : fils)
        fil.join();
    relancer(travail);
}
