// The effect manager's arithmetic rows, one vector of pixels at a time, for each SIMD
// target (foreach_target compiles this file once per target). The level mix keeps the
// tables' rounding: (2L x top + 2(31 - L) x under + 31) / 62 per 8-bit channel, and its
// halved form (L x top + (31 - L) x under + 15) / 31 per 5-bit channel, both as a
// multiply-high and shift that is exact over every sum the mix can make.
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "graphics/KK_FXWide.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

#include <cstring>

#include "graphics/KK_FXLevelBlend.h"
#include "graphics/KK_FXWide.h"

HWY_BEFORE_NAMESPACE();
namespace kk {
namespace HWY_NAMESPACE {
#if HWY_TARGET != HWY_SCALAR
namespace fxwide {

namespace hn = hwy::HWY_NAMESPACE;

using D16 = hn::ScalableTag<uint16_t>;
using D32 = hn::ScalableTag<uint32_t>;
using D8 = hn::ScalableTag<uint8_t>;

// 5-6-5 and 5-5-5: one pixel per 16-bit lane; the table channels are the top five bits
// of each field, so a mixed 5-6-5 pixel's lowest green bit is 0.
template <int kRed, int kGreen, uint16_t kMaskR, uint16_t kMaskG, uint16_t kHalf>
struct Px16 {
  using D = D16;
  using V = hn::Vec<D16>;
  static constexpr int kBpp = 2;

  // One 5-bit channel at bit kShift. Low channels are mixed in their own place (the
  // quotient's bits below the field masked off), the top one shifted down and back.
  template <int kShift>
  static V MixChannel(V t, V inv, V top, V under) {
    const D16 d;
    const V div = hn::Set(d, uint16_t(kDiv31Multiplier));
    if constexpr (kShift <= kDiv31InPlaceShift) {
      const V field = hn::Set(d, uint16_t(31 << kShift));
      const V sum = hn::Add(hn::Add(hn::Mul(t, hn::And(top, field)), hn::Mul(inv, hn::And(under, field))),
                            hn::Set(d, uint16_t(15 << kShift)));
      const V quotient = hn::MulHigh(sum, div);
      return kShift == 0 ? quotient : hn::And(quotient, field);
    } else {
      auto down = [&](V v) {
        const V shifted = hn::ShiftRight<kShift>(v);
        return kShift + 5 == 16 ? shifted : hn::And(shifted, hn::Set(d, 31));
      };
      const V sum = hn::Add(hn::Add(hn::Mul(t, down(top)), hn::Mul(inv, down(under))), hn::Set(d, 15));
      return hn::ShiftLeft<kShift>(hn::MulHigh(sum, div));
    }
  }
  // `top` keeps t/31 over `under`, t 0..31 per pixel.
  static V Mix(V t, V top, V under) {
    const V inv = hn::Sub(hn::Set(D16(), 31), t);
    return hn::Or(hn::Or(MixChannel<kRed>(t, inv, top, under), MixChannel<kGreen>(t, inv, top, under)),
                  MixChannel<0>(t, inv, top, under));
  }
  static V TopAlpha(V) { return hn::Set(D16(), 31); }
  // floor(v / 31) for v <= kDiv31Limit, per pixel lane.
  static V Div31(V v) { return hn::MulHigh(v, hn::Set(D16(), uint16_t(kDiv31Multiplier))); }

  static V Lighten(V d, V s) { return PerField<true>(d, s); }
  static V Darken(V d, V s) { return PerField<false>(d, s); }
  template <bool kMax>
  static V PerField(V d, V s) {
    const D16 t;
    auto one = [&](uint16_t mask) {
      const V m = hn::Set(t, mask);
      return kMax ? hn::Max(hn::And(d, m), hn::And(s, m)) : hn::Min(hn::And(d, m), hn::And(s, m));
    };
    return hn::Or(hn::Or(one(kMaskR), one(kMaskG)), one(0x001F));
  }
  static V HalfMix(V d, V s) {
    const V h = hn::Set(D16(), kHalf);
    return hn::Add(hn::And(hn::ShiftRight<1>(s), h), hn::And(hn::ShiftRight<1>(d), h));
  }
};
using Px565W = Px16<11, 6, 0xF800, 0x07E0, 0x7BEF>;
using Px555W = Px16<10, 5, 0x7C00, 0x03E0, 0x3DEF>;

// 32-bit: one pixel per 32-bit lane, mixed as 8-bit channels in 16-bit lanes; a mixed
// pixel's fourth byte is 0, as the tables' results are.
struct Px32W {
  using D = D32;
  using V = hn::Vec<D32>;
  static constexpr int kBpp = 4;

  static hn::Vec<D16> MixChannel(hn::Vec<D16> t, hn::Vec<D16> inv, hn::Vec<D16> a, hn::Vec<D16> b) {
    const D16 d;
    const hn::Vec<D16> sum = hn::Add(hn::ShiftLeft<1>(hn::Add(hn::Mul(t, a), hn::Mul(inv, b))), hn::Set(d, 31));
    return hn::ShiftRight<kDiv62Shift - 16>(hn::MulHigh(sum, hn::Set(d, uint16_t(kDiv62Multiplier))));
  }
  static V Mix(V t32, V top, V under) {
    const D16 d;
    const hn::Vec<D16> t = hn::BitCast(d, hn::Or(t32, hn::ShiftLeft<16>(t32)));
    const hn::Vec<D16> inv = hn::Sub(hn::Set(d, 31), t);
    const hn::Vec<D16> a = hn::BitCast(d, top), b = hn::BitCast(d, under), low = hn::Set(d, 0xFF);
    const hn::Vec<D16> lo = MixChannel(t, inv, hn::And(a, low), hn::And(b, low));
    const hn::Vec<D16> hi = MixChannel(t, inv, hn::ShiftRight<8>(a), hn::ShiftRight<8>(b));
    return hn::And(hn::BitCast(D32(), hn::Or(lo, hn::ShiftLeft<8>(hi))), hn::Set(D32(), 0x00FFFFFFu));
  }
  static V TopAlpha(V s) { return hn::And(hn::ShiftRight<24>(s), hn::Set(D32(), 31)); }
  static V Div31(V v) { return hn::ShiftRight<16>(hn::Mul(v, hn::Set(D32(), kDiv31Multiplier))); }

  static V Lighten(V d, V s) {
    return hn::And(hn::BitCast(D32(), hn::Max(hn::BitCast(D8(), d), hn::BitCast(D8(), s))), hn::Set(D32(), 0x00FFFFFFu));
  }
  static V Darken(V d, V s) {
    return hn::And(hn::BitCast(D32(), hn::Min(hn::BitCast(D8(), d), hn::BitCast(D8(), s))), hn::Set(D32(), 0x00FFFFFFu));
  }
  static V HalfMix(V d, V s) {
    const V h = hn::Set(D32(), 0x007F7F7Fu);
    return hn::Add(hn::And(hn::ShiftRight<1>(s), h), hn::And(hn::ShiftRight<1>(d), h));
  }
};

template <class F, WideOp kOp, int kAlphaMode>
struct Kernel {
  using D = typename F::D;
  using V = typename F::V;

  // One byte per pixel (alpha, plane), widened to the pixel lanes.
  static V Bytes(const uint8_t* p) { return hn::PromoteTo(D(), hn::LoadU(hn::Rebind<uint8_t, D>(), p)); }
  // One vector of pixels in place: `ap` the alpha bytes of mode 2, `pp` the plane's; a
  // mirrored row's destination block holds the pixels last first.
  static V Compute(const WideRow& r, uint8_t* dp, const uint8_t* sp, const uint8_t* ap, const uint8_t* pp) {
    const D d;
    const hn::Repartition<uint8_t, D> bytes;
    const V stored = hn::BitCast(d, hn::LoadU(bytes, dp)), sv = hn::BitCast(d, hn::LoadU(bytes, sp));
    const V dv = r.mirror ? hn::Reverse(d, stored) : stored;
    V out;
    if constexpr (kOp == WideOp::kCopy) out = sv;
    else if constexpr (kOp == WideOp::kLighten) out = F::Lighten(dv, sv);
    else if constexpr (kOp == WideOp::kDarken) out = F::Darken(dv, sv);
    else if constexpr (kOp == WideOp::kHalfMix) out = F::HalfMix(dv, sv);
    else if constexpr (kOp == WideOp::kLevel) out = F::Mix(hn::Set(d, r.level), dv, sv);
    else if constexpr (kOp == WideOp::kTintSource) out = F::Mix(hn::Set(d, r.level), hn::Set(d, r.colour), sv);
    else if constexpr (kOp == WideOp::kTintDest) out = F::Mix(hn::Set(d, r.level), hn::Set(d, r.colour), dv);
    else {
      const V t = hn::ShiftRight<3>(Bytes(pp));
      out = hn::IfThenElse(hn::Eq(t, hn::Set(d, 31)), sv, hn::IfThenElse(hn::Eq(t, hn::Zero(d)), dv, F::Mix(t, sv, dv)));
    }
    if constexpr (kAlphaMode != 0) {
      V a = kAlphaMode == 1 ? F::TopAlpha(sv) : hn::Min(Bytes(ap), hn::Set(d, 31));
      const auto full = hn::Eq(a, hn::Set(d, 31));
      const V t = r.alphaLevel ? F::Div31(hn::Mul(a, hn::Set(d, 33 - r.alphaLevel))) : a;
      // The table blend lays its source, the other effects their result.
      const V mixed = F::Mix(t, kOp == WideOp::kLevel ? sv : out, dv);
      out = hn::IfThenElse(full, out, hn::IfThenElse(hn::Eq(t, hn::Zero(d)), dv, mixed));
    }
    return r.mirror ? hn::Reverse(d, out) : out;
  }
  static void Store(V v, uint8_t* dp) {
    const hn::Repartition<uint8_t, D> bytes;
    hn::StoreU(hn::BitCast(bytes, v), bytes, dp);
  }
  static void Step(const WideRow& r, uint8_t* dp, const uint8_t* sp, const uint8_t* ap, const uint8_t* pp) {
    Store(Compute(r, dp, sp, ap, pp), dp);
  }

  static void Row(const WideRow& r) {
    const D d;
    const size_t lanes = hn::Lanes(d);
    const size_t n = size_t(r.count);
    // The destination block of pixels i.. (i + count - 1).
    auto block = [&](size_t i, size_t count) {
      return r.mirror ? r.dst - ptrdiff_t(i + count - 1) * F::kBpp : r.dst + i * F::kBpp;
    };
    auto alphaAt = [&](size_t i) { return kAlphaMode == 2 ? r.alpha + i : nullptr; };
    auto planeAt = [&](size_t i) { return kOp == WideOp::kPlane ? r.plane + i : nullptr; };
    if (n >= lanes) {
      // A ragged end is the row's last whole vector, computed before the others are
      // stored, so the pixels it shares with them come out the same from the same input.
      const size_t last = n - lanes;
      const bool ragged = n % lanes != 0;
      const V end = ragged ? Compute(r, block(last, lanes), r.src + last * F::kBpp, alphaAt(last), planeAt(last)) : hn::Zero(d);
      for (size_t i = 0; i + lanes <= n; i += lanes) Step(r, block(i, lanes), r.src + i * F::kBpp, alphaAt(i), planeAt(i));
      if (ragged) Store(end, block(last, lanes));
      return;
    }
    // A row shorter than a vector runs through the same step on copies, so no load
    // reaches past it; a mirrored row sits at the end of its copy, where its lanes fall
    // once reversed.
    HWY_ALIGN uint8_t dt[HWY_MAX_BYTES] = {}, st[HWY_MAX_BYTES] = {}, at[HWY_MAX_BYTES] = {}, pt[HWY_MAX_BYTES] = {};
    uint8_t* tail = r.mirror ? dt + (lanes - n) * F::kBpp : dt;
    std::memcpy(tail, block(0, n), n * F::kBpp);
    std::memcpy(st, r.src, n * F::kBpp);
    if (kAlphaMode == 2) std::memcpy(at, r.alpha, n);
    if (kOp == WideOp::kPlane) std::memcpy(pt, r.plane, n);
    Step(r, dt, st, at, pt);
    std::memcpy(block(0, n), tail, n * F::kBpp);
  }
};

template <class F, WideOp kOp>
void ByAlpha(const WideRow& r) {
  switch (r.alphaMode) {
    case 0: Kernel<F, kOp, 0>::Row(r); break;
    case 1: Kernel<F, kOp, 1>::Row(r); break;
    default: Kernel<F, kOp, 2>::Row(r); break;
  }
}

template <class F>
void ByOp(const WideRow& r) {
  switch (r.op) {
    case WideOp::kCopy: ByAlpha<F, WideOp::kCopy>(r); break;
    case WideOp::kLighten: ByAlpha<F, WideOp::kLighten>(r); break;
    case WideOp::kDarken: ByAlpha<F, WideOp::kDarken>(r); break;
    case WideOp::kHalfMix: ByAlpha<F, WideOp::kHalfMix>(r); break;
    case WideOp::kLevel: ByAlpha<F, WideOp::kLevel>(r); break;
    case WideOp::kTintSource: ByAlpha<F, WideOp::kTintSource>(r); break;
    case WideOp::kTintDest: ByAlpha<F, WideOp::kTintDest>(r); break;
    case WideOp::kPlane: ByAlpha<F, WideOp::kPlane>(r); break;
  }
}

}  // namespace fxwide
#endif

// The one-lane scalar target (the floor where SSSE3 is missing) cannot view a pixel
// vector as bytes: it declines, and the per-pixel rows do the work.
bool RunWideRowTarget(const WideRow& r) {
#if HWY_TARGET == HWY_SCALAR
  (void)r;
  return false;
#else
  if (r.format == 16) fxwide::ByOp<fxwide::Px565W>(r);
  else if (r.format == 17) fxwide::ByOp<fxwide::Px555W>(r);
  else fxwide::ByOp<fxwide::Px32W>(r);
  return true;
#endif
}

}  // namespace HWY_NAMESPACE
}  // namespace kk
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace kk {

HWY_EXPORT(RunWideRowTarget);

bool RunWideRow(const WideRow& row) { return row.count > 0 && HWY_DYNAMIC_DISPATCH(RunWideRowTarget)(row); }

}  // namespace kk
#endif
