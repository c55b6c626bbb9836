#!/usr/bin/env bash
# valideur-classe --executer against submissions that reach past a
# process's own limits, each beside an innocent one under -j 2: memory files
# and System V shared memory refused, new sessions refused, a chain of
# processes held to --temps together, empty files held to --espace, a built
# folder copied back within --espace. Run as root, then again as an
# unprivileged user.
set -u
export LC_ALL=C.UTF-8
classe=$1
source "$(dirname "$0")/sous-utilisateur.sh"
commencerEssai "$0" "$classe"
qui=$(id -un)

t=$(mktemp -d)
chmod 755 "$t"
trap 'rm -rf "$t"' EXIT
mkdir -p "$t/jeu" "$t/r" "$t/c" "$t/tmp"
for mot in "trace alice" "localiser bob" "trace chloé" "presences dani" "trace émile"; do
  echo "$mot"
done >"$t/jeu/test.txt"
cut -d' ' -f2 "$t/jeu/test.txt" >"$t/jeu/attendu.resultat"

remise() { # folder, program text
  mkdir -p "$1"
  printf '%s\n' "$2" >"$1/prog"
  chmod 755 "$1/prog"
}
# Each refused call, tried: the answers only when it was refused.
repondre="sys.stdout.write(''.join(l.split(' ', 1)[1] for l in sys.stdin))"
remise "$t/r/bon" "#!/bin/sh
exec cut -d' ' -f2"
remise "$t/r/memfd" "#!/usr/bin/python3
import os, sys
try:
    f = os.memfd_create('x')
    os.write(f, b'x' * (32 << 20))
except PermissionError:
    $repondre"
remise "$t/r/shm" "#!/usr/bin/python3
import ctypes, sys
c = ctypes.CDLL(None, use_errno=True)
if c.shmget(0, 32 << 20, 0o1600) < 0 and ctypes.get_errno() == 1 and c.msgget(0, 0o1600) < 0:
    $repondre"
# In a child: a process group's leader may never start a session.
remise "$t/r/session" "#!/usr/bin/python3
import os, sys
if os.fork() == 0:
    try:
        os.setsid()
    except PermissionError:
        os._exit(7)
    os._exit(0)
if os.wait()[1] == 7 << 8:
    $repondre"
# Three processes of 0.6 s each, one after the other, with --temps 1.
remise "$t/r/chaine" "#!/bin/sh
for i in 1 2 3; do python3 -c 'import time
while time.process_time() < 0.6: pass'; done
exec cut -d' ' -f2"
remise "$t/r/inodes" "#!/usr/bin/python3
import sys
$repondre
sys.stdout.flush()
for i in range(200000):
    open('/tmp/%d' % i, 'w').close()"

# The i386 and x32 doors to the same calls, from a 64-bit program.
if [ "$(uname -m)" = x86_64 ]; then
  mkdir -p "$t/c/abi"
  cat >"$t/c/abi/prog.c" <<'FIN'
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>
static long i386(long appel) { long r; __asm__ volatile("int $0x80" : "=a"(r) : "a"(appel) : "memory"); return r; }
static int refuse(int x32)
{
    if (fork() == 0)
        _exit(x32 ? syscall(0x40000000L | 112) == -1 && errno == EPERM : i386(66) == -EPERM);
    int statut = 0;
    wait(&statut);
    return WEXITSTATUS(statut) == 1;
}
int main(void)
{
    char ligne[256];
    while (refuse(0) && refuse(1) && fgets(ligne, sizeof ligne, stdin))
        fputs(strchr(ligne, ' ') + 1, stdout);
    return 0;
}
FIN
  echo abi >"$t/c/abi/genre"
fi

# Built folders bigger on the grader's disk than in the sandbox: sparse
# files, hard links, empty files.
for nom in creux liens vides sain; do
  mkdir -p "$t/c/$nom"
  echo "$nom" >"$t/c/$nom/genre"
  cp "$t/r/bon/prog" "$t/c/$nom/prog.sh"
done
cat >"$t/construire.sh" <<'FIN'
case $(cat genre) in
creux) for i in 1 2 3; do truncate -s 16M creux$i; done ;;
liens) head -c 3M /dev/zero >gros; for i in 1 2 3; do ln gros lien$i; done ;;
vides) mkdir v; (cd v && seq 9000 | xargs touch) ;;
abi) exec gcc -o prog prog.c ;;
esac
cp prog.sh prog
FIN
for nom in "$t"/c/*/; do cp "$t/construire.sh" "$nom"; done
chmod -R a+rX "$t"

# The mode without control groups, wherever the machine lends them.
limites=(--temps=1 --temps-reel=4 --memoire=256 --espace=8 -j2 --sans-cgroups)
lancer() { # name, options, then submissions
  local nom=$1 options=() remises=()
  shift
  for a in "$@"; do case $a in -*) options+=("$a") ;; *) remises+=("$a") ;; esac; done
  TMPDIR="$t/tmp" "$classe" "${options[@]}" "$t/jeu/test.txt" "$t/jeu/attendu.resultat" "${remises[@]}" \
    >"$t/$nom.tsv" 2>"$t/$nom.err"
  cut -f1,8,9 "$t/$nom.tsv" >"$t/$nom.obtenu"
}
comparer() { # name, expected table
  printf '%s' "$2" | cmp -s - "$t/$1.obtenu" \
    || { echouer "$qui : $1"; diff <(printf '%s' "$2") "$t/$1.obtenu"; cat "$t/$1.err"; }
}

lancer bac --executer=./prog "${limites[@]}" "$t"/r/*/
comparer bac "remise	total	fin
maximum	5	
bon	5	normale
chaine	0	temps dépassé
inodes	5	espace dépassé
memfd	5	normale
session	5	normale
shm	5	normale
"
# Outside a sandbox the monitor loads the filter and counts the CPU time
# itself; the space is the grader's.
lancer sans --executer=./prog --sans-bac-a-sable "${limites[@]}" "$t/r/bon" "$t/r/chaine" "$t/r/memfd" \
  "$t/r/session" "$t/r/shm"
comparer sans "remise	total	fin
maximum	5	
bon	5	normale
chaine	0	temps dépassé
memfd	5	normale
session	5	normale
shm	5	normale
"
lancer construction --executer=./prog --construire='sh construire.sh' "${limites[@]}" "$t"/c/*/
abi=
[ -d "$t/c/abi" ] && abi="abi	5	normale
"
comparer construction "remise	total	fin
maximum	5	
${abi}creux	0	espace dépassé
liens	0	espace dépassé
sain	5	normale
vides	0	espace dépassé
"
[ -z "$(ls -A "$t/tmp")" ] || { echouer "$qui : copies privées restées"; ls -AR "$t/tmp" | head; }

# Beside a spinner whose children each try a session of their own (a
# scheduler group each), a program that needs 0.8 s of CPU gets its share:
# full marks every time.
remise "$t/f/innocent" "#!/usr/bin/python3
import sys, time
while time.process_time() < 0.8: pass
$repondre"
remise "$t/f/toupie" "#!/usr/bin/python3
import os, time
for i in range(20):
    if os.fork() == 0:
        try:
            os.setsid()
        except PermissionError:
            pass
        while True: pass
time.sleep(10)"
chmod -R a+rX "$t/f"
for n in 1 2 3 4 5; do
  lancer equite --executer=./prog --temps=2 --temps-reel=5 -j2 "$t/f/innocent" "$t/f/toupie"
  grep -qx 'innocent	5	normale' "$t/equite.obtenu" || { echouer "$qui : affamé, passe $n"; cat "$t/equite.tsv"; }
done

# A grader killed with SIGKILL leaves its private folder behind; the next
# one removes it, never a live grader's, one without a lock, nor a link.
r=$t/restes
mkdir -p "$r/tmp" "$r/cible" "$r/attend" "$r/valideur-classe.sansvr"
printf '#!/bin/sh\ncut -d" " -f2\nexec sleep 30\n' >"$r/attend/prog"
chmod -R a+rX "$r"
chmod 755 "$r/attend/prog"
touch "$r/cible/valideur.verrou" "$r/valideur-classe.sansvr/f"
ln -s "$r/cible" "$r/tmp/valideur-classe.lienxx"
mv "$r/valideur-classe.sansvr" "$r/tmp/"
pids=()
for n in 1 2; do
  TMPDIR="$r/tmp" "$classe" --executer=./prog --temps=30 --temps-reel=60 "$t/jeu/test.txt" "$t/jeu/attendu.resultat" \
    "$r/attend" >/dev/null 2>&1 &
  pids+=($!)
done
for _ in $(seq 100); do
  [ "$(cat "$r"/tmp/valideur-classe.*/valideur.verrou 2>/dev/null | wc -l)" = 2 ] && break
  sleep 0.05
done
mort=$(grep -lx "${pids[0]}" "$r"/tmp/valideur-classe.*/valideur.verrou)
vivant=$(grep -lx "${pids[1]}" "$r"/tmp/valideur-classe.*/valideur.verrou)
{ kill -KILL "${pids[0]}"; wait "${pids[0]}"; } 2>/dev/null
[ -n "$mort" ] && [ -e "$mort" ] || echouer "$qui : pas de dossier laissé par le correcteur tué"
TMPDIR="$r/tmp" "$classe" --executer=./prog "$t/jeu/test.txt" "$t/jeu/attendu.resultat" "$t/r/bon" >/dev/null 2>&1
[ ! -e "$(dirname "$mort")" ] || echouer "$qui : dossier d'un correcteur mort resté"
[ -n "$vivant" ] && [ -e "$vivant" ] || echouer "$qui : dossier d'un correcteur vivant effacé"
[ -e "$r/tmp/valideur-classe.sansvr/f" ] && [ -L "$r/tmp/valideur-classe.lienxx" ] \
  && [ -e "$r/cible/valideur.verrou" ] || echouer "$qui : un dossier qui n'était pas à effacer l'a été"
{ kill -TERM "${pids[1]}"; wait "${pids[1]}"; } 2>/dev/null

# An ordinary grader's process limit counts all its runs: -j lowered when
# it cannot hold them, status 2 when it cannot hold one.
if [ "$(id -u)" != 0 ]; then
  # Room for one run of 20 processes and the grader's own threads, not two.
  deja=$(ps -L -U "$(id -u)" -o lwp= | wc -l)
  ( ulimit -u $((deja + 40)); TMPDIR="$t/tmp" exec "$classe" --executer=./prog --processus=20 -j 2 \
    "$t/jeu/test.txt" "$t/jeu/attendu.resultat" "$t/r/bon" "$t/r/session" >"$t/nproc.tsv" 2>"$t/nproc.err" )
  cut -f1,8,9 "$t/nproc.tsv" >"$t/nproc.obtenu"
  printf 'remise\ttotal\tfin\nmaximum\t5\t\nbon\t5\tnormale\nsession\t5\tnormale\n' | cmp -s - "$t/nproc.obtenu" \
    && grep -q '^valideur-classe : -j abaissé à 1 : .*relevez-la (ulimit -u [0-9]*)' "$t/nproc.err" \
    || { echouer "$qui : -j abaissé"; cat "$t/nproc.obtenu" "$t/nproc.err"; }
  ( ulimit -u $((deja + 10)); TMPDIR="$t/tmp" exec "$classe" --executer=./prog --processus=20 "$t/jeu/test.txt" \
    "$t/jeu/attendu.resultat" "$t/r/bon" >"$t/nproc.tsv" 2>"$t/nproc.err" )
  statut=$?
  [ "$statut" = 2 ] && [ ! -s "$t/nproc.tsv" ] && [ "$(wc -l <"$t/nproc.err")" = 1 ] \
    && grep -q 'ne tient pas une exécution de --processus=20 : relevez-la' "$t/nproc.err" \
    || { echouer "$qui : limite de processus trop basse (statut $statut)"; cat "$t/nproc.err"; }
fi

[ $echecs = 0 ] && echo "confinement ($qui) : tout est bon"
exit $((echecs > 0))
