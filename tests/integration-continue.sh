#!/usr/bin/env bash
# Runs the CI lines of doc/correcteur.md (the two sh blocks of its
# "Intégration continue" section) as written, with the built programs first in PATH, and with and
# without errexit as CI shells differ: they must fail on any disagreeing
# line, one of another command word included, and on a test file cut by a
# blank line, and pass on correct results.
set -u
export LC_ALL=C.UTF-8
valideur=$1
classe=$2
source=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echecs=0
blocs=$(awk '/^## Intégration continue/ { section = 1; next }
             section && /^## / { exit }
             section && /^```sh$/ { bloc = 1; n++; next }
             bloc && /^```$/ { bloc = 0; next }
             bloc { print > (dossier "/bloc" n ".sh") }' dossier="$tmp" "$source/doc/correcteur.md"; ls "$tmp")
if [ "$blocs" != "$(printf 'bloc1.sh\nbloc2.sh')" ]; then
  echo "ÉCHEC: la section de doc/correcteur.md n'a pas ses deux blocs : «$blocs»"
  exit 1
fi
grep -q '^statut=0; valideur test.txt' "$tmp/bloc1.sh" && grep -q '^statut=0; valideur-classe ' "$tmp/bloc2.sh" \
  || { echo "ÉCHEC: blocs inattendus"; cat "$tmp"/bloc*.sh; exit 1; }
export PATH="$(dirname "$valideur"):$(dirname "$classe"):$PATH"

# case | expected: 0 passes, 1 fails | how votre.resultat is made from attendu.resultat
while IFS='|' read -r cas attendu preparation; do
  for bloc in bloc1 bloc2; do
    for options in -e +e; do
      rm -rf "$tmp/job" && mkdir "$tmp/job"
      cp "$source/exemples/test.txt" "$source/exemples/attendu.resultat" "$tmp/job"
      ( cd "$tmp/job" && eval "$preparation" )
      ( cd "$tmp/job" && bash "$options" "$tmp/$bloc.sh" ) >"$tmp/sortie" 2>&1
      statut=$?
      if [ $((statut != 0)) != "$attendu" ]; then
        echo "ÉCHEC $bloc ($options), $cas : statut $statut"
        head -c 2000 "$tmp/sortie"
        echecs=$((echecs + 1))
      fi
    done
  done
done <<'CAS'
juste|0|cp attendu.resultat votre.resultat
ligne fausse|1|sed '2s/$/!/' attendu.resultat >votre.resultat
autre mot de commande faux|1|awk 'NR == 6 { $0 = $0 "!" } { print }' attendu.resultat >votre.resultat
résultats courts|1|head -n 3 attendu.resultat >votre.resultat
absent|1|:
ligne vide dans le test|1|awk 'NR == 3 { print "" } { print }' test.txt >t && mv t test.txt && cp attendu.resultat votre.resultat
ligne blanche CRLF dans le test|1|awk 'NR == 3 { print " \r" } { print }' test.txt >t && mv t test.txt && cp attendu.resultat votre.resultat
ligne vide en fin de test|0|echo >>test.txt && cp attendu.resultat votre.resultat
CAS
# The GitLab job of a student's repository: its valideur-classe line, as
# written, gives JUnit XML that GitLab can read, a failure per word missed.
ligne=$(awk '/^```yaml$/ { bloc = 1; next } bloc && /^```$/ { exit }
             bloc && /^ *- valideur-classe / { sub(/^ *- /, ""); print }' "$source/doc/correcteur.md")
[ -n "$ligne" ] || { echo "ÉCHEC: pas de ligne valideur-classe dans le bloc yaml de doc/correcteur.md"; echecs=$((echecs + 1)); }
for cas in "juste|0|cp attendu.resultat votre.resultat" "ligne fausse|1|sed '2s/$/!/' attendu.resultat >votre.resultat"; do
  IFS='|' read -r nom attendu preparation <<<"$cas"
  rm -rf "$tmp/job" && mkdir "$tmp/job"
  cp "$source/exemples/test.txt" "$source/exemples/attendu.resultat" "$tmp/job"
  ( cd "$tmp/job" && eval "$preparation" && eval "$ligne" ) >/dev/null 2>&1
  python3 - "$tmp/job/junit.xml" "$attendu" <<'PY' || { echo "ÉCHEC junit, $nom"; echecs=$((echecs + 1)); }
import sys, xml.etree.ElementTree as ET
racine = ET.parse(sys.argv[1]).getroot()
echecs = sum(1 for _ in racine.iter("failure"))
assert len(racine.findall("testsuite")) == 1 and (echecs > 0) == (sys.argv[2] == "1"), echecs
PY
done

# The line of another command word must be one the summary does not count.
[ "$(sed -n 6p "$source/exemples/test.txt" | cut -d ' ' -f 1)" = inconnue ] \
  || { echo "ÉCHEC: la ligne 6 des exemples n'est plus d'un autre mot"; echecs=$((echecs + 1)); }

[ $echecs -eq 0 ] && echo "integration-continue: ok"
exit $((echecs > 0))
