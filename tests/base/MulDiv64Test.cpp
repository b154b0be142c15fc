#include "base/MulDiv64.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

// Expected values from exact big-integer arithmetic. The products past 64 bits take
// the two-halves path, which is the only one a 32-bit build has instead of __int128.
TEST(MulDivMod64, MatchesExactArithmeticTruncatedTowardZero) {
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min(), kMax = std::numeric_limits<int64_t>::max();
  struct Case {
    int64_t a, b, c, quotient, remainder;
  };
  const Case table[] = {
      {7, 6, 4, 10, 2},
      {-7, 6, 4, -10, -2},
      {7, 6, -4, -10, 2},
      {0, kMin, 5, 0, 0},
      // Stretch edges of 33 bits: products near 2^65.
      {8589934591, 4294967303, 4294967305, 8589934587, 38},
      {-8589934591, 4294967303, 4294967305, -8589934587, -38},
      {8589934591, 4294967303, -4294967305, -8589934587, 38},
      {8589934591, 8589934589, 1000003, 73786754900213, 767460},
      // Remainders past 2^63 while dividing.
      {4611686018427387909, 4611686018427387907, kMax, 2305843009213693956, 2305843009213693971},
      // A quotient past 64 bits keeps its low 64 bits: 2^126 / (2^63 - 1) = 2^63 + 1.
      {kMin, kMin, kMax, kMin + 1, 1},
  };
  for (const Case& c : table) {
    const MulDivResult r = MulDivMod64(c.a, c.b, c.c);
    EXPECT_EQ(r.quotient, c.quotient) << c.a << " x " << c.b << " / " << c.c;
    EXPECT_EQ(r.remainder, c.remainder) << c.a << " x " << c.b << " % " << c.c;
  }
}

}  // namespace
