#!/usr/bin/env bash
# Behaviours that a case folder cannot hold: inputs that are pipes, an
# output that cannot be written, a memory limit. Run from tests/.
set -u
valideur=$1
# A missing program would leave the FIFO writers below waiting for a reader.
[ -x "$valideur" ] || { echo "programme absent : $valideur"; exit 1; }
cas=cas/rapports
echecs=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

verifier() { # name, expected status, expected stdout file, expected stderr file
  local nom=$1 statut=$2 sortie=$3 erreurs=$4
  if [ "$statut" != "$(cat "$tmp/statut")" ] || ! cmp -s "$sortie" "$tmp/sortie" \
     || ! cmp -s "$erreurs" "$tmp/erreurs"; then
    echo "ÉCHEC $nom: statut $(cat "$tmp/statut") (attendu $statut)"
    head -c 2000 "$tmp/sortie" "$tmp/erreurs"
    echecs=$((echecs + 1))
  else
    echo "ok $nom"
  fi
}

# Process substitution: the three inputs are pipes.
"$valideur" <(cat $cas/test.txt) <(cat $cas/attendu.resultat) <(cat $cas/votre.resultat) \
  >"$tmp/sortie" 2>"$tmp/erreurs"
echo $? >"$tmp/statut"
verifier substitution 0 $cas/sortie $cas/erreurs

# Named pipes fed a few bytes at a time.
mkfifo "$tmp/t" "$tmp/a" "$tmp/v"
for f in test.txt:t attendu.resultat:a votre.resultat:v; do
  ( while IFS= read -r -n 3 -d '' morceau || [ -n "$morceau" ]; do printf '%s' "$morceau"; sleep 0.001; done \
      <"$cas/${f%%:*}" >"$tmp/${f##*:}" ) &
done
"$valideur" "$tmp/t" "$tmp/a" "$tmp/v" >"$tmp/sortie" 2>"$tmp/erreurs"
echo $? >"$tmp/statut"
wait
verifier fifo 0 $cas/sortie $cas/erreurs

# A report is written as soon as its three lines are there: the results
# come from a program that writes its second line only once it has seen the
# report of its first.
mkfifo "$tmp/lent"
printf 'trace\ntrace\n' >"$tmp/test"
printf 'a\nb\n' >"$tmp/attendu"
printf '1/2\t0/0\t0/0\t0/0\t0/0\n' >"$tmp/attendu-sortie"
printf 'Ligne #1 (trace) : \xc3\x89CHEC\n V1:a\n V2:faux\n' >"$tmp/attendu-erreurs"
(
  printf 'faux\n'
  for _ in $(seq 400); do grep -q 'V2:faux' "$tmp/erreurs" 2>/dev/null && break; sleep 0.05; done
  grep -q 'V2:faux' "$tmp/erreurs" && printf 'b\n' || printf 'rapport en retard\n'
) >"$tmp/lent" &
timeout 20 "$valideur" "$tmp/test" "$tmp/attendu" "$tmp/lent" >"$tmp/sortie" 2>"$tmp/erreurs"
echo $? >"$tmp/statut"
wait
verifier rythme 0 "$tmp/attendu-sortie" "$tmp/attendu-erreurs"

# A standard input closed at start: the first file opened gets descriptor 0.
"$valideur" $cas/test.txt $cas/attendu.resultat $cas/votre.resultat \
  >"$tmp/sortie" 2>"$tmp/erreurs" 0<&-
echo $? >"$tmp/statut"
verifier entree-fermee 0 $cas/sortie $cas/erreurs

# On a terminal the reports are made safe and easy to read: escapes, the
# differing region, windows on long lines, hints. Runs valideur in a
# pseudo-terminal whose own newline translation is turned off, to compare
# bytes, with only the given variables of NO_COLOR and TERM. script(1) runs
# its command with $SHELL, which must read the $'...' quoting of printf %q.
# The terminal is tall and wide, so that every report shows, texts up to
# 200 columns whole.
#   sur_terminal name status screen folder VARIABLE=value... -- arguments...
: >"$tmp/vide"
sur_terminal() {
  local nom=$1 statut=$2 ecran=$3 dossier=$4 variables=()
  shift 4
  while [ "$1" != -- ]; do variables+=("$1"); shift; done
  shift
  ( cd "$dossier" && env -u NO_COLOR -u TERM SHELL="$BASH" "${variables[@]}" \
      script -qec "stty rows 100 cols 205 -onlcr; exec $(printf '%q ' "$valideur" "$@")" /dev/null </dev/null \
      >"$tmp/sortie" 2>"$tmp/erreurs"; echo $? >"$tmp/statut" )
  verifier "$nom" "$statut" "$ecran" "$tmp/vide"
}
entrees=(test.txt attendu.resultat votre.resultat)
sur_terminal terminal 0 terminal/ecran terminal TERM=xterm -- "${entrees[@]}"
sur_terminal indices-couleur 0 terminal/indices/ecran-couleur terminal/indices TERM=xterm-256color \
  -- "${entrees[@]}"
sur_terminal indices-no-color 0 terminal/indices/ecran terminal/indices NO_COLOR=1 TERM=xterm \
  -- "${entrees[@]}"
sur_terminal indices-dumb 0 terminal/indices/ecran terminal/indices TERM=dumb -- "${entrees[@]}"
sur_terminal octets 0 terminal/octets/ecran terminal/octets TERM=dumb -- "${entrees[@]}"
sur_terminal octets-suite 0 terminal/octets-suite/ecran terminal/octets-suite TERM=dumb -- "${entrees[@]}"
sur_terminal chemin 1 terminal/ecran-chemin terminal TERM=xterm \
  -- test.txt "$(printf 'absent\033]0;titre\a\302\233\\')" votre.resultat
# A line of 150 000 bytes shows as a window around the one that differs.
printf 'trace\n' >"$tmp/test.txt"
{ head -c 100000 /dev/zero | tr '\0' a; printf 'Ulysse'; head -c 50000 /dev/zero | tr '\0' b
  printf '\n'; } >"$tmp/attendu.resultat"
sed 's/Ulysse/Ulysee/' "$tmp/attendu.resultat" >"$tmp/votre.resultat"
sur_terminal longue 0 terminal/ecran-longue "$tmp" TERM=dumb -- "${entrees[@]}"

# A summary line that cannot be written is a failure.
printf 'Erreur \xc3\xa9criture\n' >"$tmp/attendu-erreurs"
"$valideur" -q $cas/test.txt $cas/attendu.resultat $cas/votre.resultat >/dev/full 2>"$tmp/erreurs"
echo $? >"$tmp/statut"
: >"$tmp/sortie"
verifier sortie-pleine 1 "$tmp/vide" "$tmp/attendu-erreurs"

# A line longer than the memory the process may use: a clean message, no
# summary. Address-space limits do not mix with sanitizer runtimes.
if [ -z "${VALIDEUR_SANS_LIMITE_MEMOIRE:-}" ]; then
  printf 'trace\n' >"$tmp/test"
  printf 'Erreur m\xc3\xa9moire\n' >"$tmp/attendu-erreurs"
  (
    ulimit -v 200000
    exec "$valideur" "$tmp/test" <(printf 'x\n') <(head -c 400000000 /dev/zero)
  ) >"$tmp/sortie" 2>"$tmp/erreurs"
  echo $? >"$tmp/statut"
  verifier memoire 1 "$tmp/vide" "$tmp/attendu-erreurs"

  # Quiet, no report will show the lines: a line of 400 MB is compared as it
  # comes in, within a limit it would not fit in.
  printf '0/1\t0/0\t0/0\t0/0\t0/0\n' >"$tmp/attendu-sortie"
  (
    ulimit -v 200000
    exec "$valideur" -q "$tmp/test" <(printf 'x\n') <(head -c 400000000 /dev/zero)
  ) >"$tmp/sortie" 2>"$tmp/erreurs"
  echo $? >"$tmp/statut"
  verifier memoire-muet 0 "$tmp/attendu-sortie" "$tmp/vide"

  # Only the lines the test file asks for are read, however much the
  # results hold: an endless results file, within a memory limit.
  printf '1/1\t0/0\t0/0\t0/0\t0/0\n' >"$tmp/attendu-sortie"
  for mode in muet bavard; do
    options=()
    [ $mode = muet ] && options=(-q)
    (
      ulimit -v 200000
      exec timeout 20 "$valideur" "${options[@]}" "$tmp/test" <(printf 'y\n') <(yes)
    ) >"$tmp/sortie" 2>"$tmp/erreurs"
    echo $? >"$tmp/statut"
    verifier "resultats-sans-fin-$mode" 0 "$tmp/attendu-sortie" "$tmp/vide"
  done

  # On a terminal too, a report holds no copy of its lines: a 60 MB line of
  # control bytes, 240 MB once escaped, is shown as a window within a limit
  # that leaves room for the line alone.
  head -c 60000000 /dev/zero | tr '\0' '\001' >"$tmp/controles"
  printf 'x\n' >"$tmp/x"
  ( cd "$tmp" && env -u NO_COLOR TERM=dumb SHELL="$BASH" script -qec \
      "ulimit -v 200000; exec $(printf '%q ' "$valideur" test x controles)" /dev/null \
      </dev/null >"$tmp/sortie" 2>&1; echo $? >"$tmp/statut" )
  if [ "$(cat "$tmp/statut")" = 0 ] && grep -q '59 999 9[0-9][0-9] octets' "$tmp/sortie" \
     && grep -q '^0/1' "$tmp/sortie"; then
    echo "ok memoire-terminal"
  else
    echo "ÉCHEC memoire-terminal: statut $(cat "$tmp/statut")"
    head -c 2000 "$tmp/sortie"
    echecs=$((echecs + 1))
  fi
fi

exit $((echecs > 0))
