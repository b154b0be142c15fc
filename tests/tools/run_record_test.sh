#!/usr/bin/env bash
# The run command on a built tree: a script its reader refuses stops the command (exit 2)
# before anything is written; a run that fails loses nothing (a record it would replace
# stays as it was, the failed one beside it; a --registry file stays as it was); a run
# that passes replaces the record whole and ends with its verdict. Links are followed,
# a script from a pipe is played (also one that pauses), a second run into a folder is
# refused while the first lasts, and an interrupted run ends whole, at any moment, with
# its verdict last, and leaves the next one nothing in its way.
#   run_record_test.sh scripts/run BUILD-DIR
set -uo pipefail
run=$1
export DORVIK_BUILD=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0
cd "$tmp" || exit 1
bad() {
  echo "FAIL: $*"
  fail=1
}

# refused <words the message must hold> -- <arguments>: exit 2, the reason and the
# usage, and no record folder made.
refused() {
  local want=$1 message code
  shift 2
  message=$("$run" "$@" 2>&1 >/dev/null)
  code=$?
  [ $code = 2 ] && grep -qF -- "$want" <<<"$message" && grep -q '^usage:' <<<"$message" ||
    bad "run $* exited $code: $message"
  [ ! -e "$tmp/new" ] || bad "run $* left a folder"
}
# played <exit code> <verdict> -- <arguments>
played() {
  local want=$1 verdict=$2 code
  shift 3
  "$run" "$@" >"$tmp/out.log" 2>&1
  code=$?
  [ $code = "$want" ] && [ "$(tail -n1 "$tmp/out.log")" = "$verdict" ] ||
    { cat "$tmp/out.log"; bad "run $* exited $code, wanted $want and \"$verdict\" last"; }
}

printf 'me 101\n@100 msg HM_JOIN_GAME userNo=abc\n+0 end\n' >typo.txt
printf 'me 101\n' >unended.txt
printf 'me 101\n@300 checkpoint table\n+0 end\n' >table.txt
printf 'me 101\n@300 checkpoint table 0123456789abcdef\n+0 end\n' >wrong.txt
refused "typo.txt: line 2: unreadable value for userNo in HM_JOIN_GAME" -- --script typo.txt --out-dir new
refused "unended.txt: the script does not finish with end" -- --script unended.txt --out-dir new
refused "table.txt: line 2: checkpoint table has no hash for a 32 desktop" -- --script table.txt --out-dir new
refused "wrong.txt: line 2: checkpoint table has no hash for a 565 desktop" -- --script wrong.txt --desktop 565 \
  --out-dir new
[ ! -e "$DORVIK_BUILD/tools/testhost/frames" ] || bad "a run wrote into the build: $DORVIK_BUILD/tools/testhost/frames"

# The hashes taken on a pass, written through a link into the script in its mode, then checked.
chmod 640 table.txt && ln -s table.txt linked.txt
played 0 "script passed" -- --script linked.txt --out-dir rec --new-hashes
grep -qE '^@300 checkpoint table [0-9a-f]{16}$' table.txt || bad "no hash taken: $(cat table.txt)"
[ -L linked.txt ] && [ "$(stat -c %a table.txt)" = 640 ] || bad "the script's link or mode was lost: $(ls -l ./*.txt)"
played 0 "script passed" -- --script table.txt --out-dir rec --force
[ -z "$(ls -d rec.* 2>/dev/null)" ] || bad "a passing run left $(ls -d rec.*)"
# Another desktop's hashes join the line, and are checked there.
played 0 "script passed" -- --script table.txt --out-dir rec565 --desktop 565 --new-hashes
grep -qE '^@300 checkpoint table [0-9a-f]{16} 565=[0-9a-f]{16}$' table.txt || bad "no 565 hash taken: $(cat table.txt)"
played 0 "script passed" -- --script table.txt --out-dir rec565 --desktop 565 --force

# A failing run over a record: the record as it was, the failed one beside it, and the
# paths printed are where its files are.
before=$(cd rec && find . -type f -exec sha256sum {} + | sort)
played 1 "script failed" -- --script wrong.txt --out-dir rec --force
[ "$(cd rec && find . -type f -exec sha256sum {} + | sort)" = "$before" ] || bad "the failing run changed the record"
failed=(rec.run-*)
[ -d "${failed[0]}" ] && tail -n1 "${failed[0]}/transcript.txt" | grep -q '^script failed: line 2 at 300 ms' ||
  bad "the failed run's record is not beside the old one"
grep -qx "the failed run's record: $tmp/${failed[0]}" out.log || bad "the failed run's record is not named"
[ ! -e "$DORVIK_BUILD/tools/testhost/frames" ] || bad "a differing frame was written into the build"
[ -n "$(ls "${failed[0]}"/differing/*.actual.png 2>/dev/null)" ] || bad "the differing frame is not in the record"
for path in $(grep -oE "$tmp/[^ ]+\.png" out.log); do [ -e "$path" ] || bad "a printed path is not there: $path"; done
[ -z "$(ls -d rec.old-* 2>/dev/null)" ] || bad "the old record was left aside"

# --registry: another file is replaced only with --force, and only by a run that passes.
echo "my notes" >notes.txt
played 1 "script failed" -- --script wrong.txt --out-dir rec2 --registry notes.txt --force
[ "$(cat notes.txt)" = "my notes" ] || bad "a failing run rewrote the --registry file"
played 0 "script passed" -- --script table.txt --out-dir rec3 --registry notes.txt --force
[ "$(head -c 4 notes.txt)" = DVRG ] || bad "a passing run wrote no registry"
left=(.dorvik2-*)
[ ! -e "${left[0]}" ] || bad "the registry's temporary was left: ${left[*]}"

# A record through a link is replaced where the link points, the link kept; a script
# from a pipe is read once and played.
ln -s rec linked
played 0 "script passed" -- --script <(cat table.txt) --out-dir linked --force
[ -L linked ] && grep -q "^script passed" rec/transcript.txt && cmp -s rec/script.txt table.txt ||
  bad "the record through a link was not replaced in place"

# Two runs into one folder: the second is refused while the first plays. An interrupt
# (as ctrl-C sends it, to the whole process group) ends the first within seconds, keeps
# nothing of it, and the next run into the folder passes.
set -m
"$run" --out-dir busy >interrupted.log 2>&1 &
first=$!
set +m
for _ in $(seq 100); do [ -n "$(ls busy.run-*/frames 2>/dev/null)" ] && break; sleep 0.1; done
refused "--out-dir busy: another run is writing into $tmp/busy" -- --out-dir busy
kill -INT -- "-$first"
for _ in $(seq 50); do kill -0 -- "-$first" 2>/dev/null || break; sleep 0.1; done
if kill -0 -- "-$first" 2>/dev/null; then
  bad "the interrupted run still runs after 5 s"
  kill -KILL -- "-$first"
fi
wait "$first"
code=$?
[ $code = 130 ] && grep -q "^the run was interrupted" interrupted.log && [ "$(tail -n1 interrupted.log)" = "script failed" ] ||
  bad "the interrupted run exited $code: $(tail -n3 interrupted.log)"
left=(busy busy.* .busy.*)
for f in "${left[@]}"; do [ ! -e "$f" ] || bad "the interrupted run left $f"; done
played 0 "script passed" -- --script table.txt --out-dir busy

# Any name is a path: the record, the lines naming its files and its run.log are where it is.
odd="$tmp/a|b&c \$HOME 'q\"é"
played 0 "script passed" -- --script table.txt --out-dir "$odd"
grep -qxF "record: $odd ($(du -sh -- "$odd" | cut -f1))" out.log || bad "the record's line: $(tail -n2 out.log)"
grep -qF "transcript: $odd/transcript.txt" "$odd/run.log" && ! grep -q '\.run-' "$odd/run.log" ||
  bad "the record's run.log names another folder: $(cat "$odd/run.log")"
played 0 "script passed" -- --script table.txt --out-dir "$odd" --force
[ -z "$(ls -d "$odd".* 2>/dev/null)" ] || bad "a run into an odd name left $(ls -d "$odd".*)"
played 0 "window life passed" -- --out "$tmp/f|g&h.png" --wav "$tmp/s&t|u.wav"
[ -s "$tmp/f|g&h.png" ] && [ -s "$tmp/s&t|u.wav" ] && grep -qF "$tmp/f|g&h.png" out.log ||
  bad "the window life into odd names: $(cat out.log)"
# A pipe that pauses while its program works is waited for, as long as bytes keep coming.
played 0 "script passed" -- --script <(head -n 2 table.txt; sleep 11; tail -n +3 table.txt) --out-dir paused
cmp -s paused/script.txt table.txt || bad "the paused pipe's script: $(cat paused/script.txt)"
# A script from standard input.
"$run" --script - --out-dir stdin <table.txt >out.log 2>&1 && cmp -s stdin/script.txt table.txt ||
  bad "a script from standard input: $(tail -n3 out.log)"

# --registry inside the record it replaces: one of the record's files, put in place with it.
played 0 "script passed" -- --script table.txt --out-dir rec --registry rec/registry.dat --force
[ "$(head -c 4 rec/registry.dat)" = DVRG ] && grep -q " registry.dat$" rec/.dorvik2-record ||
  bad "the registry inside the record is not there: $(ls -A rec)"
[ -z "$(ls -d rec.old-* 2>/dev/null)" ] || bad "the registry's run left $(ls -d rec.old-*)"
# --new-hashes on the record's own copy of the script it replaces.
printf 'me 101\n@300 checkpoint table\n+0 end\n' >fresh.txt
played 0 "script passed" -- --script fresh.txt --out-dir fresh --new-hashes
played 0 "script passed" -- --script fresh/script.txt --out-dir fresh --new-hashes --force
grep -qF "new hashes written into $tmp/fresh/script.txt (the new record's copy" out.log && ! grep -q changed out.log ||
  bad "--new-hashes on the record's script: $(cat out.log)"

# An empty folder is written into: the same folder, its mode, owner and group kept.
mkdir empty && chmod 2775 empty && chgrp users empty 2>/dev/null
was=$(stat -c '%i %a %U %G' empty)
played 0 "script passed" -- --script table.txt --out-dir empty
[ "$(stat -c '%i %a %U %G' empty)" = "$was" ] && [ -f empty/transcript.txt ] ||
  bad "the empty folder was not written into: $was, now $(stat -c '%i %a %U %G' empty)"

# The next run's note names only the folders a run left (they carry the mark).
mkdir trip trip.old-photos trip.old-ABCDEF trip.run-ABCDEF
echo "photo" >trip.old-photos/1.jpg
printf 'dorvik2 record (unfinished)\n' >trip.run-ABCDEF/.dorvik2-record
played 0 "script passed" -- --script table.txt --out-dir trip
[ "$(grep '^note:' out.log)" = "note: $tmp/trip.run-ABCDEF is the unfinished record of an earlier run that was stopped" ] ||
  bad "the notes of the leftovers: $(grep '^note:' out.log)"

# A hang-up (the terminal closed) into a new deep path: nothing of the run is left, the
# folders it made above its target neither, and nothing in the temporary folder.
mkdir temp
set -m
TMPDIR=$tmp/temp "$run" --out-dir deep/a/b/rec >hungup.log 2>&1 &
first=$!
set +m
for _ in $(seq 100); do [ -n "$(ls deep/a/b/rec.run-*/frames 2>/dev/null)" ] && break; sleep 0.1; done
kill -HUP -- "-$first"
wait "$first"
code=$?
[ $code = 129 ] && grep -q "^the run was interrupted (SIGHUP): nothing of it was kept" hungup.log ||
  bad "the hung-up run exited $code: $(tail -n3 hungup.log)"
[ ! -e deep ] && [ -z "$(ls -A temp)" ] || bad "the hung-up run left $(ls -AR deep temp 2>&1)"

# An interrupt after the swap, while the old record is removed: the run says that the new
# record is in place and where what is left of the old one is.
mkdir -p big/frames
for i in $(seq 1000); do echo "$i" >"big/frames/$i.png"; done
{
  printf 'dorvik2 record\nverdict: script passed\nfolders:\nframes\nfiles:\n'
  (cd big && sha256sum frames/* | while read -r sum f; do echo "$(stat -c %s "$f") $sum $f"; done)
} >big/.dorvik2-record
set -m
"$run" --script table.txt --out-dir big --force >late.log 2>&1 &
first=$!
set +m
# However slow the machine (a sanitized build on two loaded cores takes over 30 s to get
# there), the interrupt waits for the swap, or for the run's end if it never comes.
while kill -0 "$first" 2>/dev/null && [ -z "$(ls -d big.old-* 2>/dev/null)" ]; do sleep 0.01; done
kill -INT -- "-$first" 2>/dev/null
wait "$first"
aside=(big.old-*)
if [ -e "${aside[0]}" ]; then
  grep -qxF "the run was interrupted (SIGINT) once its record was in place: the new record is in $tmp/big; the old record is in $tmp/${aside[0]} ($(find "${aside[0]}" -type f ! -name .dorvik2-record | wc -l) of its files), which no run will remove" late.log ||
    bad "the run interrupted after its swap: $(tail -n3 late.log)"
else
  grep -q "^record: $tmp/big " late.log || bad "the run interrupted after its swap: $(tail -n3 late.log)"
fi
grep -q "^script passed" big/transcript.txt && ! grep -q "nothing of it was kept" late.log ||
  bad "the run interrupted after its swap: $(tail -n3 late.log)"

# A TERM at moments spread over a whole run that replaces a record: each run ends with
# its verdict last, and leaves a whole record in the folder (the old or the new), no
# empty folder, and beside it only what its lines name.
# whole DIR: each file the mark lists is there, as it was written.
whole() {
  local size sum file
  [ "$(head -n 1 "$1/.dorvik2-record")" = "dorvik2 record" ] || return 1
  while read -r size sum file; do
    [ "$(stat -c %s -- "$1/$file")" = "$size" ] && [ "$(sha256sum <"$1/$file" | cut -d' ' -f1)" = "$sum" ] || return 1
  done < <(sed '1,/^files:$/d' "$1/.dorvik2-record")
}
played 0 "script passed" -- --script table.txt --out-dir sweep
start=$(date +%s%N)
played 0 "script passed" -- --script table.txt --out-dir sweep --force
span=$(( ($(date +%s%N) - start) / 1000000 ))
# From a tenth of the run on: in its first instant the shell has not yet read its lines.
for step in $(seq 1 11); do
  set -m
  "$run" --script table.txt --out-dir sweep --force >swept.log 2>&1 &
  first=$!
  set +m
  sleep "$(awk -v ms=$((span * step / 10)) 'BEGIN { printf "%.3f", ms / 1000 }')"
  kill -TERM -- "-$first" 2>/dev/null
  wait "$first"
  code=$?
  last=$(tail -n 1 swept.log)
  case $code:$last in
    0:"script passed" | 143:"script passed" | 143:"script failed") ;;
    *) bad "the run stopped at $step tenths exited $code: $(tail -n 3 swept.log)" ;;
  esac
  whole sweep || bad "the run stopped at $step tenths left sweep not whole: $(ls -A sweep)"
  for left in sweep.*; do
    [ -e "$left" ] || continue
    grep -qF "$tmp/$left" swept.log && [ -n "$(ls -A "$left")" ] ||
      bad "the run stopped at $step tenths left $left: $(tail -n 3 swept.log)"
    rm -rf "$left"
  done
done
exit $fail
