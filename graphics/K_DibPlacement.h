// Where a sprite lands on an image: the placement rules (anchor, mirroring, clipping)
// shared by the run-walking blitter and the per-pixel reference blitter.
#pragma once

#include <cstdint>

class K_Dib;
class KK_LLESprite;
struct K_Rect;

namespace kk {

struct SpritePlacement {
  // Source area inside the trim box, and the destination rectangle it covers.
  int32_t srcLeft, srcTop, srcRight, srcBottom;
  int32_t dstLeft, dstTop, dstRight, dstBottom;
  bool mirrorX, mirrorY;
};

// A source area and the destination area it covers (same size), in 64 bits.
struct BlitArea {
  int64_t sl, st, sr, sb;
  int64_t dl, dt, dr, db;
};
// Cuts both areas to the source bounds and the destination clip, a cut on one side of
// the destination removing the opposite side of the source when mirrored; false when
// nothing is left.
bool ResolveCuts(BlitArea& area, const K_Rect& sourceBound, const K_Rect& clip, bool mirrorX, bool mirrorY);

// False when nothing would be drawn: no pixels, no header, another pixel size, alpha
// mode 3, an empty trim box, or clipped away. Positions are worked in 64 bits.
bool PlaceSprite(const K_Dib& image, const KK_LLESprite& sprite, int64_t x, int64_t y, uint32_t flags,
                 const K_Rect* sub, SpritePlacement& out);

// The reference blitter: per source pixel, positioned by the plain rules and handed to
// the row function one pixel at a time, from the sprite's unpacked pixels, alpha bytes
// (never its run walk). `plain` copies without the effect manager, as
// DrawSpriteFast does.
void ReferenceDrawSprite(K_Dib& image, int32_t x, int32_t y, const KK_LLESprite& sprite, const K_Rect* sub,
                         uint32_t flags, int32_t level, uint32_t colour, bool plain);

}  // namespace kk
