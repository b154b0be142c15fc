// The 1:1 colour-key copy row, one vector of pixels at a time for each SIMD target
// (foreach_target compiles this file once per target): where the key hides a source
// pixel the destination keeps its own, elsewhere it takes the source's.
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
  const size_t lanes = hn::Lanes(t), count = static_cast<size_t>(n);
  size_t i = 0;
  for (; i + lanes <= count; i += lanes) one(d + i * sizeof(T), s + i * sizeof(T));
  if (i == count) return;
  // The tail runs through the same step on copies, so no load reaches past the row.
  HWY_ALIGN uint8_t dt[HWY_MAX_BYTES] = {}, st[HWY_MAX_BYTES] = {};
  const size_t rest = (count - i) * sizeof(T);
  std::memcpy(dt, d + i * sizeof(T), rest);
  std::memcpy(st, s + i * sizeof(T), rest);
  one(dt, st);
  std::memcpy(d + i * sizeof(T), dt, rest);
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

}  // namespace HWY_NAMESPACE
}  // namespace plat::detail::ddraw
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace plat::detail::ddraw {

HWY_EXPORT(KeyRow16Target);
HWY_EXPORT(KeyRow32Target);

bool KeyRowWide(uint8_t* d, const uint8_t* s, int n, int bytes, uint32_t low, uint32_t range, uint32_t mask) {
  if (n <= 0) return true;
  if (bytes == 2) return HWY_DYNAMIC_DISPATCH(KeyRow16Target)(d, s, n, low, range, mask);
  if (bytes == 4) return HWY_DYNAMIC_DISPATCH(KeyRow32Target)(d, s, n, low, range, mask);
  return false;
}

}  // namespace plat::detail::ddraw
#endif
