// The pixel model under every DC: a buffer of 1, 4, 8, 16, 24 or 32 bits per pixel
// with masks, stride, row order and palette, and the one COLORREF <-> device rule.
#pragma once

#include <cstdint>
#include <vector>

#include "plat/gdi.h"

namespace plat::detail::gdi {

struct PixelBuffer {
  int32_t width = 0;
  int32_t height = 0;
  int bpp = 0;
  // Red, green, blue masks of 16- and 32-bit pixels (24-bit pixels are B, G, R bytes).
  uint32_t masks[3] = {};
  int32_t stride = 0;  // bytes per row
  bool topDown = true;
  uint8_t* bits = nullptr;
  std::vector<RGBQUAD> palette;  // 1, 4 and 8 bits

  uint8_t* Row(int32_t y) const {
    return bits + static_cast<ptrdiff_t>(topDown ? y : height - 1 - y) * stride;
  }
  bool Contains(int64_t x, int64_t y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  bool Mono() const { return bpp == 1; }
  bool Indexed() const { return bpp <= 8; }
  size_t ByteSize() const { return static_cast<size_t>(stride) * static_cast<size_t>(height); }
};

constexpr uint32_t kMask565[3] = {0xF800, 0x07E0, 0x001F};
constexpr uint32_t kMask555[3] = {0x7C00, 0x03E0, 0x001F};
constexpr uint32_t kMask888[3] = {0xFF0000, 0x00FF00, 0x0000FF};

// Bytes per row of a DIB (rows padded to 4 bytes); -1 when it does not fit 31 bits.
int64_t DibStride(int64_t width, int bpp);
// Fills format fields (bpp, masks, stride, default palette of 1 bit) of a top-down
// buffer; the caller attaches the bits.
void SetFormat(PixelBuffer& buf, int32_t width, int32_t height, int bpp, const uint32_t* masks);
bool SameFormat(const PixelBuffer& a, const PixelBuffer& b);

// The one COLORREF -> device value rule, truncating: 5-6-5 (r>>3)<<11 | (g>>2)<<5 | b>>3,
// 5-5-5 (r>>3)<<10 | (g>>3)<<5 | b>>3, 24/32 r<<16 | g<<8 | b; indexed formats take
// the nearest palette entry.
uint32_t ColorToDevice(const PixelBuffer& buf, COLORREF color);
// Device value -> COLORREF, channels widened by bit replication.
COLORREF DeviceToColor(const PixelBuffer& buf, uint32_t value);
uint32_t NearestIndex(const std::vector<RGBQUAD>& palette, COLORREF color);

uint32_t ReadPixel(const PixelBuffer& buf, int32_t x, int32_t y);
void WritePixel(const PixelBuffer& buf, int32_t x, int32_t y, uint32_t value);
// Device values of n pixels of row y starting at x (all inside the buffer).
void ReadRow(const PixelBuffer& buf, int32_t x, int32_t y, int32_t n, uint32_t* out);
void WriteRow(const PixelBuffer& buf, int32_t x, int32_t y, int32_t n, const uint32_t* in);
// Converts device values of `from` into device values of `to` in place.
void ConvertValues(const PixelBuffer& from, const PixelBuffer& to, uint32_t* values, int32_t n);
// Mask of the colour bits of a device value (raster operations leave the rest 0).
uint32_t ValueMask(const PixelBuffer& buf);

}  // namespace plat::detail::gdi

namespace plat::detail::gdi {

// Row `sy` of `src` into row `dy` of `dst`, n pixels from x 0, converted through RGB
// (1-bit pixels through their palette).
void CopyRow(const PixelBuffer& src, int32_t sy, const PixelBuffer& dst, int32_t dy, int32_t n);
// Whole buffer, scaled by nearest neighbour when the sizes differ.
void CopyScaled(const PixelBuffer& src, const PixelBuffer& dst);

}  // namespace plat::detail::gdi
