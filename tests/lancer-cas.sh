#!/usr/bin/env bash
# Runs valideur in a case folder and compares what it did with what is
# expected there, byte for byte.
#   arguments     one argument per line (an empty line is an empty argument)
#   sortie        expected standard output
#   erreurs       expected standard error
#   statut        expected exit status
set -u
valideur=$1
dossier=$2
cd "$dossier" || exit 2

mapfile -t arguments < arguments
obtenu=$(mktemp -d)
trap 'rm -rf "$obtenu"' EXIT

"$valideur" "${arguments[@]}" >"$obtenu/sortie" 2>"$obtenu/erreurs" </dev/null
echo $? >"$obtenu/statut"

echec=0
for fichier in sortie erreurs statut; do
  if ! cmp -s "$fichier" "$obtenu/$fichier"; then
    echo "--- $fichier attendu / obtenu ($dossier)"
    diff -a "$fichier" "$obtenu/$fichier" | head -n 40
    echec=1
  fi
done
exit $echec
