// The reference blitters: every target pixel on its own, every channel from its
// formula, no table and no word tricks, clipping by testing each pixel. Slow on purpose:
// they are the oracle the fast members are compared with, byte for byte.
#include "widgets/SoftBlit.h"
#include "widgets/SoftBlitPixels.h"

namespace softblit_ref {
namespace {

using namespace softblit;

struct Rgb {
  int32_t r, g, b;
};

Rgb Split16(uint32_t p, const Layout16& l) {
  return {static_cast<int32_t>((p >> l.redShift) & 31),
          static_cast<int32_t>((p >> l.greenShift) & ((1u << l.greenBits) - 1)), static_cast<int32_t>(p & 31)};
}
uint32_t Join16(const Rgb& c, const Layout16& l) {
  return static_cast<uint32_t>(c.r) << l.redShift | static_cast<uint32_t>(c.g) << l.greenShift |
         static_cast<uint32_t>(c.b);
}
Rgb Split24(uint32_t p) {
  return {static_cast<int32_t>((p >> 16) & 255), static_cast<int32_t>((p >> 8) & 255), static_cast<int32_t>(p & 255)};
}
// The fourth byte is taken from `keep`.
uint32_t Join24(const Rgb& c, uint32_t keep) {
  return (keep & ~kRgbMask) | static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 |
         static_cast<uint32_t>(c.b);
}

// Floor division by a positive divisor.
int32_t FloorDiv(int32_t n, int32_t d) { return n >= 0 ? n / d : -((-n + d - 1) / d); }

template <class F>
Rgb PerChannel(const Rgb& s, const Rgb& t, F f) {
  return {f(s.r, t.r), f(s.g, t.g), f(s.b, t.b)};
}

// One pixel plane per format, so every family is written once.
template <int32_t F>
struct Px {
  static constexpr bool kWide = F == kk::kFormat24 || F == kk::kFormat32;
  static const Layout16& Layout() { return F == kk::kFormat565 ? k565Layout : k555Layout; }
  static uint32_t Read(const uint8_t* p) {
    if constexpr (F == kk::kFormat24) return Read24(p);
    else if constexpr (F == kk::kFormat32) return Read32(p);
    else return Read16(p);
  }
  static void Write(uint8_t* p, uint32_t v) {
    if constexpr (F == kk::kFormat24) Write24(p, v);
    else if constexpr (F == kk::kFormat32) Write32(p, v);
    else Write16(p, v);
  }
  static Rgb Split(uint32_t p) {
    if constexpr (kWide) return Split24(p);
    else return Split16(p, Layout());
  }
  static uint32_t Join(const Rgb& c, uint32_t keep) {
    if constexpr (kWide) return Join24(c, keep);
    else return Join16(c, Layout());
  }
  static bool Keyed(uint32_t p, uint32_t key) { return kWide ? KeyMatches24(p, key) : KeyMatches16(p, key); }
};

bool Inside(int64_t x, int64_t y, int64_t w, int64_t h) { return x >= 0 && y >= 0 && x < w && y < h; }
bool InRect(int64_t x, int64_t y, const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// ---- Level blend of a source rectangle ----
template <int32_t F>
HRESULT AlphaBlend(const DDSURFACEDESC2& target, int32_t destX, int32_t destY, const DDSURFACEDESC2& source,
                   const RECT& src, uint32_t level, BOOL useKey, uint32_t key) {
  Plane t, s;
  if (!PlaneOf(target, F, t) || !PlaneOf(source, F, s)) return E_FAIL;
  if (src.bottom <= src.top) return 0;
  level = ClampLevel(level);
  const int32_t a = static_cast<int32_t>(kMaxLevel - level);
  if (!useKey) key = kNoKey;
  for (int32_t y = 0; y < t.height; ++y) {
    const int64_t sy = int64_t{y} - destY + src.top;
    auto sourceX = [&](int32_t x) { return int64_t{x} - destX + src.left; };
    auto drawn = [&](int32_t x) { return InRect(sourceX(x), sy, src) && Inside(sourceX(x), sy, s.width, s.height); };
    // Pairs run along the drawn part of the row: with an odd length its first pixel
    // is the single one.
    int32_t length = 0;
    for (int32_t x = 0; x < t.width; ++x) length += drawn(x) ? 1 : 0;
    int32_t index = 0;
    for (int32_t x = 0; x < t.width; ++x) {
      if (!drawn(x)) continue;
      const bool single = (length % 2 == 1) && index == 0;
      ++index;
      const uint32_t sp = Px<F>::Read(s.At(static_cast<int32_t>(sourceX(x)), static_cast<int32_t>(sy)));
      if (Px<F>::Keyed(sp, key)) continue;
      uint8_t* at = t.At(x, y);
      const uint32_t tp = Px<F>::Read(at);
      Rgb out;
      if constexpr (Px<F>::kWide) {
        out = PerChannel(Px<F>::Split(sp), Px<F>::Split(tp), [&](int32_t sc, int32_t tc) {
          return sc + FloorDiv((tc - sc) * static_cast<int32_t>(level), 256);
        });
      } else if (single) {
        out = PerChannel(Px<F>::Split(sp), Px<F>::Split(tp),
                         [&](int32_t sc, int32_t tc) { return tc + FloorDiv((sc - tc) * a, 256); });
      } else {
        out = PerChannel(Px<F>::Split(sp), Px<F>::Split(tp), [&](int32_t sc, int32_t tc) {
          return tc + FloorDiv((sc - tc + 64) * a, 256) - FloorDiv(a, 4);
        });
      }
      Px<F>::Write(at, Px<F>::Join(out, tp));
    }
  }
  return 0;
}

// ---- Stretched blend ----
template <int32_t F>
HRESULT Stretch(const DDSURFACEDESC2& target, const RECT& dst, const DDSURFACEDESC2& source, const RECT& src,
                uint32_t level, uint32_t key) {
  Plane t, s;
  if (!PlaneOf(target, F, t) || !PlaneOf(source, F, s)) return E_FAIL;
  if (src.bottom <= src.top) return 0;
  const int64_t sw = int64_t{src.right} - src.left, sh = int64_t{src.bottom} - src.top;
  const int64_t dw = int64_t{dst.right} - dst.left, dh = int64_t{dst.bottom} - dst.top;
  if (sw <= 0 || dw <= 0 || dh <= 0) return 0;
  level = ClampLevel(level);
  const int32_t l = static_cast<int32_t>(level), k = l >> 4;
  for (int32_t y = 0; y < t.height; ++y) {
    for (int32_t x = 0; x < t.width; ++x) {
      if (!InRect(x, y, dst)) continue;
      const int64_t sx = src.left + MulDiv(x - int64_t{dst.left}, sw, dw);
      const int64_t sy = src.top + MulDiv(y - int64_t{dst.top}, sh, dh);
      if (!Inside(sx, sy, s.width, s.height)) continue;
      const uint32_t sp = Px<F>::Read(s.At(static_cast<int32_t>(sx), static_cast<int32_t>(sy)));
      if (Px<F>::Keyed(sp, key)) continue;
      uint8_t* at = t.At(x, y);
      const uint32_t tp = Px<F>::Read(at);
      Rgb out;
      if constexpr (Px<F>::kWide) {
        out = PerChannel(Px<F>::Split(sp), Px<F>::Split(tp),
                         [&](int32_t sc, int32_t tc) { return (sc * (255 - l) + tc * l) >> 8; });
      } else {
        out = PerChannel(Px<F>::Split(sp), Px<F>::Split(tp),
                         [&](int32_t sc, int32_t tc) { return (sc * (15 - k) + tc * k) / 15; });
      }
      Px<F>::Write(at, Px<F>::Join(out, tp));
    }
  }
  return 0;
}

// ---- Alpha-plane blend ----
template <int32_t F>
HRESULT AlphaPlane(const DDSURFACEDESC2& target, const RECT& dst, const DDSURFACEDESC2& source, const RECT& src,
                   uint32_t level, const uint8_t* alpha, size_t alphaSize) {
  Plane t, s;
  if (!PlaneOf(target, F, t) || !PlaneOf(source, F, s)) return E_FAIL;
  if (src.bottom <= src.top) return 0;
  if (!alpha || alphaSize < static_cast<size_t>(s.width) * static_cast<size_t>(s.height)) return 0;
  level = ClampLevel(level);
  constexpr float kOneOver255 = 0.003921569f;
  for (int32_t y = 0; y < t.height; ++y) {
    const double f = static_cast<double>(kMaxLevel - level) * static_cast<double>(kOneOver255);
    for (int32_t x = 0; x < t.width; ++x) {
      const int64_t sx = int64_t{x} - dst.left + src.left, sy = int64_t{y} - dst.top + src.top;
      if (!InRect(x, y, dst) || !InRect(sx, sy, src) || !Inside(sx, sy, s.width, s.height)) continue;
      const int32_t a = alpha[static_cast<size_t>(sy * s.width + sx)];
      const int32_t w = static_cast<int32_t>(255.0 - a * f);
      if (w == 255) continue;
      uint8_t* at = t.At(x, y);
      const uint32_t sp = Px<F>::Read(s.At(static_cast<int32_t>(sx), static_cast<int32_t>(sy)));
      const uint32_t tp = Px<F>::Read(at);
      // A fully weighted source is copied: the formula would lose a step of white.
      const Rgb out = w == 0 ? Px<F>::Split(sp)
                             : PerChannel(Px<F>::Split(sp), Px<F>::Split(tp), [&](int32_t sc, int32_t tc) {
                                 return (sc * (255 - w) + tc * w) >> 8;
                               });
      Px<F>::Write(at, Px<F>::Join(out, tp));
    }
  }
  return 0;
}

}  // namespace

#define DORVIK_REF_MEMBERS(FMT)                                                                                   \
  HRESULT AlphaBlendRect##FMT(const DDSURFACEDESC2& target, int32_t destX, int32_t destY,                        \
                              const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level, BOOL useKey, \
                              uint32_t key) {                                                                    \
    return AlphaBlend<kk::kFormat##FMT>(target, destX, destY, source, sourceRect, level, useKey, key);           \
  }                                                                                                              \
  HRESULT BlendRectStretch##FMT(const DDSURFACEDESC2& target, const RECT& destRect,                              \
                                const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,            \
                                uint32_t key) {                                                                  \
    return Stretch<kk::kFormat##FMT>(target, destRect, source, sourceRect, level, key);                          \
  }
#define DORVIK_REF_ALPHA_MEMBER(FMT)                                                                            \
  HRESULT BlendRectAlphaPlane##FMT(const DDSURFACEDESC2& target, const RECT& destRect,                         \
                                   const DDSURFACEDESC2& source, const RECT& sourceRect, uint32_t level,        \
                                   const uint8_t* alpha, size_t alphaSize) {                                    \
    return AlphaPlane<kk::kFormat##FMT>(target, destRect, source, sourceRect, level, alpha, alphaSize);         \
  }

DORVIK_REF_MEMBERS(555)
DORVIK_REF_MEMBERS(565)
DORVIK_REF_MEMBERS(24)
DORVIK_REF_MEMBERS(32)
DORVIK_REF_ALPHA_MEMBER(555)
DORVIK_REF_ALPHA_MEMBER(565)
DORVIK_REF_ALPHA_MEMBER(32)

}  // namespace softblit_ref
