#!/usr/bin/env bash
# Benchmark: builds, writes the inputs into a temporary folder, and prints the
# table of valideur beside wc -l and diff -w. VALIDEUR=path times another build;
# VALIDEUR_AVANT=path also times it against that previous one, in turn.
# Needs only the compiler and CMake.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
cd "$racine"
# A folder of its own: the developers' build/ keeps its tests.
cmake --preset outil -B build-banc -DVALIDEUR_BANC=ON >/dev/null
cmake --build build-banc -j2 --target valideur generer banc >/dev/null
valideur=${VALIDEUR:-$racine/build-banc/valideur}
# A missing or broken program would only give a table of meaningless times.
if ! "$valideur" -q exemples/test.txt exemples/attendu.resultat exemples/votre.resultat >/dev/null 2>&1; then
  echo "bench/lancer.sh : « $valideur » est introuvable, ou en échec sur exemples/ ; rien n'est mesuré." >&2
  exit 1
fi
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
if [ -n "${VALIDEUR_AVANT:-}" ] && ! "$VALIDEUR_AVANT" -q exemples/test.txt exemples/attendu.resultat exemples/votre.resultat >/dev/null 2>&1; then
  echo "bench/lancer.sh : « $VALIDEUR_AVANT » est introuvable, ou en échec sur exemples/ ; rien n'est mesuré." >&2
  exit 1
fi
build-banc/bench/generer "$dossier"
build-banc/bench/banc "$valideur" "$dossier"
