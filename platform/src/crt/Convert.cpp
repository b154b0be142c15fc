// Text-to-number conversions and ASCII case-insensitive comparisons of the module's
// C runtime.
#include "plat/crt.h"

#include <cstdint>
#include <cstring>

#include "crt/ParseDecimal.h"

namespace {

// Lower-case folding, as the compiler's runtime compares: '_' sorts before letters.
int FoldLower(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

}  // namespace

int _stricmp(const char* a, const char* b) { return _strnicmp(a, b, SIZE_MAX); }

int _strnicmp(const char* a, const char* b, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const int ca = FoldLower(a[i]);
    const int cb = FoldLower(b[i]);
    if (ca != cb) return ca - cb;
    if (ca == 0) return 0;
  }
  return 0;
}

int64_t _atoi64(const char* text) {
  return plat::crt::detail::ParseDecimal(text, static_cast<uint64_t>(INT64_MAX));
}

char* _i64toa(int64_t value, char* buffer, int radix) {
  if (!buffer) return buffer;
  buffer[0] = '\0';
  if (radix < 2 || radix > 36) return buffer;
  // Only radix 10 is signed; other radixes show the two's-complement bits.
  const bool negative = radix == 10 && value < 0;
  uint64_t v = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char digits[65];
  size_t n = 0;
  do {
    const auto d = static_cast<unsigned>(v % static_cast<uint64_t>(radix));
    digits[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
    v /= static_cast<uint64_t>(radix);
  } while (v);
  char* p = buffer;
  if (negative) *p++ = '-';
  while (n) *p++ = digits[--n];
  *p = '\0';
  return buffer;
}
