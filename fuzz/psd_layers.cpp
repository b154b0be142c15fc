// Fuzz target: the PSD layer reader; what it reads must survive the companion file's
// packing and reading unchanged.
#include <cstdint>
#include <span>

#include "graphics/PsdLayers.h"
#include "graphics/PsdSidecar.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PsdLayerSet layers;
  if (!ParsePsdLayers(std::span<const uint8_t>(data, size), layers)) {
    if (layers.Count() != 0 || !layers.pixels.empty()) __builtin_trap();
    return 0;
  }
  const size_t n = layers.Count();
  if (layers.pixels.size() != n || layers.offsets.size() != n || layers.durations.size() != n ||
      layers.names.size() != n)
    __builtin_trap();
  for (size_t i = 0; i < n; ++i) {
    const GSize s = layers.sizes[i];
    if (s.cx < 0 || s.cy < 0 || layers.pixels[i].size() != size_t(s.cx) * size_t(s.cy) * 4) __builtin_trap();
    if (layers.names[i].size() > 255) __builtin_trap();
  }
  PsdLayerSet back;
  if (!ReadPsdSidecar(EncodePsdSidecar(layers, "000000000000000"), back)) __builtin_trap();
  if (back.pixels != layers.pixels || back.sizes != layers.sizes || back.offsets != layers.offsets ||
      back.durations != layers.durations || back.names != layers.names)
    __builtin_trap();
  return 0;
}
