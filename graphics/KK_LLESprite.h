// Run-length sprites (.qls): the 12-byte chunk header every sprite-library file uses,
// the "KS" sprite chunk, reading it from bytes with every length checked once, writing
// it, encoding it from pixels and converting it to another pixel format.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "plat/types.h"

class ByteReader;
class ByteWriter;
struct K_DibHeader;

struct tagChunk_Header {
  uint32_t size = 0;  // payload bytes that follow the header
  uint32_t kind = 0;
};

namespace kk {
constexpr size_t kChunkHeaderSize = 12;
constexpr uint8_t kChunkMagic[4] = {0x6A, 0x09, 0x6B, 0x07};
constexpr uint32_t kKindSprite = 0x8401;
constexpr uint32_t kKindSpriteExtra = 0x8402;
constexpr uint32_t kKindSpriteMask = 0xFF00;
constexpr uint32_t kKindSpriteFamily = 0x8400;
// Reads 12 bytes; false unless all came and the magic matches.
bool ReadChunkHeader(ByteReader& in, tagChunk_Header& header);
void WriteChunkHeader(ByteWriter& out, const tagChunk_Header& header);
}  // namespace kk

// The 36-byte "KS" header, field by field.
struct tagLLE_Header {
  static constexpr size_t kSize = 36;
  static constexpr size_t kSizeWithExtra = 68;
  uint8_t format = 0;
  uint8_t layout = 1;  // 1 plain, 2 an extra block follows
  uint16_t fullWidth = 0, fullHeight = 0;
  uint16_t trimLeft = 0, trimTop = 0, trimWidth = 0, trimHeight = 0;
  int16_t anchorX = 0, anchorY = 0;
  uint16_t headerSize = kSize;
  uint32_t runSize = 0;
  uint8_t alphaMode = 0;  // 0 keyed, 1 fourth byte, 2 alpha bytes after each run, 3 cut at a threshold
};

// One line record of the run data, as walked by the readers and blitters.
struct tagLLE_Line {
  static constexpr size_t kHeadSize = 8;
  static constexpr uint8_t kLastMark = 255;
  static constexpr uint8_t kPadding = 0x70;
  int16_t runCount = 0;
  uint16_t length = 0;
  uint16_t rightMargin = 0;
  uint8_t mark = 0;
  const uint8_t* record = nullptr;  // the record's first byte
  uint16_t Skip(int32_t i) const;
  uint16_t Copy(int32_t i) const;
};

class KK_LLESprite {
 public:
  static constexpr size_t kExtraSize = 32;
  static constexpr int32_t kMaxSide = 8192;
  static constexpr size_t kMaxChunkBytes = 128u << 20;
  // Ownership flags.
  static constexpr uint32_t kOwnHeader = 1, kOwnExtra = 2, kOwnRuns = 4, kOwnBlock = 8, kBorrowed = 16;

  KK_LLESprite() = default;
  virtual ~KK_LLESprite() { Release(); }
  KK_LLESprite(const KK_LLESprite&) = delete;
  KK_LLESprite& operator=(const KK_LLESprite&) = delete;

  void Release();

  // Reads the chunk at the front of `bytes` after skipping `skip` chunks. With `convert`
  // a 32-bit sprite is converted to the current effect manager's format. `used`
  // receives the bytes consumed. 1 or 0; a failure leaves the sprite released.
  int32_t LoadFromBytes(std::span<const uint8_t> bytes, int32_t skip, int32_t convert, size_t* used = nullptr);
  // The same from a file (read access, share read); a file of several chunks is a set.
  int32_t Load(const char* fileName, int32_t skip, int32_t convert);
  int32_t SaveLLESprite(const char* fileName) const;
  // `count` consecutive chunks, each converted to the screen format; true only when all
  // were read.
  static bool LoadArray(const char* fileName, KK_LLESprite* sprites, int32_t count);
  // Uses a sprite already in memory (KS header first) without copying its runs.
  int32_t AttachMemory(const uint8_t* buffer, size_t size);
  // The chunk as SaveLLESprite writes it; empty without a header.
  std::vector<uint8_t> SaveToBytes() const;

  // Encodes `height` rows (positive: bottom-up in memory, as a DIB; negative: top-down)
  // of `pitch` bytes. `key` is a COLORREF; pixels equal to it are transparent.
  int32_t EncodeLLESprite(int32_t format, int32_t width, int32_t height, int32_t pitch, const uint8_t* bits,
                          uint32_t key);
  // 32-bit pixels cut by their fourth byte: drawn when above `threshold` (mode 3), or
  // when above 0 with the fourth byte kept as alpha (threshold < 0, mode 1). With a
  // 16-bit `format` the pixels are stored as 5-6-5 or 5-5-5 and every run is followed
  // by its fourth bytes (mode 2).
  int32_t CreateFromAlpha(int32_t width, int32_t height, int32_t pitch, const uint8_t* bits, int32_t threshold,
                          int32_t format = 32);
  // An uncompressed DIB (plain, or 16-bit with the 5-6-5 masks) encoded with a colour
  // key; its bit count must match `format`. The pitch comes from width and bit count.
  int32_t CreateFromDIB(const K_DibHeader& info, const uint8_t* bits, int32_t format, uint32_t key);
  // A GDI bitmap's pixels read in `format` (GetDIBits on the screen's DC), then
  // CreateFromDIB.
  int32_t CreateFromBitmap(HBITMAP bitmap, int32_t format, uint32_t key);
  // A BMP file read in `format`, then CreateFromDIB.
  int32_t CreateFromImageFile(const char* fileName, int32_t format, uint32_t key);
  // A 32-bit TGA encoded with its alpha (mode 1); codes 8 and 24 are refused.
  int32_t CreateFromFile(const char* fileName, int32_t format);
  int32_t ConvertFormat(int32_t target);

  void SetAnchor(int32_t x, int32_t y);
  void OffsetAnchor(int32_t dx, int32_t dy);
  void SetExtra(const uint8_t* extra32);
  bool GetBounds(int32_t* left, int32_t* top, int32_t* width, int32_t* height) const;
  bool HitTest(int32_t x, int32_t y) const;
  // Copies the drawn pixels into a flat image whose origin is the trim box's top-left.
  void Unpack(uint8_t* dst, int32_t pitch) const;
  // The alpha bytes of an alpha-mode-2 sprite, laid out like Unpack's pixels.
  void UnpackAlpha(uint8_t* dst, int32_t pitch) const;

  bool HasHeader() const { return m_hasHeader; }
  const tagLLE_Header& Header() const { return m_header; }
  const uint8_t* Extra() const { return m_hasExtra ? m_extra.data() : nullptr; }
  const uint8_t* Runs() const { return m_runs; }
  uint32_t RunSize() const { return m_hasHeader ? m_header.runSize : 0; }
  int32_t FullWidth() const { return m_hasHeader ? m_header.fullWidth : 0; }
  int32_t FullHeight() const { return m_hasHeader ? m_header.fullHeight : 0; }
  uint32_t Flags() const { return m_flags; }
  int32_t BytesPerPixel() const;

  // Line access: record `i` of the trim box, and the one after a record.
  tagLLE_Line Line(int32_t i) const;
  static tagLLE_Line ReadLine(const uint8_t* record);
  static tagLLE_Line NextLine(const tagLLE_Line& line) { return ReadLine(line.record + line.length); }
  // Bytes of one run's pixel data (pixels, alpha bytes in mode 2), before padding.
  static size_t RunDataBytes(int32_t copy, int32_t bpp, int32_t alphaMode);

  // Whether header and run data are sound; every later walk relies on this.
  static bool CheckHeader(const tagLLE_Header& header, bool extra);
  static bool CheckRuns(const tagLLE_Header& header, std::span<const uint8_t> runs);

 private:
  static bool ParseHeader(ByteReader& in, tagLLE_Header& header);
  static void WriteHeader(ByteWriter& out, const tagLLE_Header& header);
  // Reads and checks the KS header, extra block and run data; the extra block is
  // present as the chunk kind says, or as the layout byte says without a chunk.
  void UnpackBytes(uint8_t* dst, int32_t pitch, bool alpha) const;
  bool TakePayload(ByteReader& in, std::optional<bool> extraFromKind, std::span<const uint8_t>& runs);
  int32_t Encode(int32_t format, int32_t width, int32_t height, int32_t pitch, const uint8_t* bits, bool keyed,
                 uint32_t key, int32_t threshold);

  bool m_hasHeader = false;
  tagLLE_Header m_header;
  bool m_hasExtra = false;
  std::array<uint8_t, kExtraSize> m_extra{};
  std::vector<uint8_t> m_runStore;
  const uint8_t* m_runs = nullptr;
  uint32_t m_flags = 0;
};

namespace kk {
// Test and tool support: one encoded sprite chunk (a whole .qls file) from top-down
// pixels, a colour key, an anchor and an optional 32-byte extra block; empty on failure.
std::vector<uint8_t> EncodeSpriteChunk(int32_t format, int32_t width, int32_t height, int32_t pitch,
                                       const uint8_t* bits, uint32_t key, int32_t anchorX, int32_t anchorY,
                                       const uint8_t* extra32 = nullptr);
}  // namespace kk
