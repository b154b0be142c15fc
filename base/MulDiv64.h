// a x b / c on 64-bit operands without a 128-bit integer type, which 32-bit targets
// lack: the product is kept as two 64-bit halves and divided a bit at a time.
#pragma once

#include <cstdint>

struct MulDivResult {
  int64_t quotient;
  int64_t remainder;
};

// Truncated toward zero, as C++ divides; c must not be 0. A quotient past 64 bits keeps
// its low 64 bits, as a 128-bit quotient cast back to int64_t does, so every target
// gives the same answer for the same operands.
inline MulDivResult MulDivMod64(int64_t a, int64_t b, int64_t c) {
  auto magnitude = [](int64_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); };
  const uint64_t ua = magnitude(a), ub = magnitude(b), uc = magnitude(c);
  uint64_t quotient = 0, remainder = 0, low = 0;
  if (!__builtin_mul_overflow(ua, ub, &low)) {
    quotient = low / uc;
    remainder = low % uc;
  } else {
    constexpr uint64_t kHalf = 0xFFFFFFFFu;
    const uint64_t al = ua & kHalf, ah = ua >> 32, bl = ub & kHalf, bh = ub >> 32;
    const uint64_t ll = al * bl, lh = al * bh, hl = ah * bl;
    const uint64_t middle = (ll >> 32) + (lh & kHalf) + (hl & kHalf);
    low = middle << 32 | (ll & kHalf);
    const uint64_t high = ah * bh + (lh >> 32) + (hl >> 32) + (middle >> 32);
    // Multiples of c x 2^64 lie above the quotient's low 64 bits: only high mod c
    // reaches them.
    remainder = high % uc;
    for (int bit = 63; bit >= 0; --bit) {
      const bool carry = remainder >> 63 != 0;
      remainder = remainder << 1 | (low >> bit & 1);
      quotient <<= 1;
      if (carry || remainder >= uc) {
        remainder -= uc;
        quotient |= 1;
      }
    }
  }
  const bool productNegative = ua != 0 && ub != 0 && (a < 0) != (b < 0);
  const bool quotientNegative = productNegative != (c < 0);
  return {static_cast<int64_t>(quotientNegative ? 0 - quotient : quotient),
          static_cast<int64_t>(productNegative ? 0 - remainder : remainder)};
}
