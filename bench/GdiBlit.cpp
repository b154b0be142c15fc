// Blits and region building against memcpy of the same bytes: the ratio is what to
// watch when the blit engine changes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "plat/gdi.h"

namespace {

constexpr int kW = 800, kH = 600;

struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  Canvas(int bpp, bool rgb565) {
    struct {
      BITMAPINFOHEADER h;
      DWORD masks[3];
    } info{};
    info.h = {40, kW, -kH, 1, static_cast<WORD>(bpp), rgb565 ? BI_BITFIELDS : BI_RGB, 0, 0, 0, 0, 0};
    info.masks[0] = 0xF800, info.masks[1] = 0x07E0, info.masks[2] = 0x001F;
    void* bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bitmap);
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
};

void Memcpy32(benchmark::State& state) {
  std::vector<uint32_t> a(kW * kH), b(kW * kH);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), a.size() * 4);
    benchmark::DoNotOptimize(b.data());
  }
}
BENCHMARK(Memcpy32);

void Blit(benchmark::State& state, int srcBpp, int dstBpp, DWORD rop) {
  Canvas src(srcBpp, srcBpp == 16), dst(dstBpp, dstBpp == 16);
  for (auto _ : state) BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, rop);
}
BENCHMARK_CAPTURE(Blit, Copy32To32, 32, 32, SRCCOPY);
BENCHMARK_CAPTURE(Blit, Copy32To16, 32, 16, SRCCOPY);
BENCHMARK_CAPTURE(Blit, And16To16, 16, 16, SRCAND);

void Transparent16(benchmark::State& state) {
  Canvas src(16, true), dst(16, true);
  for (auto _ : state) TransparentBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, kW, kH, RGB(255, 0, 255));
}
BENCHMARK(Transparent16);

void RegionOfRows(benchmark::State& state) {
  std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + 5000 * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(block.data());
  data->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, 5000, 0, {}};
  auto* rects = reinterpret_cast<RECT*>(block.data() + sizeof(RGNDATAHEADER));
  for (int y = 0; y < 5000; ++y) rects[y] = RECT{(y * 7) % 13, y, 200 - (y * 5) % 11, y + 1};
  for (auto _ : state) {
    HRGN r = ExtCreateRegion(nullptr, static_cast<DWORD>(block.size()), data);
    benchmark::DoNotOptimize(PtInRegion(r, 5, 2500));
    DeleteObject(r);
  }
}
BENCHMARK(RegionOfRows);

}  // namespace
