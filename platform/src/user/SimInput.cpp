// Input as a person makes it: the mouse goes to the capture window or to the window
// under the pointer, keys to the focus window; both enter the owner's queue.
#include <algorithm>
#include <cstdlib>

#include "plat/codepage.h"
#include "user/Controls.h"
#include "user/UserClock.h"
#include "user/WindowTree.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace {

constexpr uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickSlop = 2;

WPARAM MouseKeyFlagsLocked() {
  const uint8_t* k = State().keys;
  WPARAM f = 0;
  if (k[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
  if (k[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
  if (k[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
  if (k[VK_SHIFT] & 0x80) f |= MK_SHIFT;
  if (k[VK_CONTROL] & 0x80) f |= MK_CONTROL;
  return f;
}

int ButtonKey(plat::sim::MouseButton b) {
  switch (b) {
    case plat::sim::MouseButton::Right: return VK_RBUTTON;
    case plat::sim::MouseButton::Middle: return VK_MBUTTON;
    default: return VK_LBUTTON;
  }
}

UINT DownMessage(plat::sim::MouseButton b) {
  switch (b) {
    case plat::sim::MouseButton::Right: return WM_RBUTTONDOWN;
    case plat::sim::MouseButton::Middle: return WM_MBUTTONDOWN;
    default: return WM_LBUTTONDOWN;
  }
}

// Converts, routes and posts one mouse event. `kind`: 0 move, 1 down, 2 up.
void Mouse(HWND hwnd, int x, int y, plat::sim::MouseButton button, int kind) {
  auto lock = Lock();
  auto from = Find(hwnd);
  if (!from) return;
  POINT screen{from->rect.left + x, from->rect.top + y};
  State().cursorPos = screen;
  int vk = ButtonKey(button);
  if (kind == 1) State().keys[vk] |= 0x80;
  if (kind == 2) State().keys[vk] &= 0x7F;
  HWND target = State().capture ? State().capture : WindowAtPointLocked(screen);
  auto w = Find(target);
  if (!w) return;
  // A disabled top-level window (the owner of a modal dialog) takes no input.
  if (auto root = Find(RootLocked(target)); !root || (root->style & WS_DISABLED)) return;
  UINT msg = WM_MOUSEMOVE;
  if (kind == 1) {
    msg = DownMessage(button);
    ClickMemory& last = State().lastClick;
    uint64_t now = UserNowMs();
    bool doubled = (w->cls->wc.style & CS_DBLCLKS) && last.valid && last.hwnd == target && last.button == msg &&
                   now - last.time <= kDoubleClickMs && std::abs(last.pt.x - screen.x) <= kDoubleClickSlop &&
                   std::abs(last.pt.y - screen.y) <= kDoubleClickSlop;
    if (doubled) {
      msg += 2;  // the DBLCLK message of the same button
      last.valid = false;
    } else {
      last = ClickMemory{target, msg, now, screen, true};
    }
  } else if (kind == 2) {
    msg = DownMessage(button) + 1;
  }
  // Coordinates outside the client area (under capture) travel as raw 16-bit words.
  LPARAM lParam = MAKELPARAM(static_cast<WORD>(screen.x - w->rect.left), static_cast<WORD>(screen.y - w->rect.top));
  PostLocked(w, *w->queue, target, msg, MouseKeyFlagsLocked(), lParam);
}

HWND KeyTargetLocked() {
  if (Find(State().focus)) return State().focus;
  if (Find(State().active)) return State().active;
  return nullptr;
}

void Key(int vk, uint32_t repeat, bool down) {
  auto lock = Lock();
  uint8_t& k = State().keys[vk & 0xFF];
  bool wasDown = (k & 0x80) != 0;
  bool alt = (State().keys[VK_MENU] & 0x80) != 0 || (down && vk == VK_MENU);
  if (down) {
    if (!wasDown) k ^= 1;
    k |= 0x80;
  } else {
    k &= 0x7F;
  }
  HWND target = KeyTargetLocked();
  auto w = Find(target);
  if (!w) return;
  bool sys = alt || vk == VK_F10;
  UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  uint32_t bits = (down ? (repeat & 0xFFFF) : 1u) | (alt ? (1u << 29) : 0u) |
                  ((down ? wasDown : true) ? (1u << 30) : 0u) | (down ? 0u : (1u << 31));
  PostLocked(w, *w->queue, target, msg, static_cast<WPARAM>(vk), static_cast<LPARAM>(bits));
}

void PostChar(uint8_t byte) {
  auto lock = Lock();
  HWND target = KeyTargetLocked();
  auto w = Find(target);
  if (!w) return;
  PostLocked(w, *w->queue, target, WM_CHAR, byte, 1);
}

// The key (and shift) that types an ASCII character, when it has one.
bool KeyForChar(char c, int* vk, bool* shift) {
  static const char kShiftedDigits[] = ")!@#$%^&*(";
  *shift = false;
  if (c >= 'a' && c <= 'z') { *vk = c - 'a' + 'A'; return true; }
  if (c >= 'A' && c <= 'Z') { *vk = c; *shift = true; return true; }
  if (c >= '0' && c <= '9') { *vk = c; return true; }
  for (int i = 0; i < 10; ++i)
    if (c == kShiftedDigits[i]) { *vk = '0' + i; *shift = true; return true; }
  switch (c) {
    case ' ': *vk = VK_SPACE; return true;
    case '\r':
    case '\n': *vk = VK_RETURN; return true;
    case '\b': *vk = VK_BACK; return true;
    case '\t': *vk = VK_TAB; return true;
    case 0x1B: *vk = VK_ESCAPE; return true;
    default: return false;
  }
}

}  // namespace

namespace plat::sim {

void MouseMove(HWND hwnd, int x, int y) { Mouse(hwnd, x, y, MouseButton::Left, 0); }
void MouseDown(HWND hwnd, int x, int y, MouseButton button) { Mouse(hwnd, x, y, button, 1); }
void MouseUp(HWND hwnd, int x, int y, MouseButton button) { Mouse(hwnd, x, y, button, 2); }

void Click(HWND hwnd, int x, int y, MouseButton button) {
  MouseDown(hwnd, x, y, button);
  MouseUp(hwnd, x, y, button);
}

void DoubleClick(HWND hwnd, int x, int y, MouseButton button) {
  Click(hwnd, x, y, button);
  Click(hwnd, x, y, button);
}

void KeyDown(int vk, uint32_t repeat) { Key(vk, repeat, true); }
void KeyUp(int vk) { Key(vk, 1, false); }

void PressKey(int vk) {
  KeyDown(vk);
  KeyUp(vk);
}

void TypeText(std::string_view cp949) {
  for (size_t i = 0; i < cp949.size();) {
    size_t n = plat::Cp949CharLength(cp949.substr(i));
    int vk;
    bool shift;
    if (n == 1 && KeyForChar(cp949[i], &vk, &shift)) {
      if (shift) KeyDown(VK_SHIFT);
      PressKey(vk);
      if (shift) KeyUp(VK_SHIFT);
    } else {
      for (size_t j = 0; j < n; ++j) PostChar(static_cast<uint8_t>(cp949[i + j]));
    }
    i += n;
  }
}

void ImeMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto lock = Lock();
  HWND target = KeyTargetLocked();
  auto w = Find(target);
  if (w) PostLocked(w, *w->queue, target, msg, wParam, lParam);
}

void ActivateApp(bool active) {
  std::vector<HWND> tops;
  HWND activeWindow;
  {
    auto lock = Lock();
    tops = State().topLevel;
    if (active && !Find(State().active)) {
      for (HWND t : tops)
        if (auto w = Find(t); w && (w->style & WS_VISIBLE)) {
          State().active = t;
          break;
        }
    }
    activeWindow = State().active;
  }
  for (HWND t : tops)
    if (IsWindow(t)) SendMessageA(t, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
  if (activeWindow && IsWindow(activeWindow))
    SendMessageA(activeWindow, WM_ACTIVATE, MAKEWPARAM(active ? WA_ACTIVE : WA_INACTIVE, IsIconic(activeWindow) ? 1 : 0), 0);
}

void ActivateWindow(HWND hwnd, WORD state) {
  if (!IsWindow(hwnd)) return;
  if (state != WA_INACTIVE) {
    auto lock = Lock();
    State().active = RootLocked(hwnd);
  }
  SendMessageA(hwnd, WM_ACTIVATE, MAKEWPARAM(state, IsIconic(hwnd) ? 1 : 0), 0);
}

}  // namespace plat::sim
