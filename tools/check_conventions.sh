#!/usr/bin/env bash
# Conventions check over a source tree (default: this repository).
#  1. Code of the layer folders above platform/ reaches the system only through platform/.
#  2. No `long` as a type, no wchar_t, no wide L"..." literals anywhere in our C++.
#  3. No file, file name or comment refers to the design documents the code was written from.
#  4. Folders are layers: a folder includes only the folders below it (the table below).
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
