#!/usr/bin/env bash
# Proves the conventions check fails on each kind of planted violation and passes a clean tree.
set -uo pipefail
checker=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail=0

make_tree() {
  rm -rf "$tmp/tree"; mkdir -p "$tmp/tree/module" "$tmp/tree/platform/src"
  (cd "$tmp/tree" && git init -q . && printf 'int32_t x = 0;\n' > module/ok.cpp \
     && printf 'FILE* f = fopen("x", "r");\n' > platform/src/ok.cpp && git add -A)
}
expect() {  # expect <pass|fail> <label>
  (cd "$tmp/tree" && git add -A >/dev/null 2>&1)
  if bash "$checker" "$tmp/tree" >"$tmp/out" 2>&1; then got=pass; else got=fail; fi
  if [ "$got" != "$1" ]; then echo "FAILED: $2 (expected $1, got $got)"; cat "$tmp/out"; fail=1;
  else echo "ok: $2"; fi
}

make_tree; expect pass "clean tree (platform/ may call the system)"
make_tree; echo 'FILE* f = fopen("a", "rb");' >> "$tmp/tree/module/ok.cpp"; expect fail "fopen in module/"
make_tree; echo 'auto t = std::chrono::steady_clock::now();' >> "$tmp/tree/module/ok.cpp"; expect fail "chrono clock in module/"
make_tree; echo 'std::thread t;' >> "$tmp/tree/module/ok.cpp"; expect fail "std::thread in module/"
make_tree; echo 'const char* e = getenv("HOME");' >> "$tmp/tree/module/ok.cpp"; expect fail "getenv in module/"
make_tree; echo 'long n = 0;' >> "$tmp/tree/module/ok.cpp"; expect fail "long as a type"
make_tree; echo 'unsigned long n = 0;' >> "$tmp/tree/platform/src/ok.cpp"; expect fail "unsigned long in platform/"
make_tree; echo 'wchar_t c = 0;' >> "$tmp/tree/module/ok.cpp"; expect fail "wchar_t"
make_tree; echo 'auto s = L"x";' >> "$tmp/tree/module/ok.cpp"; expect fail "wide literal"
make_tree; echo '// a long comment about longevity' >> "$tmp/tree/module/ok.cpp"; expect pass "long in a comment"
make_tree; echo 'const char* f = "%ld";' >> "$tmp/tree/module/ok.cpp"; expect pass "%ld inside a string"
make_tree; printf '// see the spe%s\n' "c" >> "$tmp/tree/module/ok.cpp"; expect fail "design-document word in a comment"
make_tree; printf '// as Par%s 1.103 says\n' "t" >> "$tmp/tree/module/ok.cpp"; expect fail "numbered section in a comment"
make_tree; touch "$tmp/tree/module/par""t1_notes.txt"; expect fail "design-document file name"
exit $fail
