#include "remise.h"

#include "copie.h"
#include "verdict.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string creerDossierPrive(const Execution& execution)
{
    if (execution.arret != nullptr && *execution.arret) {
        errno = EINTR;
        return {};
    }
    std::string modele = execution.bac.racine + "/XXXXXX";
    if (mkdtemp(modele.data()) == nullptr)
        return {};
    return modele;
}

// A folder a run works in outside a sandbox, given to the user it runs as.
bool donnerDossier(const Execution& execution, const Atelier& atelier, const std::string& chemin)
{
    return !execution.bac.changerUtilisateur
        || chown(chemin.c_str(), atelier.boite.utilisateur, atelier.boite.groupe) == 0;
}

std::string decrireErreurCopie(int erreur)
{
    if (erreur == ENOSPC || erreur == EDQUOT || erreur == EFBIG)
        return "remise trop grande pour --espace";
    return "copie impossible : " + std::string(std::strerror(erreur));
}

// A folder inside the private one, given to the sandbox's user when the
// grader is root.
int creerSousDossier(const Execution& execution, const Atelier& atelier, const char* nom)
{
    const std::string chemin = atelier.dossier + "/" + nom;
    if (mkdir(chemin.c_str(), 0700) != 0)
        return -1;
    const int dossier = open(chemin.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dossier >= 0 && execution.bac.changerUtilisateur
        && fchown(dossier, atelier.boite.utilisateur, atelier.boite.groupe) != 0) {
        close(dossier);
        return -1;
    }
    return dossier;
}

} // namespace

void preparerAtelier(const Execution& execution, const std::string& chemin, Atelier& atelier)
{
    const int original = open(chemin.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (original < 0) {
        atelier.statut = errno == ENOTDIR ? "pas un dossier" : "dossier illisible : " + std::string(std::strerror(errno));
        return;
    }
    if (execution.bac.changerUtilisateur) {
        if (!prendreBoite(*execution.bac.boites, atelier.boite)) {
            close(original);
            atelier.statut = "aucun identifiant de bac \xC3\xA0 sable libre";
            return;
        }
        atelier.boites = execution.bac.boites.get();
    }
    atelier.dossier = creerDossierPrive(execution);
    const int copie = atelier.dossier.empty() ? -1 : creerSousDossier(execution, atelier, "remise");
    if (copie < 0) {
        close(original);
        atelier.statut = "dossier priv\xC3\xA9 impossible : " + std::string(std::strerror(errno));
        return;
    }
    const bool changer = execution.bac.changerUtilisateur;
    // No larger than the sandbox's folder could take: a huge submission
    // does not fill the grader's disk.
    const int erreur = copierDossier(original, copie, changer ? atelier.boite.utilisateur : static_cast<uid_t>(-1),
                                     changer ? atelier.boite.groupe : static_cast<gid_t>(-1),
                                     execution.limites.espace, calculerEntreesMax(execution.limites));
    close(original);
    if (erreur != 0) {
        close(copie);
        atelier.statut = decrireErreurCopie(erreur);
        return;
    }
    atelier.source = copie;
    if (execution.construire.empty()) {
        atelier.pret = true;
        return;
    }

    const int construite = creerSousDossier(execution, atelier, "construite");
    const int rien = open("/dev/null", O_RDONLY | O_CLOEXEC);
    std::string dossier;
    bool pret = construite >= 0 && rien >= 0;
    if (pret && !execution.bac.actif) {
        dossier = atelier.dossier + "/travail";
        pret = mkdir(dossier.c_str(), 0700) == 0 && donnerDossier(execution, atelier, dossier);
    }
    DemandeCourse demande{&execution.bac, &execution.limites, true, &execution.construire,
                          rien, copie, construite, dossier.empty() ? nullptr : dossier.c_str(), &atelier.boite};
    Course course;
    const bool demarree = pret && demarrerCourse(demande, course);
    if (rien >= 0)
        close(rien);
    if (!demarree) {
        atelier.statut = "construction impossible : " + std::string(std::strerror(errno));
        if (construite >= 0)
            close(construite);
        return;
    }
    terminerCourse(course);
    atelier.construite = true;
    atelier.messagesConstruction = course.messages;
    atelier.finConstruction = conclureCourse(execution, course, dossier, atelier.statut);
    atelier.secondesConstruction = static_cast<double>(course.resultat.microsecondes) / 1e6;
    atelier.mioConstruction = static_cast<double>(course.resultat.kio) / 1024;
    if (!atelier.statut.empty()) {
        close(construite);
        return;
    }
    close(copie);
    atelier.source = construite;
    atelier.pret = atelier.finConstruction == finNormale;
}

void fermerAtelier(Atelier& atelier)
{
    if (atelier.source >= 0)
        close(atelier.source);
    atelier.source = -1;
    if (!atelier.dossier.empty())
        supprimerDossier(atelier.dossier.c_str());
    atelier.dossier.clear();
    if (atelier.boites != nullptr)
        rendreBoite(*atelier.boites, atelier.boite);
    atelier.boites = nullptr;
}

bool lancerCourse(const Execution& execution, const Atelier& atelier, int entree, Course& course,
                  std::string& dossier, std::string& statut)
{
    if (!execution.bac.actif) {
        dossier = creerDossierPrive(execution);
        if (dossier.empty() || !donnerDossier(execution, atelier, dossier)) {
            statut = "dossier priv\xC3\xA9 impossible : " + std::string(std::strerror(errno));
            if (!dossier.empty())
                supprimerDossier(dossier.c_str());
            dossier.clear();
            return false;
        }
    }
    DemandeCourse demande{&execution.bac, &execution.limites, false, &execution.executer,
                          entree, atelier.source, -1, dossier.empty() ? nullptr : dossier.c_str(), &atelier.boite};
    if (demarrerCourse(demande, course))
        return true;
    statut = "lancement impossible : " + std::string(std::strerror(errno));
    if (!dossier.empty())
        supprimerDossier(dossier.c_str());
    dossier.clear();
    return false;
}

std::string conclureCourse(const Execution& execution, Course& course, std::string& dossier,
                           std::string& statut)
{
    if (!dossier.empty())
        supprimerDossier(dossier.c_str());
    dossier.clear();
    const Rapport& rapport = course.resultat;
    if (!rapport.recu && !rapport.delaiDepasse) {
        const std::string premiere = course.messages.substr(0, course.messages.find('\n'));
        statut = "bac \xC3\xA0 sable en \xC3\xA9" "chec" + (premiere.empty() ? std::string() : " : " + premiere);
        return {};
    }
    if (rapport.recu && rapport.erreur != 0) {
        statut = decrireErreurCopie(rapport.erreur);
        return {};
    }
    return deciderFin(rapport, execution.limites);
}
