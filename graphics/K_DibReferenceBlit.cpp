// The reference sprite blitter: slow and obvious, the oracle of the run-walking
// blitter. Each drawn source pixel is found by unpacking, placed by the anchor and
// mirror rules, checked against the clip rectangle on its own and handed to the row
// function alone. It shares no placement code with the fast path.
#include <cstring>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib.h"
#include "graphics/K_DibPlacement.h"

namespace kk {

namespace {
void PlainCopyOne(void* dst, const void* src, int32_t count, const KK_FXParams& p) {
  std::memcpy(dst, src, size_t(count) * size_t(p.bytesPerPixel));
}
}  // namespace

void ReferenceDrawSprite(K_Dib& image, int32_t x, int32_t y, const KK_LLESprite& sprite, const K_Rect* sub,
                         uint32_t flags, int32_t level, uint32_t colour, bool plain) {
  if (!image.GetBits() || !sprite.HasHeader()) return;
  const int32_t bpp = image.BytesPerPixel();
  if (sprite.BytesPerPixel() != bpp || sprite.Header().alphaMode == 3) return;
  int32_t left, top, w, h;
  if (!sprite.GetBounds(&left, &top, &w, &h)) return;
  const KK_FXMan* m = GetFXManager();
  KK_RowFn fn = nullptr;
  KK_FXParams params;
  params.bytesPerPixel = bpp;
  if (!plain) {
    if (!m || m->BytesPerPixel() != bpp) return;
    params = m->DrawParams();
    fn = m->SetFXMode(params, flags & 0xFFFFF, level, colour);
    if (!fn) return;
    if ((flags & 0xFFFF) == 154 && !m->IsAlphaPlaneFor(image.GetBits(), image.Pitch(), image.Height())) return;
    params.alphaMode = sprite.Header().alphaMode;
  }

  const bool mx = !plain && (flags & K_Dib::kMirrorX), my = !plain && (flags & K_Dib::kMirrorY);
  int64_t px = int64_t(x) + left, py = int64_t(y) + top;
  if (!plain && (flags & K_Dib::kNoAnchor)) {
    px = x, py = y;
  } else if (!plain && !(flags & K_Dib::kAnchorNoMirror)) {
    if (mx) px = int64_t(x) - w - left;
    if (my) py = int64_t(y) - h - top;
  }
  int64_t sl = 0, st = 0, sr = w, sb = h;
  if (sub) {
    sl = sub->left, st = sub->top, sr = sub->right, sb = sub->bottom;
    if (!(flags & K_Dib::kNoAnchor)) {
      if (mx) px += w - (sr - sl);
      if (my) py += h - (sb - st);
    }
  }

  // Drawn pixels are those that unpacking changes over either of two different fills.
  std::vector<uint8_t> pixels(size_t(w) * size_t(h) * size_t(bpp), 0x00), other(pixels.size(), 0xFF);
  std::vector<uint8_t> alpha(size_t(w) * size_t(h));
  sprite.Unpack(pixels.data(), w * bpp);
  sprite.Unpack(other.data(), w * bpp);
  sprite.UnpackAlpha(alpha.data(), w);
  const K_Rect& clip = image.ClipRect();
  for (int64_t sy = 0; sy < h; ++sy) {
    for (int64_t sx = 0; sx < w; ++sx) {
      if (sx < sl || sx >= sr || sy < st || sy >= sb) continue;
      const size_t i = size_t(sy * w + sx);
      if (std::memcmp(&pixels[i * size_t(bpp)], &other[i * size_t(bpp)], size_t(bpp)) != 0) continue;
      const int64_t dx = mx ? px + (sr - sl) - 1 - (sx - sl) : px + (sx - sl);
      const int64_t dy = my ? py + (sb - st) - 1 - (sy - st) : py + (sy - st);
      if (dx < clip.left || dx >= clip.right || dy < clip.top || dy >= clip.bottom) continue;
      params.alpha = &alpha[i];
      (plain ? PlainCopyOne : fn)(image.PixelAddress(int32_t(dx), int32_t(dy)), &pixels[i * size_t(bpp)], 1, params);
    }
  }
}

}  // namespace kk
