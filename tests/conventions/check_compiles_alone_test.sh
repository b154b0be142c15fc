#!/usr/bin/env bash
# Proves the compile-alone check reports a source that builds only inside its unity batch
# or only under its target's precompiled header of the project's own headers, and a
# header that leans on what its includer gave it; and passes sources and headers that
# each include what they use: a planted build folder with a compile database.
set -uo pipefail
checker=$1
compiler=${2:-c++}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

mkdir -p "$tmp/src/inc/local" "$tmp/build/CMakeFiles"
for t in good_tests bad_tests other module; do mkdir -p "$tmp/build/CMakeFiles/$t.dir/Unity"; done
printf '#include <vector>\nstd::vector<int> a;\n' >"$tmp/src/first.cpp"
printf '#include <vector>\nstd::vector<int> b;\n' >"$tmp/src/second_ok.cpp"
printf 'std::vector<int> c;\n' >"$tmp/src/leaning.cpp"
printf 'std::vector<int> d;\n' >"$tmp/src/not_a_test.cpp"
printf '#pragma once\nstruct Thing { int x; };\n' >"$tmp/src/inc/local/thing.h"
printf 'Thing e;\n' >"$tmp/src/on_the_pch.cpp"
# The project's header in the module's precompiled header.
printf '#include <vector>\n#include <local/thing.h>\n' >"$tmp/build/CMakeFiles/module.dir/cmake_pch.hxx"
batch() {  # batch <target> <extra flags> <sources...>: the unity file CMake writes
  local target=$1 flags=$2 file="$tmp/build/CMakeFiles/$1.dir/Unity/unity_0_cxx.cxx"
  shift 2
  for s in "$@"; do printf '/* generated */\n#include "%s"\n\n' "$tmp/src/$s"; done >"$file"
  printf '{"directory":"%s","command":"%s -std=c++20 -I%s -DNAME=\\"x\\" %s -o CMakeFiles/%s.dir/u.o -c %s","file":"%s"}' \
    "$tmp/build" "$compiler" "$tmp/src/inc" "$flags" "$target" "$file" "$file"
}
database() {
  {
    echo "["
    batch good_tests "" first.cpp second_ok.cpp; echo ","
    batch bad_tests "" first.cpp leaning.cpp; echo ","
    batch other "" first.cpp not_a_test.cpp; echo ","
    batch module "-Winvalid-pch -include $tmp/build/CMakeFiles/module.dir/cmake_pch.hxx" first.cpp on_the_pch.cpp
    echo "]"
  } >"$tmp/build/compile_commands.json"
}
database

if bash "$checker" "$tmp/build" good_tests >"$tmp/out" 2>&1; then echo "ok: self-contained batch passes"
else echo "FAILED: self-contained batch"; cat "$tmp/out"; fail=1; fi

if bash "$checker" "$tmp/build" >"$tmp/out" 2>&1; then echo "FAILED: leaning sources passed"; cat "$tmp/out"; fail=1
else echo "ok: leaning sources fail the check"; fi
if grep -q "leaning.cpp" "$tmp/out" && grep -q "not_a_test.cpp" "$tmp/out" && grep -q "on_the_pch.cpp" "$tmp/out" &&
   grep -q "^3 of 8 sources" "$tmp/out"; then
  echo "ok: every target's leaning sources are named, the one leaning on the precompiled header too"
else echo "FAILED: the report names the wrong sources, or counts wrong"; cat "$tmp/out"; fail=1; fi

# Headers, with a source folder: one that includes what it uses passes, one that does
# not fails, each with the flags of the compile nearest it.
printf '#pragma once\n#include <vector>\ninline std::vector<int> Whole() { return {}; }\n' >"$tmp/src/inc/whole.h"
if bash "$checker" "$tmp/build" good_tests "$tmp/src" >"$tmp/out" 2>&1 && grep -q "^all 4 sources and headers" "$tmp/out"; then
  echo "ok: self-contained headers pass"
else echo "FAILED: self-contained headers"; cat "$tmp/out"; fail=1; fi
printf '#pragma once\ninline std::vector<int> Part() { return {}; }\n' >"$tmp/src/inc/part.h"
if bash "$checker" "$tmp/build" good_tests "$tmp/src" >"$tmp/out" 2>&1; then
  echo "FAILED: a header leaning on its includer passed"; cat "$tmp/out"; fail=1
elif grep -q "== $tmp/src/inc/part.h" "$tmp/out" && grep -q "^1 of 5 sources and headers" "$tmp/out"; then
  echo "ok: a header leaning on its includer fails and is named"
else echo "FAILED: the header's report"; cat "$tmp/out"; fail=1; fi
exit $fail
