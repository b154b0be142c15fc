// What DirectDraw needs of the window system: the desktop's size, whether a window is
// top-level, and a window's backing store with the part of its client area that
// shows, for presenting the primary surface into it and for frame capture.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "plat/types.h"

namespace plat::detail::ddraw {

void DesktopSize(int* width, int* height);
bool IsTopLevelWindow(HWND hwnd);

struct WindowTarget {
  uint32_t* pixels = nullptr;  // the backing store, XRGB, rows top-down, `width` apart
  int width = 0;
  int height = 0;
  RECT client{};                // the client area in screen coordinates
  std::vector<RECT> visible;    // screen coordinates: the parts of the client area that show
};
// Runs `use` with the window's store while the window system holds still; false (and
// `use` not run) when the window does not exist.
bool WithWindowTarget(HWND hwnd, const std::function<void(WindowTarget&)>& use);

// XRGB pictures for frame capture.
struct XrgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};
// The window's store with its visible children drawn over it; empty when no window.
XrgbImage ReadWindowImage(HWND hwnd);
XrgbImage ReadDesktopImage();

}  // namespace plat::detail::ddraw
