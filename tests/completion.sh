#!/usr/bin/env bash
# Calls the completion function as bash does, with the words typed so far,
# in a folder of known files.
set -u
source "$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 2
mkdir dossier
touch test.txt attendu.resultat 'votre copie.resultat'
export LC_ALL=C
echecs=0

[ "$(complete -p valideur)" = "complete -F _valideur valideur" ] \
  || { echo "ÉCHEC: $(complete -p valideur 2>&1)"; echecs=$((echecs + 1)); }

# word being completed (after "valideur test.txt") | expected, sorted, comma-separated
while IFS='|' read -r mot attendu; do
  COMP_WORDS=(valideur test.txt "$mot")
  COMP_CWORD=2
  _valideur
  obtenu=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd, -)
  if [ "$obtenu" != "$attendu" ]; then
    echo "ÉCHEC «$mot» : «$obtenu», attendu «$attendu»"
    echecs=$((echecs + 1))
  fi
done <<'CAS'
-|-c,-corrige,-q,-quiet,-silence
-q|-q,-quiet
-si|-silence
-c|-c,-corrige
-x|
|attendu.resultat,dossier,test.txt,votre copie.resultat
vo|votre copie.resultat
dos|dossier
CAS

[ $echecs -eq 0 ] && echo "completion: ok"
exit $((echecs > 0))
