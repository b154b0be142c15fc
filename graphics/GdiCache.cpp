// BMP files to device bitmaps for the bitmap cache. Every size is checked in 64 bits
// before a pixel is read; 8-bit files are expanded through their palette to 24 bits,
// 16-, 24- and 32-bit rows go to GDI straight from the file's bytes.
#include "graphics/GdiCache.h"

#include <algorithm>
#include <climits>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "plat/winuser.h"

namespace {

constexpr uint64_t kBmpFileHeaderBytes = 14;
// Masks of a bit-field file follow a 40-byte header, or sit at its byte 40 in larger ones.
constexpr uint64_t kMasksAt = kBmpFileHeaderBytes + gdibmp::kMinInfoSize;
constexpr uint64_t kMasksSize = 12;
constexpr uint32_t kPaletteEntrySize = 4;
constexpr uint32_t kExpandedBits = 24;

// Bits x width rounded up to whole 4-byte words.
uint64_t RowLength(uint64_t bits, uint64_t width) { return ((bits * width + 7) / 8 + 3) & ~uint64_t{3}; }

bool AcceptedFormat(uint16_t bits, uint32_t compression) {
  if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  return compression == BI_RGB || (compression == BI_BITFIELDS && (bits == 16 || bits == 32));
}

BITMAPINFOHEADER ReadInfoHeader(const uint8_t* p) {
  BITMAPINFOHEADER h{};
  h.biSize = LoadU32(p);
  h.biWidth = static_cast<int32_t>(LoadU32(p + 4));
  h.biHeight = static_cast<int32_t>(LoadU32(p + 8));
  h.biPlanes = LoadU16(p + 12);
  h.biBitCount = LoadU16(p + 14);
  h.biCompression = LoadU32(p + 16);
  h.biSizeImage = LoadU32(p + 20);
  h.biXPelsPerMeter = static_cast<int32_t>(LoadU32(p + 24));
  h.biYPelsPerMeter = static_cast<int32_t>(LoadU32(p + 28));
  h.biClrUsed = LoadU32(p + 32);
  h.biClrImportant = LoadU32(p + 36);
  return h;
}

// Rows keep the file's order; an index past the palette the file holds is black.
void ExpandThroughPalette(std::span<const uint8_t> bytes, uint64_t paletteAt, uint64_t pixelsAt, uint64_t width,
                          uint64_t rows, GdiBmpImage& out) {
  const uint64_t room = pixelsAt > paletteAt ? (pixelsAt - paletteAt) / kPaletteEntrySize : 0;
  const uint64_t entries = std::min<uint64_t>(room, gdibmp::kMaxPaletteEntries);
  uint8_t palette[gdibmp::kMaxPaletteEntries][3] = {};
  for (uint64_t i = 0; i < entries; ++i) {
    const uint8_t* e = bytes.data() + paletteAt + i * kPaletteEntrySize;
    palette[i][0] = e[0];  // blue, green, red, as the rows want them
    palette[i][1] = e[1];
    palette[i][2] = e[2];
  }
  const uint64_t sourceRow = RowLength(8, width);
  const uint64_t targetRow = RowLength(kExpandedBits, width);
  out.expanded.assign(rows * targetRow, 0);
  for (uint64_t y = 0; y < rows; ++y) {
    const uint8_t* src = bytes.data() + pixelsAt + y * sourceRow;
    uint8_t* dst = out.expanded.data() + y * targetRow;
    for (uint64_t x = 0; x < width; ++x) {
      if (src[x] < entries) std::copy_n(palette[src[x]], 3, dst + x * 3);
    }
  }
  out.info.header.biBitCount = static_cast<WORD>(kExpandedBits);
  out.info.header.biSizeImage = static_cast<DWORD>(out.expanded.size());
  out.info.header.biClrUsed = 0;
  out.info.header.biClrImportant = 0;
  out.bits = out.expanded;
}

}  // namespace

bool ParseGdiBmp(std::span<const uint8_t> bytes, GdiBmpImage& out) {
  out = GdiBmpImage{};
  const uint64_t fileSize = bytes.size();
  if (fileSize < gdibmp::kMinFileSize) return false;
  const uint8_t* p = bytes.data();
  const uint64_t pixelsAt = LoadU32(p + 10);
  BITMAPINFOHEADER h = ReadInfoHeader(p + kBmpFileHeaderBytes);
  if (h.biSize < gdibmp::kMinInfoSize) return false;
  if (h.biWidth < 1 || h.biWidth > gdibmp::kMaxSide) return false;
  if (h.biHeight == INT32_MIN) return false;
  const uint64_t rows = static_cast<uint64_t>(h.biHeight < 0 ? -int64_t{h.biHeight} : int64_t{h.biHeight});
  if (rows < 1 || rows > static_cast<uint64_t>(gdibmp::kMaxSide)) return false;
  if (!AcceptedFormat(h.biBitCount, h.biCompression)) return false;
  const auto width = static_cast<uint64_t>(h.biWidth);
  const uint64_t sourceRow = RowLength(h.biBitCount, width);
  if (pixelsAt + rows * sourceRow > fileSize) return false;
  if (h.biCompression == BI_BITFIELDS) {
    if (kMasksAt + kMasksSize > fileSize) return false;
    for (uint64_t i = 0; i < 3; ++i) out.info.masks[i] = LoadU32(p + kMasksAt + i * 4);
  }
  const uint64_t paletteAt = kBmpFileHeaderBytes + h.biSize;
  // GDI is handed a 40-byte header, whatever size the file's was.
  h.biSize = gdibmp::kMinInfoSize;
  out.info.header = h;
  if (h.biBitCount == 8) {
    ExpandThroughPalette(bytes, paletteAt, pixelsAt, width, rows, out);
  } else {
    out.bits = bytes.subspan(pixelsAt, rows * sourceRow);
  }
  return true;
}

HBITMAP CreateBmpBitmap(std::span<const uint8_t> bytes) {
  GdiBmpImage image;
  if (!ParseGdiBmp(bytes, image)) return nullptr;
  HDC screen = GetDC(nullptr);
  if (!screen) return nullptr;
  HBITMAP made = CreateDIBitmap(screen, &image.info.header, CBM_INIT, image.bits.data(),
                                reinterpret_cast<const BITMAPINFO*>(&image.info), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return made;
}

HBITMAP LoadBmpFile(const std::string& fileName) {
  std::vector<uint8_t> bytes;
  if (!kk::ReadFileBytes(fileName.c_str(), gdibmp::kMaxFileSize, bytes)) return nullptr;
  return CreateBmpBitmap(bytes);
}
