// The fast row functions handed out by the effect managers: the arithmetic effects and
// level blends by the wide kernels, the other blends by table look-up, copies and
// fills by block moves. Checked
// against the reference rows, byte for byte, by the seeded sweep of the tests.
#include <cstring>
#include <type_traits>

#include "graphics/KK_FXWide.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_FXMath.h"
#include "base/PixelFormat.h"

namespace kk {
namespace {

template <class P>
struct Fast {
  using T = typename P::T;
  using E = std::conditional_t<P::kBpp == 2, uint16_t, uint8_t>;  // table entry
  static constexpr int32_t kShift = P::kBpp == 2 ? 5 : 8;
  static constexpr int32_t kEntries = (P::kMax + 1) * (P::kMax + 1);

  static const E* Table(const KK_FXParams& p, int32_t t) {
    return static_cast<const E*>(p.tableBase) + ptrdiff_t(t) * kEntries;
  }
  static T Look(const E* tbl, T outer, T inner) {
    return P::FromTable(tbl[(P::TR(outer) << kShift) | P::TR(inner)],
                        tbl[(P::TG(outer) << kShift) | P::TG(inner)],
                        tbl[(P::TB(outer) << kShift) | P::TB(inner)]);
  }
  // `top` keeps t/31 over `under` (t 1..30); tables may be missing only when they
  // could not be allocated, and then the formula stands in.
  static T Mix(const KK_FXParams& p, int32_t t, T top, T under) {
    if (p.tableBase) return Look(Table(p, t - 1), top, under);
    return P::FromTable(fxmath::LevelMix(t, P::TR(top), P::TR(under)),
                        fxmath::LevelMix(t, P::TG(top), P::TG(under)),
                        fxmath::LevelMix(t, P::TB(top), P::TB(under)));
  }

  static uint8_t* At(void* dst, int32_t i, int32_t dir) {
    return static_cast<uint8_t*>(dst) + ptrdiff_t(i) * dir * P::kBpp;
  }
  static const uint8_t* SrcAt(const void* src, int32_t i) {
    return static_cast<const uint8_t*>(src) + ptrdiff_t(i) * P::kBpp;
  }

  static int32_t AlphaOf(const KK_FXParams& p, T s, int32_t i) {
    if (p.alphaMode == 2) return p.alpha[i] > 31 ? 31 : p.alpha[i];
    if constexpr (P::kBpp == 4) return int32_t(s >> 24) & 31;
    return 31;
  }
  static bool HasAlpha(const KK_FXParams& p) {
    return (p.alphaMode == 2 && p.alpha) || (p.alphaMode == 1 && P::kBpp == 4);
  }

  // Runs `op` (d, s, i) -> result over the row; with per-pixel alpha a result is laid
  // over the destination at the pixel's alpha, weakened by the level row when there is
  // one. `blendSource` lays the source instead of the result (the table blend).
  template <bool kBlendSource, class Op>
  static void Walk(void* dst, const void* src, int32_t n, const KK_FXParams& p, Op op) {
    const int32_t dir = p.direction < 0 ? -1 : 1;
    if (!HasAlpha(p)) {
      for (int32_t i = 0; i < n; ++i) {
        uint8_t* d = At(dst, i, dir);
        StorePixel<T>(d, op(LoadPixel<T>(d), LoadPixel<T>(SrcAt(src, i)), i));
      }
      return;
    }
    for (int32_t i = 0; i < n; ++i) {
      uint8_t* d = At(dst, i, dir);
      const T dv = LoadPixel<T>(d);
      const T sv = LoadPixel<T>(SrcAt(src, i));
      const int32_t a = AlphaOf(p, sv, i);
      if (a >= 31) {
        StorePixel<T>(d, op(dv, sv, i));
        continue;
      }
      const int32_t t = p.levelRow ? p.levelRow[a] : a;
      if (t == 0) continue;
      StorePixel<T>(d, Mix(p, t, kBlendSource ? sv : op(dv, sv, i), dv));
    }
  }

  static void Copy(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (n <= 0) return;
    if (!HasAlpha(p) && p.direction >= 0) {
      std::memcpy(dst, src, size_t(n) * P::kBpp);
      return;
    }
    if (Wide(WideOp::kCopy, dst, src, n, p)) return;
    Walk<false>(dst, src, n, p, [](T, T s, int32_t) { return s; });
  }
  // The whole row in the wide kernel when it has the row's shape: any level row the
  // one its level names.
  static bool Wide(WideOp op, void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    WideRow r;
    r.op = op;
    return Wide(r, dst, src, n, p);
  }
  static bool Wide(WideRow r, void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (n <= 0) return false;
    r.format = P::kCode;
    r.mirror = p.direction < 0;
    r.dst = static_cast<uint8_t*>(dst);
    r.src = static_cast<const uint8_t*>(src);
    r.count = n;
    if (HasAlpha(p)) {
      r.alphaMode = p.alphaMode == 2 ? 2 : 1;
      r.alpha = p.alpha;
      if (p.levelRow) {
        if (p.level < 1 || p.level > fxmath::kLevelRows) return false;
        r.alphaLevel = p.level;
      }
    }
    return RunWideRow(r);
  }
  static void Lighten(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (Wide(WideOp::kLighten, dst, src, n, p)) return;
    Walk<false>(dst, src, n, p, [](T d, T s, int32_t) {
      return T(std::max<T>(d & P::kMaskR, s & P::kMaskR) | std::max<T>(d & P::kMaskG, s & P::kMaskG) |
               std::max<T>(d & P::kMaskB, s & P::kMaskB));
    });
  }
  static void Darken(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (Wide(WideOp::kDarken, dst, src, n, p)) return;
    Walk<false>(dst, src, n, p, [](T d, T s, int32_t) {
      return T(std::min<T>(d & P::kMaskR, s & P::kMaskR) | std::min<T>(d & P::kMaskG, s & P::kMaskG) |
               std::min<T>(d & P::kMaskB, s & P::kMaskB));
    });
  }
  static void HalfMix(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (Wide(WideOp::kHalfMix, dst, src, n, p)) return;
    Walk<false>(dst, src, n, p,
                [](T d, T s, int32_t) { return T(((s >> 1) & P::kHalfMask) + ((d >> 1) & P::kHalfMask)); });
  }
  static void TableBlend(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    // Level tables hold a formula the vector unit computes faster than it can look up.
    if (p.tableIndex >= 0 && p.tableIndex < fxmath::kLevelRows) {
      WideRow r;
      r.op = WideOp::kLevel;
      r.level = p.tableIndex + 1;
      if (Wide(r, dst, src, n, p)) return;
    }
    const E* tbl = static_cast<const E*>(p.table);
    Walk<true>(dst, src, n, p, [tbl](T d, T s, int32_t) { return Look(tbl, d, s); });
  }
  static void Fill(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (n <= 0) return;
    const T c = T(p.fillColor);
    if (!HasAlpha(p)) {
      FillForward(p.direction < 0 ? At(dst, n - 1, -1) : dst, n, p.fillColor);
      return;
    }
    // The source's colours are not used, but its per-pixel alpha shapes the fill.
    Walk<false>(dst, src, n, p, [c](T, T, int32_t) { return c; });
  }
  static void FillForward(void* dst, int32_t n, uint32_t packed) {
    if (n <= 0) return;
    uint8_t* d = static_cast<uint8_t*>(dst);
    if constexpr (P::kBpp == 2) {
      // Two pixels per 32-bit store once the destination is aligned.
      const uint16_t one = uint16_t(packed);
      const uint32_t two = uint32_t(one) | (uint32_t(one) << 16);
      if ((reinterpret_cast<uintptr_t>(d) & 2) != 0) {
        StorePixel<uint16_t>(d, one);
        d += 2;
        --n;
      }
      for (; n >= 2; n -= 2, d += 4) StorePixel<uint32_t>(d, two);
      if (n) StorePixel<uint16_t>(d, one);
    } else {
      for (int32_t i = 0; i < n; ++i, d += 4) StorePixel<uint32_t>(d, packed);
    }
  }
  // Level tables' colour rows are the level mix of the colour, which the wide kernel
  // computes; the other tables' rows are looked up.
  static bool WideTint(WideOp op, void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (p.colorIndex < 0 || p.colorIndex >= fxmath::kLevelRows) return false;
    WideRow r;
    r.op = op;
    r.level = p.colorIndex + 1;
    r.colour = P::FromTable(p.colorChannel[0], p.colorChannel[1], p.colorChannel[2]);
    return Wide(r, dst, src, n, p);
  }
  static void SourceColorBlend(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (WideTint(WideOp::kTintSource, dst, src, n, p)) return;
    const E* r = static_cast<const E*>(p.colorRow[0]);
    const E* g = static_cast<const E*>(p.colorRow[1]);
    const E* b = static_cast<const E*>(p.colorRow[2]);
    Walk<false>(dst, src, n, p,
                [r, g, b](T, T s, int32_t) { return P::FromTable(r[P::TR(s)], g[P::TG(s)], b[P::TB(s)]); });
  }
  static void DestColorBlend(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (WideTint(WideOp::kTintDest, dst, src, n, p)) return;
    const E* r = static_cast<const E*>(p.colorRow[0]);
    const E* g = static_cast<const E*>(p.colorRow[1]);
    const E* b = static_cast<const E*>(p.colorRow[2]);
    Walk<false>(dst, src, n, p,
                [r, g, b](T d, T, int32_t) { return P::FromTable(r[P::TR(d)], g[P::TG(d)], b[P::TB(d)]); });
  }
  // The plane value under a destination pixel, 0 (leave it) off the plane.
  static int32_t PlaneValue(const KK_FXParams& p, const uint8_t* d) {
    if (!p.plane || !p.planeImage || p.planeImagePitch <= 0) return 0;
    const uintptr_t base = reinterpret_cast<uintptr_t>(p.planeImage);
    const uintptr_t at = reinterpret_cast<uintptr_t>(d);
    if (at < base) return 0;
    const uintptr_t off = at - base;
    const uintptr_t y = off / uintptr_t(p.planeImagePitch);
    const uintptr_t x = (off % uintptr_t(p.planeImagePitch)) / P::kBpp;
    if (y >= uintptr_t(p.plane->Height()) || x >= uintptr_t(p.plane->Width())) return 0;
    return *p.plane->Address(int32_t(x), int32_t(y));
  }
  // The plane's bytes under a forward row that lies within one line of the plane, else
  // null (the row walks pixel by pixel).
  static const uint8_t* PlaneRow(const KK_FXParams& p, const void* dst, int32_t n) {
    if (!p.plane || !p.planeImage || p.planeImagePitch <= 0 || p.direction < 0 || p.planeImagePitch % P::kBpp) return nullptr;
    const uintptr_t base = reinterpret_cast<uintptr_t>(p.planeImage), at = reinterpret_cast<uintptr_t>(dst);
    if (at < base) return nullptr;
    const uintptr_t off = at - base, pitch = uintptr_t(p.planeImagePitch);
    const uintptr_t y = off / pitch, x = (off % pitch) / P::kBpp;
    if ((off % pitch) % P::kBpp || y >= uintptr_t(p.plane->Height()) || x + uintptr_t(n) > uintptr_t(p.plane->Width()))
      return nullptr;
    return p.plane->Address(int32_t(x), int32_t(y));
  }
  static void AlphaPlaneBlend(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    if (const uint8_t* plane = n > 0 ? PlaneRow(p, dst, n) : nullptr) {
      WideRow r;
      r.op = WideOp::kPlane;
      r.plane = plane;
      if (Wide(r, dst, src, n, p)) return;
    }
    const int32_t dir = p.direction < 0 ? -1 : 1;
    Walk<false>(dst, src, n, p, [&p, dst, dir](T d, T s, int32_t i) {
      const int32_t t = PlaneValue(p, At(dst, i, dir)) >> 3;
      if (t >= 31) return s;
      if (t == 0) return d;
      return Mix(p, t, s, d);
    });
  }
  // The source is the plane row: one byte per pixel.
  static void AlphaPlaneFill(void* dst, const void* src, int32_t n, const KK_FXParams& p) {
    const int32_t dir = p.direction < 0 ? -1 : 1;
    const uint8_t* plane = static_cast<const uint8_t*>(src);
    const T c = T(p.fillColor);
    for (int32_t i = 0; i < n; ++i) {
      uint8_t* d = At(dst, i, dir);
      const int32_t a = plane[i] >> 3;
      if (a >= 31) {
        StorePixel<T>(d, p.levelRow ? Mix(p, 31 - p.level, c, LoadPixel<T>(d)) : c);
        continue;
      }
      const int32_t t = p.levelRow ? p.levelRow[a] : a;
      if (t != 0) StorePixel<T>(d, Mix(p, t, c, LoadPixel<T>(d)));
    }
  }

  static constexpr KK_RowFn kRows[int32_t(FXRow::kCount)] = {
      Copy, Lighten, Darken, HalfMix, TableBlend, Fill, DestColorBlend, SourceColorBlend,
      AlphaPlaneBlend, AlphaPlaneFill};
};

}  // namespace

const KK_RowFn* FastRows(int32_t format) {
  switch (format) {
    case kFormat565: return Fast<Px565>::kRows;
    case kFormat555: return Fast<Px555>::kRows;
    case kFormat32: return Fast<Px8888>::kRows;
    default: return nullptr;
  }
}

void FillPacked(int32_t format, void* dst, int32_t count, uint32_t packed) {
  if (BytesPerPixel(format) == 2) Fast<Px565>::FillForward(dst, count, packed);
  else if (format == kFormat32) Fast<Px8888>::FillForward(dst, count, packed);
}

}  // namespace kk
