// The reference row functions: one pixel at a time, one channel at a time, each
// effect written straight from its formula with no tables and no word tricks. They are
// slow on purpose; they are the oracle the fast rows are tested against.
#include "graphics/KK_FXMan.h"
#include "graphics/KK_FXMath.h"
#include "base/PixelFormat.h"

namespace kk {
namespace {

struct Channels {
  int32_t r, g, b;
};

template <class P>
struct Ref {
  using T = typename P::T;

  static Channels Table(T p) { return {P::TR(p), P::TG(p), P::TB(p)}; }
  static Channels Native(T p) { return {P::NR(p), P::NG(p), P::NB(p)}; }
  static T FromTable(Channels c) { return P::FromTable(c.r, c.g, c.b); }
  static T FromNative(Channels c) { return P::FromNative(c.r, c.g, c.b); }

  static T TableOp(int32_t t, T outer, T inner) {
    const Channels a = Table(outer), b = Table(inner);
    return FromTable({fxmath::TableEntry(t, a.r, b.r, P::kMax), fxmath::TableEntry(t, a.g, b.g, P::kMax),
                      fxmath::TableEntry(t, a.b, b.b, P::kMax)});
  }
  // `top` keeps t/31 of the result over `under`.
  static T Mix(int32_t t, T top, T under) { return TableOp(t - 1, top, under); }

  static int32_t PlaneValue(const KK_FXParams& p, const uint8_t* d) {
    if (!p.plane || !p.planeImage || p.planeImagePitch <= 0) return 0;
    const int64_t off = int64_t(reinterpret_cast<uintptr_t>(d)) - int64_t(reinterpret_cast<uintptr_t>(p.planeImage));
    if (off < 0) return 0;
    const int64_t y = off / p.planeImagePitch;
    const int64_t x = (off % p.planeImagePitch) / P::kBpp;
    if (y >= p.plane->Height() || x >= p.plane->Width()) return 0;
    return p.plane->Data()[y * p.plane->Width() + x];
  }

  // The effect alone, ignoring per-pixel alpha.
  static T Effect(const KK_FXParams& p, T d, T s, const uint8_t* dAddr) {
    switch (p.row) {
      case FXRow::kCopy: return s;
      case FXRow::kLighten: {
        const Channels a = Native(d), b = Native(s);
        return FromNative({std::max(a.r, b.r), std::max(a.g, b.g), std::max(a.b, b.b)});
      }
      case FXRow::kDarken: {
        const Channels a = Native(d), b = Native(s);
        return FromNative({std::min(a.r, b.r), std::min(a.g, b.g), std::min(a.b, b.b)});
      }
      case FXRow::kHalfMix: {
        const Channels a = Native(d), b = Native(s);
        return FromNative({b.r / 2 + a.r / 2, b.g / 2 + a.g / 2, b.b / 2 + a.b / 2});
      }
      case FXRow::kTableBlend: return TableOp(p.tableIndex, d, s);
      case FXRow::kFill: return T(p.fillColor);
      case FXRow::kSourceColorBlend:
      case FXRow::kDestColorBlend: {
        const Channels v = Table(p.row == FXRow::kSourceColorBlend ? s : d);
        return FromTable({fxmath::TableEntry(p.colorIndex, p.colorChannel[0], v.r, P::kMax),
                          fxmath::TableEntry(p.colorIndex, p.colorChannel[1], v.g, P::kMax),
                          fxmath::TableEntry(p.colorIndex, p.colorChannel[2], v.b, P::kMax)});
      }
      case FXRow::kAlphaPlaneBlend: {
        const int32_t t = PlaneValue(p, dAddr) / 8;
        if (t >= 31) return s;
        if (t == 0) return d;
        return Mix(t, s, d);
      }
      default: return d;
    }
  }

  static void Row(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    for (int32_t i = 0; i < n; ++i) {
      uint8_t* dAddr = static_cast<uint8_t*>(dst) + (p.direction < 0 ? -ptrdiff_t(i) : ptrdiff_t(i)) * P::kBpp;
      const T d = LoadPixel<T>(dAddr);
      if (p.row == FXRow::kAlphaPlaneFill) {
        StorePixel<T>(dAddr, PlaneFill(p, d, static_cast<const uint8_t*>(src)[i]));
        continue;
      }
      const T s = LoadPixel<T>(static_cast<const uint8_t*>(src) + ptrdiff_t(i) * P::kBpp);
      const T effect = Effect(p, d, s, dAddr);
      int32_t alpha = 31;
      if (p.alphaMode == 2 && p.alpha) alpha = std::min<int32_t>(p.alpha[i], 31);
      if (p.alphaMode == 1 && P::kBpp == 4) alpha = int32_t((uint32_t(s) >> 24) % 32);
      if (alpha == 31) {
        StorePixel<T>(dAddr, effect);
        continue;
      }
      const int32_t t = p.level > 0 ? fxmath::LevelRowEntry(p.level, alpha) : alpha;
      if (t == 0) continue;
      StorePixel<T>(dAddr, Mix(t, p.row == FXRow::kTableBlend ? s : effect, d));
    }
  }

  static T PlaneFill(const KK_FXParams& p, T d, uint8_t value) {
    const T c = T(p.fillColor);
    const int32_t a = value / 8;
    if (a == 31) return p.level > 0 ? Mix(31 - p.level, c, d) : c;
    const int32_t t = p.level > 0 ? fxmath::LevelRowEntry(p.level, a) : a;
    return t == 0 ? d : Mix(t, c, d);
  }

  static void Blur(void* dst, const void* src, int32_t n, int32_t radius, int32_t step) {
    radius = std::clamp(radius, int32_t{0}, KK_FXMan::kMaxBlurRadius);
    if (step == 0) step = P::kBpp;
    for (int32_t i = 0; i < n; ++i) {
      Channels sum{0, 0, 0};
      int32_t count = 0;
      for (int32_t j = i - radius; j <= i + radius; ++j) {
        if (j < 0 || j >= n) continue;
        const Channels c = Native(LoadPixel<T>(static_cast<const uint8_t*>(src) + ptrdiff_t(j) * step));
        sum.r += c.r;
        sum.g += c.g;
        sum.b += c.b;
        ++count;
      }
      StorePixel<T>(static_cast<uint8_t*>(dst) + ptrdiff_t(i) * step,
                    FromNative({sum.r / count, sum.g / count, sum.b / count}));
    }
  }
};

}  // namespace

KK_RowFn ReferenceRow(int32_t format, FXRow row) {
  if (row == FXRow::kCount) return nullptr;
  switch (format) {
    case kFormat565: return Ref<Px565>::Row;
    case kFormat555: return Ref<Px555>::Row;
    case kFormat32: return Ref<Px8888>::Row;
    default: return nullptr;
  }
}

void ReferenceBlurRow(void* dst, const void* src, int32_t count, int32_t radius, int32_t step, int32_t format) {
  switch (format) {
    case kFormat565: Ref<Px565>::Blur(dst, src, count, radius, step); break;
    case kFormat555: Ref<Px555>::Blur(dst, src, count, radius, step); break;
    case kFormat32: Ref<Px8888>::Blur(dst, src, count, radius, step); break;
    default: break;
  }
}

}  // namespace kk
