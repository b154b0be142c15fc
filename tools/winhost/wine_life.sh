#!/usr/bin/env bash
# The life test under Wine: the life host loads, plays and unloads Dorvik2.dll many times
# in one process on a virtual X display of the given depth, on the game folder and on a
# copy of it with a picture missing; a DirectDraw surface or clipper, or a DirectSound
# buffer, made and never released by the process's end fails the run here too.
#   wine_life.sh WORK-DIR DEPTH(32|16) DLL LIFE-EXE GAME-FOLDER PORTAL-FOLDER ROOM-SCRIPT BOX-SCRIPT [LIFE-ARGS...]
set -euo pipefail
limit_seconds=600

if [ "${1:-}" != --inside ]; then
  [ $# -ge 8 ] || { echo "usage: $0 WORK-DIR DEPTH DLL LIFE-EXE GAME PORTAL ROOM-SCRIPT BOX-SCRIPT [ARGS...]" >&2; exit 2; }
  work=$(mkdir -p "$1" && cd "$1" && pwd)
  depth=$2
  source "$(dirname "$0")/../locks.sh"
  take_lock_file "$work/wineprefix.lock" "the Wine prefix $work/wineprefix" "the life test"
  export WINEPREFIX="$work/wineprefix" HOME="$work/wine-home"
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  mkdir -p "$HOME"
  printf 'pcm.!default {\n  type null\n}\n' >"$HOME/.asoundrc"
  xdepth=$depth
  [ "$depth" = 32 ] && xdepth=24
  exec timeout "$limit_seconds" xvfb-run -a -s "-screen 0 1024x768x$xdepth" "$0" --inside "$@"
fi
shift
dll=$3 host=$4 data=$5 portal=$6 room=$7 box=$8
shift 8

source "$(dirname "$0")/wine_prefix.sh"
wine_setting 'HKCU\Software\Wine\Drivers' Audio alsa
# DirectDraw on the GDI renderer, as every run in the prefix: what the system keeps of a
# display device (the heap bound's allowance) differs from one renderer to another.
wine_setting 'HKCU\Software\Wine\Direct3D' renderer gdi
log=$(mktemp)
# The game folder with a card picture missing, as links to the real one: the scene build
# fails on it.
broken=$(mktemp -d)
trap 'rm -f "$log"; rm -rf "$broken"' EXIT
cp -rs "$(cd "$data" && pwd)/." "$broken/"
rm "$broken/GameImage/Hwatoo/normal.bmp"
status=0
start=$SECONDS
# DirectDraw's and DirectSound's trace channels note each object made and each gone; the
# other channels stay quiet.
WINEDEBUG=-all,+ddraw,+dsound wine "$host" "$(windows_file "$dll")" "$(windows_folder "$data")" "$(windows_folder "$portal")" \
  "$(windows_file "$room")" "$(windows_file "$box")" --broken-game "$(windows_folder "$broken")" "$@" 2>"$log" ||
  status=$?
wineserver -w
# The host's own complaints, without Wine's channels.
grep -Ev '^[0-9a-f]{4}:(fixme|err|warn|trace):' "$log" >&2 || true
echo "life run: $((SECONDS - start)) s, exit code $status"
# Every object the module's wrappers make (the host's own too) is gone once its last
# reference goes: OBJECTS MADE-TRACE GONE-TRACE. (The module makes no DirectDraw palette;
# its GDI palettes are in the host's GDI count.)
objects() {
  local made gone
  made=$(grep -c "$2" "$log" || true)
  gone=$(grep -c "$3" "$log" || true)
  echo "$1: $made made, $gone released, $((made - gone)) still referenced at the end"
  [ "$made" = "$gone" ] || status=1
}
objects "DirectDraw surfaces" ':ddraw:ddraw_surface_create ddraw ' ':ddraw:ddraw_surface_cleanup '
objects "DirectDraw clippers" ':ddraw:DirectDrawCreateClipper Created clipper ' \
  ':ddraw:ddraw_clipper_Release [0-9A-F]* decreasing refcount to 0\.'
objects "DirectSound buffers" ':dsound:secondarybuffer_create Created buffer at ' ':dsound:secondarybuffer_destroy .* released'
# A primary buffer is counted by its own last release, not by its device's end: two
# DirectSound objects of one device that ask for it at the same moment may each get one
# of their own under Wine 8 (one after the other they share one), which both go when
# released, while the device they share ends once (primary-buffer-race.exe shows it).
objects "DirectSound primary buffers" ':dsound:primarybuffer_create Created primary buffer at ' \
  ':dsound:PrimaryBufferImpl_Release ([0-9A-F]*) primary ref 0$'
exit $status
