// cp949-best-fit: asks the system's code page 949, for every UTF-16 code unit alone,
// what WideCharToMultiByte gives with flags 0 and with WC_NO_BEST_FIT_CHARS, and prints
// the units where the two differ as C++ initialisers { unit, bytes }: the look-alikes the
// system writes for characters the code page lacks. Bytes of one byte are the byte, of
// two the lead byte in the high half. tools/winhost/make_cp949_best_fit.sh runs it under
// Wine and writes the headless layer's table from its output. It fails (exit 1, with the
// unit named) on an answer the table cannot hold: more than two bytes, or a look-alike
// that claims to be the default character.
//   cp949-best-fit.exe
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr UINT kKorean = 949;

struct Answer {
  std::string bytes;
  BOOL usedDefault = FALSE;
};

Answer Encode(WCHAR unit, DWORD flags) {
  char out[8] = {};
  Answer a;
  const int n = WideCharToMultiByte(kKorean, flags, &unit, 1, out, sizeof out, nullptr, &a.usedDefault);
  a.bytes.assign(out, n > 0 ? size_t(n) : 0);
  return a;
}

}  // namespace

int main() {
  int32_t differing = 0;
  for (uint32_t u = 0; u <= 0xFFFF; ++u) {
    const Answer bestFit = Encode(WCHAR(u), 0);
    const Answer strict = Encode(WCHAR(u), WC_NO_BEST_FIT_CHARS);
    if (bestFit.bytes == strict.bytes && bestFit.usedDefault == strict.usedDefault) continue;
    if (bestFit.bytes.empty() || bestFit.bytes.size() > 2 || bestFit.usedDefault) {
      std::fprintf(stderr, "cp949-best-fit: U+%04X gives %zu bytes (default used: %d)\n", unsigned(u),
                   bestFit.bytes.size(), int(bestFit.usedDefault));
      return 1;
    }
    uint32_t code = 0;
    for (char c : bestFit.bytes) code = code << 8 | uint8_t(c);
    std::printf("    {0x%04X, 0x%04X},\n", unsigned(u), unsigned(code));
    ++differing;
  }
  std::fprintf(stderr, "cp949-best-fit: %d units differ\n", int(differing));
  return 0;
}
