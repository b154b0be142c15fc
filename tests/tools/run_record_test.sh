#!/usr/bin/env bash
# The run command on a built tree: a script its reader refuses stops the command (exit 2)
# before anything is written; a run that fails loses nothing (a record it would replace
# stays as it was, the failed one beside it; a --registry file stays as it was); a run
# that passes replaces the record whole and ends with its verdict.
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

# The hashes taken on a pass, then checked.
played 0 "script passed" -- --script table.txt --out-dir rec --new-hashes
grep -qE '^@300 checkpoint table [0-9a-f]{16}$' table.txt || bad "no hash taken: $(cat table.txt)"
played 0 "script passed" -- --script table.txt --out-dir rec --force
[ -z "$(ls -d rec.* 2>/dev/null)" ] || bad "a passing run left $(ls -d rec.*)"
# Another desktop's hashes join the line, and are checked there.
played 0 "script passed" -- --script table.txt --out-dir rec565 --desktop 565 --new-hashes
grep -qE '^@300 checkpoint table [0-9a-f]{16} 565=[0-9a-f]{16}$' table.txt || bad "no 565 hash taken: $(cat table.txt)"
played 0 "script passed" -- --script table.txt --out-dir rec565 --desktop 565 --force

# A failing run over a record: the record as it was, the failed one beside it.
before=$(cd rec && find . -type f -exec md5sum {} + | sort)
played 1 "script failed" -- --script wrong.txt --out-dir rec --force
[ "$(cd rec && find . -type f -exec md5sum {} + | sort)" = "$before" ] || bad "the failing run changed the record"
failed=(rec.failed-*)
[ -d "${failed[0]}" ] && tail -n1 "${failed[0]}/transcript.txt" | grep -q '^script failed: line 2 at 300 ms' ||
  bad "the failed run's record is not beside the old one"
grep -qx "the failed run's record: $tmp/${failed[0]}" out.log || bad "the failed run's record is not named"
[ ! -e "$DORVIK_BUILD/tools/testhost/frames" ] || bad "a differing frame was written into the build"
[ -n "$(ls "${failed[0]}"/differing/*.actual.png 2>/dev/null)" ] || bad "the differing frame is not in the record"
[ -z "$(ls -d rec.old-* 2>/dev/null)" ] || bad "the old record was left aside"

# --registry: another file is replaced only with --force, and only by a run that passes.
echo "my notes" >notes.txt
played 1 "script failed" -- --script wrong.txt --out-dir rec2 --registry notes.txt --force
[ "$(cat notes.txt)" = "my notes" ] || bad "a failing run rewrote the --registry file"
played 0 "script passed" -- --script table.txt --out-dir rec3 --registry notes.txt --force
[ "$(head -c 4 notes.txt)" = DVRG ] || bad "a passing run wrote no registry"
[ -z "$(ls -A | grep '^\.notes')" ] || bad "the registry's temporary was left: $(ls -A)"

# A failed Windows play's folder is a record, replaced with --force.
mkdir -p winfailed/headless && echo "the headless run failed" >winfailed/headless.log
played 0 "script passed" -- --script table.txt --out-dir winfailed --force
[ -f winfailed/transcript.txt ] && [ ! -e winfailed/headless.log ] || bad "the failed Windows folder was not replaced"
exit $fail
