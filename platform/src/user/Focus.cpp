// Keyboard focus, activation, mouse capture, the cursor shown and the key state.
#include "plat/error.h"
#include "user/UserState.h"

using namespace plat::detail;
using namespace plat::detail::user;

HWND SetFocus(HWND hwnd) {
  if (hwnd && !FindOrFail(hwnd)) return nullptr;
  HWND old;
  {
    auto lock = Lock();
    old = State().focus;
    if (old == hwnd) return old;
    State().focus = hwnd;
    if (hwnd) State().active = RootLocked(hwnd);
  }
  if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && IsWindow(hwnd)) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

HWND GetFocus() {
  auto lock = Lock();
  auto w = Find(State().focus);
  return (w && OwnedByCaller(*w)) ? State().focus : nullptr;
}

HWND GetActiveWindow() {
  auto lock = Lock();
  auto w = Find(State().active);
  return (w && OwnedByCaller(*w)) ? State().active : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  if (!FindOrFail(hwnd)) return nullptr;
  auto lock = Lock();
  HWND old = State().active;
  State().active = RootLocked(hwnd);
  return old;
}

HWND GetForegroundWindow() {
  auto lock = Lock();
  return State().active;
}

BOOL SetForegroundWindow(HWND hwnd) { return SetActiveWindow(hwnd) || IsWindow(hwnd) ? TRUE : FALSE; }

HWND SetCapture(HWND hwnd) {
  if (!FindOrFail(hwnd)) return nullptr;
  HWND old;
  {
    auto lock = Lock();
    old = State().capture;
    State().capture = hwnd;
  }
  if (old && old != hwnd) SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return old;
}

BOOL ReleaseCapture() {
  HWND old;
  {
    auto lock = Lock();
    old = State().capture;
    State().capture = nullptr;
  }
  if (old) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
  return TRUE;
}

HWND GetCapture() {
  auto lock = Lock();
  auto w = Find(State().capture);
  return (w && OwnedByCaller(*w)) ? State().capture : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
  auto lock = Lock();
  HCURSOR old = State().cursor;
  State().cursor = cursor;
  return old;
}

HCURSOR GetCursor() {
  auto lock = Lock();
  return State().cursor;
}

BOOL GetCursorPos(LPPOINT pt) {
  if (!pt) return FALSE;
  auto lock = Lock();
  *pt = State().cursorPos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  auto lock = Lock();
  State().cursorPos = POINT{x, y};
  return TRUE;
}

int ShowCursor(BOOL show) {
  auto lock = Lock();
  return show ? ++State().cursorCount : --State().cursorCount;
}

SHORT GetKeyState(int vk) {
  auto lock = Lock();
  uint8_t k = State().syncKeys[vk & 0xFF];
  return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 1));
}

SHORT GetAsyncKeyState(int vk) {
  auto lock = Lock();
  return (State().keys[vk & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

UINT GetDoubleClickTime() { return 500; }
