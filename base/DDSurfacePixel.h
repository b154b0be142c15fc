// Surface sizes and single pixels: reading and writing one raw pixel through a lock,
// and finding the raw value a COLORREF takes on a surface (for colour keys and
// pixel-accurate hit tests).
#pragma once

#include "base/DDSurfaceUtil.h"

constexpr DWORD kNoPixel = 0xFFFFFFFFu;

// (0, 0) when the size cannot be read.
GSize GetSurfaceSize(const DDSurface& surface);
// E_POINTER for a null surface, E_INVALIDARG for a null output.
HRESULT GetSurfaceRect(const DDSurface& surface, RECT* rect);
// Empty when the size cannot be read.
GRect GetSurfaceRectOf(const DDSurface& surface);
// `*value` is -1 outside the surface and when the surface cannot be locked; the
// result is the lock's failure or the unlock's result.
HRESULT GetSurfacePixel(const DDSurface& surface, int32_t x, int32_t y, DWORD* value);
// Writes nothing outside the surface or when it cannot be locked; 0 (E_POINTER for
// a null surface).
HRESULT SetSurfacePixel(const DDSurface& surface, int32_t x, int32_t y, DWORD value);
// The raw value `color` takes on this surface, found by drawing it at (0, 0) through
// GDI and reading it back; pixel (0, 0) is put back. -1 on any failure.
DWORD MatchSurfaceColor(const DDSurface& surface, COLORREF color);
// E_INVALIDARG when the bitmap has no size; else the whole bitmap over `rect`.
HRESULT CopyBitmapToSurfaceRect(const DDSurface& surface, HBITMAP bitmap, const GRect& rect);
