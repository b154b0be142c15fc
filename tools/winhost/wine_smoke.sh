#!/usr/bin/env bash
# Runs 32-bit Windows programs of the Windows build under Wine on a virtual X display:
# each CHECK-EXE first (no arguments, exit 0), then the smoke host on the module with
# the synthetic game data. The Wine prefix and the HOME Wine sees live in WORK-DIR; the
# prefix is made once and kept.
#   wine_smoke.sh WORK-DIR DLL HOST-EXE GAME-FOLDER PORTAL-FOLDER [CHECK-EXE...]
set -euo pipefail
# The whole run, Xvfb and Wine's start included: a host that hangs (a modal box, a
# loader that never ends) fails here instead of stalling CI.
limit_seconds=600

if [ "${1:-}" != --inside ]; then
  [ $# -ge 5 ] || { echo "usage: $0 WORK-DIR DLL HOST-EXE GAME-FOLDER PORTAL-FOLDER [CHECK-EXE...]" >&2; exit 2; }
  work=$(mkdir -p "$1" && cd "$1" && pwd)
  source "$(dirname "$0")/../locks.sh"
  take_lock_file "$work/wineprefix.lock" "the Wine prefix $work/wineprefix" "the smoke run"
  export WINEPREFIX="$work/wineprefix" HOME="$work/wine-home"
  # No debug channels; no offer to install Mono or Gecko, which nothing here uses; no
  # debugger to hold a crashed host until the time limit: the host ends at once.
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  mkdir -p "$HOME"
  # DirectSound opens the default ALSA device: the null one plays into nothing.
  printf 'pcm.!default {\n  type null\n}\n' >"$HOME/.asoundrc"
  exec timeout "$limit_seconds" xvfb-run -a "$0" --inside "$@"
fi
shift
dll=$2 host=$3 data=$4 portal=$5
shift 5

source "$(dirname "$0")/wine_prefix.sh"
# No sound server runs here: ALSA is asked, not PulseAudio (the scripted plays in the
# same prefix ask their own server).
wine_setting 'HKCU\Software\Wine\Drivers' Audio alsa
# DirectDraw on the GDI renderer, as every run in the prefix: the smoke host counts the
# colours the window shows, which it reads back from the screen.
wine_setting 'HKCU\Software\Wine\Direct3D' renderer gdi

status=0
for check in "$@"; do
  echo "== wine $(basename "$check")"
  wine "$check" || status=1
done
echo "== wine $(basename "$host") $(basename "$dll")"
start=$SECONDS
log=$(mktemp)
trap 'rm -f "$log"' EXIT
host_status=0
wine "$host" "$(windows_file "$dll")" "$(windows_folder "$data")" "$(windows_folder "$portal")" >"$log" 2>&1 ||
  host_status=$?
tr -d '\r' <"$log"
echo "smoke run: $((SECONDS - start)) s"
wineserver -w
# The host says what it saw in one line at its end; without it the host did not finish,
# whatever its status (a crash's status is the exception's code cut to a byte).
if [ $host_status != 0 ]; then
  echo "the smoke host failed: exit status $host_status$(grep -q 'Unhandled' "$log" && echo ', a crash')"
  status=1
elif ! grep -q '^dorvik2-winhost: ordinals 1-7, ' "$log"; then
  echo "the smoke host ended without its summary line"
  status=1
fi
exit $status
