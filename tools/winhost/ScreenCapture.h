// What a person sees of a window: its place on the screen read back through GDI, not
// the module's own surfaces.
#pragma once

#include <windows.h>

#include "tools/winhost/PngWriter.h"

namespace winhost {

// The window's rectangle of the screen as RGB; empty when the window is gone or the
// screen cannot be read (Wine's OpenGL renderer for DirectDraw hides a windowed picture
// from the screen DC; its GDI renderer does not).
RgbPicture CaptureScreenOf(HWND window);
// A rectangle of the screen; of any DC (a window's own, read through its window DC).
RgbPicture CaptureScreenArea(int x, int y, int width, int height);
RgbPicture CaptureDc(HDC source, int x, int y, int width, int height);

}  // namespace winhost
