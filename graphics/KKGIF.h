// The sprite library's own GIF reader and player: every image of a file decoded with
// its own LZW table into a GDI bitmap with a monochrome transparency mask, and a
// composed canvas with its mask for animated files, drawn onto any device context with
// the mask-then-image raster operations.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/KK_GdiScope.h"
#include "plat/gdi.h"
#include "plat/module.h"

class KFileHandle;

class KKGIF {
 public:
  static constexpr int32_t kMaxSide = 8192;
  static constexpr size_t kMaxPixels = size_t(16) << 20;       // one image or the canvas
  static constexpr size_t kMaxDecodedBytes = size_t(96) << 20;  // all pictures of a file
  static constexpr size_t kMaxFileBytes = size_t(64) << 20;
  static constexpr int32_t kLzwEntries = 4096;

  struct Frame {
    int32_t width = 0, height = 0, left = 0, top = 0;
    int32_t delay = 0;  // hundredths of a second
    uint8_t disposal = 0;
    uint8_t transparent = 0;
    uint8_t transparentIndex = 0;
    KK_GdiObject<HBITMAP> image;  // null: the image failed
    KK_GdiObject<HBITMAP> mask;   // monochrome, white = transparent; null: no transparent pixel
  };

  // Shared by every decoder: images and the canvas become DIB sections instead of
  // bitmaps in the format of the DC of `SetBitmapWindow`'s window (none: the screen).
  // The sprite library switches DIB sections on before it loads.
  static void SetDibSectionMode(bool on);
  static bool DibSectionMode();
  static void SetBitmapWindow(HWND window);

  KKGIF() = default;
  virtual ~KKGIF() = default;
  KKGIF(const KKGIF&) = delete;
  KKGIF& operator=(const KKGIF&) = delete;

  // The whole file from an open handle (`size` 0: to its end); 0 when the read fails.
  int32_t LoadFile(KFileHandle& file, uint32_t size);
  // Parses the bytes (they need not outlive the call); 0 for none, or a header cut short.
  int32_t LoadMemory(const uint8_t* data, size_t size);
  // A resource of `module` (null: the main program); 0 when it is missing.
  int32_t LoadResource(HMODULE module, LPCSTR id, LPCSTR type);
  void Reset();

  int32_t GetFrameCount() const { return int32_t(m_frames.size()); }
  int32_t GetCurrentFrame() const { return m_current; }
  int32_t GetWidth() const { return m_width; }
  int32_t GetHeight() const { return m_height; }
  COLORREF GetBackgroundColor() const { return m_background; }
  uint32_t GetStartTick() const { return m_startTick; }
  int32_t GetFrameDelay(int32_t i) const;
  const Frame* GetFrame(int32_t i) const;
  // A single-frame file answers with frame 0 for any i; i < 0 gives the canvas (its
  // mask); i past the frames gives null.
  HBITMAP GetFrameBitmap(int32_t i) const;
  HBITMAP GetFrameMask(int32_t i) const;
  // The canvas's pixels when it is a DIB section (32-bit, bottom-up), else null.
  void* CanvasBits() const { return m_canvasBits; }
  bool MaskInUse() const { return m_maskInUse; }

  int32_t Tick(bool force);
  int32_t TickIfVisible(const RECT& rect, int32_t x, int32_t y);
  // `dc` (null: the screen) is what the rendering's memory DCs are made compatible with.
  void SeekFrame(int32_t i, HDC dc = nullptr);

  // The mask goes on with the destination's text colour black and background white
  // (what turns white mask pixels into "keep"); both are restored afterwards.
  void Draw(HDC dc, int32_t x, int32_t y) const;
  void DrawClipped(HDC dc, const RECT& rect, int32_t x, int32_t y) const;
  void DrawFrame(HDC dc, int32_t x, int32_t y, int32_t i) const;

 private:
  struct Block {
    enum Kind : uint8_t { kUnknown, kApplication, kComment, kControl, kPlainText, kImage, kTrailer } kind;
    size_t offset, length;
  };
  struct Placement {  // a blit: destination rectangle and source origin
    int64_t x, y, width, height, sx, sy;
  };
  int32_t Parse(std::span<const uint8_t> data);
  std::vector<Block> ScanBlocks(std::span<const uint8_t> data, size_t pos) const;
  void DecodeImage(std::span<const uint8_t> data, const Block& block, Frame& frame);
  bool DecodeLzw(std::span<const uint8_t> data, size_t pos, size_t end, int32_t minCode, int32_t width,
                 int32_t stride, int32_t height, bool interlace, std::vector<uint8_t>& indices, bool& full);
  HBITMAP CreateImage(const std::vector<uint8_t>& pixels, int32_t width, int32_t height,
                      const std::vector<RGBQUAD>& palette);
  bool CreateCanvas();
  void RenderCurrent(HDC like);
  static void Blit(HDC dc, const Placement& at, HBITMAP image, HBITMAP mask);
  void DrawPicture(HDC dc, const RECT* limit, int32_t x, int32_t y) const;
  static uint32_t Now();

  std::vector<RGBQUAD> m_globalTable;
  bool m_hasGlobalTable = false;
  COLORREF m_background = 0;
  uint32_t m_startTick = 0;
  int32_t m_width = 0, m_height = 0;
  int32_t m_current = 0;
  size_t m_decodedBytes = 0;
  std::vector<Frame> m_frames;
  KK_GdiObject<HBITMAP> m_canvas;
  KK_GdiObject<HBITMAP> m_canvasMask;
  void* m_canvasBits = nullptr;
  bool m_maskInUse = false;
  // The LZW table, per object so that decoders may run side by side.
  struct LzwEntry {
    uint8_t suffix;
    uint8_t first;
    uint16_t prefix;
  };
  std::array<LzwEntry, kLzwEntries> m_lzw{};
};
