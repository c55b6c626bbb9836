#include "classe/plateforme/retours.h"

#include "classe/sorties/sorties.h"

#include <cerrno>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool creerDossierRetours(const std::string& dossier)
{
    std::error_code code;
    std::filesystem::create_directories(dossier, code);
    return !code && std::filesystem::is_directory(dossier, code);
}

std::string reserverDossier(std::set<std::string>& pris, const std::string& nom)
{
    std::string dossier = nom;
    for (int n = 2; !pris.insert(dossier).second; ++n)
        dossier = nom + "_" + std::to_string(n);
    return dossier;
}

bool ecrireRetourFichier(const std::string& racine, const std::string& dossier, const std::string& texte)
{
    const std::string cheminDossier = racine + "/" + dossier;
    if (mkdir(cheminDossier.c_str(), 0777) != 0 && errno != EEXIST)
        return false;
    // Neither the folder nor the file may be a link that leads elsewhere.
    const int parent = open(cheminDossier.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (parent < 0)
        return false;
    const int descripteur = openat(parent, nomRetour, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
    close(parent);
    if (descripteur < 0)
        return false;
    const bool ecrit = ecrireTout(descripteur, texte);
    return close(descripteur) == 0 && ecrit;
}

std::string lierRetours(const DemandesPlateformes& demandes)
{
    namespace fs = std::filesystem;
    std::error_code erreur;
    const fs::path page = fs::absolute(demandes.html, erreur);
    const fs::path retours = fs::absolute(demandes.retours, erreur);
    fs::path lien = fs::relative(retours, page.parent_path(), erreur);
    if (erreur || lien.empty())
        lien = retours;
    std::string texte = lien.generic_string();
    if (texte == ".")
        texte.clear();
    return texte.empty() || texte.back() == '/' ? texte : texte + "/";
}
