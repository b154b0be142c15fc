#!/usr/bin/env bash
# Checks the built module as Windows' loader will see it: a PE32 i386 DLL whose seven
# exports stand at their ordinals and whose imports are all DLLs every Windows has
# (the C++ runtime and the libraries are linked in). Prints the imports.
#   check_dll.sh Dorvik2.dll
set -euo pipefail
dll=$1
dump=$(i686-w64-mingw32-objdump -p "$dll")
status=0
fail() { echo "check_dll: $*" >&2; status=1; }

grep -q 'file format pei-i386' <<<"$dump" || fail "not an i386 PE file"
grep -qE '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$dump" || fail "not PE32"
grep -A8 '^Characteristics' <<<"$dump" | grep -qE '^[[:space:]]+DLL$' || fail "not a DLL"

# Ordinal: an exact name, or a pattern for the class's members (their mangled names).
expected=(
  "1 CreateGameWnd"
  "2 DestroyGameWnd"
  "3 InitGameWnd"
  "4 _ZN8CDorvik2C[12]Ev"
  "5 _ZN8CDorvik2aSERKS_"
  "6 fnDorvik2"
  "7 nDorvik2"
)
base=$(sed -n 's/^Ordinal Base[[:space:]]*//p' <<<"$dump")
# "[   i] name" rows: i is the ordinal less the base.
exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
          sed -n "s/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\] \(.*\)$/\1 \2/p" |
          awk -v base="${base:-1}" '{ print $1 + base, $2 }' | sort -n)
[ "$(wc -l <<<"$exports")" -eq ${#expected[@]} ] ||
  fail "$(wc -l <<<"$exports") exports instead of ${#expected[@]}: $(tr '\n' ' ' <<<"$exports")"
for row in "${expected[@]}"; do
  grep -qxE "$row" <<<"$exports" || fail "no export ${row#* } at ordinal ${row%% *}"
done

# What every 32-bit Windows has; a runtime DLL of the compiler (libstdc++-6, libgcc_s,
# libwinpthread-1) or of a library would have to ship beside the module.
allowed=(kernel32 user32 gdi32 msimg32 ddraw dsound winmm advapi32 oleaut32 ole32 shell32 shlwapi msvcrt imm32
  comctl32 comdlg32 version)
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump" | sort -fu)
[ -n "$imports" ] || fail "no imports found"
while read -r name; do
  [ -n "$name" ] || continue
  lower=$(tr '[:upper:]' '[:lower:]' <<<"${name%.[dD][lL][lL]}")
  case " ${allowed[*]} " in *" $lower "*) ;; *) fail "imports $name, which is no Windows system DLL" ;; esac
done <<<"$imports"

echo "check_dll: $(basename "$dll"): PE32 i386 DLL, exports $(awk '{ printf "%s%s %s", (NR > 1 ? ", " : ""), $1, $2 }' <<<"$exports")"
echo "check_dll: imports $(tr '\n' ' ' <<<"$imports")"
exit $status
