#include "SeamWindow.h"

#include "plat/module.h"
#include "plat/winuser.h"

namespace seam {
namespace {

constexpr char kClassName[] = "SeamWindow";

LRESULT CALLBACK SeamWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterOnce() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = SeamWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0;
  }();
  (void)registered;
}

}  // namespace

SeamWindow::SeamWindow(int left, int top, int width, int height) {
  RegisterOnce();
  hwnd_ = CreateWindowExA(0, kClassName, "seam", WS_POPUP | WS_VISIBLE, left, top, width, height, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  Pump();
}

SeamWindow::~SeamWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  Pump();
}

void SeamWindow::Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace seam
