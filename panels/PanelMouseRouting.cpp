#include "panels/PanelMouseRouting.h"

namespace panel_mouse {

constexpr uint32_t kLive = GVWnd::kHitVisible | GVWnd::kHitEnabled;
constexpr UINT kLeftButtonHeld = 0x0001;

bool BeginRelease(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt, Release& out) {
  if (!panel.IsEnabled()) return false;
  GVWnd* previous = tracked;
  out.current = panel.ChildFromPoint(pt, kLive);
  tracked = out.current;
  if (!out.current) {
    if (previous) {
      previous->OnLButtonUp(keyFlags, pt);
      panel.SetDirty(1);
    }
    return false;
  }
  out.handedOver = previous && previous != out.current;
  if (out.handedOver) previous->OnLButtonUp(keyFlags, pt);
  return true;
}

BOOL ReleaseOnOther(CVPanelWnd& panel, const Release& r, UINT keyFlags, GPoint pt) {
  if (!r.handedOver && !r.current->OnLButtonUp(keyFlags, pt)) return 0;
  panel.SetDirty(1);
  return 1;
}

BOOL RouteMouseMove(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt) {
  if (!(panel.IsVisible() && panel.IsEnabled()) && !tracked) return 0;
  // A held drag redraws only when the tracked child changed its look.
  if ((keyFlags & kLeftButtonHeld) && tracked) {
    if (tracked->OnMouseMove(keyFlags, pt)) panel.SetDirty(1);
    return 1;
  }
  return panel.TrackHover(tracked, keyFlags, pt);
}

BOOL RouteButtonUp(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt,
                   const std::function<bool(GVWnd*)>& isButton, const ButtonAction& onRelease) {
  Release r;
  if (!BeginRelease(panel, tracked, keyFlags, pt, r)) return 0;
  if (isButton && isButton(r.current)) {
    const BOOL clicked = r.current->OnLButtonUp(keyFlags, pt);
    if (onRelease) onRelease(r.current, clicked);
    panel.SetDirty(1);
    return 1;
  }
  return ReleaseOnOther(panel, r, keyFlags, pt);
}

}  // namespace panel_mouse
