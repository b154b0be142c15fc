// Fuzz target: the layered pictures' companion reader and the entry's frames on a
// 5-6-5 display; a companion that reads must make one frame per layer of its size.
#include <cstdint>
#include <span>

#include "FuzzDirectDraw.h"
#include "graphics/PsdSidecar.h"
#include "graphics/XPsdEntry.h"
#include "base/DDSurfacePixel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PsdLayerSet layers;
  if (!ReadPsdSidecar(std::span<const uint8_t>(data, size), layers)) {
    if (layers.Count() != 0 || !layers.pixels.empty() || !layers.names.empty()) __builtin_trap();
    return 0;
  }
  const size_t n = layers.Count();
  if (layers.pixels.size() != n || layers.offsets.size() != n || layers.durations.size() != n ||
      layers.names.size() != n)
    __builtin_trap();
  XPsdEntry entry;
  const HRESULT hr = entry.LoadLayers(DirectDraw565(), 0xF81F, layers);
  const size_t made = entry.frames.size();
  if ((hr == S_OK) != (made == n) || entry.frameAlpha.size() != made || entry.frameSizes.size() != made ||
      entry.frameOffsets.size() != made || entry.durations.size() != made || entry.names.size() != made)
    __builtin_trap();
  for (size_t i = 0; i < made; ++i) {
    if (GetSurfaceSize(entry.frames[i]) != layers.sizes[i]) __builtin_trap();
    if (entry.frameAlpha[i].size() * 4 != layers.pixels[i].size()) __builtin_trap();
  }
  return 0;
}
