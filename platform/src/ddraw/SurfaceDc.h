// What DirectDraw needs of GDI: a device context that draws straight into a surface's
// memory in the surface's pixel format, for IDirectDrawSurface4::GetDC.
#pragma once

#include "ddraw/Blitter.h"
#include "ddraw/PixelFormat.h"
#include "plat/types.h"

namespace plat::detail::ddraw {

// Null when GDI cannot make one.
HDC CreateSurfaceDc(const PixelView& memory, const PixelFormat& format);
void DeleteSurfaceDc(HDC hdc);

}  // namespace plat::detail::ddraw
