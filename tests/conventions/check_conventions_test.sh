#!/usr/bin/env bash
# Proves the conventions check passes a clean tree and reports each kind of planted
# violation: every violation sits in a file of its own and must be named in the report.
set -uo pipefail
checker=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

# make_tree <dir> <git|plain>: a clean tree (platform/ may call the system).
make_tree() {
  mkdir -p "$1/module" "$1/platform/src" "$1/graphics" "$1/scene" "$1/panels"
  printf 'int32_t x = 0;\n' > "$1/module/ok.cpp"
  printf '#include "scene/ok.h"\n#include "plat/types.h"\n' > "$1/module/downward.cpp"
  printf '#include "graphics/ok.h"\n' > "$1/scene/downward.cpp"
  printf 'FILE* f = fopen("x", "r");\n' > "$1/platform/src/ok.cpp"
  printf '// a long comment about longevity\n' > "$1/module/long_in_comment.cpp"
  printf 'const char* f = "%%ld";\n' > "$1/module/ld_in_string.cpp"
  printf '// stops in time (nothing else)\nint32_t t = frame.time(0) + GetTime(1) + obj->time(2) + Run::time(3);\n' > "$1/module/time_words.cpp"
  printf 'const char* s = "system(1)";\n' > "$1/module/system_in_string.cpp"
  # The trace's effect and voice channels are what a person hears; tests may note anything.
  printf 'void CX::Deal() {\n  table_.Deal();\n  if (trace_) trace_->EffectPlayed(kDeal);\n  trace_->VoicePlayed(1, -1);\n}\n' \
    > "$1/scene/effects.cpp"
  printf 'void CX::Quiet() { if (trace_) trace_->EffectStopped(kDeal); }\n' > "$1/scene/effect_only.cpp"
  printf '// once RecordCall("Show") stood here\nvoid CX::Show() { panel_->Show(); Say("Called(1)"); }\n' \
    > "$1/scene/note_words.cpp"
  # Lists the product reads: through a member, and through an accessor it calls.
  printf 'void CX::Add(int32_t n) { seen_.push_back(n); }\nint32_t CX::Sum() { return Total(seen_); }\nstd::vector<int32_t> seen_;\n' \
    > "$1/scene/read_list.cpp"
  printf 'const std::vector<int32_t>& Rows() const { return rows_; }\nvoid CX::Add() { rows_.push_back(1); }\nvoid CX::Show() { Draw(Rows()); }\n' \
    > "$1/scene/read_through_accessor.h"
  mkdir -p "$1/tests/scene"
  printf 'void Fake::Show() { RecordCall("Show"); }\n' > "$1/tests/scene/fake.cpp"
  if [ "$2" = git ]; then (cd "$1" && git init -q . && git add -A); fi
}
run() {  # run <dir>: the checker's status and report
  if bash "$checker" "$1" >"$tmp/out" 2>&1; then got=pass; else got=fail; fi
}
expect_reported() {  # expect_reported <kind> <file:line> <label>: that finding at that line
  if grep -F "$1" "$tmp/out" | grep -qF "$2:"; then echo "ok: $3"; else echo "FAILED: $3 not reported ($2)"; fail=1; fi
}
expect_named() {  # expect_named <file> <label>
  if grep -qF "$1" "$tmp/out"; then echo "ok: $2"; else echo "FAILED: $2 not reported ($1)"; fail=1; fi
}

make_tree "$tmp/clean" git
run "$tmp/clean"
if [ "$got" = pass ]; then echo "ok: clean tree"; else echo "FAILED: clean tree"; cat "$tmp/out"; fail=1; fi

tree="$tmp/planted"
make_tree "$tree" plain
plant() { printf '%s\n' "$2" > "$tree/$1"; }
plant module/fopen.cpp 'FILE* f = fopen("a", "rb");'
plant module/chrono.cpp 'auto t = std::chrono::steady_clock::now();'
plant module/thread.cpp 'std::thread t;'
plant module/getenv.cpp 'const char* e = getenv("HOME");'
plant module/filesystem.cpp '#include <filesystem>'
plant module/system.cpp 'int r = system("ls");'
plant module/time.cpp 'auto now = time(nullptr);'
plant module/std_time.cpp 'auto now = std::time(nullptr);'
plant module/system_clock.cpp 'auto t = std::chrono::system_clock::now();'
plant scene/relative.cpp '#include "../module/CDorvik2Wnd.h"'
plant scene/relative_same.cpp '#include "./CVHTWnd.h"'
plant panels/tools.cpp '#include "tools/gamedata/GameData.h"'
plant module/tests.cpp '#include "tests/support/TempDir.h"'
plant module/long.cpp 'long n = 0;'
plant platform/src/ulong.cpp 'unsigned long n = 0;'
plant module/wchar.cpp 'wchar_t c = 0;'
plant module/wide.cpp 'auto s = L"x";'
plant module/doc_word.cpp "// see the spe""c"
plant graphics/upward.cpp '#include "widgets/GVWnd.h"'
plant scene/upward.cpp '#include "module/CDorvik2Wnd.h"'
plant scene/self_note.cpp 'void CX::Foo() { RecordCall("Foo"); }'
plant panels/note_helper.h $'  void Refresh(int32_t n) const {\n    if (scene_) Note(FormatString("Refresh(%ld)", n).c_str());\n  }'
plant scene/pending_note.cpp $'void CX::Mark()\n{\n  host_.NotePendingCall("Mark");\n}'
plant scene/work_then_note.cpp $'void CX::Show(int32_t n) {\n  panel_->Show(n);\n  TraceCall(trace_, "Show");\n}'
plant scene/called.cpp $'void CX::Hide() {\n  panel_->Hide();\n  trace_->Called("Hide");\n}'
plant module/steps.h $'class CW {\n  const std::vector<std::string>& Steps() const { return steps_; }\n  void Build() {\n    steps_.emplace_back("create");\n  }\n  std::vector<std::string> steps_;\n};'
plant panels/draw_trace.h $'class CN {\n  void SetTrace(std::vector<int32_t>* trace) { drawn_ = trace; }\n  void Draw() {\n    if (drawn_) drawn_->push_back(kHead);\n  }\n  std::vector<int32_t>* drawn_ = nullptr;\n};'
plant module/numbered.cpp "// as Par""t 1.103 says"
plant module/ifdef_win.cpp $'#ifdef _WIN32\nint32_t x = 1;\n#endif'
plant tests/scene/if_mingw.cpp $'#if defined(__MINGW32__)\nint32_t y = 0;\n#endif'
plant scene/windows_h.cpp '#include <ddraw.h>'
plant module/sim_h.cpp '#include "plat/sim_user.h"'
plant graphics/int128.h 'inline int64_t M(int64_t a) { return static_cast<int64_t>(static_cast<__int128>(a) * a); }'
mkdir -p "$tree/platform/include/plat" "$tree/platform/windows/include/plat"
printf '#pragma once\n' > "$tree/platform/include/plat/gdi.h"
printf '#pragma once\n' > "$tree/platform/include/plat/sim_gdi.h"
printf '#pragma once\n' > "$tree/platform/include/plat/headless_only.h"
printf '#pragma once\n' > "$tree/platform/windows/include/plat/gdi.h"
printf '#pragma once\n' > "$tree/platform/windows/include/plat/win32.h"
printf '#ifdef _WIN32\n#endif\n' > "$tree/platform/windows/include/plat/windows_only.h"
touch "$tree/module/par""t1_notes.txt"
(cd "$tree" && git init -q . && git add -A)
run "$tree"
if [ "$got" = fail ]; then echo "ok: planted tree fails"; else echo "FAILED: planted tree passed"; fail=1; fi
expect_named module/fopen.cpp "fopen in module/"
expect_named module/chrono.cpp "chrono clock in module/"
expect_named module/thread.cpp "std::thread in module/"
expect_named module/getenv.cpp "getenv in module/"
expect_named module/filesystem.cpp "<filesystem> in module/"
expect_named module/system.cpp "system() in module/"
expect_named module/time.cpp "time() in module/"
expect_named module/std_time.cpp "std::time() in module/"
expect_named module/system_clock.cpp "system_clock in module/"
expect_named scene/relative.cpp "relative include up a folder"
expect_named scene/relative_same.cpp "relative include in the folder"
expect_named panels/tools.cpp "panels/ including tools/"
expect_named module/tests.cpp "module/ including tests/"
expect_named module/long.cpp "long as a type"
expect_named platform/src/ulong.cpp "unsigned long in platform/"
expect_named module/wchar.cpp "wchar_t"
expect_named module/wide.cpp "wide literal"
expect_named module/doc_word.cpp "design-document word in a comment"
expect_named module/numbered.cpp "numbered section in a comment"
expect_named "module/par""t1_notes.txt" "design-document file name"
expect_reported "body only notes" scene/self_note.cpp:1 "a body of only RecordCall"
expect_reported "body only notes" panels/note_helper.h:1 "a body of only a guarded Note helper"
expect_reported "body only notes" scene/pending_note.cpp:1 "a body of only NotePendingCall over lines"
expect_reported "trace note called" scene/self_note.cpp:1 "RecordCall called"
expect_reported "trace note called" scene/work_then_note.cpp:3 "TraceCall beside real work"
expect_reported "trace note called" scene/called.cpp:3 "the trace's Called channel"
expect_reported "trace note called" scene/pending_note.cpp:3 "NotePendingCall through a member"
if grep -F "body only notes" "$tmp/out" | grep -qE 'work_then_note|called\.cpp'; then
  echo "FAILED: a body that does work reported as only a note"; fail=1
fi
expect_reported "record of its own steps" module/steps.h:4 "a step list only an accessor hands out"
expect_reported "record of its own steps" panels/draw_trace.h:4 "a trace list a setter installs"
expect_named module/ifdef_win.cpp "#ifdef _WIN32 in module/"
expect_named tests/scene/if_mingw.cpp "#if defined(__MINGW32__) in tests/"
expect_named scene/windows_h.cpp "a system header in scene/"
expect_named module/sim_h.cpp "the headless side's own header in module/"
expect_named graphics/int128.h "__int128 in graphics/"
expect_named "one side only: headless_only.h" "a header on the headless side alone"
expect_named "one side only: windows_only.h" "a header on the Windows side alone"
for side_ok in sim_gdi.h win32.h "windows/include/plat/windows_only.h"; do
  if grep -F "$side_ok" "$tmp/out" | grep -qvF "one side only"; then echo "FAILED: $side_ok reported"; fail=1; fi
done
if grep -F "one side only" "$tmp/out" | grep -qE 'sim_gdi|win32|: gdi\.h'; then
  echo "FAILED: a header of both sides, a sim header or win32.h reported as one side's"; fail=1
fi
expect_named graphics/upward.cpp "graphics/ including widgets/"
expect_named scene/upward.cpp "scene/ including module/"
for clean in scene/read_list.cpp scene/read_through_accessor.h scene/effects.cpp scene/effect_only.cpp scene/note_words.cpp tests/scene/fake.cpp module/ok.cpp module/time_words.cpp module/system_in_string.cpp module/long_in_comment.cpp module/ld_in_string.cpp module/downward.cpp scene/downward.cpp; do
  if grep -qF "$clean" "$tmp/out"; then echo "FAILED: $clean reported"; fail=1; fi
done

# A tree that is not a git checkout (an unpacked archive) is checked all the same.
tree="$tmp/archive"
make_tree "$tree" plain
plant module/doc_word.cpp "// see the spe""c"
run "$tree"
if [ "$got" = fail ]; then echo "ok: archive tree fails"; else echo "FAILED: archive tree passed"; fail=1; fi
expect_named module/doc_word.cpp "design-document word outside git"
if [ $fail -ne 0 ]; then echo "--- last report:"; cat "$tmp/out"; fi
exit $fail
