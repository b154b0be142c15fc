// Shared pieces of the widget tests: a DirectDraw object on a chosen desktop format,
// off-screen surfaces and their raw pixels, device pixel values of colours per format,
// and a BMP writer that builds the files the loader reads.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "plat/ddraw.h"
#include "plat/sim.h"
#include "plat/sim_display.h"
#include "base/DDSurfaceUtil.h"
#include "base/GGeometry.h"

inline std::ostream& operator<<(std::ostream& os, const GRect& r) {
  return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace widget_test {

using plat::sim::DisplayFormat;

inline DDObject MakeDirectDraw() {
  DDObject dd;
  if (FAILED(CreateDirectDraw4(dd))) return {};
  if (FAILED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) return {};
  return dd;
}

inline DDSurface MakeSurface(const DDObject& dd, int32_t w, int32_t h) {
  DDSurface s;
  EXPECT_EQ(CreateOffscreenSurface(dd, s, GSize(w, h)), S_OK);
  return s;
}

// A colour as a raw pixel of the desktop format (channels truncated).
inline uint32_t DevicePixel(DisplayFormat f, uint8_t r, uint8_t g, uint8_t b) {
  switch (f) {
    case DisplayFormat::Rgb565: return static_cast<uint32_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
    case DisplayFormat::Rgb555: return static_cast<uint32_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
    default: return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
  }
}

inline const char* FormatName(DisplayFormat f) {
  switch (f) {
    case DisplayFormat::Rgb565: return "565";
    case DisplayFormat::Rgb555: return "555";
    case DisplayFormat::Xrgb8888: return "32";
    case DisplayFormat::Rgb888: return "24";
    case DisplayFormat::Palette8: return "8";
  }
  return "?";
}

// The desktop formats the game draws in, named for parameterised suites.
inline auto DesktopFormats() {
  return testing::Values(DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888);
}
inline std::string FormatParam(const testing::TestParamInfo<DisplayFormat>& info) {
  return std::string("f") + FormatName(info.param);
}

// Raw pixel values, row by row, read through the pitch.
inline std::vector<uint32_t> ReadPixels(const DDSurface& s) {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  std::vector<uint32_t> out;
  if (FAILED(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr))) return out;
  const int bytes = static_cast<int>(d.ddpfPixelFormat.dwRGBBitCount + 7) / 8;
  for (DWORD y = 0; y < d.dwHeight; ++y)
    for (DWORD x = 0; x < d.dwWidth; ++x) {
      uint32_t v = 0;
      std::memcpy(&v, static_cast<uint8_t*>(d.lpSurface) + y * d.lPitch + x * bytes, static_cast<size_t>(bytes));
      out.push_back(v);
    }
  s->Unlock(nullptr);
  return out;
}

inline uint32_t PixelAt(const DDSurface& s, int32_t x, int32_t y) {
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  s->GetSurfaceDesc(&d);
  return ReadPixels(s).at(static_cast<size_t>(y) * d.dwWidth + static_cast<size_t>(x));
}

// A fresh display of the given desktop format around every test.
class DisplayTest : public testing::Test {
 protected:
  void UseDesktop(DisplayFormat f) {
    plat::sim::ResetDisplay(f);
    dd_ = MakeDirectDraw();
    ASSERT_TRUE(dd_);
  }
  void SetUp() override {
    plat::sim::ClearFaults();
    UseDesktop(DisplayFormat::Xrgb8888);
  }
  void TearDown() override {
    dd_ = nullptr;
    plat::sim::ClearFaults();
    plat::sim::ResetDisplay();
  }
  DDObject dd_;
};

// BMP files built field by field. Rows are given top row first, as pixel values of
// the file's depth (palette indices up to 8 bits, 5-5-5 words at 16, 0xRRGGBB above).
struct BmpPicture {
  BmpPicture() = default;
  BmpPicture(int32_t w, int32_t h, uint16_t b, std::vector<uint32_t> px = {}, std::vector<uint32_t> table = {})
      : width(w), height(h), bits(b), palette(std::move(table)), pixels(std::move(px)) {}
  int32_t width = 1;
  int32_t height = 1;  // negative: rows stored top-down
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t infoSize = 40;
  std::vector<uint32_t> palette;  // 0xRRGGBB
  std::vector<uint32_t> pixels;   // width x |height|, top row first
};

std::vector<uint8_t> WriteBmp(const BmpPicture& pic);
// Row length of a file row: bits x width rounded up to whole 4-byte words.
inline uint32_t BmpRowLength(uint32_t bits, uint32_t width) { return ((bits * width + 7) / 8 + 3) & ~3u; }

}  // namespace widget_test
