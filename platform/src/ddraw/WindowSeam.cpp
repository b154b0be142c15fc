// The window-system side of DirectDraw until windows exist in the layer: a desktop of
// the default size with no windows on it.
#include "ddraw/WindowSeam.h"

namespace plat::detail::ddraw {

namespace {
constexpr int kDesktopWidth = 1024;
constexpr int kDesktopHeight = 768;
constexpr uint32_t kDesktopBackground = 0x3A6EA5;
}  // namespace

void DesktopSize(int* width, int* height) {
  *width = kDesktopWidth;
  *height = kDesktopHeight;
}

bool IsTopLevelWindow(HWND hwnd) { return hwnd != nullptr; }

bool WithWindowTarget(HWND, const std::function<void(WindowTarget&)>&) { return false; }

XrgbImage ReadWindowImage(HWND) { return {}; }

XrgbImage ReadDesktopImage() {
  XrgbImage image;
  DesktopSize(&image.width, &image.height);
  image.pixels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), kDesktopBackground);
  return image;
}

}  // namespace plat::detail::ddraw
