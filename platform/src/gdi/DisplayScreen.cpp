// The simulated screen behind GetDC(NULL): the display's own pixels in its current
// mode, so GDI and DirectDraw agree on one screen, one size and one format.
#include "ddraw/GdiSeam.h"
#include "gdi/DeviceContext.h"
#include "plat/sim_gdi.h"

namespace plat::detail::gdi {
namespace {

struct Screen {
  PixelBuffer pixels;
  uint64_t version = UINT64_MAX;
};

}  // namespace

PixelBuffer& ScreenBuffer() {
  static Screen* screen = new Screen;
  // Described again only when the display's memory changed, so a DC in use is not
  // rewritten under it by another thread's call.
  if (ddraw::DisplayMemoryVersion() != screen->version) screen->pixels = ddraw::DisplayPixels(&screen->version);
  return screen->pixels;
}

const PixelBuffer& DisplayFormat() { return ScreenBuffer(); }

}  // namespace plat::detail::gdi

namespace plat::sim {

COLORREF ScreenPixel(int x, int y) {
  using namespace plat::detail::gdi;
  const PixelBuffer& px = ScreenBuffer();
  if (!px.Contains(x, y)) return CLR_INVALID;
  return DeviceToColor(px, ReadPixel(px, x, y));
}

}  // namespace plat::sim
