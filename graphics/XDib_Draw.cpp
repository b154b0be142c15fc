// Drawing into the canvas: fills, the checkerboard half-tone, blends, the copies picked
// by depth pair, and three- and nine-slice tiling. Everything is clipped first, so the
// row loops below never see a pixel outside either canvas.
#include <algorithm>

#include "graphics/XDib.h"

namespace {

constexpr uint32_t kDrawRgbMask = 0xFFFFFF;
constexpr int kPair8To8 = 8 * 32 | 8;
constexpr int kPair8To32 = 8 * 32 | 32;
constexpr int kPair32To32 = 32 * 32 | 32;

bool Intersect(RECT& r, const RECT& with) {
  r.left = std::max(r.left, with.left);
  r.top = std::max(r.top, with.top);
  r.right = std::min(r.right, with.right);
  r.bottom = std::min(r.bottom, with.bottom);
  return r.left < r.right && r.top < r.bottom;
}

uint8_t BlendChannel(int d, int s, int level) { return static_cast<uint8_t>(d + (((s - d) * level) >> 8)); }

void StorePixel(uint8_t* p, uint32_t color) {
  p[0] = uint8_t(color);
  p[1] = uint8_t(color >> 8);
  p[2] = uint8_t(color >> 16);
  p[3] = 0;
}

uint32_t LoadPixel(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Blend runs go from the last pixel to the first, so an overlapping source reads
// pixels not yet written.
void BlendRun(uint8_t* d, const uint8_t* s, int32_t n, int level, bool keyed, uint32_t key) {
  for (int32_t i = n - 1; i >= 0; --i) {
    const uint8_t* sp = s + ptrdiff_t(i) * 4;
    if (keyed && LoadPixel(sp) == key) continue;
    uint8_t* dp = d + ptrdiff_t(i) * 4;
    for (int c = 0; c < 3; ++c) dp[c] = BlendChannel(dp[c], sp[c], level);
  }
}

}  // namespace

bool XDib::ClipDest(RECT& rect) const {
  if (Empty()) return false;
  rect = RECT{rect.left + origin_.x, rect.top + origin_.y, rect.right + origin_.x, rect.bottom + origin_.y};
  return Intersect(rect, clip_);
}

bool XDib::ClipCopy(const XDib& source, POINT& from, RECT& dest) const {
  if (Empty() || source.Empty()) return false;
  RECT d{dest.left + origin_.x, dest.top + origin_.y, dest.right + origin_.x, dest.bottom + origin_.y};
  RECT s{from.x, from.y, from.x + (d.right - d.left), from.y + (d.bottom - d.top)};
  const RECT wanted = s;
  if (!Intersect(s, source.clip_)) return false;
  d.left += s.left - wanted.left;
  d.top += s.top - wanted.top;
  d.right = d.left + (s.right - s.left);
  d.bottom = d.top + (s.bottom - s.top);
  const RECT moved = d;
  if (!Intersect(d, clip_)) return false;
  from = POINT{s.left + (d.left - moved.left), s.top + (d.top - moved.top)};
  dest = d;
  return true;
}

void XDib::FillRect(RECT rect, uint32_t color) {
  if (!ClipDest(rect)) return;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    if (BitCount() == 8) {
      std::fill_n(PixelAt(rect.left, y), rect.right - rect.left, uint8_t(color >> 24));
      continue;
    }
    for (int32_t x = rect.left; x < rect.right; ++x) StorePixel(PixelAt(x, y), color & kDrawRgbMask);
  }
}

void XDib::FillRectChecker(RECT rect, uint32_t color, int phase) {
  if (!ClipDest(rect)) return;
  const int parity = phase & 1;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    const int32_t first = rect.left + (((rect.left + y) & 1) != parity ? 1 : 0);
    for (int32_t x = first; x < rect.right; x += 2) {
      if (BitCount() == 8)
        *PixelAt(x, y) = uint8_t(color >> 24);
      else
        StorePixel(PixelAt(x, y), color & kDrawRgbMask);
    }
  }
}

void XDib::BlendFillRect(RECT rect, uint32_t color, int level) {
  if (BitCount() == 8) {
    FillRect(rect, color);
    return;
  }
  if (!ClipDest(rect)) return;
  const int k[3] = {int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF)};
  for (int32_t y = rect.top; y < rect.bottom; ++y)
    for (int32_t x = rect.right - 1; x >= rect.left; --x) {
      uint8_t* p = PixelAt(x, y);
      for (int c = 0; c < 3; ++c) p[c] = BlendChannel(p[c], k[c], level);
    }
}

void XDib::Blit(const XDib& source, POINT from, RECT dest) {
  if (!ClipCopy(source, from, dest)) return;
  const int32_t n = dest.right - dest.left;
  const int pair = DepthPair(source.BitCount(), BitCount());
  for (int32_t row = 0; row < dest.bottom - dest.top; ++row) {
    const uint8_t* s = source.PixelAt(from.x, from.y + row);
    uint8_t* d = PixelAt(dest.left, dest.top + row);
    if (pair == kPair8To8) {
      std::copy_n(s, n, d);
    } else if (pair == kPair32To32) {
      std::copy_n(s, size_t(n) * 4, d);
    } else if (pair == kPair8To32) {
      for (int32_t i = 0; i < n; ++i) {
        const RGBQUAD& c = source.info_->colors[s[i]];
        d[i * 4] = c.rgbBlue;
        d[i * 4 + 1] = c.rgbGreen;
        d[i * 4 + 2] = c.rgbRed;
        d[i * 4 + 3] = c.rgbReserved;
      }
    }
  }
}

void XDib::BlitKeyed(const XDib& source, POINT from, RECT dest, uint32_t key) {
  if (!ClipCopy(source, from, dest)) return;
  const int32_t n = dest.right - dest.left;
  const int pair = DepthPair(source.BitCount(), BitCount());
  const auto keyIndex = uint8_t(key >> 24);
  for (int32_t row = 0; row < dest.bottom - dest.top; ++row) {
    const uint8_t* s = source.PixelAt(from.x, from.y + row);
    uint8_t* d = PixelAt(dest.left, dest.top + row);
    if (pair == kPair32To32) {
      // The whole pixel is compared: a set fourth byte makes it differ from the key.
      for (int32_t i = 0; i < n; ++i)
        if (LoadPixel(s + i * 4) != (key & kDrawRgbMask)) std::copy_n(s + i * 4, 4, d + i * 4);
    } else if (pair == kPair8To32) {
      for (int32_t i = 0; i < n; ++i) {
        if (s[i] == keyIndex) continue;
        const RGBQUAD& c = source.info_->colors[s[i]];
        d[i * 4] = c.rgbBlue;
        d[i * 4 + 1] = c.rgbGreen;
        d[i * 4 + 2] = c.rgbRed;
        d[i * 4 + 3] = c.rgbReserved;
      }
    }
  }
}

void XDib::BlitBlend(const XDib& source, POINT from, RECT dest, int level) {
  if (BitCount() == 8) {
    Blit(source, from, dest);
    return;
  }
  if (DepthPair(source.BitCount(), BitCount()) != kPair32To32 || !ClipCopy(source, from, dest)) return;
  for (int32_t row = 0; row < dest.bottom - dest.top; ++row)
    BlendRun(PixelAt(dest.left, dest.top + row), source.PixelAt(from.x, from.y + row), dest.right - dest.left, level,
             false, 0);
}

void XDib::BlitBlendKeyed(const XDib& source, POINT from, RECT dest, int level, uint32_t key) {
  if (BitCount() == 8) {
    BlitKeyed(source, from, dest, key);
    return;
  }
  if (DepthPair(source.BitCount(), BitCount()) != kPair32To32 || !ClipCopy(source, from, dest)) return;
  for (int32_t row = 0; row < dest.bottom - dest.top; ++row)
    BlendRun(PixelAt(dest.left, dest.top + row), source.PixelAt(from.x, from.y + row), dest.right - dest.left, level,
             true, key & kDrawRgbMask);
}

void XDib::ThreeSliceRowsH(const XDib& source, RECT from, RECT dest) {
  const int32_t b = (from.right - from.left) / 4;
  Blit(source, POINT{from.left, from.top}, RECT{dest.left, dest.top, dest.left + b, dest.bottom});
  Blit(source, POINT{from.right - b, from.top}, RECT{dest.right - b, dest.top, dest.right, dest.bottom});
  const int32_t strip = 2 * b;
  // A source narrower than 4 has no middle strip to repeat.
  if (strip == 0) return;
  for (int32_t x = dest.left + b; x < dest.right - b; x += strip)
    Blit(source, POINT{from.left + b, from.top}, RECT{x, dest.top, std::min<LONG>(x + strip, dest.right - b), dest.bottom});
}

void XDib::ThreeSliceH(const XDib& source, RECT from, RECT dest) { ThreeSliceRowsH(source, from, dest); }

void XDib::ThreeSliceV(const XDib& source, RECT from, RECT dest) {
  const int32_t b = (from.bottom - from.top) / 4;
  Blit(source, POINT{from.left, from.top}, RECT{dest.left, dest.top, dest.right, dest.top + b});
  Blit(source, POINT{from.left, from.bottom - b}, RECT{dest.left, dest.bottom - b, dest.right, dest.bottom});
  const int32_t strip = 2 * b;
  if (strip == 0) return;
  for (int32_t y = dest.top + b; y < dest.bottom - b; y += strip)
    Blit(source, POINT{from.left, from.top + b}, RECT{dest.left, y, dest.right, std::min<LONG>(y + strip, dest.bottom - b)});
}

void XDib::NineSlice(const XDib& source, RECT from, RECT dest) {
  const int32_t h = (from.bottom - from.top) / 4;
  ThreeSliceRowsH(source, RECT{from.left, from.top, from.right, from.top + h},
                  RECT{dest.left, dest.top, dest.right, dest.top + h});
  // The middle band is copied once, not repeated down the destination.
  ThreeSliceRowsH(source, RECT{from.left, from.top + h, from.right, from.bottom - h},
                  RECT{dest.left, dest.top + h, dest.right, dest.bottom - h});
  ThreeSliceRowsH(source, RECT{from.left, from.bottom - h, from.right, from.bottom},
                  RECT{dest.left, dest.bottom - h, dest.right, dest.bottom});
}
