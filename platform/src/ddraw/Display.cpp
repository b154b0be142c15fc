// The display's state and its mode changes.
#include "ddraw/Display.h"

#include <cstring>

#include "ddraw/WindowSeam.h"

namespace plat::detail::ddraw {

Display& TheDisplay() {
  static Display* display = [] {
    auto* d = new Display;
    SetDesktopModeLocked(*d);
    return d;
  }();
  return *display;
}

DisplayLock LockDisplay() { return DisplayLock(TheDisplay().mutex); }

int PaddedPitch(int width, int bytes) {
  constexpr int kAlign = 16;
  constexpr int kSlack = 16;
  return (width * bytes + kAlign - 1) / kAlign * kAlign + kSlack;
}

void FillPattern(const PixelView& view) {
  constexpr uint8_t kPixelFill = 0xCD;
  constexpr uint8_t kPaddingFill = 0xAB;
  const size_t used = static_cast<size_t>(view.width) * static_cast<size_t>(view.bytes);
  for (int y = 0; y < view.height; ++y) {
    std::memset(view.Row(y), kPixelFill, used);
    std::memset(view.Row(y) + used, kPaddingFill, static_cast<size_t>(view.pitch) - used);
  }
}

void SetModeLocked(Display& d, int width, int height, const PixelFormat& format) {
  d.width = width;
  d.height = height;
  d.format = format;
  d.pitch = PaddedPitch(width, format.bytes);
  d.pixels.assign(static_cast<size_t>(d.pitch) * static_cast<size_t>(height), 0);
  FillPattern(FramebufferView(d));
  ++d.generation;
}

bool DesktopModeIsCurrentLocked(const Display& d) {
  int w = 0, h = 0;
  DesktopSize(&w, &h);
  return d.width == w && d.height == h && d.format.kind == d.desktopFormat;
}

void SetDesktopModeLocked(Display& d) {
  int w = 0, h = 0;
  DesktopSize(&w, &h);
  SetModeLocked(d, w, h, FormatOf(d.desktopFormat));
}

bool TakeStillDrawingLocked(Display& d) {
  if (d.stillDrawing == 0) return false;
  --d.stillDrawing;
  return true;
}

PixelView FramebufferView(Display& d) { return PixelView{d.pixels.data(), d.width, d.height, d.pitch, d.format.bytes}; }

int DesktopBitsPerPixel() {
  auto lock = LockDisplay();
  return FormatOf(TheDisplay().desktopFormat).bits;
}

}  // namespace plat::detail::ddraw
