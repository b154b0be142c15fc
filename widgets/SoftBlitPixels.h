// What the fast and the reference blitters share: a locked description read as a pixel
// plane (size, pitch and bits only where the description's flags vouch for them),
// single pixels through memcpy, and the channels of each format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "plat/ddraw.h"
#include "widgets/SoftBlit.h"

namespace softblit {

constexpr uint32_t kNoKey = 0xFFFFFFFFu;
constexpr uint32_t kMaxLevel = 255;
constexpr uint32_t kRgbMask = 0xFFFFFF;

struct Plane {
  uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  ptrdiff_t pitch = 0;
  int32_t bytes = 0;

  uint8_t* At(int32_t x, int32_t y) const { return bits + y * pitch + ptrdiff_t{x} * bytes; }
};

// False when the description is not of `format` or has no memory.
inline bool PlaneOf(const DDSURFACEDESC2& d, int32_t format, Plane& out) {
  if (kk::PixelFormatOf(d) != format || !d.lpSurface) return false;
  out.bits = static_cast<uint8_t*>(d.lpSurface);
  out.width = (d.dwFlags & DDSD_WIDTH) ? static_cast<int32_t>(d.dwWidth) : 0;
  out.height = (d.dwFlags & DDSD_HEIGHT) ? static_cast<int32_t>(d.dwHeight) : 0;
  out.pitch = (d.dwFlags & DDSD_PITCH) ? d.lPitch : 0;
  out.bytes = kk::BytesPerPixel(format);
  if (out.width < 0 || out.height < 0) out.width = out.height = 0;
  return true;
}

inline uint32_t Read16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void Write16(uint8_t* p, uint32_t v) {
  const auto w = static_cast<uint16_t>(v);
  std::memcpy(p, &w, 2);
}
inline uint32_t Read24(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
}
inline void Write24(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
}
inline uint32_t Read32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void Write32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// Channel layout of the 16-bit formats: shifts and widths of red, green, blue.
struct Layout16 {
  int32_t redShift, greenShift, greenBits;
};
constexpr Layout16 k555Layout{10, 5, 5};
constexpr Layout16 k565Layout{11, 5, 6};

inline bool KeyMatches16(uint32_t pixel, uint32_t key) { return key != kNoKey && pixel == (key & 0xFFFFu); }
inline bool KeyMatches24(uint32_t pixel, uint32_t key) {
  return key != kNoKey && (pixel & kRgbMask) == (key & kRgbMask);
}

// The exact quotient and remainder of a x b / c, truncated toward zero as C divides,
// without overflow for any 32-bit edges of a rectangle: a product that leaves 64 bits
// is divided as a 128-bit magnitude, in 64-bit halves, since 32-bit targets have no
// 128-bit integer type. A quotient beyond 64 bits keeps its low 64 bits.
struct MulDivResult {
  int64_t quotient, remainder;
};
inline MulDivResult MulDivExact(int64_t a, int64_t b, int64_t c) {
  int64_t product = 0;
  // INT64_MIN / -1 is the one 64-bit quotient that does not fit: the wide path takes it.
  if (!__builtin_mul_overflow(a, b, &product) && !(product == INT64_MIN && c == -1)) {
    return {product / c, product % c};
  }
  const auto magnitude = [](int64_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); };
  const uint64_t x = magnitude(a), y = magnitude(b), d = magnitude(c);
  // x * y as hi:lo from 32-bit limbs.
  const uint64_t x0 = x & 0xFFFFFFFFu, x1 = x >> 32, y0 = y & 0xFFFFFFFFu, y1 = y >> 32;
  const uint64_t p00 = x0 * y0, p01 = x0 * y1, p10 = x1 * y0, p11 = x1 * y1;
  const uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
  uint64_t hi = p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32);
  uint64_t lo = (middle << 32) | (p00 & 0xFFFFFFFFu);
  // Shift-subtract division; the remainder stays below d, so it never needs 65 bits
  // except for the carry that the comparison takes into account.
  uint64_t rem = 0;
  for (int bit = 0; bit < 128; ++bit) {
    const bool carry = (rem >> 63) != 0;
    rem = (rem << 1) | (hi >> 63);
    hi = (hi << 1) | (lo >> 63);
    lo <<= 1;
    if (carry || rem >= d) {
      rem -= d;
      lo |= 1;
    }
  }
  const bool negative = (a < 0) != (b < 0);
  const bool quotientNegative = negative != (c < 0);
  const auto q = static_cast<int64_t>(quotientNegative ? 0 - lo : lo);
  const auto r = static_cast<int64_t>(negative ? 0 - rem : rem);
  return {q, r};
}
inline int64_t MulDiv(int64_t a, int64_t b, int64_t c) { return MulDivExact(a, b, c).quotient; }
inline int64_t MulMod(int64_t a, int64_t b, int64_t c) { return MulDivExact(a, b, c).remainder; }

inline uint32_t ClampLevel(uint32_t level) { return level < kMaxLevel ? level : kMaxLevel; }

}  // namespace softblit
