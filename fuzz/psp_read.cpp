// Fuzz target: sprite sets (.psp) from bytes, then every frame drawn plain, mirrored and
// under effects, clipped at every edge of a small image.
#include <cstdint>
#include <span>

#include "graphics/KK_FXMan.h"
#include "graphics/K_Dib.h"
#include "graphics/K_Sprite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int32_t made = CreateFXManager(16);
  (void)made;
  K_Sprite set;
  size_t used = 0;
  set.LoadFromBytes(std::span<const uint8_t>(data, size), 1, &used);
  if (used > size) __builtin_trap();
  K_Dib image;
  image.Create(23, 17, 16);
  image.SetClipRect(2, 1, 20, 15);
  for (int32_t i = 0; i <= set.GetFrameCount(); ++i) {
    const KK_LLESprite& s = *set.GetFrame(i);
    for (uint32_t flags : {0u, 0x10000u, 0x20000u, 0x30001u, 0x40000u, 0x80096u})
      for (int32_t at : {-40, 0, 11, 22, 300}) image.DrawSprite(at, at / 2 + 3, s, flags, 12, 0x336699);
  }
  return 0;
}
