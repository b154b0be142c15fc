// The window system of one screen: the z-ordered widget list, focus and hover widgets,
// routing of keyboard, IME, timer and mouse input, and the dirty-rectangle redraw
// that returns the area the screen must present.
#pragma once

#include <cstdint>

#include "plat/types.h"
#include "base/GDXObj.h"
#include "base/GGeometry.h"
#include "widgets/GVWnd.h"
#include "base/plist.h"

struct IDirectDrawSurface4;

class GVWS : public GDXObj {
 public:
  GVWS() = default;
  GVWS(const GVWS&) = delete;
  GVWS& operator=(const GVWS&) = delete;
  // Deletes every widget still listed (this class's DestroyAll, not an override).
  ~GVWS() override;

  // ---- Virtual operations, in the library's order ----
  virtual BOOL SetRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
  virtual void Destroy();
  virtual BOOL AddWnd(GVWnd* wnd);
  virtual BOOL RemoveWnd(GVWnd* wnd);
  virtual BOOL DestroyWnd(GVWnd* wnd);
  virtual void RemoveAll();
  virtual void DestroyAll();
  virtual void MergePrevDrawnRects();
  // Redraws into `target` and returns the changed area (empty: nothing to present).
  // An empty `area` means the whole screen.
  virtual GRect Draw(IDirectDrawSurface4* target, GRect area);
  // Handled flag; a handled message stores 0 through `result`.
  virtual BOOL WndProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnChar(UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual BOOL OnKeyUp(UINT key, UINT repeat, UINT flags);
  virtual BOOL OnMouseMove(UINT keyFlags, GPoint pt);
  virtual BOOL OnLButtonDown(UINT keyFlags, GPoint pt);
  virtual BOOL OnLButtonUp(UINT keyFlags, GPoint pt);
  virtual BOOL OnLButtonDblClk(UINT keyFlags, GPoint pt);
  virtual BOOL OnRButtonDown(UINT keyFlags, GPoint pt);
  virtual BOOL OnRButtonUp(UINT keyFlags, GPoint pt);
  virtual BOOL OnRButtonDblClk(UINT keyFlags, GPoint pt);
  virtual BOOL OnMButtonDown(UINT keyFlags, GPoint pt);
  virtual BOOL OnMButtonUp(UINT keyFlags, GPoint pt);
  virtual BOOL OnMButtonDblClk(UINT keyFlags, GPoint pt);
  virtual BOOL OnImeStartComposition(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnImeComposition(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnImeEndComposition(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnTimer(UINT_PTR id);

  // ---- Plain operations ----
  GRect GetRect() const { return screen_; }
  GSize GetSize() const { return screen_.Size(); }
  BOOL IsInputEnabled() const { return inputEnabled_; }
  void SetInputEnabled(BOOL on) { inputEnabled_ = on; }
  BOOL IsDrawingEnabled() const { return drawingEnabled_; }
  void SetDrawingEnabled(BOOL on) { drawingEnabled_ = on; }
  void SetFullRedraw() { fullRedraw_ = 1; }
  BOOL IsFullRedraw() const { return fullRedraw_; }
  plist<GVWnd>& GetWndList() { return wnds_; }
  // The list must not be empty.
  GVWnd* GetTopWnd() { return wnds_.front(); }
  GVWnd* GetBottomWnd() { return wnds_.back(); }
  GVWnd* GetFocusWnd() const { return focus_; }
  GVWnd* GetHoverWnd() const { return hover_; }
  // Both tell the previous widget (also when it is the same one) and return it.
  GVWnd* SetFocusWnd(GVWnd* wnd);
  GVWnd* SetHoverWnd(GVWnd* wnd);
  BOOL AddWndAtTop(GVWnd* wnd);
  BOOL AddWndAtBottom(GVWnd* wnd);
  // One step nearer the top than `ref` / one step nearer the bottom. A `ref` not in the
  // list (or `ref` == `wnd`) gives 0 and leaves `wnd` out of the list.
  BOOL InsertWndBefore(GVWnd* ref, GVWnd* wnd);
  BOOL InsertWndAfter(GVWnd* ref, GVWnd* wnd);
  GVWnd* FindWndAtPoint(GPoint pt, uint32_t flags);
  GVWnd* FindWndInRect(const GRect& rect, uint32_t flags);
  void BroadcastTimer(UINT_PTR id);

 private:
  template <class Op>
  BOOL TakeOut(GVWnd* wnd, Op applyToChild);
  void ForgetPointersTo(GVWnd* wnd);
  GVWnd* Focused();
  BOOL RouteMouse(BOOL (GVWnd::*op)(UINT, GPoint), UINT keyFlags, GPoint pt);

  GRect screen_;
  plist<GVWnd> wnds_;
  GVWnd* focus_ = nullptr;
  GVWnd* hover_ = nullptr;
  BOOL inputEnabled_ = 1;
  BOOL drawingEnabled_ = 1;
  BOOL fullRedraw_ = 1;
};
