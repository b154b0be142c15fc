// A software canvas in a GDI DIB section, 32 bits per pixel or 8 bits with a colour
// table: clip rectangle and drawing origin, fills, blends, keyed copies, slice tiling,
// and transfers to and from device contexts. The avatar composer draws with it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "plat/gdi.h"
#include "plat/types.h"

// The header block a canvas hands to GDI: the information header followed directly by
// a full 256-entry colour table (used by 8-bit canvases only).
struct XDibInfo {
  static constexpr int kTableSize = 256;
  BITMAPINFOHEADER header{};
  RGBQUAD colors[kTableSize]{};
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&header); }
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(&header); }
};
static_assert(sizeof(XDibInfo) == sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));

class XDib {
 public:
  // Largest side and pixel count a canvas is made with.
  static constexpr int32_t kMaxSide = 16384;
  static constexpr int64_t kMaxPixels = int64_t(16) << 20;

  XDib() = default;
  ~XDib() { Destroy(); }
  XDib(const XDib&) = delete;
  XDib& operator=(const XDib&) = delete;
  XDib(XDib&& other) noexcept { *this = std::move(other); }
  XDib& operator=(XDib&& other) noexcept;

  // ---- Creation and loading: each empties the canvas first; 1, or 0 and empty ----
  int CreateDib32(SIZE size);
  // 8-bit, rows padded to 4 bytes; the colour table comes from `source` (its used
  // count, or 2^bits; more than 256 entries are refused).
  int CreateDib8(SIZE size, const BITMAPINFO& source);
  // A packed DIB (header, colour table, rows) of `packed.size()` bytes. Positive
  // heights are bottom-up rows, negative top-down; either way the canvas is upright.
  // 24 and 32 bits give a 32-bit canvas, other depths are read as 8-bit rows.
  int LoadPackedDib(std::span<const uint8_t> packed);
  int LoadBmpFile(const char* path);
  int LoadBitmapResource(HMODULE module, LPCSTR name);
  int FromBitmap(HDC dc, HBITMAP bitmap);
  int FromDC(HDC dc, RECT area);
  // A 32-bit copy of the source taken from its top-left corner.
  int CopyFrom(const XDib& source);
  void Destroy();

  // ---- Output to GDI ----
  int StretchToDC(HDC dc, RECT dest, RECT source) const;
  int CopyToDC(HDC dc, POINT source, RECT dest) const;
  int ReadFromBitmap(HDC dc, HBITMAP bitmap);
  int DrawText(HDC like, RECT rect, const char* text, int length, COLORREF color, HFONT font, UINT format);
  int DrawKeyedToDC(HDC dc, POINT source, RECT dest, uint32_t key) const;

  // ---- Drawing into the canvas: rectangles are moved by the origin and clipped ----
  // Colours are 0x00RRGGBB; an 8-bit canvas takes the index from the top byte.
  void FillRect(RECT rect, uint32_t color);
  // Only pixels with (x + y) % 2 == phase % 2, in canvas coordinates.
  void FillRectChecker(RECT rect, uint32_t color, int phase);
  void BlendFillRect(RECT rect, uint32_t color, int level);
  void Blit(const XDib& source, POINT from, RECT dest);
  void BlitKeyed(const XDib& source, POINT from, RECT dest, uint32_t key);
  void BlitBlend(const XDib& source, POINT from, RECT dest, int level);
  void BlitBlendKeyed(const XDib& source, POINT from, RECT dest, int level, uint32_t key);
  void ThreeSliceH(const XDib& source, RECT from, RECT dest);
  void ThreeSliceV(const XDib& source, RECT from, RECT dest);
  void NineSlice(const XDib& source, RECT from, RECT dest);

  // ---- Palette and queries ----
  int GetColorCount() const;
  // 8-bit canvases only; the caller deletes it.
  HPALETTE CreatePalette() const;
  // index << 24 | colour for 8-bit canvases, the colour itself otherwise.
  uint32_t NearestIndex(uint32_t color) const;
  void MakeGrey();
  // Source bits x 32 | destination bits: the key of a copy routine.
  static int DepthPair(int sourceBits, int destBits) { return sourceBits * 32 | destBits; }
  static int DetectTrueColor();
  static int IsTrueColor();

  bool Empty() const { return bitmap_ == nullptr; }
  HBITMAP Bitmap() const { return bitmap_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int BitCount() const { return info_ ? info_->header.biBitCount : 0; }
  // Bytes per row: width x 4, or the width rounded up to 4 for 8 bits.
  int32_t RowBytes() const { return info_ ? RowBytesFor(info_->header) : 0; }
  uint8_t* Pixels() { return pixels_; }
  const uint8_t* Pixels() const { return pixels_; }
  uint8_t* PixelAt(int32_t x, int32_t y);
  const uint8_t* PixelAt(int32_t x, int32_t y) const;
  XDibInfo* Header() { return info_.get(); }
  const XDibInfo* Header() const { return info_.get(); }
  const RECT& ClipRect() const { return clip_; }
  void SetClipRect(RECT clip) { clip_ = clip; }
  POINT Origin() const { return origin_; }
  void SetOrigin(POINT origin) { origin_ = origin; }

 private:
  static int32_t RowBytesFor(const BITMAPINFOHEADER& h);
  // The destination rectangle moved by the origin and clipped; false when empty.
  bool ClipDest(RECT& rect) const;
  // Source and destination of a copy after both clips; false when nothing is left.
  bool ClipCopy(const XDib& source, POINT& from, RECT& dest) const;
  bool MakeSection(std::unique_ptr<XDibInfo> info, HDC dc);
  void ThreeSliceRowsH(const XDib& source, RECT from, RECT dest);

  HBITMAP bitmap_ = nullptr;
  std::unique_ptr<XDibInfo> info_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  RECT clip_{0, 0, 0, 0};
  POINT origin_{0, 0};
  uint8_t* pixels_ = nullptr;
};
