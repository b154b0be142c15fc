#!/usr/bin/env bash
# The run command refuses what it cannot play before it builds anything: each refusal
# exits 2, names the argument and why, makes no folder, and leaves a record it would
# have replaced, and every file of a user's, as it was (the same bytes).
#   run_arguments_test.sh scripts/run
set -uo pipefail
run=$1
tmp=$(mktemp -d)
# No build: a run that got past its refusals would fail on it, not build the tree.
export DORVIK_BUILD=$tmp/no-build
trap 'rm -rf "$tmp"' EXIT
fail=0
cd "$tmp" || exit 1

# refused <words the message must hold> -- <arguments>: as the user as_user names.
as_user=()
refused() {
  local want=$1
  shift 2
  local message code
  message=$(TMPDIR="$tmp/temp" "${as_user[@]}" "$run" "$@" 2>&1 >/dev/null)
  code=$?
  last_message=$message
  if [ $code != 2 ] || ! grep -qF -- "$want" <<<"$message" || ! grep -q '^usage:' <<<"$message"; then
    echo "FAIL: run $* exited $code: $message"
    fail=1
  fi
  if [ -n "$(ls -A "$tmp/temp")" ] || [ -e "$tmp/new" ]; then
    echo "FAIL: run $* left a folder"
    fail=1
  fi
}
mkdir -p "$tmp/temp" "$tmp/record/frames" "$tmp/other" "$tmp/noted/frames" "$tmp/winfailed/headless" "$tmp/logs" \
  "$tmp/mine/frames" "$tmp/games"
echo "script passed" >"$tmp/record/transcript.txt"
echo "frame" >"$tmp/record/frames/001-start.png"
# mark DIR FOLDER... -- FILE...: the mark a run writes, listing the folders and the files
# (with their size and checksum) as they are now.
mark() {
  local dir=$1 f
  shift
  {
    printf 'dorvik2 record\nverdict: script passed\nfolders:\n'
    while [ "$1" != -- ]; do echo "$1"; shift; done
    shift
    echo "files:"
    for f in "$@"; do echo "$(stat -c %s "$dir/$f") $(sha256sum <"$dir/$f" | cut -d' ' -f1) $f"; done
  } >"$dir/.dorvik2-record"
}
mark "$tmp/record" frames -- frames/001-start.png transcript.txt
echo "notes" >"$tmp/other/notes.txt"
echo "notes" >"$tmp/noted/notes.txt"
echo "the headless run failed" >"$tmp/winfailed/headless.log"
echo "my notes" >"$tmp/notes.txt"
# A user's folders whose names a run also writes: only the mark makes a record.
echo "a" >"$tmp/logs/app.log" && echo "b" >"$tmp/logs/server.log"
echo "mine" >"$tmp/mine/notes.txt" && echo "RIFF" >"$tmp/mine/sound.wav" && echo "jpeg" >"$tmp/mine/frames/holiday.jpg"
# A record with a user's file beside the run's.
cp -a "$tmp/record" "$tmp/noted-record" && echo "my build" >"$tmp/noted-record/mybuild.log"
cp "$(dirname "$run")/../tests/games/02-go-then-stop.txt" "$tmp/games/02.txt"
ln -s "$tmp/record" "$tmp/record-link"
ln -s "$tmp/mine" "$tmp/mine-link"
sums() { (cd "$tmp" && find -L record record-link mine mine-link logs noted-record games notes.txt -type f -exec sha256sum {} + | sort); }
before=$(sums)

refused "unknown option '--bogus'" -- --bogus
refused "unknown option '--bogus'" -- --windows --bogus
refused "unexpected argument 'x'" -- --out-dir new x
refused "--depth 8: the desktop is 32 or 16" -- --windows --depth 8 --out-dir new
refused "--depth 8: the desktop is 32 or 16" -- --depth 8 --windows
refused "--depth is the Windows play's" -- --depth 16
refused "--desktop 24: accepted are 32, 565 and 555" -- --desktop 24
refused "--desktop is for a headless game" -- --desktop 565 --windows
refused "--script needs a value" -- --out-dir new --script
refused "--script nosuchfile: cannot read it: no such file" -- --script nosuchfile --out-dir new
refused "--script $tmp: cannot read it: it is a folder" -- --windows --script "$tmp"
refused "--threaded: a headless game" -- --threaded --out-dir new
refused "--advance soon: a whole number" -- --out f.png --advance soon
refused "--advance is for the window life" -- --advance 10
refused "--out plays the window life" -- --out f.png --out-dir new
refused "--out-dir $tmp/record: the folder already holds a record; add --force" -- --out-dir "$tmp/record"
refused "--out-dir $tmp/record: the folder already holds a record; add --force" -- --windows --out-dir "$tmp/record"
refused "--out-dir $tmp/other: the folder holds files and is not a record" -- --out-dir "$tmp/other" --force
# Links are followed: a link to a record is that record, a link to a user's folder is that folder.
refused "--out-dir $tmp/record-link (a link to $tmp/record): the folder already holds a record" -- \
  --out-dir "$tmp/record-link"
refused "--out-dir $tmp/mine-link (a link to $tmp/mine): the folder holds files and is not a record" -- \
  --out-dir "$tmp/mine-link" --force
refused "--out-dir $tmp/mine: the folder holds files and is not a record" -- --out-dir "$tmp/mine" --force
refused "--out-dir $tmp/logs: the folder holds files and is not a record" -- --out-dir "$tmp/logs"
refused "--out-dir $tmp/logs: the folder holds files and is not a record" -- --out-dir "$tmp/logs" --force
refused "--out-dir $tmp/noted-record: --force replaces only what the run wrote, as it wrote it, and the record holds more, which would be kept: mybuild.log (no run wrote it); move them out first" -- \
  --out-dir "$tmp/noted-record" --force
# --out and --wav onto a file that is there: a script mistaken for the picture, notes for the sound.
refused "--out $tmp/games/02.txt: the file exists; add --force" -- --out "$tmp/games/02.txt"
refused "--wav $tmp/notes.txt: the file exists; add --force" -- --out "$tmp/new.png" --wav "$tmp/notes.txt"
refused "--script is given twice" -- --script a.txt --script b.txt
refused "--force is given twice" -- --force --force
refused "--out-dir $tmp/other/notes.txt: it is a file" -- --out-dir "$tmp/other/notes.txt"
refused "--out-dir $tmp/other/notes.txt/new: $tmp/other/notes.txt is a file" -- --out-dir "$tmp/other/notes.txt/new"
refused "--out-dir $tmp/noted: the folder holds files and is not a record" -- --out-dir "$tmp/noted" --force
refused "--out-dir $tmp/winfailed: the folder holds files and is not a record" -- --windows --out-dir "$tmp/winfailed"
refused "--script needs a value: --force is an option" -- --script --force
refused "unknown option '-x'" -- -x
refused "--out $tmp/none/f.png: there is no folder $tmp/none" -- --out "$tmp/none/f.png"
refused "--out $tmp: it is a folder" -- --out "$tmp"
refused "--registry $tmp/notes.txt: it is not a registry this host wrote; add --force" -- --registry "$tmp/notes.txt"
refused "--new-hashes takes a headless game's hashes" -- --windows --new-hashes
refused "--new-hashes is for a recorded game" -- --out f.png --new-hashes
if [ "$(id -u)" != 0 ]; then
  # Permissions hold back only other users than root.
  mkdir -p "$tmp/locked" && chmod a-w "$tmp/locked"
  refused "--out-dir $tmp/locked/new: cannot make a folder in $tmp/locked" -- --out-dir "$tmp/locked/new"
  refused "--out $tmp/locked/f.png: cannot write in $tmp/locked" -- --out "$tmp/locked/f.png"
  chmod u+w "$tmp/locked"
fi

# --force deletes only what the run wrote, as it wrote it: a file the user put in place of
# the run's, a folder of theirs, a link (also one a mark names a path through) stop it.
mkdir -p "$tmp/outside" && echo "keep me" >"$tmp/outside/secret.txt"
for kind in replaced samesize folder link through; do
  cp -a "$tmp/record" "$tmp/$kind"
done
echo "my own transcript" >"$tmp/replaced/transcript.txt"
# A file of the same size as the run's, other bytes: told by its checksum.
echo "script pissed" >"$tmp/samesize/transcript.txt"
mkdir "$tmp/folder/photos"
ln -s "$tmp/outside/secret.txt" "$tmp/link/frames/002-mine.png"
ln -s "$tmp/outside" "$tmp/through/frames/out"
echo "$(stat -c %s "$tmp/outside/secret.txt") $(sha256sum <"$tmp/outside/secret.txt" | cut -d' ' -f1) frames/out/secret.txt" \
  >>"$tmp/through/.dorvik2-record"
refused "the record holds more, which would be kept: transcript.txt (changed since the run wrote it)" -- \
  --out-dir "$tmp/replaced" --force
refused "the record holds more, which would be kept: transcript.txt (changed since the run wrote it)" -- \
  --out-dir "$tmp/samesize" --force
# A file the system will not let remove, found before the build.
cp -a "$tmp/record" "$tmp/immutable"
if chattr +i "$tmp/immutable/transcript.txt" 2>/dev/null; then
  refused "the record holds more, which would be kept: transcript.txt (immutable or append-only" -- \
    --out-dir "$tmp/immutable" --force
  chattr -i "$tmp/immutable/transcript.txt"
fi
rm -rf "$tmp/immutable"
refused "the record holds more, which would be kept: photos/ (a folder no run made)" -- --out-dir "$tmp/folder" --force
refused "the record holds more, which would be kept: frames/002-mine.png (a link)" -- --out-dir "$tmp/link" --force
refused "the record holds more, which would be kept: frames/out (a link)" -- --out-dir "$tmp/through" --force
# A mark this command did not write as it is: named as such, not as a missing one.
cp -a "$tmp/record" "$tmp/edited" && sed -i '1s/.*/my record/' "$tmp/edited/.dorvik2-record"
refused "--out-dir $tmp/edited: the folder holds a .dorvik2-record no run wrote as it is (its first line is not 'dorvik2 record')" -- \
  --out-dir "$tmp/edited" --force
cp -a "$tmp/record" "$tmp/older" && printf 'dorvik2 record\nfiles:\ntranscript.txt\n' >"$tmp/older/.dorvik2-record"
refused "--out-dir $tmp/older: its .dorvik2-record is not one this command writes (its line 3 names a file without the size" -- \
  --out-dir "$tmp/older" --force
# Paths: a newline or a ~ the shell left alone is refused, saying why; '-' is standard
# input for --script alone; one file named for two things is refused.
refused "--out-dir: the path holds a newline" -- --out-dir "$tmp/new"$'\n'"line"
refused "--out-dir ~/new: the shell did not expand the ~" -- --out-dir '~/new'
refused "--out -: only --script reads standard input" -- --out -
refused "--out-dir $tmp/a|b: the Windows play cannot write into a folder whose path holds |" -- --windows --out-dir "$tmp/a|b"
# Paths past the system's limits, said with the user's path and the limit before anything
# is made: a name of 250 bytes (the run's own names beside it take 14 more), a name over
# 255, a path over 4096; for the Windows play a path over 259 characters with its
# record's names, or one that is not UTF-8.
long=$(printf 'a%.0s' $(seq 250))
refused "--out-dir $tmp/$long: its last name is 250 bytes, and the run makes names of 14 bytes more beside it; the system's limit is 255 bytes a name (NAME_MAX): at most 241 bytes" -- \
  --out-dir "$tmp/$long"
refused "--out-dir $tmp/${long}bbbbbbbb/new: a name in it is 258 bytes, over the system's limit of 255" -- \
  --out-dir "$tmp/${long}bbbbbbbb/new"
refused "--out $tmp/$long.png: its last name is 254 bytes" -- --out "$tmp/$long.png"
deep=$tmp
while [ ${#deep} -lt 4250 ]; do deep+=/$(printf 'b%.0s' $(seq 100)); done
refused "--out-dir $deep: its full path is ${#deep} bytes; the system's limit is 4096 bytes a path (PATH_MAX" -- \
  --out-dir "$deep"
wide=$(printf '기%.0s' $(seq 80))
refused "--out-dir $tmp/$wide/$wide/$wide: the Windows host's longest path in the record would be" -- \
  --windows --out-dir "$tmp/$wide/$wide/$wide"
refused "--out-dir $tmp/caf"$'\xe9'": the path is not UTF-8 text" -- --windows --out-dir "$tmp/caf"$'\xe9'
refused "--wav $tmp/new.png: it is also the --out picture" -- --out "$tmp/new.png" --wav "$tmp/new.png"
refused "--registry $tmp/games/02.txt: it is also the --script" -- --script "$tmp/games/02.txt" --registry "$tmp/games/02.txt" --force
refused "--registry $tmp/record/transcript.txt: the record writes its own transcript.txt there" -- \
  --out-dir "$tmp/record" --force --registry "$tmp/record/transcript.txt"
# A run into a folder inside another run's target, or holding one, is refused: a lock
# held as a run holds it.
mkdir -p "$tmp/busy/sub"
exec {held}>"$tmp/.busy.dorvik2-lock"
flock "$held"
echo "process 1, since today" >"$tmp/.busy.dorvik2-lock"
refused "--out-dir $tmp/busy/sub/new: it is inside $tmp/busy, which another run is writing into (process 1, since today)" -- \
  --out-dir "$tmp/busy/sub/new"
exec {held}>&-
exec {held}>"$tmp/busy/.sub.dorvik2-lock"
flock "$held"
refused "--out-dir $tmp/busy: another run is writing into a folder inside it" -- --out-dir "$tmp/busy"
exec {held}>&-
rm -rf "$tmp/busy" "$tmp/.busy.dorvik2-lock"
# A mount point cannot take a record made beside it (in a mount namespace of this test's own);
# a temporary folder too small for the script's copy is refused before it is read.
if unshare -rm true 2>/dev/null; then
  mkdir "$tmp/usb"
  message=$(TMPDIR="$tmp/temp" unshare -rm bash -c 'mount -t tmpfs none "$2" && "$1" --out-dir "$2"' - "$run" "$tmp/usb" 2>&1)
  grep -qF -- "--out-dir $tmp/usb: it is a mount point" <<<"$message" || { echo "FAIL: a mount point: $message"; fail=1; }
  message=$(unshare -rm bash -c 'mount -t tmpfs -o size=2m none "$2" && TMPDIR=$2 "$1" --script /dev/zero --out-dir "$3"' \
    - "$run" "$tmp/usb" "$tmp/new" 2>&1)
  grep -qF "no space left on the device of $tmp/usb: 2 MiB free, the run needs some 5 MiB" <<<"$message" ||
    { echo "FAIL: a small temporary folder: $message"; fail=1; }
  rmdir "$tmp/usb"
fi
# A script is read with a cap on its size and on its silence: a device that never ends,
# and a pipe nothing comes from, are refused with the reason.
refused "--script /dev/zero: it holds more than 4 MiB" -- --script /dev/zero --out-dir new
refused "--script /dev/fd/" -- --script <(sleep 20) --out-dir new
grep -qF "nothing came from it in 10 s" <<<"$last_message" || { echo "FAIL: a silent pipe: $last_message"; fail=1; }
# As another user than root: a write-protected record of one's own, and a lock another
# user left behind, are refused with the reason.
as_other=()
if [ "$(id -u)" = 0 ] && runuser -u nobody true 2>/dev/null; then as_other=(runuser -u nobody --); fi
if [ "$(id -u)" != 0 ] || [ ${#as_other[@]} -gt 0 ]; then
  mkdir -p "$tmp/users" && chmod 1777 "$tmp/users" "$tmp/temp" && chmod 755 "$tmp"
  "${as_other[@]}" cp -r "$tmp/record" "$tmp/users/protected"
  "${as_other[@]}" chmod a-w "$tmp/users/protected/frames"
  as_user=("${as_other[@]}")
  refused "the record holds more, which would be kept: frames/ (write-protected: its files could not be removed)" -- \
    --out-dir "$tmp/users/protected" --force
  as_user=()
  if [ ${#as_other[@]} -gt 0 ]; then
    echo "process 2, since yesterday" >"$tmp/users/.left.dorvik2-lock"
    message=$(TMPDIR="$tmp/temp" "${as_other[@]}" "$run" --out-dir "$tmp/users/left" 2>&1)
    grep -qF "the lock $tmp/users/.left.dorvik2-lock, left by an earlier run of user root and held by none now, cannot be written" \
      <<<"$message" || { echo "FAIL: another user's lock: $message"; fail=1; }
    rm -f "$tmp/users/.left.dorvik2-lock"
    # A checkout this user cannot write: refused before anything is built, naming how to
    # play with a build made already.
    message=$(TMPDIR="$tmp/temp" "${as_other[@]}" env -u DORVIK_BUILD "$run" --out-dir "$tmp/users/mine" 2>&1)
    [ $? = 2 ] && grep -qF "cannot build in $(cd "$(dirname "$run")/.." && pwd)/build: permission denied;" <<<"$message" &&
      grep -qF "DORVIK_BUILD=DIR" <<<"$message" && [ ! -e "$tmp/users/mine" ] ||
      { echo "FAIL: a checkout this user cannot write: $message"; fail=1; }
  fi
  chmod -R u+w "$tmp/users" 2>/dev/null || "${as_other[@]}" chmod -R u+w "$tmp/users"
  rm -rf "$tmp/users"
  chmod 700 "$tmp"
fi
[ "$(cat "$tmp/outside/secret.txt")" = "keep me" ] || { echo "FAIL: a file outside a record was changed"; fail=1; }

[ "$(sums)" = "$before" ] && [ -f "$tmp/other/notes.txt" ] && [ -d "$tmp/winfailed/headless" ] ||
  { echo "FAIL: a refused run changed a folder: $(diff <(echo "$before") <(sums))"; fail=1; }
[ -z "$(find "$tmp" -name '.*' ! -name .dorvik2-record ! -path "$tmp")" ] ||
  { echo "FAIL: a refused run left $(find "$tmp" -name '.*' ! -name .dorvik2-record ! -path "$tmp")"; fail=1; }
# --help says what each option does, not only its name.
help=$("$run" --help)
for option in --script --out-dir --force --desktop --registry --mark-text-cells --new-hashes --out --threaded \
  --advance --wav --windows --depth; do
  grep -qE "^  $option +[^ ]" <<<"$help" || { echo "FAIL: --help does not explain $option"; fail=1; }
done
# Started with sh, or through a link from another folder: the same command.
message=$(sh "$run" --bogus 2>&1)
[ $? = 2 ] && grep -qF "unknown option '--bogus'" <<<"$message" || { echo "FAIL: sh scripts/run: $message"; fail=1; }
mkdir -p "$tmp/bin" && ln -s "$run" "$tmp/bin/dorvik-run"
message=$("$tmp/bin/dorvik-run" --bogus 2>&1)
[ $? = 2 ] && grep -qF "unknown option '--bogus'" <<<"$message" || { echo "FAIL: a link to scripts/run: $message"; fail=1; }
# The test command refuses what it does not take, before it installs or builds.
message=$("$(dirname "$run")/test" --windos 2>&1)
[ $? = 2 ] && grep -q "^usage: scripts/test" <<<"$message" || { echo "FAIL: scripts/test --windos: $message"; fail=1; }
message=$("$(dirname "$run")/test" --help --windows 2>&1)
[ $? = 0 ] && grep -q "^usage: scripts/test" <<<"$message" || { echo "FAIL: scripts/test --help --windows: $message"; fail=1; }
message=$("$(dirname "$run")/test" --tsan --windows 2>&1)
[ $? = 2 ] && grep -q "'--tsan --windows' do not go together" <<<"$message" ||
  { echo "FAIL: scripts/test --tsan --windows: $message"; fail=1; }
# A second build in a build folder waits for the first, told which holds it, and goes on
# once it is free.
locks="$(dirname "$run")/../tools/locks.sh"
bash -c 'source "$1"; take_build_lock "$2" "scripts/test --sanitize"; sleep 1' - "$locks" "$tmp/build-lock" &
holder=$!
for _ in $(seq 50); do [ -s "$tmp/build-lock/.dorvik2-build-lock" ] && break; sleep 0.1; done
message=$(bash -c 'source "$1"; take_build_lock "$2" "scripts/run"; cat "$2/.dorvik2-build-lock"
  ! kill -0 "$3" 2>/dev/null || echo "taken while the first one holds it"' - "$locks" "$tmp/build-lock" "$holder" 2>&1)
grep -qx "waiting for $tmp/build-lock: scripts/test --sanitize (process $holder, since .*) is using it" <<<"${message%%$'\n'*}" &&
  grep -q "^scripts/run (process" <<<"$message" && ! grep -q "taken while" <<<"$message" ||
  { echo "FAIL: a second build: $message"; fail=1; }
wait "$holder"
# A lock given back is free at once: another process takes it without waiting.
message=$(bash -c 'source "$1"; take_build_lock "$2" first; release_build_lock "$2"
  flock -n "$2/.dorvik2-build-lock" true && echo free || echo "still held"' - "$locks" "$tmp/build-lock" 2>&1)
[ "$message" = free ] || { echo "FAIL: a released build lock: $message"; fail=1; }
rm -rf "$tmp/build-lock"
# The Windows play's verdict is its last line also when its headless stage fails.
mkdir -p "$tmp/build/tools/testhost"
touch "$tmp/build/CMakeCache.txt"
printf '#!/bin/sh\necho "a reason"\nexit 1\n' >"$tmp/build/tools/testhost/dorvik2-run"
chmod +x "$tmp/build/tools/testhost/dorvik2-run"
played=$(bash "$(dirname "$run")/../tools/winhost/play_windows.sh" "$tmp/build" "$tmp/win" "my game" "$tmp/play" 32)
[ $? = 1 ] && [ "$(tail -n2 <<<"$played")" = $'the headless run failed\nscript failed' ] ||
  { echo "FAIL: the Windows play's failed headless stage ends: $played"; fail=1; }
# A source fetch that is interrupted leaves nothing the next fetch would take for a tree:
# a stand-in apt-get that writes its files slowly, stopped half way, then let finish.
mkdir -p "$tmp/bin"
cat >"$tmp/bin/apt-get" <<'EOF'
#!/bin/sh
echo "Version: 1.0" >"$4_1.0.dsc"
echo "half" >"$4_1.0.orig.tar.gz"
[ -z "${FETCH_STALLS:-}" ] || sleep 30
mkdir "$4-1.0" && echo "project(x)" >"$4-1.0/CMakeLists.txt"
EOF
chmod +x "$tmp/bin/apt-get"
fetch="$(dirname "$run")/../tools/winhost/fetch_source.sh"
set -m
PATH="$tmp/bin:$PATH" FETCH_STALLS=1 bash "$fetch" "$tmp/deps-src" highway >/dev/null &
fetching=$!
set +m
for _ in $(seq 50); do [ -n "$(ls "$tmp"/deps-src/.highway.fetch-*/*.tar.gz 2>/dev/null)" ] && break; sleep 0.1; done
kill -INT -- "-$fetching"
wait "$fetching"
[ ! -e "$tmp/deps-src/highway" ] && [ -z "$(ls -A "$tmp/deps-src")" ] ||
  { echo "FAIL: an interrupted fetch left $(ls -A "$tmp/deps-src")"; fail=1; }
PATH="$tmp/bin:$PATH" bash "$fetch" "$tmp/deps-src" highway >/dev/null &&
  [ -f "$tmp/deps-src/highway/highway-1.0/CMakeLists.txt" ] ||
  { echo "FAIL: the fetch after an interrupted one: $(ls -AR "$tmp/deps-src")"; fail=1; }
exit $fail
