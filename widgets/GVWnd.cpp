// The widget base: geometry and drawn-rectangle bookkeeping, hit tests, the plain
// fill draw, image release through the resource manager; every input operation
// declines.
#include "widgets/GVWnd.h"

#include "graphics/XResEntryMgr.h"
#include "plat/ddraw.h"
#include "base/DDSurfaceUtil.h"

GVWnd::~GVWnd() {
  // Not through the virtual table: the derived part is already gone.
  GVWnd::ReleaseImage();
}

void GVWnd::ReleaseImage() {
  if (image_ != kNoImage && XResEntryMgr::Global().ReleaseEntry(image_) == 1) image_ = kNoImage;
}

ComPtr<IDirectDrawSurface4> GVWnd::GetSurface() {
  if (image_ == kNoImage) return nullptr;
  return XResEntryMgr::Global().GetEntrySurface(image_);
}

void GVWnd::SetPos(GPoint pt) { SetRect(GRect(pt, GetRect().Size())); }

GPoint GVWnd::GetPos() { return GetRect().TopLeft(); }

void GVWnd::SetRect(GRect rect) {
  GRect drawn;
  SetDrawnRect(GRectUnion(drawn, drawn_, rect));
  dirty_ = 1;
  rect_ = rect;
}

GRect GVWnd::GetRect() { return rect_; }
void GVWnd::SetDrawnRect(GRect rect) { drawn_ = rect; }
GRect GVWnd::GetDrawnRect() { return drawn_; }
void GVWnd::SetPrevDrawnRect(GRect rect) { prevDrawn_ = rect; }
GRect GVWnd::GetPrevDrawnRect() { return prevDrawn_; }

void GVWnd::SetTopLeft(GPoint pt) { Offset(pt - GetRect().TopLeft()); }

void GVWnd::Offset(GSize delta) { SetRect(GetRect() + delta); }

void GVWnd::Show(BOOL show) {
  SetDrawnRect(GetRect());
  dirty_ = 1;
  visible_ = show;
}

BOOL GVWnd::IsHover() { return hover_; }
void GVWnd::SetHover(BOOL hover) { hover_ = hover; }

BOOL GVWnd::SetColorKey(COLORREF key) {
  colorKey_ = key;
  hasColorKey_ = key != kNoColorKey;
  return 1;
}

BOOL GVWnd::IsDirty() { return dirty_; }

BOOL GVWnd::HitTest(int32_t x, int32_t y, uint32_t flags) {
  if (!rect_.PtInRect(x, y)) return 0;
  if ((flags & kHitVisible) && !visible_) return 0;
  if ((flags & kHitEnabled) && !enabled_) return 0;
  return 1;
}

BOOL GVWnd::Intersects(GVWnd* other, uint32_t flags) {
  if (!other) return 0;
  if ((flags & kHitVisible) && !(visible_ && other->visible_)) return 0;
  if ((flags & kHitEnabled) && !(enabled_ && other->enabled_)) return 0;
  GRect common;
  return GRectIntersection(common, rect_, other->rect_).HasArea() ? 1 : 0;
}

BOOL GVWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  // Hidden widgets report success so that a parent walking its children (which stops
  // at the first 0) carries on past them.
  if (!visible_) return 1;
  if (!target) return 0;
  GRect area;
  if (!GRectIntersection(area, clip, rect_).HasArea()) return 0;
  if (fill_ != kNoFill) {
    RECT r;
    area.CopyTo(&r);
    const HRESULT hr = FillSurfaceRect(ComPtr<IDirectDrawSurface4>(target), &r, fill_, 0);
    SetLastResult(hr);
    if (FAILED(hr)) return 0;
  }
  dirty_ = 0;
  SetDrawnRect(GetRect());
  return 1;
}

void GVWnd::Enable(BOOL enable) {
  SetDrawnRect(GetRect());
  dirty_ = 1;
  enabled_ = enable;
}

void GVWnd::SetDirty(BOOL dirty) {
  dirty_ = dirty;
  if (!dirty) SetDrawnRect(GetRect());
}

BOOL GVWnd::OnExtra(uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
BOOL GVWnd::OnKillFocus(GVWnd*) { return 0; }
BOOL GVWnd::OnChar(UINT, UINT, UINT) { return 0; }
BOOL GVWnd::OnKeyDown(UINT, UINT, UINT) { return 0; }
BOOL GVWnd::OnKeyUp(UINT, UINT, UINT) { return 0; }
BOOL GVWnd::OnLButtonDown(UINT, GPoint) { return 0; }
BOOL GVWnd::OnLButtonUp(UINT, GPoint) { return 0; }
BOOL GVWnd::OnLButtonDblClk(UINT, GPoint) { return 0; }
BOOL GVWnd::OnRButtonDown(UINT, GPoint) { return 0; }
BOOL GVWnd::OnRButtonUp(UINT, GPoint) { return 0; }
BOOL GVWnd::OnRButtonDblClk(UINT, GPoint) { return 0; }
BOOL GVWnd::OnMButtonDown(UINT, GPoint) { return 0; }
BOOL GVWnd::OnMButtonUp(UINT, GPoint) { return 0; }
BOOL GVWnd::OnMButtonDblClk(UINT, GPoint) { return 0; }
BOOL GVWnd::OnMouseMove(UINT, GPoint) { return 0; }
BOOL GVWnd::OnScroll(int32_t, int32_t, GVWnd*) { return 0; }
BOOL GVWnd::OnExtra3(uint32_t, uint32_t, uint32_t) { return 0; }
BOOL GVWnd::OnImeStartComposition(WPARAM, LPARAM) { return 0; }
BOOL GVWnd::OnImeComposition(WPARAM, LPARAM) { return 0; }
BOOL GVWnd::OnImeEndComposition(WPARAM, LPARAM) { return 0; }
BOOL GVWnd::OnTimer(UINT_PTR) { return 0; }
