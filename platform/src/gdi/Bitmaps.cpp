// Bitmap creation (device-dependent, compatible, DIB sections) and GetDIBits.
#include <algorithm>
#include <cstring>

#include "core/Faults.h"
#include "gdi/Blit.h"
#include "gdi/DeviceContext.h"
#include "plat/error.h"

namespace plat::detail::gdi {

// A new bitmap in the format of `like` (its depth, masks and palette).
std::shared_ptr<BitmapObject> NewBitmapLike(const PixelBuffer& like, int32_t width, int32_t height) {
  std::shared_ptr<BitmapObject> bm = NewBitmap(width, height, like.bpp, like.masks);
  if (bm && like.bpp <= 8) bm->pixels.palette = like.palette;
  return bm;
}

// The format a DC's compatible bitmaps get: a memory DC's current bitmap (monochrome
// on a fresh one, as GDI), a surface's own format, else the display's. No DC:
// monochrome.
const PixelBuffer& CompatibleFormat(HDC hdc) {
  static const PixelBuffer* mono = [] {
    auto* p = new PixelBuffer;
    SetFormat(*p, 1, 1, 1, nullptr);
    return p;
  }();
  std::shared_ptr<DeviceContext> dc = hdc ? FindDC(hdc) : nullptr;
  if (!dc) return *mono;
  if (dc->kind == DeviceContext::Kind::Memory) return dc->state.bitmap->pixels;
  if (dc->kind == DeviceContext::Kind::Surface) return dc->surface;
  return DisplayFormat();
}

}  // namespace plat::detail::gdi

using namespace plat::detail::gdi;

namespace {

constexpr int kMonoRowAlign = 16;  // CreateBitmap rows are padded to 16 bits

bool ValidDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32; }

HBITMAP Publish(std::shared_ptr<BitmapObject> bm) {
  if (!bm) return nullptr;
  return static_cast<HBITMAP>(InsertObject(std::move(bm)));
}

}  // namespace

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || !ValidDepth(static_cast<int>(bitsPerPixel)) || width < 0 || height < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (width == 0 || height == 0) width = height = 1, bitsPerPixel = 1, bits = nullptr;
  std::shared_ptr<BitmapObject> bm = NewBitmap(width, height, static_cast<int>(bitsPerPixel), nullptr);
  if (!bm) return nullptr;
  if (bits) {
    const size_t inRow = static_cast<size_t>((static_cast<int64_t>(width) * bitsPerPixel + kMonoRowAlign - 1) /
                                             kMonoRowAlign * (kMonoRowAlign / 8));
    const size_t copy = std::min(inRow, static_cast<size_t>(bm->pixels.stride));
    for (int32_t y = 0; y < height; ++y)
      std::memcpy(bm->pixels.Row(y), static_cast<const uint8_t*>(bits) + inRow * static_cast<size_t>(y), copy);
  }
  return Publish(std::move(bm));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (!FindDC(hdc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (plat::detail::ShouldFail("CreateCompatibleBitmap")) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (width == 0 || height == 0) return CreateBitmap(1, 1, 1, 1, nullptr);
  return Publish(NewBitmapLike(CompatibleFormat(hdc), width, height));
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
  if (!header || header->biWidth <= 0 || header->biHeight == 0 || header->biHeight == INT32_MIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const int32_t height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  std::shared_ptr<BitmapObject> bm = NewBitmapLike(CompatibleFormat(hdc), header->biWidth, height);
  if (!bm) return nullptr;
  if (init & CBM_INIT) {
    PixelBuffer view;
    if (!DibView(info, usage, bits, height, view)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    CopyScaled(view, bm->pixels);
  }
  return Publish(std::move(bm));
}

HBITMAP CreateDIBSection(HDC /*hdc*/, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD /*offset*/) {
  if (bits) *bits = nullptr;
  static const uint8_t probe[4] = {};
  PixelBuffer format;
  if (section || !DibView(info, usage, probe, 1, format) || info->bmiHeader.biHeight == INT32_MIN ||
      plat::detail::ShouldFail("CreateDIBSection")) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int32_t height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  std::shared_ptr<BitmapObject> bm = NewBitmap(h.biWidth, height, h.biBitCount, format.masks);
  if (!bm) return nullptr;
  bm->pixels.palette = format.palette;
  bm->pixels.topDown = h.biHeight < 0;
  bm->dibSection = true;
  bm->dibHeader = h;
  bm->dibHeader.biSize = sizeof(BITMAPINFOHEADER);
  // The system describes a section by its count of rows, whatever their order: a
  // top-down section's description cannot be told from a bottom-up one's.
  bm->dibHeader.biHeight = height;
  bm->dibHeader.biSizeImage = static_cast<DWORD>(bm->pixels.ByteSize());
  if (bits) *bits = bm->pixels.bits;
  return Publish(std::move(bm));
}

int GetDIBits(HDC hdc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
  std::shared_ptr<BitmapObject> bm = FindAs<BitmapObject>(bitmap, GdiType::Bitmap);
  if (!FindDC(hdc) || !bm || !info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const PixelBuffer& px = bm->pixels;
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (h.biBitCount == 0) {
    // Describe the bitmap itself.
    h.biWidth = px.width;
    h.biHeight = px.height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(px.bpp);
    h.biCompression = (px.bpp == 16 && px.masks[1] != kMask555[1]) ? BI_BITFIELDS : BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(px.width, px.bpp) * px.height);
    h.biClrUsed = 0;
    if (!bits) return px.height;
  }
  PixelBuffer out;
  static const uint8_t probe[4] = {};
  if (!DibView(info, usage, bits ? bits : probe, 1, out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int64_t height = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
  h.biSizeImage = static_cast<DWORD>(out.stride * height);
  // The colour table handed back: the bitmap's own when the depths match, black and
  // white for one bit, else a 3-3-2 colour cube (8 bits) or a grey ramp (4 bits).
  if (out.bpp <= 8) {
    const size_t n = size_t{1} << out.bpp;
    out.palette.resize(n);
    if (px.bpp == out.bpp && px.palette.size() <= n) {
      std::fill(out.palette.begin(), out.palette.end(), RGBQUAD{0, 0, 0, 0});
      std::copy(px.palette.begin(), px.palette.end(), out.palette.begin());
    } else if (out.bpp == 1) {
      out.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
    } else {
      for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<uint32_t>(i);
        out.palette[i] = out.bpp == 8 ? RGBQUAD{static_cast<BYTE>((c & 3) * 85), static_cast<BYTE>(((c >> 2) & 7) * 255 / 7),
                                                static_cast<BYTE>(((c >> 5) & 7) * 255 / 7), 0}
                                      : RGBQUAD{static_cast<BYTE>(c * 17), static_cast<BYTE>(c * 17), static_cast<BYTE>(c * 17), 0};
      }
    }
    std::memcpy(reinterpret_cast<uint8_t*>(info) + h.biSize, out.palette.data(), n * sizeof(RGBQUAD));
  }
  if (!bits) return static_cast<int>(lines);
  // Scan lines in memory order: from the bottom for bottom-up DIBs.
  out.height = static_cast<int32_t>(std::min<int64_t>(lines, height));
  out.topDown = true;
  const bool bottomUp = h.biHeight > 0;
  const int32_t n = std::min(px.width, out.width);
  int copied = 0;
  for (int32_t i = 0; i < out.height; ++i) {
    const int64_t scan = static_cast<int64_t>(start) + i;
    if (scan >= height) break;
    const int64_t row = bottomUp ? height - 1 - scan : scan;
    if (row < px.height) CopyRow(px, static_cast<int32_t>(row), out, i, n);
    ++copied;
  }
  return copied;
}
