// The level mix's rounded divides as a multiply and shift, each proven exact over every
// sum the mix can make (the wide kernels rely on them lane by lane).
#pragma once

#include <cstdint>

namespace kk {

// floor(v / 62) for 0 <= v <= 15841 (the largest rounded level sum of 8-bit channels)
// as a multiply and shift: exact over that range.
constexpr uint32_t kDiv62Multiplier = 33826;
constexpr int32_t kDiv62Shift = 21;
constexpr uint32_t kDiv62Limit = 2 * 31 * 255 + 31;
constexpr uint32_t Div62(uint32_t v) { return (v * kDiv62Multiplier) >> kDiv62Shift; }

// The same rounded mix on 5-bit channels is floor((L x d + (31 - L) x s + 15) / 31)
// (half of 31 rounds the same as 31 / 62), at most 31 x 31 + 15: floor(v / 31) as a
// multiply and a 16-bit shift, exact up to that limit. The level rows' a x (33 - L)
// stays under it for every alpha below 31.
constexpr uint32_t kDiv31Multiplier = 2115;
constexpr uint32_t kDiv31Limit = 31 * 31 + 15;
constexpr uint32_t Div31(uint32_t v) { return (v * kDiv31Multiplier) >> 16; }
// A channel may be mixed in its own place, v << shift, up to this shift: the sum still
// fits a 16-bit lane there and the quotient's bits from the shift up are v / 31's.
constexpr int32_t kDiv31InPlaceShift = 6;
static_assert((kDiv31Limit << kDiv31InPlaceShift) <= 0xFFFF);

namespace fxdivide {
constexpr bool Div62IsExact() {
  for (uint32_t v = 0; v <= kDiv62Limit; ++v)
    if (Div62(v) != v / 62) return false;
  return true;
}
constexpr bool Div31IsExact() {
  for (uint32_t v = 0; v <= kDiv31Limit; ++v)
    for (int32_t shift = 0; shift <= kDiv31InPlaceShift; ++shift)
      if ((2 * v + 31) / 62 != (v + 15) / 31 || (Div31(v << shift) >> shift) != v / 31) return false;
  return 30 * 32 <= kDiv31Limit;
}
static_assert(Div62IsExact());
static_assert(Div31IsExact());
}  // namespace fxdivide

}  // namespace kk
