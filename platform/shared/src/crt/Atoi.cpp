// The original compiler's 32-bit atoi and atol, and the decimal reading beneath them.
#include "crt/ParseDecimal.h"
#include "plat/format.h"

namespace plat::crt {
namespace detail {
namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

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

}  // namespace detail

int32_t atoi(const char* text) { return static_cast<int32_t>(detail::ParseDecimal(text, INT32_MAX)); }
int32_t atol(const char* text) { return atoi(text); }

}  // namespace plat::crt
