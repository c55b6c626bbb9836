#!/usr/bin/env bash
# Benchmark of valideur-classe --executer: a class of 200 submissions, each
# a program that prints the expected output, run on 3 test sets (one public,
# two hidden). Times, best of 3 and interleaved so that a busy machine
# weighs on all alike: the class in the sandbox and with
# --sans-bac-a-sable, each with control groups (where the machine lends
# them: as root here) and with --sans-cgroups (the seccomp filter and the
# monitor's accounting), and valideur alone on the same outputs (one
# process per run, as a grader's script would). Prints each one's cost per
# run, the sandbox's and a control group's. Run it on a quiet machine; not
# part of the tests.
#   bench/execution.sh [submissions [lines per set]]
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
nbRemises=${1:-200}
nbLignes=${2:-1000}
cd "$racine"
cmake --preset outil -B build-banc >/dev/null
cmake --build build-banc -j2 --target valideur valideur-classe >/dev/null
bin=$racine/build-banc
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
chmod 755 "$dossier"
cd "$dossier"

mkdir -p jeux/caches sorties
for jeu in jeux/public jeux/caches/grand jeux/caches/limites; do
  awk -v n="$nbLignes" -v graine=${#jeu} 'BEGIN {
    split("trace localiser presences frequentations duree_rencontres", mots, " ")
    for (i = 0; i < n; i++)
      printf "%s %d %d\n", mots[int(i / 7) % 5 + 1], (i * 7919 + graine) % 1000, (i * 104729) % 1000 }' >"$jeu.txt"
  sed 's/^[a-z_]* \([0-9]*\) \([0-9]*\)$/\1-\2/' "$jeu.txt" >"$jeu.resultat"
done
mkdir remises
for ((i = 0; i < nbRemises; i++)); do
  mkdir "remises/e$i"
  printf '#!/bin/sh\nexec sed "s/^[a-z_]* \\([0-9]*\\) \\([0-9]*\\)$/\\1-\\2/"\n' >"remises/e$i/prog"
  chmod 755 "remises/e$i/prog"
done
runs=$((nbRemises * 3))
classe=("$bin/valideur-classe" --executer=./prog --jeux=jeux -j 2 -o /dev/null)
# The outputs valideur alone grades, as the programs wrote them.
for jeu in jeux/public jeux/caches/grand jeux/caches/limites; do
  for ((i = 0; i < nbRemises; i++)); do
    cp "$jeu.resultat" "sorties/$(basename "$jeu")-e$i.resultat"
  done
done
seul() {
  for jeu in public caches/grand caches/limites; do
    ls sorties/"$(basename "$jeu")"-e*.resultat \
      | xargs -P 2 -I{} "$bin/valideur" -q "jeux/$jeu.txt" "jeux/$jeu.resultat" {} >/dev/null
  done
}
duree() { # command...: wall time in seconds
  local debut fin
  debut=$(date +%s%N)
  "$@" >/dev/null 2>&1
  fin=$(date +%s%N)
  echo "scale=3; ($fin - $debut) / 1000000000" | bc
}
mode=$("$bin/valideur-classe" --version | sed -n 's/^limites des exécutions : //p')
noms=("bac à sable, $mode" "bac à sable, --sans-cgroups" "--sans-bac-a-sable, $mode"
      "--sans-bac-a-sable --sans-cgroups" "valideur seul, un processus par sortie")
meilleurs=(999 999 999 999 999)
for essai in 1 2 3; do
  temps=("$(duree "${classe[@]}" remises/*/)" "$(duree "${classe[@]}" --sans-cgroups remises/*/)"
         "$(duree "${classe[@]}" --sans-bac-a-sable remises/*/)"
         "$(duree "${classe[@]}" --sans-bac-a-sable --sans-cgroups remises/*/)" "$(duree seul)")
  for k in 0 1 2 3 4; do
    if [ "$(echo "${temps[$k]} < ${meilleurs[$k]}" | bc)" = 1 ]; then meilleurs[$k]=${temps[$k]}; fi
  done
done
par() { echo "scale=2; $1 * 1000 * 2 / $runs" | bc; }
ecart() { par "$(echo "${meilleurs[$1]} - ${meilleurs[$2]}" | bc)"; }
printf '%d remises × 3 jeux de %d lignes = %d exécutions, -j 2 (meilleur de 3)\n' "$nbRemises" "$nbLignes" "$runs"
for k in 0 1 2 3 4; do
  printf '%-40s %8s s  %6s ms par exécution et par cœur\n' "${noms[$k]}" "${meilleurs[$k]}" "$(par "${meilleurs[$k]}")"
done
printf 'coût du bac à sable : %s ms par exécution et par cœur (sans cgroups)\n' "$(ecart 1 3)"
printf 'coût d'"'"'un cgroup (%s) : %s ms dans le bac à sable, %s ms sans\n' "$mode" "$(ecart 0 1)" "$(ecart 2 3)"
