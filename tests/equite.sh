#!/usr/bin/env bash
# valideur-classe --executer: no submission changes another's verdict, and
# each limit holds for the whole run. Each attack runs beside an innocent
# submission under -j 2: as root with control groups (where this machine
# lends them) and without (--sans-cgroups), then as an unprivileged user.
set -u
export LC_ALL=C.UTF-8
classe=$1
source "$(dirname "$0")/sous-utilisateur.sh"
commencerEssai "$0" "$classe"
qui=$(id -un)
racine=$([ "$(id -u)" = 0 ] && echo oui)

t=$(mktemp -d)
chmod 755 "$t"
trap 'rm -rf "$t"' EXIT
printf 'trace alice\nlocaliser bob\ntrace chloé\n' >"$t/test.txt"
printf 'alice\nbob\nchloé\n' >"$t/attendu.resultat"
remise() { # folder, program text
  mkdir -p "$t/$1"
  printf '%s\n' "$2" >"$t/$1/prog"
  chmod 755 "$t/$1/prog"
}
repondre="sys.stdout.write(''.join(l.split(' ', 1)[1] for l in sys.stdin))"
# About a second of CPU, then the answers: alone, always on time.
remise s/innocent "#!/usr/bin/python3
import sys, time
while time.process_time() < 1.0:
    pass
$repondre"
# Sixty children, each a session of its own (a scheduler autogroup each,
# were it allowed), spinning.
remise s/setsid "#!/usr/bin/python3
import os, sys
$repondre
sys.stdout.flush()
for _ in range(60):
    if os.fork() == 0:
        try:
            os.setsid()
        except OSError:
            pass
        while True:
            pass
os.wait()"
chmod -R a+rX "$t"

classer() { # class folder, options...: the table's name, total and end
  local dossier=$1
  shift
  "$classe" --executer=./prog -j 2 "$@" "$t/test.txt" "$t/attendu.resultat" "$t/$dossier"/*/ \
    2>"$t/err" | cut -f1,8,9
}

# The innocent run beside the spinner, five times over, in each mode.
modes=("")
[ -n "$racine" ] && modes+=(--sans-cgroups)
for mode in "${modes[@]}"; do
  for n in 1 2 3 4 5; do
    obtenu=$(classer s --temps=2 --temps-reel=3 --processus=64 $mode | grep '^innocent')
    [ "$obtenu" = "innocent	3	normale" ] \
      || { echouer "$qui ${mode:-avec cgroups} : innocent à côté de setsid, passe $n : $obtenu"; cat "$t/err"; break; }
  done
done

# The mode that held the limits, in the closing line and --version, and
# how many submissions ran again alone: a sleeper, that the wall clock ends
# short of its CPU time.
"$classe" -V | grep -qx 'limites des exécutions : \(cgroup v[12]\|seccomp et comptabilité\)' \
  || echouer "$qui : --version sans le mode des limites"
remise d/dort "#!/bin/sh
exec sleep 10"
chmod -R a+rX "$t"
obtenu=$(classer d --temps-reel=0.5 --sans-cgroups)
[ "$obtenu" = "remise	total	fin
maximum	3	
dort	0	temps dépassé" ] && grep -q ' ; limites : seccomp et comptabilité ; 1 remise relancée seule$' "$t/err" \
  || { echouer "$qui : relance seule, ligne finale --sans-cgroups"; echo "$obtenu"; cat "$t/err"; }

if [ -n "$racine" ]; then
  # With control groups, memory is the whole run's: what lies in memfds,
  # System V shared memory, the files and inodes of its /tmp too; CPU time
  # is that of every process of it together.
  remise m/innocent "#!/bin/sh
exec cut -d' ' -f2"
  remise m/memfd "#!/usr/bin/python3
import os, sys
$repondre
bloc = b'x' * (1 << 20)
fds = [os.memfd_create('m') for _ in range(24)]
for fd in fds:
    for _ in range(16):
        os.write(fd, bloc)"
  remise m/shm "#!/usr/bin/python3
import ctypes, sys
$repondre
libc = ctypes.CDLL(None)
libc.shmat.restype = ctypes.c_void_p
for _ in range(24):
    s = libc.shmget(0, 16 << 20, 0o1600)
    if s < 0:
        break
    ctypes.memset(libc.shmat(s, None, 0), 1, 16 << 20)"
  remise m/inodes "#!/usr/bin/python3
import sys
$repondre
for i in range(200000):
    open('/tmp/%d' % i, 'w').close()"
  remise m/tmp "#!/usr/bin/python3
import sys
$repondre
bloc = b'x' * (1 << 20)
for i in range(12):
    with open('/tmp/%d' % i, 'wb') as f:
        for _ in range(15):
            f.write(bloc)"
  remise m/chaine "#!/bin/sh
cut -d' ' -f2
for i in 1 2 3 4; do python3 -c 'import time
while time.process_time() < 0.8: pass'; done"
  chmod -R a+rX "$t"
  # Where root may write a hierarchy: cgroup v1's memory, or the
  # controllers of this process's v2 group.
  propre=$(sed -n 's/^0:://p' /proc/self/cgroup)
  if [ -w /sys/fs/cgroup/memory ] || { grep -qw memory "/sys/fs/cgroup$propre/cgroup.controllers" 2>/dev/null \
    && [ -w "/sys/fs/cgroup$propre" ]; }; then
    # Space enough that only memory bounds the files.
    obtenu=$(classer m --temps=1 --temps-reel=10 --memoire=64 --espace=256)
    attendu="remise	total	fin
maximum	3	
chaine	3	temps dépassé
innocent	3	normale
inodes	3	mémoire dépassée
memfd	3	mémoire dépassée
shm	3	mémoire dépassée
tmp	3	mémoire dépassée"
    [ "$obtenu" = "$attendu" ] || { echouer "$qui : limites du cgroup"; diff <(echo "$attendu") <(echo "$obtenu"); cat "$t/err"; }
    grep -q ' ; limites : cgroup v[12] ; [0-9]* remises\? relancées\? seules\?$' "$t/err" \
      || { echouer "$qui : ligne finale avec cgroups"; cat "$t/err"; }
  fi

  # Outside bubblewrap, each box its own user: one cannot kill the
  # other's processes, and each counts its own.
  remise u/innocent "#!/bin/sh
sleep 1.2345 || exit 9
exec cut -d' ' -f2"
  remise u/tueur "#!/bin/sh
cut -d' ' -f2
for i in \$(seq 40); do pkill -KILL -f 'sleep 1[.]2345'; sleep 0.05; done"
  # The answers only when the limit held it back.
  remise u/compte "#!/usr/bin/python3
import os, sys, time
partis = 0
for _ in range(20):
    try:
        if os.fork() == 0:
            time.sleep(2)
            os._exit(0)
        partis += 1
    except OSError:
        pass
if partis < 20:
    $repondre"
  chmod -R a+rX "$t"
  for mode in "" --sans-cgroups; do
    obtenu=$(classer u --sans-bac-a-sable --processus=8 --temps-reel=4 $mode)
    attendu="remise	total	fin
maximum	3	
compte	3	normale
innocent	3	normale
tueur	3	normale"
    [ "$obtenu" = "$attendu" ] \
      || { echouer "$qui ${mode:-avec cgroups} : une boîte par utilisateur"; diff <(echo "$attendu") <(echo "$obtenu"); cat "$t/err"; }
  done
fi

[ $echecs = 0 ] && echo "equite ($qui) : tout est bon"
exit $((echecs > 0))
