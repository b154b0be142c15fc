#include "panels/CVPanelWnd.h"

#include "plat/winuser.h"

CVPanelWnd::CVPanelWnd(IPanelScene* scene) {
  // The base's own reset, not a panel's override: members of a derived panel are not
  // made yet.
  CVPanelWnd::InitMembers();
  scene_ = scene;
}

CVPanelWnd::~CVPanelWnd() {
  for (GVWnd* child : GetChildren()) delete child;
  GetChildren().clear();
}

void CVPanelWnd::InitMembers() {
  scene_ = nullptr;
  GetChildren().clear();
}

BOOL CVPanelWnd::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  for (GVWnd* child : GetChildren()) {
    if (!child->Draw(target, clip)) return 0;
  }
  return 1;
}

BOOL CVPanelWnd::OnLButtonDown(UINT keyFlags, GPoint pt) {
  if (!IsEnabled()) return 0;
  GVWnd* child = ChildFromPoint(pt, kHitVisible | kHitEnabled);
  if (!child || !child->OnLButtonDown(keyFlags, pt)) return 0;
  SetDirty(1);
  return 1;
}

int32_t CVPanelWnd::HideAll() {
  for (GVWnd* child : GetChildren()) child->Show(0);
  SetDirty(1);
  return 1;
}

void CVPanelWnd::Clear() {
  for (GVWnd* child : GetChildren()) delete child;
  InitMembers();
}

GVWnd* CVPanelWnd::ChildFromPoint(GPoint pt, uint32_t flags) {
  // Children draw in list order, so the last one under the point is the one the player
  // sees there; the back picture, drawn first, would otherwise take every click.
  auto& children = GetChildren();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    if ((*it)->HitTest(pt.x, pt.y, flags)) return *it;
  }
  return nullptr;
}

bool CVPanelWnd::Adopt(GVWnd* child, BOOL show) {
  if (!child) return false;
  GetChildren().push_back(child);
  child->Show(show);
  return true;
}

CVPanelWnd::Release CVPanelWnd::RouteRelease(GVWnd*& tracked, UINT keyFlags, GPoint pt) {
  Release r;
  GVWnd* previous = tracked;
  tracked = r.child = ChildFromPoint(pt, kHitVisible | kHitEnabled);
  if (previous && previous != r.child) {
    previous->OnLButtonUp(keyFlags, pt);
    r.releasedOther = true;
  }
  if (r.child) r.clicked = r.child->OnLButtonUp(keyFlags, pt) ? 1 : 0;
  return r;
}

BOOL CVPanelWnd::TrackHover(GVWnd*& tracked, UINT keyFlags, GPoint pt) {
  if (keyFlags & MK_LBUTTON) {
    if (!tracked) return 0;
    tracked->OnMouseMove(keyFlags, pt);
    SetDirty(1);
    return 1;
  }
  return TrackHover(tracked, ChildFromPoint(pt, kHitVisible | kHitEnabled), keyFlags, pt);
}

BOOL CVPanelWnd::TrackHover(GVWnd*& tracked, GVWnd* child, UINT keyFlags, GPoint pt) {
  if (!tracked) {
    if (!child) return 0;
    child->OnMouseMove(keyFlags, pt);
    tracked = child;
    SetDirty(1);
    return 1;
  }
  tracked->OnMouseMove(keyFlags, pt);
  SetDirty(1);
  if (!child) {
    tracked = nullptr;
  } else if (child != tracked) {
    child->OnMouseMove(keyFlags, pt);
    if (child->IsHover()) tracked = child;
  }
  return 1;
}

BOOL CVPanelWnd::PressTracked(GVWnd*& tracked, UINT keyFlags, GPoint pt) {
  if (!CVPanelWnd::OnLButtonDown(keyFlags, pt)) return 0;
  tracked = ChildFromPoint(pt, kHitVisible | kHitEnabled);
  return 1;
}
