// DirectDraw surface helpers: thin wrappers that fix the descriptors and flags of the
// program, the bounded lock retry, and the GDI route for bitmaps and single pixels.
#include "base/DDSurfaceUtil.h"

#include <cstring>

#include "base/GDDSurfaceDesc.h"
#include "plat/error.h"
#include "plat/gdi.h"
#include "plat/time.h"

namespace {

constexpr DWORD kOffscreenCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
constexpr COLORREF kKey555 = 0x7C1F;
constexpr COLORREF kKey565 = 0xF81F;
constexpr COLORREF kKey32 = 0xFF00FF;

HRESULT LockWithRetry(const DDSurface& surface, RECT* rect, DDSURFACEDESC2* desc, DWORD flags) {
  for (int attempt = 0; attempt < kLockTries; ++attempt) {
    const HRESULT hr = surface->Lock(rect, desc, flags, nullptr);
    if (SUCCEEDED(hr)) return hr;
    if (hr != DDERR_SURFACEBUSY) return E_FAIL;
    Sleep(0);
  }
  return E_FAIL;
}

}  // namespace

HRESULT HResultFromLastError() { return HResultFromWin32(GetLastError()); }

void InitSurfaceDesc(DDSURFACEDESC2& desc, DWORD flags, DWORD width, DWORD height, DWORD caps) {
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(DDSURFACEDESC2);
  desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  desc.dwFlags = flags;
  desc.dwWidth = width;
  desc.dwHeight = height;
  desc.ddsCaps.dwCaps = caps;
}

void InitBltFx(DDBLTFX& fx) {
  std::memset(&fx, 0, sizeof(fx));
  fx.dwSize = sizeof(DDBLTFX);
}

DDCOLORKEY MakeColorKey(DWORD key) { return DDCOLORKEY{key, key}; }

// ---- Creation and queries ----

HRESULT CreateSurface(const DDObject& dd, DDSurface& out, DDSURFACEDESC2* desc) {
  if (!dd) return E_POINTER;
  if (out) return E_INVALIDARG;
  return dd->CreateSurface(desc, out.ReleaseAndGetAddressOf(), nullptr);
}

HRESULT CreateOffscreenSurface(const DDObject& dd, DDSurface& out, GSize size) {
  DDSURFACEDESC2 desc;
  InitSurfaceDesc(desc, DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH, static_cast<DWORD>(size.cx),
                  static_cast<DWORD>(size.cy), kOffscreenCaps);
  return CreateSurface(dd, out, &desc);
}

HRESULT CreateSurfaceFromBitmap(const DDObject& dd, DDSurface& out, HBITMAP bitmap) {
  if (out) return E_INVALIDARG;
  const GRect r = GetBitmapSize(bitmap);
  // A bitmap without size is refused outright: the thread's last error may well be 0,
  // which would report success with nothing made.
  if (r.CountPositiveSides() == 0) return E_INVALIDARG;
  HRESULT hr = CreateOffscreenSurface(dd, out, r.Size());
  if (FAILED(hr)) return hr;
  return CopyBitmapToSurface(out, r, bitmap, r);
}

GRect GetBitmapSize(HBITMAP bitmap) {
  if (!bitmap) return GRect();
  BITMAP bm{};
  if (GetObjectA(bitmap, sizeof(bm), &bm) == 0) return GRect();
  return GRect(0, 0, bm.bmWidth, bm.bmHeight);
}

HRESULT QuerySurfaceSize(const DDSurface& surface, SIZE* size) {
  if (!surface) return E_POINTER;
  if (!size) return E_INVALIDARG;
  GDDSurfaceDesc desc;
  const HRESULT hr = surface->GetSurfaceDesc(&desc);
  if (FAILED(hr)) return hr;
  size->cx = static_cast<LONG>(desc.dwWidth);
  size->cy = static_cast<LONG>(desc.dwHeight);
  return hr;
}

HRESULT QueryDisplayBitDepth(const DDObject& dd, int* depth) {
  if (!depth) return E_INVALIDARG;
  *depth = 0;
  GDDSurfaceDesc desc;
  const HRESULT hr = dd->GetDisplayMode(&desc);
  if (FAILED(hr)) return hr;
  *depth = desc.GetBitDepth();
  return hr;
}

int GetDisplayBitDepth(const DDObject& dd) {
  int depth = 0;
  return SUCCEEDED(QueryDisplayBitDepth(dd, &depth)) ? depth : 0;
}

HRESULT QueryDisplayColorKey(const DDObject& dd, COLORREF* key) {
  if (!key) return E_INVALIDARG;
  *key = kNoColorKey;
  int depth = 0;
  const HRESULT hr = QueryDisplayBitDepth(dd, &depth);
  if (FAILED(hr)) return hr;
  switch (depth) {
    case 15: *key = kKey555; break;
    case 16: *key = kKey565; break;
    case 24:
    case 32: *key = kKey32; break;
    default: break;
  }
  return S_OK;
}

COLORREF GetDisplayColorKey(const DDObject& dd) {
  COLORREF key = kNoColorKey;
  return SUCCEEDED(QueryDisplayColorKey(dd, &key)) ? key : kNoColorKey;
}

HRESULT GetSurfaceDesc(const DDSurface& surface, DDSURFACEDESC2* desc) {
  if (!surface) return E_POINTER;
  return surface->GetSurfaceDesc(desc);
}

HRESULT CreateDirectDraw4(DDObject& out) {
  if (out) return E_INVALIDARG;
  IDirectDraw* first = nullptr;
  HRESULT hr = DirectDrawCreate(nullptr, &first, nullptr);
  if (FAILED(hr)) return hr;
  void* four = nullptr;
  hr = first->QueryInterface(IID_IDirectDraw4, &four);
  first->Release();
  if (SUCCEEDED(hr)) out.Attach(static_cast<IDirectDraw4*>(four));
  return hr;
}

HRESULT CreateDDPalette(const DDObject& dd, ComPtr<IDirectDrawPalette>& out, DWORD flags, PALETTEENTRY* entries) {
  if (out) return E_INVALIDARG;
  return dd->CreatePalette(flags, entries, out.ReleaseAndGetAddressOf(), nullptr);
}

// ---- Blits and fills ----

HRESULT BltSurface(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect, DWORD flags,
                   DDBLTFX* fx) {
  return dest->Blt(destRect, source.Get(), sourceRect, flags, fx);
}

HRESULT BltWithColorKey(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect,
                        DWORD flags) {
  return dest->Blt(destRect, source.Get(), sourceRect, flags | DDBLT_KEYSRC, nullptr);
}

HRESULT BltWithKeyOverride(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect,
                           DWORD flags, DDCOLORKEY key) {
  DDBLTFX fx;
  InitBltFx(fx);
  fx.ddckSrcColorkey = key;
  return dest->Blt(destRect, source.Get(), sourceRect, flags | DDBLT_KEYSRCOVERRIDE, &fx);
}

HRESULT BltWithKeyOverride(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect,
                           DWORD flags, DWORD key) {
  return BltWithKeyOverride(dest, destRect, source, sourceRect, flags, MakeColorKey(key));
}

HRESULT BltFastSurface(const DDSurface& dest, DWORD x, DWORD y, const DDSurface& source, RECT* sourceRect,
                       DWORD flags) {
  return dest->BltFast(x, y, source.Get(), sourceRect, flags);
}

HRESULT BltFastKeyed(const DDSurface& dest, GPoint at, const DDSurface& source, RECT* sourceRect, DWORD flags) {
  return BltFastSurface(dest, static_cast<DWORD>(at.x), static_cast<DWORD>(at.y), source, sourceRect,
                        flags | DDBLTFAST_SRCCOLORKEY);
}

HRESULT FillSurfaceRect(const DDSurface& surface, RECT* rect, DWORD pixel, DWORD flags) {
  if (!surface) return E_POINTER;
  DDBLTFX fx;
  InitBltFx(fx);
  fx.dwFillColor = pixel;
  return surface->Blt(rect, nullptr, nullptr, flags | DDBLT_COLORFILL, &fx);
}

BOOL ClearSurface(const DDSurface& surface, DWORD pixel) {
  return FillSurfaceRect(surface, nullptr, pixel, 0) == S_OK ? 1 : 0;
}

HRESULT SetSurfaceColorKey(const DDSurface& surface, DWORD key) {
  DDCOLORKEY ck = MakeColorKey(key);
  return surface->SetColorKey(DDCKEY_SRCBLT, &ck);
}

// ---- Locks and device contexts ----

HRESULT LockSurface(const DDSurface& surface, DDSURFACEDESC2* desc, DWORD flags) {
  return LockWithRetry(surface, nullptr, desc, flags);
}

HRESULT LockSurfaceRect(const DDSurface& surface, RECT* rect, DDSURFACEDESC2* desc, DWORD flags) {
  return LockWithRetry(surface, rect, desc, flags);
}

HRESULT LockSurfaceOnce(const DDSurface& surface, RECT* rect, DDSURFACEDESC2* desc, DWORD flags) {
  return surface->Lock(rect, desc, flags, nullptr);
}

HRESULT UnlockSurface(const DDSurface& surface, RECT* rect) { return surface->Unlock(rect); }

HDC GetSurfaceDC(const DDSurface& surface) {
  HDC hdc = nullptr;
  return SUCCEEDED(surface->GetDC(&hdc)) ? hdc : nullptr;
}

HRESULT GetSurfaceDCRaw(const DDSurface& surface, HDC* hdc) { return surface->GetDC(hdc); }

HRESULT ReleaseSurfaceDC(const DDSurface& surface, HDC hdc) { return surface->ReleaseDC(hdc); }

HRESULT CopyBitmapToSurface(const DDSurface& surface, const GRect& dest, HBITMAP bitmap, const GRect& source) {
  if (!surface) return E_POINTER;
  if (!bitmap) return E_INVALIDARG;
  HRESULT hr = surface->Restore();
  if (FAILED(hr)) return hr;
  HDC surfaceDc = nullptr;
  hr = surface->GetDC(&surfaceDc);
  if (FAILED(hr)) return hr;
  HDC memoryDc = CreateCompatibleDC(surfaceDc);
  if (!memoryDc) {
    hr = HResultFromLastError();
    surface->ReleaseDC(surfaceDc);
    return hr;
  }
  HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  hr = S_OK;
  if (!StretchBlt(surfaceDc, dest.left, dest.top, dest.Width(), dest.Height(), memoryDc, source.left, source.top,
                  source.Width(), source.Height(), SRCCOPY)) {
    hr = HResultFromLastError();
  }
  SelectObject(memoryDc, previous);
  surface->ReleaseDC(surfaceDc);
  DeleteDC(memoryDc);
  return hr;
}

HRESULT SetSurfacePixelGDI(const DDSurface& surface, int32_t x, int32_t y, COLORREF color) {
  HDC hdc = nullptr;
  const HRESULT hr = surface->GetDC(&hdc);
  if (FAILED(hr)) return hr;
  SetPixel(hdc, x, y, color);
  surface->ReleaseDC(hdc);
  return S_OK;
}

HRESULT GetSurfacePixelGDI(const DDSurface& surface, int32_t x, int32_t y, COLORREF* color) {
  if (!color) return E_INVALIDARG;
  *color = kNoColorKey;
  HDC hdc = nullptr;
  const HRESULT hr = surface->GetDC(&hdc);
  if (FAILED(hr)) return hr;
  *color = GetPixel(hdc, x, y);
  surface->ReleaseDC(hdc);
  return S_OK;
}
