#!/usr/bin/env bash
# Benchmark of valideur-classe: a class of 1 000 submissions of 10 000 lines
# each (course-platform layout), graded with -j 2 and by the graders' xargs
# recipe with -P 2, best of 3 runs each; then the peak memory of
# valideur-classe for 100 and 1 000 submissions, and of one valideur run.
# Needs only the compiler, CMake and GNU time (/usr/bin/time).
#   bench/classe.sh [submissions [lines]]
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
nbRemises=${1:-1000}
nbLignes=${2:-10000}
cd "$racine"
# A folder of its own: the developers' build/ keeps its tests.
cmake --preset outil -B build-banc >/dev/null
cmake --build build-banc -j2 --target valideur valideur-classe >/dev/null
bin=$racine/build-banc
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
cd "$dossier"

# The test file and its expected results; four kinds of submission, copied
# in turn: correct, 1 % of wrong lines, CRLF ends, cut off halfway.
awk -v n="$nbLignes" 'BEGIN {
  split("trace localiser presences frequentations duree_rencontres", mots, " ")
  for (i = 0; i < n; i++) {
    printf "%s %d %d\n", mots[int(i / 7) % 5 + 1], (i * 7919) % 1000, (i * 104729) % 1000 > "test.txt"
    printf "%d %d -> %d\n", (i * 31337) % 100000, (i * 271) % 100000, i % 1000 > "attendu.resultat"
  } }'
cp attendu.resultat juste
awk 'NR % 100 == 0 { $0 = $0 "9" } { print }' attendu.resultat >faux
sed 's/$/\r/' attendu.resultat >crlf
head -n $((nbLignes / 2)) attendu.resultat >coupe
modeles=(juste juste juste juste juste juste juste faux crlf coupe)
mkdir remises
for ((i = 0; i < nbRemises; i++)); do
  mkdir "remises/e$i"
  cp "${modeles[$((i % ${#modeles[@]}))]}" "remises/e$i/votre.resultat"
done
taille=$(du -sm remises | cut -f 1)

recette=$(awk '/^## Avec `valideur` seul/ { section = 1; next }
               section && /^## / { exit }
               section && /^```sh$/ { bloc = 1; texte = ""; next }
               bloc && /^```$/ { if (texte ~ /xargs/) { printf "%s", texte; exit } bloc = 0; next }
               bloc { texte = texte $0 "\n" }' "$racine/doc/correcteur.md")
recette=${recette//'"$(nproc)"'/2}
export PATH="$bin:$PATH"

meilleur() { # command...: best wall time of 3 runs, in seconds
  local meilleur= t
  for _ in 1 2 3; do
    t=$( { TIMEFORMAT=%3R; time "$@" >/dev/null 2>&1; } 2>&1 )
    if [ -z "$meilleur" ] || awk -v a="$t" -v b="$meilleur" 'BEGIN { exit !(a < b) }'; then meilleur=$t; fi
  done
  echo "$meilleur"
}
memoire() { # command...: peak resident memory, in MiB
  /usr/bin/time -f %M -o "$dossier/mesure" "$@" >/dev/null 2>&1 || true
  tail -n 1 "$dossier/mesure" | awk '{ printf "%.1f", $1 / 1024 }'
}

# Page cache warm for both.
valideur-classe -j 2 -o /dev/null test.txt attendu.resultat remises 2>/dev/null || true
tClasse=$(meilleur valideur-classe -j 2 -o notes-classe.tsv test.txt attendu.resultat remises)
tClasseVue=$(meilleur valideur-classe -j 2 -o notes-classe.tsv --lignes lignes.tsv test.txt attendu.resultat remises)
tXargs=$(meilleur bash -c "$recette")
echo "Classe de $nbRemises remises de $nbLignes lignes ($taille Mo), -j 2 / -P 2, meilleur de 3"
printf '%-44s %8s %8s\n' commande s "x xargs"
printf '%-44s %8.3f %8.2f\n' "recette xargs (-P 2)" "$tXargs" 1
printf '%-44s %8.3f %8.2f\n' "valideur-classe -j 2" "$tClasse" "$(awk -v a="$tClasse" -v b="$tXargs" 'BEGIN { print a / b }')"
printf '%-44s %8.3f %8.2f\n' "valideur-classe -j 2 --lignes" "$tClasseVue" "$(awk -v a="$tClasseVue" -v b="$tXargs" 'BEGIN { print a / b }')"

mkdir cent
for ((i = 0; i < 100 && i < nbRemises; i++)); do ln -s "../remises/e$i" "cent/e$i"; done
echo
echo "Mémoire résidente maximale (Mio)"
echo "valideur, une remise                        $(memoire valideur -q test.txt attendu.resultat remises/e0/votre.resultat)"
for j in 1 2; do
  echo "valideur-classe -j $j, 100 remises           $(memoire valideur-classe -j $j -o /dev/null test.txt attendu.resultat cent/*)"
  echo "valideur-classe -j $j, $nbRemises remises         $(memoire valideur-classe -j $j -o /dev/null test.txt attendu.resultat remises)"
  echo "valideur-classe -j $j --lignes, $nbRemises remises $(memoire valideur-classe -j $j -o /dev/null --lignes /dev/null test.txt attendu.resultat remises)"
done
