#!/usr/bin/env bash
# valideur-classe on a class in the course-platform layout (tests/classe/:
# one folder per student, each with votre.resultat), completed here with what
# git cannot hold: links, names with tabs and newlines, an unreadable file.
# Compares tables, standard error and statuses byte for byte.
set -u
export LC_ALL=C.UTF-8
classe=$1
source=$2
tmp=$(mktemp -d)
[ -n "${GARDER-}" ] && echo "$tmp" >&2 || trap 'chmod -R u+rwx "$tmp"; rm -rf "$tmp"' EXIT
echecs=0
# Failures go to the original standard output, whatever a caller redirected.
exec 3>&1
echouer() { echo "ÉCHEC $*" >&3; echecs=$((echecs + 1)); }
comparer() { # name, expected file, obtained file
  cmp -s "$2" "$3" || { echouer "$1"; diff -a "$2" "$3" | head -n 30; }
}
lancer() { # expected status, arguments...: runs in $tmp, stderr into $tmp/erreurs
  local attendu=$1
  shift
  ( cd "$tmp" && "$classe" "$@" 2>erreurs </dev/null ); local statut=$?
  [ "$statut" = "$attendu" ] || echouer "statut $statut (attendu $attendu) : $*"
}
cp -r "$source/tests/classe/." "$tmp"
r=$tmp/remises
mkdir "$r/lea" "$r/$(printf 'nina\tx')" "$r/$(printf 'oscar\nz')" "$r/pierre" "$r/quentin"
ln -s absent "$r/lea/votre.resultat"
cp "$r/bob/votre.resultat" "$r/$(printf 'nina\tx')/votre.resultat"
cp "$r/dupont marie/votre.resultat" "$r/$(printf 'oscar\nz')/votre.resultat"
ln -s ../../attendu.resultat "$r/pierre/votre.resultat"
ln "$tmp/test.txt" "$r/quentin/votre.resultat"

# The whole class: every case of the table, and the ignored misnamed files.
# The diagnoses come from the analysis that the terminal report uses: CRLF
# ends (gaelle), a missing line (farid), results that stop early (élodie),
# an empty file (hugo).
lancer 1 -o notes.tsv test.txt attendu.resultat remises
comparer "tableau TSV" "$tmp/notes-attendues.tsv" "$tmp/notes.tsv"
comparer "sortie d'erreur" "$tmp/erreurs-attendues" "$tmp/erreurs"
lancer 1 -j 1 test.txt attendu.resultat remises >"$tmp/stdout"
comparer "sortie standard, -j 1" "$tmp/notes.tsv" "$tmp/stdout"

# CSV: quotes around a field with ';' or '"' (a name, a diagnosis), doubled
# quotes, CRLF ends.
mkdir -p "$tmp/csv/alice" "$tmp/csv/$(printf 'dupont; "marie"\t')" "$tmp/csv/bob" "$tmp/csv/farid"
cp "$r/alice/votre.resultat" "$tmp/csv/alice/"
cp "$r/farid/votre.resultat" "$tmp/csv/farid/"
cp "$r/bob/votre.resultat" "$tmp/csv/bob/"
cp "$r/dupont marie/votre.resultat" "$tmp/csv/$(printf 'dupont; "marie"\t')/"
lancer 0 --csv -o notes.csv test.txt attendu.resultat csv
comparer "tableau CSV" "$tmp/notes-attendues.csv" "$tmp/notes.csv"
lancer 0 --csv --bom -o notes-bom.csv test.txt attendu.resultat csv
{ printf '\357\273\277'; cat "$tmp/notes-attendues.csv"; } >"$tmp/notes-bom-attendues.csv"
comparer "tableau CSV, --bom" "$tmp/notes-bom-attendues.csv" "$tmp/notes-bom.csv"

# The class view of a small class whose most failed line is known: line 3,
# failed by four of five submissions, three times the same way (blanks aside).
mkdir -p "$tmp/petite"
for n in 1 2 3 4 5; do mkdir "$tmp/petite/e$n"; done
cp "$tmp/attendu.resultat" "$tmp/petite/e1/votre.resultat"
sed '3s/.*/3 : Alice/' "$tmp/attendu.resultat" >"$tmp/petite/e2/votre.resultat"
sed -e '3s/.*/3 : Alice/' -e '8s/.*/Bob : salle-D/' "$tmp/attendu.resultat" >"$tmp/petite/e3/votre.resultat"
sed -e '3s/.*/3:Alice /' -e '9s/.*/5 : "Bo;b"/' "$tmp/attendu.resultat" >"$tmp/petite/e4/votre.resultat"
sed '3s/.*/=3 : Bob/' "$tmp/attendu.resultat" >"$tmp/petite/e5/votre.resultat"
lancer 0 -o /dev/null --lignes lignes.tsv test.txt attendu.resultat petite
comparer "vue de la classe TSV" "$tmp/lignes-attendues.tsv" "$tmp/lignes.tsv"
lancer 0 -o /dev/null --csv --lignes lignes.csv test.txt attendu.resultat petite
comparer "vue de la classe CSV" "$tmp/lignes-attendues.csv" "$tmp/lignes.csv"

# The same row for a submission graded alone or among 200, whatever -j.
mkdir -p "$tmp/grande"
i=0
for f in "$r"/*/votre.resultat "$r/lucie/sous dossier/votre.resultat"; do
  [ -f "$f" ] && [ ! -L "$f" ] && [ "$(stat -c %h "$f")" = 1 ] || continue
  modeles+=("$f")
done
while [ $i -lt 200 ]; do
  mkdir "$tmp/grande/e$i"
  cp "${modeles[$((i % ${#modeles[@]}))]}" "$tmp/grande/e$i/votre.resultat"
  i=$((i + 1))
done
for n in 0 1 2 3 4 5 6 7; do
  lancer 0 test.txt attendu.resultat "grande/e$n/votre.resultat" >"$tmp/seule"
  seule=$(tail -n 1 "$tmp/seule" | cut -f 2-)
  lancer 0 test.txt attendu.resultat "grande/e$n" >"$tmp/seule"
  [ "$(tail -n 1 "$tmp/seule")" = "e$n/votre.resultat	$seule" ] || echouer "e$n seule, par son dossier"
  for j in 1 2; do
    lancer 0 -j $j --lignes "lignes-$j.tsv" test.txt attendu.resultat grande >"$tmp/toutes-$j"
    parmi=$(awk -F '\t' -v nom="e$n/votre.resultat" '$1 == nom' "$tmp/toutes-$j" | cut -f 2-)
    [ "$seule" = "$parmi" ] || echouer "e$n seule «$seule», parmi 200 avec -j $j «$parmi»"
  done
done
comparer "200 remises, -j 1 et -j 2" "$tmp/toutes-1" "$tmp/toutes-2"
comparer "vue de 200 remises, -j 1 et -j 2" "$tmp/lignes-1.tsv" "$tmp/lignes-2.tsv"
for n in 1 2 3 4 5; do
  lancer 0 -j 4 -o /dev/null --lignes "lignes-4.tsv" test.txt attendu.resultat grande
  comparer "vue de 200 remises, -j 4, essai $n" "$tmp/lignes-1.tsv" "$tmp/lignes-4.tsv"
done

# Submissions whose results have an error of form (CRLF, shifted, empty,
# cut short) are left out of the view, and counted; --lignes-toutes keeps
# them; --lignes-max caps the rows.
lancer 1 -o /dev/null --lignes forme.tsv test.txt attendu.resultat remises
tail -n 1 "$tmp/erreurs" | grep -qF "vue de la classe : forme.tsv (4 remises écartées pour une erreur de forme, --lignes-toutes)" \
  || echouer "remises écartées : $(tail -n 1 "$tmp/erreurs")"
lancer 1 -o /dev/null --lignes-toutes --lignes-max=2 --lignes forme.tsv test.txt attendu.resultat remises
[ "$(wc -l <"$tmp/forme.tsv")" = 3 ] && [ "$(sed -n 2p "$tmp/forme.tsv" | cut -f 3,4)" = "6	60.0" ] \
  || echouer "--lignes-toutes --lignes-max=2 : $(cat "$tmp/forme.tsv")"
tail -n 1 "$tmp/erreurs" | grep -qF "vue de la classe : forme.tsv (2 lignes sur " || echouer "--lignes-max : $(tail -n 1 "$tmp/erreurs")"

# An unreadable file, which root reads all the same.
if [ "$(id -u)" = 0 ]; then
  echo "fichier illisible : cas sauté, root lit un fichier en mode 000"
else
  mkdir "$tmp/illisible"
  cp "$tmp/attendu.resultat" "$tmp/illisible/marc.resultat"
  chmod 000 "$tmp/illisible/marc.resultat"
  lancer 1 test.txt attendu.resultat illisible >"$tmp/stdout"
  [ "$(tail -n 1 "$tmp/stdout")" = "illisible/marc.resultat								permission refusée		" ] \
    || echouer "fichier illisible : $(tail -n 1 "$tmp/stdout")"
fi

# Errors of the command line and of the reference files: status 2, no table.
printf '%s\n' "valideur-classe : il faut un fichier de test, un fichier attendu et au moins une remise" \
  "Essayez « valideur-classe --help » pour plus d'informations." >"$tmp/usage"
while IFS='|' read -r premiere arguments; do
  read -ra liste <<<"$arguments"
  lancer 2 "${liste[@]}" >"$tmp/stdout"
  [ ! -s "$tmp/stdout" ] || echouer "sortie standard non vide : $arguments"
  [ "$(head -n 1 "$tmp/erreurs")" = "$premiere" ] || echouer "«$arguments» : $(head -n 1 "$tmp/erreurs")"
  [ "$(sed -n 2p "$tmp/erreurs")" = "$(sed -n 2p "$tmp/usage")" ] || echouer "«$arguments» : pas d'indice vers --help"
done <<'USAGE'
valideur-classe : il faut un fichier de test, un fichier attendu et au moins une remise|
valideur-classe : il faut un fichier de test, un fichier attendu et au moins une remise|test.txt attendu.resultat
valideur-classe : option inconnue : « -x »|-x test.txt attendu.resultat remises
valideur-classe : option inconnue : « --inconnue »|--inconnue test.txt attendu.resultat remises
valideur-classe : l'option « -o » demande une valeur|test.txt attendu.resultat remises -o
valideur-classe : l'option « --motif » demande une valeur|test.txt attendu.resultat remises --motif
valideur-classe : nombre de tâches invalide : « 0 » (de 1 à 1024)|-j 0 test.txt attendu.resultat remises
valideur-classe : nombre de tâches invalide : « 2x » (de 1 à 1024)|--jobs=2x test.txt attendu.resultat remises
USAGE
cp "$tmp/attendu.resultat" "$tmp/attendu-avant"
while IFS='|' read -r message arguments; do
  read -ra liste <<<"$arguments"
  lancer 2 "${liste[@]}" >"$tmp/stdout"
  [ "$(cat "$tmp/erreurs")" = "$message" ] && [ ! -s "$tmp/stdout" ] \
    || echouer "«$arguments» : $(cat "$tmp/erreurs")"
done <<'ERREURS'
valideur-classe : remises : répertoire|remises attendu.resultat remises
valideur-classe : absent.txt : absent|test.txt absent.txt remises
valideur-classe : attendu.resultat : est le fichier de test ou le fichier attendu|-o attendu.resultat test.txt attendu.resultat remises
valideur-classe : test.txt : est le fichier de test ou le fichier attendu|--lignes test.txt test.txt attendu.resultat remises
valideur-classe : ./n.tsv : est aussi le tableau des notes|-o n.tsv --lignes ./n.tsv test.txt attendu.resultat remises
ERREURS
comparer "fichier attendu intact" "$tmp/attendu-avant" "$tmp/attendu.resultat"
lancer 0 --help >"$tmp/stdout"
head -n 1 "$tmp/stdout" | grep -q '^Utilisation : valideur-classe ' || echouer "--help"
lancer 0 -V >"$tmp/stdout"
grep -qx 'valideur-classe [0-9.]*' "$tmp/stdout" || echouer "--version : $(cat "$tmp/stdout")"

# Status 0 only when every submission found was graded; none found is 1.
mkdir "$tmp/vide"
lancer 1 test.txt attendu.resultat vide >/dev/null
[ "$(head -n 1 "$tmp/erreurs")" = "valideur-classe : aucune remise trouvée" ] || echouer "aucune remise : $(cat "$tmp/erreurs")"
lancer 1 test.txt attendu.resultat remises/alice remises/absente >"$tmp/stdout"
[ "$(grep '^remises/absente' "$tmp/stdout")" = "remises/absente								absent			" ] || echouer "remise absente : $(tail -n 1 "$tmp/stdout")"
# A test file cut by a blank line: the warning names the line and what is
# never read.
printf 'trace 1\n \r\ntrace 3\ntrace 4\n' >"$tmp/coupe.txt"
lancer 0 coupe.txt attendu.resultat remises/alice >/dev/null
grep -qx "valideur-classe : attention : coupe.txt : la ligne 2 est vide, la validation s'y arrête : 2 lignes qui la suivent ne sont jamais lues" \
  "$tmp/erreurs" || echouer "ligne vide : $(cat "$tmp/erreurs")"
lancer 0 --motif '*.RESULTAT' test.txt attendu.resultat remises/ines >"$tmp/stdout"
[ "$(tail -n 1 "$tmp/stdout" | cut -f 1,9)" = "ines/votre.RESULTAT	ok" ] || echouer "--motif : $(cat "$tmp/stdout")"

# On a terminal, a progress line erased before the final line.
( cd "$tmp" && SHELL="$BASH" script -qec "stty -onlcr; exec $(printf '%q ' "$classe" -o notes-terminal.tsv test.txt attendu.resultat remises)" /dev/null \
    </dev/null >"$tmp/ecran" 2>&1 )
grep -aq $'\r\e\[K[0-9]*/16 remises, [0-9]*,[0-9] s' "$tmp/ecran" || echouer "pas de ligne de progression : $(cat -v "$tmp/ecran")"
derniere=$(tail -n 1 "$tmp/ecran")
[ "${derniere##*$'\r\e[K'}" = "$(tail -n 1 "$tmp/erreurs-attendues" | sed 's/notes\.tsv$/notes-terminal.tsv/')" ] \
  || echouer "fin sur un terminal : $(cat -v <<<"$derniere")"
comparer "tableau, progression sur un terminal" "$tmp/notes.tsv" "$tmp/notes-terminal.tsv"

[ $echecs -eq 0 ] && echo "classe: ok"
exit $((echecs > 0))
