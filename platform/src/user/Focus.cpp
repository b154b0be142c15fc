// Keyboard focus, activation, mouse capture, the cursor shown and the key state.
#include <algorithm>
#include <vector>

#include "plat/error.h"
#include "user/UserState.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace plat::detail::user {

// A window that can take activation when another gives it up: a top-level window of the
// caller's, shown, enabled and not on its way out. Caller holds the lock.
bool CanActivateLocked(const Window& w) {
  return !w.parent && !w.destroying && OwnedByCaller(w) && (w.style & WS_VISIBLE) && !(w.style & WS_DISABLED);
}

void ActivateWindow(HWND hwnd) {
  HWND old;
  std::vector<HWND> programWindows;
  {
    auto lock = Lock();
    auto current = Find(State().active);
    old = current && OwnedByCaller(*current) ? State().active : nullptr;
    if (hwnd) hwnd = RootLocked(hwnd);
    if (old == hwnd) return;
    State().active = hwnd;
    // The activated window rises to the top of the top-level windows.
    auto& tops = State().topLevel;
    if (auto at = std::find(tops.begin(), tops.end(), hwnd); at != tops.end()) std::rotate(tops.begin(), at, at + 1);
    // The program becomes active or stops being so: every top-level window of the
    // thread hears it, hidden ones too, from the top down.
    if (!old || !hwnd) {
      for (HWND t : tops)
        if (auto w = Find(t); w && OwnedByCaller(*w) && !w->destroying) programWindows.push_back(t);
    }
  }
  if (old && IsWindow(old))
    SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old) ? 1 : 0), reinterpret_cast<LPARAM>(hwnd));
  for (HWND t : programWindows)
    if (IsWindow(t)) SendMessageA(t, WM_ACTIVATEAPP, hwnd ? TRUE : FALSE, 0);
  if (hwnd) {
    // The default procedure's answer gives the window the keyboard.
    if (IsWindow(hwnd))
      SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(hwnd) ? 1 : 0), reinterpret_cast<LPARAM>(old));
  } else if (GetFocus()) {
    SetFocus(nullptr);
  }
}

void ActivateAnotherWindow(HWND leaving) {
  HWND next = nullptr;
  {
    auto lock = Lock();
    auto current = Find(State().active);
    if (!current || State().active != RootLocked(leaving) || !OwnedByCaller(*current)) return;
    // The owner first, then the highest other window that can take it.
    if (auto owner = Find(current->owner); owner && CanActivateLocked(*owner)) next = current->owner;
    for (HWND t : State().topLevel) {
      if (next) break;
      if (auto w = Find(t); w && t != leaving && CanActivateLocked(*w)) next = t;
    }
  }
  ActivateWindow(next);
}

}  // namespace plat::detail::user

namespace {

// The focus this thread's windows hold: another thread's focus is its own, and is never
// told of this one's (it may be waiting on this thread, serving no sends). Caller holds
// the lock.
HWND CallersFocusLocked() {
  auto w = Find(State().focus);
  return w && OwnedByCaller(*w) ? State().focus : nullptr;
}

}  // namespace

HWND SetFocus(HWND hwnd) {
  if (hwnd && !FindOrFail(hwnd)) return nullptr;
  HWND before;
  {
    auto lock = Lock();
    before = CallersFocusLocked();
  }
  // The keys go to a window of the active top-level window: another one is activated
  // first, shown or not, and its answer may already have moved them.
  if (hwnd) {
    HWND root;
    {
      auto lock = Lock();
      root = RootLocked(hwnd);
      auto current = Find(State().active);
      if (current && OwnedByCaller(*current) && State().active == root) root = nullptr;
    }
    if (root) {
      ActivateWindow(root);
      if (!IsWindow(hwnd) || GetActiveWindow() != GetAncestor(hwnd, GA_ROOT)) return nullptr;
    }
  }
  HWND old;
  {
    auto lock = Lock();
    old = CallersFocusLocked();
    if (old == hwnd) return before;
    State().focus = hwnd;
  }
  if (old && IsWindow(old)) SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  if (hwnd && IsWindow(hwnd)) SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return before;
}

HWND GetFocus() {
  auto lock = Lock();
  return CallersFocusLocked();
}

HWND GetActiveWindow() {
  auto lock = Lock();
  auto w = Find(State().active);
  return (w && OwnedByCaller(*w)) ? State().active : nullptr;
}

HWND SetActiveWindow(HWND hwnd) {
  if (!FindOrFail(hwnd)) return nullptr;
  HWND old = GetActiveWindow();
  ActivateWindow(hwnd);
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
