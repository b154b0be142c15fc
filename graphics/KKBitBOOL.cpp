// The bit set behind the GIF decoder's masks: monochrome-bitmap rows, cropping, and
// its width-height-bits file form.
#include "graphics/KKBitBOOL.h"

#include <algorithm>
#include <cstring>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_GdiScope.h"

int32_t KKBitBOOL::Create(int32_t width, int32_t height) {
  Destroy();
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
  const int32_t perRow = ((width + 15) / 16) * 2;  // monochrome rows are whole 16-bit words
  const size_t total = size_t(perRow) * size_t(height);
  if (total > kMaxBytes) return 0;
  m_bits.assign(total, 0);
  m_width = width;
  m_height = height;
  m_bytesPerRow = perRow;
  return 1;
}

void KKBitBOOL::Destroy() {
  m_bits.clear();
  m_bits.shrink_to_fit();
  m_width = m_height = m_bytesPerRow = 0;
}

int32_t KKBitBOOL::CopyFrom(const KKBitBOOL& other) {
  if (&other == this) return m_bits.empty() ? 0 : 1;
  if (!Create(other.m_width, other.m_height)) return 0;
  m_bits = other.m_bits;
  return 1;
}

void KKBitBOOL::Set(int32_t x, int32_t y) {
  if (Inside(x, y)) m_bits[ByteAt(x, y)] |= BitOf(x);
}

void KKBitBOOL::Clear(int32_t x, int32_t y) {
  if (Inside(x, y)) m_bits[ByteAt(x, y)] &= uint8_t(~BitOf(x));
}

int32_t KKBitBOOL::Test(int32_t x, int32_t y) const {
  return Inside(x, y) && (m_bits[ByteAt(x, y)] & BitOf(x)) ? 1 : 0;
}

HBITMAP KKBitBOOL::CreateMonoBitmap() const {
  if (m_bits.empty()) return nullptr;
  // The set's rows are already whole 16-bit words, the row rule of CreateBitmap.
  return CreateBitmap(m_width, m_height, 1, 1, m_bits.data());
}

int32_t KKBitBOOL::FromBitmap(HBITMAP bitmap) {
  BITMAP info{};
  if (!bitmap || GetObjectA(bitmap, sizeof info, &info) < int(sizeof info) || info.bmBitsPixel != 1 ||
      info.bmPlanes != 1)
    return 0;
  const int32_t width = info.bmWidth, height = info.bmHeight;
  const int32_t readRow = ((info.bmWidthBytes + 3) / 4) * 4;  // DIB rows are whole 32-bit words
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || readRow * 8 < width) return 0;
  if (size_t(readRow) * size_t(height) > kMaxBytes) return 0;
  std::vector<uint8_t> rows(size_t(readRow) * size_t(height));
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } request{};
  request.header.biSize = sizeof(BITMAPINFOHEADER);
  request.header.biWidth = width;
  request.header.biHeight = -height;  // rows top-down
  request.header.biPlanes = 1;
  request.header.biBitCount = 1;
  request.header.biCompression = BI_RGB;
  KK_WindowDC screen;
  if (!screen || GetDIBits(screen.Get(), bitmap, 0, UINT(height), rows.data(),
                           reinterpret_cast<BITMAPINFO*>(&request), DIB_RGB_COLORS) != height)
    return 0;
  if (!Create(width, height)) return 0;
  // Rows are repacked to this set's own row size so that the file form reads back.
  const size_t rowBytes = size_t((m_width + 7) / 8);
  for (int32_t y = 0; y < m_height; ++y)
    std::memcpy(&m_bits[size_t(y) * size_t(m_bytesPerRow)], &rows[size_t(y) * size_t(readRow)], rowBytes);
  // Bits past the width are not part of the set.
  if (m_width % 8)
    for (int32_t y = 0; y < m_height; ++y) m_bits[ByteAt(m_width - 1, y)] &= uint8_t(0xFF00u >> (m_width % 8));
  return 1;
}

int32_t KKBitBOOL::CopyBitsTo(uint8_t* buffer, size_t size) const {
  if (!buffer || size < m_bits.size()) return 0;
  std::copy(m_bits.begin(), m_bits.end(), buffer);
  return 1;
}

std::vector<uint8_t> KKBitBOOL::SaveToBytes() const {
  std::vector<uint8_t> out;
  if (m_bits.empty()) return out;
  ByteWriter w(out);
  w.U32(uint32_t(m_width));
  w.U32(uint32_t(m_height));
  w.Bytes(m_bits);
  return out;
}

size_t KKBitBOOL::WriteFile(KFileHandle& file) const {
  const std::vector<uint8_t> bytes = SaveToBytes();
  if (bytes.empty() || !file.Write(bytes.data(), int32_t(bytes.size()))) return 0;
  return bytes.size();
}

size_t KKBitBOOL::ReadMemory(const uint8_t* data, size_t size) {
  Destroy();
  if (!data) return 0;
  ByteReader in(std::span<const uint8_t>(data, size));
  const uint32_t width = in.U32(), height = in.U32();
  if (in.Failed() || width > uint32_t(kMaxSide) || height > uint32_t(kMaxSide)) return 0;
  if (!Create(int32_t(width), int32_t(height))) return 0;
  const auto bits = in.Bytes(m_bits.size());
  if (in.Failed()) {
    Destroy();
    return 0;
  }
  std::copy(bits.begin(), bits.end(), m_bits.begin());
  return in.Position();
}

int32_t KKBitBOOL::CropTo(KKPoint& origin, KKBitBOOL& target) const {
  int32_t left = m_width, top = m_height, right = -1, bottom = -1;
  for (int32_t y = 0; y < m_height; ++y)
    for (int32_t x = 0; x < m_width; ++x)
      if (Test(x, y)) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  if (right < 0) return 0;
  KKBitBOOL box;
  if (!box.Create(right - left + 1, bottom - top + 1)) return 0;
  for (int32_t y = top; y <= bottom; ++y)
    for (int32_t x = left; x <= right; ++x)
      if (Test(x, y)) box.Set(x - left, y - top);
  origin = {left, top};
  target.m_bits = std::move(box.m_bits);
  target.m_width = box.m_width;
  target.m_height = box.m_height;
  target.m_bytesPerRow = box.m_bytesPerRow;
  return 1;
}

int32_t KKBitBOOL::Crop(KKPoint& origin) { return CropTo(origin, *this); }
