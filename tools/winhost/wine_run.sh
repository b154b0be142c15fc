#!/usr/bin/env bash
# Plays a game script through Dorvik2.dll with the Windows test host under Wine, on a
# virtual X display of the given depth, and records what DirectSound played as it is
# heard: Wine's PulseAudio driver plays into a null sink of a PulseAudio server started
# for the run (in the run's own HOME and runtime folder), which consumes the stream in
# real time, and parecord writes the sink's monitor to a WAV file. The Wine prefix and
# the HOME Wine sees live in WORK-DIR; the prefix is made once and kept, with DirectDraw
# on Wine's GDI renderer, under which a windowed picture can be read back from the screen.
#   wine_run.sh WORK-DIR DEPTH(32|16) DLL WINRUN-EXE GAME-FOLDER PORTAL-FOLDER SCRIPT OUT-DIR [--threaded]
# The host's record goes into OUT-DIR, the sound into OUT-DIR/sound.wav.
set -euo pipefail
# Xvfb, Wine's start and a whole game: a host that hangs fails here instead of stalling CI.
limit_seconds=600

if [ "${1:-}" != --inside ]; then
  [ $# -ge 8 ] || { echo "usage: $0 WORK-DIR DEPTH DLL WINRUN-EXE GAME PORTAL SCRIPT OUT-DIR [--threaded]" >&2; exit 2; }
  work=$(mkdir -p "$1" && cd "$1" && pwd)
  depth=$2
  out=$(mkdir -p "$8" && cd "$8" && pwd)
  source "$(dirname "$0")/../locks.sh"
  take_lock_file "$work/wineprefix.lock" "the Wine prefix $work/wineprefix" "a play into $out"
  # The sound server's home and runtime folder, and the virtual display's temporary files,
  # are this run's own, removed as it ends however it ends (a stopped xvfb-run leaves its
  # folder behind).
  own=$(mktemp -d "$work/run-XXXXXX")
  export WINEPREFIX="$work/wineprefix" HOME="$own/home" TMPDIR="$own/tmp"
  mkdir -p "$TMPDIR"
  trap 'rm -rf -- "$own"' EXIT
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  source "$(dirname "$0")/wine_locale.sh"
  # WINE_RUN_LANG=LOCALE runs the host on a system of another code page instead (the
  # module's texts must reach the host the same).
  [ -n "${WINE_RUN_LANG:-}" ] && export LANG=$WINE_RUN_LANG
  mkdir -p "$HOME"
  # A new prefix is made before the sound is recorded: its making (some 15 s) would stand
  # between the recording's start and the game's first sound, beyond the latency the
  # comparison looks for.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    xvfb-run -a bash -c 'source "$1"' prefix "$(dirname "$0")/wine_prefix.sh"
  fi
  rm -f "$out/sound.wav"
  # The sound server of this run alone: its socket in the run's runtime folder, no
  # autospawned server of the user's.
  export XDG_RUNTIME_DIR="$HOME/runtime"
  export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
  mkdir -p "$XDG_RUNTIME_DIR" "$HOME/.config/pulse"
  chmod 700 "$XDG_RUNTIME_DIR"
  echo "autospawn = no" >"$HOME/.config/pulse/client.conf"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-target="file:$out/pulseaudio.log" \
    -L module-native-protocol-unix -L "module-null-sink sink_name=heard rate=44100 channels=2" &
  server=$!
  for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  pactl info >/dev/null 2>&1 || { cat "$out/pulseaudio.log"; echo "the sound server did not start"; kill "$server"; exit 1; }
  parecord -d heard.monitor --rate=44100 --channels=2 --format=s16le --file-format=wav "$out/sound.wav" &
  recorder=$!
  # parecord finishes the WAV's header when interrupted.
  stop_sound() {
    kill -INT "$recorder" 2>/dev/null && wait "$recorder" || true
    kill "$server" 2>/dev/null && wait "$server" || true
    rm -rf -- "$own"
  }
  trap stop_sound EXIT
  # An interrupt ends the play whole: timeout keeps its command in a process group of its
  # own, which a terminal's ctrl-C does not reach, and wineserver outlives its programs.
  player=""
  interrupted() {
    # Said on stderr: the pipe that took the play's lines may be gone with its reader.
    trap '' INT TERM PIPE
    echo "the Wine play was interrupted ($1): ending Wine and the virtual display" >&2
    [ -z "$player" ] || kill -TERM "$player" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
    [ -z "$player" ] || wait "$player" 2>/dev/null || true
    exit "$2"
  }
  trap 'interrupted SIGINT 130' INT
  trap 'interrupted SIGTERM 143' TERM
  # A 32-bit desktop is X's depth 24 (32 bits a pixel); a 16-bit one is depth 16 (565).
  xdepth=$depth
  [ "$depth" = 32 ] && xdepth=24
  status=0
  # Waited for, not run in the foreground: the wait is what an interrupt breaks.
  timeout "$limit_seconds" xvfb-run -a -s "-screen 0 1024x768x$xdepth" "$0" --inside "$@" &
  player=$!
  wait "$player" || status=$?
  player=""
  exit $status
fi
shift
dll=$3 host=$4 data=$5 portal=$6 script=$7 out=$8
shift 8

source "$(dirname "$0")/wine_prefix.sh"
# The prefix is shared with the smoke run, which plays into ALSA's null device.
wine_setting 'HKCU\Software\Wine\Drivers' Audio pulse
# The screen shows what DirectDraw presents only under the GDI renderer.
wine_setting 'HKCU\Software\Wine\Direct3D' renderer gdi

# WINE_RUN_DESKTOP=WxH runs the host inside Wine's virtual desktop of that size, whose
# display modes a program can change (Xvfb's one screen has a single mode). The desktop
# is the program's own setting, not explorer's /desktop= (which answers with its own
# status and not the host's).
if [ -n "${WINE_RUN_DESKTOP:-}" ]; then
  wine_setting "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$host")\\Explorer" Desktop dorvik2
  wine_setting 'HKCU\Software\Wine\Explorer\Desktops' dorvik2 "$WINE_RUN_DESKTOP"
fi
status=0
wine "$host" "$(windows_file "$dll")" "$(windows_folder "$data")" "$(windows_folder "$portal")" \
  "$(windows_file "$script")" "$(windows_path "$out")" "$@" || status=$?
wineserver -w
exit $status
