// Update regions (kept as a bounding rectangle in client coordinates), the erase
// flag, and the paint calls. Device contexts come from the GDI seam.
#include <algorithm>
#include <new>

#include "plat/error.h"
#include "user/BackingStore.h"
#include "user/Controls.h"
#include "user/GdiSeam.h"

using namespace plat::detail;
using namespace plat::detail::user;

namespace plat::detail::user {

void FillBacking(HWND hwnd, const RECT& clientRect, COLORREF colour) {
  uint32_t xrgb = (static_cast<uint32_t>(GetRValue(colour)) << 16) | (static_cast<uint32_t>(GetGValue(colour)) << 8) |
                  GetBValue(colour);
  DrawIntoWindow(hwnd, [&](PixelView v) {
    RECT r = RectIntersect(clientRect, RECT{0, 0, v.width, v.height});
    for (LONG y = r.top; y < r.bottom; ++y)
      std::fill_n(v.pixels + static_cast<ptrdiff_t>(y) * v.width + r.left, r.right - r.left, xrgb);
  });
}

}  // namespace plat::detail::user

namespace {

void InvalidateOne(const std::shared_ptr<Window>& w, const RECT* rect, BOOL erase) {
  RECT client{0, 0, w->Width(), w->Height()};
  RECT r = rect ? RectIntersect(*rect, client) : client;
  if (RectEmpty(r)) return;
  w->update = RectUnion(w->update, r);
  if (erase) w->erase = true;
  Wake(*w->queue, QS_PAINT);
}

}  // namespace

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  if (!hwnd) {
    auto lock = Lock();
    for (HWND t : State().topLevel)
      if (auto w = Find(t)) InvalidateOne(w, nullptr, erase);
    return TRUE;
  }
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  auto lock = Lock();
  InvalidateOne(w, rect, erase);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  auto lock = Lock();
  if (!rect) {
    w->update = RECT{};
    w->erase = false;
    return TRUE;
  }
  // A bounding rectangle shrinks only where the validated part covers a whole side.
  RECT& u = w->update;
  RECT v = RectIntersect(*rect, u);
  if (RectEmpty(v)) return TRUE;
  bool fullWidth = v.left <= u.left && v.right >= u.right;
  bool fullHeight = v.top <= u.top && v.bottom >= u.bottom;
  if (fullWidth && fullHeight) {
    u = RECT{};
    w->erase = false;
  } else if (fullWidth && v.top <= u.top) {
    u.top = v.bottom;
  } else if (fullWidth && v.bottom >= u.bottom) {
    u.bottom = v.top;
  } else if (fullHeight && v.left <= u.left) {
    u.left = v.right;
  } else if (fullHeight && v.right >= u.right) {
    u.right = v.left;
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  RECT u;
  bool pending;
  {
    auto lock = Lock();
    u = w->update;
    pending = w->erase;
    if (erase && pending) w->erase = false;
  }
  if (rect) *rect = RectEmpty(u) ? RECT{} : u;
  if (erase && pending && !RectEmpty(u)) {
    HDC dc = AcquireWindowDc(hwnd, u);
    SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseWindowDc(dc);
  }
  return RectEmpty(u) ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  auto w = FindOrFail(hwnd);
  if (!w) return FALSE;
  bool paint;
  {
    auto lock = Lock();
    paint = !RectEmpty(w->update) && VisibleLocked(*w);
  }
  if (paint) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  auto w = FindOrFail(hwnd);
  if (!w || !ps) return nullptr;
  RECT r;
  bool erase;
  {
    auto lock = Lock();
    r = w->update;
    erase = w->erase;
    w->update = RECT{};
    w->erase = false;
  }
  *ps = PAINTSTRUCT{};
  // The system's BeginPaint fails with NULL, it never throws; the window stays invalid,
  // so its paint comes again.
  try {
    ps->hdc = AcquireWindowDc(hwnd, r);
  } catch (const std::bad_alloc&) {
    auto lock = Lock();
    w->update = RectUnion(w->update, r);
    w->erase = w->erase || erase;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  ps->rcPaint = r;
  if (erase) ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ps->hdc), 0) ? FALSE : TRUE;
  return ps->hdc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
  if (ps && ps->hdc) ReleaseWindowDc(ps->hdc);
  return TRUE;
}

HDC GetDC(HWND hwnd) {
  RECT clip{};
  if (hwnd) {
    if (!GetClientRect(hwnd, &clip)) return nullptr;
  } else {
    auto lock = Lock();
    clip = RECT{0, 0, State().desktopWidth, State().desktopHeight};
  }
  return AcquireWindowDc(hwnd, clip);
}

HDC GetWindowDC(HWND hwnd) { return GetDC(hwnd); }

int ReleaseDC(HWND, HDC hdc) {
  if (!WindowOfDc(hdc) && !DcClip(hdc)) return 0;
  ReleaseWindowDc(hdc);
  return 1;
}

HWND WindowFromDC(HDC hdc) { return WindowOfDc(hdc); }
