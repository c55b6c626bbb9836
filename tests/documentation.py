#!/usr/bin/env python3
"""Every link between the README, the guides and the benchmark notes leads to
a file that exists and, with a #fragment, to one of its headings as GitHub
names them: a heading renamed or a section moved elsewhere breaks a link."""
import pathlib
import re
import sys

racine = pathlib.Path(sys.argv[1])
fichiers = [racine / "README.md", racine / "bench/README.md", *sorted((racine / "doc").glob("*.md"))]


def horsCode(texte):
    dedans = False
    for ligne in texte.splitlines():
        if ligne.lstrip().startswith("```"):
            dedans = not dedans
        elif not dedans:
            yield ligne


def ancres(chemin):
    noms = set()
    for ligne in horsCode(chemin.read_text(encoding="utf-8")):
        titre = re.match(r"#{1,6} (.*)", ligne)
        if titre:
            nom = re.sub(r"[^\w\- ]", "", titre.group(1).strip().lower()).replace(" ", "-")
            noms.add(nom)
    return noms


erreurs = []
for fichier in fichiers:
    for ligne in horsCode(fichier.read_text(encoding="utf-8")):
        for lien in re.findall(r"\]\(([^)\s]+)\)", ligne):
            if re.match(r"[a-z]+:", lien):
                continue
            chemin, _, ancre = lien.partition("#")
            cible = (fichier.parent / chemin).resolve() if chemin else fichier
            if not cible.exists():
                erreurs.append(f"{fichier.relative_to(racine)} : {lien} : pas de fichier")
            elif ancre and (cible.suffix != ".md" or ancre not in ancres(cible)):
                erreurs.append(f"{fichier.relative_to(racine)} : {lien} : pas de titre")

for erreur in erreurs:
    print("ÉCHEC", erreur)
if not erreurs:
    print("documentation: ok")
sys.exit(1 if erreurs else 0)
