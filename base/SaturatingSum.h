// Money from the host may be anything: sums of it stop at the ends of 64 bits instead
// of wrapping.
#pragma once

#include <cstdint>
#include <limits>

inline int64_t SaturatingSum(int64_t a, int64_t b) {
  int64_t sum = 0;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
}
