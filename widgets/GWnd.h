// One Win32 window as an object: classes registered here share one static window
// procedure, which finds the object through the window map and turns each message
// into a virtual call with its parameters unpacked.
#pragma once

#include <cstdint>
#include <string>

#include "plat/user.h"
#include "base/GGeometry.h"

class GWnd {
 public:
  // The message most recently given to WindowProc, for Default.
  struct KeptMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };

  GWnd();
  virtual ~GWnd();
  GWnd(const GWnd&) = delete;
  GWnd& operator=(const GWnd&) = delete;

  // The operations below keep this order: derived windows override them by slot.
  // Non-zero lets Create go on; `cs` may be changed.
  virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
  // After the last message of the window (from OnNcDestroy). An object may delete
  // itself here.
  virtual void PostNcDestroy();
  // Non-zero when the message was handled, with its result in *result.
  virtual BOOL WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // The handlers. Only OnNcCreate, OnCreate, OnEraseBkgnd and the two colour handlers
  // give the message its result; the others' results are dropped (the message gives 0).
  virtual LRESULT OnNcCreate(LPARAM createStruct);
  virtual LRESULT OnCreate(LPARAM createStruct);
  virtual LRESULT OnDestroy();
  virtual LRESULT OnNcDestroy();
  virtual LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnNotify(WPARAM wParam, LPARAM lParam);
  virtual int32_t OnExtra(uint32_t a, uint32_t b, uint32_t c, uint32_t d);
  virtual LRESULT OnActivate(UINT state, HWND other, BOOL minimised);
  virtual LRESULT OnActivateApp(WPARAM wParam, LPARAM lParam);
  // Mouse points are the two 16-bit halves of lParam zero-extended (0..65535): a
  // position left of or above a capturing window arrives as a large value.
  virtual LRESULT OnMouseMove(UINT keys, GPoint point);
  virtual LRESULT OnLButtonDown(UINT keys, GPoint point);
  virtual LRESULT OnLButtonUp(UINT keys, GPoint point);
  virtual LRESULT OnLButtonDblClk(UINT keys, GPoint point);
  virtual LRESULT OnRButtonDown(UINT keys, GPoint point);
  virtual LRESULT OnRButtonUp(UINT keys, GPoint point);
  virtual LRESULT OnRButtonDblClk(UINT keys, GPoint point);
  virtual LRESULT OnMButtonDown(UINT keys, GPoint point);
  virtual LRESULT OnMButtonUp(UINT keys, GPoint point);
  virtual LRESULT OnMButtonDblClk(UINT keys, GPoint point);
  virtual LRESULT OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual LRESULT OnKeyUp(UINT key, UINT repeat, UINT flags);
  virtual LRESULT OnChar(UINT code, UINT repeat, UINT flags);
  virtual LRESULT OnPaint(WPARAM wParam);
  virtual LRESULT OnEraseBkgnd(HDC dc);
  virtual LRESULT OnCtlColorEdit(HDC dc, HWND control);
  virtual LRESULT OnCtlColorStatic(HDC dc, HWND control);
  virtual LRESULT OnImeStartComposition(WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnImeComposition(WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnImeEndComposition(WPARAM wParam, LPARAM lParam);
  virtual LRESULT OnTimer(UINT_PTR id);

  // Registers `className` in `instance` with StaticWndProc. An empty name is replaced
  // (in the caller's string) by one made from the arguments, "MCWnd:..."; an existing
  // class answers 1, also when other threads register it at the same moment. The class
  // atom, or 0.
  static UINT RegisterWndClass(std::string& className, HINSTANCE instance, UINT classStyle, HCURSOR cursor,
                               HBRUSH background, HICON icon);
  // Creates the window of a registered class and binds it: 1, or 0 (also when this
  // object is bound already). A null rect lets the system place and size it.
  BOOL Create(const std::string& className, const std::string& windowName, HINSTANCE instance, UINT style,
              UINT exStyle, const GRect* rect, HWND parent, HMENU menuOrId, void* createParam);
  // 0 when bound already or `hwnd` is null; else binds it and enters it in the map.
  BOOL Attach(HWND hwnd);
  // Unbinds and gives the old handle.
  HWND Detach();
  // Destroys the bound window; 0 (still bound) when there is none or it failed.
  BOOL DestroyWindow();
  // DefWindowProc with the kept message.
  LRESULT Default();
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND Handle() const { return hwnd_; }
  const KeptMessage& LastMessage() const { return kept_; }

  // Thin wrappers on the bound window.
  BOOL ShowWindow(int command) { return ::ShowWindow(hwnd_, command); }
  BOOL UpdateWindow() { return ::UpdateWindow(hwnd_); }
  BOOL InvalidateRect(const GRect* rect, BOOL erase);
  GRect GetWindowRect() const;
  GRect GetClientRect() const;
  HWND GetParent() const { return ::GetParent(hwnd_); }
  GWnd* GetParentWnd() const;
  LONG GetWindowLongA(int index) const { return ::GetWindowLongA(hwnd_, index); }
  BOOL SetWindowPos(const GWnd* insertAfter, const GRect& rect, UINT flags);
  BOOL MoveWindow(const GRect& rect, BOOL repaint);

 protected:
  // One message through WindowProc, with the dispatch depth counted and the outer
  // message put back on every exit, an exception's included. A derived window holds a
  // scope of its own around it; after WM_NCDESTROY the object may have deleted itself
  // (PostNcDestroy), so nothing of it is touched once that message's WindowProc returns.
  virtual LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  class DispatchScope;
  HWND hwnd_ = nullptr;
  KeptMessage kept_;
  // The handle StaticWndProc is dispatching: Default's handle for the messages that
  // arrive before Create has bound one.
  HWND dispatching_ = nullptr;
  // Messages of this object being dispatched (more than one when nested).
  int32_t depth_ = 0;
};
