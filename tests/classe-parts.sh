#!/usr/bin/env bash
# A class graded in four shares through GNU parallel, as on four machines,
# then merged: the table and the class view must be, byte for byte, what
# one run writes, in TSV and in CSV, whatever order the shares come in.
set -u
export LC_ALL=C.UTF-8
classe=$1
source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echecs=0
echouer() { echo "ÉCHEC $*"; echecs=$((echecs + 1)); }
cp "$source/tests/classe/test.txt" "$source/tests/classe/attendu.resultat" "$tmp"
cd "$tmp" || exit 2

# Students as a course has them: right, wrong in a few shared ways, CRLF,
# cut short, absent, two results files, names a spreadsheet or a TSV
# reader would take for something else.
lignes=$(wc -l <attendu.resultat)
noms=(alice bob "dupont marie" élodie "=cmd" '"guillemet' "+33 6" "-moins" zoé "Jean Dupont_123456_assignsubmission_file_")
for i in $(seq 0 59); do
  d="remises/${noms[$((i % 10))]} $i"
  mkdir -p "$d"
  case $((i % 9)) in
    7) continue ;;
    8) sed 's/$/\r/' attendu.resultat >"$d/votre.resultat" ;;
    6) head -n $((i % 5 + 2)) attendu.resultat >"$d/votre.resultat" ;;
    *) awk -v i="$i" -v n="$lignes" 'NR == i % n + 1 { print "faux " (i % 4); next }
         NR == (i * 7) % n + 1 { print $0 " " i % 3; next } { print }' attendu.resultat >"$d/votre.resultat" ;;
  esac
  [ $((i % 23)) = 5 ] && cp attendu.resultat "$d/ancien.resultat"
done

for format in "" --csv; do
  "$classe" $format --bom -o un.tab --lignes un.vue test.txt attendu.resultat remises 2>/dev/null
  attendu=$?
  # Four shares, a process each, as parallel would send them to machines.
  parallel "$classe" $format --bom --part={}/4 -o part-{}.tab --lignes part-{}.vue \
    test.txt attendu.resultat remises ::: 4 2 3 1 2>/dev/null
  "$classe" $format --bom --fusionner -o fusion.tab --lignes fusion.vue part-3.tab part-1.vue part-4.tab \
    part-2.tab part-1.tab part-4.vue part-3.vue part-2.vue 2>erreurs
  statut=$?
  [ "$statut" = "$attendu" ] || echouer "statut de la fusion $statut, d'une course $attendu ($format)"
  cmp -s un.tab fusion.tab || { echouer "tableau fusionné ($format)"; diff un.tab fusion.tab | head; }
  cmp -s un.vue fusion.vue || { echouer "vue fusionnée ($format)"; diff un.vue fusion.vue | head; }
  [ "$(($(wc -l <un.tab) - 2))" = 60 ] || echouer "60 élèves, $(($(wc -l <un.tab) - 2)) rangées ($format)"
done

# Shares run the programs too: each share runs its slice of the folders.
# Times and memory are measured anew by each run: they are left out of
# the comparison.
for i in $(seq 0 11); do
  d="programmes/élève $i"
  mkdir -p "$d"
  cp attendu.resultat "$d/sortie"
  case $((i % 4)) in
    0) printf '#!/bin/sh\ncat sortie\n' ;;
    1) printf '#!/bin/sh\nsed "%ss/.*/faux/" sortie\n' $((i % 5 + 1)) ;;
    2) printf '#!/bin/sh\nhead -n 3 sortie\n' ;;
    3) printf '#!/bin/sh\nsed "2s/$/ %s/" sortie\n' $((i % 3)) ;;
  esac >"$d/prog"
  chmod 755 "$d/prog"
done
executer=(--executer=./prog --sans-bac-a-sable)
sans_mesures() { cut -f 1-9,12- "$1"; }
"$classe" "${executer[@]}" -o un-exec.tab --lignes un-exec.vue test.txt attendu.resultat programmes/*/ 2>/dev/null
attendu=$?
parallel -q "$classe" "${executer[@]}" --part={}/4 -o exec-{}.tab --lignes exec-{}.vue \
  test.txt attendu.resultat programmes/*/ ::: 1 2 3 4 2>/dev/null
"$classe" --fusionner -o fusion-exec.tab --lignes fusion-exec.vue exec-*.tab exec-*.vue 2>erreurs
[ $? = "$attendu" ] || echouer "statut de la fusion des courses : $(cat erreurs)"
[ "$(sans_mesures un-exec.tab)" = "$(sans_mesures fusion-exec.tab)" ] \
  || { echouer "tableau des courses fusionné"; diff un-exec.tab fusion-exec.tab | head; }
cmp -s un-exec.vue fusion-exec.vue || { echouer "vue des courses fusionnée"; diff un-exec.vue fusion-exec.vue | head; }
[ "$(wc -l <un-exec.tab)" = 14 ] && [ -s un-exec.vue ] || echouer "courses : $(cat un-exec.tab)"
"$classe" "${executer[@]}" -o "programmes/élève 1/notes.tab" test.txt attendu.resultat programmes/*/ 2>erreurs
[ $? = 2 ] && grep -q "est dans une remise" erreurs || echouer "tableau dans une remise : $(cat erreurs)"

# More shares than submissions: the empty ones say nothing is wrong.
mkdir -p petite/alice
cp attendu.resultat petite/alice/votre.resultat
"$classe" --part=2/3 -o vide.tab test.txt attendu.resultat petite 2>erreurs
[ $? = 0 ] && [ "$(wc -l <vide.tab)" = 2 ] && ! grep -q "aucune remise" erreurs \
  || echouer "part vide : $(cat erreurs)"

# Shares that do not fit: one missing, one twice, a table of another class.
"$classe" --csv --fusionner -o f.tab --lignes f.vue part-1.tab part-2.tab part-1.vue part-2.vue 2>erreurs
[ $? = 2 ] && grep -q "il manque la vue partielle d'une part" erreurs || echouer "part manquante : $(cat erreurs)"
"$classe" --csv --fusionner -o f.tab --lignes f.vue part-1.vue part-1.vue part-1.tab 2>erreurs
[ $? = 2 ] && grep -q "part en double" erreurs || echouer "part en double : $(cat erreurs)"
"$classe" --csv --fusionner -o part-1.tab part-1.tab part-2.tab 2>erreurs
[ $? = 2 ] && grep -q "part-1.tab : est une part à fusionner" erreurs || echouer "fusion sur une part : $(cat erreurs)"

[ $echecs -eq 0 ] && echo "classe-parts: ok"
exit $((echecs > 0))
