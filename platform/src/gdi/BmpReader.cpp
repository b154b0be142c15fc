// BMP reading with a reader that fails once: any read past the bytes marks it failed
// and the caller checks at the end of each step.
#include "gdi/BmpReader.h"

#include <cstring>

#include "gdi/PixelBuffer.h"

namespace plat::detail::gdi {
namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr int32_t kMaxSide = 32767;

class BmpFileReader {
 public:
  BmpFileReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  uint32_t U32(size_t at) {
    if (!ok_ || at > size_ || size_ - at < 4) return ok_ = false, 0;
    return static_cast<uint32_t>(data_[at]) | (static_cast<uint32_t>(data_[at + 1]) << 8) |
           (static_cast<uint32_t>(data_[at + 2]) << 16) | (static_cast<uint32_t>(data_[at + 3]) << 24);
  }
  uint16_t U16(size_t at) {
    if (!ok_ || at > size_ || size_ - at < 2) return ok_ = false, 0;
    return static_cast<uint16_t>(data_[at] | (data_[at + 1] << 8));
  }
  int32_t I32(size_t at) { return static_cast<int32_t>(U32(at)); }

 private:
  const uint8_t* data_;
  size_t size_;
  bool ok_ = true;
};

bool Fail(DWORD& error, DWORD code) {
  error = code;
  return false;
}

bool MasksValid(const uint32_t* m, int bpp) {
  const uint64_t limit = bpp == 32 ? 0xFFFFFFFFull : ((1ull << bpp) - 1);
  for (int i = 0; i < 3; ++i) {
    if (m[i] == 0 || m[i] > limit) return false;
    const uint32_t shifted = m[i] >> __builtin_ctz(m[i]);
    if ((shifted & (shifted + 1)) != 0) return false;  // not one run of bits
  }
  return (m[0] & m[1]) == 0 && (m[0] & m[2]) == 0 && (m[1] & m[2]) == 0;
}

// `info` is the offset of the info header; `pixelsAt` the offset of the pixels, or 0
// when they follow the colour table (packed DIBs).
bool ReadInfo(const uint8_t* data, size_t size, size_t info, size_t pixelsAt, BmpImage& out, DWORD& error) {
  BmpFileReader r(data, size);
  const uint32_t headerSize = r.U32(info);
  const int32_t width = r.I32(info + 4);
  const int32_t height = r.I32(info + 8);
  const uint16_t planes = r.U16(info + 12);
  const uint16_t bpp = r.U16(info + 14);
  const uint32_t compression = r.U32(info + 16);
  const uint32_t colorsUsed = r.U32(info + 32);
  if (!r.ok()) return Fail(error, ERROR_INVALID_DATA);
  if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 && headerSize != 124)
    return Fail(error, ERROR_INVALID_DATA);
  if (headerSize > size - info) return Fail(error, ERROR_INVALID_DATA);
  if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide || planes != 1)
    return Fail(error, ERROR_INVALID_DATA);
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return Fail(error, ERROR_INVALID_DATA);
  const bool bitfields = compression == BI_BITFIELDS;
  if (compression != BI_RGB && !(bitfields && (bpp == 16 || bpp == 32))) return Fail(error, ERROR_INVALID_DATA);

  size_t tableAt = info + headerSize;
  out = BmpImage{};
  out.width = width;
  out.height = height;
  out.bpp = bpp;
  out.bitfields = bitfields;
  if (bitfields) {
    const size_t masksAt = headerSize >= 52 ? info + kInfoHeaderBytes : tableAt;
    for (int i = 0; i < 3; ++i) out.masks[i] = r.U32(masksAt + 4 * static_cast<size_t>(i));
    if (!r.ok() || !MasksValid(out.masks, bpp)) return Fail(error, ERROR_INVALID_DATA);
    if (headerSize == kInfoHeaderBytes) tableAt += 12;
  } else {
    const uint32_t* m = bpp == 16 ? kMask555 : kMask888;
    std::memcpy(out.masks, m, sizeof(out.masks));
  }
  if (bpp <= 8) {
    const uint32_t max = 1u << bpp;
    if (colorsUsed > max) return Fail(error, ERROR_INVALID_DATA);
    const uint32_t count = colorsUsed ? colorsUsed : max;
    if (tableAt > size || (size - tableAt) / 4 < count) return Fail(error, ERROR_INVALID_DATA);
    out.palette.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* q = data + tableAt + 4 * static_cast<size_t>(i);
      out.palette[i] = RGBQUAD{q[0], q[1], q[2], 0};
    }
    tableAt += 4 * static_cast<size_t>(count);
  }
  if (pixelsAt == 0) pixelsAt = tableAt;
  if (pixelsAt < tableAt) return Fail(error, ERROR_INVALID_DATA);  // pixels overlap the headers
  const int64_t stride = DibStride(width, bpp);
  const uint64_t rows = static_cast<uint64_t>(height < 0 ? -static_cast<int64_t>(height) : height);
  const uint64_t bytes = static_cast<uint64_t>(stride) * rows;
  if (pixelsAt > size || size - pixelsAt < bytes) return Fail(error, ERROR_INVALID_DATA);
  out.stride = static_cast<int32_t>(stride);
  out.pixels = data + pixelsAt;
  return true;
}

}  // namespace

bool ReadBmp(const uint8_t* data, size_t size, BmpImage& out, DWORD& error) {
  if (!data || size < kFileHeaderBytes + kInfoHeaderBytes || data[0] != 'B' || data[1] != 'M')
    return Fail(error, ERROR_BAD_FORMAT);
  BmpFileReader r(data, size);
  const uint32_t offBits = r.U32(10);
  if (!r.ok() || offBits < kFileHeaderBytes + kInfoHeaderBytes) return Fail(error, ERROR_INVALID_DATA);
  return ReadInfo(data, size, kFileHeaderBytes, offBits, out, error);
}

bool ReadPackedDib(const uint8_t* data, size_t size, BmpImage& out, DWORD& error) {
  if (!data || size < kInfoHeaderBytes) return Fail(error, ERROR_INVALID_DATA);
  return ReadInfo(data, size, 0, 0, out, error);
}

}  // namespace plat::detail::gdi
