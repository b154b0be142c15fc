// Pixel formats of the simulated display and its surfaces: sizes, channel masks, the
// bits a colour key compares, and the exact conversion of a pixel to 0x00RRGGBB.
#pragma once

#include <cstdint>
#include <optional>

#include "plat/ddraw.h"
#include "plat/sim_display.h"

namespace plat::detail::ddraw {

using sim::DisplayFormat;

struct PixelFormat {
  DisplayFormat kind = DisplayFormat::Xrgb8888;
  int bytes = 4;
  int bits = 32;
  uint32_t red = 0, green = 0, blue = 0;
  // The bits that carry colour: the unused byte of 32-bit pixels and the top bit of
  // 5-5-5 pixels are left out, so colour keys ignore them.
  uint32_t colourMask = 0;
};

PixelFormat FormatOf(DisplayFormat kind);
// The format a DDPIXELFORMAT describes, when it is one the layer supports.
std::optional<PixelFormat> FormatFromDdpf(const DDPIXELFORMAT& pf);
void FillDdpf(const PixelFormat& f, DDPIXELFORMAT* pf);

// Reads / writes one raw pixel value at `p`.
uint32_t ReadPixel(const uint8_t* p, int bytes);
void WritePixel(uint8_t* p, int bytes, uint32_t value);

// 0x00RRGGBB of a raw pixel; 5- and 6-bit channels widen by repeating their top bits,
// so white stays white. Palette pixels show their index as a grey.
uint32_t PixelToXrgb(const PixelFormat& f, uint32_t pixel);
// The same for a row of `count` raw pixels: the format is chosen once per row, so the
// per-pixel work is a few shifts the compiler can vectorise. PixelToXrgb is its reference.
void RowToXrgb(const PixelFormat& f, const uint8_t* src, uint32_t* out, int count);

}  // namespace plat::detail::ddraw
