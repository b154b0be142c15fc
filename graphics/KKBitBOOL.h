// A two-dimensional bit set laid out as a monochrome bitmap (rows padded to an even
// byte count, leftmost pixel in the top bit), with cropping and a small file form. The
// GIF decoder builds its transparency masks with it; a set bit is white (transparent).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "plat/gdi.h"

class KFileHandle;

struct KKPoint {
  int32_t x = 0, y = 0;
};

class KKBitBOOL {
 public:
  static constexpr int32_t kMaxSide = 65535;
  static constexpr size_t kMaxBytes = size_t(64) << 20;
  static constexpr size_t kFileHeaderSize = 8;

  KKBitBOOL() = default;
  virtual ~KKBitBOOL() = default;
  KKBitBOOL(const KKBitBOOL&) = delete;
  KKBitBOOL& operator=(const KKBitBOOL&) = delete;
  KKBitBOOL(KKBitBOOL&&) = default;
  KKBitBOOL& operator=(KKBitBOOL&&) = default;
  virtual int32_t CopyFrom(const KKBitBOOL& other);

  // Both sides at least 1; every bit clear. 0 (and an empty set) otherwise.
  int32_t Create(int32_t width, int32_t height);
  void Destroy();
  void Set(int32_t x, int32_t y);
  void Clear(int32_t x, int32_t y);
  int32_t Test(int32_t x, int32_t y) const;

  int32_t GetWidth() const { return m_width; }
  int32_t GetHeight() const { return m_height; }
  int32_t BytesPerRow() const { return m_bytesPerRow; }
  size_t TotalSize() const { return m_bits.size(); }
  const uint8_t* Bits() const { return m_bits.data(); }
  bool Empty() const { return m_bits.empty(); }

  // A new monochrome bitmap of the set (a set bit is white), owned by the caller; null
  // for an empty set or when GDI refuses.
  HBITMAP CreateMonoBitmap() const;
  // Takes a 1-bit bitmap's size and rows (read top-down through the screen's DC),
  // repacked to this set's even-byte rows; 0 for other depths or a failed read.
  int32_t FromBitmap(HBITMAP bitmap);
  int32_t CopyBitsTo(uint8_t* buffer, size_t size) const;

  // File form: width and height (u32 each), then the rows. WriteFile returns the bytes
  // written, 0 for an empty set or a failed write; ReadMemory the bytes consumed, 0 when
  // the bytes are short or the set cannot be made.
  size_t GetFileSize() const { return m_bits.size() + kFileHeaderSize; }
  size_t WriteFile(KFileHandle& file) const;
  std::vector<uint8_t> SaveToBytes() const;
  size_t ReadMemory(const uint8_t* data, size_t size);

  // The bounding box of the set bits, moved to the origin into `target` (or this set);
  // the box's origin goes to `origin`. 0 when no bit is set.
  int32_t CropTo(KKPoint& origin, KKBitBOOL& target) const;
  int32_t Crop(KKPoint& origin);

 private:
  bool Inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
  size_t ByteAt(int32_t x, int32_t y) const { return size_t(y) * size_t(m_bytesPerRow) + size_t(x / 8); }
  static uint8_t BitOf(int32_t x) { return uint8_t(0x80u >> (x & 7)); }

  std::vector<uint8_t> m_bits;
  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_bytesPerRow = 0;
};
