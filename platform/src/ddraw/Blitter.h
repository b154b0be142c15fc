// The surface blitter: plain, stretched and colour-keyed copies and fills over raw
// pixel memory. The reference versions are slow and obvious on purpose: tests hold
// the fast paths to them over seeded sweeps.
#pragma once

#include <cstdint>

#include "plat/types.h"

namespace plat::detail::ddraw {

struct PixelView {
  uint8_t* bits = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;  // bytes from one row to the next; rows start 4-byte aligned
  int bytes = 0;  // per pixel: 1, 2, 3 or 4
  uint8_t* Row(int y) const { return bits + static_cast<ptrdiff_t>(y) * pitch; }
};

struct ColourKey {
  bool active = false;
  uint32_t low = 0, high = 0;
  uint32_t mask = 0;  // the bits compared
  // A source pixel in [low, high] (compared through the mask, which keeps the low
  // bits) is not drawn.
  bool Hides(uint32_t pixel) const { return active && ((pixel - low) & mask) <= ((high - low) & mask); }
};

// One blit. The destination rectangle is the whole target of the mapping; only its
// part inside `clip` is written. Source pixel of destination (x, y):
//   sx = src.left + (x - dst.left) * srcWidth / dstWidth  (likewise for y),
// so a clipped stretch shows the same pixels as the unclipped one would there.
struct BlitOp {
  PixelView dst;
  RECT dstRect{};
  RECT clip{};
  PixelView src;
  RECT srcRect{};
  ColourKey key;
};

void Blit(const BlitOp& op);
void ReferenceBlit(const BlitOp& op);
// Writes the raw value (its low `bytes` bytes) to every pixel of `r`.
void Fill(const PixelView& dst, const RECT& r, uint32_t value);
void ReferenceFill(const PixelView& dst, const RECT& r, uint32_t value);

}  // namespace plat::detail::ddraw
