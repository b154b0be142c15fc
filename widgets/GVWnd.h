// The widget: a rectangle on the back buffer with visibility, enabled and hover state,
// a dirty flag and the drawn rectangles the window system's dirty-rectangle redraw
// needs, an optional resource-manager image, fill colour and colour key.
#pragma once

#include <cstdint>

#include "plat/com.h"
#include "plat/types.h"
#include "base/GDXObj.h"
#include "base/GGeometry.h"
#include "base/plist.h"

struct IDirectDrawSurface4;

class GVWnd : public GDXObj {
 public:
  static constexpr int32_t kNoImage = -1;
  // Fill colours are device pixel values; every bit set means "no fill".
  static constexpr uint32_t kNoFill = 0xFFFFFFFFu;
  static constexpr COLORREF kNoColorKey = 0xFFFFFFFFu;
  // HitTest / Intersects flags.
  static constexpr uint32_t kHitVisible = 1;
  static constexpr uint32_t kHitEnabled = 2;

  GVWnd() = default;
  GVWnd(const GVWnd&) = delete;
  GVWnd& operator=(const GVWnd&) = delete;
  ~GVWnd() override;

  // ---- Virtual operations, in the library's order ----
  virtual void ReleaseImage();
  virtual ComPtr<IDirectDrawSurface4> GetSurface();
  virtual void SetPos(GPoint pt);
  virtual GPoint GetPos();
  virtual void SetRect(GRect rect);
  virtual GRect GetRect();
  virtual void SetDrawnRect(GRect rect);
  virtual GRect GetDrawnRect();
  virtual void SetPrevDrawnRect(GRect rect);
  virtual GRect GetPrevDrawnRect();
  virtual void SetTopLeft(GPoint pt);
  virtual void Offset(GSize delta);
  virtual void Show(BOOL show);
  virtual BOOL IsHover();
  virtual void SetHover(BOOL hover);
  virtual BOOL SetColorKey(COLORREF key);
  virtual BOOL IsDirty();
  virtual BOOL HitTest(int32_t x, int32_t y, uint32_t flags);
  virtual BOOL Intersects(GVWnd* other, uint32_t flags);
  // Draws into `target`, clipped to `clip`. Returns 1 when done (also when hidden),
  // 0 for a null target, a clip that misses the widget, or a failed fill.
  virtual BOOL Draw(IDirectDrawSurface4* target, const GRect& clip);
  virtual BOOL OnExtra(uint32_t a, uint32_t b, uint32_t c, uint32_t d);
  virtual BOOL OnKillFocus(GVWnd* next);
  virtual BOOL OnChar(UINT ch, UINT repeat, UINT flags);
  virtual BOOL OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual BOOL OnKeyUp(UINT key, UINT repeat, UINT flags);
  virtual BOOL OnLButtonDown(UINT keyFlags, GPoint pt);
  virtual BOOL OnLButtonUp(UINT keyFlags, GPoint pt);
  virtual BOOL OnLButtonDblClk(UINT keyFlags, GPoint pt);
  virtual BOOL OnRButtonDown(UINT keyFlags, GPoint pt);
  virtual BOOL OnRButtonUp(UINT keyFlags, GPoint pt);
  virtual BOOL OnRButtonDblClk(UINT keyFlags, GPoint pt);
  virtual BOOL OnMButtonDown(UINT keyFlags, GPoint pt);
  virtual BOOL OnMButtonUp(UINT keyFlags, GPoint pt);
  virtual BOOL OnMButtonDblClk(UINT keyFlags, GPoint pt);
  virtual BOOL OnMouseMove(UINT keyFlags, GPoint pt);
  virtual BOOL OnScroll(int32_t code, int32_t position, GVWnd* sender);
  virtual BOOL OnExtra3(uint32_t a, uint32_t b, uint32_t c);
  virtual BOOL OnImeStartComposition(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnImeComposition(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnImeEndComposition(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnTimer(UINT_PTR id);

  // ---- Plain operations ----
  bool HasImage() const { return image_ != kNoImage; }
  int32_t GetImage() const { return image_; }
  void SetImage(int32_t handle) { image_ = handle; }
  BOOL IsVisible() const { return visible_; }
  BOOL IsEnabled() const { return enabled_; }
  void Enable(BOOL enable);
  void SetDirty(BOOL dirty);
  uint32_t GetBkColor() const { return fill_; }
  // Does not mark the widget dirty.
  void SetBkColor(uint32_t pixel) { fill_ = pixel; }
  COLORREF GetColorKey() const { return colorKey_; }
  BOOL HasColorKey() const { return hasColorKey_; }
  int32_t GetUserValue() const { return userValue_; }
  void SetUserValue(int32_t v) { userValue_ = v; }
  GPoint GetAnchor() const { return anchor_; }
  void SetAnchor(GPoint pt) { anchor_ = pt; }

  // Parent and children: the base never fills the children list; the window system's
  // removal walks it, and widgets that keep children link them here.
  GVWnd* GetParent() const { return parent_; }
  void SetParent(GVWnd* parent) { parent_ = parent; }
  plist<GVWnd>& GetChildren() { return children_; }

 private:
  GVWnd* parent_ = nullptr;
  plist<GVWnd> children_;
  GRect rect_;
  int32_t image_ = kNoImage;
  uint32_t fill_ = kNoFill;
  BOOL visible_ = 1;
  BOOL enabled_ = 1;
  BOOL hover_ = 0;
  int32_t userValue_ = 0;
  BOOL dirty_ = 1;
  GRect drawn_;
  GRect prevDrawn_;
  COLORREF colorKey_ = kNoColorKey;
  BOOL hasColorKey_ = 0;
  GPoint anchor_;
};
