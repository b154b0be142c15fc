// BitBlt, StretchBlt, PatBlt, TransparentBlt and the DIB transfers, all through the
// one blit engine.
#include "gdi/Blit.h"
#include "plat/error.h"

using namespace plat::detail::gdi;

namespace {

BOOL BlitBetween(HDC dest, HDC src, const BlitRequest& q) {
  std::shared_ptr<DeviceContext> d = FindDC(dest);
  if (!d) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::shared_ptr<DeviceContext> s = src ? FindDC(src) : nullptr;
  if (src && !s) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  BlitSource source;
  if (s) {
    source.pixels = &s->Target();
    source.bk = s->state.bk;
  }
  if (!Blit(*d, s ? &source : nullptr, q)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

// Source rows of a DIB are counted from its bottom line when it is bottom-up.
int64_t DibTop(const BITMAPINFO* info, int64_t firstScan, int64_t lines, int64_t ySrc, int64_t height) {
  if (info->bmiHeader.biHeight < 0) return ySrc - firstScan;
  return firstScan + lines - ySrc - height;
}

}  // namespace

BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop) {
  BlitRequest q;
  q.x = x, q.y = y, q.width = width, q.height = height;
  q.xSrc = xSrc, q.ySrc = ySrc, q.srcWidth = width, q.srcHeight = height;
  q.rop = rop;
  return BlitBetween(dest, src, q);
}

BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                int srcHeight, DWORD rop) {
  BlitRequest q;
  q.x = x, q.y = y, q.width = width, q.height = height;
  q.xSrc = xSrc, q.ySrc = ySrc, q.srcWidth = srcWidth, q.srcHeight = srcHeight;
  q.rop = rop;
  return BlitBetween(dest, src, q);
}

BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
  BlitRequest q;
  q.x = x, q.y = y, q.width = width, q.height = height;
  q.rop = rop;
  return BlitBetween(hdc, nullptr, q);
}

BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int srcWidth,
                    int srcHeight, UINT transparent) {
  if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0 || !src) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  BlitRequest q;
  q.x = x, q.y = y, q.width = width, q.height = height;
  q.xSrc = xSrc, q.ySrc = ySrc, q.srcWidth = srcWidth, q.srcHeight = srcHeight;
  q.keyed = true;
  q.key = transparent;
  return BlitBetween(dest, src, q);
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD width, DWORD height, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  std::shared_ptr<DeviceContext> d = FindDC(hdc);
  PixelBuffer view;
  if (!d || !DibView(info, usage, bits, lines, view)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int64_t w = static_cast<int64_t>(width), h = static_cast<int64_t>(height);
  BlitRequest q;
  q.x = xDest, q.y = yDest, q.width = w, q.height = h;
  q.xSrc = xSrc, q.ySrc = DibTop(info, startScan, view.height, ySrc, h);
  q.srcWidth = w, q.srcHeight = h;
  BlitSource source;
  source.pixels = &view;
  source.monoByPalette = true;
  Blit(*d, &source, q);
  return view.height;
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  std::shared_ptr<DeviceContext> d = FindDC(hdc);
  PixelBuffer view;
  if (!d || !DibView(info, usage, bits, INT32_MAX, view)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int64_t xs = xSrc, ys = ySrc, ws = srcWidth, hs = srcHeight, wd = destWidth, hd = destHeight;
  // A mirrored source is the same as a mirrored destination.
  if (ws < 0) xs += ws, ws = -ws, wd = -wd;
  if (hs < 0) ys += hs, hs = -hs, hd = -hd;
  BlitRequest q;
  q.x = xDest, q.y = yDest, q.width = wd, q.height = hd;
  q.xSrc = xs, q.ySrc = DibTop(info, 0, view.height, ys, hs), q.srcWidth = ws, q.srcHeight = hs;
  q.rop = rop;
  BlitSource source;
  source.pixels = &view;
  source.monoByPalette = true;
  if (!Blit(*d, &source, q)) return 0;
  return static_cast<int>(hs);
}
