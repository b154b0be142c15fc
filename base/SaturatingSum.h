// Money and counts from the host may be anything: sums of them stop at the ends of their
// width instead of wrapping.
#pragma once

#include <cstdint>
#include <limits>

inline int64_t SaturatingSum(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}

// The host's counts (games won and lost) likewise stop at the ends of 32 bits.
inline int32_t SaturatingSum32(int32_t a, int32_t b) {
  int32_t sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}
