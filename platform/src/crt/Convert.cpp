// Text-to-number conversions and ASCII case-insensitive comparisons of the module's
// C runtime.
#include "plat/crt.h"

#include <cstring>

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Lower-case folding, as the compiler's runtime compares: '_' sorts before letters.
int FoldLower(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u;
}

// Leading white space, optional sign, decimal digits; a magnitude beyond `limit`
// (the largest positive value) clamps to the type's range.
int64_t ParseDecimal(const char* text, uint64_t limit) {
  if (!text) return 0;
  while (IsCSpace(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  uint64_t magnitude = 0;
  bool overflow = false;
  for (; *text >= '0' && *text <= '9'; ++text) {
    const auto digit = static_cast<uint64_t>(*text - '0');
    if (overflow || magnitude > (limit + 1 - digit) / 10) {
      overflow = true;
      continue;
    }
    magnitude = magnitude * 10 + digit;
  }
  if (negative) return overflow || magnitude > limit ? -static_cast<int64_t>(limit) - 1 : -static_cast<int64_t>(magnitude);
  return overflow || magnitude > limit ? static_cast<int64_t>(limit) : static_cast<int64_t>(magnitude);
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
  return ParseDecimal(text, static_cast<uint64_t>(INT64_MAX));
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

namespace plat::crt {

int32_t atoi(const char* text) { return static_cast<int32_t>(ParseDecimal(text, INT32_MAX)); }
int32_t atol(const char* text) { return atoi(text); }

}  // namespace plat::crt
