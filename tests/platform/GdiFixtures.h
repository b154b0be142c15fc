#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "plat/gdi.h"

namespace gdi_test {

struct BmpLayout {
  int32_t width = 1;
  int32_t height = 1;  // negative: top-down
  uint16_t bpp = 24;
  uint32_t compression = BI_RGB;
  uint32_t headerSize = 40;
  std::vector<RGBQUAD> palette;
  uint32_t masks[3] = {};
  std::vector<uint8_t> pixels;  // rows as stored, padded to 4 bytes
};

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

inline uint32_t Stride(int32_t width, int bpp) { return static_cast<uint32_t>(((width * bpp + 31) / 32) * 4); }

inline std::vector<uint8_t> WriteBmp(const BmpLayout& s) {
  const uint32_t masksBytes = s.compression == BI_BITFIELDS && s.headerSize == 40 ? 12 : 0;
  const uint32_t offBits = 14 + s.headerSize + masksBytes + static_cast<uint32_t>(s.palette.size()) * 4;
  const auto size = static_cast<uint32_t>(s.pixels.size());
  std::vector<uint8_t> out{'B', 'M'};
  for (uint32_t v : {offBits + size, 0u, offBits, s.headerSize, static_cast<uint32_t>(s.width),
                     static_cast<uint32_t>(s.height), 1u | uint32_t{s.bpp} << 16, s.compression, size, 2835u, 2835u,
                     static_cast<uint32_t>(s.palette.size()), 0u})
    Put32(out, v);  // planes and depth are two 16-bit fields, little-endian in one word
  for (uint32_t i = 40; i < s.headerSize; i += 4) Put32(out, i - 40 < 12 ? s.masks[(i - 40) / 4] : 0);
  if (masksBytes)
    for (uint32_t m : s.masks) Put32(out, m);
  for (const RGBQUAD& q : s.palette) out.insert(out.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, 0});
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

// A 2x2 picture: top row red then green, bottom row blue then white (one bit holds only
// red and green, so its bottom row repeats the top).
inline BmpLayout TwoByTwo(uint16_t bpp, bool topDown = false) {
  BmpLayout s;
  s.width = 2;
  s.height = topDown ? -2 : 2;
  s.bpp = bpp;
  const uint32_t stride = Stride(2, bpp);
  s.pixels.assign(2 * stride, 0);
  auto row = [&](int picRow) { return s.pixels.data() + (topDown ? picRow : 1 - picRow) * stride; };
  switch (bpp) {
    case 1:
    case 4:
    case 8:
      s.palette = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
      if (bpp == 1) {
        s.palette.resize(2);
        row(0)[0] = row(1)[0] = 0x40;
      } else if (bpp == 4) {
        row(0)[0] = 0x01, row(1)[0] = 0x23;
      } else {
        row(0)[0] = 0, row(0)[1] = 1, row(1)[0] = 2, row(1)[1] = 3;
      }
      break;
    case 16: {
      const uint16_t v[4] = {0x7C00, 0x03E0, 0x001F, 0x7FFF};
      std::memcpy(row(0), v, 4);
      std::memcpy(row(1), v + 2, 4);
      break;
    }
    default: {
      const uint8_t c[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
      for (int i = 0; i < 4; ++i) std::memcpy(row(i / 2) + (i % 2) * (bpp / 8), c[i], 3);
    }
  }
  return s;
}

inline COLORREF PixelOf(HBITMAP bm, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bm);
  const COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return c;
}

// A scratch folder for the test's files, removed at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::string dir = (std::filesystem::temp_directory_path() / "dorvik-gdi-XXXXXX").string();
    if (mkdtemp(dir.data())) path_ = dir;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    const std::string p = path_ + "/" + name;
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
    return p;
  }

 private:
  std::string path_;
};

// A DIB section of `bpp` bits (16: 5-5-5 unless masks are given) selected into a fresh
// memory DC; both are released at the end.
class DibCanvas {
 public:
  DibCanvas(int32_t width, int32_t height, int bpp, const uint32_t* masks = nullptr, bool topDown = true) {
    struct {
      BITMAPINFOHEADER h;
      uint32_t extra[256];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = width;
    info.h.biHeight = topDown ? -height : height;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bpp);
    info.h.biCompression = masks ? BI_BITFIELDS : BI_RGB;
    if (masks) std::memcpy(info.extra, masks, 12);
    if (bpp <= 8) {
      // Grey ramp palette.
      for (uint32_t i = 0; i < (1u << bpp); ++i) {
        const uint32_t v = i * 255 / ((1u << bpp) - 1);
        info.extra[i] = v | (v << 8) | (v << 16);
      }
    }
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint8_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
    stride_ = Stride(width, bpp);
    height_ = height;
    topDown_ = topDown;
    bpp_ = bpp;
  }
  ~DibCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  uint8_t* bits() const { return bits_; }
  // Raw device value at (x, y) in picture coordinates.
  uint32_t Raw(int32_t x, int32_t y) const {
    const uint8_t* row = bits_ + static_cast<size_t>(topDown_ ? y : height_ - 1 - y) * stride_;
    switch (bpp_) {
      case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
      case 8: return row[x];
      case 16: return static_cast<uint32_t>(row[2 * x] | (row[2 * x + 1] << 8));
      case 24: return static_cast<uint32_t>(row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16));
      default: {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v;
      }
    }
  }
  void Fill(COLORREF c) const {
    HBRUSH b = CreateSolidBrush(c);
    RECT r{0, 0, 1 << 20, 1 << 20};
    FillRect(dc_, &r, b);
    DeleteObject(b);
  }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint8_t* bits_ = nullptr;
  uint32_t stride_ = 0;
  int32_t height_ = 0;
  bool topDown_ = true;
  int bpp_ = 32;
};

constexpr uint32_t kMasks565[3] = {0xF800, 0x07E0, 0x001F};

}  // namespace gdi_test
