#!/usr/bin/env bash
# The shape of the product's sources: every #include "…" between them
# points down the floors, none forms a cycle, and no file grows past about
# 400 lines. Run with the top folder as argument.
set -u
racine=$1
cd "$racine" || exit 1

# Floor of a product file; files of one floor may include each other only
# within their folder. execution/ is one folder whose files stack up, each
# its own floor; a new file there must be given one.
etage() {
  case $1 in
    validation/validation.h | validation/validation.cpp) echo 3 ;;
    validation/moteur/*) echo 1 ;;
    validation/explication/*) echo 2 ;;
    validation/*) echo 0 ;;
    cli/*) echo 9 ;;
    execution/copie.* | execution/nombres.* | execution/filtre.* | execution/boites.* | execution/hierarchies.*) echo 10 ;;
    execution/limites.* | execution/restes.*) echo 11 ;;
    execution/arret.* | execution/verdict.* | execution/consommation.* | execution/places.* | execution/groupes.*) echo 12 ;;
    execution/moniteur.*) echo 13 ;;
    execution/bac_a_sable.*) echo 14 ;;
    execution/course.*) echo 15 ;;
    execution/remise.*) echo 16 ;;
    classe/sorties/*) echo 20 ;;
    classe/resultats/*) echo 21 ;;
    classe/decouverte/* | classe/vue/* | classe/formats/*) echo 22 ;;
    classe/notation/*) echo 23 ;;
    classe/plateforme/*) echo 24 ;;
    classe/options/*) echo 25 ;;
    classe/tables/*) echo 26 ;;
    classe/deroulement/*) echo 27 ;;
    classe/*/*) echo -1 ;;
    classe/*) echo 28 ;;
    *) echo -1 ;;
  esac
}

# A header and its .cpp are one unit: an include between two units, either
# way, is an arrow between them.
unite() {
  case $1 in
    *.h | *.cpp) echo "${1%.*}" ;;
    *) echo "$1" ;;
  esac
}

mapfile -t fichiers < <(find cli classe execution validation \( -name '*.h' -o -name '*.cpp' \
  -o -name '*.inc' \) -type f 2>/dev/null | sort)
echecs=0
: >"${TMPDIR:-/tmp}/aretes.$$"
trap 'rm -f "${TMPDIR:-/tmp}/aretes.$$"' EXIT
for fichier in "${fichiers[@]}"; do
  dossier=$(dirname "$fichier")
  if [ "$(etage "$fichier")" -lt 0 ]; then
    echo "$fichier : sans étage (à donner dans tests/etages.sh)"
    echecs=$((echecs + 1))
  fi
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
    de_unite=$(unite "$fichier")
    vers_unite=$(unite "$cible")
    [ "$de_unite" = "$vers_unite" ] || echo "$de_unite $vers_unite" >>"${TMPDIR:-/tmp}/aretes.$$"
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
[ $echecs -eq 0 ] && echo "ok : ${#fichiers[@]} fichiers, inclusions vers le bas, sans cycle entre unités"
exit $((echecs > 0))
