// Single pixels of surfaces through a lock, and a colour's raw value through GDI.
#include "base/DDSurfacePixel.h"

#include "base/GDDSurfaceDesc.h"

namespace {

// Bits per pixel as the pixel functions see them: both 16-bit layouts count as 16, an
// unknown 16-bit layout as 0 (nothing is read or written then).
int PixelBits(const GDDSurfaceDesc& desc) {
  const int depth = desc.GetBitDepth();
  return depth == 15 ? 16 : depth;
}

// The pixel's address inside the locked memory, or null outside the surface.
uint8_t* PixelAddress(const GDDSurfaceDesc& desc, int bits, int32_t x, int32_t y) {
  if (static_cast<uint32_t>(x) >= desc.dwWidth || static_cast<uint32_t>(y) >= desc.dwHeight) return nullptr;
  auto* base = static_cast<uint8_t*>(desc.lpSurface);
  return base + static_cast<ptrdiff_t>(x) * (bits / 8) + static_cast<ptrdiff_t>(y) * desc.GetPitch();
}

DWORD ReadRaw(const uint8_t* p, int bits) {
  switch (bits) {
    case 8: return p[0];
    case 16: return static_cast<DWORD>(p[0] | (p[1] << 8));
    case 24: return static_cast<DWORD>(p[0] | (p[1] << 8) | (p[2] << 16));
    default: return static_cast<DWORD>(p[0]) | (static_cast<DWORD>(p[1]) << 8) | (static_cast<DWORD>(p[2]) << 16) |
                    (static_cast<DWORD>(p[3]) << 24);
  }
}

void WriteRaw(uint8_t* p, int bits, DWORD v) {
  const int bytes = bits == 8 ? 1 : bits == 16 ? 2 : bits == 24 ? 3 : 4;
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

GSize GetSurfaceSize(const DDSurface& surface) {
  SIZE size{};
  return SUCCEEDED(QuerySurfaceSize(surface, &size)) ? GSize(size) : GSize();
}

HRESULT GetSurfaceRect(const DDSurface& surface, RECT* rect) {
  if (!surface) return E_POINTER;
  if (!rect) return E_INVALIDARG;
  SIZE size{};
  const HRESULT hr = QuerySurfaceSize(surface, &size);
  if (SUCCEEDED(hr)) *rect = RECT{0, 0, size.cx, size.cy};
  return hr;
}

GRect GetSurfaceRectOf(const DDSurface& surface) {
  RECT r{};
  return surface && SUCCEEDED(GetSurfaceRect(surface, &r)) ? GRect(r) : GRect();
}

HRESULT GetSurfacePixel(const DDSurface& surface, int32_t x, int32_t y, DWORD* value) {
  if (!surface) return E_POINTER;
  if (!value) return E_INVALIDARG;
  *value = kNoPixel;
  GDDSurfaceDesc desc;
  const HRESULT hr = LockSurface(surface, &desc, DDLOCK_WAIT);
  if (FAILED(hr)) return hr;
  const int bits = PixelBits(desc);
  if (bits != 0) {
    if (const uint8_t* p = PixelAddress(desc, bits, x, y)) *value = ReadRaw(p, bits);
  }
  return UnlockSurface(surface, nullptr);
}

HRESULT SetSurfacePixel(const DDSurface& surface, int32_t x, int32_t y, DWORD value) {
  if (!surface) return E_POINTER;
  GDDSurfaceDesc desc;
  if (FAILED(LockSurface(surface, &desc, DDLOCK_WAIT))) return S_OK;
  const int bits = PixelBits(desc);
  if (bits != 0) {
    if (uint8_t* p = PixelAddress(desc, bits, x, y)) WriteRaw(p, bits, value);
  }
  UnlockSurface(surface, nullptr);
  return S_OK;
}

DWORD MatchSurfaceColor(const DDSurface& surface, COLORREF color) {
  if (color == kNoPixel) return kNoPixel;
  DWORD saved = kNoPixel;
  if (FAILED(GetSurfacePixel(surface, 0, 0, &saved))) return kNoPixel;
  if (FAILED(SetSurfacePixelGDI(surface, 0, 0, color))) return kNoPixel;
  DWORD match = kNoPixel;
  if (FAILED(GetSurfacePixel(surface, 0, 0, &match))) match = kNoPixel;
  SetSurfacePixel(surface, 0, 0, saved);
  return match;
}

HRESULT CopyBitmapToSurfaceRect(const DDSurface& surface, HBITMAP bitmap, const GRect& rect) {
  const GRect source = GetBitmapSize(bitmap);
  if (!source.HasArea()) return E_INVALIDARG;
  return CopyBitmapToSurface(surface, rect, bitmap, source);
}
