#!/usr/bin/env bash
# Benchmark: builds, writes the inputs into a temporary folder, and prints the
# table of valideur beside wc -l and diff -w. VALIDEUR=path times another build.
set -euo pipefail
racine=$(cd "$(dirname "$0")/.." && pwd)
cd "$racine"
cmake --preset release >/dev/null
cmake --build --preset release --target valideur generer banc >/dev/null
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
build/bench/generer "$dossier"
build/bench/banc "${VALIDEUR:-$racine/build/valideur}" "$dossier"
