#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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
  if (r != 0) {
    EXPECT_EQ(r < 0, productNegative);
  }
  EXPECT_EQ(static_cast<uint64_t>(q) * static_cast<uint64_t>(c) + static_cast<uint64_t>(r),
            static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
  // A quotient beyond 64 bits keeps its low 64 bits, which the modular check covers.
  constexpr double kInt64Range = 9.2e18;
  if (std::fabs(exact) < kInt64Range) {
    EXPECT_LE(std::fabs(static_cast<double>(q) - exact), 1.0 + std::fabs(exact) * 1e-12);
  }
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

// A 128-bit magnitude as eight 16-bit limbs, least significant first: the products of
// full 64-bit operands, computed apart from the function's 32-bit limbs and carries.
using Wide = std::array<uint32_t, 8>;
Wide WideProduct(uint64_t x, uint64_t y) {
  Wide w{};
  for (int i = 0; i < 4; ++i) {
    uint64_t carry = 0;
    for (int j = 0; j < 4; ++j) {
      const uint64_t t = w[size_t(i + j)] + ((x >> (16 * i)) & 0xFFFF) * ((y >> (16 * j)) & 0xFFFF) + carry;
      w[size_t(i + j)] = uint32_t(t & 0xFFFF);
      carry = t >> 16;
    }
    for (int k = i + 4; carry != 0 && k < 8; ++k) {
      const uint64_t t = w[size_t(k)] + carry;
      w[size_t(k)] = uint32_t(t & 0xFFFF);
      carry = t >> 16;
    }
  }
  return w;
}
Wide WideSum(Wide w, uint64_t add) {
  uint64_t carry = 0;
  for (size_t k = 0; k < 8; ++k) {
    const uint64_t t = w[k] + (k < 4 ? (add >> (16 * k)) & 0xFFFF : 0) + carry;
    w[k] = uint32_t(t & 0xFFFF);
    carry = t >> 16;
  }
  return w;
}
int32_t BitLength(const Wide& w) {
  for (int k = 7; k >= 0; --k)
    if (w[size_t(k)]) return 16 * k + 32 - __builtin_clz(w[size_t(k)]);
  return 0;
}
uint64_t Magnitude(int64_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); }

// Operands of any 64 bits, with a divisor wide enough that the quotient fits: then
// |q| x |c| + |r| is the whole 128-bit product, the high half included, which the check
// modulo 2^64 cannot see.
TEST(MulDivExactTest, FullWidthOperandsGiveTheExact128BitQuotient) {
  for (int32_t i : SweepCases(20000)) {
    CaseRng rng(static_cast<uint64_t>(i));
    const auto operand = [&] { return static_cast<int64_t>(rng.Next() >> rng.Below(8)); };
    const int64_t a = operand(), b = operand();
    const Wide product = WideProduct(Magnitude(a), Magnitude(b));
    const int32_t least = std::max(1, BitLength(product) - 62);
    if (least > 63) continue;
    const int32_t bits = rng.Range(least, 63);
    const auto magnitude = static_cast<int64_t>((rng.Next() >> (64 - bits)) | (uint64_t{1} << (bits - 1)));
    const int64_t c = rng.Chance(50) ? -magnitude : magnitude;
    const auto [q, r] = MulDivExact(a, b, c);
    SCOPED_TRACE(testing::Message() << "case " << i << ": " << a << " * " << b << " / " << c);
    EXPECT_EQ(WideSum(WideProduct(Magnitude(q), Magnitude(c)), Magnitude(r)), product);
    EXPECT_LT(Magnitude(r), Magnitude(c));
    const bool productNegative = (a < 0) != (b < 0) && a != 0 && b != 0;
    if (q != 0) {
      EXPECT_EQ(q < 0, productNegative != (c < 0));
    }
    if (r != 0) {
      EXPECT_EQ(r < 0, productNegative);
    }
    if (HasFailure()) return;
  }
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
