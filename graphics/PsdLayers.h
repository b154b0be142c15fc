// Layered pictures drawn as PSD files: the reader that takes each layer's pixels,
// rectangle relative to the guides and name (whose digits give the layer's display
// time) out of the big-endian file, and the layer set it fills.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/GGeometry.h"

// The layers of one picture. Pixels are blue, green, red, alpha bytes, rows top first;
// all five arrays have one element per layer.
struct PsdLayerSet {
  std::vector<std::vector<uint8_t>> pixels;
  std::vector<GSize> sizes;
  std::vector<GPoint> offsets;     // from the picture's anchor, the crossing of the guides
  std::vector<uint32_t> durations;  // milliseconds
  std::vector<std::string> names;

  size_t Count() const { return sizes.size(); }
  void Clear() { *this = PsdLayerSet(); }
};

// Caps that keep a damaged file from asking for unbounded memory: one layer, and all
// the layers of a picture together.
constexpr int64_t kMaxPsdLayerPixels = int64_t{4096} * 4096;
constexpr int64_t kMaxPsdTotalPixels = int64_t{32} * 1024 * 1024;

// A name of digits and dots is seconds, read in decimal up to a second dot ("0.3" is
// 300, "1.2.3" is 1200); any other name 200; an empty one 0.
uint32_t PsdLayerDuration(std::string_view name);

// False (with `out` empty) for a file without the PSD signature or with any field
// reaching outside the file; layers without alpha are opaque, missing colours 0.
bool ParsePsdLayers(std::span<const uint8_t> bytes, PsdLayerSet& out);
bool ParsePsdLayers(const std::string& fileName, PsdLayerSet& out);
