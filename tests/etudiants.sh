#!/usr/bin/env bash
# A class's mistakes on a realistic exercise (tests/generateur): each results
# file run as a student runs it, on terminals of 80x24 (no colour) and
# 120x40 (colour), and redirected. What each run must show is in the
# generator's manifest, cas.tsv.
#
# The checks, by name:
#   octets    redirected, stderr and stdout are exactly the plain loop's;
#             quiet on a terminal, the summary line alone
#   indices   each hint and warning of the case shows on both terminals,
#             and no hint of another mistake shows (no false alarm)
#   fichier   each hint about the files as wholes shows
#   decalages each missing or extra line is stated at the right line,
#             quoting its test line, and no other shift is stated
#   ecran     everything fits in R-1 rows, the first failure's report
#             is still on the screen at the end, and each hint takes one row
# VALIDEUR_ETUDIANTS lists the checks to run, all of them by default;
# VALIDEUR_GRAINES the seeds of the classes generated; a class of another
# shape (generateur/salles.py) follows them.
set -u
valideur=$1
generateur=$2
[ -x "$valideur" ] && [ -x "$generateur" ] || { echo "programme absent : $valideur $generateur"; exit 1; }
actives="octets indices fichier decalages ecran"
verifications=" ${VALIDEUR_ETUDIANTS:-$actives} "
echecs=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
graines=${VALIDEUR_GRAINES:-2026 5}
ici=$(cd "$(dirname "$0")" && pwd)

verifie() { [[ $verifications == *" $1 "* ]]; }
probleme() { ok=0; echo "  $*"; }

# The words of each new hint: a case that does not expect one must not show it.
signatures=("est en UTF-16" "de plus que V1" "dans un autre ordre" "séparés autrement"
            "inversés ?" "multiple de 4 096" "lignes manquantes ont un résultat vide")
enonce='(une|deux|trois|[0-9]+) lignes? (de trop )?(semblent|semble) (manquer|se trouver) dans le fichier testé (à la|après la|avant la) ligne #[0-9]+'

sur_terminal() { # rows cols TERM expected results -> typescript in ecran-RxC
  local rangees=$1 colonnes=$2 term=$3
  env -u NO_COLOR -u COLUMNS -u LINES TERM=$term SHELL="$BASH" script -qec \
    "stty rows $rangees cols $colonnes -onlcr; exec $(printf '%q ' "$valideur" test.txt "$4" "$5")" \
    /dev/null </dev/null >"ecran-${rangees}x$colonnes" 2>&1
}

juger() { # name, expected file, results file, then the manifest's lines of the case
  local nom=$1 attendu=$2 teste=$3 ok=1
  shift 3
  "$valideur" test.txt "$attendu" "$teste" >sortie 2>erreurs
  local statut=$?
  "$generateur" modele test.txt "$attendu" "$teste" >sortie-modele 2>erreurs-modele
  if verifie octets; then
    [ $statut = 0 ] || probleme "statut $statut"
    cmp -s sortie sortie-modele || probleme "redirigé : autre sortie que la boucle simple"
    cmp -s erreurs erreurs-modele || probleme "redirigé : autres rapports que la boucle simple"
  fi
  if verifie octets; then
    # Quiet on a terminal: the summary line alone.
    env TERM=dumb SHELL="$BASH" script -qec "stty -onlcr; exec $(printf '%q ' "$valideur" -q test.txt "$attendu" "$teste")" \
      /dev/null </dev/null >ecran-silencieux 2>&1
    cmp -s ecran-silencieux sortie-modele || probleme "silencieux sur un terminal : autre chose que le bilan"
  fi
  local premier
  premier=$(grep -a -m 1 -o '^Ligne #[0-9]* (' erreurs-modele)
  sur_terminal 24 80 dumb "$attendu" "$teste"
  sur_terminal 40 120 xterm-256color "$attendu" "$teste"
  local taille ecran texte ligne n
  for taille in 24x80 40x120; do
    ecran=ecran-$taille
    sed 's/\x1b\[[0-9;]*m//g' "$ecran" >"$ecran.net"
    if verifie ecran; then
      "$generateur" ecran "${taille#*x}" "${taille%x*}" "$ecran" >mesure
      n=$(head -n 1 mesure)
      [ "$n" -le $((${taille%x*} - 1)) ] || probleme "$taille : $n rangées écrites"
      if [ -n "$premier" ] && ! tail -n +2 mesure | sed 's/\x1b\[[0-9;]*m//g' | grep -qF -- "$premier"; then
        probleme "$taille : le rapport du premier échec (${premier% (}) n'est plus à l'écran"
      fi
      # Each hint takes one row.
      grep -a '^  indice : ' "$ecran.net" | tr -d '\r' >indices
      if [ -s indices ]; then
        "$generateur" ecran "${taille#*x}" 1000 indices >mesure
        [ "$(head -n 1 mesure)" = "$(wc -l <indices)" ] || probleme "$taille : un indice sur plusieurs rangées"
      fi
    fi
    local attendus=() enonces=()
    for ligne in "$@"; do
      local sorte=${ligne%%$'\t'*} reste=${ligne#*$'\t'}
      case $sorte in
        indice) attendus+=("$reste")
                verifie indices && ! grep -qF -- "$reste" "$ecran.net" && probleme "$taille : absent : $reste" ;;
        fichier) attendus+=("$reste")
                verifie fichier && ! grep -qF -- "$reste" "$ecran.net" && probleme "$taille : absent : $reste" ;;
        absent) verifie indices && grep -qF -- "$reste" "$ecran.net" && probleme "$taille : de trop : $reste" ;;
        decalage) enonces+=("$reste") ;;
      esac
    done
    if verifie indices; then
      local signature autorisee
      for signature in "${signatures[@]}"; do
        autorisee=0
        for texte in "${attendus[@]}"; do [[ $texte == *"$signature"* ]] && autorisee=1; done
        [ $autorisee = 0 ] && grep -qF -- "$signature" "$ecran.net" && probleme "$taille : fausse alerte : $signature"
      done
    fi
    if verifie decalages; then
      # Each stated at its line with its test line quoted whole (its start
      # when long); all of them when there are three or fewer, the first
      # at least when more, whose later ones may be counted, not shown.
      local i=0 numero citation
      for ligne in "${enonces[@]}"; do
        texte=${ligne%$'\t'*}
        numero=${ligne##*$'\t'}
        citation=$(sed -n "${numero}p" test.txt)
        if [ ${#citation} -le 60 ]; then citation="$citation\`)"
        else citation=$(cut -d ' ' -f 1-3 <<<"$citation"); fi
        if [ $i = 0 ] || [ ${#enonces[@]} -le 3 ]; then
          grep -qF -- "$texte (\`$citation" "$ecran.net" || probleme "$taille : absent : $texte (\`$citation"
        fi
        i=$((i + 1))
      done
      grep -oE "$enonce" "$ecran.net" | sort -u | while IFS= read -r texte; do
        printf '%s\n' "${enonces[@]%$'\t'*}" | grep -qxF -- "$texte" || echo "  $taille : fantôme : $texte"
      done >fantomes
      if [ -s fantomes ]; then
        ok=0; head -n 3 fantomes
        [ "$(wc -l <fantomes)" -le 3 ] || echo "  $taille : … $(wc -l <fantomes) énoncés fantômes en tout"
      fi
    fi
  done
  if [ $ok = 1 ]; then
    echo "ok $nom"
  else
    echo "ÉCHEC $nom"
    head -c 2500 ecran-24x80.net
    echecs=$((echecs + 1))
  fi
}

# Two classes of the same exercise: other days, other answers, other
# places for the missing lines; then an exercise of another shape.
classes="$graines salles"
for graine in $classes; do
  mkdir "$tmp/$graine" && cd "$tmp/$graine" || exit 1
  if [ "$graine" = salles ]; then
    python3 "$ici/generateur/salles.py" . || { echo "ÉCHEC génération (salles)"; exit 1; }
  else
    "$generateur" classe . 1200 "$graine" || { echo "ÉCHEC génération ($graine)"; exit 1; }
  fi
  nom=
  lignes=()
  while IFS= read -r entree; do
    if [[ $entree == cas$'\t'* ]]; then
      [ -n "$nom" ] && juger "$graine/$nom" "$attendu" "$teste" "${lignes[@]}"
      IFS=$'\t' read -r _ nom attendu teste <<<"$entree"
      lignes=()
    else
      lignes+=("$entree")
    fi
  done <cas.tsv
  juger "$graine/$nom" "$attendu" "$teste" "${lignes[@]}"
done

[ $echecs = 0 ] || { echo "$echecs cas en échec"; exit 1; }
