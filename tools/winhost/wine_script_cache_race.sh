#!/usr/bin/env bash
# Runs script-cache-race.exe under Wine on a virtual X display: three threads of a fresh
# process shaping their edits' texts at once, RUNS times (see the program's comment).
#   wine_script_cache_race.sh WORK-DIR EXE [RUNS]
set -euo pipefail
limit_seconds=1200

if [ "${1:-}" != --inside ]; then
  [ $# -ge 2 ] || { echo "usage: $0 WORK-DIR EXE [RUNS]" >&2; exit 2; }
  work=$(mkdir -p "$1" && cd "$1" && pwd)
  source "$(dirname "$0")/../locks.sh"
  take_lock_file "$work/wineprefix.lock" "the Wine prefix $work/wineprefix" "the script cache race"
  export WINEPREFIX="$work/wineprefix" HOME="$work/wine-home" WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  mkdir -p "$HOME"
  exec timeout "$limit_seconds" xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$@"
fi
shift
exe=$2
source "$(dirname "$0")/wine_prefix.sh"
status=0
wine "$exe" ${3:+"$3"} || status=$?
wineserver -w
exit $status
