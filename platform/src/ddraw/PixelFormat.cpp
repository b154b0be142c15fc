// The display formats as DirectDraw describes them, and pixel conversion.
#include <array>
#include <cstring>
#include "ddraw/KeyRows.h"
#include "ddraw/PixelFormat.h"

namespace plat::detail::ddraw {

PixelFormat FormatOf(DisplayFormat kind) {
  PixelFormat f;
  f.kind = kind;
  switch (kind) {
    case DisplayFormat::Rgb565:
      f.bytes = 2, f.bits = 16, f.red = 0xF800, f.green = 0x07E0, f.blue = 0x001F, f.colourMask = 0xFFFF;
      break;
    case DisplayFormat::Rgb555:
      f.bytes = 2, f.bits = 16, f.red = 0x7C00, f.green = 0x03E0, f.blue = 0x001F, f.colourMask = 0x7FFF;
      break;
    case DisplayFormat::Xrgb8888:
      f.bytes = 4, f.bits = 32, f.red = 0xFF0000, f.green = 0xFF00, f.blue = 0xFF, f.colourMask = 0xFFFFFF;
      break;
    case DisplayFormat::Rgb888:
      f.bytes = 3, f.bits = 24, f.red = 0xFF0000, f.green = 0xFF00, f.blue = 0xFF, f.colourMask = 0xFFFFFF;
      break;
    case DisplayFormat::Palette8:
      f.bytes = 1, f.bits = 8, f.colourMask = 0xFF;
      break;
  }
  return f;
}

std::optional<PixelFormat> FormatFromDdpf(const DDPIXELFORMAT& pf) {
  if (pf.dwFlags & DDPF_PALETTEINDEXED8) return FormatOf(DisplayFormat::Palette8);
  if (!(pf.dwFlags & DDPF_RGB)) return std::nullopt;
  for (DisplayFormat k : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888,
                          DisplayFormat::Rgb888}) {
    PixelFormat f = FormatOf(k);
    if (pf.dwRGBBitCount == static_cast<DWORD>(f.bits) && pf.dwRBitMask == f.red && pf.dwGBitMask == f.green &&
        pf.dwBBitMask == f.blue)
      return f;
  }
  return std::nullopt;
}

void FillDdpf(const PixelFormat& f, DDPIXELFORMAT* pf) {
  *pf = DDPIXELFORMAT{};
  pf->dwSize = sizeof(DDPIXELFORMAT);
  pf->dwFlags = f.kind == DisplayFormat::Palette8 ? (DDPF_RGB | DDPF_PALETTEINDEXED8) : DDPF_RGB;
  pf->dwRGBBitCount = static_cast<DWORD>(f.bits);
  pf->dwRBitMask = f.red;
  pf->dwGBitMask = f.green;
  pf->dwBBitMask = f.blue;
}

uint32_t ReadPixel(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1: return p[0];
    case 2: return uint32_t{p[0]} | uint32_t{p[1]} << 8;
    case 3: return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    default: return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  }
}

void WritePixel(uint8_t* p, int bytes, uint32_t value) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

namespace {
uint32_t Widen5(uint32_t c) { return (c << 3) | (c >> 2); }
uint32_t Widen6(uint32_t c) { return (c << 2) | (c >> 4); }
}  // namespace

uint32_t PixelToXrgb(const PixelFormat& f, uint32_t pixel) {
  switch (f.kind) {
    case DisplayFormat::Rgb565:
      return Widen5((pixel >> 11) & 31) << 16 | Widen6((pixel >> 5) & 63) << 8 | Widen5(pixel & 31);
    case DisplayFormat::Rgb555:
      return Widen5((pixel >> 10) & 31) << 16 | Widen5((pixel >> 5) & 31) << 8 | Widen5(pixel & 31);
    case DisplayFormat::Palette8:
      return (pixel & 0xFF) * 0x010101u;
    default:
      return pixel & 0xFFFFFF;
  }
}

namespace {
// Every 16-bit pixel's colour, worked out once per layout: a row is then one lookup a pixel.
template <DisplayFormat Kind>
const std::array<uint32_t, 65536>& Table16() {
  static const std::array<uint32_t, 65536> table = [] {
    std::array<uint32_t, 65536> t{};
    const PixelFormat f = FormatOf(Kind);
    for (uint32_t v = 0; v < t.size(); ++v) t[v] = PixelToXrgb(f, v);
    return t;
  }();
  return table;
}

void Row16ToXrgb(const std::array<uint32_t, 65536>& table, const uint8_t* src, uint32_t* out, int count) {
  for (int i = 0; i < count; ++i) {
    uint16_t raw;
    std::memcpy(&raw, src + 2 * i, sizeof raw);  // little-endian, as the surfaces store it
    out[i] = table[raw];
  }
}
}  // namespace

void RowToXrgb(const PixelFormat& f, const uint8_t* src, uint32_t* out, int count) {
  switch (f.kind) {
    case DisplayFormat::Rgb565:
      return Row16ToXrgb(Table16<DisplayFormat::Rgb565>(), src, out, count);
    case DisplayFormat::Rgb555:
      return Row16ToXrgb(Table16<DisplayFormat::Rgb555>(), src, out, count);
    default:
      if (f.bytes == 4 && f.kind != DisplayFormat::Palette8) {
        if (MaskRow32(reinterpret_cast<uint8_t*>(out), src, count, f.colourMask)) return;
        for (int i = 0; i < count; ++i) {
          uint32_t raw;
          std::memcpy(&raw, src + 4 * i, sizeof raw);
          out[i] = raw & f.colourMask;
        }
        return;
      }
      for (int i = 0; i < count; ++i) out[i] = PixelToXrgb(f, ReadPixel(src + i * f.bytes, f.bytes));
  }
}

}  // namespace plat::detail::ddraw
