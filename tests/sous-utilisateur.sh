# Sourced by the sandbox's tests started as root: runs the test script
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
  chmod 755 "$dossier/valideur-classe" "$dossier/$nom"
  ( cd "$dossier" && VALIDEUR_SOUS_UTILISATEUR=1 setpriv --reuid=nobody --regid=nogroup --clear-groups \
    bash "$dossier/$nom" "$dossier/valideur-classe" "$dossier" )
  statut=$?
  rm -rf "$dossier"
  return $statut
}
