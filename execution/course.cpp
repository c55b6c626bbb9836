#include "course.h"

#include "moniteur.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Horloge = std::chrono::steady_clock;

void fermer(int& descripteur)
{
    if (descripteur >= 0)
        close(descripteur);
    descripteur = -1;
}

// Ends the run early: the monitor sees its control pipe close and ends
// every process.
void arreter(Course& course)
{
    fermer(course.controle);
}

void lireErreurs(Course& course)
{
    char tampon[16384];
    const ssize_t lus = read(course.erreurs, tampon, sizeof tampon);
    if (lus < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (lus <= 0) {
        fermer(course.erreurs);
        return;
    }
    const std::size_t place = erreursGardees - std::min(erreursGardees, course.messages.size());
    course.messages.append(tampon, std::min(place, static_cast<std::size_t>(lus)));
}

void lireRapportMoniteur(Course& course)
{
    char tampon[256];
    const ssize_t lus = read(course.rapport, tampon, sizeof tampon);
    if (lus < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (lus <= 0 || course.texteRapport.size() > 1024) {
        fermer(course.rapport);
        return;
    }
    course.texteRapport.append(tampon, static_cast<std::size_t>(lus));
}

// How often the group's CPU time is read: a run passes --temps by at most
// this, times the cores it keeps busy.
constexpr auto periodeMesure = std::chrono::milliseconds(20);
// The group's time past --temps that ends the run: the sandbox's start and
// the copy of the submission into it.
constexpr std::uint64_t margeGroupe = 100000;

// A run whose group has used its CPU time is ended. The monitor ends it
// first, summing its processes' time; the group also counts the monitor's
// own copy and whatever left its sight. A build's folder copied back out
// is the monitor's work, not the build's: the monitor alone bounds a build.
void mesurer(Course& course, Horloge::time_point maintenant)
{
    if (course.microsecondesMax == 0 || course.groupe.temps < 0 || maintenant < course.prochaineMesure
        || course.resultat.tempsDepasse)
        return;
    course.prochaineMesure = maintenant + periodeMesure;
    if (lireTempsGroupe(course.groupe) > course.microsecondesMax) {
        course.resultat.tempsDepasse = true;
        arreter(course);
    }
}

// Waits for one of the pipes; false once the runner's clock has run out,
// and then the whole sandbox is killed.
bool attendre(Course& course)
{
    const auto maintenant = Horloge::now();
    mesurer(course, maintenant);
    auto reste = std::chrono::duration_cast<std::chrono::milliseconds>(course.limite - maintenant);
    if (reste.count() <= 0) {
        course.resultat.delaiDepasse = true;
        kill(course.processus, SIGKILL);
        fermer(course.sortie);
        fermer(course.erreurs);
        fermer(course.rapport);
        return false;
    }
    if (course.microsecondesMax != 0 && course.groupe.temps >= 0 && !course.resultat.tempsDepasse)
        reste = std::min<std::chrono::milliseconds>(reste, periodeMesure);
    pollfd attentes[3] = {{course.sortie, POLLIN, 0}, {course.erreurs, POLLIN, 0}, {course.rapport, POLLIN, 0}};
    const int prets = poll(attentes, 3, static_cast<int>(std::min<std::int64_t>(reste.count() + 1, INT_MAX)));
    if (prets <= 0)
        return true;
    if (attentes[1].revents != 0)
        lireErreurs(course);
    if (attentes[2].revents != 0)
        lireRapportMoniteur(course);
    return true;
}

} // namespace

bool demarrerCourse(const DemandeCourse& demande, Course& course)
{
    int sortie[2] = {-1, -1};
    int erreurs[2] = {-1, -1};
    int rapport[2] = {-1, -1};
    int controle[2] = {-1, -1};
    const bool ouverts = pipe2(erreurs, O_CLOEXEC) == 0 && pipe2(rapport, O_CLOEXEC) == 0
        && pipe2(controle, O_CLOEXEC) == 0 && (demande.construction || pipe2(sortie, O_CLOEXEC) == 0);
    pid_t processus = -1;
    const bool groupe = ouverts && creerGroupe(*demande.bac->groupes, *demande.limites, course.groupe);
    if (groupe) {
        const char* mode = demande.construction ? modeConstruction : modeExecution;
        const int descripteurs[7] = {demande.entree, demande.construction ? erreurs[1] : sortie[1], erreurs[1],
                                     rapport[1], controle[0], demande.source, demande.retour};
        processus = demarrerProcessus(*demande.bac, demande.boite, &course.groupe,
                                      construireCommande(*demande.bac, *demande.limites, mode, *demande.commande),
                                      descripteurs, demande.bac->actif ? nullptr : demande.dossier);
    }
    const int erreur = errno;
    for (int* bout : {&sortie[1], &erreurs[1], &rapport[1], &controle[0]})
        fermer(*bout);
    if (processus < 0) {
        for (int* bout : {&sortie[0], &erreurs[0], &rapport[0], &controle[1]})
            fermer(*bout);
        supprimerGroupe(course.groupe);
        errno = erreur;
        return false;
    }
    course.processus = processus;
    // Never waits in read(): the runner's clock and standard error are
    // watched in poll().
    if (sortie[0] >= 0)
        fcntl(sortie[0], F_SETFL, O_NONBLOCK);
    course.sortie = sortie[0];
    course.erreurs = erreurs[0];
    course.rapport = rapport[0];
    course.controle = controle[1];
    course.sortieMax = demande.limites->sortieMax;
    course.microsecondesMax = demande.construction ? 0 : static_cast<std::uint64_t>(demande.limites->temps * 1e6) + margeGroupe;
    course.prochaineMesure = Horloge::now() + periodeMesure;
    const double secondes = calculerTempsReel(*demande.limites) + 0.5;
    course.limite = Horloge::now() + std::chrono::microseconds(static_cast<std::int64_t>(secondes * 1e6));
    return true;
}

std::size_t lireSortie(Course& course, char* tampon, std::size_t taille)
{
    // Read first, wait only when nothing is there: a line-buffered program
    // writes each line apart, and most reads find one waiting.
    while (course.sortie >= 0) {
        const auto maintenant = Horloge::now();
        if (maintenant >= course.limite) {
            attendre(course);
            return 0;
        }
        mesurer(course, maintenant);
        const std::uint64_t permis = course.sortieMax - std::min(course.sortieMax, course.lus);
        // One byte past the limit tells that the output went beyond it.
        const auto voulu = static_cast<std::size_t>(std::min<std::uint64_t>(taille, permis + 1));
        const ssize_t lus = read(course.sortie, tampon, voulu);
        if (lus < 0 && errno == EAGAIN) {
            if (!attendre(course))
                return 0;
            continue;
        }
        if (lus < 0 && errno == EINTR)
            continue;
        if (lus <= 0) {
            fermer(course.sortie);
            return 0;
        }
        auto n = static_cast<std::size_t>(lus);
        course.lus += n;
        if (course.lus > course.sortieMax) {
            course.resultat.sortieDepassee = true;
            n -= static_cast<std::size_t>(course.lus - course.sortieMax);
            course.lus = course.sortieMax;
            fermer(course.sortie);
            arreter(course);
        }
        return n;
    }
    return 0;
}

void terminerCourse(Course& course)
{
    char tampon[65536];
    while (course.sortie >= 0 && lireSortie(course, tampon, sizeof tampon) > 0) {
    }
    while ((course.erreurs >= 0 || course.rapport >= 0) && attendre(course)) {
    }
    int statut = 0;
    while (waitpid(course.processus, &statut, 0) < 0 && errno == EINTR) {
    }
    fermer(course.controle);
    fermer(course.sortie);
    fermer(course.erreurs);
    fermer(course.rapport);
    if (!course.resultat.delaiDepasse) {
        const bool sortieDepassee = course.resultat.sortieDepassee;
        const bool tempsDepasse = course.resultat.tempsDepasse;
        course.resultat.recu = lireRapport(course.texteRapport, course.resultat);
        course.resultat.sortieDepassee = sortieDepassee;
        course.resultat.tempsDepasse = tempsDepasse;
    }
    // The group's figures are the whole run's: every process, reaped or
    // not, and what it kept in its file systems and shared memory.
    if (course.groupe.temps >= 0) {
        course.resultat.microsecondes = lireTempsGroupe(course.groupe);
        mesurerGroupe(course.groupe, course.resultat.kio, course.resultat.memoireDepassee);
    }
    supprimerGroupe(course.groupe);
}

TamponCourse::int_type TamponCourse::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    std::size_t remplis = 0;
    while (remplis < sizeof zone) {
        const std::size_t lus = lireSortie(*course, zone + remplis, sizeof zone - remplis);
        if (lus == 0)
            break;
        remplis += lus;
    }
    if (remplis == 0)
        return traits_type::eof();
    setg(zone, zone, zone + remplis);
    return traits_type::to_int_type(*gptr());
}

std::streamsize TamponCourse::showmanyc()
{
    if (traits_type::eq_int_type(underflow(), traits_type::eof()))
        return -1;
    return egptr() - gptr();
}
