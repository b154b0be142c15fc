#!/usr/bin/env bash
# Conventions check over a source tree (default: this repository).
#  1. Code of the layer folders above platform/ reaches the system only through platform/.
#  2. No `long` as a type, no wchar_t, no wide L"..." literals anywhere in our C++.
#  3. No file, file name or comment refers to the design documents the code was written from.
#  4. Folders are layers: a folder includes only the folders below it (the table below).
#  5. Product code never notes its own calls: no function whose body only records, notes
#     or logs a call, and no call of a trace other than its effect and voice channels.
#  6. Nor its own steps: no member list that the product only fills (appends to, clears,
#     hands out through an accessor nothing in the product calls, or takes from a setter),
#     which leaves tests reading a record of the steps instead of their effects.
#  7. One place per target decides what differs: no preprocessor test of the target
#     outside platform/ (the build files choose the side), no system header and no
#     compiler-only type in the product, and both sides of platform/ offer the same
#     headers, the headless side's test-only sim*.h aside.
# A line may opt out of rule 2 with the marker "conventions: allow" (the layer's
# formatter, which must name the C dialect it reads).
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2
status=0
report() { echo "$1"; status=1; }

subsystems=(base tables host game graphics sound widgets panels scene module)
existing=()
for d in "${subsystems[@]}"; do [ -d "$d" ] && existing+=("$d"); done

code_files() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.cc' -o -name '*.h' -o -name '*.hpp' -o -name '*.inl' \) \
    -not -path '*/build*' 2>/dev/null
}

# Code only: a line's comment and the contents of its strings are not code.
code_part() { printf '%s' "${1#*:*:}" | sed -e 's://.*$::' -e 's:"[^"]*":"":g'; }

if [ ${#existing[@]} -gt 0 ]; then
  forbidden='\bfopen\s*\(|std::(i|o)?fstream|\bgetenv\s*\(|\bclock_gettime\b|std::chrono::[a-z_]*_clock|\bsleep_for\b|\busleep\s*\(|std::thread\b|std::jthread\b|<windows\.h>|<unistd\.h>|<pthread\.h>|<filesystem>|(^|[^A-Za-z0-9_.>:])(std::)?(system|time)\s*\('
  while IFS= read -r hit; do
    case $hit in *'#'*include*) ;; *) code_part "$hit" | grep -qE "$forbidden" || continue ;; esac
    report "system call outside platform/: $hit"
  done < <(code_files "${existing[@]}" | xargs -r grep -HnE "$forbidden" | grep -v 'conventions: allow')
  # Includes name a layer from the root, and the product never reaches the test code.
  while IFS= read -r hit; do
    report "relative include: $hit"
  done < <(code_files "${existing[@]}" | xargs -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]\.\.?/')
  while IFS= read -r hit; do
    report "product code including tools/ or tests/: $hit"
  done < <(code_files "${existing[@]}" | xargs -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](tools|tests)/')
fi

# The sides of platform/ are chosen by the build: code outside platform/ asks for no
# target, reaches no system header (<windows.h> above included) and no header of one
# side alone, and uses no type a 32-bit target lacks.
target_dirs=()
for d in "${existing[@]}" tests tools bench fuzz; do [ -d "$d" ] && target_dirs+=("$d"); done
if [ ${#target_dirs[@]} -gt 0 ]; then
  target_test='^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif)\b.*\b(_WIN32|_WIN64|WIN32|__MINGW32__|__MINGW64__|_MSC_VER|__linux__|__unix__|__CYGWIN__)\b'
  while IFS= read -r hit; do
    report "target test outside platform/: $hit"
  done < <(code_files "${target_dirs[@]}" | xargs -r grep -HnE "$target_test")
fi
if [ ${#existing[@]} -gt 0 ]; then
  system_headers='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(win[a-z0-9]*|ddraw|dsound|mmsystem|ole[a-z0-9]*|objbase|unknwn|shellapi|basetsd|minwindef)\.h>|^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]plat/(sim[a-z_]*|win32)\.h[>"]'
  while IFS= read -r hit; do
    report "product code including a system header or one side's own: $hit"
  done < <(code_files "${existing[@]}" | xargs -r grep -HnE "$system_headers")
  while IFS= read -r hit; do
    code_part "$hit" | grep -qE '\b__u?int128\b' && report "128-bit integer type in the product (none on 32-bit targets): $hit"
  done < <(code_files "${existing[@]}" | xargs -r grep -HnE '\b__u?int128\b')
fi
if [ -d platform/include/plat ] && [ -d platform/windows/include/plat ]; then
  headless=$(cd platform/include/plat && ls *.h | grep -v '^sim' | sort)
  windows=$(cd platform/windows/include/plat && ls *.h | grep -vx 'win32.h' | sort)
  while IFS= read -r name; do
    [ -n "$name" ] && report "platform header on one side only: $name"
  done < <(comm -3 <(echo "$headless") <(echo "$windows") | tr -d '\t')
fi

# The layers, bottom to top, and what each may include besides itself. tests/,
# bench/, fuzz/ and tools/ sit beside the layers and may include anything.
declare -A may_include=(
  [base]="platform"
  [tables]="base platform"
  [host]="base tables platform"
  [game]="base tables host platform"
  [graphics]="base tables platform"
  [sound]="base tables platform"
  [widgets]="base tables graphics platform"
  [panels]="base tables host game graphics sound widgets platform"
  [scene]="base tables host game graphics sound widgets panels platform"
  [module]="base tables host game graphics sound widgets panels scene platform"
)
folder_of_include() {  # the layer an include names: plat/ is the platform layer's
  case $1 in plat) echo platform ;; *) echo "$1" ;; esac
}
for d in "${existing[@]}"; do
  while IFS= read -r hit; do
    target=$(printf '%s' "$hit" | sed -E 's|^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([A-Za-z0-9_]+)/.*|\1|')
    target=$(folder_of_include "$target")
    [ "$target" = "$d" ] && continue
    [ -n "${may_include[$target]+x}" ] || [ "$target" = platform ] || continue
    case " ${may_include[$d]} " in
      *" $target "*) ;;
      *) report "include against the layer order ($d/ may not include $target/): $hit" ;;
    esac
  done < <(code_files "$d" | xargs -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][A-Za-z0-9_]+/')
done

# A note of a call proves nothing ran: a test reading it passes whether the work was done
# or not. The trace keeps what a person hears (EffectPlayed, EffectStopped, VoicePlayed);
# its other channel and the helpers that feed it are not for the product to call, and a
# function whose body is nothing but such a note (or a Note helper's) is a stand-in.
# The product's files as perl reads them: comments become blank lines and strings empty
# ones, so line numbers hold and no brace or semicolon inside either counts.
read_code='
  sub read_code {
    open(my $fh, "<", $_[0]) or return undef;
    my $text = do { local $/; <$fh> };
    close $fh;
    $text =~ s{(//[^\n]*)|(/\*.*?\*/)|("(?:\\.|[^"\\\n])*")|((?<![\w])\x27(?:\\[^\x27\n]{1,4}|[^\x27\\\n])\x27)}
              {defined $1 ? "" : defined $2 ? ($2 =~ tr/\n//) x "\n" : defined $3 ? q("") : "0"}gse;
    return $text;
  }'
note_scan='
  my @calls = split /\|/, $ENV{NOTE_CALLS};
  my $calls = join "|", @calls;
  my $bodies = join "|", @calls, split /\|/, $ENV{NOTE_HELPERS};
  my $args = qr/\((?:[^;{}()]|\((?:[^;{}()]|\([^;{}()]*\))*\))*\)/;
  my $keyword = qr/^(?:if|for|while|switch|catch|return|sizeof|decltype|alignof|noexcept)$/;
  while (my $file = <STDIN>) {
    chomp $file;
    my $text = read_code($file) // next;
    my $line = sub { 1 + (substr($text, 0, $_[0]) =~ tr/\n//) };
    while ($text =~ /(?<![\w~])($calls)\s*\(/g) {
      my $at = $-[1];
      # A declaration or definition of the helper is not a call of it.
      my $before = substr($text, ($at > 80 ? $at - 80 : 0), ($at > 80 ? 80 : $at));
      next if $before =~ /\b(?:void|bool|auto)\s+(?:\w+::)*$/;
      printf "trace note called from product code (only effects and voices may be traced): %s:%d: %s\n",
        $file, $line->($at), $1;
    }
    while ($text =~ /(?:\b(\w+)|\])\s*$args\s*(?:const\s*|override\s*|final\s*|noexcept\s*|->\s*void\s*)*\{((?:\s*(?:if\s*$args\s*)?(?:[\w.]+(?:->|\.|::))*(?:$bodies)\s*$args\s*;)+)\s*\}/g) {
      my ($name, $at) = ($1 // "lambda", $-[0]);
      next if $name =~ $keyword;
      printf "function whose body only notes its own call: %s:%d: %s\n", $file, $line->($at), $name;
    }
  }'
product=()
for d in platform "${existing[@]}"; do [ -d "$d" ] && product+=("$d"); done
if [ ${#product[@]} -gt 0 ]; then
  while IFS= read -r hit; do
    report "$hit"
  done < <(code_files "${product[@]}" | NOTE_CALLS='Called|TraceCall|RecordCall|NotePendingCall' \
             NOTE_HELPERS='Note|NoteCall|LogCall' perl -e "$read_code$note_scan")
fi

# A list the product appends to and never reads is a record of its own steps: a test
# reading it passes whether the steps did their work or not. Members are known by their
# trailing underscore; a same-named member read anywhere counts as read.
step_scan='
  my (%text, %appended);
  while (my $file = <STDIN>) {
    chomp $file;
    my $t = read_code($file) // next;
    $text{$file} = $t;
    while ($t =~ /(?<![\w.>])(\w+_)\s*(?:\.|->)\s*(?:push_back|emplace_back)\s*\(/g) {
      $appended{$1} //= [$file, 1 + (substr($t, 0, $-[1]) =~ tr/\n//)];
    }
  }
  my $fill = qr/\s*(?:\.|->)\s*(?:push_back|emplace_back|clear)\s*\(/;
  for my $m (sort keys %appended) {
    my ($read, @accessors) = (0);
    for my $file (sort keys %text) {
      my $t = $text{$file};
      while (!$read && $t =~ /(?<![\w.>])\Q$m\E\b/g) {
        my ($at, $end) = ($-[0], $+[0]);
        my $before = substr($t, ($at > 200 ? $at - 200 : 0), ($at > 200 ? 200 : $at));
        my $after = substr($t, $end, 80);
        # Filled, declared, installed by a setter, or the guard of a fill.
        next if $after =~ /^$fill/;
        next if $before =~ /[>\w*&]\s*$/ && $before !~ /\breturn\s*\*?\s*$/
                && $after =~ /^\s*(?:;|=\s*nullptr\s*;|\{\s*\}\s*;|=\s*\{\s*\}\s*;)/;
        next if $before =~ /\{\s*$/ && $after =~ /^\s*=\s*\w+\s*;\s*\}/;
        next if $before =~ /\bif\s*\(\s*$/ && $after =~ /^\s*\)\s*\Q$m\E$fill/;
        # Handed out by an accessor: read when the product calls it.
        if ($after =~ /^\s*;\s*\}/ && $before =~ /(\w+)\s*\([^()]*\)\s*(?:const\s*)?(?:noexcept\s*)?\{\s*return\s*\*?\s*$/) {
          push @accessors, $1;
          next;
        }
        $read = 1;
      }
    }
    for my $name (@accessors) {
      for my $t (values %text) {
        $read = 1 if $t =~ /(?<![\w])\Q$name\E\s*\((?![^()]*\)\s*(?:const\s*)?(?:noexcept\s*)?\{\s*return)/;
      }
    }
    next if $read;
    printf "a list the product only fills, a record of its own steps for tests: %s:%d: %s\n",
      $appended{$m}[0], $appended{$m}[1], $m;
  }'
if [ ${#existing[@]} -gt 0 ]; then
  while IFS= read -r hit; do
    report "$hit"
  done < <(code_files "${existing[@]}" | perl -e "$read_code$step_scan")
fi

dirs=()
for d in "${subsystems[@]}" platform tests tools bench fuzz; do [ -d "$d" ] && dirs+=("$d"); done
if [ ${#dirs[@]} -gt 0 ]; then
  types='(^|[^A-Za-z0-9_"])(unsigned[[:space:]]+)?long([^A-Za-z0-9_]|$)|\bwchar_t\b|(^|[^A-Za-z0-9_])L"'
  while IFS= read -r hit; do
    # Ignore comments and string contents: only code lines count.
    stripped=$(code_part "$hit")
    if printf '%s' "$stripped" | grep -qE "$types"; then
      report "forbidden type or literal: $hit"
    fi
  done < <(code_files "${dirs[@]}" | xargs -r grep -HnE "$types" | grep -v 'conventions: allow')
fi

# Every file of the tree: what git tracks in a checkout, else (an unpacked archive)
# everything outside build folders.
tree_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files
  else
    find . -type f -not -path './.git/*' -not -path './build*' | sed 's:^\./::'
  fi | grep -vE '^(\.git/|shared/)'
}

# Words are assembled so that this script does not flag itself.
w_doc="spe""c(ification)?"
w_part="par""t[[:space:]]+[0-9]+\.[0-9]+"
words="\\b${w_doc}\\b|\\b${w_part}"
while IFS= read -r hit; do
  report "reference to the design documents: $hit"
done < <(tree_files | xargs -r -d "\n" grep -HnIiE "$words" 2>/dev/null)
while IFS= read -r name; do
  report "file name refers to the design documents: $name"
done < <(tree_files | grep -iE "(^|/)[^/]*(spe""c|par""t[-_ ]?[0-9])")

if [ $status -eq 0 ]; then echo "conventions: clean"; fi
exit $status
