#include "ouverture.h"

#include <cerrno>

namespace {

std::string_view nommerRole(Role role)
{
    switch (role) {
    case Role::test: return "fichier de test";
    case Role::attendu: return "fichier des r\xC3\xA9sultats attendus";
    case Role::teste: return "fichier des r\xC3\xA9sultats du programme test\xC3\xA9";
    }
    return {};
}

std::string nommerErreur(int erreur)
{
    switch (erreur) {
    case 0:
    case EISDIR: return "c'est un dossier, pas un fichier";
    case ENOENT: return "fichier ou dossier introuvable";
    case EACCES:
    case EPERM: return "permission refus\xC3\xA9" "e";
    case ENOTDIR: return "un \xC3\xA9l\xC3\xA9ment du chemin n'est pas un dossier";
    case ELOOP: return "trop de liens symboliques en cha\xC3\xAEne";
    case ENAMETOOLONG: return "chemin trop long";
    case EMFILE:
    case ENFILE: return "trop de fichiers ouverts";
    case ENXIO:
    case ENODEV: return "p\xC3\xA9riph\xC3\xA9rique absent";
    case EIO: return "erreur d'entr\xC3\xA9" "e-sortie";
    default: return "erreur du syst\xC3\xA8me n\xC2\xB0 " + std::to_string(erreur);
    }
}

} // namespace

std::string expliquerOuverture(Role role, std::string_view chemin, int erreur)
{
    std::string texte = "  (";
    texte += nommerRole(role);
    texte += " : ";
    if (chemin.empty()) {
        texte += "chemin vide, une variable vide dans la commande ?)";
        return texte;
    }
    texte += nommerErreur(erreur);
    if (chemin.size() > 1 && chemin.front() == '-')
        texte += " ; ce chemin ressemble \xC3\xA0 une option, or valideur ne conna\xC3\xAEt que "
                 "-q, -quiet, -silence, -c et -corrige : tout autre argument est un chemin";
    texte += ")";
    return texte;
}
