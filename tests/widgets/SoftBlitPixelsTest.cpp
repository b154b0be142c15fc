#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "support/Sweep.h"
#include "widgets/SoftBlitPixels.h"

namespace soft_blit_pixels_test {

using softblit::MulDivExact;
using testing_support::CaseRng;
using testing_support::SweepCases;

// What C's division promises, checked without a wider integer type: the remainder is
// smaller than the divisor and has the dividend's sign, and quotient x divisor +
// remainder is the product (compared modulo 2^64, which leaves one candidate near the
// real-valued quotient).
void ExpectExactDivision(int64_t a, int64_t b, int64_t c) {
  const auto [q, r] = MulDivExact(a, b, c);
  SCOPED_TRACE(testing::Message() << a << " * " << b << " / " << c << " gave " << q << " rest " << r);
  const double exact = static_cast<double>(a) * static_cast<double>(b) / static_cast<double>(c);
  EXPECT_LT(r < 0 ? 0 - static_cast<uint64_t>(r) : static_cast<uint64_t>(r),
            c < 0 ? 0 - static_cast<uint64_t>(c) : static_cast<uint64_t>(c));
  const bool productNegative = (a < 0) != (b < 0) && a != 0 && b != 0;
  if (r != 0) EXPECT_EQ(r < 0, productNegative);
  EXPECT_EQ(static_cast<uint64_t>(q) * static_cast<uint64_t>(c) + static_cast<uint64_t>(r),
            static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
  // A quotient beyond 64 bits keeps its low 64 bits, which the modular check covers.
  constexpr double kInt64Range = 9.2e18;
  if (std::fabs(exact) < kInt64Range) EXPECT_LE(std::fabs(static_cast<double>(q) - exact), 1.0 + std::fabs(exact) * 1e-12);
}

TEST(MulDivExactTest, ProductsBeyond64BitsDivideExactlyWithCsTruncation) {
  constexpr int64_t kMax32 = INT32_MAX, kMin32 = INT32_MIN;
  // Differences of 32-bit edges reach 2^32; their products leave 64 bits.
  const int64_t wide = kMax32 - kMin32;
  const struct { int64_t a, b, c; } cases[] = {
      {wide, wide, 1 << 20}, {-wide, wide, 3}, {wide, -wide, -7}, {-wide, -wide, wide - 1},
      {wide, wide, INT64_MAX}, {wide, wide, INT64_MIN}, {-wide, wide, INT64_MIN}, {7, 3, 2}, {-7, 3, 2},
      {0, wide, 5}, {INT64_MAX, 2, INT64_MAX}, {INT64_MIN, 1, -1 - INT64_MAX / 2}, {INT64_MIN, 1, -1},
  };
  for (const auto& k : cases) ExpectExactDivision(k.a, k.b, k.c);
  EXPECT_EQ(MulDivExact(wide, wide, wide).quotient, wide);
  EXPECT_EQ(MulDivExact(-wide, wide, wide).quotient, -wide);
  EXPECT_EQ(MulDivExact(wide + 1, wide, wide).remainder, 0);
}

TEST(MulDivExactTest, SeededSweepOfRectangleEdges) {
  for (int32_t i : SweepCases(20000)) {
    CaseRng rng(static_cast<uint64_t>(i));
    const auto edge = [&] { return static_cast<int64_t>(static_cast<int32_t>(rng.Next())); };
    const int64_t a = edge() - edge(), b = edge() - edge();
    int64_t c = rng.Chance(50) ? edge() - edge() : static_cast<int64_t>(rng.Next()) >> rng.Below(63);
    if (c == 0) c = 1;
    ExpectExactDivision(a, b, c);
    if (HasFailure()) {
      ADD_FAILURE() << "case " << i;
      return;
    }
  }
}

}  // namespace soft_blit_pixels_test
