// Drawing on images: run-length sprites placed by anchor, mirrored, clipped and passed
// through the effect manager's row functions; fills, frames, lines and plane fills.
#include <algorithm>
#include <cstring>

#include "graphics/KK_AlphaChannel.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib.h"
#include "graphics/K_DibPlacement.h"

namespace kk {

bool PlaceSprite(const K_Dib& image, const KK_LLESprite& sprite, int64_t x, int64_t y, uint32_t flags,
                 const K_Rect* sub, SpritePlacement& out) {
  if (!image.GetBits() || !sprite.HasHeader() || sprite.BytesPerPixel() != image.BytesPerPixel() ||
      sprite.Header().alphaMode == 3)
    return false;
  int32_t left, top, w, h;
  if (!sprite.GetBounds(&left, &top, &w, &h)) return false;
  const bool mx = (flags & K_Dib::kMirrorX) != 0, my = (flags & K_Dib::kMirrorY) != 0;
  int64_t px, py;
  if (flags & K_Dib::kNoAnchor) {
    px = x, py = y;
  } else if (flags & K_Dib::kAnchorNoMirror) {
    px = x + left, py = y + top;
  } else {
    px = mx ? x - (int64_t(w) + left) : x + left;
    py = my ? y - (int64_t(h) + top) : y + top;
  }
  // The source area, inside the trim box.
  int64_t sl = 0, st = 0, sr = w, sb = h;
  if (sub) {
    sl = sub->left, st = sub->top, sr = sub->right, sb = sub->bottom;
    if (!(flags & K_Dib::kNoAnchor)) {
      // Mirrored, the part of the box left out moves to the other side.
      if (mx) px += int64_t(w) - (sr - sl);
      if (my) py += int64_t(h) - (sb - st);
    }
  }
  if (sr <= sl || sb <= st) return false;
  int64_t dl = px, dt = py, dr = px + (sr - sl), db = py + (sb - st);
  const K_Rect& clip = image.ClipRect();
  // Cuts in source orientation: a cut at the destination's left removes the source's
  // right under mirror X, and likewise for Y.
  const int64_t cutDL = std::max<int64_t>(0, clip.left - dl), cutDR = std::max<int64_t>(0, dr - clip.right);
  const int64_t cutDT = std::max<int64_t>(0, clip.top - dt), cutDB = std::max<int64_t>(0, db - clip.bottom);
  const int64_t cl = std::max<int64_t>(std::max<int64_t>(0, -sl), mx ? cutDR : cutDL);
  const int64_t cr = std::max<int64_t>(std::max<int64_t>(0, sr - w), mx ? cutDL : cutDR);
  const int64_t ct = std::max<int64_t>(std::max<int64_t>(0, -st), my ? cutDB : cutDT);
  const int64_t cb = std::max<int64_t>(std::max<int64_t>(0, sb - h), my ? cutDT : cutDB);
  if (cl + cr >= sr - sl || ct + cb >= sb - st) return false;
  sl += cl, sr -= cr, st += ct, sb -= cb;
  dl += mx ? cr : cl, dr -= mx ? cl : cr;
  dt += my ? cb : ct, db -= my ? ct : cb;
  out = {int32_t(sl), int32_t(st), int32_t(sr), int32_t(sb), int32_t(dl), int32_t(dt), int32_t(dr), int32_t(db), mx, my};
  return true;
}

namespace {

size_t Round4(size_t v) { return (v + 3) & ~size_t{3}; }

void PlainCopy(void* dst, const void* src, int32_t count, const KK_FXParams& p) {
  if (p.direction >= 0) {
    std::memcpy(dst, src, size_t(count) * size_t(p.bytesPerPixel));
    return;
  }
  for (int32_t i = 0; i < count; ++i)
    std::memcpy(static_cast<uint8_t*>(dst) - ptrdiff_t(i) * p.bytesPerPixel,
                static_cast<const uint8_t*>(src) + ptrdiff_t(i) * p.bytesPerPixel, size_t(p.bytesPerPixel));
}

// Walks the line records of the placed area and calls `fn` for every visible piece of
// every run.
void WalkRuns(K_Dib& image, const KK_LLESprite& sprite, const SpritePlacement& at, KK_RowFn fn, KK_FXParams& params) {
  const int32_t bpp = image.BytesPerPixel();
  const int32_t alphaMode = sprite.Header().alphaMode;
  tagLLE_Line line = KK_LLESprite::ReadLine(sprite.Runs());
  for (int32_t sy = 0; sy < at.srcBottom; ++sy) {
    if (sy > 0) {
      if (line.mark == tagLLE_Line::kLastMark) return;
      line = KK_LLESprite::NextLine(line);
    }
    if (sy < at.srcTop) continue;
    const int32_t dy = at.mirrorY ? at.dstBottom - 1 - (sy - at.srcTop) : at.dstTop + (sy - at.srcTop);
    size_t data = tagLLE_Line::kHeadSize + size_t(line.runCount) * 4;
    int32_t sx = 0;
    for (int32_t r = 0; r < line.runCount && sx < at.srcRight; ++r) {
      sx += line.Skip(r);
      const int32_t copy = line.Copy(r);
      const int32_t a = std::max(sx, at.srcLeft), b = std::min(sx + copy, at.srcRight);
      if (a < b) {
        const uint8_t* px = line.record + data + size_t(a - sx) * size_t(bpp);
        params.alpha = alphaMode == 2 ? line.record + data + size_t(copy) * size_t(bpp) + size_t(a - sx) : nullptr;
        const int32_t dx = at.mirrorX ? at.dstRight - 1 - (a - at.srcLeft) : at.dstLeft + (a - at.srcLeft);
        fn(image.PixelAddress(dx, dy), px, b - a, params);
      }
      sx += copy;
      data = Round4(data + KK_LLESprite::RunDataBytes(copy, bpp, alphaMode));
    }
  }
}

// The current manager when it draws this image's pixels; row functions would run past
// the row ends otherwise.
KK_FXMan* ManagerFor(const K_Dib& image) {
  KK_FXMan* m = GetFXManager();
  return m && image.GetBits() && m->BytesPerPixel() == image.BytesPerPixel() ? m : nullptr;
}

}  // namespace
}  // namespace kk

void K_Dib::DrawSprite(int32_t x, int32_t y, const KK_LLESprite& sprite, uint32_t flags, int32_t level,
                       uint32_t colour) {
  DrawSpriteRect(x, y, sprite, 0, 0, -1, -1, flags, level, colour);
}

void K_Dib::DrawSpriteRect(int32_t x, int32_t y, const KK_LLESprite& sprite, int32_t left, int32_t top, int32_t right,
                           int32_t bottom, uint32_t flags, int32_t level, uint32_t colour) {
  KK_FXMan* m = kk::ManagerFor(*this);
  if (!m) return;
  const K_Rect sub{left, top, right, bottom};
  const bool whole = right < 0 && bottom < 0;
  kk::SpritePlacement at;
  if (!kk::PlaceSprite(*this, sprite, x, y, flags, whole ? nullptr : &sub, at)) return;
  KK_RowFn fn = m->SetFXMode(flags & 0xFFFFF, level, colour);
  if (!fn) return;
  if ((flags & 0xFFFF) == 154 && !m->IsAlphaPlaneFor(m_bits, m_pitch, m_height)) return;
  KK_FXParams& params = m->Params();
  params.alphaMode = sprite.Header().alphaMode;
  kk::WalkRuns(*this, sprite, at, fn, params);
  params.alpha = nullptr;
}

void K_Dib::DrawSpriteFast(int32_t x, int32_t y, const KK_LLESprite& sprite) {
  kk::SpritePlacement at;
  if (!kk::PlaceSprite(*this, sprite, x, y, 0, nullptr, at)) return;
  const auto& h = sprite.Header();
  if (at.srcLeft == 0 && at.srcTop == 0 && at.srcRight == h.trimWidth && at.srcBottom == h.trimHeight) {
    sprite.Unpack(PixelAddress(at.dstLeft, at.dstTop), m_pitch);
    return;
  }
  KK_FXParams plain;
  plain.bytesPerPixel = m_bpp;
  kk::WalkRuns(*this, sprite, at, kk::PlainCopy, plain);
}

void K_Dib::Fill(uint32_t colour) {
  KK_FXMan* m = kk::ManagerFor(*this);
  if (!m) return;
  const uint32_t packed = m->PackColor(colour);
  for (int32_t y = 0; y < m_height; ++y) m->FillRow(PixelAddress(0, y), m_width, packed);
}

void K_Dib::FillRectFX(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, int32_t level) {
  KK_FXMan* m = kk::ManagerFor(*this);
  if (!m || !ClipArea(x, y, w, h)) return;
  KK_RowFn fn = m->SetFXMode(200, level, colour);
  if (!fn) return;
  m->Params().alphaMode = 0;
  for (int32_t row = y; row < y + h; ++row) {
    uint8_t* p = PixelAddress(x, row);
    fn(p, p, w, m->Params());
  }
}

void K_Dib::FillRectBlend(const K_Rect& rect, uint32_t colour, int32_t level) {
  FillRectFX(rect.left, rect.top, rect.Width(), rect.Height(), colour, level);
}

namespace {

// Frame edges; `inset` leaves out the corner pixels of each edge.
void Frame(K_Dib& image, const K_Rect& rect, uint32_t colour1, uint32_t colour2, int32_t inset) {
  KK_FXMan* m = kk::ManagerFor(image);
  if (!m) return;
  K_Rect r = rect;
  image.IntersectClip(r);
  if (r.Width() < 1 || r.Height() < 1) return;
  const uint32_t c1 = m->PackColor(colour1), c2 = m->PackColor(colour2);
  const int32_t xl = std::max(r.left, rect.left + inset), xr = std::min(r.right, rect.right - inset);
  const int32_t yt = std::max(r.top, rect.top + inset), yb = std::min(r.bottom, rect.bottom - inset);
  if (r.top == rect.top && xr > xl) m->FillRow(image.PixelAddress(xl, r.top), xr - xl, c1);
  if (r.left == rect.left && yb > yt) m->FillColumn(image.PixelAddress(r.left, yt), image.Pitch(), yb - yt, c1);
  if (r.bottom == rect.bottom && xr > xl) m->FillRow(image.PixelAddress(xl, r.bottom - 1), xr - xl, c2);
  if (r.right == rect.right && yb > yt) m->FillColumn(image.PixelAddress(r.right - 1, yt), image.Pitch(), yb - yt, c2);
}

}  // namespace

void K_Dib::DrawFrame(const K_Rect& rect, uint32_t colour1, uint32_t colour2) { Frame(*this, rect, colour1, colour2, 0); }

void K_Dib::DrawRoundFrame(const K_Rect& rect, uint32_t colour1, uint32_t colour2) {
  Frame(*this, rect, colour1, colour2, 1);
}

void K_Dib::DrawHLine(int32_t x, int32_t y, int32_t length, uint32_t colour) {
  KK_FXMan* m = kk::ManagerFor(*this);
  int32_t cx = x, cy = y, w = length, h = 1;
  if (!m || !ClipArea(cx, cy, w, h) || cx != x || cy != y) return;
  m->FillRow(PixelAddress(cx, cy), w, m->PackColor(colour));
}

void K_Dib::DrawVLine(int32_t x, int32_t y, int32_t length, uint32_t colour) {
  KK_FXMan* m = kk::ManagerFor(*this);
  int32_t cx = x, cy = y, w = 1, h = length;
  if (!m || !ClipArea(cx, cy, w, h) || cx != x || cy != y) return;
  m->FillColumn(PixelAddress(cx, cy), m_pitch, h, m->PackColor(colour));
}

void K_Dib::DrawAlphaFill(const KK_AlphaChannel& plane, int32_t x, int32_t y, uint32_t colour, int32_t level) {
  KK_FXMan* m = kk::ManagerFor(*this);
  if (!m || plane.Empty()) return;
  int32_t cx = x, cy = y, w = plane.Width(), h = plane.Height();
  if (!ClipArea(cx, cy, w, h)) return;
  KK_RowFn fn = m->SelectAlphaFill(colour, level);
  if (!fn) return;
  for (int32_t row = 0; row < h; ++row)
    fn(PixelAddress(cx, cy + row), plane.Address(cx - x, cy - y + row), w, m->Params());
}

void K_Dib::CopyImage(const K_Dib& source, int32_t x, int32_t y) {
  if (!m_bits || !source.m_bits || source.m_bpp != m_bpp) return;
  int32_t cx = x, cy = y, w = source.m_width, h = source.m_height;
  if (!ClipArea(cx, cy, w, h)) return;
  for (int32_t row = 0; row < h; ++row)
    std::memcpy(PixelAddress(cx, cy + row),
                source.m_bits + ptrdiff_t(cy - y + row) * source.m_pitch + ptrdiff_t(cx - x) * m_bpp, size_t(w) * m_bpp);
}
