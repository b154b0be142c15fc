// BitBlt from a DC into a 32-bit DIB, whatever the desktop's depth.
#include "tools/winhost/ScreenCapture.h"

namespace winhost {

RgbPicture CaptureDc(HDC source, int x, int y, int width, int height) {
  RgbPicture out;
  if (!source || width <= 0 || height <= 0) return out;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (memory && dib && bits) {
    HGDIOBJ old = SelectObject(memory, dib);
    if (BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY)) {
      GdiFlush();
      out.width = width;
      out.height = height;
      out.rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
      const auto* pixels = static_cast<const uint8_t*>(bits);
      for (size_t i = 0; i < static_cast<size_t>(width) * static_cast<size_t>(height); ++i) {
        out.rgb[i * 3] = pixels[i * 4 + 2];
        out.rgb[i * 3 + 1] = pixels[i * 4 + 1];
        out.rgb[i * 3 + 2] = pixels[i * 4];
      }
    }
    SelectObject(memory, old);
  }
  if (dib) DeleteObject(dib);
  if (memory) DeleteDC(memory);
  return out;
}

RgbPicture CaptureScreenArea(int x, int y, int width, int height) {
  HDC screen = GetDC(nullptr);
  RgbPicture out = CaptureDc(screen, x, y, width, height);
  if (screen) ReleaseDC(nullptr, screen);
  return out;
}

RgbPicture CaptureScreenOf(HWND window) {
  RECT r;
  if (!IsWindow(window) || !GetWindowRect(window, &r)) return {};
  return CaptureScreenArea(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace winhost
