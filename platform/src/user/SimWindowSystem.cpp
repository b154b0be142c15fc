// Test control of the window system: what the module did, what windows show, the
// reset between tests, and Advance, which moves virtual time event by event while
// the calling (window) thread pumps its messages.
#include <algorithm>

#include "ddraw/Display.h"
#include "user/GdiSeam.h"
#include "user/ModalHook.h"
#include "user/UserClock.h"
#include "user/UserState.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace plat::detail::user {
void ResetMultimediaTimers();
}

namespace {

// A window whose paint handler never validates would keep the pump busy forever.
constexpr int kPumpLimit = 100000;

void Pump() {
  MSG msg;
  for (int i = 0; i < kPumpLimit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void Compose(const Window& w, const RECT& origin, plat::sim::WindowImage& out) {
  int width = w.Width(), height = w.Height();
  for (int y = 0; y < height; ++y) {
    int ty = w.rect.top - origin.top + y;
    if (ty < 0 || ty >= out.height) continue;
    for (int x = 0; x < width; ++x) {
      int tx = w.rect.left - origin.left + x;
      if (tx < 0 || tx >= out.width) continue;
      out.pixels[static_cast<size_t>(ty) * out.width + tx] = w.pixels[static_cast<size_t>(y) * width + x];
    }
  }
  for (auto it = w.children.rbegin(); it != w.children.rend(); ++it)
    if (auto c = Find(*it); c && (c->style & WS_VISIBLE)) Compose(*c, origin, out);
}

}  // namespace

namespace plat::sim {

void SetDesktopSize(int width, int height) {
  {
    auto lock = Lock();
    State().desktopWidth = std::max(1, width);
    State().desktopHeight = std::max(1, height);
  }
  // The display takes the window lock under its own, so it is told after.
  ddraw::FollowDesktopSize();
}

void ResetWindowSystem() {
  std::vector<HWND> tops;
  {
    auto lock = Lock();
    tops = State().topLevel;
  }
  for (HWND t : tops)
    if (IsWindow(t)) DestroyWindow(t);
  ResetMultimediaTimers();
  ClearModalHook();
  {
    auto lock = Lock();
    State().timers.clear();
    State().focus = State().capture = State().active = nullptr;
    State().cursor = nullptr;
    State().cursorCount = 0;
    State().cursorPos = POINT{};
    std::fill(std::begin(State().keys), std::end(State().keys), 0);
    std::fill(std::begin(State().syncKeys), std::end(State().syncKeys), 0);
    State().lastClick = ClickMemory{};
    State().drags.clear();
    State().messageBoxes.clear();
    State().shellExecutes.clear();
    State().messageBoxAnswer = IDOK;
    State().desktopWidth = 1024;
    State().desktopHeight = 768;
    for (auto& [id, q] : State().queues) {
      q->posted.clear();
      q->quit = false;
      q->changed = 0;
    }
  }
  ddraw::FollowDesktopSize();
}

size_t LiveWindows() { return Handles().LiveCount(HandleKind::Window); }

std::vector<MSG> PostedMessages(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) return {};
  auto lock = Lock();
  return w->postLog;
}

void ClearPostedMessages(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) return;
  auto lock = Lock();
  w->postLog.clear();
}

std::vector<DragRequest> DragRequests() {
  auto lock = Lock();
  return State().drags;
}

void ClearDragRequests() {
  auto lock = Lock();
  State().drags.clear();
}

std::vector<MessageBoxCall> MessageBoxCalls() {
  auto lock = Lock();
  return State().messageBoxes;
}

void ClearMessageBoxCalls() {
  auto lock = Lock();
  State().messageBoxes.clear();
}

std::vector<ShellExecuteCall> ShellExecuteCalls() {
  auto lock = Lock();
  return State().shellExecutes;
}

void ClearShellExecuteCalls() {
  auto lock = Lock();
  State().shellExecutes.clear();
}

void SetMessageBoxAnswer(int answer) {
  auto lock = Lock();
  State().messageBoxAnswer = answer;
}

HWND FocusWindow() {
  auto lock = Lock();
  return State().focus;
}

HWND CaptureWindow() {
  auto lock = Lock();
  return State().capture;
}

HCURSOR CurrentCursor() {
  auto lock = Lock();
  return State().cursor;
}

WindowImage ReadWindow(HWND hwnd) {
  WindowImage out;
  auto w = Find(hwnd);
  if (!w) return out;
  auto lock = Lock();
  out.width = w->Width();
  out.height = w->Height();
  out.pixels.assign(static_cast<size_t>(out.width) * out.height, 0);
  Compose(*w, w->rect, out);
  return out;
}

HRGN WindowRegion(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) return nullptr;
  auto lock = Lock();
  return w->region;
}

void Advance(uint32_t ms) {
  SetAdvancePump(Pump);
  uint64_t target = NowMicros() + MsToMicros(ms);
  Pump();
  AdvanceWithPump(target);
}

}  // namespace plat::sim
