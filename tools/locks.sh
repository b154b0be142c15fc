# Sourced by the commands that build or run Wine: one command at a time in a build folder
# or a Wine prefix. Two builds in one folder overwrite each other's objects halfway (a
# compiler then crashes on a file the other one is writing), and two Wine runs in one
# prefix share its wineserver across two virtual displays; the second one waits, told
# which command holds it.

# take_lock_file FILE WHAT WHO: holds the lock of FILE until the shell and what it started
# end, or release_lock_file FILE; a second taker is told that WHO holds WHAT.
declare -A lock_file_fds=()
take_lock_file() {
  local file=$1 fd held
  exec {fd}>>"$file"
  if ! flock -n "$fd"; then
    held=$(cat -- "$file" 2>/dev/null || true)
    echo "waiting for $2: ${held:-another command} is using it" >&2
    flock "$fd"
  fi
  printf '%s (process %s, since %s)\n' "$3" "$$" "$(date '+%F %T')" >"$file"
  lock_file_fds[$file]=$fd
}
release_lock_file() {
  local fd=${lock_file_fds[$1]:-}
  [ -n "$fd" ] || return 0
  : >"$1"
  exec {fd}>&-
  unset "lock_file_fds[$1]"
}
# take_build_lock FOLDER WHO: the lock of a build folder (made when missing).
take_build_lock() {
  mkdir -p -- "$1"
  take_lock_file "$1/.dorvik2-build-lock" "$1" "$2"
}
release_build_lock() { release_lock_file "$1/.dorvik2-build-lock"; }
