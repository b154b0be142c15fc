#!/usr/bin/env bash
# The verdict on a Windows play that failed twice: a loaded machine puts a few sounds off
# by a few tenths of a second, other ones each play (its player's latency wanders, early
# as well as late), while a fault puts off the same ones each time. Two plays that failed
# by their sounds' times alone, every other check passing (each sound heard is the one
# stored, none heard that is not), pass when no sound was missed by both; anything else
# fails.
#   replay_verdict.sh FIRST-LOG AGAIN-LOG NAME
# Exit 0 with the reason when the two failures are the load's, 1 with the reason if not.
set -uo pipefail
first=$1 again=$2 name=$3

sounds_alone() {
  grep -qx 'the Windows play passed' "$1" && grep -q '^frames: 0 of [0-9]* checkpoints differ outside text$' "$1" &&
    grep -q '^frames: 0 pixels of the key colour' "$1" && grep -q '^  onset at [0-9]* ms: none heard' "$1" &&
    grep -qx "sound: every sound heard is the script's" "$1"
}
missed() { sed -n 's/^  onset at \([0-9]*\) ms: none heard.*/\1/p' "$1" | sort -u; }

for log in "$first" "$again"; do
  sounds_alone "$log" || { echo "== $name: $log failed by more than its sounds' times"; exit 1; }
done
both=$(comm -12 <(missed "$first") <(missed "$again"))
if [ -n "$both" ]; then
  echo "== $name: the sounds at $(tr '\n' ' ' <<<"$both")ms missed in both plays"
  exit 1
fi
echo "== $name: each play missed other sounds' times, every other check passing: the machine's load"
