// Fuzz target: the sprite library's GIF decoder from bytes, with device-dependent
// bitmaps and with DIB sections: every frame sought, ticked and drawn into a 32-bit
// DIB section; then the same bytes as a sprite set. No GDI object may outlive a pass.
#include <algorithm>
#include <cstdint>
#include <span>

#include "graphics/KKGIF.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_GdiScope.h"
#include "graphics/K_Sprite.h"
#include "plat/sim_gdi.h"

namespace {

// Seeking back replays every frame from the first, so the frames are sought in order
// (each seek renders one more) and the replay is tried once, back to the first. Every
// step draws in four ways, so past the first frames only the last one is stepped.
constexpr int32_t kSteppedFrames = 24;

void DrawEveryFrame(const uint8_t* data, size_t size, HDC dc) {
  KKGIF gif;
  if (!gif.LoadMemory(data, size)) return;
  const int32_t frames = gif.GetFrameCount();
  const int32_t stepped = std::min(frames, kSteppedFrames);
  for (int32_t i = 0; i <= stepped + 2; ++i) {
    const int32_t frame = i < stepped ? i : i == stepped ? frames - 1 : i == stepped + 1 ? 0 : -1;
    gif.SeekFrame(frame, frame % 2 ? dc : nullptr);
    gif.Tick(true);
    gif.Tick(false);
    gif.Draw(dc, -3, 2);
    gif.DrawClipped(dc, RECT{1, 1, 20, 20}, 4, -5);
    gif.DrawFrame(dc, 5, 5, frame);
    gif.GetFrameDelay(frame);
  }
}

}  // namespace

// An animated file composes on a canvas of its logical screen, and a sprite set encodes
// a whole screen for every frame, by design; the decoder's own cap (16 M pixels) is
// covered by the unit tests. Here screens stay small, and smaller for the set, so that
// the fuzzer spends its time on blocks and codes rather than on filling pixels.
constexpr uint32_t kMaxFuzzScreenPixels = 256 * 256;
constexpr uint32_t kMaxFuzzSetScreenPixels = 64 * 64;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint32_t screen = size >= 10 ? uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) : 0;
  if (screen > kMaxFuzzScreenPixels) return 0;
  static const int32_t made = [] {
    KK_MemoryDC warm;  // the process's first DC makes the stock objects
    KK_WindowDC screen;
    return CreateFXManager(16);
  }();
  (void)made;
  const size_t live = plat::sim::LiveGdiObjects();
  {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 37, 29, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    KK_GdiObject<HBITMAP> target(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    KK_MemoryDC dc;
    dc.Select(target.Get());
    for (bool dibSections : {false, true}) {
      KKGIF::SetDibSectionMode(dibSections);
      DrawEveryFrame(data, size, dc.Get());
    }
  }
  if (screen <= kMaxFuzzSetScreenPixels) {
    K_Sprite set;
    set.LoadGifFromBytes(std::span<const uint8_t>(data, size), 0);
    if (set.Delays().size() != size_t(set.GetFrameCount())) __builtin_trap();
  }
  if (plat::sim::LiveGdiObjects() != live) __builtin_trap();
  return 0;
}
