#!/usr/bin/env bash
# The verdict on a play failed twice: the load's failures pass only when both plays
# failed by their sounds' times alone and missed no sound in common.
#   replay_verdict_test.sh tools/winhost/replay_verdict.sh
set -uo pipefail
verdict=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

# log FILE [CHANGE...]: a play's log whose checks all passed but the onsets given
# ("MS" for an onset missed); "frames" makes a checkpoint differ, "key" shows key colour,
# "host" fails the Windows play itself, "another" hears a sound as another, "stray" one
# the script does not store.
log() {
  local file=$1 host='the Windows play passed' frames=0 key=0 another=0 stray=0
  shift
  {
    for change in "$@"; do
      case $change in
        host) host='line 32 at 20411 ms: no command came' ;;
        frames) frames=1 ;;
        key) key=40 ;;
        another) another=1 ;;
        stray) stray=1 ;;
      esac
    done
    echo "$host"
    echo "frames: $frames of 5 checkpoints differ outside text"
    echo "frames: $key pixels of the key colour in 0 of 5 checkpoints"
    echo "sound: 92 onsets headless, 92 heard; 90 of 92 within 100 ms"
    for change in "$@"; do
      [[ $change =~ ^[0-9]+$ ]] && echo "  onset at $change ms: none heard from -100 to +100 ms; the nearest 314 ms off"
    done
    echo "sound: of the script's 96 sounds 80 heard as themselves, 16 mixes judged by their time, 0 heard as no" \
      "sound (at most a quarter of those heard as themselves), $another heard as another; $stray onsets of none"
    [ $((another + stray)) != 0 ] || echo "sound: every sound heard is the script's"
    echo "script failed"
  } >"$tmp/$file"
}
# judged WANT-EXIT WANT-TEXT: the verdict on first.log and again.log.
judged() {
  local out code
  out=$(bash "$verdict" "$tmp/first.log" "$tmp/again.log" 01-32)
  code=$?
  [ "$code" = "$1" ] && grep -qF -- "$2" <<<"$out" || { echo "FAIL: exit $code, wanted $1 and \"$2\": $out"; fail=1; }
}

log first.log 31454 40210
log again.log 18857
judged 0 "each play missed other sounds' times"

# The same sound late in both: a fault's sign, whatever else each play missed.
log again.log 18857 31454
judged 1 "the sounds at 31454 ms missed in both plays"
log again.log 314540
judged 0 "the machine's load"
# Times of other digit counts around the one in common: compared as the texts they are.
log first.log 9000 31454
log again.log 31454 100000
judged 1 "the sounds at 31454 ms missed in both plays"

# Anything besides the sounds' times fails, in either play.
for other in host frames key another stray; do
  log first.log 31454
  log again.log 18857 "$other"
  judged 1 "again.log failed by more than its sounds' times"
  log first.log 31454 "$other"
  log again.log 18857
  judged 1 "first.log failed by more than its sounds' times"
done
# A play that failed and missed no sound failed by something else.
log first.log
log again.log 18857
judged 1 "first.log failed by more than its sounds' times"

[ $fail = 0 ] && echo "replay verdicts: ok"
exit $fail
