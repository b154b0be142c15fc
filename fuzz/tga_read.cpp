// Fuzz target: the TGA image reader, and what an accepted image goes through next
// (sprites from its alpha, blur, depth conversion, BMP save and reload).
#include <cstdint>
#include <span>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib_Image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int32_t made = CreateFXManager(32);
  (void)made;
  K_Dib_Image img;
  if (!img.LoadTGAFromBytes(std::span<const uint8_t>(data, size))) return 0;
  if (img.BytesPerPixel() != 4 || img.Width() < 1 || img.Height() < 1) __builtin_trap();
  for (int32_t threshold : {-1, 0, 16}) {
    KK_LLESprite s;
    if (!s.CreateFromAlpha(img.Width(), -img.Height(), img.Pitch(), img.GetBits(), threshold)) __builtin_trap();
    KK_LLESprite again;
    if (!again.LoadFromBytes(s.SaveToBytes(), 0, 0)) __builtin_trap();
  }
  KK_LLESprite s16;
  s16.CreateFromAlpha(img.Width(), -img.Height(), img.Pitch(), img.GetBits(), -1, 16);
  img.Blur(img, 3, {0, 0, img.Width(), img.Height()});
  K_Dib_Image back;
  if (!back.LoadBMP(img.SaveBMPToBytes(), 32)) __builtin_trap();
  img.ConvertDepth(16);
  return 0;
}
