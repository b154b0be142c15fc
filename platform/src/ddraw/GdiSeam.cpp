// Surface DCs and the display's pixels in GDI's pixel model.
#include "ddraw/GdiSeam.h"

#include "ddraw/Display.h"
#include "gdi/DeviceContext.h"

namespace plat::detail::ddraw {

gdi::PixelBuffer GdiPixels(const PixelView& memory, const PixelFormat& format) {
  gdi::PixelBuffer px;
  const uint32_t masks[3] = {format.red, format.green, format.blue};
  gdi::SetFormat(px, memory.width, memory.height, format.bits, format.bits == 8 ? nullptr : masks);
  if (format.kind == DisplayFormat::Palette8) {
    constexpr int kEntries = 256;
    px.palette.resize(kEntries);
    for (int i = 0; i < kEntries; ++i) {
      const auto grey = static_cast<BYTE>(i);
      px.palette[static_cast<size_t>(i)] = RGBQUAD{grey, grey, grey, 0};
    }
  }
  px.stride = memory.pitch;
  px.bits = memory.bits;
  return px;
}

HDC CreateSurfaceDc(const PixelView& memory, const PixelFormat& format) {
  return gdi::OpenSurfaceDC(GdiPixels(memory, format));
}

void DeleteSurfaceDc(HDC hdc) { gdi::CloseSurfaceDC(hdc); }

void DetachSurfaceDc(HDC hdc) { gdi::RetargetSurfaceDC(hdc, gdi::PixelBuffer{}); }

gdi::PixelBuffer DisplayPixels(uint64_t* version) {
  auto lock = LockDisplay();
  Display& d = TheDisplay();
  *version = d.memoryVersion;
  return GdiPixels(FramebufferView(d), d.format);
}

uint64_t DisplayMemoryVersion() {
  auto lock = LockDisplay();
  return TheDisplay().memoryVersion;
}

}  // namespace plat::detail::ddraw
