# Sourced by the sandbox's tests. commencerEssai counts failures (echouer
# says one on the test's standard output) and, as root, runs the test script
# again as an unprivileged user, on copies of it and of the program in a
# folder that user can read (the build and source folders may be closed to
# it). Its arguments there: the program's copy and that folder.
relancerSousUtilisateur() { # script, program
  local dossier nom statut
  dossier=$(mktemp -d)
  nom=$(basename "$1")
  chmod 755 "$dossier"
  cp "$2" "$dossier/valideur-classe"
  cp "$1" "$dossier/$nom"
  cp "${BASH_SOURCE[0]}" "$dossier/sous-utilisateur.sh"
  chmod 755 "$dossier/valideur-classe" "$dossier/$nom" "$dossier/sous-utilisateur.sh"
  ( cd "$dossier" && VALIDEUR_SOUS_UTILISATEUR=1 setpriv --reuid=nobody --regid=nogroup --clear-groups \
    bash "$dossier/$nom" "$dossier/valideur-classe" "$dossier" )
  statut=$?
  rm -rf "$dossier"
  return $statut
}

commencerEssai() { # script, program
  echecs=0
  exec 3>&1
  echouer() { echo "ÉCHEC $*" >&3; echecs=$((echecs + 1)); }
  if [ "$(id -u)" = 0 ] && [ -z "${VALIDEUR_SOUS_UTILISATEUR:-}" ]; then
    relancerSousUtilisateur "$1" "$2" || echecs=$((echecs + 1))
  fi
}
