// The canvas's section: creation, loading from packed DIBs, BMP files, resources,
// bitmaps and device contexts, and its transfers back to GDI.
#include "graphics/XDib.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_GdiScope.h"
#include "plat/gdi_text.h"
#include "plat/module.h"
#include "plat/winuser.h"

namespace {

constexpr uint32_t kDibInfoHeaderSize = 40;
constexpr size_t kDibFileHeaderSize = 14;
constexpr size_t kMaxBmpFileBytes = size_t(64) << 20;
constexpr uint32_t kRgbMask = 0xFFFFFF;

bool SizeAllowed(int64_t w, int64_t h) {
  return w > 0 && h > 0 && w <= XDib::kMaxSide && h <= XDib::kMaxSide && w * h <= XDib::kMaxPixels;
}

int g_trueColor = 0;

}  // namespace

int32_t XDib::RowBytesFor(const BITMAPINFOHEADER& h) {
  return h.biBitCount == 8 ? h.biWidth : h.biWidth * 4;
}

uint8_t* XDib::PixelAt(int32_t x, int32_t y) {
  if (!pixels_) return nullptr;
  return pixels_ + ptrdiff_t(y) * RowBytes() + (BitCount() == 8 ? x : ptrdiff_t(x) * 4);
}

const uint8_t* XDib::PixelAt(int32_t x, int32_t y) const { return const_cast<XDib*>(this)->PixelAt(x, y); }

XDib& XDib::operator=(XDib&& other) noexcept {
  if (this == &other) return *this;
  Destroy();
  bitmap_ = std::exchange(other.bitmap_, nullptr);
  info_ = std::move(other.info_);
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  clip_ = std::exchange(other.clip_, RECT{0, 0, 0, 0});
  origin_ = std::exchange(other.origin_, POINT{0, 0});
  pixels_ = std::exchange(other.pixels_, nullptr);
  return *this;
}

void XDib::Destroy() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  info_.reset();
  width_ = height_ = 0;
  clip_ = RECT{0, 0, 0, 0};
  origin_ = POINT{0, 0};
  pixels_ = nullptr;
}

bool XDib::MakeSection(std::unique_ptr<XDibInfo> info, HDC dc) {
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, info->Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    return false;
  }
  bitmap_ = section;
  pixels_ = static_cast<uint8_t*>(bits);
  width_ = info->header.biWidth;
  height_ = -info->header.biHeight;
  info_ = std::move(info);
  clip_ = RECT{0, 0, width_, height_};
  return true;
}

int XDib::CreateDib32(SIZE size) {
  Destroy();
  if (!SizeAllowed(size.cx, size.cy)) return 0;
  auto info = std::make_unique<XDibInfo>();
  info->header = BITMAPINFOHEADER{kDibInfoHeaderSize, size.cx, -size.cy, 1, 32, BI_RGB,
                                  static_cast<DWORD>(size.cx * size.cy * 4), 0, 0, 0, 0};
  return MakeSection(std::move(info), nullptr) ? 1 : 0;
}

int XDib::CreateDib8(SIZE size, const BITMAPINFO& source) {
  Destroy();
  if (!SizeAllowed(size.cx, size.cy)) return 0;
  const BITMAPINFOHEADER& sh = source.bmiHeader;
  const uint64_t colors = sh.biClrUsed ? sh.biClrUsed : (sh.biBitCount < 32 ? uint64_t(1) << sh.biBitCount : ~uint64_t(0));
  if (colors > XDibInfo::kTableSize) return 0;
  auto info = std::make_unique<XDibInfo>();
  const int32_t rowBytes = (size.cx + 3) & ~3;
  info->header = BITMAPINFOHEADER{kDibInfoHeaderSize, rowBytes, -size.cy, 1, 8, BI_RGB,
                                  static_cast<DWORD>(rowBytes * size.cy), 0, 0, 0, 0};
  std::memcpy(info->colors, source.bmiColors, size_t(colors) * sizeof(RGBQUAD));
  KK_WindowDC desktop;
  if (!MakeSection(std::move(info), desktop.Get())) return 0;
  // The section is as wide as its rows; the canvas is as wide as asked.
  width_ = size.cx;
  clip_.right = width_;
  return 1;
}

int XDib::LoadPackedDib(std::span<const uint8_t> packed) {
  Destroy();
  ByteReader r(packed);
  const uint32_t headerSize = r.U32();
  const int32_t width = static_cast<int32_t>(r.U32());
  const int32_t height = static_cast<int32_t>(r.U32());
  r.Skip(2);
  const uint16_t bits = r.U16();
  r.Skip(16);  // compression, image size, resolutions
  const uint32_t used = r.U32();
  if (r.Failed() || headerSize < kDibInfoHeaderSize || headerSize > packed.size() || height == INT32_MIN) return 0;
  const bool bottomUp = height > 0;
  const int32_t rows = bottomUp ? height : -height;
  if (!SizeAllowed(width, rows)) return 0;
  const bool paletted = bits != 24 && bits != 32;
  const uint64_t colors = paletted ? (used ? used : (bits < 32 ? uint64_t(1) << bits : ~uint64_t(0))) : used;
  if (colors > XDibInfo::kTableSize) return 0;
  const uint64_t sourceRow = bits == 24 ? (uint64_t(width) * 3 + 3) & ~uint64_t(3)
                             : bits == 32 ? uint64_t(width) * 4
                                          : (uint64_t(width) + 3) & ~uint64_t(3);
  const uint64_t pixelStart = uint64_t(headerSize) + colors * 4;
  if (pixelStart + sourceRow * uint64_t(rows) > packed.size()) return 0;

  const uint8_t* table = packed.data() + headerSize;
  const uint8_t* rowsStart = packed.data() + pixelStart;
  auto sourceRowAt = [&](int32_t y) {
    return rowsStart + (bottomUp ? rows - 1 - y : y) * sourceRow;
  };
  if (!paletted) {
    if (!CreateDib32(SIZE{width, rows})) return 0;
    for (int32_t y = 0; y < rows; ++y) {
      const uint8_t* s = sourceRowAt(y);
      uint8_t* d = PixelAt(0, y);
      if (bits == 32) {
        std::memcpy(d, s, size_t(width) * 4);
        continue;
      }
      for (int32_t x = 0; x < width; ++x, s += 3, d += 4) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
        d[3] = 0;
      }
    }
    return 1;
  }
  XDibInfo source;
  source.header.biBitCount = 8;
  source.header.biClrUsed = static_cast<DWORD>(colors);
  std::memcpy(source.colors, table, size_t(colors) * sizeof(RGBQUAD));
  if (!CreateDib8(SIZE{width, rows}, *source.Info())) return 0;
  for (int32_t y = 0; y < rows; ++y) std::memcpy(PixelAt(0, y), sourceRowAt(y), size_t(width));
  return 1;
}

int XDib::LoadBmpFile(const char* path) {
  Destroy();
  std::vector<uint8_t> bytes;
  if (!path || !kk::ReadFileBytes(path, kMaxBmpFileBytes, bytes) || bytes.size() <= kDibFileHeaderSize) return 0;
  return LoadPackedDib(std::span<const uint8_t>(bytes).subspan(kDibFileHeaderSize));
}

int XDib::LoadBitmapResource(HMODULE module, LPCSTR name) {
  Destroy();
  HRSRC found = FindResourceA(module, name, RT_BITMAP);
  if (!found) return 0;
  HGLOBAL loaded = LoadResource(module, found);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
  if (!bytes) return 0;
  return LoadPackedDib(std::span<const uint8_t>(bytes, SizeofResource(module, found)));
}

int XDib::FromBitmap(HDC dc, HBITMAP bitmap) {
  Destroy();
  BITMAP desc{};
  if (!GetObjectA(bitmap, sizeof desc, &desc)) return 0;
  if (!CreateDib32(SIZE{desc.bmWidth, desc.bmHeight})) return 0;
  XDibInfo query = *info_;
  GetDIBits(dc, bitmap, 0, static_cast<UINT>(height_), pixels_, query.Info(), DIB_RGB_COLORS);
  return 1;
}

int XDib::FromDC(HDC dc, RECT area) {
  Destroy();
  const int32_t w = area.right - area.left, h = area.bottom - area.top;
  KK_GdiObject<HBITMAP> copy(CreateCompatibleBitmap(dc, w, h));
  if (!copy) return 0;
  {
    KK_MemoryDC memory(dc);
    if (!memory.Select(copy.Get())) return 0;
    BitBlt(memory.Get(), 0, 0, w, h, dc, area.left, area.top, SRCCOPY);
  }
  return FromBitmap(dc, copy.Get());
}

int XDib::CopyFrom(const XDib& source) {
  if (source.Empty()) return 0;
  if (!CreateDib32(SIZE{source.width_, source.height_})) return 0;
  Blit(source, POINT{0, 0}, RECT{0, 0, width_, height_});
  return 1;
}

int XDib::StretchToDC(HDC dc, RECT dest, RECT source) const {
  if (Empty()) return 0;
  return StretchDIBits(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.left,
                       source.top, source.right - source.left, source.bottom - source.top, pixels_, info_->Info(),
                       DIB_RGB_COLORS, SRCCOPY);
}

int XDib::CopyToDC(HDC dc, POINT source, RECT dest) const {
  if (Empty()) return 0;
  const int32_t w = std::min<int32_t>(width_, dest.right - dest.left);
  const int32_t h = std::min<int32_t>(height_, dest.bottom - dest.top);
  if (w <= 0 || h <= 0) return 0;
  return SetDIBitsToDevice(dc, dest.left, dest.top, static_cast<DWORD>(w), static_cast<DWORD>(h), source.x, source.y,
                           0, static_cast<UINT>(height_), pixels_, info_->Info(), DIB_RGB_COLORS);
}

int XDib::ReadFromBitmap(HDC dc, HBITMAP bitmap) {
  if (Empty()) return 0;
  XDibInfo query = *info_;
  return GetDIBits(dc, bitmap, 0, static_cast<UINT>(height_), pixels_, query.Info(), DIB_RGB_COLORS);
}

int XDib::DrawText(HDC like, RECT rect, const char* text, int length, COLORREF color, HFONT font, UINT format) {
  if (Empty()) return 0;
  KK_WindowDC desktop;
  KK_MemoryDC memory(like ? like : desktop.Get());
  if (!memory.Select(bitmap_)) return 0;
  HDC dc = memory.Get();
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc, color);
  KK_GdiObject<HRGN> clip(CreateRectRgn(clip_.left, clip_.top, clip_.right, clip_.bottom));
  SelectClipRgn(dc, clip.Get());
  RECT moved{rect.left + origin_.x, rect.top + origin_.y, rect.right + origin_.x, rect.bottom + origin_.y};
  const int drawn = DrawTextA(dc, text, length, &moved, format);
  SelectClipRgn(dc, nullptr);
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
  if (oldFont) SelectObject(dc, oldFont);
  return drawn;
}

int XDib::DrawKeyedToDC(HDC dc, POINT source, RECT dest, uint32_t key) const {
  XDib backdrop;
  if (!backdrop.FromDC(dc, dest)) return 0;
  backdrop.BlitKeyed(*this, source, RECT{0, 0, backdrop.width_, backdrop.height_}, key);
  return backdrop.CopyToDC(dc, POINT{0, 0}, dest);
}

int XDib::GetColorCount() const {
  if (!info_ || info_->header.biBitCount > 8) return 0;
  if (info_->header.biClrUsed) return static_cast<int>(info_->header.biClrUsed & 0xFFFF);
  return 1 << info_->header.biBitCount;
}

HPALETTE XDib::CreatePalette() const {
  if (!info_ || info_->header.biBitCount != 8) return nullptr;
  constexpr uint16_t kPaletteVersion = 0x300;
  std::vector<uint8_t> block(sizeof(LOGPALETTE) + (XDibInfo::kTableSize - 1) * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(block.data());
  palette->palVersion = kPaletteVersion;
  palette->palNumEntries = XDibInfo::kTableSize;
  for (int i = 0; i < XDibInfo::kTableSize; ++i) {
    const RGBQUAD& c = info_->colors[i];
    palette->palPalEntry[i] = PALETTEENTRY{c.rgbRed, c.rgbGreen, c.rgbBlue, 0};
  }
  return ::CreatePalette(palette);
}

uint32_t XDib::NearestIndex(uint32_t color) const {
  if (!info_) return 0;
  if (info_->header.biBitCount != 8) return color;
  const int r = int(color >> 16 & 0xFF), g = int(color >> 8 & 0xFF), b = int(color & 0xFF);
  int best = 0, bestDistance = 1024;
  for (int i = 0; i < XDibInfo::kTableSize; ++i) {
    const RGBQUAD& c = info_->colors[i];
    const int d = std::abs(c.rgbRed - r) + std::abs(c.rgbGreen - g) + std::abs(c.rgbBlue - b);
    if (d == 0) {
      best = i;
      break;
    }
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return uint32_t(best) << 24 | (color & kRgbMask);
}

void XDib::MakeGrey() {
  if (!info_ || info_->header.biBitCount != 8) return;
  for (RGBQUAD& c : info_->colors) {
    const auto grey = static_cast<BYTE>((3 * c.rgbRed + 6 * c.rgbGreen + c.rgbBlue) / 10);
    c.rgbRed = c.rgbGreen = c.rgbBlue = grey;
  }
}

int XDib::DetectTrueColor() {
  KK_WindowDC desktop;
  g_trueColor = GetDeviceCaps(desktop.Get(), NUMCOLORS) < 0 ? 1 : 0;
  return g_trueColor;
}

int XDib::IsTrueColor() { return g_trueColor; }
