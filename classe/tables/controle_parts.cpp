#include "classe/tables/controle_parts.h"

#include <algorithm>
#include <map>

namespace {

std::string nommerPart(const Bordereau& bordereau)
{
    return "part " + std::to_string(bordereau.part) + '/' + std::to_string(bordereau.parts);
}

std::string citer(const std::string& texte)
{
    return "\xC2\xAB " + texte + " \xC2\xBB";
}

// What a grade and the class depend on: shares that agree on it belong
// together.
std::string resumer(const Bordereau& b)
{
    std::string resume = std::to_string(b.parts) + '\n' + b.version + '\n';
    for (const auto& [nom, valeur] : b.options)
        resume.append(nom).append(1, '\t').append(valeur).append(1, '\n');
    for (const auto& [nom, valeur] : b.corrige)
        resume.append(nom).append(1, '\t').append(valeur).append(1, '\n');
    for (const RemiseRelevee& remise : b.remises)
        resume += remise.nom + '\t' + std::to_string(remise.empreinte) + '\n';
    for (const std::string& avertissement : b.avertissements)
        resume += avertissement + '\n';
    return resume;
}

// The first of two lists of (name, value) where they part, as "name", or
// empty when they are the same.
std::string chercherEcart(const std::vector<std::pair<std::string, std::string>>& a,
                          const std::vector<std::pair<std::string, std::string>>& b)
{
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i])
            return a[i].first == b[i].first ? a[i].first : "?";
    }
    return a.size() == b.size() ? std::string() : "?";
}

// The other shares that saw the class as `perimee` did: stale with it.
std::string nommerAutresPerimees(const std::vector<PartLue>& parts, const PartLue& perimee)
{
    const std::string classe = resumer(perimee.bordereau);
    std::vector<std::size_t> numeros;
    for (const PartLue& part : parts) {
        if (&part != &perimee && resumer(part.bordereau) == classe)
            numeros.push_back(part.bordereau.part);
    }
    std::sort(numeros.begin(), numeros.end());
    std::string texte;
    for (const std::size_t numero : numeros)
        texte += (texte.empty() ? numeros.size() > 1 ? ", comme les parts " : ", comme la part " : ", ")
            + std::to_string(numero);
    return texte;
}

// Why `part` is not of the class of `reference`, which is taken as the
// right one; the share at fault may be the reference itself, made before a
// submission changed.
Refus expliquerEcart(const std::vector<PartLue>& parts, const PartLue& part, const PartLue& reference)
{
    const Bordereau& p = part.bordereau;
    const Bordereau& r = reference.bordereau;
    const std::string nom = nommerPart(p) + " : ";
    if (p.parts != r.parts)
        return {part.chemin, nom + "d'une autre r\xC3\xA9partition, en " + std::to_string(p.parts) + " parts, "
                                 + reference.chemin + " en " + std::to_string(r.parts)};
    if (p.version != r.version)
        return {part.chemin, nom + "faite par la version " + p.version + ", " + reference.chemin
                                 + " par la version " + r.version};
    if (const std::string option = chercherEcart(p.options, r.options); !option.empty())
        return {part.chemin, nom + "faite avec une autre option " + option + " que " + reference.chemin};
    if (const std::string fichier = chercherEcart(p.corrige, r.corrige); !fichier.empty())
        return {part.chemin, nom + "faite avec un autre " + (fichier == "?" ? std::string("jeu de test") : fichier)
                                 + " que " + reference.chemin};
    std::map<std::string, const RemiseRelevee*> siennes;
    for (const RemiseRelevee& remise : p.remises)
        siennes[remise.nom] = &remise;
    for (const RemiseRelevee& remise : r.remises) {
        const auto trouvee = siennes.find(remise.nom);
        if (trouvee == siennes.end())
            return {part.chemin, nom + (p.faite < r.faite ? "p\xC3\xA9rim\xC3\xA9" "e, faite avant que "
                                                                + citer(remise.nom) + " arrive"
                                                          : "d'une autre classe, sans " + citer(remise.nom))};
        const RemiseRelevee& sienne = *trouvee->second;
        if (sienne.empreinte == remise.empreinte)
            continue;
        // The share that saw the older submission is stale.
        const bool avant = sienne.modifiee != remise.modifiee ? sienne.modifiee < remise.modifiee : p.faite < r.faite;
        const PartLue& perimee = avant ? part : reference;
        return {perimee.chemin, nommerPart(perimee.bordereau) + " : p\xC3\xA9rim\xC3\xA9" "e, faite avant que "
                                    + citer(remise.nom) + " change (" + (avant ? reference : part).chemin
                                    + " l'a vue chang\xC3\xA9" "e)" + nommerAutresPerimees(parts, perimee)};
    }
    if (p.remises.size() != r.remises.size()) {
        std::map<std::string, bool> connues;
        for (const RemiseRelevee& remise : r.remises)
            connues[remise.nom] = true;
        for (const RemiseRelevee& remise : p.remises) {
            if (connues.count(remise.nom) == 0)
                return {part.chemin, nom + "d'une autre classe, avec " + citer(remise.nom) + " en plus"};
        }
    }
    return {part.chemin, nom + (p.faite < r.faite ? "p\xC3\xA9rim\xC3\xA9" "e, faite avant que la classe change"
                                                  : "d'une autre classe")
                             + " : ses avertissements ne sont pas ceux de " + reference.chemin};
}

} // namespace

std::optional<Refus> chercherInachevee(const PartLue& part)
{
    const Bordereau& b = part.bordereau;
    if (!b.finie)
        return Refus{part.chemin, nommerPart(b) + " inachev\xC3\xA9" "e : commenc\xC3\xA9" "e, jamais finie"};
    if (b.tableau != part.tableau)
        return Refus{part.chemin, nommerPart(b) + " inachev\xC3\xA9" "e ou chang\xC3\xA9" "e depuis : "
                                                  "pas le tableau qu'elle a \xC3\xA9" "crit"};
    return std::nullopt;
}

std::optional<Refus> chercherInachevees(const std::vector<PartLue>& parts)
{
    const auto inachevee = std::find_if(parts.begin(), parts.end(),
                                        [](const PartLue& part) { return chercherInachevee(part).has_value(); });
    if (inachevee == parts.end())
        return std::nullopt;
    return chercherInachevee(*inachevee);
}

std::optional<Refus> verifierParts(std::vector<PartLue>& parts, const std::vector<VueLue>& vues, bool vueDemandee)
{
    if (std::optional<Refus> inachevee = chercherInachevees(parts))
        return inachevee;
    // The class most shares agree on, the latest made among equals.
    std::map<std::string, std::size_t> groupes;
    for (const PartLue& part : parts)
        ++groupes[resumer(part.bordereau)];
    const PartLue* reference = nullptr;
    std::size_t taille = 0;
    for (const PartLue& part : parts) {
        const std::size_t nombre = groupes[resumer(part.bordereau)];
        if (reference == nullptr || nombre > taille
            || (nombre == taille && part.bordereau.faite > reference->bordereau.faite)) {
            reference = &part;
            taille = nombre;
        }
    }
    if (reference == nullptr)
        return Refus{"--fusionner", "aucun tableau de part"};
    const std::string classe = resumer(reference->bordereau);
    const auto autre = std::find_if(parts.begin(), parts.end(),
                                    [&classe](const PartLue& part) { return resumer(part.bordereau) != classe; });
    if (autre != parts.end())
        return expliquerEcart(parts, *autre, *reference);
    std::stable_sort(parts.begin(), parts.end(),
                     [](const PartLue& a, const PartLue& b) { return a.bordereau.part < b.bordereau.part; });
    const std::size_t nombre = reference->bordereau.parts;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        if (parts[i].bordereau.part == parts[i - 1].bordereau.part)
            return Refus{parts[i].chemin, nommerPart(parts[i].bordereau) + " donn\xC3\xA9" "e deux fois, aussi en "
                                              + parts[i - 1].chemin};
    }
    for (std::size_t i = 0; i < nombre; ++i) {
        if (i >= parts.size() || parts[i].bordereau.part != i + 1)
            return Refus{"--fusionner", "part " + std::to_string(i + 1) + '/' + std::to_string(nombre)
                                            + " manquante : son tableau n'est pas donn\xC3\xA9"};
    }
    // Views: each that of its share, and for every share or for none.
    std::vector<const VueLue*> parPart(nombre + 1, nullptr);
    for (const VueLue& vue : vues) {
        const std::string nomVue = "vue partielle de la part " + std::to_string(vue.part) + '/' + std::to_string(vue.parts);
        if (vue.parts != nombre || vue.part < 1 || vue.part > nombre)
            return Refus{vue.chemin, nomVue + ", d'une autre r\xC3\xA9partition que les tableaux"};
        if (parPart[vue.part] != nullptr)
            return Refus{vue.chemin, nomVue + " donn\xC3\xA9" "e deux fois, aussi en " + parPart[vue.part]->chemin};
        parPart[vue.part] = &vue;
        const Bordereau& b = parts[vue.part - 1].bordereau;
        if (!b.vue || b.empreinteVue != vue.empreinte)
            return Refus{vue.chemin, nomVue + " : pas celle qu'a \xC3\xA9" "crite la part de "
                                         + parts[vue.part - 1].chemin + " (inachev\xC3\xA9" "e, ou d'une autre course)"};
    }
    if (vues.empty() && vueDemandee)
        return Refus{"--lignes", "aucune vue partielle donn\xC3\xA9" "e"};
    for (std::size_t i = 1; !vues.empty() && i <= nombre; ++i) {
        if (parPart[i] == nullptr)
            return Refus{parts[i - 1].chemin, nommerPart(parts[i - 1].bordereau) + " : sa vue partielle manque"};
    }
    return std::nullopt;
}
