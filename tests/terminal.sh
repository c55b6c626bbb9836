#!/usr/bin/env bash
# A student's runs on a terminal of a stated size, on a test file of 1000
# lines with the five command words and on a course's data: what each
# scenario must say within one screen, and, redirected, the same runs give
# every report as the exact lines. Run from tests/.
set -u
valideur=$1
[ -x "$valideur" ] || { echo "programme absent : $valideur"; exit 1; }
echecs=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1

awk 'BEGIN { split("trace localiser presences frequentations duree_rencontres", m, " ")
  for (i = 1; i <= 1000; i++) {
    print m[(i - 1) % 5 + 1] " Bob " i >"test.txt"
    print "Bob a " (i * 7919 % 10007) " rencontres en " i " minutes" >"attendu.resultat" } }'
cp attendu.resultat juste.resultat
sed '500d' attendu.resultat >manque.resultat
sed '500,501d' attendu.resultat >manque2.resultat
sed '500i ligne en trop' attendu.resultat >trop.resultat
sed 's/$/\r/' attendu.resultat >crlf.resultat
head -n 510 attendu.resultat >coupe.resultat
: >vide.resultat
head -n 600 attendu.resultat >attendu-court.resultat
{ cat attendu.resultat; echo de trop; } >long.resultat
sed '300s/.*//' test.txt >blanc.txt
awk '{ print "trace " NR }' <(seq 5000) >test5000.txt
awk '{ print "r" NR }' <(seq 5000) >attendu5000.resultat
awk '{ print "faux" NR }' <(seq 5000) >faux5000.resultat

# Rows the capture takes on a terminal $1 columns wide: colours take none,
# a tab goes to the next multiple of eight, a line wraps past the last column.
rangees() {
  perl -CSD -e 'my $c = shift; my $r = 0;
    while (<STDIN>) { chomp; s/\e\[[0-9;]*[A-Za-z]//g; my ($col, $n) = (0, 1);
      for my $ch (split //) { my $w = $ch eq "\t" ? 8 - $col % 8 : 1;
        if ($col + $w > $c) { $n++; $col = 0 } $col += $w } $r += $n }
    print "$r\n"' "$1"
}

# The terminal's size for the scenarios that follow.
lignes=24 colonnes=80

# scenario name, count of full reports (- for any), the first failing line
# (- for none), then arguments, --, then the lines that must appear on the
# screen. Everything the run writes takes at most the rows but one, the
# first failure is the first report shown, and redirected, the same run
# writes the exact reports and nothing else.
scenario() {
  local nom=$1 rapports=$2 premier=$3 arguments=() motifs=()
  shift 3
  while [ "$1" != -- ]; do arguments+=("$1"); shift; done
  shift
  motifs=("$@")
  env -u NO_COLOR TERM=dumb SHELL="$BASH" \
    script -qec "stty rows $lignes cols $colonnes -onlcr; exec $(printf '%q ' "$valideur" "${arguments[@]}")" /dev/null \
    </dev/null >ecran 2>&1
  local ok=1 vus pris
  vus=$(grep -c '^Ligne #' ecran)
  [ "$rapports" = - ] || [ "$vus" = "$rapports" ] || { ok=0; echo "  $vus rapports affichés, $rapports attendus"; }
  pris=$(rangees "$colonnes" <ecran)
  [ "$pris" -lt "$lignes" ] || { ok=0; echo "  $pris rangées sur un terminal de $lignes"; }
  if [ "$premier" != - ] && [ "$(grep -m 1 -o '^Ligne #[0-9]*' ecran)" != "Ligne #$premier" ]; then
    ok=0; echo "  premier rapport : $(grep -m 1 '^Ligne #' ecran), #$premier attendu"
  fi
  for motif in "${motifs[@]}"; do
    grep -qF -- "$motif" ecran || { ok=0; echo "  absent : $motif"; }
  done
  "$valideur" "${arguments[@]}" >sortie 2>erreurs
  if LC_ALL=C grep -qvE '^(Ligne #[0-9]+ \(.*\) : ÉCHEC| V1:.*| V2:.*)$' erreurs \
     || [ "$(tail -n 1 ecran | tr -d '\r')" != "$(cat sortie)" ]; then
    ok=0; echo "  hors terminal, des lignes en plus, ou un autre bilan"
  fi
  if [ $ok = 1 ]; then echo "ok $nom ($colonnes×$lignes)"; else echo "ÉCHEC $nom ($colonnes×$lignes)"; head -c 3000 ecran; echecs=$((echecs + 1)); fi
}

scenario manque 1 500 test.txt attendu.resultat manque.resultat -- \
  "une ligne semble manquer dans le fichier testé à la ligne #500 (\`duree_rencontres Bob 500\`)" \
  "Récapitulatif : 501 lignes en échec sur 1000 comparées, la première à la ligne #500 (duree_rencontres)" \
  "  décalage : 1 ligne manquante à la ligne #500 ; il explique 501 échecs (#500 à #1000)" \
  "bilan ci-dessous, réussies/comparées par commande : trace, localiser, presences, frequentations, duree_rencontres"
scenario trop 1 500 test.txt attendu.resultat trop.resultat -- \
  "une ligne de trop semble se trouver dans le fichier testé après la ligne #499 (\`frequentations Bob 499\`)" \
  "  décalage : 1 ligne en trop après la ligne #499 ; il explique 501 échecs (#500 à #1000)"
# The line the extra one pushed past the end is no news.
grep -q "a des lignes après" ecran && { echo "ÉCHEC trop : avertissement des lignes poussées"; echecs=$((echecs + 1)); }
scenario manque2 1 500 test.txt attendu.resultat manque2.resultat -- \
  "deux lignes semblent manquer dans le fichier testé à la ligne #500 (\`duree_rencontres Bob 500\`)" \
  "  décalage : 2 lignes manquantes à la ligne #500 ; il explique 501 échecs (#500 à #1000)"
scenario crlf 1 1 test.txt attendu.resultat crlf.resultat -- \
  "indice : seuls des retours chariot diffèrent : fins de ligne Windows" \
  "même cause (retours chariot) : 1000 échecs (#1 à #1000), dont 999 non affichés"
scenario coupe 1 511 test.txt attendu.resultat coupe.resultat -- \
  "même cause (fin du fichier testé) : 490 échecs (#511 à #1000), dont 489 non affichés" \
  "attention : le fichier testé s'arrête après la ligne #510, avant la fin du fichier de test"
scenario vide 1 1 test.txt attendu.resultat vide.resultat -- \
  "attention : le fichier testé est vide"
scenario plafond - 1 test5000.txt attendu5000.resultat faux5000.resultat -- \
  "Récapitulatif : 5000 lignes en échec sur 5000 comparées, la première à la ligne #1 (trace)" \
  "non affichés : 4997 échecs ; pour tous les lire, relancer la même commande suivie de 2> rapport.txt"
scenario ordre - 1 attendu.resultat test.txt juste.resultat -- \
  "attention : aucune ligne de test ne commence par trace, localiser, presences, frequentations ou duree_rencontres : les fichiers sont-ils dans l'ordre test, attendu, testé ?"
scenario blanc 0 - blanc.txt attendu.resultat juste.resultat -- \
  "Récapitulatif : aucun échec, 299 lignes comparées qui concordent" \
  "attention : la validation s'est arrêtée à la ligne #300 du fichier de test, qui est vide ; 700 lignes (13 721 octets) qui la suivent n'ont pas été lues"
scenario en-trop 0 - test.txt attendu.resultat long.resultat -- \
  "attention : le fichier testé a des lignes après la ligne #1000, la dernière du fichier de test : elles n'ont pas été comparées"
scenario attendu-court 1 601 test.txt attendu-court.resultat juste.resultat -- \
  "même cause (fin du fichier attendu) : 400 échecs (#601 à #1000), dont 399 non affichés" \
  "attention : le fichier des résultats attendus s'arrête après la ligne #600, avant la fin du fichier de test"

# Lines that look identical: each gets its hint, on a screen tall enough
# for all of them.
printf 'trace %s\n' 1 2 3 4 5 6 >test-indices.txt
printf '%b\n' 'caf\xc3\xa9' 'Zo\xc3\xa9' '\xc3\xa9t\xc3\xa9' '3.14' 'a b' 'x' >attendu-indices.resultat
printf '%b\n' '\xef\xbb\xbfcaf\xc3\xa9' 'ZO\xc3\x89' '\xe9t\xe9' '3,14' 'a\xe2\x80\x8bb' 'x' >votre-indices.resultat
printf '%b\n' 'cafe\xcc\x81' 'Zo\xc3\xa9' '\xc3\x83\xc2\xa9t\xc3\x83\xc2\xa9' >nfd.resultat
lignes=60 colonnes=120
scenario indices 5 1 test-indices.txt attendu-indices.resultat votre-indices.resultat -- \
  "indice : BOM (U+FEFF) au début du fichier testé : l'enregistrer sans BOM" \
  "indice : seule la casse des lettres diffère" \
  "indice : sortie en Latin-1 / Windows-1252 ? V2, lue ainsi, concorde avec V1" \
  "indice : virgule décimale dans V2 là où V1 a un point (3,14 pour 3.14)" \
  "U+200B espace sans chasse"
scenario nfd - 1 test-indices.txt attendu-indices.resultat nfd.resultat -- \
  "indice : accents décomposés (NFD) dans V2, précomposés (NFC) dans V1" \
  "indice : texte encodé deux fois en UTF-8 dans V2"

# A course's data: the five words mixed, about one result in six empty,
# answers that repeat, accented names, trace lines up to about 1 100 bytes;
# line 312 a trace of its own. Each mistake at 80×24 and at 120×40.
awk -v n=1200 'BEGIN { srand(7)
  split("Bob Zoé Anaïs Léon Chloé Maël René Eugène Inès", noms, " ")
  split("dehors|hall|salle 1|salle 2|cafétéria", salles, "|")
  for (i = 1; i <= n; i++) {
    nom = noms[int(rand() * 9) + 1]; m = i == 312 ? 0 : int(rand() * 5)
    if (m == 0) {
      t = "trace " nom; a = ""
      k = i == 312 ? 3 : rand() < 0.2 ? 40 + int(rand() * 25) : int(rand() * 8)
      for (j = 0; j < k; j++) a = a (j ? " -> " : nom " : ") salles[int(rand() * 5) + 1] " (" int(rand() * 1440) ")"
    } else if (m == 1) {
      t = "localiser " nom " " int(rand() * 1440); a = nom " : " (rand() < 0.4 ? "dehors" : salles[int(rand() * 5) + 1])
    } else if (m == 2) {
      t = "presences " salles[int(rand() * 5) + 1] " " int(rand() * 1440)
      a = rand() < 0.33 ? "" : noms[int(rand() * 9) + 1] " " noms[int(rand() * 9) + 1]
    } else if (m == 3) {
      t = "frequentations " nom; a = rand() < 0.25 ? "" : salles[int(rand() * 5) + 1] " " int(rand() * 9)
    } else {
      t = "duree_rencontres " nom " " noms[int(rand() * 9) + 1]; a = rand() < 0.2 ? "" : int(rand() * 300) " minutes"
    }
    print t >"cours.txt"; print a >"cours.resultat" } }'
sed '312i debug : x = 3' cours.resultat >debug.resultat
sed '312d' cours.resultat >manque312.resultat
sed '1i Résultats :' cours.resultat >entete.resultat
grep -v '^$' cours.resultat >sans-vides.resultat
sed 's/$/\r/' cours.resultat >cours-crlf.resultat
paste -d '\t' cours.txt cours.resultat | awk -F '\t' '{ print ($1 ~ /^localiser/ ? toupper($2) : $2) }' >casse.resultat
# The first empty results, and how many the alignment states (none past the
# last non-empty one).
premierVide=$(grep -n -m 1 '^$' cours.resultat | cut -d : -f 1)
apresPremierVide=$(sed -n "$((premierVide + 1))p" cours.resultat)
[ -z "$apresPremierVide" ] && combien=deux\ lignes\ semblent || combien=une\ ligne\ semble
vides=$(awk '/^$/ { v++; next } { total += v; v = 0 } END { print total }' cours.resultat)
premierLocaliser=$(grep -n -m 1 '^localiser' cours.txt | cut -d : -f 1)
cite() { sed -n "${1}p" cours.txt; }
# Each shift stated once, and no other: the statements on the last screen.
enonces() {
  local vus
  vus=$(grep -c 'sembl' ecran)
  [ "$vus" = "$1" ] || { echo "ÉCHEC $2 : $vus énoncés de décalage, $1 attendus"; echecs=$((echecs + 1)); }
}
for taille in "24 80" "40 120"; do
  read -r lignes colonnes <<<"$taille"
  scenario cours-debug 1 312 cours.txt cours.resultat debug.resultat -- \
    "une ligne de trop semble se trouver dans le fichier testé après la ligne #311 (\`$(cite 311)\`)" \
    "  décalage : 1 ligne en trop après la ligne #311"
  enonces 1 cours-debug
  scenario cours-manque 1 312 cours.txt cours.resultat manque312.resultat -- \
    "une ligne semble manquer dans le fichier testé à la ligne #312 (\`$(cite 312)\`)" \
    "  décalage : 1 ligne manquante à la ligne #312"
  enonces 1 cours-manque
  scenario cours-entete 1 1 cours.txt cours.resultat entete.resultat -- \
    "une ligne de trop semble se trouver dans le fichier testé avant la ligne #1 (\`$(cite 1)\`)"
  enonces 1 cours-entete
  scenario cours-vides - "$premierVide" cours.txt cours.resultat sans-vides.resultat -- \
    "$combien manquer dans le fichier testé à la ligne #$premierVide (\`$(cite "$premierVide")\`)" \
    "  décalages : $vides lignes manquantes, la première à la ligne #$premierVide"
  enonces 3 cours-vides
  scenario cours-crlf - 1 cours.txt cours.resultat cours-crlf.resultat -- \
    "même cause (retours chariot) : 1200 échecs (#1 à #1200), dont "
  scenario cours-casse - "$premierLocaliser" cours.txt cours.resultat casse.resultat -- \
    "même cause (casse) : "
done

# The look past a blank test line never waits: from a pipe whose writer
# holds it open, only what is there is counted.
# The bytes are in the pipe before valideur starts, and this shell holds
# its writing end open throughout: no end of file ever comes.
mkfifo tube
exec 3<>tube
printf 'trace 1\n\ntrace 3\n' >&3
timeout 10 env TERM=dumb SHELL="$BASH" script -qec "stty -onlcr; exec $(printf '%q ' "$valideur" tube attendu.resultat juste.resultat)" \
  /dev/null </dev/null >ecran 2>&1
statut=$?
exec 3>&-
if [ $statut = 0 ] && grep -qF "attention : la validation s'est arrêtée à la ligne #2 du fichier de test, qui est vide ; 1 ligne (8 octets) qui la suit n'a pas été lue" ecran; then
  echo "ok tube-sans-attente"
else
  echo "ÉCHEC tube-sans-attente (statut $statut)"; cat ecran; echecs=$((echecs + 1))
fi

# Opening errors: which file, and why.
ouverture() {
  local nom=$1 attendu=$2
  shift 2
  env TERM=dumb SHELL="$BASH" script -qec "stty -onlcr; exec $(printf '%q ' "$valideur" "$@")" /dev/null \
    </dev/null >ecran 2>&1
  if [ "$(cat ecran)" = "$(printf '%b' "$attendu")" ]; then echo "ok $nom"
  else echo "ÉCHEC $nom"; cat ecran; echecs=$((echecs + 1)); fi
}
mkdir dossier
ouverture absent 'Erreur ouverture absent.txt\n  (fichier de test : fichier ou dossier introuvable)\n' \
  absent.txt attendu.resultat juste.resultat
ouverture dossier 'Erreur ouverture dossier\n  (fichier des résultats attendus : c'"'"'est un dossier, pas un fichier)\n' \
  test.txt dossier juste.resultat
ouverture vide 'Erreur ouverture \n  (fichier de test : chemin vide, une variable vide dans la commande ?)\n' \
  '' attendu.resultat juste.resultat
ouverture option 'Erreur ouverture --quiet\n  (fichier de test : fichier ou dossier introuvable ; ce chemin ressemble à une option, or valideur ne connaît que -q, -quiet, -silence, -c et -corrige : tout autre argument est un chemin)\n' \
  --quiet test.txt attendu.resultat
ouverture silencieux 'Erreur ouverture absent.txt\n' -q absent.txt attendu.resultat juste.resultat
if [ "$(id -u)" != 0 ]; then
  cp juste.resultat secret.resultat && chmod 000 secret.resultat
  ouverture permission 'Erreur ouverture secret.resultat\n  (fichier des résultats du programme testé : permission refusée)\n' \
    test.txt attendu.resultat secret.resultat
else
  echo "ok permission (sauté : root lit tout)"
fi
env TERM=dumb SHELL="$BASH" script -qec "stty -onlcr; exec $(printf '%q ' "$valideur" test.txt attendu.resultat juste.resultat quatre cinq)" \
  /dev/null </dev/null >ecran 2>&1
if [ "$(head -n 2 ecran)" = "$(printf 'attention : chemin en trop, ignoré : quatre\nattention : chemin en trop, ignoré : cinq')" ]; then
  echo "ok chemins-en-trop"
else
  echo "ÉCHEC chemins-en-trop"; cat ecran; echecs=$((echecs + 1))
fi

exit $((echecs > 0))
