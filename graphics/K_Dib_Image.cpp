// TGA and BMP reading and BMP writing of images. A BMP's header, palette and rows are
// checked against the data before GDI is handed them to convert the file's depth into
// the image's format.
#include "graphics/K_Dib_Image.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_FXMan.h"
#include "base/PixelFormat.h"
#include "graphics/K_DibDC.h"

namespace {

constexpr uint8_t kTgaTrueColour = 2;
constexpr uint8_t kTgaGrey = 3;
constexpr uint8_t kTgaDepth = 32;
constexpr int32_t kAlphaShift = 3;
constexpr size_t kTgaBytesPerPixel = 4;
constexpr uint8_t kBmpMagic[2] = {'B', 'M'};
constexpr uint32_t kInfoHeaderSize = 40;
constexpr size_t kMaxPaletteEntries = 256;
// Files hold at most the pixel cap of an image plus its headers and palette.
constexpr size_t kMaxImageFileBytes = size_t(K_Dib::kMaxPixelBytes) + (size_t(1) << 20);

int32_t ReadFailed(int32_t status) {
  kk::SetStatus(status);
  return 0;
}

// The fields of a TGA header the reader uses.
struct TgaHeader {
  uint8_t idLength = 0, colourMapType = 0, type = 0, mapEntryBits = 0, depth = 0;
  uint16_t mapLength = 0, width = 0, height = 0;

  // Bytes between the header and the pixels: the ID field and the colour map.
  size_t Preamble() const {
    return size_t(idLength) + (colourMapType != 0 ? size_t(mapLength) * ((size_t(mapEntryBits) + 7) / 8) : 0);
  }
  size_t RowBytes() const { return size_t(width) * kTgaBytesPerPixel; }
  size_t PixelBytes() const { return size_t(height) * RowBytes(); }
  bool Readable() const {
    return (type == kTgaTrueColour || type == kTgaGrey) && depth == kTgaDepth && width != 0 && height != 0;
  }
};

bool ParseTgaHeader(std::span<const uint8_t> bytes, TgaHeader& h) {
  ByteReader in(bytes);
  h.idLength = in.U8();
  h.colourMapType = in.U8();
  h.type = in.U8();
  in.U16();  // first colour-map entry
  h.mapLength = in.U16();
  h.mapEntryBits = in.U8();
  in.U16(), in.U16();  // origin: rows are always taken bottom row first
  h.width = in.U16();
  h.height = in.U16();
  h.depth = in.U8();
  in.U8();  // descriptor
  return !in.Failed() && h.Readable();
}

// Alpha is kept as 0..31 throughout the sprite library.
void KeepAlphaTopBits(K_Dib& image) {
  for (int32_t y = 0; y < image.Height(); ++y) {
    uint8_t* row = image.PixelAddress(0, y);
    for (size_t x = 3; x < size_t(image.Width()) * kTgaBytesPerPixel; x += kTgaBytesPerPixel)
      row[x] = uint8_t(row[x] >> kAlphaShift);
  }
}

bool ContiguousMask(uint32_t mask) {
  if (mask == 0) return false;
  const uint32_t v = mask >> std::countr_zero(mask);
  return (v & (v + 1)) == 0;
}

// A file's description as GDI reads it: a plain 40-byte header followed by the colour
// masks or the palette.
struct FileDibInfo {
  BITMAPINFOHEADER header;
  uint8_t table[kMaxPaletteEntries * sizeof(RGBQUAD)];
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(&header); }
};

}  // namespace

int32_t K_Dib_Image::LoadTGAFromBytes(std::span<const uint8_t> bytes) {
  Release();
  kk::SetStatus(kk::kStatusReading);
  TgaHeader h;
  if (!ParseTgaHeader(bytes.first(std::min(bytes.size(), kTgaHeaderSize)), h)) return ReadFailed(kk::kStatusReadFailed);
  ByteReader in(bytes);
  in.Skip(kTgaHeaderSize + h.Preamble());
  if (in.Failed() || h.PixelBytes() > in.Remaining()) return ReadFailed(kk::kStatusReadFailed);
  if (!Create(h.width, h.height, kk::kFormat32)) return ReadFailed(kk::kStatusReadFailed);
  for (int32_t y = h.height - 1; y >= 0; --y) std::memcpy(PixelAddress(0, y), in.Bytes(h.RowBytes()).data(), h.RowBytes());
  KeepAlphaTopBits(*this);
  kk::SetStatus(kk::kStatusOk);
  return 1;
}

int32_t K_Dib_Image::LoadTGA(KFileHandle& file) {
  Release();
  if (!file.IsOpen()) return ReadFailed(kk::kStatusCannotOpen);
  kk::SetStatus(kk::kStatusReading);
  uint8_t head[kTgaHeaderSize];
  TgaHeader h;
  if (file.Read(head, int32_t(sizeof head)) != int32_t(sizeof head) || !ParseTgaHeader(head, h))
    return ReadFailed(kk::kStatusReadFailed);
  // Sizes announced by a short file fail before any pixels are made.
  const int64_t left = file.Remaining();
  if (left < 0 || uint64_t(left) < uint64_t(h.Preamble()) + h.PixelBytes()) return ReadFailed(kk::kStatusReadFailed);
  uint8_t skip[4096];
  for (size_t rest = h.Preamble(); rest > 0;) {
    const int32_t n = int32_t(std::min(rest, sizeof skip));
    if (file.Read(skip, n) != n) return ReadFailed(kk::kStatusReadFailed);
    rest -= size_t(n);
  }
  if (!Create(h.width, h.height, kk::kFormat32)) return ReadFailed(kk::kStatusReadFailed);
  for (int32_t y = h.height - 1; y >= 0; --y) {
    if (file.Read(PixelAddress(0, y), int32_t(h.RowBytes())) != int32_t(h.RowBytes())) {
      Release();
      return ReadFailed(kk::kStatusReadFailed);
    }
  }
  KeepAlphaTopBits(*this);
  kk::SetStatus(kk::kStatusOk);
  return 1;
}

int32_t K_Dib_Image::LoadTGA(const char* fileName) {
  Release();
  kk::SetStatus(kk::kStatusReading);
  KFileHandle file;
  if (!file.Open(fileName, KFileHandle::kRead | KFileHandle::kShareRead)) return ReadFailed(kk::kStatusCannotOpen);
  return LoadTGA(file);
}

int32_t K_Dib_Image::LoadBMP(std::span<const uint8_t> bytes, int32_t format) {
  Release();
  kk::SetStatus(kk::kStatusReading);
  if (format == kk::kFormatNone) format = GetPixelFormatCode();
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
  const bool masked = compression == BI_BITFIELDS && (bitCount == 16 || bitCount == 32);
  if (compression != BI_RGB && !masked) return ReadFailed(kk::kStatusReadFailed);
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    return ReadFailed(kk::kStatusReadFailed);
  const int64_t rows = height < 0 ? -int64_t(height) : int64_t(height);
  if (width < 1 || width > kMaxSide || rows < 1 || rows > kMaxSide) return ReadFailed(kk::kStatusReadFailed);

  FileDibInfo info{};
  info.header = {kInfoHeaderSize, width, height, 1, bitCount, compression, 0, 0, 0, 0, 0};
  // Colour masks follow a plain 40-byte header and sit inside the larger ones.
  const size_t maskAt = kBmpFileHeaderSize + kInfoHeaderSize;
  if (masked) {
    if (maskAt + kBmpMaskBytes > bytes.size()) return ReadFailed(kk::kStatusReadFailed);
    for (size_t i = 0; i < kBmpMaskBytes; i += 4) {
      const uint32_t mask = LoadU32(&bytes[maskAt + i]);
      if (!ContiguousMask(mask)) return ReadFailed(kk::kStatusReadFailed);
      StoreU32(&info.table[i], mask);
    }
  }
  const size_t paletteAt = kBmpFileHeaderSize + size_t(infoSize) + (masked && infoSize == kInfoHeaderSize ? kBmpMaskBytes : 0);
  const size_t paletteEntries = bitCount <= 8 ? size_t(1) << bitCount : 0;
  if (paletteAt > bytes.size() || paletteEntries * sizeof(RGBQUAD) > bytes.size() - paletteAt)
    return ReadFailed(kk::kStatusReadFailed);
  std::copy_n(bytes.data() + paletteAt, paletteEntries * sizeof(RGBQUAD), info.table);
  const uint64_t srcPitch = ((uint64_t(width) * bitCount + 31) / 32) * 4;
  if (offBits < paletteAt + paletteEntries * sizeof(RGBQUAD) || offBits > bytes.size() ||
      srcPitch * uint64_t(rows) > bytes.size() - offBits)
    return ReadFailed(kk::kStatusReadFailed);

  if (!Create(width, int32_t(rows), format, 1)) return ReadFailed(kk::kStatusReadFailed);
  int32_t copied = 0;
  {
    K_DibDC dc;
    if (HDC memory = dc.Select(m_bitmap))
      copied = SetDIBitsToDevice(memory, 0, 0, DWORD(width), DWORD(rows), 0, 0, 0, UINT(rows),
                                 bytes.data() + offBits, info.Info(), DIB_RGB_COLORS);
  }
  if (copied != rows) {
    Release();
    return ReadFailed(kk::kStatusReadFailed);
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

int32_t K_Dib_Image::LoadBMPFile(const char* fileName, int32_t format) {
  Release();
  std::vector<uint8_t> bytes;
  return ReadImageFile(fileName, bytes) ? LoadBMP(bytes, format) : 0;
}

std::vector<uint8_t> K_Dib_Image::SaveBMPToBytes() const {
  std::vector<uint8_t> out;
  if (!m_bits || !m_header) return out;
  const K_DibHeader& h = *m_header;
  const uint32_t masks = h.biCompression == BI_BITFIELDS ? uint32_t(kBmpMaskBytes) : 0;
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
