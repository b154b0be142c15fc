// Software images of the sprite library: a top-down pixel buffer in one of the
// library's formats, owned on the heap or borrowed from outside (locked surface
// memory), with a clip rectangle and the sprite, fill and frame drawing on it.
#pragma once

#include <cstdint>
#include <memory>

#include "plat/gdi.h"

class KK_LLESprite;
class KK_AlphaChannel;

// The image's description: GDI's header followed by the three colour masks a 5-6-5
// image carries (compression BI_BITFIELDS), so that it can be handed to GDI as the
// image's BITMAPINFO.
struct K_DibHeader : BITMAPINFOHEADER {
  static constexpr uint32_t kInfoSize = 40;
  K_DibHeader() : BITMAPINFOHEADER{kInfoSize, 0, 0, 1, 0, BI_RGB, 0, 0, 0, 0, 0} {}
  uint32_t masks[3] = {0, 0, 0};  // R, G, B with BI_BITFIELDS
  // The format code the description stands for: 16 (masks), 17, 24, 32; 0 otherwise.
  int32_t FormatCode() const;
  // The description as GDI reads it: the masks sit where the colour table begins.
  const BITMAPINFO* Info() const {
    return reinterpret_cast<const BITMAPINFO*>(static_cast<const BITMAPINFOHEADER*>(this));
  }
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(static_cast<BITMAPINFOHEADER*>(this)); }
};
static_assert(sizeof(K_DibHeader) == sizeof(BITMAPINFOHEADER) + 3 * sizeof(uint32_t),
              "the masks must follow the header directly");

struct K_Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

class K_Dib {
 public:
  static constexpr int32_t kMaxSide = 8192;
  static constexpr int64_t kMaxPixelBytes = int64_t(64) << 20;
  // Placement flags of sprite draws.
  static constexpr uint32_t kMirrorX = 0x10000;
  static constexpr uint32_t kMirrorY = 0x20000;
  static constexpr uint32_t kNoAnchor = 0x40000;
  static constexpr uint32_t kAnchorNoMirror = 0x80000;
  static constexpr uint32_t kPlacementMask = 0xF0000;

  K_Dib() = default;
  virtual ~K_Dib() { Release(); }
  K_Dib(const K_Dib&) = delete;
  K_Dib& operator=(const K_Dib&) = delete;

  // A negative height is taken as its absolute value. `asDibSection` puts the pixels
  // in a DIB section made on the screen's DC (kept as the image's bitmap and deleted
  // with it); otherwise they are heap memory.
  virtual int32_t Create(int32_t width, int32_t height, int32_t format, int32_t asDibSection = 0);
  virtual int32_t Copy(const K_Dib& other);
  virtual int32_t Detach(K_Dib& target);
  void Release();
  // Borrows outside memory (a locked surface); nothing is freed on release.
  int32_t Attach(uint8_t* bits, int32_t pitch, int32_t bytesPerPixel, int32_t width, int32_t height);
  void DetachBits();

  const K_DibHeader* GetBitmapInfo() const { return m_header.get(); }
  // The DIB section holding the pixels, or null for heap and borrowed memory.
  HBITMAP GetBitmap() const { return m_bitmap; }
  uint8_t* GetBits() { return m_bits; }
  const uint8_t* GetBits() const { return m_bits; }
  int32_t Width() const { return m_width; }
  int32_t Height() const { return m_height; }
  int32_t Pitch() const { return m_pitch; }
  int32_t BytesPerPixel() const { return m_bpp; }
  int32_t SetPixels(const uint8_t* data, uint32_t size);

  void SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  const K_Rect& ClipRect() const { return m_clip; }
  void IntersectClip(K_Rect& rect) const;
  // Moves (x, y) into the clip rectangle, shortening w and h by the cut, then cuts them
  // at the clip's right and bottom; true when both stay at least 1.
  bool ClipArea(int32_t& x, int32_t& y, int32_t& w, int32_t& h) const;
  uint8_t* PixelAddress(int32_t x, int32_t y);
  // The pixel's value (bytes per pixel, little-endian), 0 outside the image.
  uint32_t GetPixel(int32_t x, int32_t y) const;

  // ---- drawing (the effect manager supplies the row functions) ----
  // flags: effect mode in the low 16 bits, placement in 0xF0000; `level` is the
  // effect's level, `colour` a COLORREF.
  void DrawSprite(int32_t x, int32_t y, const KK_LLESprite& sprite, uint32_t flags = 0, int32_t level = 0,
                  uint32_t colour = 0);
  void DrawSpriteRect(int32_t x, int32_t y, const KK_LLESprite& sprite, int32_t left, int32_t top, int32_t right,
                      int32_t bottom, uint32_t flags = 0, int32_t level = 0, uint32_t colour = 0);
  void DrawSpriteFast(int32_t x, int32_t y, const KK_LLESprite& sprite);
  void Fill(uint32_t colour);
  void FillRectFX(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, int32_t level);
  void FillRectBlend(const K_Rect& rect, uint32_t colour, int32_t level);
  void DrawFrame(const K_Rect& rect, uint32_t colour1, uint32_t colour2);
  void DrawRoundFrame(const K_Rect& rect, uint32_t colour1, uint32_t colour2);
  void DrawHLine(int32_t x, int32_t y, int32_t length, uint32_t colour);
  void DrawVLine(int32_t x, int32_t y, int32_t length, uint32_t colour);
  void DrawAlphaFill(const KK_AlphaChannel& plane, int32_t x, int32_t y, uint32_t colour, int32_t level);
  void CopyImage(const K_Dib& source, int32_t x, int32_t y);
  // Copies the area (sx, sy, w, h) of `source` (all of it when w or h is not positive)
  // to (x, y), clipped on both sides. `flags` 0 copies rows; otherwise the placement
  // bits mirror and each row goes through the row function of (mode, level, colour).
  void BlitImage(const K_Dib& source, int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t w, int32_t h,
                 uint32_t flags, uint32_t mode, int32_t level, uint32_t colour);
  // Byte copy of every row when both images have the same size and pixel size.
  int32_t CopyPixels(const K_Dib& source);
  // `rows` rows of `bytesPerRow` bytes into packed destination rows.
  static void CopyRows(uint8_t* dst, const uint8_t* src, int32_t bytesPerRow, int32_t rows, int32_t srcPitch);
  // Copies the area (sx, sy, sw, sh) to (x, y, w, h) of a device context, stretched
  // when the sizes differ. The GDI call's result; 0 for an image without a description
  // (borrowed memory).
  int32_t DrawToDC(HDC hdc, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy, int32_t sw,
                   int32_t sh) const;
  // Re-creates the image in another format; nothing when the pixel size matches.
  // Pairs without a row converter (16 bits going wider) are converted by GDI.
  int32_t ConvertDepth(int32_t format);
  // Each row of `rect` (cut to both images) becomes the box blur of the source's row
  // (radius at most 200). Blur32 does the same for 32-bit images only.
  void Blur(const K_Dib& source, int32_t radius, const K_Rect& rect);
  void Blur32(const K_Dib& source, int32_t radius, const K_Rect& rect);
  // The format code of the pixels: from the description, else from the pixel size
  // (two bytes read as 5-6-5).
  int32_t FormatCode() const;

 protected:
  void SetFullClip() { m_clip = {0, 0, m_width, m_height}; }
  // The top-down description of an image of `rows` rows in `format`.
  static K_DibHeader Describe(int32_t width, int32_t rows, int32_t format);
  // The image's description for GDI: its own, or one made in `scratch` for borrowed
  // memory with DIB-packed rows; null otherwise.
  const BITMAPINFO* DescribeForGdi(K_DibHeader& scratch) const;

  std::unique_ptr<K_DibHeader> m_header;
  HBITMAP m_bitmap = nullptr;
  std::unique_ptr<uint8_t[]> m_owned;
  uint8_t* m_bits = nullptr;
  int32_t m_pitch = 0;
  int32_t m_bpp = 0;
  int32_t m_width = 0;
  int32_t m_height = 0;
  K_Rect m_clip;
};

// The drawing variant; the drawing operations live on K_Dib itself so every image can
// be drawn on.
class K_Dib_Draw : public K_Dib {};

// Library status shared by the image readers (an atomic: readers may run on the
// loader thread).
namespace kk {
constexpr int32_t kStatusOk = 0;
constexpr int32_t kStatusCannotOpen = 2;
constexpr int32_t kStatusReading = 3;
constexpr int32_t kStatusReadFailed = 4;
constexpr int32_t kStatusCreating = 5;
constexpr int32_t kStatusConverting = 9;
constexpr int32_t kStatusWriting = 14;
void SetStatus(int32_t status);
int32_t GetStatus();
inline bool IsStatusOk() { return GetStatus() == kStatusOk; }
}  // namespace kk
