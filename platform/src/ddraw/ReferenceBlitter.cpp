// The one obvious blitter: pixel by pixel, through the source mapping written out in
// full. Nothing in the layer calls it; tests compare the fast paths with it.
#include <vector>

#include "ddraw/Blitter.h"
#include "ddraw/PixelFormat.h"

namespace plat::detail::ddraw {

void ReferenceBlit(const BlitOp& op) {
  const int bytes = op.dst.bytes;
  const int64_t dw = op.dstRect.right - op.dstRect.left, dh = op.dstRect.bottom - op.dstRect.top;
  const int64_t sw = op.srcRect.right - op.srcRect.left, sh = op.srcRect.bottom - op.srcRect.top;
  // Read everything first: a blit within one surface sees the source as it was.
  std::vector<uint32_t> picked;
  for (int y = op.clip.top; y < op.clip.bottom; ++y)
    for (int x = op.clip.left; x < op.clip.right; ++x) {
      const int sx = op.srcRect.left + static_cast<int>((x - op.dstRect.left) * sw / dw);
      const int sy = op.srcRect.top + static_cast<int>((y - op.dstRect.top) * sh / dh);
      picked.push_back(ReadPixel(op.src.Row(sy) + sx * bytes, bytes));
    }
  size_t i = 0;
  for (int y = op.clip.top; y < op.clip.bottom; ++y)
    for (int x = op.clip.left; x < op.clip.right; ++x) {
      const uint32_t v = picked[i++];
      if (!op.key.Hides(v)) WritePixel(op.dst.Row(y) + x * bytes, bytes, v);
    }
}

void ReferenceFill(const PixelView& dst, const RECT& r, uint32_t value) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) WritePixel(dst.Row(y) + x * dst.bytes, dst.bytes, value);
}

}  // namespace plat::detail::ddraw
