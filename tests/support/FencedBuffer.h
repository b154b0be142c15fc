// Pixel buffers fenced by PROT_NONE guard pages (pixman's pattern): a write or read
// one byte outside the rows faults at once, under any build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace testing_support {

class FencedBuffer {
 public:
  enum class Fence { kEnds, kEveryRow };
  // `rows` rows of `rowBytes` bytes. kEnds: one block, its first byte after a guard
  // page and its last byte before one (the pitch is rowBytes, so the leading guard
  // sits a little before the first row when the size is not a page multiple).
  // kEveryRow: each row ends right at its own guard page; the pitch is larger.
  FencedBuffer(int32_t rows, int32_t rowBytes, Fence fence = Fence::kEnds);
  ~FencedBuffer();
  FencedBuffer(const FencedBuffer&) = delete;
  FencedBuffer& operator=(const FencedBuffer&) = delete;

  uint8_t* Row(int32_t y) { return m_first + ptrdiff_t(y) * m_pitch; }
  uint8_t* Bits() { return m_first; }
  int32_t Pitch() const { return m_pitch; }
  int32_t Rows() const { return m_rows; }
  int32_t RowBytes() const { return m_rowBytes; }

 private:
  uint8_t* m_map = nullptr;
  size_t m_mapSize = 0;
  uint8_t* m_first = nullptr;
  int32_t m_pitch = 0;
  int32_t m_rows = 0;
  int32_t m_rowBytes = 0;
};

}  // namespace testing_support
