// The seam between GDI and the windows layer. The windows layer owns windows, their
// backing stores and regions; it installs a bridge so GetDC, GetWindowDC and
// BeginPaint can draw into a window. Without a bridge only the desktop (the
// simulated screen) has a DC.
#pragma once

#include <optional>

#include "gdi/PixelBuffer.h"
#include "gdi/Region.h"
#include "plat/types.h"

namespace plat::detail::gdi {

struct WindowSurface {
  // The window's backing store (client area = window area: no non-client parts).
  // The memory must stay valid until the DC is released.
  PixelBuffer pixels;
  // The window region (SetWindowRgn), in window coordinates; none = the whole window.
  std::optional<Region> region;
};

class WindowBridge {
 public:
  virtual ~WindowBridge() = default;
  virtual HWND DesktopWindow() = 0;
  // False for a window that does not exist.
  virtual bool Surface(HWND hwnd, WindowSurface& out) = 0;
};

// Installs the bridge (null removes it); the bridge lives for the process.
void SetWindowBridge(WindowBridge* bridge);
// A DC over a window's backing store, clipped to its region and to `paintArea`
// (BeginPaint's update region) when given. Null for an unknown window.
HDC OpenWindowDC(HWND hwnd, const Region* paintArea);
// Reads a region handle (for SetWindowRgn and input clipping); false for a bad handle.
bool CopyRegion(HRGN region, Region& out);

}  // namespace plat::detail::gdi
