#!/usr/bin/env bash
# Proves the compile-alone check reports a source that builds only inside its unity batch
# and passes one whose sources each include what they use: a planted build folder with a
# compile database and two batches, one per test program.
set -uo pipefail
checker=$1
compiler=${2:-c++}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

mkdir -p "$tmp/src" "$tmp/build/CMakeFiles/good_tests.dir/Unity" "$tmp/build/CMakeFiles/bad_tests.dir/Unity" \
  "$tmp/build/CMakeFiles/other.dir/Unity"
printf '#include <vector>\nstd::vector<int> a;\n' >"$tmp/src/first.cpp"
printf '#include <vector>\nstd::vector<int> b;\n' >"$tmp/src/second_ok.cpp"
printf 'std::vector<int> c;\n' >"$tmp/src/leaning.cpp"
printf 'std::vector<int> d;\n' >"$tmp/src/not_a_test.cpp"
batch() {  # batch <target> <sources...>: the unity file CMake writes
  local target=$1 file="$tmp/build/CMakeFiles/$1.dir/Unity/unity_0_cxx.cxx"
  shift
  for s in "$@"; do printf '/* generated */\n#include "%s"\n\n' "$tmp/src/$s"; done >"$file"
  printf '{"directory":"%s","command":"%s -std=c++20 -DNAME=\\"x\\" -o CMakeFiles/%s.dir/u.o -c %s","file":"%s"}' \
    "$tmp/build" "$compiler" "$target" "$file" "$file"
}
{
  echo "["
  batch good_tests first.cpp second_ok.cpp; echo ","
  batch bad_tests first.cpp leaning.cpp; echo ","
  batch other first.cpp not_a_test.cpp
  echo "]"
} >"$tmp/build/compile_commands.json"

if bash "$checker" "$tmp/build" good_tests >"$tmp/out" 2>&1; then echo "ok: self-contained batch passes"
else echo "FAILED: self-contained batch"; cat "$tmp/out"; fail=1; fi

if bash "$checker" "$tmp/build" >"$tmp/out" 2>&1; then echo "FAILED: a leaning source passed"; cat "$tmp/out"; fail=1
else echo "ok: a leaning source fails the check"; fi
if grep -q "leaning.cpp" "$tmp/out" && grep -q "1 of 2 sources" "$tmp/out"; then echo "ok: the leaning source is named"
else echo "FAILED: the report names no leaning source, or counts wrong"; cat "$tmp/out"; fail=1; fi
if grep -q "not_a_test.cpp" "$tmp/out"; then echo "FAILED: a batch outside the test programs was checked"; fail=1
else echo "ok: only the test programs' batches"; fi
exit $fail
