#!/usr/bin/env bash
# The results under test must be a file of their own: a link or a name of
# one of valideur's own descriptors that leads back to the expected results
# or to the test file is refused, whatever its name; a pipe or a copy that
# carries the same bytes is not. Also: reports that cannot be written make
# the run fail.
set -u
valideur=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
rapports=$(cat cas/rapports/sortie)
cp cas/rapports/test.txt cas/rapports/attendu.resultat cas/rapports/votre.resultat "$tmp"
cd "$tmp" || exit 2
ln -s "$tmp/attendu.resultat" lien-absolu
ln -s attendu.resultat lien-relatif
ln attendu.resultat lien-dur
ln -s /proc/self/fd/4 lien-proc
ln -s /dev/fd/4 lien-dev-fd
ln -s test.txt lien-test
cp attendu.resultat copie
succes=$(printf '2/2\t2/2\t1/1\t1/1\t1/1')
echecs=0

# valideur runs with descriptors 3 to 9 closed, so that its files take 3, 4, 5.
lancer() { # stdin file, arguments...
  local entree=$1
  shift
  "$valideur" "$@" <"$entree" >sortie 2>erreurs 3<&- 4<&- 5<&- 6<&- 7<&- 8<&- 9<&-
  echo $? >statut
}

verifier() { # name, expected status, expected stdout, expected stderr
  if [ "$(cat statut)" != "$2" ] || [ "$(cat sortie)" != "$3" ] || [ "$(cat erreurs)" != "$4" ]; then
    echo "ÉCHEC $1: statut $(cat statut) (attendu $2)"
    cat sortie erreurs | head -c 1000
    echecs=$((echecs + 1))
  else
    echo "ok $1"
  fi
}

# name | results path | the other file it is
while IFS='|' read -r nom chemin autre; do
  lancer /dev/null test.txt attendu.resultat "$chemin"
  verifier "$nom" 1 "" "Erreur ouverture $chemin
(même fichier que $autre)"
done <<'CAS'
lien symbolique|lien-absolu|attendu.resultat
lien symbolique relatif|lien-relatif|attendu.resultat
lien dur|lien-dur|attendu.resultat
descripteur par /proc/self/fd|/proc/self/fd/4|attendu.resultat
lien vers /proc/self/fd|lien-proc|attendu.resultat
lien vers /dev/fd|lien-dev-fd|attendu.resultat
même chemin deux fois|attendu.resultat|attendu.resultat
lien vers le fichier de test|lien-test|test.txt
CAS

# An unopenable file is still reported first, in its order.
lancer /dev/null absent attendu.resultat lien-dur
verifier "ouverture d'abord" 1 "" "Erreur ouverture absent"

# The same bytes through a pipe, standard input or a copy: a full pass.
lancer /dev/null test.txt attendu.resultat <(cat attendu.resultat)
verifier "substitution de processus" 0 "$succes" ""
cat attendu.resultat | "$valideur" test.txt attendu.resultat /dev/stdin >sortie 2>erreurs
echo $? >statut
verifier "/dev/stdin par un tube" 0 "$succes" ""
lancer /dev/null test.txt attendu.resultat copie
verifier copie 0 "$succes" ""

# Reports that cannot be written: the summary stands, the status is 1.
"$valideur" test.txt attendu.resultat votre.resultat >sortie 2>/dev/full
echo $? >statut
verifier "rapports vers /dev/full" 1 "$rapports" ""
"$valideur" test.txt attendu.resultat votre.resultat >sortie 2>&-
echo $? >statut
: >erreurs
verifier "sortie d'erreur fermée" 1 "$rapports" ""
# Standard error piped into a reader that stops early (head): 20 000
# reports, far more than a pipe holds, so the later writes find it closed.
yes 'trace x' | head -n 20000 >nombreux.txt
sed 's/.*/1/' nombreux.txt >nombreux.attendu
sed 's/.*/2/' nombreux.txt >nombreux.votre
"$valideur" nombreux.txt nombreux.attendu nombreux.votre 2>&1 >sortie | head -c 10 >/dev/null
echo "${PIPESTATUS[0]}" >statut
: >erreurs
verifier "sortie d'erreur lue par head" 1 "$(printf '0/20000\t0/0\t0/0\t0/0\t0/0')" ""
"$valideur" -q test.txt attendu.resultat votre.resultat >sortie 2>/dev/full
echo $? >statut
verifier "silencieux vers /dev/full" 0 "$rapports" ""
"$valideur" test.txt attendu.resultat copie >sortie 2>/dev/full
echo $? >statut
verifier "aucun rapport vers /dev/full" 0 "$succes" ""

exit $((echecs > 0))
