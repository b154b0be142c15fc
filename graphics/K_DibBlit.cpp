// Drawing on images: run-length sprites placed by anchor, mirrored, clipped and passed
// through the effect manager's row functions; fills, frames, lines and plane fills.
#include <algorithm>
#include <cstring>

#include "base/ByteReader.h"
#include "base/PixelFormat.h"
#include "graphics/KK_AlphaChannel.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_FXWide.h"
#include "graphics/KK_LLESprite.h"
#include "graphics/K_Dib.h"
#include "graphics/K_DibPlacement.h"

namespace kk {

bool ResolveCuts(BlitArea& a, const K_Rect& bound, const K_Rect& clip, bool mirrorX, bool mirrorY) {
  // Cuts in source orientation: a cut at the destination's left removes the source's
  // right under mirror X, and likewise for Y.
  const int64_t cutDL = std::max<int64_t>(0, clip.left - a.dl), cutDR = std::max<int64_t>(0, a.dr - clip.right);
  const int64_t cutDT = std::max<int64_t>(0, clip.top - a.dt), cutDB = std::max<int64_t>(0, a.db - clip.bottom);
  const int64_t cl = std::max<int64_t>(std::max<int64_t>(0, bound.left - a.sl), mirrorX ? cutDR : cutDL);
  const int64_t cr = std::max<int64_t>(std::max<int64_t>(0, a.sr - bound.right), mirrorX ? cutDL : cutDR);
  const int64_t ct = std::max<int64_t>(std::max<int64_t>(0, bound.top - a.st), mirrorY ? cutDB : cutDT);
  const int64_t cb = std::max<int64_t>(std::max<int64_t>(0, a.sb - bound.bottom), mirrorY ? cutDT : cutDB);
  if (cl + cr >= a.sr - a.sl || ct + cb >= a.sb - a.st) return false;
  a.sl += cl, a.sr -= cr, a.st += ct, a.sb -= cb;
  a.dl += mirrorX ? cr : cl, a.dr -= mirrorX ? cl : cr;
  a.dt += mirrorY ? cb : ct, a.db -= mirrorY ? ct : cb;
  return true;
}

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
  BlitArea area{sl, st, sr, sb, px, py, px + (sr - sl), py + (sb - st)};
  if (!ResolveCuts(area, {0, 0, w, h}, image.ClipRect(), mx, my)) return false;
  out = {int32_t(area.sl), int32_t(area.st), int32_t(area.sr), int32_t(area.sb),
         int32_t(area.dl),  int32_t(area.dt), int32_t(area.dr), int32_t(area.db), mx, my};
  return true;
}

namespace {

// Short copies inline: fixed-size moves the compiler turns into single loads and
// stores (overlapping at the ends), where a library call per run would cost more than
// the run. Long runs go to memcpy.
inline void CopyBytes(uint8_t* d, const uint8_t* s, size_t n) {
  constexpr size_t kInlineLimit = 128;
  if (n > kInlineLimit) {
    std::memcpy(d, s, n);
  } else if (n >= 16) {
    size_t i = 0;
    for (; i + 16 <= n; i += 16) std::memcpy(d + i, s + i, 16);
    if (i < n) std::memcpy(d + n - 16, s + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(d, s, 8);
    std::memcpy(d + n - 8, s + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(d, s, 4);
    std::memcpy(d + n - 4, s + n - 4, 4);
  } else if (n >= 2) {
    std::memcpy(d, s, 2);
    std::memcpy(d + n - 2, s + n - 2, 2);
  } else if (n == 1) {
    d[0] = s[0];
  }
}

// Walks the line records of the placed area and hands every visible piece of every
// run to `emit` (destination of its first pixel, its pixels, its count, its alpha bytes
// or null). Under mirror X the destination is the piece's rightmost pixel.
template <int32_t kBpp, class Emit>
void WalkRuns(K_Dib& image, const KK_LLESprite& sprite, const SpritePlacement& at, Emit&& emit) {
  const int32_t alphaMode = sprite.Header().alphaMode;
  const ptrdiff_t pitch = image.Pitch();
  const uint8_t* rec = sprite.Runs();
  for (int32_t sy = 0; sy < at.srcTop; ++sy) {
    if (rec[7] == tagLLE_Line::kLastMark) return;
    rec += LoadU16(rec + 2);
  }
  uint8_t* row = image.GetBits() + ptrdiff_t(at.mirrorY ? at.dstBottom - 1 : at.dstTop) * pitch;
  const ptrdiff_t rowStep = at.mirrorY ? -pitch : pitch;
  // The destination x of source x 0, and the direction source x moves it.
  const ptrdiff_t originX = at.mirrorX ? ptrdiff_t(at.dstRight) - 1 + at.srcLeft : ptrdiff_t(at.dstLeft) - at.srcLeft;
  const ptrdiff_t dirX = at.mirrorX ? -1 : 1;
  for (int32_t sy = at.srcTop; sy < at.srcBottom; ++sy, row += rowStep) {
    const int32_t runs = LoadI16(rec);
    const uint8_t* table = rec + tagLLE_Line::kHeadSize;
    size_t data = tagLLE_Line::kHeadSize + size_t(runs) * 4;
    int32_t sx = 0;
    for (int32_t r = 0; r < runs && sx < at.srcRight; ++r, table += 4) {
      sx += LoadU16(table);
      const int32_t copy = LoadU16(table + 2);
      const int32_t a = std::max(sx, at.srcLeft), b = std::min(sx + copy, at.srcRight);
      if (a < b) {
        const uint8_t* px = rec + data + size_t(a - sx) * kBpp;
        const uint8_t* alpha = alphaMode == 2 ? rec + data + size_t(copy) * kBpp + size_t(a - sx) : nullptr;
        emit(row + (originX + dirX * a) * kBpp, px, b - a, alpha);
      }
      sx += copy;
      data = (data + size_t(copy) * (alphaMode == 2 ? kBpp + 1 : kBpp) + 3) & ~size_t{3};
    }
    if (rec[7] == tagLLE_Line::kLastMark) return;
    rec += LoadU16(rec + 2);
  }
}

// Plain copies of the visible runs, forwards or (mirror X) backwards through the wide
// kernel.
template <int32_t kBpp>
void CopyRuns(K_Dib& image, const KK_LLESprite& sprite, const SpritePlacement& at) {
  if (!at.mirrorX) {
    WalkRuns<kBpp>(image, sprite, at, [](uint8_t* d, const uint8_t* s, int32_t n, const uint8_t*) {
      CopyBytes(d, s, size_t(n) * kBpp);
    });
    return;
  }
  WalkRuns<kBpp>(image, sprite, at, [](uint8_t* d, const uint8_t* s, int32_t n, const uint8_t*) {
    kk::WideRow row;
    row.format = kBpp == 2 ? kk::kFormat565 : kk::kFormat32;
    row.dst = d;
    row.mirror = true;
    row.src = s;
    row.count = n;
    if (kBpp != 3 && kk::RunWideRow(row)) return;
    for (int32_t i = 0; i < n; ++i, d -= kBpp, s += kBpp) std::memcpy(d, s, kBpp);
  });
}

template <int32_t kBpp>
void RowRuns(K_Dib& image, const KK_LLESprite& sprite, const SpritePlacement& at, KK_RowFn fn, KK_FXParams& params) {
  WalkRuns<kBpp>(image, sprite, at, [fn, &params](uint8_t* d, const uint8_t* s, int32_t n, const uint8_t* alpha) {
    params.alpha = alpha;
    fn(d, s, n, params);
  });
}

// Placed runs of a sprite of any pixel size: plain copies (fn null) or through a row
// function.
void DrawRuns(K_Dib& image, const KK_LLESprite& sprite, const SpritePlacement& at, KK_RowFn fn, KK_FXParams* params) {
  switch (image.BytesPerPixel()) {
    case 2: fn ? RowRuns<2>(image, sprite, at, fn, *params) : CopyRuns<2>(image, sprite, at); break;
    case 3: fn ? RowRuns<3>(image, sprite, at, fn, *params) : CopyRuns<3>(image, sprite, at); break;
    case 4: fn ? RowRuns<4>(image, sprite, at, fn, *params) : CopyRuns<4>(image, sprite, at); break;
    default: break;
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
  KK_FXParams params = m->DrawParams();
  KK_RowFn fn = m->SetFXMode(params, flags & 0xFFFFF, level, colour);
  if (!fn) return;
  if ((flags & 0xFFFF) == 154 && !m->IsAlphaPlaneFor(m_bits, m_pitch, m_height)) return;
  const int32_t alphaMode = sprite.Header().alphaMode;
  params.alphaMode = alphaMode;
  // The copy row without per-pixel alpha is a plain copy; it is done inline.
  const bool perPixelAlpha = alphaMode == 2 || (alphaMode == 1 && m_bpp == 4);
  if (params.row == FXRow::kCopy && !perPixelAlpha) {
    kk::DrawRuns(*this, sprite, at, nullptr, nullptr);
    return;
  }
  kk::DrawRuns(*this, sprite, at, fn, &params);
}

void K_Dib::DrawSpriteFast(int32_t x, int32_t y, const KK_LLESprite& sprite) {
  // Unclipped, this is the sprite unpacked straight into the image; clipped, the same
  // walk cuts the runs.
  kk::SpritePlacement at;
  if (kk::PlaceSprite(*this, sprite, x, y, 0, nullptr, at)) kk::DrawRuns(*this, sprite, at, nullptr, nullptr);
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
  KK_FXParams params = m->DrawParams();
  KK_RowFn fn = m->SetFXMode(params, 200, level, colour);
  if (!fn) return;
  for (int32_t row = y; row < y + h; ++row) {
    uint8_t* p = PixelAddress(x, row);
    fn(p, p, w, params);
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
  KK_FXParams params = m->DrawParams();
  KK_RowFn fn = m->SelectAlphaFill(params, colour, level);
  if (!fn) return;
  for (int32_t row = 0; row < h; ++row)
    fn(PixelAddress(cx, cy + row), plane.Address(cx - x, cy - y + row), w, params);
}

void K_Dib::CopyImage(const K_Dib& source, int32_t x, int32_t y) {
  if (!m_bits || !source.m_bits || source.m_bpp != m_bpp) return;
  int32_t cx = x, cy = y, w = source.m_width, h = source.m_height;
  if (!ClipArea(cx, cy, w, h)) return;
  for (int32_t row = 0; row < h; ++row)
    std::memcpy(PixelAddress(cx, cy + row),
                source.m_bits + ptrdiff_t(cy - y + row) * source.m_pitch + ptrdiff_t(cx - x) * m_bpp, size_t(w) * m_bpp);
}
