#!/usr/bin/env bash
# Runs the seam's conformance suite (seam_tests.exe) under Wine on a virtual X display
# at each depth asked (32, then 16 by default), failing when any check fails at any
# depth. The Wine prefix and the HOME Wine sees live in WORK-DIR; the prefix is made
# once and kept, and shared with the other Wine runs.
#   wine_seam.sh WORK-DIR SEAM-EXE [DEPTH...] [-- GOOGLETEST-FLAGS...]
set -euo pipefail
# One depth's run, Xvfb and Wine's start included: a check that hangs fails here.
limit_seconds=300

if [ "${1:-}" != --inside ]; then
  [ $# -ge 2 ] || { echo "usage: $0 WORK-DIR SEAM-EXE [DEPTH...] [-- GOOGLETEST-FLAGS...]" >&2; exit 2; }
  work=$(mkdir -p "$1" && cd "$1" && pwd)
  exe=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
  shift 2
  depths=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do depths+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  [ ${#depths[@]} -gt 0 ] || depths=(32 16)
  source "$(dirname "$0")/../locks.sh"
  take_lock_file "$work/wineprefix.lock" "the Wine prefix $work/wineprefix" "the seam suite"
  export WINEPREFIX="$work/wineprefix" HOME="$work/wine-home-seam"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  source "$(dirname "$0")/wine_locale.sh"
  mkdir -p "$HOME"
  # DirectSound opens the default ALSA device: the null one takes what is played.
  printf 'pcm.!default {\n  type null\n}\n' >"$HOME/.asoundrc"
  status=0
  for depth in "${depths[@]}"; do
    # A 32-bit desktop is X's depth 24 (32 bits a pixel); a 16-bit one is depth 16 (5-6-5).
    xdepth=$depth
    [ "$depth" = 32 ] && xdepth=24
    echo "== seam_tests under Wine at $depth bits"
    start=$SECONDS
    timeout "$limit_seconds" xvfb-run -a -s "-screen 0 1024x768x$xdepth" "$0" --inside "$exe" "$depth" "$@" ||
      { echo "seam_tests failed at $depth bits"; status=1; }
    echo "seam run at $depth bits: $((SECONDS - start)) s"
  done
  # The code page checks once more on a system whose ANSI code page is not Korean
  # (1252 under C.UTF-8), where a conversion through the system's own code page in
  # place of 949 would show; only on a whole run, not one a filter narrowed.
  if [ $# -eq 0 ]; then
    echo "== seam_tests' code page checks under Wine on a Western system (LANG=C.UTF-8)"
    LANG=C.UTF-8 timeout "$limit_seconds" xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$exe" 32 \
      --gtest_filter='SeamCodePage.*' || { echo "seam_tests' code page checks failed on a Western system"; status=1; }
  fi
  exit $status
fi
shift
exe=$1 depth=$2
shift 2

source "$(dirname "$0")/wine_prefix.sh"
# Sound into ALSA's null device, as the smoke and life runs; DirectDraw on the GDI
# renderer, as every run in the prefix, under which what a window shows can be read back
# from the screen.
wine_setting 'HKCU\Software\Wine\Drivers' Audio alsa
wine_setting 'HKCU\Software\Wine\Direct3D' renderer gdi
# The suite alone runs in a virtual desktop of Wine's: an X server without a window
# manager keeps one display mode, where a virtual desktop changes modes as a display
# does (the lost-surface checks need one), and it manages the windows itself, where the
# bare X server makes every destroyed active window wait two seconds for a manager.
wine_setting 'HKCU\Software\Wine\AppDefaults\seam_tests.exe\Explorer' Desktop seam
wine_setting 'HKCU\Software\Wine\Explorer\Desktops' seam 1024x768
# The module's faces, drawn from the font files the headless layer draws them from, so
# that the text extents are held to the same glyphs.
wine_setting 'HKCU\Software\Wine\Fonts\Replacements' 굴림 'Baekmuk Gulim' '\xad74\xb9bc'
wine_setting 'HKCU\Software\Wine\Fonts\Replacements' 돋움체 'Baekmuk Dotum' '\xb3cb\xc6c0\xccb4'

status=0
wine "$exe" "--depth=$depth" --gtest_brief=1 "$@" | tr -d '\r' || status=1
wineserver -w
exit $status
