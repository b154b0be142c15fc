# Sourced by the Wine runs before they start Wine: one run at a time in a Wine prefix.
# Two runs in one prefix share its wineserver across two virtual displays, and each then
# fails in ways that look like the game's; a second run waits, told which holds it.
#   take_prefix_lock WORK-DIR WHAT: held until the shell and what it started end.
take_prefix_lock() {
  local file=$1/wineprefix.lock held
  exec {prefix_lock_fd}>>"$file"
  if ! flock -n "$prefix_lock_fd"; then
    held=$(cat -- "$file" 2>/dev/null || true)
    echo "waiting for the Wine prefix $1/wineprefix: ${held:-another Wine run} uses it" >&2
    flock "$prefix_lock_fd"
  fi
  printf '%s, process %s, since %s\n' "$2" "$$" "$(date '+%F %T')" >"$file"
}
