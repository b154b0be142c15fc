// Fuzz target: the sprite library's GIF decoder from bytes, with device-dependent
// bitmaps and with DIB sections: every frame sought, ticked and drawn into a 32-bit
// DIB section; then the same bytes as a sprite set. No GDI object may outlive a pass.
#include <cstdint>
#include <span>

#include "graphics/KKGIF.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_GdiScope.h"
#include "graphics/K_Sprite.h"
#include "plat/sim_gdi.h"

namespace {

void DrawEveryFrame(const uint8_t* data, size_t size, HDC dc) {
  KKGIF gif;
  if (!gif.LoadMemory(data, size)) return;
  const int32_t frames = gif.GetFrameCount();
  for (int32_t i = frames - 1; i >= -1; --i) {
    gif.SeekFrame(i, i % 2 ? dc : nullptr);
    gif.Tick(true);
    gif.Tick(false);
    gif.Draw(dc, -3, 2);
    gif.DrawClipped(dc, RECT{1, 1, 20, 20}, 4, -5);
    gif.DrawFrame(dc, 5, 5, i);
    gif.GetFrameDelay(i);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
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
  // Large logical screens make large images; the set path is tried on modest ones.
  if (size >= 10 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) <= 512 * 512) {
    K_Sprite set;
    set.LoadGifFromBytes(std::span<const uint8_t>(data, size), 0);
    if (set.Delays().size() != size_t(set.GetFrameCount())) __builtin_trap();
  }
  if (plat::sim::LiveGdiObjects() != live) __builtin_trap();
  return 0;
}
