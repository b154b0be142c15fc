// Surface descriptions read as format codes, by the bit count and red mask the display
// layer reports.
#include "base/PixelFormat.h"

#include "base/GDDSurfaceDesc.h"

namespace kk {

int32_t PixelFormatOf(const DDSURFACEDESC2& desc) {
  if (!(desc.dwFlags & DDSD_PIXELFORMAT)) return kFormatNone;
  const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
  switch (pf.dwRGBBitCount) {
    case 15: return kFormat555;
    case 16:
      if (pf.dwRBitMask == GDDSurfaceDesc::kRed555) return kFormat555;
      if (pf.dwRBitMask == GDDSurfaceDesc::kRed565) return kFormat565;
      return kFormatNone;
    case 24: return kFormat24;
    case 32: return kFormat32;
    default: return kFormatNone;
  }
}

}  // namespace kk
