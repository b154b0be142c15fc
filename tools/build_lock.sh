# Sourced by the commands that build: one command at a time builds in a build folder.
# Two builds in one folder overwrite each other's objects halfway (a compiler then
# crashes on a file the other one is writing), so the second waits, saying which holds it.

# take_build_lock FOLDER WHO: holds the lock of FOLDER (made when missing) until the shell
# ends or release_build_lock FOLDER; WHO is what a waiting command is told.
declare -A build_lock_fds=()
take_build_lock() {
  local folder=$1 who=$2 file fd held
  mkdir -p -- "$folder"
  file=$folder/.dorvik2-build-lock
  exec {fd}>>"$file"
  if ! flock -n "$fd"; then
    held=$(cat -- "$file" 2>/dev/null || true)
    echo "waiting for $folder: ${held:-another command} builds or tests in it" >&2
    flock "$fd"
  fi
  printf '%s, process %s, since %s\n' "$who" "$$" "$(date '+%F %T')" >"$file"
  build_lock_fds[$folder]=$fd
}
release_build_lock() {
  local fd=${build_lock_fds[$1]:-}
  [ -n "$fd" ] || return 0
  : >"$1/.dorvik2-build-lock"
  exec {fd}>&-
  unset "build_lock_fds[$1]"
}
