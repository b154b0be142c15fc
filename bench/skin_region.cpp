// The skinned popup's shape cut from its bitmap, against a plain key test over the same
// pixels: the popup's own background from the synthetic data and an 800 x 600 bitmap
// whose every other pixel is the key (240,000 one-pixel rectangles). The ratio of each
// pair is what to watch.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "panels/SkinnedPopup.h"
#include "plat/gdi.h"
#include "plat/sim.h"

namespace {

constexpr int32_t kW = 800, kH = 600;
constexpr uint32_t kKeyPixel = 0x00FF00FF, kFacePixel = 0x00FFFFFF;
constexpr char kBackground[] = "D:\\game\\GameImage\\VIP\\bg_gamehelp.bmp";

HBITMAP Checkerboard() {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kW, -kH, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) pixels[y * kW + x] = (x + y) % 2 ? kKeyPixel : kFacePixel;
  return bitmap;
}

HBITMAP Background() {
  plat::sim::MapPathPrefix("D:\\game\\GameImage\\", DORVIK_GAME_DATA_DIR "GameImage/");
  return static_cast<HBITMAP>(LoadImageA(nullptr, kBackground, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

// The bitmap's pixels as 32-bit top-down rows, read once.
std::vector<uint32_t> Pixels(HBITMAP bitmap, int32_t* width) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof(info), &info);
  BITMAPINFO want{};
  want.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> out(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
  HDC dc = CreateCompatibleDC(nullptr);
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), out.data(), &want, DIB_RGB_COLORS);
  DeleteDC(dc);
  *width = info.bmWidth;
  return out;
}

// The reference: every pixel tested against the key range, runs counted.
void KeyPass(benchmark::State& state, HBITMAP (*make)()) {
  HBITMAP bitmap = make();
  int32_t width = 0;
  const std::vector<uint32_t> pixels = Pixels(bitmap, &width);
  for (auto _ : state) {
    int64_t runs = 0;
    for (size_t row = 0; width > 0 && row < pixels.size(); row += static_cast<size_t>(width)) {
      bool inRun = false;
      for (size_t i = row; i < row + static_cast<size_t>(width); ++i) {
        const uint32_t p = pixels[i];
        const bool cut = (p & 0xFF) == 0xFF && ((p >> 8) & 0xFF) <= 0x10 && ((p >> 16) & 0xFF) == 0xFF;
        runs += !cut && !inRun;
        inRun = !cut;
      }
    }
    benchmark::DoNotOptimize(runs);
  }
  DeleteObject(bitmap);
}

void Region(benchmark::State& state, HBITMAP (*make)()) {
  HBITMAP bitmap = make();
  for (auto _ : state) {
    HRGN shape = skinned_popup::CreateRegionFromBitmap(bitmap, skinned_popup::kColourKey, skinned_popup::kShapeTolerance);
    benchmark::DoNotOptimize(shape);
    DeleteObject(shape);
  }
  DeleteObject(bitmap);
}

BENCHMARK_CAPTURE(KeyPass, Background, &Background);
BENCHMARK_CAPTURE(Region, Background, &Background);
BENCHMARK_CAPTURE(KeyPass, Checkerboard, &Checkerboard);
BENCHMARK_CAPTURE(Region, Checkerboard, &Checkerboard);

}  // namespace
