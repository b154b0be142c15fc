// Pixel access and conversions. Every conversion between two formats goes through
// 8-bit RGB, so a colour key survives any path bit-exactly.
#include "gdi/PixelBuffer.h"

#include <cstring>

namespace plat::detail::gdi {
namespace {

struct Channel {
  int shift;
  int bits;
};

Channel ChannelOf(uint32_t mask) {
  if (mask == 0) return {0, 0};
  int shift = __builtin_ctz(mask);
  int bits = __builtin_popcount(mask >> shift);
  if (bits > 8) {  // only the top 8 bits of a wide channel carry colour
    shift += bits - 8;
    bits = 8;
  }
  return {shift, bits};
}

uint32_t Pack(uint32_t c8, Channel ch) {
  if (ch.bits == 0) return 0;
  return (c8 >> (8 - ch.bits)) << ch.shift;
}

uint32_t Unpack(uint32_t v, Channel ch) {
  if (ch.bits == 0) return 0;
  uint32_t c = (v >> ch.shift) & ((1u << ch.bits) - 1);
  // Bit replication: the top bits repeat into the low ones, so full scale stays 255.
  uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += ch.bits) out = (out << ch.bits) | c;
  const int total = ((8 + ch.bits - 1) / ch.bits) * ch.bits;
  return (out >> (total - 8)) & 0xFF;
}

}  // namespace

int64_t DibStride(int64_t width, int bpp) {
  if (width < 0) return -1;
  const int64_t stride = ((width * bpp + 31) / 32) * 4;
  return stride > 0x7FFFFFFF ? -1 : stride;
}

void SetFormat(PixelBuffer& buf, int32_t width, int32_t height, int bpp, const uint32_t* masks) {
  buf.width = width;
  buf.height = height;
  buf.bpp = bpp;
  buf.stride = static_cast<int32_t>(DibStride(width, bpp));
  buf.topDown = true;
  const uint32_t* m = masks ? masks : (bpp == 16 ? kMask555 : kMask888);
  for (int i = 0; i < 3; ++i) buf.masks[i] = (bpp == 16 || bpp == 32) ? m[i] : (bpp == 24 ? kMask888[i] : 0);
  if (bpp == 1 && buf.palette.empty()) buf.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
}

bool SameFormat(const PixelBuffer& a, const PixelBuffer& b) {
  if (a.bpp != b.bpp) return false;
  if (a.bpp == 16 || a.bpp == 32) {
    return a.masks[0] == b.masks[0] && a.masks[1] == b.masks[1] && a.masks[2] == b.masks[2];
  }
  if (a.bpp <= 8) {
    return a.palette.size() == b.palette.size() &&
           (a.palette.empty() || std::memcmp(a.palette.data(), b.palette.data(), a.palette.size() * 4) == 0);
  }
  return true;
}

uint32_t NearestIndex(const std::vector<RGBQUAD>& palette, COLORREF color) {
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  uint32_t best = 0;
  int bestDistance = 1 << 30;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int dr = palette[i].rgbRed - r, dg = palette[i].rgbGreen - g, db = palette[i].rgbBlue - b;
    const int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<uint32_t>(i);
      if (d == 0) break;
    }
  }
  return best;
}

uint32_t ColorToDevice(const PixelBuffer& buf, COLORREF color) {
  if (buf.bpp <= 8) return NearestIndex(buf.palette, color);
  const uint32_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  if (buf.bpp == 24) return (r << 16) | (g << 8) | b;
  return Pack(r, ChannelOf(buf.masks[0])) | Pack(g, ChannelOf(buf.masks[1])) | Pack(b, ChannelOf(buf.masks[2]));
}

COLORREF DeviceToColor(const PixelBuffer& buf, uint32_t value) {
  if (buf.bpp <= 8) {
    if (value >= buf.palette.size()) return 0;
    const RGBQUAD& q = buf.palette[value];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
  }
  if (buf.bpp == 24) return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  return RGB(static_cast<BYTE>(Unpack(value, ChannelOf(buf.masks[0]))),
             static_cast<BYTE>(Unpack(value, ChannelOf(buf.masks[1]))),
             static_cast<BYTE>(Unpack(value, ChannelOf(buf.masks[2]))));
}

uint32_t ValueMask(const PixelBuffer& buf) {
  if (buf.bpp == 16 || buf.bpp == 32) return buf.masks[0] | buf.masks[1] | buf.masks[2];
  return (1u << buf.bpp) - 1;
}

uint32_t ReadPixel(const PixelBuffer& buf, int32_t x, int32_t y) {
  const uint8_t* row = buf.Row(y);
  switch (buf.bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    case 8: return row[x];
    case 16: return static_cast<uint32_t>(row[2 * x] | (row[2 * x + 1] << 8));
    case 24: return static_cast<uint32_t>(row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16));
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * static_cast<ptrdiff_t>(x), 4);
      return v;
    }
  }
}

void WritePixel(const PixelBuffer& buf, int32_t x, int32_t y, uint32_t v) {
  uint8_t* row = buf.Row(y);
  switch (buf.bpp) {
    case 1: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = (v & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0) | (v & 0x0F)) : static_cast<uint8_t>((b & 0x0F) | ((v & 0x0F) << 4));
      break;
    }
    case 8: row[x] = static_cast<uint8_t>(v); break;
    case 16:
      row[2 * x] = static_cast<uint8_t>(v);
      row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
      break;
    case 24:
      row[3 * x] = static_cast<uint8_t>(v);
      row[3 * x + 1] = static_cast<uint8_t>(v >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(v >> 16);
      break;
    default: std::memcpy(row + 4 * static_cast<ptrdiff_t>(x), &v, 4); break;
  }
}

void ReadRow(const PixelBuffer& buf, int32_t x, int32_t y, int32_t n, uint32_t* out) {
  const uint8_t* row = buf.Row(y);
  switch (buf.bpp) {
    case 32: std::memcpy(out, row + 4 * static_cast<ptrdiff_t>(x), 4 * static_cast<size_t>(n)); return;
    case 16: {
      const uint8_t* p = row + 2 * static_cast<ptrdiff_t>(x);
      for (int32_t i = 0; i < n; ++i) out[i] = static_cast<uint32_t>(p[2 * i] | (p[2 * i + 1] << 8));
      return;
    }
    case 24: {
      // A bitmap file's usual format: a call per pixel made loading one a sizeable part
      // of a room entry's time.
      const uint8_t* p = row + 3 * static_cast<ptrdiff_t>(x);
      for (int32_t i = 0; i < n; ++i)
        out[i] = static_cast<uint32_t>(p[3 * i] | (p[3 * i + 1] << 8) | (p[3 * i + 2] << 16));
      return;
    }
    case 8:
      for (int32_t i = 0; i < n; ++i) out[i] = row[x + i];
      return;
    default:
      for (int32_t i = 0; i < n; ++i) out[i] = ReadPixel(buf, x + i, y);
  }
}

void WriteRow(const PixelBuffer& buf, int32_t x, int32_t y, int32_t n, const uint32_t* in) {
  uint8_t* row = buf.Row(y);
  switch (buf.bpp) {
    case 32: std::memcpy(row + 4 * static_cast<ptrdiff_t>(x), in, 4 * static_cast<size_t>(n)); return;
    case 16: {
      uint8_t* p = row + 2 * static_cast<ptrdiff_t>(x);
      for (int32_t i = 0; i < n; ++i) {
        p[2 * i] = static_cast<uint8_t>(in[i]);
        p[2 * i + 1] = static_cast<uint8_t>(in[i] >> 8);
      }
      return;
    }
    case 8:
      for (int32_t i = 0; i < n; ++i) row[x + i] = static_cast<uint8_t>(in[i]);
      return;
    default:
      for (int32_t i = 0; i < n; ++i) WritePixel(buf, x + i, y, in[i]);
  }
}

void ConvertValues(const PixelBuffer& from, const PixelBuffer& to, uint32_t* values, int32_t n) {
  if (n <= 0 || SameFormat(from, to)) return;
  // A 24-bit value is already the 32-bit one of the 8-8-8 layout (a bitmap file loaded
  // for the display): converting it pixel by pixel gave the same values, slowly.
  if (from.bpp == 24 && to.bpp == 32 && to.masks[0] == kMask888[0] && to.masks[1] == kMask888[1] &&
      to.masks[2] == kMask888[2])
    return;
  // Indexed sources repeat few values: remember the last conversion.
  uint32_t lastIn = ~values[0], lastOut = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (values[i] != lastIn) {
      lastIn = values[i];
      lastOut = ColorToDevice(to, DeviceToColor(from, values[i]));
    }
    values[i] = lastOut;
  }
}

}  // namespace plat::detail::gdi

namespace plat::detail::gdi {

void CopyRow(const PixelBuffer& src, int32_t sy, const PixelBuffer& dst, int32_t dy, int32_t n) {
  if (n <= 0) return;
  std::vector<uint32_t> row(static_cast<size_t>(n));
  ReadRow(src, 0, sy, n, row.data());
  ConvertValues(src, dst, row.data(), n);
  WriteRow(dst, 0, dy, n, row.data());
}

void CopyScaled(const PixelBuffer& src, const PixelBuffer& dst) {
  if (src.width == dst.width && src.height == dst.height) {
    for (int32_t y = 0; y < dst.height; ++y) CopyRow(src, y, dst, y, dst.width);
    return;
  }
  std::vector<uint32_t> row(static_cast<size_t>(dst.width));
  for (int32_t y = 0; y < dst.height; ++y) {
    const int32_t sy = static_cast<int32_t>(static_cast<int64_t>(y) * src.height / dst.height);
    for (int32_t x = 0; x < dst.width; ++x)
      row[static_cast<size_t>(x)] = ReadPixel(src, static_cast<int32_t>(static_cast<int64_t>(x) * src.width / dst.width), sy);
    ConvertValues(src, dst, row.data(), dst.width);
    WriteRow(dst, 0, y, dst.width, row.data());
  }
}

}  // namespace plat::detail::gdi
