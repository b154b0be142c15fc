// The window system: z-order list operations, input routing to the focus widget and to
// the topmost widget under the pointer, and the dirty-rectangle redraw.
#include "widgets/GVWS.h"

#include <algorithm>
#include <iterator>

#include "plat/winuser.h"

GVWS::~GVWS() { GVWS::DestroyAll(); }

BOOL GVWS::SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  screen_.SetRect(left, top, right, bottom);
  return 1;
}

void GVWS::Destroy() { DestroyAll(); }

BOOL GVWS::AddWnd(GVWnd* wnd) { return wnd ? AddWndAtTop(wnd) : 0; }

void GVWS::ForgetPointersTo(GVWnd* wnd) {
  // The widget leaving is not told (it may be on its way to deletion).
  if (focus_ == wnd) focus_ = nullptr;
  if (hover_ == wnd) hover_ = nullptr;
}

template <class Op>
BOOL GVWS::TakeOut(GVWnd* wnd, Op applyToChild) {
  if (!wnd) return 0;
  // Each child leaves the list before it is handled, so a child that names some other
  // parent cannot keep this loop going.
  plist<GVWnd>& children = wnd->GetChildren();
  while (!children.empty()) {
    GVWnd* child = children.front();
    children.pop_front();
    applyToChild(child);
  }
  if (GVWnd* parent = wnd->GetParent()) {
    parent->GetChildren().remove(wnd);
    wnd->SetParent(nullptr);
  }
  wnds_.remove(wnd);
  ForgetPointersTo(wnd);
  return 1;
}

BOOL GVWS::RemoveWnd(GVWnd* wnd) {
  return TakeOut(wnd, [this](GVWnd* child) { RemoveWnd(child); });
}

BOOL GVWS::DestroyWnd(GVWnd* wnd) {
  if (!TakeOut(wnd, [this](GVWnd* child) { DestroyWnd(child); })) return 0;
  delete wnd;
  return 1;
}

void GVWS::RemoveAll() {
  while (!wnds_.empty()) RemoveWnd(wnds_.front());
}

void GVWS::DestroyAll() {
  while (!wnds_.empty()) DestroyWnd(wnds_.front());
}

void GVWS::MergePrevDrawnRects() {
  for (auto it = wnds_.rbegin(); it != wnds_.rend(); ++it) {
    GVWnd* w = *it;
    const GRect drawn = w->GetDrawnRect();
    const GRect prev = w->GetPrevDrawnRect();
    GRect merged;
    // The union keeps an empty (0, 0, 0, 0) previous rectangle, stretching the first
    // repaint of a new widget to the origin; that is the redraw the game expects.
    if (drawn.HasNonNegativeArea() && prev.HasNonNegativeArea()) GRectUnion(merged, drawn, prev);
    w->SetDrawnRect(merged);
    w->SetPrevDrawnRect(drawn);
  }
}

GRect GVWS::Draw(IDirectDrawSurface4* target, GRect area) {
  MergePrevDrawnRects();
  if (!target || !drawingEnabled_) return GRect();
  if (area.IsNull()) {
    area = screen_;
  } else {
    GRectIntersection(area, area, screen_);
  }
  if (!area.HasArea()) return GRect();

  if (fullRedraw_) {
    for (auto it = wnds_.rbegin(); it != wnds_.rend(); ++it) {
      if (!(*it)->Draw(target, area)) SetLastResult((*it)->GetLastResult());
    }
    fullRedraw_ = 0;
    return screen_;
  }

  GRect dirtyUnion;
  for (GVWnd* w : wnds_) {
    if (!w->IsDirty()) continue;
    if (!dirtyUnion.HasArea()) {
      dirtyUnion = w->GetDrawnRect();
    } else {
      GRectUnion(dirtyUnion, dirtyUnion, w->GetDrawnRect());
    }
  }
  if (!dirtyUnion.HasArea()) return GRect();
  GRectIntersection(area, area, dirtyUnion);

  for (GVWnd* w : wnds_) {
    GRect overlap;
    if (!w->IsDirty() && GRectIntersection(overlap, w->GetRect(), area).HasArea()) w->SetDirty(1);
  }
  for (auto it = wnds_.rbegin(); it != wnds_.rend(); ++it) {
    GVWnd* w = *it;
    if (!w->IsDirty()) continue;
    if (!w->Draw(target, area)) SetLastResult(w->GetLastResult());
    w->SetDirty(0);
  }
  return area;
}

BOOL GVWS::WndProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (!inputEnabled_) return 0;
  const auto packed = static_cast<uint32_t>(lParam);
  const UINT low = packed & 0xFFFFu;
  const UINT high = packed >> 16;
  const UINT keyFlags = static_cast<UINT>(wParam);
  const GPoint pt = GPoint::FromMessageParam(lParam);
  BOOL handled = 0;
  switch (message) {
    case WM_KEYDOWN: handled = OnKeyDown(static_cast<UINT>(wParam), low, high); break;
    case WM_KEYUP: handled = OnKeyUp(static_cast<UINT>(wParam), low, high); break;
    case WM_CHAR: handled = OnChar(static_cast<UINT>(wParam), low, high); break;
    case WM_IME_STARTCOMPOSITION: handled = OnImeStartComposition(wParam, lParam); break;
    case WM_IME_COMPOSITION: handled = OnImeComposition(wParam, lParam); break;
    case WM_IME_ENDCOMPOSITION: handled = OnImeEndComposition(wParam, lParam); break;
    case WM_TIMER: handled = OnTimer(wParam); break;
    case WM_MOUSEMOVE: handled = OnMouseMove(keyFlags, pt); break;
    case WM_LBUTTONDOWN: handled = OnLButtonDown(keyFlags, pt); break;
    case WM_LBUTTONUP: handled = OnLButtonUp(keyFlags, pt); break;
    case WM_LBUTTONDBLCLK: handled = OnLButtonDblClk(keyFlags, pt); break;
    case WM_RBUTTONDOWN: handled = OnRButtonDown(keyFlags, pt); break;
    case WM_RBUTTONUP: handled = OnRButtonUp(keyFlags, pt); break;
    case WM_RBUTTONDBLCLK: handled = OnRButtonDblClk(keyFlags, pt); break;
    case WM_MBUTTONDOWN: handled = OnMButtonDown(keyFlags, pt); break;
    case WM_MBUTTONUP: handled = OnMButtonUp(keyFlags, pt); break;
    case WM_MBUTTONDBLCLK: handled = OnMButtonDblClk(keyFlags, pt); break;
    default: return 0;
  }
  if (handled && result) *result = 0;
  return handled;
}

GVWnd* GVWS::Focused() {
  if (!inputEnabled_ || !focus_ || !focus_->IsEnabled()) return nullptr;
  return focus_;
}

BOOL GVWS::OnChar(UINT ch, UINT repeat, UINT flags) {
  GVWnd* w = Focused();
  return w ? w->OnChar(ch, repeat, flags) : 0;
}
BOOL GVWS::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  GVWnd* w = Focused();
  return w ? w->OnKeyDown(key, repeat, flags) : 0;
}
BOOL GVWS::OnKeyUp(UINT key, UINT repeat, UINT flags) {
  GVWnd* w = Focused();
  return w ? w->OnKeyUp(key, repeat, flags) : 0;
}
BOOL GVWS::OnImeStartComposition(WPARAM wParam, LPARAM lParam) {
  GVWnd* w = Focused();
  return w ? w->OnImeStartComposition(wParam, lParam) : 0;
}
BOOL GVWS::OnImeComposition(WPARAM wParam, LPARAM lParam) {
  GVWnd* w = Focused();
  return w ? w->OnImeComposition(wParam, lParam) : 0;
}
BOOL GVWS::OnImeEndComposition(WPARAM wParam, LPARAM lParam) {
  GVWnd* w = Focused();
  return w ? w->OnImeEndComposition(wParam, lParam) : 0;
}

// The topmost visible widget under the pointer takes the event, enabled or not: each
// widget decides what being disabled means. There is no capture.
BOOL GVWS::RouteMouse(BOOL (GVWnd::*op)(UINT, GPoint), UINT keyFlags, GPoint pt) {
  if (!inputEnabled_) return 0;
  GVWnd* w = FindWndAtPoint(pt, GVWnd::kHitVisible);
  return w ? (w->*op)(keyFlags, pt) : 0;
}

BOOL GVWS::OnMouseMove(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnMouseMove, keyFlags, pt); }
BOOL GVWS::OnLButtonDown(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnLButtonDown, keyFlags, pt); }
BOOL GVWS::OnLButtonUp(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnLButtonUp, keyFlags, pt); }
BOOL GVWS::OnLButtonDblClk(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnLButtonDblClk, keyFlags, pt); }
BOOL GVWS::OnRButtonDown(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnRButtonDown, keyFlags, pt); }
BOOL GVWS::OnRButtonUp(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnRButtonUp, keyFlags, pt); }
BOOL GVWS::OnRButtonDblClk(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnRButtonDblClk, keyFlags, pt); }
BOOL GVWS::OnMButtonDown(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnMButtonDown, keyFlags, pt); }
BOOL GVWS::OnMButtonUp(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnMButtonUp, keyFlags, pt); }
BOOL GVWS::OnMButtonDblClk(UINT keyFlags, GPoint pt) { return RouteMouse(&GVWnd::OnMButtonDblClk, keyFlags, pt); }

BOOL GVWS::OnTimer(UINT_PTR) { return 0; }

GVWnd* GVWS::SetFocusWnd(GVWnd* wnd) {
  GVWnd* previous = focus_;
  focus_ = wnd;
  if (previous) previous->OnKillFocus(wnd);
  return previous;
}

GVWnd* GVWS::SetHoverWnd(GVWnd* wnd) {
  GVWnd* previous = hover_;
  hover_ = wnd;
  if (previous) previous->OnKillFocus(wnd);
  return previous;
}

BOOL GVWS::AddWndAtTop(GVWnd* wnd) {
  if (!wnd) return 0;
  wnds_.remove(wnd);
  wnds_.push_front(wnd);
  return 1;
}

BOOL GVWS::AddWndAtBottom(GVWnd* wnd) {
  if (!wnd) return 0;
  wnds_.remove(wnd);
  wnds_.push_back(wnd);
  return 1;
}

BOOL GVWS::InsertWndBefore(GVWnd* ref, GVWnd* wnd) {
  // As for InsertWndAfter: the reference is found before the widget is taken out.
  if (!ref || !wnd || ref == wnd || std::find(wnds_.begin(), wnds_.end(), ref) == wnds_.end()) return 0;
  wnds_.remove(wnd);
  wnds_.insert(std::find(wnds_.begin(), wnds_.end(), ref), wnd);
  return 1;
}

BOOL GVWS::InsertWndAfter(GVWnd* ref, GVWnd* wnd) {
  // The list owns its widgets: a widget taken out for a reference that is not there
  // would be lost, so the reference is found first.
  if (!ref || !wnd || ref == wnd || std::find(wnds_.begin(), wnds_.end(), ref) == wnds_.end()) return 0;
  wnds_.remove(wnd);
  wnds_.insert(std::next(std::find(wnds_.begin(), wnds_.end(), ref)), wnd);
  return 1;
}

GVWnd* GVWS::FindWndAtPoint(GPoint pt, uint32_t flags) {
  for (GVWnd* w : wnds_) {
    if (w->HitTest(pt.x, pt.y, flags)) return w;
  }
  return nullptr;
}

GVWnd* GVWS::FindWndInRect(const GRect& rect, uint32_t flags) {
  for (GVWnd* w : wnds_) {
    if ((flags & GVWnd::kHitVisible) && !w->IsVisible()) continue;
    if ((flags & GVWnd::kHitEnabled) && !w->IsEnabled()) continue;
    GRect overlap;
    if (GRectIntersection(overlap, w->GetRect(), rect).HasArea()) return w;
  }
  return nullptr;
}

void GVWS::BroadcastTimer(UINT_PTR id) {
  for (GVWnd* w : wnds_) w->OnTimer(id);
}
