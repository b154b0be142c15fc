// The simulated screen: the pixels GetDC(NULL) draws into, in the display's format.
#include <memory>

#include "gdi/DeviceContext.h"
#include "plat/sim_gdi.h"

namespace plat::detail::gdi {
namespace {

struct Screen {
  PixelBuffer pixels;
  std::unique_ptr<uint8_t[]> storage;
};

constexpr int32_t kDefaultWidth = 1024;
constexpr int32_t kDefaultHeight = 768;

void Configure(Screen& s, int bpp, bool rgb555, int32_t width, int32_t height) {
  SetFormat(s.pixels, width, height, bpp, bpp == 16 ? (rgb555 ? kMask555 : kMask565) : kMask888);
  s.storage.reset(new uint8_t[s.pixels.ByteSize()]());
  s.pixels.bits = s.storage.get();
}

Screen& TheScreen() {
  static Screen* screen = [] {
    auto* s = new Screen;
    Configure(*s, 32, false, kDefaultWidth, kDefaultHeight);
    return s;
  }();
  return *screen;
}

}  // namespace

PixelBuffer& ScreenBuffer() { return TheScreen().pixels; }
const PixelBuffer& DisplayFormat() { return TheScreen().pixels; }

}  // namespace plat::detail::gdi

namespace plat::sim {

void SetScreenFormat(int bitsPerPixel, bool rgb555, int width, int height) {
  using namespace plat::detail::gdi;
  if (bitsPerPixel != 16) bitsPerPixel = 32;
  if (width <= 0 || height <= 0) {
    width = kDefaultWidth;
    height = kDefaultHeight;
  }
  Configure(TheScreen(), bitsPerPixel, rgb555, width, height);
}

COLORREF ScreenPixel(int x, int y) {
  using namespace plat::detail::gdi;
  const PixelBuffer& px = ScreenBuffer();
  if (!px.Contains(x, y)) return CLR_INVALID;
  return DeviceToColor(px, ReadPixel(px, x, y));
}

}  // namespace plat::sim
