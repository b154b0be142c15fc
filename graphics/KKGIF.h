// The sprite library's own GIF reader and player: every image of a file decoded with
// its own LZW table, a transparency mask per transparent image, and a composed canvas
// with its mask for animated files, drawn with the mask-then-image raster operations.
// Pictures are 32-bit pixel rows here (0x00RRGGBB, fourth byte 0, as the GDI layer
// writes them) and the device context is a 32-bit K_Dib.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "graphics/KKBitBOOL.h"

class K_Dib;
class KFileHandle;
struct K_Rect;

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
    std::vector<uint32_t> image;  // width x height, top-down; empty: the image failed
    KKBitBOOL mask;               // set bits are transparent; empty: no mask
    bool HasImage() const { return !image.empty(); }
    bool HasMask() const { return !mask.Empty(); }
  };

  KKGIF() = default;
  virtual ~KKGIF() = default;
  KKGIF(const KKGIF&) = delete;
  KKGIF& operator=(const KKGIF&) = delete;

  // The whole file from an open handle (`size` 0: to its end); 0 when the read fails.
  int32_t LoadFile(KFileHandle& file, uint32_t size);
  // Parses the bytes (they need not outlive the call); 0 for none, or a header cut short.
  int32_t LoadMemory(const uint8_t* data, size_t size);
  void Reset();

  int32_t GetFrameCount() const { return int32_t(m_frames.size()); }
  int32_t GetCurrentFrame() const { return m_current; }
  int32_t GetWidth() const { return m_width; }
  int32_t GetHeight() const { return m_height; }
  uint32_t GetBackgroundColor() const { return m_background; }
  uint32_t GetStartTick() const { return m_startTick; }
  int32_t GetFrameDelay(int32_t i) const;
  const Frame* GetFrame(int32_t i) const;
  const std::vector<uint32_t>& Canvas() const { return m_canvas; }
  const KKBitBOOL& CanvasMask() const { return m_canvasMask; }
  bool MaskInUse() const { return m_maskInUse; }

  int32_t Tick(bool force);
  int32_t TickIfVisible(const K_Rect& rect, int32_t x, int32_t y);
  void SeekFrame(int32_t i);

  // Drawing onto a 32-bit image (anything else is left alone), inside its clip.
  void Draw(K_Dib& dc, int32_t x, int32_t y) const;
  void DrawClipped(K_Dib& dc, const K_Rect& rect, int32_t x, int32_t y) const;
  void DrawFrame(K_Dib& dc, int32_t x, int32_t y, int32_t i) const;

 private:
  struct Block {
    enum Kind : uint8_t { kUnknown, kApplication, kComment, kControl, kPlainText, kImage, kTrailer } kind;
    size_t offset, length;
  };
  struct Picture {  // what a draw copies from
    const uint32_t* pixels;
    int32_t pitch;  // in pixels
    const KKBitBOOL* mask;
    int32_t width, height;
  };
  int32_t Parse(std::span<const uint8_t> data);
  std::vector<Block> ScanBlocks(std::span<const uint8_t> data, size_t pos) const;
  void DecodeImage(std::span<const uint8_t> data, const Block& block, Frame& frame);
  bool DecodeLzw(std::span<const uint8_t> data, size_t pos, size_t end, int32_t minCode, int32_t width,
                 int32_t height, bool interlace, std::vector<uint8_t>& indices);
  void RenderCurrent();
  void Blit(K_Dib& dc, int32_t x, int32_t y, const K_Rect* limit, const Picture& pic) const;
  static uint32_t Now();

  std::vector<uint32_t> m_globalTable;  // 0x00RRGGBB entries
  bool m_hasGlobalTable = false;
  uint32_t m_background = 0;
  uint32_t m_startTick = 0;
  int32_t m_width = 0, m_height = 0;
  int32_t m_current = 0;
  size_t m_decodedBytes = 0;
  std::vector<Frame> m_frames;
  std::vector<uint32_t> m_canvas;
  KKBitBOOL m_canvasMask;
  bool m_maskInUse = false;
  // The LZW table, per object so that decoders may run side by side.
  struct LzwEntry {
    uint8_t suffix;
    uint8_t first;
    uint16_t prefix;
  };
  std::array<LzwEntry, kLzwEntries> m_lzw{};
};
