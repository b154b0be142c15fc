#!/usr/bin/env bash
# Proves the DLL check passes a module-shaped DLL and names each fault planted in a
# copy: ordinals swapped, an export too many, the C++ runtime imported from its DLL.
# The DLLs are built here with the cross compiler from one small source; scripts/test
# --windows runs it, where that compiler is sure to be.
#   check_dll_test.sh check_dll.sh
set -uo pipefail
checker=$1
cxx=i686-w64-mingw32-g++-posix
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

cat >"$tmp/exports.cpp" <<'SRC'
#include <string>
struct IHost;
struct IClient;
class CDorvik2 {
 public:
  CDorvik2();
  CDorvik2& operator=(const CDorvik2&);
};
CDorvik2::CDorvik2() = default;
CDorvik2& CDorvik2::operator=(const CDorvik2&) { return *this; }
extern "C" {
int nDorvik2 = 0;
int fnDorvik2() { return 42; }
// Uses the C++ runtime, so that a dynamic link imports it.
int CreateGameWnd(IHost*, IClient** out) { *out = nullptr; return static_cast<int>(std::to_string(nDorvik2).size()); }
void* InitGameWnd(IClient*, int, void*, const char16_t*, const char16_t*, const char16_t*, int, int, int, int, int) {
  return nullptr;
}
int DestroyGameWnd(IClient*) { return -1; }
int Extra() { return 0; }
}
SRC
# def <file> <ordinal of CreateGameWnd> <ordinal of InitGameWnd> [extra export line]
def() {
  printf 'LIBRARY "Dorvik2.DLL"\nEXPORTS\n  CreateGameWnd @%s\n  DestroyGameWnd @2\n  InitGameWnd @%s\n' "$2" "$3" >"$1"
  printf '  _ZN8CDorvik2C1Ev @4\n  _ZN8CDorvik2aSERKS_ @5\n  fnDorvik2 @6\n  nDorvik2 @7 DATA\n%s' "${4:-}" >>"$1"
}
def "$tmp/good.def" 1 3
def "$tmp/swapped.def" 3 1
def "$tmp/extra.def" 1 3 '  Extra @8
'
build() {  # build <dll> <def> [link options]
  local out=$1 file=$2
  shift 2
  "$cxx" -shared -O1 "$tmp/exports.cpp" "$file" -o "$out" "$@" || { echo "FAIL: cannot build $out"; fail=1; }
}
build "$tmp/good.dll" "$tmp/good.def" -static
build "$tmp/swapped.dll" "$tmp/swapped.def" -static
build "$tmp/extra.dll" "$tmp/extra.def" -static
build "$tmp/runtime.dll" "$tmp/good.def"

# expect <dll> <0 or 1> <text the report must hold>
expect() {
  local report status
  report=$(bash "$checker" "$1" 2>&1)
  status=$?
  if [ "$status" -ne "$2" ] || ! grep -qF -- "$3" <<<"$report"; then
    echo "FAIL: $(basename "$1"): exit $status (want $2), report lacks \"$3\":"
    echo "$report"
    fail=1
  fi
}
expect "$tmp/good.dll" 0 "exports 1 CreateGameWnd, 2 DestroyGameWnd, 3 InitGameWnd, 4 _ZN8CDorvik2C1Ev"
expect "$tmp/swapped.dll" 1 "no export CreateGameWnd at ordinal 1"
expect "$tmp/swapped.dll" 1 "no export InitGameWnd at ordinal 3"
expect "$tmp/extra.dll" 1 "8 exports instead of 7"
expect "$tmp/runtime.dll" 1 "imports libstdc++-6.dll, which is no Windows system DLL"
[ $fail -eq 0 ] && echo "check_dll catches every planted fault"
exit $fail
