// A plain top-level window on the display, for the checks that need one (a DirectDraw
// object's cooperative window, a clipper's, a window's DC).
#pragma once

#include "plat/types.h"

namespace seam {

class SeamWindow {
 public:
  // Shown, without a frame, its client area at (left, top) of the screen.
  SeamWindow(int left, int top, int width, int height);
  ~SeamWindow();
  SeamWindow(const SeamWindow&) = delete;
  SeamWindow& operator=(const SeamWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  // Runs the thread's pending messages (painting included), so that what a window
  // shows on the real side is on the screen before it is read back.
  static void Pump();

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace seam
