// Where DirectDraw and GDI meet: device contexts that draw straight into a surface's
// memory in the surface's format (IDirectDrawSurface4::GetDC), and the display's
// pixels as GDI's screen, so both layers see one screen in one format.
#pragma once

#include <cstdint>

#include "ddraw/Blitter.h"
#include "ddraw/PixelFormat.h"
#include "gdi/PixelBuffer.h"
#include "plat/types.h"

namespace plat::detail::ddraw {

// GDI's description of raw surface memory (palette pixels get a grey ramp, the way
// frame capture shows them).
gdi::PixelBuffer GdiPixels(const PixelView& memory, const PixelFormat& format);

// Null when GDI cannot make one. The memory must stay valid until DeleteSurfaceDc or
// DetachSurfaceDc.
HDC CreateSurfaceDc(const PixelView& memory, const PixelFormat& format);
void DeleteSurfaceDc(HDC hdc);
// The memory under the DC went away (the display changed mode under the primary's
// DC): the DC stays valid but draws nothing.
void DetachSurfaceDc(HDC hdc);

// The display's current pixels as GDI sees them, with the version of the display's
// memory they describe: a new version means new memory, size or format.
gdi::PixelBuffer DisplayPixels(uint64_t* version);
uint64_t DisplayMemoryVersion();

}  // namespace plat::detail::ddraw
