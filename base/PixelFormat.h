// The pixel formats of the program as integer codes, the ones the sprite files store
// (hence the sprite library's namespace), and the per-format pixel access shared by the
// effect manager, the sprite encoder and the sprite and software blitters. Pixels are
// loaded and stored through memcpy, so rows of any alignment are safe.
#pragma once

#include <cstdint>
#include <cstring>

#include "plat/ddraw.h"

namespace kk {

constexpr int32_t kFormatNone = 0;
constexpr int32_t kFormat565 = 16;
constexpr int32_t kFormat555 = 17;
constexpr int32_t kFormat24 = 24;
constexpr int32_t kFormat32 = 32;

constexpr uint32_t kColorKey565 = 0xF81F;
constexpr uint32_t kColorKey555 = 0x7C1F;
constexpr uint32_t kColorKey32 = 0xFF00FF;

// Bytes per pixel of a format code; 0 for a code the library does not know.
constexpr int32_t BytesPerPixel(int32_t code) {
  switch (code) {
    case kFormat565:
    case kFormat555: return 2;
    case kFormat24: return 3;
    case kFormat32: return 4;
    default: return 0;
  }
}

// The code of a surface description: 5-5-5 is 15 bits, or 16 with red 0x7C00; 5-6-5 is
// 16 with red 0xF800; 24 and 32 by count. kFormatNone without DDSD_PIXELFORMAT or for
// any other layout.
int32_t PixelFormatOf(const DDSURFACEDESC2& desc);

// COLORREF (0x00BBGGRR) channel access.
constexpr uint32_t RefRed(uint32_t c) { return c & 0xFF; }
constexpr uint32_t RefGreen(uint32_t c) { return (c >> 8) & 0xFF; }
constexpr uint32_t RefBlue(uint32_t c) { return (c >> 16) & 0xFF; }

template <class T>
inline T LoadPixel(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class T>
inline void StorePixel(void* p, T v) {
  std::memcpy(p, &v, sizeof v);
}

// Per-format channel layout. "Table" channels are the 5-bit (16-bit formats) or 8-bit
// (32-bit) values the blend tables are indexed with; "native" channels are the stored
// widths (5-6-5 keeps a 6-bit green) used by the arithmetic effects.
struct Px565 {
  using T = uint16_t;
  static constexpr int32_t kCode = kFormat565;
  static constexpr int32_t kBpp = 2;
  static constexpr int32_t kMax = 31;
  static constexpr T kHalfMask = 0x7BEF;
  static constexpr T kMaskR = 0xF800, kMaskG = 0x07E0, kMaskB = 0x001F;
  static constexpr int32_t TR(T p) { return p >> 11; }
  static constexpr int32_t TG(T p) { return (p >> 6) & 31; }
  static constexpr int32_t TB(T p) { return p & 31; }
  static constexpr T FromTable(int32_t r, int32_t g, int32_t b) { return T((r << 11) | (g << 6) | b); }
  static constexpr int32_t NR(T p) { return p >> 11; }
  static constexpr int32_t NG(T p) { return (p >> 5) & 63; }
  static constexpr int32_t NB(T p) { return p & 31; }
  static constexpr T FromNative(int32_t r, int32_t g, int32_t b) { return T((r << 11) | (g << 5) | b); }
  static constexpr T FromRef(uint32_t c) { return FromNative(RefRed(c) >> 3, RefGreen(c) >> 2, RefBlue(c) >> 3); }
};

struct Px555 {
  using T = uint16_t;
  static constexpr int32_t kCode = kFormat555;
  static constexpr int32_t kBpp = 2;
  static constexpr int32_t kMax = 31;
  static constexpr T kHalfMask = 0x3DEF;
  static constexpr T kMaskR = 0x7C00, kMaskG = 0x03E0, kMaskB = 0x001F;
  static constexpr int32_t TR(T p) { return (p >> 10) & 31; }
  static constexpr int32_t TG(T p) { return (p >> 5) & 31; }
  static constexpr int32_t TB(T p) { return p & 31; }
  static constexpr T FromTable(int32_t r, int32_t g, int32_t b) { return T((r << 10) | (g << 5) | b); }
  static constexpr int32_t NR(T p) { return TR(p); }
  static constexpr int32_t NG(T p) { return TG(p); }
  static constexpr int32_t NB(T p) { return TB(p); }
  static constexpr T FromNative(int32_t r, int32_t g, int32_t b) { return FromTable(r, g, b); }
  static constexpr T FromRef(uint32_t c) { return FromNative(RefRed(c) >> 3, RefGreen(c) >> 3, RefBlue(c) >> 3); }
};

struct Px8888 {
  using T = uint32_t;
  static constexpr int32_t kCode = kFormat32;
  static constexpr int32_t kBpp = 4;
  static constexpr int32_t kMax = 255;
  static constexpr T kHalfMask = 0x007F7F7F;
  static constexpr T kMaskR = 0xFF0000, kMaskG = 0x00FF00, kMaskB = 0x0000FF;
  static constexpr int32_t TR(T p) { return (p >> 16) & 255; }
  static constexpr int32_t TG(T p) { return (p >> 8) & 255; }
  static constexpr int32_t TB(T p) { return p & 255; }
  static constexpr T FromTable(int32_t r, int32_t g, int32_t b) { return T((r << 16) | (g << 8) | b); }
  static constexpr int32_t NR(T p) { return TR(p); }
  static constexpr int32_t NG(T p) { return TG(p); }
  static constexpr int32_t NB(T p) { return TB(p); }
  static constexpr T FromNative(int32_t r, int32_t g, int32_t b) { return FromTable(r, g, b); }
  static constexpr T FromRef(uint32_t c) { return FromNative(RefRed(c), RefGreen(c), RefBlue(c)); }
};

}  // namespace kk
