#!/usr/bin/env bash
# Installs the build into a temporary prefix and, through the Debian package,
# into a temporary root; the installed valideur and valideur-classe must
# answer the examples as the built ones do, both installed manual pages must
# render and lint clean, and lintian must find no error or warning in the
# package.
set -u
construction=$1
source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
echecs=0
# The manual page is checked as rendered in UTF-8, whatever the caller's locale.
export LC_ALL=C.UTF-8
echouer() { echo "ÉCHEC $*"; echecs=$((echecs + 1)); }

lancer() { # program, output folder
  mkdir -p "$2"
  "$1" "$source/exemples/test.txt" "$source/exemples/attendu.resultat" \
       "$source/exemples/votre.resultat" >"$2/sortie" 2>"$2/erreurs"
  echo $? >"$2/statut"
}

cmake --install "$construction" --prefix "$tmp/prefixe" >/dev/null || echouer "cmake --install"
( cd "$construction" && cpack -G DEB -B "$tmp/paquet" ) >"$tmp/cpack.log" 2>&1 \
  || echouer "cpack: $(cat "$tmp/cpack.log")"
paquet=$(ls "$tmp"/paquet/valideur_*.deb 2>/dev/null | head -n 1)
[ -n "$paquet" ] && dpkg-deb -x "$paquet" "$tmp/racine" || echouer "dpkg-deb -x"

lancer_classe() { # program, output folder
  mkdir -p "$2"
  "$1" --lignes "$2/lignes" "$source/exemples/test.txt" "$source/exemples/attendu.resultat" \
       "$source/exemples/votre.resultat" >"$2/sortie" 2>"$2/erreurs"
  echo $? >"$2/statut"
  sed -i "s|$2/lignes|LIGNES|" "$2/erreurs"
}

lancer "$construction/valideur" "$tmp/reference"
lancer_classe "$construction/valideur-classe" "$tmp/reference-classe"
for racine in "$tmp/prefixe" "$tmp/racine/usr"; do
  lancer "$racine/bin/valideur" "$tmp/obtenu"
  lancer_classe "$racine/bin/valideur-classe" "$tmp/obtenu-classe"
  for f in sortie erreurs statut; do
    cmp -s "$tmp/reference/$f" "$tmp/obtenu/$f" || echouer "$racine/bin/valideur: $f diffère"
  done
  for f in sortie erreurs statut lignes; do
    cmp -s "$tmp/reference-classe/$f" "$tmp/obtenu-classe/$f" \
      || echouer "$racine/bin/valideur-classe: $f diffère"
  done
done

if [ -n "$paquet" ]; then
  for champ in Package Version Maintainer Depends Description; do
    [ -n "$(dpkg-deb -f "$paquet" "$champ")" ] || echouer "champ $champ vide"
  done
  command -v lintian >/dev/null || echouer "lintian absent : apt-get install lintian"
  remarques=$(lintian "$paquet" 2>&1 | grep -E '^[EW]: ')
  [ -z "$remarques" ] || echouer "lintian:"$'\n'"$remarques"
fi

for partage in "$tmp/prefixe/share" "$tmp/racine/usr/share"; do
  for f in bash-completion/completions/valideur bash-completion/completions/valideur-classe \
           doc/valideur/copyright doc/valideur/changelog.gz; do
    [ -s "$partage/$f" ] || echouer "$partage/$f absent"
  done
done

for racine in "$tmp/prefixe/share/man" "$tmp/racine/usr/share/man"; do
  for programme in valideur valideur-classe; do
    page="$racine/man1/$programme.1.gz"
    avertissements=$(zcat "$page" | groff -k -man -Tutf8 -ww -z 2>&1; mandoc -Tlint "$page" 2>&1)
    [ -z "$avertissements" ] || echouer "groff, mandoc ($programme): $avertissements"
    for locale in C.UTF-8 C; do
      LC_ALL=$locale MANPATH="$racine" MANWIDTH=80 man -P cat $programme 2>"$tmp/man-erreurs" \
        | grep -q 'STATUT DE SORTIE' || echouer "man $programme ($racine, $locale)"
      [ ! -s "$tmp/man-erreurs" ] || echouer "man $programme ($locale): $(cat "$tmp/man-erreurs")"
    done
    man -l "$page" 2>/dev/null | grep -q '^NOM' || echouer "man -l $page"
  done
done

# Quoted messages and option names are never hyphenated nor split, whatever
# the width of the terminal.
for largeur in $(seq 40 80); do
  rendu=$(MANWIDTH=$largeur man -l "$tmp/prefixe/share/man/man1/valideur.1.gz" 2>&1)
  for texte in '“Erreur ouverture ”' '“Erreur lecture ”' '“Erreur écriture”' '“Erreur mémoire”' \
               '“(même fichier que ”' '“[… 149 937 octets …]”' \
               '-quiet' '-silence' '-corrige' 'frequentations' 'duree_rencontres' 'attendu.resultat'; do
    grep -qF -- "$texte" <<<"$rendu" || echouer "man à $largeur colonnes : « $texte » coupé"
  done
done

[ $echecs -eq 0 ] && echo "installation: ok"
exit $((echecs > 0))
