// The 16-bit fast blitters' hottest rows, one vector of pixels at a time for each SIMD
// target (foreach_target compiles this file once per target): each channel of a pixel
// in its own 16-bit lane, with the integer steps of the word and table code beside
// them, so the bytes are the reference's whatever the lane count.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "widgets/SoftBlitWide.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#include <cstring>

#include "widgets/SoftBlitPixels.h"
#include "widgets/SoftBlitWide.h"

HWY_BEFORE_NAMESPACE();
namespace softblit {
namespace HWY_NAMESPACE {
#if HWY_TARGET != HWY_SCALAR
namespace softblitwide {

namespace hn = hwy::HWY_NAMESPACE;
using D = hn::ScalableTag<uint16_t>;
using V = hn::Vec<D>;

constexpr uint16_t kPairBias = 64;
// A channel may be worked on in its own place, without shifting it down first, when
// its largest weighted sum still fits a 16-bit lane there.
constexpr int32_t kLargestInPlaceShift = 6;

V Splat(uint32_t v) { return hn::Set(D(), static_cast<uint16_t>(v)); }

// Keyed source lanes take the target's lane; without a key `out` stands.
template <bool kKeyed>
V KeepKeyed(V out, V s, V t, V key) {
  if constexpr (!kKeyed) return out;
  else return hn::IfThenElse(hn::Eq(s, key), t, out);
}

// One channel of the 16-bit formats: its place and width.
template <int32_t kShiftOf, int32_t kBits>
struct Channel {
  static constexpr uint16_t kMask = static_cast<uint16_t>((1u << kBits) - 1);
  static constexpr int32_t kShift = kShiftOf;
  static constexpr uint16_t kField = static_cast<uint16_t>(kMask << kShift);
  static constexpr bool kInPlace = kShift <= kLargestInPlaceShift;
  // The channel in the low bits of each lane; the top channel needs no mask.
  static V Down(V v) {
    const V shifted = hn::ShiftRight<kShift>(v);
    if constexpr (kShift + kBits == 16) return shifted;
    else return hn::And(shifted, Splat(kMask));
  }

  // t + ((s - t + 64) x a >> 8) without the a / 4 (taken off all channels at once),
  // back in the channel's place. (v x a) >> 8 is the high half of v x (a << 8); a
  // channel left in place is v << kShift, so its multiplier is a << (8 - kShift).
  static V PairStep(V s, V t, uint32_t a) {
    if constexpr (kInPlace) {
      const V field = Splat(kField);
      const V v = hn::Sub(hn::Add(hn::And(s, field), Splat(kPairBias << kShift)), hn::And(t, field));
      return hn::ShiftLeft<kShift>(hn::MulHigh(v, Splat(a << (8 - kShift))));
    } else {
      const V v = hn::Sub(hn::Add(Down(s), Splat(kPairBias)), Down(t));
      return hn::ShiftLeft<kShift>(hn::MulHigh(v, Splat(a << 8)));
    }
  }

  // floor((s x (15 - k) + t x k) / 15), in the channel's place.
  static V StretchStep(V s, V t, V ks, V k) {
    const V div = Splat(kDiv15Multiplier);
    if constexpr (kInPlace) {
      const V field = Splat(kField);
      const V sum = hn::Add(hn::Mul(hn::And(s, field), ks), hn::Mul(hn::And(t, field), k));
      return hn::And(hn::MulHigh(sum, div), field);
    } else {
      const V sum = hn::Add(hn::Mul(Down(s), ks), hn::Mul(Down(t), k));
      return hn::ShiftLeft<kShift>(hn::MulHigh(sum, div));
    }
  }
};

template <int32_t F>
struct Channels {
  static constexpr const Layout16& kLayout = F == kk::kFormat565 ? k565Layout : k555Layout;
  using Red = Channel<kLayout.redShift, 5>;
  using Green = Channel<kLayout.greenShift, kLayout.greenBits>;
  using Blue = Channel<0, 5>;
  static constexpr uint16_t kColours = Red::kField | Green::kField | Blue::kField;
  static constexpr uint16_t kOnes = 1u << kLayout.redShift | 1u << kLayout.greenShift | 1u;
};

// Runs `step(s, t) -> out` over the whole row; the tail goes through the same step on
// copies, so no load reaches past the row.
template <class Step>
void Rows(uint8_t* target, const uint8_t* source, int32_t count, Step step) {
  const D d;
  const hn::Repartition<uint8_t, D> bytes;
  const size_t lanes = hn::Lanes(d), n = static_cast<size_t>(count);
  auto one = [&](uint8_t* tp, const uint8_t* sp) {
    const V s = hn::BitCast(d, hn::LoadU(bytes, sp)), t = hn::BitCast(d, hn::LoadU(bytes, tp));
    hn::StoreU(hn::BitCast(bytes, step(s, t)), bytes, tp);
  };
  size_t i = 0;
  for (; i + lanes <= n; i += lanes) one(target + 2 * i, source + 2 * i);
  if (i == n) return;
  HWY_ALIGN uint8_t tt[HWY_MAX_BYTES] = {}, st[HWY_MAX_BYTES] = {};
  std::memcpy(tt, target + 2 * i, 2 * (n - i));
  std::memcpy(st, source + 2 * i, 2 * (n - i));
  one(tt, st);
  std::memcpy(target + 2 * i, tt, 2 * (n - i));
}

// Each channel's result lies between its source and target values, so the three
// channels can be summed over the target's colour bits without carrying into each
// other, and a / 4 taken off all three in one subtraction.
template <int32_t F, bool kKeyed>
void BlendPairs(uint8_t* target, const uint8_t* source, int32_t count, uint32_t a, uint32_t key) {
  using C = Channels<F>;
  const V colours = Splat(C::kColours), quarters = Splat((a >> 2) * C::kOnes), keyLanes = Splat(key);
  Rows(target, source, count, [&](V s, V t) {
    const V steps = hn::Add(hn::Add(C::Red::PairStep(s, t, a), C::Green::PairStep(s, t, a)), C::Blue::PairStep(s, t, a));
    return KeepKeyed<kKeyed>(hn::Add(hn::Sub(hn::And(t, colours), quarters), steps), s, t, keyLanes);
  });
}

template <int32_t F, bool kKeyed>
void StretchBlend(uint8_t* target, const uint8_t* source, int32_t count, uint32_t k, uint32_t key) {
  using C = Channels<F>;
  const V ks = Splat(15 - k), kt = Splat(k), keyLanes = Splat(key);
  Rows(target, source, count, [&](V s, V t) {
    const V out = hn::Or(hn::Or(C::Red::StretchStep(s, t, ks, kt), C::Green::StretchStep(s, t, ks, kt)),
                         C::Blue::StretchStep(s, t, ks, kt));
    return KeepKeyed<kKeyed>(out, s, t, keyLanes);
  });
}

template <int32_t F>
int32_t Pairs(uint8_t* target, const uint8_t* source, int32_t count, uint32_t a, uint32_t key) {
  if (key == kNoKey) BlendPairs<F, false>(target, source, count, a, key);
  else BlendPairs<F, true>(target, source, count, a, key);
  return count;
}

template <int32_t F>
int32_t Stretch(uint8_t* target, const uint8_t* source, int32_t count, uint32_t k, uint32_t key) {
  if (key == kNoKey) StretchBlend<F, false>(target, source, count, k, key);
  else StretchBlend<F, true>(target, source, count, k, key);
  return count;
}

// Runs `step(t, s, weights)` over a row of `kBytes`-byte pixels with one 16-bit weight
// per pixel (`w` may be null: no weights); the tail goes through the same step on
// copies, so no load reaches past the row.
template <int32_t kBytes, class Step>
void WeightedRows(uint8_t* target, const uint8_t* source, const uint16_t* w, int32_t count, Step step) {
  const size_t lanes = hn::Lanes(D()) * 2 / kBytes, n = static_cast<size_t>(count);
  size_t i = 0;
  for (; i + lanes <= n; i += lanes) step(target + kBytes * i, source + kBytes * i, w ? w + i : nullptr);
  if (i == n) return;
  HWY_ALIGN uint8_t tt[HWY_MAX_BYTES] = {}, st[HWY_MAX_BYTES] = {};
  HWY_ALIGN uint16_t wt[HWY_MAX_BYTES / 2] = {};
  std::memcpy(tt, target + kBytes * i, kBytes * (n - i));
  std::memcpy(st, source + kBytes * i, kBytes * (n - i));
  if (w) std::memcpy(wt, w + i, 2 * (n - i));
  step(tt, st, wt);
  std::memcpy(target + kBytes * i, tt, kBytes * (n - i));
}

// (cs x ws + ct x wt) >> 8 per 16-bit lane.
V MixLane(V cs, V ct, V ws, V wt) { return hn::ShiftRight<8>(hn::Add(hn::Mul(cs, ws), hn::Mul(ct, wt))); }

// 32-bit pixels: the colour bytes mixed as the low and high bytes of 16-bit lanes, the
// fourth byte the target's. `ws`, `wt` per pixel (each in both halves of its lanes).
hn::Vec<hn::ScalableTag<uint32_t>> Mix32Lanes(V s, V t, V ws, V wt) {
  const hn::ScalableTag<uint32_t> d32;
  const V low = Splat(0xFF);
  const V lo = MixLane(hn::And(s, low), hn::And(t, low), ws, wt);
  const V hi = MixLane(hn::ShiftRight<8>(s), hn::ShiftRight<8>(t), ws, wt);
  const auto colours = hn::Set(d32, kRgbMask);
  return hn::Or(hn::And(hn::BitCast(d32, hn::Or(lo, hn::ShiftLeft<8>(hi))), colours), hn::AndNot(colours, hn::BitCast(d32, t)));
}

// (s x ws + t x wt) >> 8 on each colour byte; keyed pixels keep the target.
void Mix32(uint8_t* target, const uint8_t* source, int32_t count, uint32_t ws, uint32_t wt, uint32_t key) {
  const hn::ScalableTag<uint32_t> d32;
  const hn::Repartition<uint8_t, D> bytes;
  const V sw = Splat(ws), tw = Splat(wt);
  const auto colours = hn::Set(d32, kRgbMask), keys = hn::Set(d32, key == kNoKey ? 0xFFFFFFFFu : key & kRgbMask);
  WeightedRows<4>(target, source, nullptr, count, [&](uint8_t* tp, const uint8_t* sp, const uint16_t*) {
    const V s = hn::BitCast(D(), hn::LoadU(bytes, sp)), t = hn::BitCast(D(), hn::LoadU(bytes, tp));
    const auto t32 = hn::BitCast(d32, t);
    const auto out = hn::IfThenElse(hn::Eq(hn::And(hn::BitCast(d32, s), colours), keys), t32, Mix32Lanes(s, t, sw, tw));
    hn::StoreU(hn::BitCast(bytes, out), bytes, tp);
  });
}

// The alpha-plane rows: weight w (0..255) keeps w of the target over 255 - w of the
// source; 255 keeps the target, 0 copies the source's colour bits.
void Alpha32(uint8_t* target, const uint8_t* source, const uint16_t* w, int32_t count) {
  const hn::ScalableTag<uint32_t> d32;
  const hn::Repartition<uint8_t, D> bytes;
  const auto colours = hn::Set(d32, kRgbMask);
  WeightedRows<4>(target, source, w, count, [&](uint8_t* tp, const uint8_t* sp, const uint16_t* wp) {
    const V s = hn::BitCast(D(), hn::LoadU(bytes, sp)), t = hn::BitCast(D(), hn::LoadU(bytes, tp));
    const auto w32 = hn::PromoteTo(d32, hn::LoadU(hn::Rebind<uint16_t, decltype(d32)>(), wp));
    const V wt = hn::BitCast(D(), hn::Or(w32, hn::ShiftLeft<16>(w32))), ws = hn::Sub(Splat(255), wt);
    const auto t32 = hn::BitCast(d32, t);
    const auto copied = hn::Or(hn::And(hn::BitCast(d32, s), colours), hn::AndNot(colours, t32));
    const auto out = hn::IfThenElse(hn::Eq(w32, hn::Set(d32, 255)), t32,
                                    hn::IfThenElse(hn::Eq(w32, hn::Zero(d32)), copied, Mix32Lanes(s, t, ws, wt)));
    hn::StoreU(hn::BitCast(bytes, out), bytes, tp);
  });
}

template <int32_t F>
void Alpha16(uint8_t* target, const uint8_t* source, const uint16_t* w, int32_t count) {
  using C = Channels<F>;
  const hn::Repartition<uint8_t, D> bytes;
  WeightedRows<2>(target, source, w, count, [&](uint8_t* tp, const uint8_t* sp, const uint16_t* wp) {
    const V s = hn::BitCast(D(), hn::LoadU(bytes, sp)), t = hn::BitCast(D(), hn::LoadU(bytes, tp));
    const V wt = hn::LoadU(D(), wp), ws = hn::Sub(Splat(255), wt);
    const V mixed = hn::Or(hn::Or(hn::ShiftLeft<C::Red::kShift>(MixLane(C::Red::Down(s), C::Red::Down(t), ws, wt)),
                                  hn::ShiftLeft<C::Green::kShift>(MixLane(C::Green::Down(s), C::Green::Down(t), ws, wt))),
                           MixLane(C::Blue::Down(s), C::Blue::Down(t), ws, wt));
    const V out = hn::IfThenElse(hn::Eq(wt, Splat(255)), t,
                                 hn::IfThenElse(hn::Eq(wt, hn::Zero(D())), hn::And(s, Splat(C::kColours)), mixed));
    hn::StoreU(hn::BitCast(bytes, out), bytes, tp);
  });
}

}  // namespace softblitwide
#endif

// The one-lane scalar target (the floor where SSSE3 is missing) does nothing here,
// and the word and table code does the whole row.
#if HWY_TARGET == HWY_SCALAR
#define SOFTBLIT_WIDE(name, call) \
  int32_t name(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t) { return 0; }
#else
#define SOFTBLIT_WIDE(name, call)                                                             \
  int32_t name(uint8_t* target, const uint8_t* source, int32_t count, uint32_t v, uint32_t key) { \
    return softblitwide::call(target, source, count, v, key);                                   \
  }
#endif
SOFTBLIT_WIDE(Pairs565, Pairs<kk::kFormat565>)
SOFTBLIT_WIDE(Pairs555, Pairs<kk::kFormat555>)
SOFTBLIT_WIDE(Stretch565, Stretch<kk::kFormat565>)
SOFTBLIT_WIDE(Stretch555, Stretch<kk::kFormat555>)

// The alpha-plane rows by format code (16, 17, 32).
bool AlphaTarget(int32_t format, uint8_t* target, const uint8_t* source, const uint16_t* w, int32_t count) {
#if HWY_TARGET == HWY_SCALAR
  (void)format, (void)target, (void)source, (void)w, (void)count;
  return false;
#else
  if (format == kk::kFormat565) softblitwide::Alpha16<kk::kFormat565>(target, source, w, count);
  else if (format == kk::kFormat555) softblitwide::Alpha16<kk::kFormat555>(target, source, w, count);
  else softblitwide::Alpha32(target, source, w, count);
  return true;
#endif
}

bool Mix32Target(uint8_t* target, const uint8_t* source, int32_t count, uint32_t ws, uint32_t wt, uint32_t key) {
#if HWY_TARGET == HWY_SCALAR
  (void)target, (void)source, (void)count, (void)ws, (void)wt, (void)key;
  return false;
#else
  softblitwide::Mix32(target, source, count, ws, wt, key);
  return true;
#endif
}
#undef SOFTBLIT_WIDE

}  // namespace HWY_NAMESPACE
}  // namespace softblit
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace softblit {
namespace softblitwide {

constexpr int32_t kLargestInPlaceShift = 6;
static_assert((kDiv15Limit << kLargestInPlaceShift) <= 0xFFFF);

constexpr bool Div15IsExact() {
  for (uint32_t v = 0; v <= kDiv15Limit; ++v)
    for (int32_t shift = 0; shift <= kLargestInPlaceShift; ++shift)
      if ((Div15(v << shift) >> shift) != v / 15) return false;
  return true;
}
static_assert(Div15IsExact());

}  // namespace softblitwide

HWY_EXPORT(Pairs565);
HWY_EXPORT(Pairs555);
HWY_EXPORT(Stretch565);
HWY_EXPORT(Stretch555);
HWY_EXPORT(Mix32Target);
HWY_EXPORT(AlphaTarget);

bool AlphaRowWide(int32_t format, uint8_t* target, const uint8_t* source, const uint16_t* w, int32_t count) {
  return count <= 0 || HWY_DYNAMIC_DISPATCH(AlphaTarget)(format, target, source, w, count);
}

bool MixRow32Wide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t ws, uint32_t wt, uint32_t key) {
  return count <= 0 || HWY_DYNAMIC_DISPATCH(Mix32Target)(target, source, count, ws, wt, key);
}

template <int32_t F>
int32_t BlendPairsWide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t a, uint32_t key) {
  if (count <= 0) return 0;
  return F == kk::kFormat565 ? HWY_DYNAMIC_DISPATCH(Pairs565)(target, source, count, a, key)
                             : HWY_DYNAMIC_DISPATCH(Pairs555)(target, source, count, a, key);
}

template <int32_t F>
int32_t StretchBlendWide(uint8_t* target, const uint8_t* source, int32_t count, uint32_t k, uint32_t key) {
  if (count <= 0) return 0;
  return F == kk::kFormat565 ? HWY_DYNAMIC_DISPATCH(Stretch565)(target, source, count, k, key)
                             : HWY_DYNAMIC_DISPATCH(Stretch555)(target, source, count, k, key);
}

template int32_t BlendPairsWide<kk::kFormat555>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);
template int32_t BlendPairsWide<kk::kFormat565>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);
template int32_t StretchBlendWide<kk::kFormat555>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);
template int32_t StretchBlendWide<kk::kFormat565>(uint8_t*, const uint8_t*, int32_t, uint32_t, uint32_t);

}  // namespace softblit
#endif
