// The 1:1 colour-key copy row, one vector of pixels at a time for each SIMD target
// (foreach_target compiles this file once per target): where the key hides a source
// pixel the destination keeps its own, elsewhere it takes the source's. Beside it the
// masked copy row that turns 32-bit display pixels into a window's XRGB at a present.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "ddraw/KeyRows.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#include <cstring>

#include "ddraw/KeyRows.h"

HWY_BEFORE_NAMESPACE();
namespace plat::detail::ddraw {
namespace HWY_NAMESPACE {
#if HWY_TARGET != HWY_SCALAR
namespace keyrows {

namespace hn = hwy::HWY_NAMESPACE;

// Runs `one` on each whole vector of the row, then on copies of the tail, so that no
// load or store reaches past the row.
template <class T, class Step>
void EachVector(uint8_t* d, const uint8_t* s, int n, size_t lanes, Step& one) {
  const size_t count = static_cast<size_t>(n);
  size_t i = 0;
  for (; i + lanes <= count; i += lanes) one(d + i * sizeof(T), s + i * sizeof(T));
  if (i == count) return;
  HWY_ALIGN uint8_t dt[HWY_MAX_BYTES] = {}, st[HWY_MAX_BYTES] = {};
  const size_t rest = (count - i) * sizeof(T);
  std::memcpy(dt, d + i * sizeof(T), rest);
  std::memcpy(st, s + i * sizeof(T), rest);
  one(dt, st);
  std::memcpy(d + i * sizeof(T), dt, rest);
}

// A key hides v when (v - low) & mask <= range (with one key value, v ^ low masks to 0).
template <class T, bool kOneValue>
void Row(uint8_t* d, const uint8_t* s, int n, T low, T range, T mask) {
  const hn::ScalableTag<T> t;
  const hn::Repartition<uint8_t, decltype(t)> bytes;
  const auto lows = hn::Set(t, low), ranges = hn::Set(t, range), masks = hn::Set(t, mask);
  auto one = [&](uint8_t* dp, const uint8_t* sp) {
    const auto v = hn::BitCast(t, hn::LoadU(bytes, sp)), old = hn::BitCast(t, hn::LoadU(bytes, dp));
    const auto hidden = kOneValue ? hn::Eq(hn::And(hn::Xor(v, lows), masks), hn::Zero(t))
                                  : [&] {
                                      const auto off = hn::And(hn::Sub(v, lows), masks);
                                      return hn::Eq(hn::Min(off, ranges), off);
                                    }();
    hn::StoreU(hn::BitCast(bytes, hn::IfThenElse(hidden, old, v)), bytes, dp);
  };
  EachVector<T>(d, s, n, hn::Lanes(t), one);
}

// Each 32-bit pixel with `mask` applied.
void Masked32(uint8_t* d, const uint8_t* s, int n, uint32_t mask) {
  const hn::ScalableTag<uint32_t> t;
  const hn::Repartition<uint8_t, decltype(t)> bytes;
  const auto masks = hn::Set(t, mask);
  auto one = [&](uint8_t* dp, const uint8_t* sp) {
    hn::StoreU(hn::BitCast(bytes, hn::And(hn::BitCast(t, hn::LoadU(bytes, sp)), masks)), bytes, dp);
  };
  EachVector<uint32_t>(d, s, n, hn::Lanes(t), one);
}

template <class T>
void Keyed(uint8_t* d, const uint8_t* s, int n, uint32_t low, uint32_t range, uint32_t mask) {
  if (range == 0) Row<T, true>(d, s, n, T(low), T(range), T(mask));
  else Row<T, false>(d, s, n, T(low), T(range), T(mask));
}

}  // namespace keyrows
#endif

// The one-lane scalar target (the floor where SSSE3 is missing) declines; the caller's
// plain loop does the row.
bool KeyRow16Target(uint8_t* d, const uint8_t* s, int n, uint32_t low, uint32_t range, uint32_t mask) {
#if HWY_TARGET == HWY_SCALAR
  (void)d, (void)s, (void)n, (void)low, (void)range, (void)mask;
  return false;
#else
  keyrows::Keyed<uint16_t>(d, s, n, low, range, mask);
  return true;
#endif
}
bool KeyRow32Target(uint8_t* d, const uint8_t* s, int n, uint32_t low, uint32_t range, uint32_t mask) {
#if HWY_TARGET == HWY_SCALAR
  (void)d, (void)s, (void)n, (void)low, (void)range, (void)mask;
  return false;
#else
  keyrows::Keyed<uint32_t>(d, s, n, low, range, mask);
  return true;
#endif
}

bool MaskRow32Target(uint8_t* d, const uint8_t* s, int n, uint32_t mask) {
#if HWY_TARGET == HWY_SCALAR
  (void)d, (void)s, (void)n, (void)mask;
  return false;
#else
  keyrows::Masked32(d, s, n, mask);
  return true;
#endif
}

}  // namespace HWY_NAMESPACE
}  // namespace plat::detail::ddraw
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace plat::detail::ddraw {

HWY_EXPORT(KeyRow16Target);
HWY_EXPORT(KeyRow32Target);
HWY_EXPORT(MaskRow32Target);

bool KeyRowWide(uint8_t* d, const uint8_t* s, int n, int bytes, uint32_t low, uint32_t range, uint32_t mask) {
  if (n <= 0) return true;
  if (bytes == 2) return HWY_DYNAMIC_DISPATCH(KeyRow16Target)(d, s, n, low, range, mask);
  if (bytes == 4) return HWY_DYNAMIC_DISPATCH(KeyRow32Target)(d, s, n, low, range, mask);
  return false;
}

bool MaskRow32(uint8_t* d, const uint8_t* s, int n, uint32_t mask) {
  return n <= 0 || HWY_DYNAMIC_DISPATCH(MaskRow32Target)(d, s, n, mask);
}

}  // namespace plat::detail::ddraw
#endif
