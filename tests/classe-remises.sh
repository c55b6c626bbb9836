#!/usr/bin/env bash
# valideur-classe on trees a careful tester builds: one folder per student
# given one by one, students with several results files or none, platform
# participant numbers, links inside and out, tables that would overwrite a
# submission, closed descriptors, a FIFO without a reader, too deep a path,
# and the warnings of a run that is itself wrong.
set -u
export LC_ALL=C.UTF-8
classe=$1
source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echecs=0
exec 3>&1
echouer() { echo "ÉCHEC $*" >&3; echecs=$((echecs + 1)); }
lancer() { # expected status, arguments...: runs in $tmp, stderr into $tmp/erreurs
  local attendu=$1
  shift
  ( cd "$tmp" && timeout 20 "$classe" "$@" 2>erreurs </dev/null ); local statut=$?
  [ "$statut" = "$attendu" ] || echouer "statut $statut (attendu $attendu) : $*"
}
contient() { grep -qF -- "$2" "$tmp/$1" || echouer "«$2» absent de $1 : $(cat "$tmp/$1")"; }
cp -r "$source/tests/classe/." "$tmp"
r=$tmp/remises

# remises/*/ gives the rows remises/ gives, byte for byte, a student whose
# folder holds only folders included.
mkdir -p "$r/marc/src/vieux" "$r/alice/vieux"
echo 'int main;' >"$r/marc/src/main.c"
cp "$r/bob/votre.resultat" "$r/alice/vieux/"
lancer 1 -o tous.tsv test.txt attendu.resultat remises/
( cd "$tmp" && "$classe" -o un-par-un.tsv test.txt attendu.resultat remises/*/ 2>/dev/null )
cmp -s "$tmp/tous.tsv" "$tmp/un-par-un.tsv" || { echouer "remises/*/"; diff "$tmp/tous.tsv" "$tmp/un-par-un.tsv"; }

# One row per student; the participant number of a course platform; absent
# students are an outcome (status 0).
p=$tmp/plateforme
mkdir -p "$p/Jean Dupont_123456_assignsubmission_file_/vieux" "$p/Léa Martin_654321_assignsubmission_file_" \
  "$p/sans remise_777_assignsubmission_file_"
cp "$r/alice/votre.resultat" "$p/Jean Dupont_123456_assignsubmission_file_/votre.resultat"
cp "$r/bob/votre.resultat" "$p/Jean Dupont_123456_assignsubmission_file_/vieux/votre.resultat"
cp "$r/bob/votre.resultat" "$p/Léa Martin_654321_assignsubmission_file_/votre.resultat"
# The platform's folders of online text, beside those of files: no row more.
mkdir -p "$p/Jean Dupont_123456_assignsubmission_onlinetext_" "$p/sans remise_777_assignsubmission_onlinetext_"
echo '<p>fait</p>' >"$p/Jean Dupont_123456_assignsubmission_onlinetext_/onlinetext.html"
lancer 0 -o p.tsv test.txt attendu.resultat plateforme
cut -f 1,8,9,11 "$tmp/p.tsv" >"$tmp/p-obtenu"
printf '%s\t%s\t%s\t%s\n' remise total statut identifiant maximum 10 '' '' \
  "Jean Dupont_123456_assignsubmission_file_/votre.resultat" 10 ok 123456 \
  "Léa Martin_654321_assignsubmission_file_/votre.resultat" 7 ok 654321 \
  "sans remise_777_assignsubmission_file_/" '' absent 777 >"$tmp/p-attendu"
cmp -s "$tmp/p-attendu" "$tmp/p-obtenu" || { echouer "un élève, une rangée"; diff "$tmp/p-attendu" "$tmp/p-obtenu"; }
contient erreurs "valideur-classe : Jean Dupont_123456_assignsubmission_file_ : 2 fichiers de résultats, seul Jean Dupont_123456_assignsubmission_file_/votre.resultat est noté"
# Each student's folder given alone: the same rows and warning; the file
# left ungraded is still a submission that no table overwrites.
head -n 1 "$tmp/erreurs" >"$tmp/p-erreurs"
( cd "$tmp" && "$classe" -o p-un-par-un.tsv test.txt attendu.resultat plateforme/*/ 2>erreurs ) \
  || echouer "plateforme/*/ : statut $?"
cmp -s "$tmp/p.tsv" "$tmp/p-un-par-un.tsv" || { echouer "plateforme/*/"; diff "$tmp/p.tsv" "$tmp/p-un-par-un.tsv"; }
head -n 1 "$tmp/erreurs" | cmp -s "$tmp/p-erreurs" - || { echouer "plateforme/*/, sortie d'erreur"; cat "$tmp/erreurs"; }
cp "$p/Jean Dupont_123456_assignsubmission_file_/vieux/votre.resultat" "$tmp/vieux-avant"
lancer 2 -o "plateforme/Jean Dupont_123456_assignsubmission_file_/vieux/votre.resultat" test.txt attendu.resultat plateforme
cmp -s "$tmp/vieux-avant" "$p/Jean Dupont_123456_assignsubmission_file_/vieux/votre.resultat" || echouer "fichier non noté écrasé"

# A student who keeps a copy of the expected results beside their own has
# their own graded, whatever the names.
mkdir -p "$tmp/copie/alice"
cp "$r/bob/votre.resultat" "$tmp/copie/alice/votre.resultat"
cp "$tmp/attendu.resultat" "$tmp/copie/alice/attendu.resultat"
lancer 0 -o copie.tsv test.txt attendu.resultat copie
[ "$(tail -n 1 "$tmp/copie.tsv" | cut -f 1,8)" = "$(printf 'copie/alice/votre.resultat\t7')" ] \
  || echouer "copie du corrigé notée : $(cat "$tmp/copie.tsv")"

# The same REMISE twice, and two folders of the same name.
mkdir -p "$tmp/autre/alice"
cp "$r/bob/votre.resultat" "$tmp/autre/alice/"
lancer 0 -o d.tsv test.txt attendu.resultat remises/alice remises/alice autre/alice
contient erreurs "valideur-classe : alice/votre.resultat : remise donnée deux fois, notée une fois"
contient erreurs "valideur-classe : alice/votre.resultat : 2 rangées portent ce nom"
[ "$(grep -c '^alice/' "$tmp/d.tsv")" = 2 ] || echouer "rangées en double : $(cat "$tmp/d.tsv")"

# Links inside a REMISE are not followed; one named on the command line is.
l=$tmp/liens
mkdir -p "$l/vers-corrige" "$l/vers-descripteur" "$l/vers-passwd" "$l/vrai"
cp "$r/alice/votre.resultat" "$l/vrai/"
ln -s ../../attendu.resultat "$l/vers-corrige/votre.resultat"
ln -s /proc/self/fd/3 "$l/vers-descripteur/votre.resultat"
ln -s /etc/passwd "$l/vers-passwd/votre.resultat"
ln -s vrai "$l/dossier-lien"
lancer 1 -o l.tsv --lignes l-vue.tsv test.txt attendu.resultat liens
cut -f 1,9 "$tmp/l.tsv" | tail -n +3 >"$tmp/l-obtenu"
printf '%s\t%s\n' dossier-lien/ lien vers-corrige/votre.resultat lien vers-descripteur/votre.resultat lien \
  vers-passwd/votre.resultat lien vrai/votre.resultat ok >"$tmp/l-attendu"
cmp -s "$tmp/l-attendu" "$tmp/l-obtenu" || { echouer "liens"; diff "$tmp/l-attendu" "$tmp/l-obtenu"; }
grep -q root "$tmp/l-vue.tsv" && echouer "/etc/passwd dans la vue de la classe"
lancer 1 -o l.tsv --suivre-liens test.txt attendu.resultat liens
cut -f 1,9 "$tmp/l.tsv" | tail -n +3 >"$tmp/l-obtenu"
printf '%s\t%s\n' dossier-lien/votre.resultat "même fichier qu'une autre remise" \
  vers-corrige/votre.resultat "même fichier que le corrigé" vers-descripteur/votre.resultat lien \
  vers-passwd/votre.resultat ok vrai/votre.resultat "même fichier qu'une autre remise" >"$tmp/l-attendu"
cmp -s "$tmp/l-attendu" "$tmp/l-obtenu" || { echouer "--suivre-liens"; diff "$tmp/l-attendu" "$tmp/l-obtenu"; }
lancer 0 test.txt attendu.resultat liens/dossier-lien >"$tmp/stdout"
[ "$(tail -n 1 "$tmp/stdout" | cut -f 1,9)" = "dossier-lien/votre.resultat	ok" ] || echouer "lien sur la ligne de commande"

# No table over a submission, whatever the path that names it; nothing read
# or written then.
cp "$r/bob/votre.resultat" "$tmp/bob-avant"
ln -s remises/bob/votre.resultat "$tmp/lien-vers-bob"
while IFS='|' read -r message arguments; do
  read -ra liste <<<"$arguments"
  lancer 2 "${liste[@]}"
  [ "$(cat "$tmp/erreurs")" = "$message" ] || echouer "«$arguments» : $(cat "$tmp/erreurs")"
done <<'SORTIES'
valideur-classe : remises/bob/votre.resultat : est une remise|-o remises/bob/votre.resultat test.txt attendu.resultat remises
valideur-classe : lien-vers-bob : est une remise|--lignes lien-vers-bob test.txt attendu.resultat remises
valideur-classe : ./remises/bob/../bob/votre.resultat : est une remise|-o ./remises/bob/../bob/votre.resultat test.txt attendu.resultat remises
SORTIES
( cd "$tmp" && "$classe" test.txt attendu.resultat remises >>remises/bob/votre.resultat 2>erreurs ); statut=$?
[ $statut = 2 ] && [ "$(cat "$tmp/erreurs")" = "valideur-classe : sortie standard : est une remise" ] \
  || echouer "sortie standard sur une remise : $statut $(cat "$tmp/erreurs")"
cmp -s "$tmp/bob-avant" "$r/bob/votre.resultat" || echouer "remise de bob modifiée"

# Closed descriptors never receive the table; a FIFO without a reader is
# an error, not a wait.
( cd "$tmp" && "$classe" test.txt attendu.resultat remises >&- 2>erreurs ); statut=$?
[ $statut = 2 ] && [ "$(cat "$tmp/erreurs")" = "valideur-classe : sortie standard : fermée" ] \
  || echouer "sortie standard fermée : $statut $(cat "$tmp/erreurs")"
( cd "$tmp" && "$classe" -o ferme.tsv test.txt attendu.resultat remises 2>&- <&- )
cmp -s "$tmp/tous.tsv" "$tmp/ferme.tsv" || echouer "sortie d'erreur fermée : $(head -n 3 "$tmp/ferme.tsv")"
mkfifo "$tmp/tube"
lancer 2 -o tube test.txt attendu.resultat remises
contient erreurs "valideur-classe : tube : tube sans lecteur"

# A run that is itself wrong: files swapped, the wrong test file.
lancer 1 -o /dev/null attendu.resultat test.txt remises
contient erreurs "valideur-classe : aucune ligne du fichier de test ne commence par l'un des cinq mots de commande : fichier de test et fichier attendu intervertis ?"
printf '\ntrace Bob\n' >"$tmp/test-blanc.txt"
lancer 0 -o /dev/null test-blanc.txt attendu.resultat remises/alice
contient erreurs "valideur-classe : attention : test-blanc.txt : la ligne 1 est vide, la validation s'y arrête : 1 ligne qui la suit n'est jamais lue"
grep -q intervertis "$tmp/erreurs" && echouer "intervertis après une première ligne vide"
printf 'trace Bob\n\n \n\t\n' >"$tmp/test-fin-blanche.txt"
lancer 0 -o /dev/null test-fin-blanche.txt attendu.resultat remises/alice
grep -q attention "$tmp/erreurs" && echouer "lignes vides à la fin : $(cat "$tmp/erreurs")"
mkdir "$tmp/courts"
for n in 1 2 3 4; do mkdir "$tmp/courts/e$n"; head -n 6 "$tmp/attendu.resultat" >"$tmp/courts/e$n/votre.resultat"; done
cp "$tmp/attendu.resultat" "$tmp/courts/e4/votre.resultat"
lancer 0 -o /dev/null test.txt attendu.resultat courts
contient erreurs "valideur-classe : 3 remises notées sur 4 s'arrêtent après la ligne 6 : le fichier de test est-il celui de ces résultats ?"

# Right answers printed after extra lines are realigned, those pushed past
# the last test line included, whether the file ends with a newline or not.
d=$tmp/decales
mkdir -p "$d/entete" "$d/milieu"
{ printf 'DEBUG\n\n'; cat "$tmp/attendu.resultat"; } | head -c -1 >"$d/entete/votre.resultat"
{ head -n 4 "$tmp/attendu.resultat"; echo oups; tail -n +5 "$tmp/attendu.resultat"; echo fin; } >"$d/milieu/votre.resultat"
lancer 0 -o decales.tsv test.txt attendu.resultat decales
[ "$(cut -f 12 "$tmp/decales.tsv" | tail -n +2 | tr '\n' ' ')" = "10 10 10 " ] \
  || echouer "réalignées : $(cat "$tmp/decales.tsv")"

# The class view leaves out a submission whose every failure has one cause
# of form, here letter case.
v=$tmp/vue-forme
mkdir -p "$v/a" "$v/b" "$v/c"
sed '3s/.*/faux/' "$tmp/attendu.resultat" >"$v/a/votre.resultat"
cp "$v/a/votre.resultat" "$v/b/votre.resultat"
tr 'a-z' 'A-Z' <"$tmp/attendu.resultat" >"$v/c/votre.resultat"
lancer 0 -o /dev/null --lignes vue-forme.tsv test.txt attendu.resultat vue-forme
[ "$(cut -f 1,3,5 "$tmp/vue-forme.tsv" | tail -n +2)" = "$(printf '3\t2\tfaux')" ] \
  || echouer "vue sans la casse : $(cat "$tmp/vue-forme.tsv")"
contient erreurs "1 remise écartée pour une erreur de forme"

# A quote-aware TSV reader sees each row as written: a name that begins
# with a quote does not swallow the rows after it.
q=$tmp/guillemets
mkdir -p "$q/\"aaa" "$q/aaa" "$q/bbb"
cp "$r/alice/votre.resultat" "$q/\"aaa/"
cp "$r/bob/votre.resultat" "$q/aaa/"
cp "$r/farid/votre.resultat" "$q/bbb/"
lancer 0 -o q.tsv test.txt attendu.resultat guillemets
( cd "$tmp" && python3 -c '
import csv, sys
rangees = list(csv.reader(open("q.tsv", encoding="utf-8"), dialect="excel-tab"))
noms = [(r[0], r[7]) for r in rangees[2:]]
sys.exit(noms != [("\x27\"aaa/votre.resultat", "10"), ("aaa/votre.resultat", "7"), ("bbb/votre.resultat", "3")])' ) \
  || echouer "TSV lu par un lecteur attentif aux guillemets : $(cat "$tmp/q.tsv")"

# Grading holds no whole line: a 200 MB line costs what valideur -q costs.
memoire=$(cd "$tmp" && python3 -c '
import resource, subprocess, sys
subprocess.run(["bash", "-c", sys.argv[1] + " -j 1 -o /dev/null test.txt attendu.resultat "
                "<(head -c 200000000 /dev/zero | tr \"\\0\" x; echo) 2>/dev/null"])
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$classe")
[ "$memoire" -lt 40000 ] || echouer "une ligne de 200 Mo : $memoire Kio"

# A run refused after its table was opened leaves the last table whole.
printf 'la table de la semaine dernière\n' >"$tmp/garde.tsv"
lancer 2 -o garde.tsv --lignes dossier-absent/vue.tsv test.txt attendu.resultat remises/
[ "$(cat "$tmp/garde.tsv")" = "la table de la semaine dernière" ] || echouer "table vidée par un refus : $(cat "$tmp/garde.tsv")"

# Too deep a path is an error row, not an absent student.
mkdir -p "$tmp/profond/eleve"
( cd "$tmp/profond/eleve" && for i in $(seq 45); do mkdir "$(printf 'd%.0s' $(seq 100))" && cd d*; done \
  && cp "$tmp/attendu.resultat" votre.resultat )
lancer 1 -o profond.tsv test.txt attendu.resultat profond
[ "$(tail -n 1 "$tmp/profond.tsv" | cut -f 9)" = "chemin trop long" ] || echouer "chemin trop long : $(tail -n 1 "$tmp/profond.tsv" | cut -f 9)"
rm -rf "$tmp/profond" 2>/dev/null || find "$tmp/profond" -depth -delete 2>/dev/null

# A student's folder 2 500 levels deep, as an archive can hold: that
# student's row says so, and the rest of the class is graded.
mkdir -p "$tmp/abime/alice" "$tmp/abime/carl"
cp "$r/alice/votre.resultat" "$tmp/abime/alice/"
python3 -c 'import os, shutil, sys
os.chdir(sys.argv[1])
for _ in range(2500):
    os.mkdir("d")
    os.chdir("d")
shutil.copy(sys.argv[2], "votre.resultat")' "$tmp/abime/carl" "$r/bob/votre.resultat"
lancer 1 -o abime.tsv test.txt attendu.resultat abime
[ "$(cut -f 9 "$tmp/abime.tsv" | tr '\n' ,)" = "statut,,ok,chemin trop long," ] \
  || echouer "arbre profond : $(cut -f 9 "$tmp/abime.tsv" | tr '\n' ,)"
rm -rf "$tmp/abime"

# A student's folder with several results files: remises/*/ gives the table,
# the warnings and the status of remises/.
mkdir -p "$tmp/deux/alice" "$tmp/deux/bob"
cp "$r/bob/votre.resultat" "$tmp/deux/bob/"
cp "$r/bob/votre.resultat" "$tmp/deux/alice/essai2.resultat"
cp "$r/alice/votre.resultat" "$tmp/deux/alice/votre.resultat"
for forme in dossier un-par-un; do
  ( cd "$tmp" && if [ $forme = dossier ]; then set -- deux/; else set -- deux/*/; fi
    "$classe" -o deux.tsv test.txt attendu.resultat "$@" 2>"deux-$forme.err"; echo "statut $?" >>"deux-$forme.err"
    mv deux.tsv "deux-$forme.tsv" )
done
cmp -s "$tmp/deux-dossier.tsv" "$tmp/deux-un-par-un.tsv" && cmp -s "$tmp/deux-dossier.err" "$tmp/deux-un-par-un.err" \
  || { echouer "deux/*/ et deux/"; diff "$tmp/deux-dossier.tsv" "$tmp/deux-un-par-un.tsv"
       diff "$tmp/deux-dossier.err" "$tmp/deux-un-par-un.err"; }
contient deux-un-par-un.err "alice : 2 fichiers de résultats, seul alice/essai2.resultat est noté"

[ $echecs -eq 0 ] && echo "classe-remises: ok"
exit $((echecs > 0))
