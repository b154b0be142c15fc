#!/usr/bin/env bash
# Every source of a unity batch, and every header, compiles on its own: a file that leans
# on an include an earlier file of its batch made, or one the precompiled header gives,
# builds in the batch and fails alone (with -DCMAKE_UNITY_BUILD=OFF
# -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON, or when the batches are cut differently).
#   tools/check_compiles_alone.sh <build folder> [target-regex [source folder]]
# Reads the build's compile_commands.json and runs each batch's command once per source
# in it with -fsyntax-only: the same flags and definitions, and the target's precompiled
# header only when it holds nothing but standard and GoogleTest headers (the test
# programs'; the product's holds the layer's and base/'s headers, and goes). By default
# every target's batches (the product's and the test programs'). With a source folder,
# also each header under it alone (but the Windows side's, which the headless build
# cannot compile), with the flags of the compile whose source lies nearest it in the
# tree.
set -uo pipefail
build=${1:?usage: check_compiles_alone.sh <build folder> [target-regex [source folder]]}
targets=${2:-.}
sources=${3:-}
commands="$build/compile_commands.json"
[ -f "$commands" ] || { echo "no $commands: configure with CMAKE_EXPORT_COMPILE_COMMANDS" >&2; exit 2; }
jobs=${DORVIK_ALONE_JOBS:-$(nproc 2>/dev/null || echo 2)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

headers=""
if [ -n "$sources" ]; then
  headers=$(cd "$sources" && pwd) || exit 2
fi

# One NUL-separated record per compile: the folder to run in, the command, and the
# source after a tab each; for a header, the command reads `#include "<header>"` from
# its input.
TARGETS="$targets" HEADERS="$headers" perl -MJSON::PP -MFile::Find -e '
  local $/;
  my $entries = decode_json(<STDIN>);
  my $targets = $ENV{TARGETS};
  my $root = $ENV{HEADERS};
  my @donors;  # [folder of a source, directory, command] for the headers
  # A precompiled header of standard and GoogleTest headers alone stays (it is what
  # keeps the check cheap); one that holds the project'"'"'s own headers goes, or it would
  # supply what a source leaves out.
  my %standardOnly;
  sub plain {
    my ($command) = @_;
    $command =~ s/\s-o\s+\S+//;
    if ($command =~ /\s-include\s+(\S*cmake_pch\.hxx)/) {
      my $pch = $1;
      unless (exists $standardOnly{$pch}) {
        open(my $fh, "<", $pch) or die "cannot read $pch";
        my @includes = <$fh> =~ /^#include\s+(\S+)/mg;
        close $fh;
        $standardOnly{$pch} = !grep { !m{^<(?:[a-z_]+|gtest/gtest\.h|gmock/gmock\.h)>$} } @includes;
      }
      unless ($standardOnly{$pch}) {
        $command =~ s/\s-include\s+\S*cmake_pch\.hxx//g;
        $command =~ s/\s-Winvalid-pch//g;
      }
    }
    return $command;
  }
  for my $e (@$entries) {
    my $command = plain($e->{command});
    if ($e->{file} =~ m{/CMakeFiles/[^/]*\.dir/Unity/unity_[^/]*\.cxx$}) {
      open(my $fh, "<", $e->{file}) or next;
      my @batch = <$fh> =~ /^#include\s+"([^"]+)"/mg;
      close $fh;
      next unless @batch;
      push @donors, [$batch[0] =~ s{/[^/]*$}{}r, $e->{directory}, $command];
      next unless $e->{file} =~ m{/CMakeFiles/[^/]*(?:$targets)[^/]*\.dir/Unity/};
      # Under a precompiled header that stays, the first of a batch follows nothing
      # else: the build itself has compiled it so.
      shift @batch if $command =~ /cmake_pch\.hxx/;
      for my $src (@batch) {
        (my $alone = $command) =~ s/\s-c\s+\S+/ -fsyntax-only $src/;
        print "$e->{directory}\t$alone\t$src\0";
      }
    } elsif ($e->{file} =~ m{\.(?:cpp|cc|cxx)$}) {
      push @donors, [$e->{file} =~ s{/[^/]*$}{}r, $e->{directory}, $command];
    }
  }
  exit 0 unless $root;
  my @found;
  find({ no_chdir => 1, wanted => sub {
    if (-d $_ && ($_ =~ m{^\Q$root\E/(?:build[^/]*|\.[^/]*|platform/windows|tools/winhost)$})) {
      $File::Find::prune = 1;
      return;
    }
    push @found, $_ if -f $_ && /\.h$/;
  } }, $root);
  for my $h (sort @found) {
    (my $dir = $h) =~ s{/[^/]*$}{};
    my ($best, $bestLength) = (undef, -1);
    for my $d (@donors) {
      # The longest run of whole folders the two paths share.
      my @a = split m{/}, $dir;
      my @b = split m{/}, $d->[0];
      my $n = 0;
      $n++ while $n < @a && $n < @b && $a[$n] eq $b[$n];
      # Of the nearest, the one that sees the most: a helper library may see less.
      ($best, $bestLength) = ($d, $n) if $n > $bestLength || ($n == $bestLength && length($d->[2]) > length($best->[2]));
    }
    next unless $best;
    (my $alone = $best->[2]) =~ s/\s-c\s+\S+/ -fsyntax-only -x c++ -/;
    print "$best->[1]\t$alone\t$h\0";
  }' <"$commands" >"$work/list" || exit 2

count=$(tr -cd '\0' <"$work/list" | wc -c)
[ "$count" -gt 0 ] || { echo "no unity batches of targets matching '$targets' (a unity-off build compiles each file alone)"; exit 0; }

# Each failure in a file of its own: parallel writers never interleave.
mkdir -p "$work/failed"
# shellcheck disable=SC2016
xargs -0 -P "$jobs" -n 1 bash -c '
  IFS=$'"'"'\t'"'"' read -r dir command src <<<"$1"
  out=$(cd "$dir" && printf "#include \"%s\"\n" "$src" | eval "$command" 2>&1) ||
    printf "%s\n%s\n\n" "== $src" "$out" >"$(mktemp "$0/failed.XXXXXX")"
' "$work/failed" <"$work/list"

failed=$(find "$work/failed" -type f | wc -l)
if [ "$failed" -gt 0 ]; then
  cat "$work/failed"/*
  echo "$failed of $count sources and headers do not compile alone"
  exit 1
fi
echo "all $count sources and headers compile alone"
