#!/usr/bin/env bash
# A scripted game through the real module: the headless run of the script (plain, and
# with its texts as marked cells, for the places where text is drawn), then the Windows
# test host's run of it under Wine, then the two compared: each checkpoint's pixels
# outside text, and when the effects are heard. Prints the record's paths and
# "script passed" when the script passed under Windows, every checkpoint agrees with the
# headless frame outside text (cards a pixel or two apart agree: the module jitters them
# from a seed each system takes from its own clock), no capture shows a pixel of the
# transparent key colour (text places included), and every effect the headless run
# sounded is heard within 100 ms of its moment, once the latency between the two
# recordings is taken off, or as much later as the Windows host measured its input and
# the game's ticks late there, and is the sound the script stores there (a voice: any
# variant of its line; a sound over another is judged by its time alone), and no sound is
# heard that the script does not store; its last line is "script failed" otherwise,
# whatever stage failed.
#   play_windows.sh BUILD WIN-BUILD SCRIPT OUT-DIR DEPTH(32|16) [--threaded]
set -euo pipefail
# The verdict is the last line, whichever step ends the play.
# (Said quietly: an interrupt may have ended the reader of its lines.)
trap 'if [ $? = 0 ]; then echo "script passed"; else echo "script failed"; fi 2>/dev/null' EXIT
build=$1 win=$2 script=$3 out=$4 depth=$5
shift 5
here=$(cd "$(dirname "$0")" && pwd)
cached() { sed -n "s/^$1:INTERNAL=//p" "$build/CMakeCache.txt"; }
data=$(cached DORVIK_GAME_DATA_DIR)
portal=$(cached DORVIK_GAME_PORTAL_DIR)
desktop=32
[ "$depth" = 16 ] && desktop=565
mkdir -p "$out"
out=$(cd "$out" && pwd)
# The headless play checks the checkpoints' hashes for that desktop.
headless=(--module "$build/Dorvik2.so" --data "$data" --portal "$portal" --script "$script" --desktop "$desktop")
failed() {
  cat "$1"
  echo "$2"
  exit 1
}
start=$SECONDS
"$build/tools/testhost/dorvik2-run" "${headless[@]}" --out-dir "$out/headless" >"$out/headless.log" 2>&1 ||
  failed "$out/headless.log" "the headless run failed"
"$build/tools/testhost/dorvik2-run" "${headless[@]}" --out-dir "$out/headless-text-cells" --mark-text-cells \
  >"$out/headless-text-cells.log" 2>&1 || failed "$out/headless-text-cells.log" "the headless run with text cells failed"
# Only the marked run's frames are read: its sound is the plain run's again.
rm -f "$out/headless-text-cells/sound.wav"
echo "headless runs: $((SECONDS - start)) s ($out/headless)"
# The voice set the headless world drew from its virtual clock, which a real clock
# cannot repeat: the Windows host starts with it stored.
voice=$(sed -n 's/.*host Send(-1, 1, \[02 00 00 00 \([0-9A-F][0-9A-F]\).*/\1/p' "$out/headless/transcript.txt" | head -1)
options=()
[ -n "$voice" ] && options=(--option "Option_Voice=$((16#$voice))")
start=$SECONDS
status=0
# Wine's console ends its lines with a carriage return, and names the record's files on
# its Z: drive: both go before a line is kept or shown. The host's own verdict on the
# script ("<script path>: script passed", whatever the script's name) is shown as "the
# Windows play passed" (or failed, with the reason), since the run's verdict comes last,
# after the comparison.
bash "$here/wine_run.sh" "$win" "$depth" "$win/Dorvik2.dll" "$win/tools/winhost/dorvik2-winrun.exe" "$data" "$portal" \
  "$script" "$out" "${options[@]}" "$@" | tr -d '\r' |
  sed -e '/Z:\\/{s/Z:\\/\//g;s/\\/\//g}' -e 's/^\/.*: script \(passed\|failed\)/the Windows play \1/' |
  tee "$out/winrun.log" || status=1
grep -qx 'the Windows play passed' "$out/winrun.log" || status=1
echo "wine run: $((SECONDS - start)) s"
echo "sound: $out/sound.wav"
"$build/tools/testhost/dorvik2-compare" frames "$out/headless" "$out/headless-text-cells" "$out" || status=1
"$build/tools/testhost/dorvik2-compare" sound "$out/headless/sound.wav" "$out/sound.wav" 100 \
  --lateness "$out/sound-lateness.txt" --script "$script" --sounds "$data/GameSound" || status=1
echo "record: $out ($(du -sh "$out" | cut -f1))"
exit $status
