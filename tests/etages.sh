#!/usr/bin/env bash
# The shape of the product's sources: every #include "…" between them
# points down the floors, none forms a cycle, and no file grows past about
# 400 lines. Run with the top folder as argument.
set -u
racine=$1
cd "$racine" || exit 1

# Floor of a product file; files of one floor may include each other only
# within their folder.
etage() {
  case $1 in
    validation/validation.h | validation/validation.cpp) echo 3 ;;
    validation/moteur/*) echo 1 ;;
    validation/explication/*) echo 2 ;;
    validation/*) echo 0 ;;
    execution/*) echo 4 ;;
    classe/* | cli/*) echo 5 ;;
    *) echo -1 ;;
  esac
}

mapfile -t fichiers < <(find cli classe execution validation \( -name '*.h' -o -name '*.cpp' \
  -o -name '*.inc' \) -type f 2>/dev/null | sort)
echecs=0
: >"${TMPDIR:-/tmp}/aretes.$$"
trap 'rm -f "${TMPDIR:-/tmp}/aretes.$$"' EXIT
for fichier in "${fichiers[@]}"; do
  dossier=$(dirname "$fichier")
  lignes=$(wc -l <"$fichier")
  if [ "$lignes" -gt 420 ]; then
    echo "$fichier : $lignes lignes, plus que les 400 environ permises"
    echecs=$((echecs + 1))
  fi
  while IFS= read -r inclus; do
    if [ -f "$dossier/$inclus" ]; then
      cible=$(realpath --relative-to=. "$dossier/$inclus")
    elif [ -f "$inclus" ]; then
      cible=$inclus
    else
      echo "$fichier : inclut \"$inclus\", introuvable"
      echecs=$((echecs + 1))
      continue
    fi
    echo "$fichier $cible" >>"${TMPDIR:-/tmp}/aretes.$$"
    de=$(etage "$fichier")
    vers=$(etage "$cible")
    if [ "$vers" -gt "$de" ] || { [ "$vers" -eq "$de" ] && [ "$(dirname "$cible")" != "$dossier" ]; }; then
      echo "$fichier (étage $de) inclut $cible (étage $vers) : l'inclusion ne descend pas"
      echecs=$((echecs + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$fichier")
done
# tsort names every cycle it breaks.
if ! tsort "${TMPDIR:-/tmp}/aretes.$$" >/dev/null 2>"${TMPDIR:-/tmp}/aretes.$$.cycle"; then
  echo "inclusions en cycle :"
  cat "${TMPDIR:-/tmp}/aretes.$$.cycle"
  echecs=$((echecs + 1))
fi
rm -f "${TMPDIR:-/tmp}/aretes.$$.cycle"
[ ${#fichiers[@]} -gt 30 ] || { echo "trop peu de fichiers trouvés : ${#fichiers[@]}"; exit 1; }
[ $echecs -eq 0 ] && echo "ok : ${#fichiers[@]} fichiers, inclusions vers le bas, sans cycle"
exit $((echecs > 0))
