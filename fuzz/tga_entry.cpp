// Fuzz target: the resource manager's TGA reader and the entry's conversion onto a
// 5-6-5 surface; an accepted picture must give a surface and plane of its size.
#include <cstdint>
#include <span>

#include "graphics/XTgaEntry.h"
#include "FuzzDirectDraw.h"
#include "base/DDSurfacePixel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TgaImage image = LoadTgaFile(std::span<const uint8_t>(data, size));
  if (image.status != kTgaLoaded) {
    if (!image.pixels.empty()) __builtin_trap();
    return 0;
  }
  if (image.pixels.size() != size_t(image.width) * size_t(image.height) * (image.depth / 8u)) __builtin_trap();
  XTgaEntry entry;
  const HRESULT hr = entry.LoadImage(DirectDraw565(), image);
  const bool convertible = image.type == kTgaTypeTrueColour && (image.depth == 24 || image.depth == 32);
  if ((hr == S_OK) != convertible || bool(entry.surface) != convertible) __builtin_trap();
  if (!convertible) return 0;
  if (GetSurfaceSize(entry.surface) != GSize(image.width, image.height)) __builtin_trap();
  const size_t plane = image.depth == 32 ? size_t(image.width) * size_t(image.height) : 0;
  if (entry.alpha.size() != plane) __builtin_trap();
  return 0;
}
