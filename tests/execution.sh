#!/usr/bin/env bash
# valideur-classe --executer on hostile submissions, each in its sandbox:
# every one graded with the right end, nothing outside its private copy
# changed, no process of it left, each class over within its wall limit and
# a little more. Run as root, then again as an unprivileged user.
set -u
export LC_ALL=C.UTF-8
classe=$1
source=$2
source "$(dirname "$0")/sous-utilisateur.sh"
commencerEssai "$0" "$classe"
qui=$(id -un)

t=$(mktemp -d)
chmod 755 "$t"
trap 'rm -rf "$t"; [ -n "${ecoute:-}" ] && kill "$ecoute" 2>/dev/null' EXIT
marque=intrus-$$
mkdir -p "$t/jeu" "$t/sorties" "$t/r" "$t/c" "$t/jeux/caches"
for mot in "trace alice" "localiser bob" "trace chloé" "presences dani" "trace émile"; do
  echo "$mot"
done >"$t/jeu/test.txt"
cut -d' ' -f2 "$t/jeu/test.txt" >"$t/jeu/attendu.resultat"
seq 100 | sed 's/^/trace /' >"$t/jeu/cent.txt"
seq 100 >"$t/jeu/cent.resultat"

# A listener outside, which no submission may reach.
python3 - "$t/port" "$t/connexion" <<'PY' &
import socket, sys
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen()
open(sys.argv[1], "w").write(str(s.getsockname()[1]))
c, _ = s.accept()
open(sys.argv[2], "w").write("connecté\n")
PY
ecoute=$!
for _ in $(seq 50); do [ -s "$t/port" ] && break; sleep 0.1; done
port=$(cat "$t/port")

remise() { # name, program text
  mkdir -p "$t/r/$1"
  printf '%s\n' "$2" >"$t/r/$1/prog"
  chmod 755 "$t/r/$1/prog"
}
remise bon "#!/bin/sh
exec cut -d' ' -f2"
remise lit-absolu "#!/bin/sh
cat '$t/jeu/attendu.resultat' 2>/dev/null; exit 0"
remise lit-parent "#!/bin/sh
cat ../attendu.resultat ../jeu/attendu.resultat ../../jeu/attendu.resultat 2>/dev/null
find / -maxdepth 2 -name '*.resultat' -exec cat {} + 2>/dev/null; exit 0"
remise lit-entree "#!/bin/sh
cat \"\$(readlink /proc/self/fd/0 | sed 's/[.]txt/.resultat/')\" 2>/dev/null; exit 0"
remise lit-proc "#!/bin/sh
for f in /proc/\$PPID/fd/* /proc/1/fd/* /proc/1/cwd/* /proc/1/root/'$t'/jeu/*; do cat \"\$f\"; done 2>/dev/null
exit 0"
remise ecrit "#!/bin/sh
for f in \"\$HOME/$marque\" '$HOME/$marque' /tmp/$marque ../$marque '$t/$marque' '$t/r/bon/$marque'; do
  echo x >\"\$f\"
done 2>/dev/null
exec cut -d' ' -f2"
remise reseau "#!/usr/bin/python3
import socket
socket.create_connection(('127.0.0.1', $port), timeout=1)"
# One fork starts the bomb, the only one it needs: every later one may fail.
remise bombe "#!/bin/sh
cut -d' ' -f2
f() { f | f & }
(f) &
exec sleep 100"
remise demon "#!/usr/bin/python3
import os, sys, time
sys.stdout.write(sys.stdin.read().replace('trace ', '').replace('localiser ', '').replace('presences ', ''))
sys.stdout.flush()
if os.fork() == 0:
    os.setsid()
    if os.fork() == 0:
        time.sleep(1000)
    os._exit(0)"
remise gros-fichier "#!/bin/sh
exec head -c 10000000000 /dev/zero >gros"
remise bavard "#!/bin/sh
exec yes"
remise sans-saut "#!/bin/sh
exec tr '\\0' x </dev/zero"
remise dort "#!/bin/sh
cut -d' ' -f2
exec sleep 1000"
remise memoire "#!/usr/bin/python3
print('alice')
l = []
while True:
    l.append(b'x' * (1 << 20))"
remise ferme-sortie "#!/bin/sh
cut -d' ' -f2 | head -n 2
exec >&-
exec sleep 1000"
remise tue-parent "#!/bin/sh
kill -9 \$PPID 1 2>/dev/null
exec cut -d' ' -f2"

mkdir -p "$t/c/bon-c" "$t/c/cent" "$t/c/compile-pas" "$t/c/memoire-c"
echo 'int main(void) { for (int i = 1; i <= 100; ++i) __builtin_printf("%d\n", i); return 0; }' >"$t/c/bon-c/prog.c"
# Unflushed: line-buffered from outside, every line reaches the grader.
printf '#include <stdio.h>\nint main(void) { for (int i = 1; i <= 100; ++i) printf("%%d\\n", i); for (;;) {} }\n' >"$t/c/cent/prog.c"
echo 'int main(void) { return oups }' >"$t/c/compile-pas/prog.c"
printf '#include <stdlib.h>\n#include <string.h>\nint main(void) { for (;;) { char* p = malloc(1 << 20); if (!p) return 3; memset(p, 1, 1 << 20); } }\n' >"$t/c/memoire-c/prog.c"
chmod -R a+rX "$t"

etat() { # the files of the class and of the grader's places, as they stand
  find "$t/r" "$t/c" "$t/jeu" "$t/jeux" -printf '%p %s %T@ %m\n' | sort
  ls -a /tmp "$HOME" ~root 2>/dev/null | grep -c "$marque"
}
# What a sandbox left: the unprivileged user's processes whose session's
# leader (the sandbox's monitor) is gone, under no bubblewrap still running
# (another run's, graded at the same time, are under theirs), and not this
# script's own: where the suite's session leader is out of sight (a
# container's), its subshells and listener would look orphaned too.
processus() {
  ps -e -o pid=,ppid=,uid=,sid=,comm= | awk -v u="$(id -u nobody)" -v moi=$$ '
    { parent[$1] = $2; nom[$1] = $5; if ($3 == u) { candidats[$1] = 1; session[$1] = $4 } }
    END { for (p in candidats) { if (session[p] in parent) continue
            q = p; garde = 0
            while (q in parent && q > 1) {
              if (nom[q] == "bwrap" || q == moi) { garde = 1; break }
              q = parent[q] }
            if (!garde) print p } }' | sort
}
avant=$(etat)
procAvant=$(processus)
limites=(--temps=1 --temps-reel=2 --processus=16 --memoire=64 --sortie-max=1 --fichier-max=1 --espace=4)
debut=$(date +%s%N)
"$classe" --executer=./prog "${limites[@]}" -j 16 "$t/jeu/test.txt" "$t/jeu/attendu.resultat" "$t"/r/*/ \
  >"$t/sorties/r.tsv" 2>"$t/sorties/r.err"
statut=$?
duree=$((($(date +%s%N) - debut) / 1000000))
[ "$statut" = 0 ] || echouer "$qui : statut $statut"
# Every run at once: the slowest ends at its wall limit, 2 s; then the
# three the wall clock ended short of their CPU time (bombe, dort,
# ferme-sortie) run again alone, 2 s each; and a little.
[ "$duree" -lt 12000 ] || echouer "$qui : la classe a duré $duree ms (temps réel 2 s)"
cut -f1,8,9,12 "$t/sorties/r.tsv" >"$t/sorties/r.obtenu"
cat >"$t/sorties/r.attendu" <<'FIN'
remise	total	fin	statut
maximum	5		
bavard	0	sortie trop longue	ok
bombe	5	temps dépassé	ok
bon	5	normale	ok
demon	5	normale	ok
dort	5	temps dépassé	ok
ecrit	5	normale	ok
ferme-sortie	2	temps dépassé	ok
gros-fichier	0	plantage (SIGXFSZ : taille de fichier dépassée)	ok
lit-absolu	0	normale	ok
lit-entree	0	normale	ok
lit-parent	0	normale	ok
lit-proc	0	normale	ok
memoire	1	mémoire dépassée	ok
reseau	0	statut 1	ok
sans-saut	0	sortie trop longue	ok
tue-parent	5	normale	ok
FIN
cmp -s "$t/sorties/r.attendu" "$t/sorties/r.obtenu" \
  || { echouer "$qui : fins des remises hostiles"; diff "$t/sorties/r.attendu" "$t/sorties/r.obtenu"; cat "$t/sorties/r.err"; }
[ -e "$t/connexion" ] && echouer "$qui : une remise a joint 127.0.0.1:$port"

# C: built once per submission; a program killed by the time limit keeps
# the lines it printed without flushing; one that does not compile.
"$classe" --executer=./prog --construire='gcc -o prog prog.c' --temps=1 --temps-reel=10 --memoire=128 -j 4 \
  "$t/jeu/cent.txt" "$t/jeu/cent.resultat" "$t"/c/*/ >"$t/sorties/c.tsv" 2>"$t/sorties/c.err"
cut -f1,8,9,12 "$t/sorties/c.tsv" >"$t/sorties/c.obtenu"
cat >"$t/sorties/c.attendu" <<'FIN'
remise	total	fin	statut
maximum	100		
bon-c	100	normale	ok
cent	100	temps dépassé	ok
compile-pas	0	ne compile pas	ok
memoire-c	0	mémoire dépassée	ok
FIN
cmp -s "$t/sorties/c.attendu" "$t/sorties/c.obtenu" \
  || { echouer "$qui : remises en C"; diff "$t/sorties/c.attendu" "$t/sorties/c.obtenu"; cat "$t/sorties/c.err"; }

[ "$avant" = "$(etat)" ] || { echouer "$qui : des fichiers hors des copies privées ont changé"; diff <(echo "$avant") <(etat); }
sleep 0.2
reste=$(comm -13 <(echo "$procAvant") <(processus))
[ -z "$reste" ] || { echouer "$qui : processus restants"; ps -o pid,cmd -p "${reste//$'\n'/,}"; }

# Several sets, hidden ones among them; the same table twice but for the
# measures.
cp "$t/jeu/test.txt" "$t/jeux/public.txt"
cp "$t/jeu/attendu.resultat" "$t/jeux/public.resultat"
cp "$t/jeu/cent.txt" "$t/jeux/caches/grand.txt"
cp "$t/jeu/cent.resultat" "$t/jeux/caches/grand.resultat"
mkdir -p "$t/j/copie" "$t/j/lecteur" "$t/j/tardif"
printf '#!/bin/sh\ncat <<X\n%s\nX\n' "$(cat "$t/jeu/attendu.resultat")" >"$t/j/copie/prog"
printf '#!/bin/sh\nexec sed "s/^[a-z]* //"\n' >"$t/j/lecteur/prog"
# Lines past the last test line that come late are counted all the same.
printf '#!/bin/sh\nsed "s/^[a-z]* //"\nsleep 0.3\necho encore\necho encore\n' >"$t/j/tardif/prog"
chmod -R a+rX "$t/j"
chmod 755 "$t"/j/*/prog
for n in 1 2; do
  "$classe" --executer=./prog --jeux="$t/jeux" --csv "$t"/j/*/ >"$t/sorties/j$n.csv" 2>"$t/sorties/j$n.err"
done
printf 'remise;grand.trace;grand.autres;grand.total;grand.fin;public.total;public.fin;statut;diagnostic\n' >"$t/sorties/j.attendu"
printf 'maximum;100;0;100;;5;;;\ncopie;0;0;0;normale;5;normale;ok;\nlecteur;100;0;100;normale;5;normale;ok;\n' >>"$t/sorties/j.attendu"
printf 'tardif;100;0;100;normale;5;normale;ok;2 lignes en trop après la dernière ligne de test\n' >>"$t/sorties/j.attendu"
for n in 1 2; do
  cut -d';' -f1,2,7-9,18,19,22,23 "$t/sorties/j$n.csv" >"$t/sorties/j$n.obtenu"
  cmp -s "$t/sorties/j.attendu" "$t/sorties/j$n.obtenu" \
    || { echouer "$qui : jeux, passe $n"; diff "$t/sorties/j.attendu" "$t/sorties/j$n.obtenu"; cat "$t/sorties/j$n.err"; }
done
grep -q ';[0-9]*,[0-9][0-9];[0-9]*,[0-9];' "$t/sorties/j1.csv" || echouer "$qui : secondes et Mio sans virgule en CSV"

# Each sandbox counts its own processes: side by side, two programs that
# each need most of the limit both run, whoever runs them.
for n in 1 2; do
  mkdir -p "$t/p/compte$n"
  printf '#!/bin/sh\nfor i in 1 2 3 4 5 6 7 8; do sleep 1 & done\nwait\nexec cut -d" " -f2\n' >"$t/p/compte$n/prog"
done
chmod -R a+rX "$t/p"
chmod 755 "$t"/p/*/prog
"$classe" --executer=./prog --processus=12 --temps-reel=5 -j 2 "$t/jeu/test.txt" "$t/jeu/attendu.resultat" \
  "$t"/p/*/ 2>/dev/null | cut -f1,8,9 >"$t/sorties/p.obtenu"
printf 'remise\ttotal\tfin\nmaximum\t5\t\ncompte1\t5\tnormale\ncompte2\t5\tnormale\n' | cmp -s - "$t/sorties/p.obtenu" \
  || { echouer "$qui : limites de processus partagées"; cat "$t/sorties/p.obtenu"; }

# Without the sandbox, said in the closing line; without bubblewrap, a
# usage status and one line that says what to install.
# Started by root, the programs still never run as root: what only root
# reads (a hosted autograder's hidden sets) is out of their reach.
mkdir -p "$t/s/lit-racine"
printf '#!/bin/sh\ncat %s 2>/dev/null || exec cut -d" " -f2\n' "$t/racine-seule" >"$t/s/lit-racine/prog"
chmod -R a+rX "$t/s"
chmod 755 "$t/s/lit-racine/prog"
[ "$(id -u)" = 0 ] && echo volé >"$t/racine-seule" && chmod 600 "$t/racine-seule"
"$classe" --executer=./prog --sans-bac-a-sable "${limites[@]}" "$t/jeu/test.txt" "$t/jeu/attendu.resultat" \
  "$t/r/bon" "$t/r/dort" "$t/s/lit-racine" 2>"$t/sorties/s.err" | cut -f1,8,9 >"$t/sorties/s.obtenu"
printf 'remise\ttotal\tfin\nmaximum\t5\t\nbon\t5\tnormale\ndort\t5\ttemps dépassé\nlit-racine\t5\tnormale\n' \
  | cmp -s - "$t/sorties/s.obtenu" || { echouer "$qui : --sans-bac-a-sable"; cat "$t/sorties/s.obtenu"; }
grep -q 'sans bac à sable ; limites : ' "$t/sorties/s.err" || echouer "$qui : ligne finale sans bac à sable"
# Stopped midway, in and out of the sandbox: the grader dies of its signal
# at once, with no table, no process of a run and no private copy left.
mkdir -p "$t/arret/attend" "$t/tmp"
printf '#!/bin/sh\ncut -d" " -f2\nsleep 3%s &\nexec sleep 4%s\n' $$ $$ >"$t/arret/attend/prog"
chmod -R a+rX "$t/arret"
chmod 755 "$t/arret/attend/prog"
for mode in --sans-bac-a-sable ""; do
  echo "la course d'avant" >"$t/sorties/a.tsv"
  TMPDIR="$t/tmp" "$classe" --executer=./prog $mode --temps=30 --temps-reel=60 -j 2 --retours="$t/arret-retours" \
    -o "$t/sorties/a.tsv" \
    "$t/jeu/test.txt" "$t/jeu/attendu.resultat" "$t/arret/attend" "$t/r/bon" >"$t/sorties/a.out" 2>/dev/null &
  pid=$!
  for _ in $(seq 100); do pgrep -f "sleep [34]$$" >/dev/null && break; sleep 0.05; done
  debut=$(date +%s%N)
  kill -TERM "$pid"
  wait "$pid"
  statut=$?
  duree=$((($(date +%s%N) - debut) / 1000000))
  for _ in $(seq 20); do pgrep -f "sleep [34]$$" >/dev/null || break; sleep 0.05; done
  [ "$statut" = 143 ] && [ "$duree" -lt 3000 ] && [ ! -s "$t/sorties/a.out" ] \
    || echouer "$qui : arrêt ${mode:-dans le bac à sable} (statut $statut en $duree ms)"
  [ -z "$(ls -A "$t/tmp")" ] || { echouer "$qui : copies restées après l'arrêt ${mode}"; ls -AR "$t/tmp"; }
  ! pgrep -af "sleep [34]$$" || echouer "$qui : processus restés après l'arrêt ${mode}"
  # The last results stay whole.
  [ "$(cat "$t/sorties/a.tsv")" = "la course d'avant" ] || echouer "$qui : tableau vidé par l'arrêt ${mode}"
  # No feedback of a run the stop ended.
  [ ! -e "$t/arret-retours/attend" ] || echouer "$qui : retour d'une exécution arrêtée ${mode}"
done

PATH=/nonexistent "$classe" --executer=./prog "$t/jeu/test.txt" "$t/jeu/attendu.resultat" "$t/r/bon" \
  >"$t/sorties/p.out" 2>"$t/sorties/p.err"
statut=$?
[ "$statut" = 2 ] && [ ! -s "$t/sorties/p.out" ] && [ "$(wc -l <"$t/sorties/p.err")" = 1 ] \
  && grep -q 'apt-get install bubblewrap' "$t/sorties/p.err" || echouer "$qui : sans bubblewrap (statut $statut)"

# A bubblewrap that cannot make a sandbox, as where user namespaces are off.
mkdir -p "$t/faux"
printf '#!/bin/sh\necho "bwrap: setting up uid map: Permission denied" >&2\nexit 1\n' >"$t/faux/bwrap"
chmod 755 "$t/faux/bwrap"
PATH="$t/faux:$PATH" "$classe" --executer=./prog "$t/jeu/test.txt" "$t/jeu/attendu.resultat" "$t/r/bon" \
  >"$t/sorties/n.out" 2>"$t/sorties/n.err"
statut=$?
[ "$statut" = 2 ] && [ ! -s "$t/sorties/n.out" ] && [ "$(wc -l <"$t/sorties/n.err")" = 1 ] \
  && grep -q "Permission denied.*espaces de noms utilisateur" "$t/sorties/n.err" \
  || { echouer "$qui : sans espaces de noms utilisateur (statut $statut)"; cat "$t/sorties/n.err"; }

[ $echecs = 0 ] && echo "execution ($qui) : tout est bon"
exit $((echecs > 0))
