// What the Windows hosts share: a failure that ends the run with its reason and the host
// window the game window is made in (the text helpers are HostText.h's).
#pragma once

#include <windows.h>

#include "tools/winhost/HostLayout.h"
#include "tools/winhost/HostText.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace winhost {

struct Failure {
  std::string what;
};

[[noreturn]] inline void Fail(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  throw Failure{text};
}

inline void Expect(bool ok, const char* what) {
  if (!ok) Fail("%s", what);
}

// A visible top-level window of class `className` whose client area holds the 800 x 600
// game window at (3, 3), or nullptr when the system refuses it.
inline HWND CreateHostWindow(WNDPROC proc, const char* className, const char* title) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = className;
  if (!RegisterClassA(&wc)) return nullptr;
  RECT frame{0, 0, kGameWidth + 2 * kGameOffset, kGameHeight + 2 * kGameOffset};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE;
  AdjustWindowRect(&frame, style, FALSE);
  return CreateWindowExA(0, className, title, style, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                         nullptr, nullptr, wc.hInstance, nullptr);
}

// The same, ending the run with the system's error when it is refused.
inline HWND MakeHostWindow(WNDPROC proc, const char* className, const char* title) {
  HWND hwnd = CreateHostWindow(proc, className, title);
  if (!hwnd) Fail("the host window could not be made: error %u", unsigned(GetLastError()));
  return hwnd;
}

}  // namespace winhost
