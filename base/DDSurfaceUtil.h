// Small helpers over DirectDraw surfaces and the DirectDraw object: creation, display
// queries, blits and fills, locks, device contexts and GDI copies. Each fixes the
// flags and descriptor sizes used everywhere and hands back the platform's HRESULT.
// Helpers documented as giving E_POINTER check their holder; the others let the
// holder raise ComError(E_POINTER), a null surface there being a programming error.
#pragma once

#include "plat/com.h"
#include "plat/ddraw.h"
#include "plat/types.h"
#include "base/GGeometry.h"

using DDSurface = ComPtr<IDirectDrawSurface4>;
using DDObject = ComPtr<IDirectDraw4>;

// The colour key value that stands for no key at all.
constexpr COLORREF kNoColorKey = 0xFFFFFFFFu;

// Lock attempts on a busy surface before giving up: a DC held on the lock's own
// thread would otherwise keep the surface busy for ever.
constexpr int kLockTries = 100;

// 0 stays 0; any other Win32 error becomes 0x8007xxxx.
constexpr HRESULT HResultFromWin32(DWORD error) {
  return error == 0 ? 0 : static_cast<HRESULT>((error & 0xFFFFu) | 0x80070000u);
}
HRESULT HResultFromLastError();

// ---- Descriptor setters ----
void InitSurfaceDesc(DDSURFACEDESC2& desc, DWORD flags = 0, DWORD width = 0, DWORD height = 0, DWORD caps = 0);
void InitBltFx(DDBLTFX& fx);
DDCOLORKEY MakeColorKey(DWORD key);

// ---- Creation and queries ----
// E_POINTER for a null DirectDraw, E_INVALIDARG when `out` already holds a surface.
HRESULT CreateSurface(const DDObject& dd, DDSurface& out, DDSURFACEDESC2* desc);
// A system-memory off-screen plain surface.
HRESULT CreateOffscreenSurface(const DDObject& dd, DDSurface& out, GSize size);
// E_INVALIDARG for a full `out` and for a bitmap without size.
HRESULT CreateSurfaceFromBitmap(const DDObject& dd, DDSurface& out, HBITMAP bitmap);
GRect GetBitmapSize(HBITMAP bitmap);
// E_POINTER for a null surface, E_INVALIDARG for a null output.
HRESULT QuerySurfaceSize(const DDSurface& surface, SIZE* size);
// 16 for 5-6-5, 15 for 5-5-5, 0 for another 16-bit layout, else the bit count.
HRESULT QueryDisplayBitDepth(const DDObject& dd, int* depth);
int GetDisplayBitDepth(const DDObject& dd);
// The screen's transparent key in pixel form; -1 for depths without one (still S_OK).
HRESULT QueryDisplayColorKey(const DDObject& dd, COLORREF* key);
// The same as a value: -1 also when the query fails.
COLORREF GetDisplayColorKey(const DDObject& dd);
// E_POINTER for a null surface.
HRESULT GetSurfaceDesc(const DDSurface& surface, DDSURFACEDESC2* desc);
// DirectDrawCreate, then IDirectDraw4 into an empty holder.
HRESULT CreateDirectDraw4(DDObject& out);
HRESULT CreateDDPalette(const DDObject& dd, ComPtr<IDirectDrawPalette>& out, DWORD flags, PALETTEENTRY* entries);

// ---- Blits and fills (a null RECT means the whole surface) ----
HRESULT BltSurface(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect, DWORD flags,
                   DDBLTFX* fx);
// The source surface's own colour key.
HRESULT BltWithColorKey(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect,
                        DWORD flags);
HRESULT BltWithKeyOverride(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect,
                           DWORD flags, DDCOLORKEY key);
HRESULT BltWithKeyOverride(const DDSurface& dest, RECT* destRect, const DDSurface& source, RECT* sourceRect,
                           DWORD flags, DWORD key);
HRESULT BltFastSurface(const DDSurface& dest, DWORD x, DWORD y, const DDSurface& source, RECT* sourceRect,
                       DWORD flags);
// BltFast with the source colour key added.
HRESULT BltFastKeyed(const DDSurface& dest, GPoint at, const DDSurface& source, RECT* sourceRect, DWORD flags);
// `pixel` is a value in the surface's format. E_POINTER for a null surface.
HRESULT FillSurfaceRect(const DDSurface& surface, RECT* rect, DWORD pixel, DWORD flags);
// True only for an exact S_OK.
BOOL ClearSurface(const DDSurface& surface, DWORD pixel);
HRESULT SetSurfaceColorKey(const DDSurface& surface, DWORD key);

// ---- Locks and device contexts ----
// A busy surface is tried kLockTries times; any failure becomes E_FAIL.
HRESULT LockSurface(const DDSurface& surface, DDSURFACEDESC2* desc, DWORD flags);
HRESULT LockSurfaceRect(const DDSurface& surface, RECT* rect, DDSURFACEDESC2* desc, DWORD flags);
// One attempt, the platform's answer as it is.
HRESULT LockSurfaceOnce(const DDSurface& surface, RECT* rect, DDSURFACEDESC2* desc, DWORD flags);
HRESULT UnlockSurface(const DDSurface& surface, RECT* rect);
// Null when the surface gives no DC.
HDC GetSurfaceDC(const DDSurface& surface);
HRESULT GetSurfaceDCRaw(const DDSurface& surface, HDC* hdc);
HRESULT ReleaseSurfaceDC(const DDSurface& surface, HDC hdc);
// Through GDI, so the bitmap is converted to the surface's format.
HRESULT CopyBitmapToSurface(const DDSurface& surface, const GRect& dest, HBITMAP bitmap, const GRect& source);
HRESULT SetSurfacePixelGDI(const DDSurface& surface, int32_t x, int32_t y, COLORREF color);
HRESULT GetSurfacePixelGDI(const DDSurface& surface, int32_t x, int32_t y, COLORREF* color);
