// Surface device contexts: GDI draws straight into the surface's memory in its own
// format while the DC is out (the surface counts as locked meanwhile).
#include "ddraw/SurfaceDc.h"

#include "gdi/DeviceContext.h"
#include "gdi/PixelBuffer.h"

namespace plat::detail::ddraw {

HDC CreateSurfaceDc(const PixelView& memory, const PixelFormat& format) {
  gdi::PixelBuffer buf;
  buf.width = memory.width;
  buf.height = memory.height;
  buf.bpp = format.bits;
  buf.masks[0] = format.red;
  buf.masks[1] = format.green;
  buf.masks[2] = format.blue;
  buf.stride = memory.pitch;
  buf.topDown = true;
  buf.bits = memory.bits;
  if (format.bits == 8) {
    // Palette surfaces show their index as a grey; GDI matches colours against that.
    buf.palette.resize(256);
    for (int i = 0; i < 256; ++i) {
      const auto v = static_cast<BYTE>(i);
      buf.palette[static_cast<size_t>(i)] = RGBQUAD{v, v, v, 0};
    }
  }
  return gdi::OpenSurfaceDC(buf);
}

void DeleteSurfaceDc(HDC hdc) { gdi::CloseSurfaceDC(hdc); }

}  // namespace plat::detail::ddraw
