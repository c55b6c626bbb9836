# Bash completion for valideur-classe: its options after a hyphen; after an
# option that takes a file, or elsewhere, file and folder names; nothing to
# offer for a pattern, a number of jobs, a share or a cap; Moodle's two
# languages; when Gradescope shows the hidden sets.
# Its lists are checked against the table of options (tests/options_test.cpp).
_valideur_classe() {
  local mot=${COMP_WORDS[COMP_CWORD]} precedent=${COMP_WORDS[COMP_CWORD-1]}
  COMPREPLY=()
  case $precedent in
    --motif|-j|--jobs|--part|--lignes-max|--executer|--construire|--temps|--temps-reel|--memoire|--processus|--sortie-max|--fichier-max|--espace) return ;;
    --moodle-langue) mapfile -t COMPREPLY < <(compgen -W 'fr en' -- "$mot"); return ;;
    --gradescope-visibilite) mapfile -t COMPREPLY < <(compgen -W 'after_published after_due_date' -- "$mot"); return ;;
  esac
  if [[ $mot == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '-o --sortie= --csv --bom --motif= -j --jobs= --lignes= --lignes-max= --lignes-toutes --bareme= --retours= --moodle= --moodle-langue= --moodle-feuille= --gradescope= --gradescope-metadonnees= --gradescope-visibilite= --junit= --html= --suivre-liens --part= --fusionner --executer= --construire= --jeux= --temps= --temps-reel= --memoire= --processus= --sortie-max= --fichier-max= --espace= --sans-bac-a-sable --sans-cgroups -h --help -V --version' -- "$mot")
    [[ ${COMPREPLY[0]-} == *= ]] && compopt -o nospace 2>/dev/null
  else
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$mot")
  fi
}
complete -F _valideur_classe valideur-classe
