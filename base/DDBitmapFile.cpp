// BMP bytes to a surface: every header field is checked (in 64-bit arithmetic) before
// a byte of pixels is read, then rows are converted into 5-5-5, 5-6-5 or 32-bit pixels.
#include "base/DDBitmapFile.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/ByteReader.h"
#include "base/GDDSurfaceDesc.h"
#include "plat/files.h"

namespace {

constexpr uint32_t kCompressionRgb = 0;
// Colour masks are ignored: such files are read as plain RGB.
constexpr uint32_t kCompressionBitfields = 3;
constexpr size_t kBitmapFileHeaderSize = 14;
constexpr DWORD kLoadLockFlags = DDLOCK_WAIT | DDLOCK_WRITEONLY;

enum class Target { Rgb555, Rgb565, Xrgb };

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

struct BmpLayout {
  uint32_t pixelOffset = 0;
  int32_t width = 0;
  int32_t height = 0;  // always positive here
  bool topDown = false;
  int bits = 0;
  uint64_t rowLength = 0;
  std::vector<Rgb> palette;
};

bool ValidBits(int bits) {
  return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool ReadLayout(std::span<const uint8_t> bytes, BmpLayout& out) {
  const uint64_t fileSize = bytes.size();
  if (fileSize < bmpfile::kMinFileSize) return false;
  const uint8_t* p = bytes.data();
  const uint32_t infoSize = LoadU32(p + 14);
  if (infoSize < bmpfile::kMinInfoSize || kBitmapFileHeaderSize + uint64_t{infoSize} > fileSize) return false;
  const auto width = static_cast<int32_t>(LoadU32(p + 18));
  const auto height = static_cast<int32_t>(LoadU32(p + 22));
  if (width < 1 || width > bmpfile::kMaxSide) return false;
  if (height == INT32_MIN) return false;
  const int64_t rows = height < 0 ? -int64_t{height} : height;
  if (rows < 1 || rows > bmpfile::kMaxSide) return false;
  const int bits = LoadU16(p + 28);
  if (!ValidBits(bits)) return false;
  const uint32_t compression = LoadU32(p + 30);
  if (compression != kCompressionRgb && compression != kCompressionBitfields) return false;

  out.pixelOffset = LoadU32(p + 10);
  out.width = width;
  out.height = static_cast<int32_t>(rows);
  out.topDown = height < 0;
  out.bits = bits;
  out.rowLength = ((uint64_t{static_cast<uint32_t>(bits)} * static_cast<uint64_t>(width) + 7) / 8 + 3) & ~uint64_t{3};
  if (uint64_t{out.pixelOffset} + static_cast<uint64_t>(rows) * out.rowLength > fileSize) return false;

  if (bits <= 8) {
    const uint64_t tableStart = kBitmapFileHeaderSize + uint64_t{infoSize};
    const uint64_t room = out.pixelOffset > tableStart ? (out.pixelOffset - tableStart) / 4 : 0;
    const uint64_t count = std::min<uint64_t>(uint64_t{1} << bits, room);
    out.palette.resize(count);
    for (uint64_t i = 0; i < count; ++i) {
      const uint8_t* e = p + tableStart + i * 4;
      out.palette[i] = Rgb{e[2], e[1], e[0]};
    }
  }
  return true;
}

uint32_t FromRgb(Target t, Rgb c) {
  switch (t) {
    case Target::Rgb555: return static_cast<uint32_t>(((c.r >> 3) << 10) | ((c.g >> 3) << 5) | (c.b >> 3));
    case Target::Rgb565: return static_cast<uint32_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
    case Target::Xrgb: break;
  }
  return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b;
}

// 16-bit sources are read as 5-5-5.
uint32_t From555(Target t, uint16_t v) {
  const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
  switch (t) {
    case Target::Rgb555: return v;
    case Target::Rgb565: return (r << 11) | (g << 6) | b;
    case Target::Xrgb: break;
  }
  auto widen = [](uint32_t c) { return c == 31 ? 255u : c * 8; };
  return (widen(r) << 16) | (widen(g) << 8) | widen(b);
}

Rgb PaletteEntry(const BmpLayout& bmp, uint32_t index) {
  return index < bmp.palette.size() ? bmp.palette[index] : Rgb{};
}

uint32_t SourcePixel(const BmpLayout& bmp, Target t, const uint8_t* row, int32_t x) {
  switch (bmp.bits) {
    case 24: {
      const uint8_t* s = row + static_cast<ptrdiff_t>(x) * 3;
      return FromRgb(t, Rgb{s[2], s[1], s[0]});
    }
    case 32: {
      const uint8_t* s = row + static_cast<ptrdiff_t>(x) * 4;
      return FromRgb(t, Rgb{s[2], s[1], s[0]});
    }
    case 16: return From555(t, LoadU16(row + static_cast<ptrdiff_t>(x) * 2));
    case 8: return FromRgb(t, PaletteEntry(bmp, row[x]));
    default: {  // 4 bits, high nibble first
      const uint8_t pair = row[x / 2];
      return FromRgb(t, PaletteEntry(bmp, (x % 2 == 0) ? pair >> 4 : pair & 0x0F));
    }
  }
}

void ConvertRows(const BmpLayout& bmp, std::span<const uint8_t> bytes, Target t, const GDDSurfaceDesc& desc) {
  const bool sixteen = t != Target::Xrgb;
  // The layer pads pitches; rows advance by the pitch, never by width x bytes.
  const int32_t pitch = desc.GetPitch() & (sixteen ? ~1 : ~3);
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  for (int32_t fileRow = 0; fileRow < bmp.height; ++fileRow) {
    const uint8_t* src = bytes.data() + bmp.pixelOffset + static_cast<uint64_t>(fileRow) * bmp.rowLength;
    const int32_t y = bmp.topDown ? fileRow : bmp.height - 1 - fileRow;
    uint8_t* dst = base + static_cast<ptrdiff_t>(y) * pitch;
    for (int32_t x = 0; x < bmp.width; ++x) {
      const uint32_t v = SourcePixel(bmp, t, src, x);
      if (sixteen) {
        StoreU16(dst + static_cast<ptrdiff_t>(x) * 2, static_cast<uint16_t>(v));
      } else {
        StoreU32(dst + static_cast<ptrdiff_t>(x) * 4, v);
      }
    }
  }
}

void BlankRows(const GDDSurfaceDesc& desc) {
  const size_t rowBytes = size_t{desc.dwWidth} * ((desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  for (DWORD y = 0; y < desc.dwHeight; ++y) std::memset(base + static_cast<ptrdiff_t>(y) * desc.GetPitch(), 0, rowBytes);
}

}  // namespace

HRESULT ParseBmpToSurface(const DDObject& dd, DDSurface& out, std::span<const uint8_t> bytes) {
  if (!dd || out) return S_FALSE;
  BmpLayout bmp;
  if (!ReadLayout(bytes, bmp)) return S_FALSE;

  DDSURFACEDESC2 make;
  InitSurfaceDesc(make, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, static_cast<DWORD>(bmp.width),
                  static_cast<DWORD>(bmp.height), DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
  DDSurface made;
  if (FAILED(CreateSurface(dd, made, &make)) || !made) return S_FALSE;
  GDDSurfaceDesc desc;
  if (FAILED(LockSurface(made, &desc, kLoadLockFlags))) return S_FALSE;

  const bool convertible = bmp.bits >= 4;  // 1- and 2-bit files stay blank
  const DWORD targetBits = (desc.dwFlags & DDSD_PIXELFORMAT) ? desc.ddpfPixelFormat.dwRGBBitCount : 0;
  if (!convertible || (targetBits != 16 && targetBits != 32)) {
    // Nothing to convert: the surface is left blank rather than with whatever its
    // memory held.
    BlankRows(desc);
  } else if (targetBits == 16) {
    ConvertRows(bmp, bytes, GetDisplayBitDepth(dd) == 15 ? Target::Rgb555 : Target::Rgb565, desc);
  } else {
    ConvertRows(bmp, bytes, Target::Xrgb, desc);
  }
  UnlockSurface(made, nullptr);
  out = std::move(made);
  return S_OK;
}

HRESULT LoadFileSurface(const DDObject& dd, DDSurface& out, const std::string& path) {
  FILE* file = plat::OpenCFile(path.c_str(), "rb");
  if (!file) return S_FALSE;
  std::vector<uint8_t> bytes;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long length = ok ? std::ftell(file) : -1;  // conventions: allow
  ok = ok && length >= 0 && length <= bmpfile::kMaxFileSize && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(length));
    ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
  }
  std::fclose(file);
  return ok ? ParseBmpToSurface(dd, out, bytes) : S_FALSE;
}
