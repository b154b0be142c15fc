// The game's GIF player: every image of a GIF 87a or 89a file decoded into a device
// bitmap compatible with the player's own surface, then played image by image onto
// that surface with each image's position, transparency and disposal.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphics/KK_GdiScope.h"
#include "plat/types.h"
#include "base/DDSurfaceUtil.h"

class ByteReader;

class CGif {
 public:
  static constexpr size_t kMaxFileBytes = size_t(64) << 20;
  // Stride x height of one image, and the logical screen: above it the image (or the
  // whole file) fails instead of allocating.
  static constexpr int64_t kMaxImagePixels = int64_t(16) << 20;
  static constexpr int64_t kMaxScreenPixels = int64_t(16) << 20;
  // All images of one file together: a small file can declare many large images.
  static constexpr int64_t kMaxDecodedPixels = int64_t(64) << 20;
  static constexpr int32_t kLzwEntries = 4096;
  // The colour that stands for "transparent" in every frame, and what a transparent
  // palette index is painted with.
  static constexpr COLORREF kKeyColor = 0xFF00FF;
  static constexpr DWORD kNoKey = 0xFFFFFFFFu;

  // Disposal codes as the packed byte holds them (method << 2).
  static constexpr int32_t kDisposeNone = 0;
  static constexpr int32_t kDisposeKeep = 4;
  static constexpr int32_t kDisposeBackground = 8;
  static constexpr int32_t kDisposePrevious = 12;

  struct GifFrame {
    int32_t width = 0, height = 0, top = 0, left = 0;
    KK_GdiObject<HBITMAP> bitmap;
    DWORD colorKey = kNoKey;  // the surface's value of kKeyColor
    int32_t delay = 0;        // milliseconds
    int32_t disposal = kDisposeNone;
  };

  CGif() = default;
  CGif(const CGif&) = delete;
  CGif& operator=(const CGif&) = delete;
  virtual ~CGif() = default;

  // Reads the file through the layer; 1, or 0 (the error flag is set for a file that
  // cannot be opened or is no GIF).
  BOOL LoadGifFile(const std::string& name);
  // The same over bytes already in memory (they need not outlive the call).
  BOOL ReadGif(std::span<const uint8_t> bytes);
  // Reads, creates the main surface of the logical screen's size, decodes every image
  // and draws the first: 1, or 0 (unreadable file, no image, no work surface), or the
  // failing result code of a surface call.
  HRESULT Load(const std::string& name, const DDObject& dd, SIZE* screen);
  HRESULT LoadFromBytes(std::span<const uint8_t> bytes, const DDObject& dd, SIZE* screen);

  // Draws the next frame onto the main surface: 1 when a step was taken, 0 when
  // nothing can step (error, at most one frame, a surface that cannot be restored).
  BOOL StepGifFrame();

  int32_t GetFrameCount() const { return static_cast<int32_t>(frames_.size()); }
  // Accepted only for an index below the frame count.
  BOOL SetFrame(int32_t index);
  BOOL HasError() const { return error_; }
  void SetColorKey(DWORD key) { colorKey_ = key; }
  DWORD GetColorKey() const { return colorKey_; }

  const std::vector<GifFrame>& Frames() const { return frames_; }
  const DDSurface& MainSurface() const { return main_; }
  void ReleaseMainSurface() { main_ = nullptr; }
  GSize ScreenSize() const { return GSize(screenWidth_, screenHeight_); }
  int32_t NextFrame() const { return next_; }
  BOOL IsComposing() const { return composing_; }

 private:
  HRESULT Start(const DDObject& dd, SIZE* screen);
  void DecodeAllFrames();
  // Blocks up to and including one image: 1 after an image, 0 at the trailer, at the
  // end of the data, and on anything that cannot be read.
  int32_t ReadBlock();
  bool DecodeImage(ByteReader& r);
  // The part of an image rectangle that lies on the logical screen; empty when none.
  GRect OnScreen(const GifFrame& f) const;
  void DrawFrame(const DDSurface& target, const GifFrame& f);

  int32_t next_ = 0;
  int32_t previous_ = 0;
  std::vector<GifFrame> frames_;
  BOOL composing_ = 0;
  int64_t decodedPixels_ = 0;

  int32_t background_ = 0;
  // From the last graphic control extension, kept until the next one.
  int32_t disposal_ = kDisposeNone;
  bool transparent_ = false;
  uint8_t transparentIndex_ = 0;
  int32_t delay_ = 0;  // hundredths of a second

  std::vector<uint8_t> globalTable_;  // 3 bytes an entry
  std::vector<uint8_t> data_;         // everything after the header and global table
  size_t cursor_ = 0;
  int32_t screenWidth_ = 0, screenHeight_ = 0;
  BOOL error_ = 0;
  DDSurface main_;
  DDSurface work_;
  DWORD frameKey_ = kNoKey;
  DWORD colorKey_ = kNoKey;
};
