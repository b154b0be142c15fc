#!/usr/bin/env bash
# Every source of a unity batch compiles on its own: a file that leans on an include
# an earlier file of its batch made builds in the batch and fails alone (with
# -DCMAKE_UNITY_BUILD=OFF, or when the batches are cut differently).
#   tools/check_compiles_alone.sh <build folder> [target-regex]
# Reads the build's compile_commands.json and runs each batch's command once per source
# in it after the first, with -fsyntax-only: the same flags and definitions, and the target's precompiled
# header, which holds only standard and GoogleTest headers, so the check stays cheap.
# By default the test programs' batches (targets ending in _tests).
set -uo pipefail
build=${1:?usage: check_compiles_alone.sh <build folder> [target-regex]}
targets=${2:-_tests}
commands="$build/compile_commands.json"
[ -f "$commands" ] || { echo "no $commands: configure with CMAKE_EXPORT_COMPILE_COMMANDS" >&2; exit 2; }
jobs=${DORVIK_ALONE_JOBS:-$(nproc 2>/dev/null || echo 2)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One line per source: the folder to run in, then the command with the source in place
# of the batch and -fsyntax-only in place of the object file. NUL-separated for xargs.
TARGETS="$targets" perl -MJSON::PP -e '
  local $/;
  my $entries = decode_json(<STDIN>);
  my $targets = $ENV{TARGETS};
  for my $e (@$entries) {
    next unless $e->{file} =~ m{/CMakeFiles/[^/]*(?:$targets)[^/]*\.dir/Unity/unity_[^/]*\.cxx$};
    open(my $fh, "<", $e->{file}) or next;
    my @sources = <$fh> =~ /^#include\s+"([^"]+)"/mg;
    close $fh;
    # The first of a batch follows nothing but the precompiled header: the build
    # itself has compiled it alone.
    shift @sources;
    my $command = $e->{command};
    $command =~ s/\s-o\s+\S+//;
    for my $src (@sources) {
      (my $alone = $command) =~ s/\s-c\s+\S+/ -fsyntax-only $src/;
      print "$e->{directory}\t$alone\0";
    }
  }' <"$commands" >"$work/list" || exit 2

count=$(tr -cd '\0' <"$work/list" | wc -c)
[ "$count" -gt 0 ] || { echo "no unity batches of targets matching '$targets' (a unity-off build compiles each file alone)"; exit 0; }

# Each failure in a file of its own: parallel writers never interleave.
mkdir -p "$work/failed"
# shellcheck disable=SC2016
xargs -0 -P "$jobs" -n 1 bash -c '
  dir=${1%%$'"'"'\t'"'"'*}; command=${1#*$'"'"'\t'"'"'}
  out=$(cd "$dir" && eval "$command" 2>&1) || printf "%s\n%s\n\n" "== ${command##* }" "$out" >"$(mktemp "$0/failed.XXXXXX")"
' "$work/failed" <"$work/list"

failed=$(find "$work/failed" -type f | wc -l)
if [ "$failed" -gt 0 ]; then
  cat "$work/failed"/*
  echo "$failed of $count sources do not compile alone"
  exit 1
fi
echo "all $count sources compile alone"
