// Fuzz target: the sprite library's GIF decoder from bytes: every frame sought, ticked
// and drawn into a 32-bit image; then the same bytes as a sprite set.
#include <cstdint>
#include <span>

#include "graphics/KKGIF.h"
#include "graphics/KK_FXMan.h"
#include "graphics/K_Dib.h"
#include "graphics/K_Sprite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int32_t made = CreateFXManager(16);
  (void)made;
  KKGIF gif;
  if (gif.LoadMemory(data, size)) {
    K_Dib dc;
    dc.Create(37, 29, 32);
    const int32_t frames = gif.GetFrameCount();
    for (int32_t i = frames - 1; i >= -1; --i) {
      gif.SeekFrame(i);
      gif.Tick(true);
      gif.Tick(false);
      gif.Draw(dc, -3, 2);
      gif.DrawClipped(dc, K_Rect{1, 1, 20, 20}, 4, -5);
      gif.DrawFrame(dc, 5, 5, i);
      gif.GetFrameDelay(i);
    }
  }
  // Large logical screens make large images; the set path is tried on modest ones.
  if (gif.GetWidth() * gif.GetHeight() <= 512 * 512) {
    K_Sprite set;
    set.LoadGifFromBytes(std::span<const uint8_t>(data, size), 0);
    if (set.Delays().size() != size_t(set.GetFrameCount())) __builtin_trap();
  }
  return 0;
}
