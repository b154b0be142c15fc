// The one blit engine behind BitBlt, StretchBlt, PatBlt, TransparentBlt and the DIB
// transfers: nearest-neighbour scaling, mirroring, ternary raster operations, mono
// <-> colour rules and clipping to the destination DC.
#pragma once

#include <cstdint>

#include "gdi/DeviceContext.h"

namespace plat::detail::gdi {

struct BlitSource {
  const PixelBuffer* pixels = nullptr;
  COLORREF bk = RGB(255, 255, 255);  // the source DC's background: colour -> mono
  // DIB transfers colour 1-bit pixels through their colour table, not the DC colours.
  bool monoByPalette = false;
};

struct BlitRequest {
  // Destination and source rectangles; a negative width or height mirrors.
  int64_t x = 0, y = 0, width = 0, height = 0;
  int64_t xSrc = 0, ySrc = 0, srcWidth = 0, srcHeight = 0;
  DWORD rop = SRCCOPY;
  bool keyed = false;
  COLORREF key = 0;  // source pixels of this colour are skipped
};

// False only for a raster operation that needs a source when none is given.
bool Blit(const DeviceContext& dest, const BlitSource* src, const BlitRequest& request);
// Fills a rectangle (DC coordinates) with a colour through the clip.
void FillSolid(const DeviceContext& dc, const RECT& rect, COLORREF color);
// A view of DIB bits described by `info` with `lines` rows; false for a format the
// layer does not draw (run-length, bad depth).
bool DibView(const BITMAPINFO* info, UINT usage, const void* bits, int64_t lines, PixelBuffer& out);

}  // namespace plat::detail::gdi
