// Access to a window's backing store for the parts of the layer that draw into
// windows (window DCs, the DirectDraw primary through its clipper).
#pragma once

#include <cstdint>
#include <functional>

#include "plat/types.h"

namespace plat::detail {

struct PixelView {
  uint32_t* pixels;  // XRGB, rows top-down, `width` pixels per row
  int width;
  int height;
};

// Runs `draw` on the window's client pixels under the window-system lock (so `draw`
// must not call window functions). False when the window does not exist.
bool DrawIntoWindow(HWND hwnd, const std::function<void(PixelView)>& draw);

}  // namespace plat::detail
