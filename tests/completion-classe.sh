#!/usr/bin/env bash
# Calls valideur-classe's completion function as bash does, with the words
# typed so far, in a folder of known files.
set -u
source "$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 2
mkdir remises
touch test.txt attendu.resultat
export LC_ALL=C
echecs=0

[ "$(complete -p valideur-classe)" = "complete -F _valideur_classe valideur-classe" ] \
  || { echo "ÉCHEC: $(complete -p valideur-classe 2>&1)"; echecs=$((echecs + 1)); }

# previous word | word being completed | expected, sorted, comma-separated
while IFS='|' read -r precedent mot attendu; do
  COMP_WORDS=(valideur-classe "$precedent" "$mot")
  COMP_CWORD=2
  _valideur_classe
  obtenu=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd, -)
  if [ "$obtenu" != "$attendu" ]; then
    echo "ÉCHEC «$precedent $mot» : «$obtenu», attendu «$attendu»"
    echecs=$((echecs + 1))
  fi
done <<'CAS'
test.txt|--|--bareme=,--bom,--construire=,--csv,--espace=,--executer=,--fichier-max=,--fusionner,--gradescope-metadonnees=,--gradescope-visibilite=,--gradescope=,--help,--html=,--jeux=,--jobs=,--junit=,--lignes-max=,--lignes-toutes,--lignes=,--memoire=,--moodle-feuille=,--moodle-langue=,--moodle=,--motif=,--part=,--processus=,--retours=,--sans-bac-a-sable,--sans-cgroups,--sortie-max=,--sortie=,--suivre-liens,--temps-reel=,--temps=,--version
test.txt|-|--bareme=,--bom,--construire=,--csv,--espace=,--executer=,--fichier-max=,--fusionner,--gradescope-metadonnees=,--gradescope-visibilite=,--gradescope=,--help,--html=,--jeux=,--jobs=,--junit=,--lignes-max=,--lignes-toutes,--lignes=,--memoire=,--moodle-feuille=,--moodle-langue=,--moodle=,--motif=,--part=,--processus=,--retours=,--sans-bac-a-sable,--sans-cgroups,--sortie-max=,--sortie=,--suivre-liens,--temps-reel=,--temps=,--version,-V,-h,-j,-o
test.txt|--mo|--moodle-feuille=,--moodle-langue=,--moodle=,--motif=
--moodle-langue||en,fr
--moodle-langue|e|en
--gradescope-visibilite|after_d|after_due_date
test.txt|--c|--construire=,--csv
test.txt|-x|
test.txt||attendu.resultat,remises,test.txt
-o|no|
-o|te|test.txt
--motif||
-j||
test.txt|re|remises
CAS

[ $echecs -eq 0 ] && echo "completion-classe: ok"
exit $((echecs > 0))
