#!/usr/bin/env bash
# Runs the graders' recipe exactly as doc/correcteur.md shows it (the sh block
# of its "Avec valideur seul" section that runs xargs) in a copy of tests/correction/,
# with the built valideur first in PATH, and compares the TSV it writes.
# Two more submissions are made here: a name that tries to forge a row of
# notes, and one that cannot be opened (a directory).
set -u
export LC_ALL=C.UTF-8
valideur=$1
source=$2
recette=$(awk '/^## Avec `valideur` seul/ { section = 1; next }
               section && /^## / { exit }
               section && /^```sh$/ { bloc = 1; texte = ""; next }
               bloc && /^```$/ { if (texte ~ /xargs/) { printf "%s", texte; exit } bloc = 0; next }
               bloc { texte = texte $0 "\n" }' "$source/doc/correcteur.md")
if [ -z "$recette" ] || [ "$(printf '%s\n' "$recette" | wc -l)" -ne 1 ]; then
  echo "ÉCHEC: la recette de doc/correcteur.md n'est pas une ligne seule : «$recette»"
  exit 1
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp -r "$source/tests/correction/." "$tmp"
cd "$tmp" || exit 2
cp remises/bob.resultat "remises/$(printf 'alice.resultat\t2\t2\t1\t1\t1\n\033[2Jzz.resultat')"
mkdir remises/dossier.resultat
PATH="$(dirname "$valideur"):$PATH" bash -c "$recette" 2>erreurs \
  || { echo "ÉCHEC: statut $? de «$recette»"; exit 1; }
if [ "$(cat erreurs)" != "Erreur ouverture remises/dossier.resultat" ]; then
  echo "ÉCHEC: sortie d'erreur «$(cat erreurs)»"
  exit 1
fi
if ! cmp -s notes-attendues.tsv notes.tsv; then
  echo "ÉCHEC: notes.tsv attendu / obtenu"
  diff notes-attendues.tsv notes.tsv
  exit 1
fi
echo "correction: ok"
