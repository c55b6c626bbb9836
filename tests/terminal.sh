#!/usr/bin/env bash
# A student's runs on a terminal, on a test file of 1000 lines with the five
# command words: what each scenario must say, and, redirected, the same runs
# give every report as the exact lines. Run from tests/.
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

# scenario name, count of full reports, then arguments, --, then the lines
# that must appear on the screen.
scenario() {
  local nom=$1 rapports=$2 arguments=() motifs=()
  shift 2
  while [ "$1" != -- ]; do arguments+=("$1"); shift; done
  shift
  motifs=("$@")
  env -u NO_COLOR TERM=dumb SHELL="$BASH" \
    script -qec "stty -onlcr; exec $(printf '%q ' "$valideur" "${arguments[@]}")" /dev/null \
    </dev/null >ecran 2>&1
  local ok=1 vus
  vus=$(grep -c '^Ligne #' ecran)
  [ "$vus" = "$rapports" ] || { ok=0; echo "  $vus rapports affichés, $rapports attendus"; }
  for motif in "${motifs[@]}"; do
    grep -qF -- "$motif" ecran || { ok=0; echo "  absent : $motif"; }
  done
  # Redirected, the same run writes the exact reports and nothing else.
  "$valideur" "${arguments[@]}" >sortie 2>erreurs
  if LC_ALL=C grep -qvE '^(Ligne #[0-9]+ \(.*\) : ÉCHEC| V1:.*| V2:.*)$' erreurs \
     || [ "$(tail -n 1 ecran | tr -d '\r')" != "$(cat sortie)" ]; then
    ok=0; echo "  hors terminal, des lignes en plus, ou un autre bilan"
  fi
  if [ $ok = 1 ]; then echo "ok $nom"; else echo "ÉCHEC $nom"; head -c 3000 ecran; echecs=$((echecs + 1)); fi
}

scenario manque 3 test.txt attendu.resultat manque.resultat -- \
  "une ligne semble manquer dans le fichier testé à la ligne #500 (\`duree_rencontres Bob 500\`) : les lignes suivantes sont décalées d'une ligne" \
  "… 498 lignes suivantes (#503 à #1000) décalées de la même façon : non affichées (rapports complets : 2> rapport.txt)" \
  "Récapitulatif : 501 lignes en échec sur 1000 comparées, la première à la ligne #500 (duree_rencontres)" \
  "bilan ci-dessous, réussies/comparées par commande : trace, localiser, presences, frequentations, duree_rencontres"
scenario trop 3 test.txt attendu.resultat trop.resultat -- \
  "une ligne de trop semble se trouver dans le fichier testé à la ligne #500" \
  "… 498 lignes suivantes (#503 à #1000)" \
  "attention : le fichier testé a des lignes après la ligne #1000"
scenario manque2 4 test.txt attendu.resultat manque2.resultat -- \
  "deux lignes semblent manquer dans le fichier testé à la ligne #500" \
  "… 497 lignes suivantes (#504 à #1000)"
scenario crlf 3 test.txt attendu.resultat crlf.resultat -- \
  "… 997 lignes suivantes (#4 à #1000) en échec pour la même cause (retours chariot)" \
  "même cause (retours chariot) : 1000 échecs, dont 997 pliés"
scenario coupe 3 test.txt attendu.resultat coupe.resultat -- \
  "… 487 lignes suivantes (#514 à #1000) en échec pour la même cause (fin du fichier testé)" \
  "attention : le fichier testé s'arrête après la ligne #510, avant la fin du fichier de test"
scenario vide 3 test.txt attendu.resultat vide.resultat -- \
  "attention : le fichier testé est vide"
scenario plafond 20 test5000.txt attendu5000.resultat faux5000.resultat -- \
  "… 20 rapports affichés : les échecs suivants sont comptés sans être affichés (tous les rapports : 2> rapport.txt)" \
  "Récapitulatif : 5000 lignes en échec sur 5000 comparées, la première à la ligne #1 (trace)" \
  "non affichés : 4980 échecs après les 20 premiers rapports"
scenario ordre 20 attendu.resultat test.txt juste.resultat -- \
  "attention : aucune ligne de test ne commence par trace, localiser, presences, frequentations ou duree_rencontres : les fichiers sont-ils dans l'ordre test, attendu, testé ?"
scenario blanc 0 blanc.txt attendu.resultat juste.resultat -- \
  "Récapitulatif : aucun échec, 299 lignes comparées qui concordent" \
  "attention : la validation s'est arrêtée à la ligne #300 du fichier de test, qui est vide ; 700 lignes (13 721 octets) qui la suivent n'ont pas été lues"
scenario en-trop 0 test.txt attendu.resultat long.resultat -- \
  "attention : le fichier testé a des lignes après la ligne #1000, la dernière du fichier de test : elles n'ont pas été comparées"
scenario attendu-court 3 test.txt attendu-court.resultat juste.resultat -- \
  "… 397 lignes suivantes (#604 à #1000) en échec pour la même cause (fin du fichier attendu)" \
  "attention : le fichier des résultats attendus s'arrête après la ligne #600, avant la fin du fichier de test"

# Lines that look identical: each gets its hint.
printf 'trace %s\n' 1 2 3 4 5 6 >test-indices.txt
printf '%b\n' 'caf\xc3\xa9' 'Zo\xc3\xa9' '\xc3\xa9t\xc3\xa9' '3.14' 'a b' 'x' >attendu-indices.resultat
printf '%b\n' '\xef\xbb\xbfcaf\xc3\xa9' 'ZO\xc3\x89' '\xe9t\xe9' '3,14' 'a\xe2\x80\x8bb' 'x' >votre-indices.resultat
printf '%b\n' 'cafe\xcc\x81' 'Zo\xc3\xa9' '\xc3\x83\xc2\xa9t\xc3\x83\xc2\xa9' >nfd.resultat
scenario indices 5 test-indices.txt attendu-indices.resultat votre-indices.resultat -- \
  "indice : indicateur d'ordre des octets U+FEFF (BOM) au début du fichier testé" \
  "indice : seule la casse des lettres diffère" \
  "lue en Windows-1252, elle concorde avec l'attendue : sortie en Latin-1 / Windows-1252 ?" \
  "indice : virgule décimale dans la ligne obtenue là où l'attendue a un point" \
  "U+200B espace sans chasse"
scenario nfd 5 test-indices.txt attendu-indices.resultat nfd.resultat -- \
  "accents décomposés (lettre puis accent combinant, NFD) dans la ligne obtenue" \
  "texte encodé deux fois en UTF-8 dans la ligne obtenue"

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
