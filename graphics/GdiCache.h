// Shared GDI objects of the resource manager: reference-counted cache entries for
// fonts, pens, brushes and BMP bitmaps keyed by their description, and the BMP reader
// that turns a file into a device bitmap for the bitmap cache.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "plat/gdi.h"
#include "plat/types.h"

// The base of every cache entry: its users are counted, and the last one deletes it.
class RefCount {
 public:
  RefCount() = default;
  RefCount(const RefCount&) = delete;
  RefCount& operator=(const RefCount&) = delete;
  virtual ~RefCount() = default;

  uint32_t refCount = 0;
};

// An entry owning one GDI object made from its key; the object dies with the entry.
template <class Key, class Handle>
class XGdiObjectEntry : public RefCount {
 public:
  using KeyType = Key;
  using HandleType = Handle;
  ~XGdiObjectEntry() override {
    if (handle) DeleteObject(handle);
  }
  Key key{};
  Handle handle = nullptr;
};

// Keyed by all 60 bytes of the LOGFONTA, the bytes after the face's terminator too.
class XFontGDIEntry : public XGdiObjectEntry<LOGFONTA, HFONT> {
 public:
  static bool KeyEquals(const LOGFONTA& a, const LOGFONTA& b);
  bool Create() { return (handle = CreateFontIndirectA(&key)) != nullptr; }
};

class XPenGDIEntry : public XGdiObjectEntry<LOGPEN, HPEN> {
 public:
  static bool KeyEquals(const LOGPEN& a, const LOGPEN& b);
  bool Create() { return (handle = CreatePenIndirect(&key)) != nullptr; }
};

class XBrushGDIEntry : public XGdiObjectEntry<LOGBRUSH, HBRUSH> {
 public:
  static bool KeyEquals(const LOGBRUSH& a, const LOGBRUSH& b);
  bool Create() { return (handle = CreateBrushIndirect(&key)) != nullptr; }
};

// Keyed by the file name, A-Z compared without case.
class XBitmapGDIEntry : public XGdiObjectEntry<std::string, HBITMAP> {
 public:
  static bool KeyEquals(const std::string& a, const std::string& b);
  bool Create() { return (handle = Load(key)) != nullptr; }
  static HBITMAP Load(const std::string& fileName);
};

namespace gdibmp {
constexpr size_t kMinFileSize = 54;
constexpr uint32_t kMinInfoSize = 40;
constexpr int32_t kMaxSide = 16384;
constexpr size_t kMaxPaletteEntries = 256;
// Files above this are refused before they are read whole.
constexpr size_t kMaxFileSize = size_t{512} << 20;
}  // namespace gdibmp

// What CreateDIBitmap is given for one BMP file: a 40-byte header (with its three
// colour masks for BI_BITFIELDS files) and the rows, either inside the file's bytes or,
// for 8-bit files, expanded through the palette to 24 bits.
struct GdiBmpImage {
  struct Info {
    BITMAPINFOHEADER header{};
    uint32_t masks[3]{};
  } info;
  std::vector<uint8_t> expanded;
  std::span<const uint8_t> bits;
};

// False for anything the checks refuse: short files, headers below 40 bytes, sides
// outside 1..16384, rows past the end of the file, depths other than 8, 16, 24 and 32,
// compressions other than plain rows (and bit fields at 16 and 32 bits).
bool ParseGdiBmp(std::span<const uint8_t> bytes, GdiBmpImage& out);
// A device bitmap of the screen's format, or null.
HBITMAP CreateBmpBitmap(std::span<const uint8_t> bytes);
HBITMAP LoadBmpFile(const std::string& fileName);
