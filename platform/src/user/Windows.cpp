// Window records: creation with its synchronous WM_NCCREATE / WM_CREATE, the
// destruction order, the tree and z-order, geometry, visibility and enabling.
#include <algorithm>
#include <cstring>

#include "core/Faults.h"
#include "plat/error.h"
#include "plat/threads.h"
#include "user/Controls.h"
#include "user/GdiSeam.h"
#include "user/UserClock.h"
#include "user/WindowTree.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace plat::detail::user {

std::vector<HWND>& SiblingsLocked(const Window& w) {
  if (w.parent) {
    if (auto p = Find(w.parent)) return p->children;
  }
  return State().topLevel;
}

// The largest backing store a window gets (a 16384 x 16384 window). A larger size is
// refused as memory the system cannot give, before its pixel count could pass a 32-bit
// size_t and leave a short store under a large window.
constexpr uint64_t kMaxBackingPixels = uint64_t{1} << 28;

bool BackingFits(int width, int height) {
  return uint64_t(std::max(0, width)) * uint64_t(std::max(0, height)) <= kMaxBackingPixels;
}

void ResizeBackingLocked(Window& w) {
  int width = std::max(0, w.Width());
  int height = std::max(0, w.Height());
  w.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
}

void ShiftSubtreeLocked(Window& w, int dx, int dy) {
  w.rect.left += dx;
  w.rect.right += dx;
  w.rect.top += dy;
  w.rect.bottom += dy;
  for (HWND c : w.children)
    if (auto cw = Find(c)) ShiftSubtreeLocked(*cw, dx, dy);
}

POINT ParentClientOriginLocked(const Window& w) {
  if (w.parent)
    if (auto p = Find(w.parent)) return POINT{p->rect.left, p->rect.top};
  return POINT{0, 0};
}

}  // namespace plat::detail::user

namespace {

// Removes a window whose last message has been sent: its handle, its place in the
// tree, its timers, its queued messages, and focus, capture or activation on it.
void FreeWindow(HWND hwnd) {
  auto lock = Lock();
  auto w = Find(hwnd);
  if (!w) return;
  auto& sib = SiblingsLocked(*w);
  sib.erase(std::remove(sib.begin(), sib.end(), hwnd), sib.end());
  auto& timers = State().timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd; }),
               timers.end());
  if (w->queue) {
    auto& posted = w->queue->posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                 posted.end());
  }
  if (State().focus == hwnd) State().focus = nullptr;
  if (State().capture == hwnd) State().capture = nullptr;
  if (State().active == hwnd) State().active = nullptr;
  if (w->region) ReleaseOwnedRegion(w->region);
  w->region = nullptr;
  ForgetDrawnTexts(hwnd);
  Handles().Remove(FromHandle(hwnd), HandleKind::Window);
}

void MarkDestroying(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) return;
  w->destroying = true;
  for (HWND c : w->children) MarkDestroying(c);
}

std::vector<HWND> ChildrenOf(HWND hwnd) {
  auto lock = Lock();
  auto w = Find(hwnd);
  return w ? w->children : std::vector<HWND>{};
}

void SendDestroy(HWND hwnd) {
  SendMessageA(hwnd, WM_DESTROY, 0, 0);
  for (HWND c : ChildrenOf(hwnd)) SendDestroy(c);
}

void SendNcDestroy(HWND hwnd) {
  for (HWND c : ChildrenOf(hwnd)) SendNcDestroy(c);
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  FreeWindow(hwnd);
}

void InvalidateParentArea(const std::shared_ptr<Window>& w) {
  HWND parent;
  RECT r;
  {
    auto lock = Lock();
    parent = w->parent;
    auto p = Find(parent);
    if (!p) return;
    r = RECT{w->rect.left - p->rect.left, w->rect.top - p->rect.top, w->rect.right - p->rect.left,
             w->rect.bottom - p->rect.top};
  }
  InvalidateRect(parent, &r, TRUE);
}

// The show commands that activate a top-level window as they show it.
bool ActivatingShow(int cmd) {
  switch (cmd) {
    case SW_SHOWNORMAL:
    case SW_SHOWMAXIMIZED:
    case SW_SHOW:
    case SW_RESTORE:
    case SW_SHOWDEFAULT: return true;
    default: return false;
  }
}

}  // namespace

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param) {
  if (ShouldFail("CreateWindowExA")) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto queue = CurrentQueue();
  auto w = std::make_shared<Window>();
  HWND hwnd;
  {
    auto lock = Lock();
    w->cls = FindClassLocked(instance, className);
    if (!w->cls) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    std::shared_ptr<Window> pw;
    if (parent) {
      pw = Find(parent);
      if (!pw) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
    } else if (style & WS_CHILD) {
      SetLastError(ERROR_TLW_WITH_WSCHILD);
      return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) {
      width = child ? 0 : State().desktopWidth / 2;
      height = child ? 0 : State().desktopHeight / 2;
    }
    if (!BackingFits(width, height)) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    POINT origin{0, 0};
    if (child) {
      w->parent = parent;
      w->id = static_cast<LONG_PTR>(reinterpret_cast<uintptr_t>(menuOrId));
      origin = POINT{pw->rect.left, pw->rect.top};
    } else if (parent) {
      w->owner = RootLocked(parent);
    }
    w->queue = queue;
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->instance = instance;
    w->proc = w->cls->wc.lpfnWndProc;
    w->extra.assign(static_cast<size_t>(w->cls->wc.cbWndExtra), 0);
    w->isDialog = w->cls->system && w->cls->key == WC_DIALOG;
    w->rect = RECT{origin.x + x, origin.y + y, origin.x + x + std::max(0, width), origin.y + y + std::max(0, height)};
    ResizeBackingLocked(*w);
    uintptr_t value = Handles().Insert(HandleKind::Window, w);
    if (!value) {
      SetLastError(ERROR_NO_SYSTEM_RESOURCES);
      return nullptr;
    }
    hwnd = ToHandle<HWND>(value);
    w->hwnd = hwnd;
    // New children go to the bottom of their siblings (a dialog's first control is
    // first in tab order); new top-level windows go on top.
    if (child)
      pw->children.push_back(hwnd);
    else
      State().topLevel.insert(State().topLevel.begin(), hwnd);
  }

  CREATESTRUCTA cs{param, instance, menuOrId, parent, height, width, y, x, static_cast<LONG>(style),
                   windowName, className, exStyle};
  if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    FreeWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!IsWindow(hwnd)) return nullptr;
  SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(static_cast<WORD>(std::max(0, width)), static_cast<WORD>(std::max(0, height))));
  SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
  if ((style & WS_CHILD) && !(exStyle & WS_EX_NOPARENTNOTIFY))
    SendMessageA(parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, static_cast<WORD>(w->id)),
                 reinterpret_cast<LPARAM>(hwnd));
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hwnd) {
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  std::vector<HWND> owned;
  {
    auto lock = Lock();
    if (!OwnedByCaller(*w)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (w->destroying) return TRUE;
    for (HWND t : State().topLevel)
      if (auto tw = Find(t); tw && tw->owner == hwnd) owned.push_back(t);
  }
  // The parent hears of a child's end before anything of the end happens, unless the
  // child's style keeps it out of its parent's business (as at its creation).
  if ((w->style & WS_CHILD) && !(w->exStyle & WS_EX_NOPARENTNOTIFY) && w->parent)
    SendMessageA(w->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, static_cast<WORD>(w->id)),
                 reinterpret_cast<LPARAM>(hwnd));
  bool wasVisible = IsWindowVisible(hwnd);
  {
    auto lock = Lock();
    w->style &= ~WS_VISIBLE;
  }
  if (wasVisible && w->parent) InvalidateParentArea(w);
  if (!w->parent) ActivateAnotherWindow(hwnd);
  for (HWND o : owned) DestroyWindow(o);
  {
    auto lock = Lock();
    MarkDestroying(hwnd);
  }
  SendDestroy(hwnd);
  SendNcDestroy(hwnd);
  return TRUE;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) ? TRUE : FALSE; }

DWORD GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
  auto w = Find(hwnd);
  if (!w) return 0;
  // The layer runs one process; it has no other number to give.
  if (processId) *processId = 1;
  auto lock = Lock();
  return w->queue ? w->queue->threadId : 0;
}

BOOL IsWindowVisible(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) return FALSE;
  auto lock = Lock();
  return VisibleLocked(*w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) return FALSE;
  auto lock = Lock();
  return (w->style & WS_DISABLED) ? FALSE : TRUE;
}

BOOL IsIconic(HWND hwnd) {
  auto w = Find(hwnd);
  if (!w) return FALSE;
  auto lock = Lock();
  return (w->style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  auto lock = Lock();
  auto w = Find(hwnd);
  return (w && w->parent && IsSelfOrDescendantLocked(parent, w->parent)) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND hwnd, int cmd) {
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  bool wasVisible, show;
  {
    auto lock = Lock();
    wasVisible = (w->style & WS_VISIBLE) != 0;
    show = cmd != SW_HIDE;
    switch (cmd) {
      case SW_MINIMIZE:
      case SW_SHOWMINIMIZED:
      case SW_SHOWMINNOACTIVE: w->style |= WS_MINIMIZE; break;
      case SW_RESTORE:
      case SW_SHOWNORMAL: w->style &= ~WS_MINIMIZE; break;
      default: break;
    }
  }
  if (show != wasVisible) {
    SendMessageA(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
    {
      auto lock = Lock();
      if (show)
        w->style |= WS_VISIBLE;
      else
        w->style &= ~WS_VISIBLE;
    }
    if (show)
      InvalidateRect(hwnd, nullptr, TRUE);
    else
      InvalidateParentArea(w);
  }
  if (!w->parent) {
    if (!show)
      ActivateAnotherWindow(hwnd);
    else if (ActivatingShow(cmd))
      ActivateWindow(hwnd);
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL EnableWindow(HWND hwnd, BOOL enable) {
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  bool wasDisabled;
  bool loseFocus = false;
  {
    auto lock = Lock();
    wasDisabled = (w->style & WS_DISABLED) != 0;
    if (enable == wasDisabled) {
      if (enable) {
        w->style &= ~WS_DISABLED;
      } else {
        w->style |= WS_DISABLED;
        loseFocus = State().focus && IsSelfOrDescendantLocked(hwnd, State().focus);
      }
    }
  }
  if (enable == wasDisabled) {
    if (loseFocus) SetFocus(nullptr);
    SendMessageA(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  }
  return wasDisabled ? TRUE : FALSE;
}

HWND GetParent(HWND hwnd) {
  auto w = FindOrFail(hwnd);
  if (!w) return nullptr;
  auto lock = Lock();
  if (w->style & WS_CHILD) return w->parent;
  if (w->style & WS_POPUP) return w->owner;
  return nullptr;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  auto w = FindOrFail(hwnd);
  if (!w) return nullptr;
  auto lock = Lock();
  switch (flags) {
    case GA_PARENT: return w->parent;
    case GA_ROOT: return RootLocked(hwnd);
    case GA_ROOTOWNER: {
      HWND r = RootLocked(hwnd);
      for (auto rw = Find(r); rw && rw->owner; rw = Find(r)) r = RootLocked(rw->owner);
      return r;
    }
    default: return nullptr;
  }
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  auto w = FindOrFail(hwnd);
  if (!w) return nullptr;
  auto lock = Lock();
  if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
  if (cmd == GW_OWNER) return w->owner;
  auto& sib = SiblingsLocked(*w);
  auto it = std::find(sib.begin(), sib.end(), hwnd);
  if (it == sib.end()) return nullptr;
  switch (cmd) {
    case GW_HWNDFIRST: return sib.front();
    case GW_HWNDLAST: return sib.back();
    case GW_HWNDNEXT: return (it + 1 == sib.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV: return it == sib.begin() ? nullptr : *(it - 1);
    default: return nullptr;
  }
}

HWND GetDesktopWindow() { return nullptr; }

BOOL GetWindowRect(HWND hwnd, LPRECT rect) {
  auto w = FindOrFail(hwnd);
  if (!w || !rect) return FALSE;
  auto lock = Lock();
  *rect = w->rect;
  return TRUE;
}

BOOL GetClientRect(HWND hwnd, LPRECT rect) {
  auto w = FindOrFail(hwnd);
  if (!w || !rect) return FALSE;
  auto lock = Lock();
  *rect = RECT{0, 0, w->Width(), w->Height()};
  return TRUE;
}

BOOL ClientToScreen(HWND hwnd, LPPOINT pt) {
  auto w = FindOrFail(hwnd);
  if (!w || !pt) return FALSE;
  auto lock = Lock();
  pt->x += w->rect.left;
  pt->y += w->rect.top;
  return TRUE;
}

BOOL ScreenToClient(HWND hwnd, LPPOINT pt) {
  auto w = FindOrFail(hwnd);
  if (!w || !pt) return FALSE;
  auto lock = Lock();
  pt->x -= w->rect.left;
  pt->y -= w->rect.top;
  return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(hwnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  bool moved = false, sized = false;
  POINT rel{};
  SIZE size{};
  {
    auto lock = Lock();
    POINT origin = ParentClientOriginLocked(*w);
    POINT pos{w->rect.left - origin.x, w->rect.top - origin.y};
    SIZE old{w->Width(), w->Height()};
    if (!(flags & SWP_NOMOVE)) pos = POINT{x, y};
    size = (flags & SWP_NOSIZE) ? old : SIZE{std::max(0, cx), std::max(0, cy)};
    int dx = origin.x + pos.x - w->rect.left;
    int dy = origin.y + pos.y - w->rect.top;
    moved = dx != 0 || dy != 0;
    sized = size.cx != old.cx || size.cy != old.cy;
    if (sized && !BackingFits(size.cx, size.cy)) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
    if (moved) ShiftSubtreeLocked(*w, dx, dy);
    if (sized) {
      w->rect.right = w->rect.left + size.cx;
      w->rect.bottom = w->rect.top + size.cy;
      ResizeBackingLocked(*w);
      w->update = RectIntersect(w->update, RECT{0, 0, size.cx, size.cy});
    }
    rel = pos;
    if (!(flags & SWP_NOZORDER)) {
      auto& sib = SiblingsLocked(*w);
      sib.erase(std::remove(sib.begin(), sib.end(), hwnd), sib.end());
      if (insertAfter == HWND_BOTTOM) {
        sib.push_back(hwnd);
      } else if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        sib.insert(sib.begin(), hwnd);
      } else {
        auto it = std::find(sib.begin(), sib.end(), insertAfter);
        sib.insert(it == sib.end() ? sib.begin() : it + 1, hwnd);
      }
    }
  }
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, SW_SHOWNA);
  if (flags & SWP_HIDEWINDOW) ShowWindow(hwnd, SW_HIDE);
  if (moved) SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(rel.x), static_cast<WORD>(rel.y)));
  if (sized) SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(static_cast<WORD>(size.cx), static_cast<WORD>(size.cy)));
  if ((moved || sized) && !(flags & SWP_NOREDRAW)) {
    InvalidateRect(hwnd, nullptr, TRUE);
    if (moved) InvalidateParentArea(w);
  }
  return TRUE;
}

HWND WindowFromPoint(POINT screen) {
  auto lock = Lock();
  return WindowAtPointLocked(screen);
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
  auto w = FindOrFail(hwnd);
  if (!w) return 0;
  {
    auto lock = Lock();
    if (w->region && w->region != region) ReleaseOwnedRegion(w->region);
    w->region = region;
  }
  if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
  return 1;
}

int GetSystemMetrics(int index) {
  auto lock = Lock();
  switch (index) {
    case SM_CXSCREEN: return State().desktopWidth;
    case SM_CYSCREEN: return State().desktopHeight;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
  }
}

namespace plat::detail::user {

// A window region cuts the window's shape for input as for output.
bool HitsLocked(const Window& w, POINT screen) {
  if (!PointInRect(w.rect, screen)) return false;
  return !w.region || RegionContains(w.region, POINT{screen.x - w.rect.left, screen.y - w.rect.top});
}

HWND WindowAtPointLocked(POINT screen) {
  HWND found = nullptr;
  for (HWND t : State().topLevel) {
    auto w = Find(t);
    if (w && (w->style & WS_VISIBLE) && HitsLocked(*w, screen)) {
      found = t;
      break;
    }
  }
  // Descend into the child under the point; hidden and disabled children and
  // statics without SS_NOTIFY let the point through to their parent.
  while (found) {
    auto w = Find(found);
    HWND next = nullptr;
    for (HWND c : w->children) {
      auto cw = Find(c);
      if (!cw || !(cw->style & WS_VISIBLE) || (cw->style & WS_DISABLED)) continue;
      if (IsClass(*cw, "static") && !(cw->style & SS_NOTIFY)) continue;
      if (HitsLocked(*cw, screen)) {
        next = c;
        break;
      }
    }
    if (!next) break;
    found = next;
  }
  return found;
}

}  // namespace plat::detail::user
