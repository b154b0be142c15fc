// What the fast and the reference blitters share: a locked description read as a pixel
// plane (size, pitch and bits only where the description's flags vouch for them),
// single pixels through memcpy, and the channels of each format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/MulDiv64.h"
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

// a x b / c truncated, without overflow for any 32-bit edges of a rectangle.
inline int64_t MulDiv(int64_t a, int64_t b, int64_t c) { return MulDivMod64(a, b, c).quotient; }
inline int64_t MulMod(int64_t a, int64_t b, int64_t c) { return MulDivMod64(a, b, c).remainder; }

inline uint32_t ClampLevel(uint32_t level) { return level < kMaxLevel ? level : kMaxLevel; }

}  // namespace softblit
