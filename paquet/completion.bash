# Bash completion for valideur: after a hyphen, its five options; otherwise
# file names, since every other argument is a path.
_valideur() {
  local mot=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if [[ $mot == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '-q -quiet -silence -c -corrige' -- "$mot")
  else
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -f -- "$mot")
  fi
}
complete -F _valideur valideur
