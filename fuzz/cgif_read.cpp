// Fuzz target: the game's GIF player from bytes on a 5-6-5 display: read, decode every
// image, then step through every frame twice, from the start and from each frame set
// directly. Every frame must have its bitmap, and no GDI object may outlive the player.
#include <cstdint>
#include <span>

#include "graphics/CGif.h"
#include "graphics/KK_GdiScope.h"
#include "plat/sim_display.h"
#include "plat/sim_gdi.h"

namespace {
DDObject& DirectDraw565() {
  static DDObject* dd = [] {
    plat::sim::ResetDisplay(plat::sim::DisplayFormat::Rgb565);
    auto* made = new DDObject;
    if (FAILED(CreateDirectDraw4(*made)) || FAILED((*made)->SetCooperativeLevel(nullptr, DDSCL_NORMAL)))
      __builtin_trap();
    KK_MemoryDC warm;  // the process's first DC makes the stock objects
    return made;
  }();
  return *dd;
}
}  // namespace

// The player keeps a surface of the logical screen and clears it at every step, by
// design; the player's own cap (16 M pixels) is covered by the unit tests. Here screens
// stay small so that the fuzzer spends its time on blocks and codes, not on memset.
constexpr uint32_t kMaxFuzzScreenPixels = 128 * 128;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 10 && uint32_t(data[6] | data[7] << 8) * uint32_t(data[8] | data[9] << 8) > kMaxFuzzScreenPixels)
    return 0;
  DDObject& dd = DirectDraw565();
  const size_t live = plat::sim::LiveGdiObjects();
  {
    CGif gif;
    SIZE screen{};
    const HRESULT hr = gif.LoadFromBytes(std::span<const uint8_t>(data, size), dd, &screen);
    const int32_t frames = gif.GetFrameCount();
    for (const CGif::GifFrame& f : gif.Frames())
      if (!f.bitmap || f.colorKey != 0xF81F) __builtin_trap();
    if (hr == 1) {
      if (frames < 1 || screen.cx != gif.ScreenSize().cx) __builtin_trap();
      const BOOL steps = frames > 1;
      for (int32_t i = 0; i <= frames; ++i)
        if (gif.StepGifFrame() != steps) __builtin_trap();
      for (int32_t i = frames - 1; i >= 0; --i) {
        if (!gif.SetFrame(i)) __builtin_trap();
        gif.StepGifFrame();
        gif.StepGifFrame();
      }
    }
  }
  if (plat::sim::LiveGdiObjects() != live) __builtin_trap();
  return 0;
}
