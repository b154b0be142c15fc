// Fuzz target: the BMP reader in every format code; an accepted image must save and
// read back to the same pixels and encode as a sprite.
#include <cstdint>
#include <span>

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib_Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int32_t code : {16, 17, 24, 32}) {
    K_Dib_Image img;
    if (!img.LoadBMP(std::span<const uint8_t>(data, size), code)) continue;
    K_Dib_Image back;
    if (!back.LoadBMP(img.SaveBMPToBytes(), code)) __builtin_trap();
    for (int32_t y = 0; y < img.Height(); ++y)
      for (int32_t x = 0; x < img.Width(); ++x)
        if (img.GetPixel(x, y) != back.GetPixel(x, y)) __builtin_trap();
    KK_LLESprite s;
    if (!s.CreateFromDIB(*img.GetBitmapInfo(), img.GetBits(), code, 0xFF00FF)) __builtin_trap();
  }
  return 0;
}
