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
  [ $((i % 29)) = 3 ] && cp attendu.resultat "$d/votre.resultat.txt"
done

# The merge writes what one run writes, table, view, status and standard
# error (its warnings once each, in their order), whatever order the
# shares come in.
for format in "" --csv; do
  "$classe" $format --bom -o notes.tab --lignes notes.vue test.txt attendu.resultat remises 2>un.err
  attendu=$?
  mv notes.tab un.tab && mv notes.vue un.vue
  # Four shares, a process each, as parallel would send them to machines.
  parallel "$classe" $format --bom --part={}/4 -o part-{}.tab --lignes part-{}.vue \
    test.txt attendu.resultat remises ::: 4 2 3 1 2>/dev/null
  "$classe" $format --bom --fusionner -o notes.tab --lignes notes.vue part-3.tab part-1.vue part-4.tab \
    part-2.tab part-1.tab part-4.vue part-3.vue part-2.vue 2>erreurs
  statut=$?
  [ "$statut" = "$attendu" ] || echouer "statut de la fusion $statut, d'une course $attendu ($format)"
  cmp -s un.tab notes.tab || { echouer "tableau fusionné ($format)"; diff un.tab notes.tab | head; }
  cmp -s un.vue notes.vue || { echouer "vue fusionnée ($format)"; diff un.vue notes.vue | head; }
  cmp -s un.err erreurs || { echouer "sortie d'erreur de la fusion ($format)"; diff un.err erreurs; }
  [ "$(grep -c "ignoré\|fichiers de résultats" erreurs)" = 5 ] || echouer "avertissements : $(cat erreurs)"
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
"$classe" "${executer[@]}" -o un-exec.tab --lignes un-exec.vue test.txt attendu.resultat programmes/*/ 2>un.err
attendu=$?
parallel -q "$classe" "${executer[@]}" --part={}/4 -o exec-{}.tab --lignes exec-{}.vue \
  test.txt attendu.resultat programmes/*/ ::: 1 2 3 4 2>/dev/null
"$classe" --fusionner -o fusion-exec.tab --lignes fusion-exec.vue exec-*.tab exec-*.vue 2>erreurs
[ $? = "$attendu" ] || echouer "statut de la fusion des courses : $(cat erreurs)"
[ "$(sans_mesures un-exec.tab)" = "$(sans_mesures fusion-exec.tab)" ] \
  || { echouer "tableau des courses fusionné"; diff un-exec.tab fusion-exec.tab | head; }
cmp -s un-exec.vue fusion-exec.vue || { echouer "vue des courses fusionnée"; diff un-exec.vue fusion-exec.vue | head; }
[ "$(wc -l <un-exec.tab)" = 14 ] && [ -s un-exec.vue ] || echouer "courses : $(cat un-exec.tab)"
# What held the limits and how many ran again alone are each part's own,
# like its measures: the merge does not say them.
[ "$(sed 's/fusion-exec/un-exec/g' erreurs)" = "$(sed 's/ ; limites : .*//' un.err)" ] \
  || { echouer "courses : sortie d'erreur"; diff un.err erreurs; }
# A program changed once two shares had run: they are stale.
printf '#!/bin/sh\ncat sortie\n' >"programmes/élève 5/prog"
parallel -q "$classe" "${executer[@]}" --part={}/4 -o exec-{}.tab --lignes exec-{}.vue \
  test.txt attendu.resultat programmes/*/ ::: 1 4 2>/dev/null
"$classe" --fusionner -o fusion-exec.tab exec-*.tab 2>erreurs
[ $? = 2 ] && grep -Eq "exec-[23].tab : part [23]/4 : périmée, faite avant que « élève 5 » change.*, comme la part [23]$" erreurs \
  || echouer "courses périmées : $(cat erreurs)"
"$classe" "${executer[@]}" -o "programmes/élève 1/notes.tab" test.txt attendu.resultat programmes/*/ 2>erreurs
[ $? = 2 ] && grep -q "est dans une remise" erreurs || echouer "tableau dans une remise : $(cat erreurs)"

# A share reads every submission to take its fingerprint, as it finds
# them: never a pipe, never through a link. It writes into files only.
mkdir -p hostile/tube hostile/lien
mkfifo hostile/tube/votre.resultat && ln -s /etc/passwd hostile/lien/votre.resultat
cp -r "remises/alice 0" hostile/
timeout 20 "$classe" --part=1/2 -o hostile.tab test.txt attendu.resultat hostile 2>erreurs
[ $? = 0 ] && grep -q "1 notée" erreurs || echouer "remises hostiles : $(cat erreurs)"
"$classe" --part=1/2 test.txt attendu.resultat hostile >/dev/null 2>erreurs
[ $? = 2 ] && grep -q "part demande -o" erreurs || echouer "part sans -o : $(cat erreurs)"
"$classe" --part=1/2 -o /dev/null test.txt attendu.resultat hostile 2>erreurs
[ $? = 2 ] && grep -q "pas un fichier ordinaire" erreurs || echouer "part dans /dev/null : $(cat erreurs)"

# More shares than submissions: the empty ones say nothing is wrong.
mkdir -p petite/alice
cp attendu.resultat petite/alice/votre.resultat
"$classe" --part=2/3 -o vide.tab test.txt attendu.resultat petite 2>erreurs
[ $? = 0 ] && [ "$(wc -l <vide.tab)" = 2 ] && ! grep -q "aucune remise" erreurs \
  || echouer "part vide : $(cat erreurs)"

# A cluster's accidents, each made from good shares: the merge refuses
# them, status 2, naming the share at fault and what is wrong, and leaves
# the previous outputs as they were.
parts() { # N [options...]: the N shares of the class, made again here
  local n=$1; shift
  for p in $(seq 1 "$n"); do
    "$classe" "$@" --part="$p/$n" -o "part-$p.tab" --lignes "part-$p.vue" test.txt attendu.resultat remises 2>/dev/null
  done
}
refuse() { # ACCIDENT MOTIF FILES...: the merge of FILES is refused with MOTIF
  local accident=$1 motif=$2; shift 2
  printf 'ancien tableau\n' >notes.tab; printf 'ancienne vue\n' >notes.vue
  "$classe" --fusionner -o notes.tab --lignes notes.vue "$@" 2>erreurs
  local statut=$?
  [ "$statut" = 2 ] && grep -qF -- "$motif" erreurs && [ "$(cat notes.tab)" = "ancien tableau" ] \
    && [ "$(cat notes.vue)" = "ancienne vue" ] || echouer "$accident ($statut) : $(cat erreurs)"
}
mkdir bons && cd bons && ln -s ../remises ../test.txt ../attendu.resultat . && parts 4 && cd .. || exit 2
accident() { rm -rf cas && cp -a bons cas && cd cas || exit 2; }
tout=(part-1.tab part-2.tab part-3.tab part-4.tab part-1.vue part-2.vue part-3.vue part-4.vue)

# Given by a glob that takes the slips too, good shares merge.
"$classe" --fusionner -o notes.tab --lignes notes.vue bons/part-* 2>erreurs
[ $? = "$attendu" ] && [ "$(wc -l <notes.tab)" = 62 ] || echouer "fusion avec les bordereaux : $(cat erreurs)"

accident
refuse "part manquante" "--fusionner : part 3/4 manquante" part-[124].tab part-*.vue
refuse "vue manquante" "part-3.tab : part 3/4 : sa vue partielle manque" part-*.tab part-[124].vue
refuse "--lignes sans vue" "--lignes : aucune vue partielle" part-*.tab
refuse "part en double" "part-2.tab : part 2/4 donnée deux fois" "${tout[@]}" part-2.tab
refuse "course entière" "../un.tab : pas le tableau d'une part" "${tout[@]}" ../un.tab
cp part-2.tab copie.tab
refuse "copie sans bordereau" "copie.tab : pas le tableau d'une part" "${tout[@]}" copie.tab
cp part-2.tab.bordereau copie.tab.bordereau
refuse "copie d'une part" "copie.tab : part 2/4 donnée deux fois" "${tout[@]}" copie.tab
"$classe" --fusionner -o part-1.tab "${tout[@]}" 2>erreurs
[ $? = 2 ] && grep -q "part-1.tab : est une part à fusionner" erreurs || echouer "fusion sur une part : $(cat erreurs)"
sed -i 's/^version\t.*/version\t0.9/' part-4.tab.bordereau
refuse "autre version" "part-4.tab : part 4/4 : faite par la version 0.9" "${tout[@]}"
cd ..

# Stopped midway: the old table stays whole, but its slip says so.
accident
printf 'valideur-classe bordereau\t3/4\nversion\t0\nen cours\n' >part-3.tab.bordereau
refuse "part inachevée" "part-3.tab : part 3/4 inachevée" "${tout[@]}"
mkfifo tube
"$classe" --part=1/1 -o tuee.tab --lignes tuee.vue test.txt attendu.resultat tube 2>/dev/null &
tuee=$!
for _ in $(seq 100); do grep -qs "en cours" tuee.tab.bordereau && break; sleep 0.1; done
kill -9 "$tuee"; wait "$tuee" 2>/dev/null
refuse "part tuée" "tuee.tab : part 1/1 inachevée" tuee.tab tuee.vue
cd ..

# Another key, one option on one share, a view of another run.
accident
sed '5s/$/ autre/' attendu.resultat >../autre.resultat
"$classe" --part=3/4 -o part-3.tab --lignes autre.vue test.txt ../autre.resultat remises 2>/dev/null
refuse "autre attendu" "part-3.tab : part 3/4 : faite avec un autre fichier attendu" part-*.tab
refuse "vue d'une autre course" "autre.vue : vue partielle de la part 3/4 : pas celle" \
  ../bons/part-3.tab part-[124].tab autre.vue part-[124].vue
"$classe" --lignes-toutes --part=2/4 -o part-2.tab --lignes part-2.vue test.txt attendu.resultat remises 2>/dev/null
refuse "--lignes-toutes sur une part" "part-2.tab : part 2/4 : faite avec une autre option --lignes-toutes" \
  part-[124].tab ../bons/part-3.tab
cd ..

# The class changed between shares (the class itself, through the link,
# put back after): a resubmission while one share was left from before, a
# late student, a 4-share run over an 8-share one.
accident
parts 8 && parts 4
refuse "4 parts sur 8" "part-5.tab : part 5/8 : d'une autre répartition" part-*.tab part-*.vue
rm part-[5-8].*
cp "remises/alice 0/votre.resultat" ../copie && cp attendu.resultat "remises/alice 0/votre.resultat"
for p in 1 2 4; do
  "$classe" --part=$p/4 -o part-$p.tab --lignes part-$p.vue test.txt attendu.resultat remises 2>/dev/null
done
refuse "part périmée" "part-3.tab : part 3/4 : périmée, faite avant que « alice 0/votre.resultat » change" \
  "${tout[@]}"
tard=$'zz \e[2Jtard'
mkdir "remises/$tard" && cp attendu.resultat "remises/$tard/votre.resultat"
"$classe" --part=2/4 -o part-2.tab --lignes part-2.vue test.txt attendu.resultat remises 2>/dev/null
refuse "élève en retard" "part-2.tab : part 2/4 : d'une autre classe, avec « zz ?[2Jtard/votre.resultat » en plus" \
  "${tout[@]}"
rm -r "remises/$tard" && cp ../copie "remises/alice 0/votre.resultat"
cd ..

# The merge says the warnings that need the whole class: most graded
# submissions stop after the same line, two a share.
mkdir -p courte && for e in a b c d e f; do
  mkdir "courte/$e" && head -n 3 attendu.resultat >"courte/$e/votre.resultat"
done
"$classe" -o courte.tab test.txt attendu.resultat courte 2>un.err
for p in 1 2 3; do "$classe" --part=$p/3 -o courte-$p.tab test.txt attendu.resultat courte 2>/dev/null; done
"$classe" --fusionner -o courte.tab courte-*.tab 2>erreurs
cmp -s un.err erreurs && grep -q "s'arrêtent après la ligne 3" erreurs || { echouer "arrêt commun"; diff un.err erreurs; }

[ $echecs -eq 0 ] && echo "classe-parts: ok"
exit $((echecs > 0))
