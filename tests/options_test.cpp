#include "classe/options/definitions.h"

#include <gtest/gtest.h>

#include <fstream>
// GCC 12 under AddressSanitizer takes std::regex's own std::function members
// for uninitialised (a false positive inside the standard library).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <regex>
#include <set>
#include <sstream>

// The completion script and the manual page are written by hand: each must
// name exactly the options of the table.

namespace {

std::string lire(const std::string& chemin)
{
    std::ifstream fichier(VALIDEUR_SOURCES "/" + chemin);
    std::ostringstream texte;
    texte << fichier.rdbuf();
    return texte.str();
}

std::set<std::string> separer(const std::string& texte, char separateur)
{
    std::set<std::string> mots;
    std::istringstream flux(texte);
    for (std::string mot; std::getline(flux, mot, separateur);)
        if (!mot.empty())
            mots.insert(mot);
    return mots;
}

std::set<std::string> nommer(const DefinitionOption& definition, std::string_view suffixe)
{
    std::set<std::string> noms{"--" + std::string(definition.longue) + std::string(suffixe)};
    if (definition.courte != '\0')
        noms.insert(std::string("-") + definition.courte);
    return noms;
}

} // namespace

TEST(Options, CompletionNommeChaqueOptionDeLaTable)
{
    const std::string script = lire("paquet/completion-classe.bash");
    std::set<std::string> offertes;
    std::set<std::string> sansValeurAOffrir;
    std::set<std::string> choix;
    for (const DefinitionOption& definition : listerOptions()) {
        const std::set<std::string> noms = nommer(definition, definition.valeur.empty() ? "" : "=");
        offertes.insert(noms.begin(), noms.end());
        if (definition.valeur.find('|') != std::string_view::npos) {
            choix.insert("--" + std::string(definition.longue) + ") "
                         + std::string(definition.valeur));
        } else if (!definition.valeur.empty() && !definition.fichier) {
            const std::set<std::string> seuls = nommer(definition, "");
            sansValeurAOffrir.insert(seuls.begin(), seuls.end());
        }
    }
    std::smatch trouve;
    ASSERT_TRUE(std::regex_search(script, trouve, std::regex("compgen -W '(-[^']*)'")));
    EXPECT_EQ(separer(trouve[1], ' '), offertes);
    ASSERT_TRUE(std::regex_search(script, trouve, std::regex("\n *([-a-z|]*)\\) return ;;")));
    EXPECT_EQ(separer(trouve[1], '|'), sansValeurAOffrir);
    std::set<std::string> choixDuScript;
    const std::regex motifChoix("(--[-a-z]*)\\) mapfile -t COMPREPLY < <\\(compgen -W '([^']*)'");
    for (std::sregex_iterator i(script.begin(), script.end(), motifChoix), fin; i != fin; ++i) {
        std::string mots = (*i)[2];
        std::replace(mots.begin(), mots.end(), ' ', '|');
        choixDuScript.insert(std::string((*i)[1]) + ") " + mots);
    }
    EXPECT_EQ(choixDuScript, choix);
}

TEST(Options, PageDeManuelDecritChaqueOptionDeLaTable)
{
    // Each option is described by an item (.TP) whose first line names it.
    const std::string page = lire("man/valideur-classe.1");
    std::set<std::string> decrites;
    const std::regex item("\n\\.TP\n([^\n]*)");
    const std::regex nom("\\\\-(\\\\-[a-z](\\\\-|[a-z])*|[a-zA-Z]\\b)");
    for (std::sregex_iterator i(page.begin(), page.end(), item), fin; i != fin; ++i) {
        const std::string ligne = (*i)[1];
        for (std::sregex_iterator j(ligne.begin(), ligne.end(), nom); j != fin; ++j)
            decrites.insert(std::regex_replace(std::string((*j)[0]), std::regex("\\\\-"), "-"));
    }
    std::set<std::string> attendues;
    for (const DefinitionOption& definition : listerOptions()) {
        const std::set<std::string> noms = nommer(definition, "");
        attendues.insert(noms.begin(), noms.end());
    }
    EXPECT_EQ(decrites, attendues);
}
