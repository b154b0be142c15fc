// TGA and BMP reading and BMP writing of images. The BMP reader converts the file's
// depth to the requested format itself, expanding narrower channels by repeating
// their bits so that a 5-bit channel read and written back keeps its value.
#include "graphics/K_Dib_Image.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "graphics/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_FXMan.h"
#include "graphics/KK_PixelFormat.h"

namespace {

constexpr uint8_t kTgaTrueColour = 2;
constexpr uint8_t kTgaGrey = 3;
constexpr uint8_t kTgaDepth = 32;
constexpr int32_t kAlphaShift = 3;
constexpr uint8_t kBmpMagic[2] = {'B', 'M'};
constexpr uint32_t kInfoHeaderSize = 40;
// Files hold at most the pixel cap of an image plus its headers and palette.
constexpr size_t kMaxImageFileBytes = size_t(K_Dib::kMaxPixelBytes) + (size_t(1) << 20);

int32_t ReadFailed(int32_t status) {
  kk::SetStatus(status);
  return 0;
}

// One colour channel of a masked pixel, widened to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int32_t shift = 0, bits = 0;
  bool Set(uint32_t m) {
    mask = m;
    if (m == 0) return false;
    shift = std::countr_zero(m);
    const uint32_t v = m >> shift;
    bits = std::popcount(v);
    return (v & (v + 1)) == 0;  // contiguous
  }
  uint32_t Get(uint32_t px) const {
    const uint32_t v = (px & mask) >> shift;
    if (bits >= 8) return v >> (bits - 8);
    uint32_t out = 0;
    int32_t filled = 0;
    for (; filled < 8; filled += bits) out = (out << bits) | v;
    return out >> (filled - 8);
  }
};

// Packs 8-bit channels into one of the library's formats.
void StoreRgb(uint8_t* d, int32_t format, uint32_t r, uint32_t g, uint32_t b) {
  const uint32_t ref = r | (g << 8) | (b << 16);
  switch (format) {
    case kk::kFormat565: kk::StorePixel<uint16_t>(d, kk::Px565::FromRef(ref)); break;
    case kk::kFormat555: kk::StorePixel<uint16_t>(d, kk::Px555::FromRef(ref)); break;
    case kk::kFormat24: d[0] = uint8_t(b), d[1] = uint8_t(g), d[2] = uint8_t(r); break;
    default: kk::StorePixel<uint32_t>(d, kk::Px8888::FromRef(ref)); break;
  }
}

}  // namespace

int32_t K_Dib_Image::LoadTGAFromBytes(std::span<const uint8_t> bytes) {
  Release();
  kk::SetStatus(kk::kStatusReading);
  ByteReader in(bytes);
  const uint8_t idLength = in.U8();
  const uint8_t colourMapType = in.U8();
  const uint8_t type = in.U8();
  in.U16();  // first colour-map entry
  const uint16_t mapLength = in.U16();
  const uint8_t mapEntryBits = in.U8();
  in.U16(), in.U16();  // origin: rows are always taken bottom row first
  const uint16_t width = in.U16();
  const uint16_t height = in.U16();
  const uint8_t depth = in.U8();
  in.U8();  // descriptor
  in.Skip(idLength);
  if (colourMapType != 0) in.Skip(size_t(mapLength) * ((size_t(mapEntryBits) + 7) / 8));
  if (in.Failed() || (type != kTgaTrueColour && type != kTgaGrey) || depth != kTgaDepth || width == 0 ||
      height == 0)
    return ReadFailed(kk::kStatusReadFailed);
  const size_t rowBytes = size_t(width) * 4;
  if (size_t(height) * rowBytes > in.Remaining()) return ReadFailed(kk::kStatusReadFailed);
  if (!Create(width, height, kk::kFormat32)) return ReadFailed(kk::kStatusReadFailed);
  for (int32_t y = height - 1; y >= 0; --y) {
    uint8_t* row = PixelAddress(0, y);
    const auto src = in.Bytes(rowBytes);
    std::memcpy(row, src.data(), rowBytes);
    for (size_t x = 3; x < rowBytes; x += 4) row[x] = uint8_t(row[x] >> kAlphaShift);
  }
  kk::SetStatus(kk::kStatusOk);
  return 1;
}

namespace {
// The whole file for a reader, with the status of a file that could not be had.
bool ReadImageFile(const char* fileName, std::vector<uint8_t>& bytes) {
  kk::SetStatus(kk::kStatusReading);
  bool openFailed = false;
  if (kk::ReadFileBytes(fileName, kMaxImageFileBytes, bytes, &openFailed)) return true;
  kk::SetStatus(openFailed ? kk::kStatusCannotOpen : kk::kStatusReadFailed);
  return false;
}
}  // namespace

int32_t K_Dib_Image::LoadTGA(const char* fileName) {
  Release();
  std::vector<uint8_t> bytes;
  return ReadImageFile(fileName, bytes) ? LoadTGAFromBytes(bytes) : 0;
}

int32_t K_Dib_Image::LoadBMP(std::span<const uint8_t> bytes, int32_t format) {
  Release();
  kk::SetStatus(kk::kStatusReading);
  if (format == 0) format = GetPixelFormatCode();
  if (kk::BytesPerPixel(format) == 0) return ReadFailed(kk::kStatusReadFailed);
  if (bytes.size() <= kBmpFileHeaderSize + kInfoHeaderSize) return ReadFailed(kk::kStatusReadFailed);
  ByteReader in(bytes);
  const auto magic = in.Bytes(2);
  in.U32(), in.U32();  // file size, reserved
  const uint32_t offBits = in.U32();
  const uint32_t infoSize = in.U32();
  const int32_t width = int32_t(in.U32());
  const int32_t height = int32_t(in.U32());
  in.U16();  // planes
  const uint16_t bitCount = in.U16();
  const uint32_t compression = in.U32();
  in.U32(), in.U32(), in.U32();  // image size, resolution
  const uint32_t clrUsed = in.U32();
  const uint32_t clrImportant = in.U32();
  if (!std::equal(magic.begin(), magic.end(), std::begin(kBmpMagic)) || infoSize < kInfoHeaderSize ||
      clrUsed != 0 || clrImportant != 0)
    return ReadFailed(kk::kStatusReadFailed);
  const bool masked = compression == K_DibHeader::kBitFields && (bitCount == 16 || bitCount == 32);
  if (compression != K_DibHeader::kRgb && !masked) return ReadFailed(kk::kStatusReadFailed);
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return ReadFailed(kk::kStatusReadFailed);
  const int64_t rows = height < 0 ? -int64_t(height) : int64_t(height);
  if (width < 1 || width > kMaxSide || rows < 1 || rows > kMaxSide) return ReadFailed(kk::kStatusReadFailed);

  // Colour masks follow a plain 40-byte header and sit inside the larger ones.
  Channel red, green, blue;
  const size_t maskAt = kBmpFileHeaderSize + kInfoHeaderSize;
  if (masked) {
    if (maskAt + kBmpMaskBytes > bytes.size()) return ReadFailed(kk::kStatusReadFailed);
    if (!red.Set(LoadU32(&bytes[maskAt])) || !green.Set(LoadU32(&bytes[maskAt + 4])) ||
        !blue.Set(LoadU32(&bytes[maskAt + 8])))
      return ReadFailed(kk::kStatusReadFailed);
  } else if (bitCount == 16) {
    red.Set(0x7C00), green.Set(0x03E0), blue.Set(0x001F);
  } else {
    red.Set(0xFF0000), green.Set(0xFF00), blue.Set(0xFF);
  }
  const size_t paletteAt = kBmpFileHeaderSize + size_t(infoSize) + (masked && infoSize == kInfoHeaderSize ? kBmpMaskBytes : 0);
  const size_t paletteEntries = bitCount <= 8 ? size_t(1) << bitCount : 0;
  if (paletteAt > bytes.size() || paletteEntries * 4 > bytes.size() - paletteAt) return ReadFailed(kk::kStatusReadFailed);
  const uint8_t* palette = bytes.data() + paletteAt;
  const uint64_t srcPitch = ((uint64_t(width) * bitCount + 31) / 32) * 4;
  if (offBits < paletteAt + paletteEntries * 4 || offBits > bytes.size() ||
      srcPitch * uint64_t(rows) > bytes.size() - offBits)
    return ReadFailed(kk::kStatusReadFailed);

  if (!Create(width, int32_t(rows), format, 1)) return ReadFailed(kk::kStatusReadFailed);
  for (int32_t y = 0; y < m_height; ++y) {
    const int64_t srcRow = height > 0 ? rows - 1 - y : y;
    const uint8_t* s = bytes.data() + offBits + size_t(srcRow) * size_t(srcPitch);
    uint8_t* d = PixelAddress(0, y);
    for (int32_t x = 0; x < width; ++x, d += m_bpp) {
      uint32_t r, g, b;
      if (bitCount <= 8) {
        const size_t bit = size_t(x) * bitCount;
        const uint32_t index = (uint32_t(s[bit / 8]) >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
        const uint8_t* e = palette + size_t(index) * 4;
        b = e[0], g = e[1], r = e[2];
      } else {
        const uint8_t* p = s + size_t(x) * (bitCount / 8);
        const uint32_t v = bitCount == 16 ? LoadU16(p) : bitCount == 24 ? uint32_t(p[0] | p[1] << 8 | p[2] << 16) : LoadU32(p);
        r = red.Get(v), g = green.Get(v), b = blue.Get(v);
      }
      StoreRgb(d, format, r, g, b);
    }
  }
  kk::SetStatus(kk::kStatusOk);
  return 1;
}

int32_t K_Dib_Image::LoadBMPFile(const char* fileName, int32_t format) {
  Release();
  std::vector<uint8_t> bytes;
  return ReadImageFile(fileName, bytes) ? LoadBMP(bytes, format) : 0;
}

std::vector<uint8_t> K_Dib_Image::SaveBMPToBytes() const {
  std::vector<uint8_t> out;
  if (!m_bits || !m_header) return out;
  const K_DibHeader& h = *m_header;
  const uint32_t masks = h.biCompression == K_DibHeader::kBitFields ? uint32_t(kBmpMaskBytes) : 0;
  const uint32_t offBits = uint32_t(kBmpFileHeaderSize) + kInfoHeaderSize + masks;
  ByteWriter w(out);
  w.Bytes(kBmpMagic);
  w.U32(offBits + h.biSizeImage);
  w.U32(0);
  w.U32(offBits);
  w.U32(kInfoHeaderSize);
  w.U32(uint32_t(h.biWidth));
  w.U32(uint32_t(h.biHeight));
  w.U16(h.biPlanes);
  w.U16(h.biBitCount);
  w.U32(h.biCompression);
  w.U32(h.biSizeImage);
  w.U32(uint32_t(h.biXPelsPerMeter));
  w.U32(uint32_t(h.biYPelsPerMeter));
  w.U32(h.biClrUsed);
  w.U32(h.biClrImportant);
  if (masks)
    for (uint32_t m : h.masks) w.U32(m);
  for (int32_t y = 0; y < m_height; ++y) w.Bytes(std::span<const uint8_t>(m_bits + ptrdiff_t(y) * m_pitch, size_t(m_pitch)));
  return out;
}

int32_t K_Dib_Image::SaveBMP(const char* fileName) const {
  kk::SetStatus(kk::kStatusWriting);
  const std::vector<uint8_t> bytes = SaveBMPToBytes();
  if (bytes.empty() || !kk::WriteFileBytes(fileName, bytes)) return 0;
  kk::SetStatus(kk::kStatusOk);
  return 1;
}
