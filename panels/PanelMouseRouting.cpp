#include "panels/PanelMouseRouting.h"

namespace panel_mouse {

namespace {

constexpr uint32_t kLive = GVWnd::kHitVisible | GVWnd::kHitEnabled;
constexpr UINT kLeftButtonHeld = 0x0001;

}  // namespace

BOOL RouteButtonUp(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt,
                   const std::function<bool(GVWnd*)>& isButton, const ButtonAction& onRelease) {
  if (!panel.IsEnabled()) return 0;
  GVWnd* previous = tracked;
  GVWnd* current = panel.ChildFromPoint(pt, kLive);
  tracked = current;
  if (!current) {
    if (previous) {
      previous->OnLButtonUp(keyFlags, pt);
      panel.SetDirty(1);
    }
    return 0;
  }
  // The child the press began on ends its press even when the pointer left it.
  const bool passed = previous && previous != current;
  if (passed) previous->OnLButtonUp(keyFlags, pt);
  if (isButton && isButton(current)) {
    const BOOL clicked = current->OnLButtonUp(keyFlags, pt);
    if (onRelease) onRelease(current, clicked);
    panel.SetDirty(1);
    return 1;
  }
  if (!passed && !current->OnLButtonUp(keyFlags, pt)) return 0;
  panel.SetDirty(1);
  return 1;
}

BOOL RouteMouseMove(CVPanelWnd& panel, GVWnd*& tracked, UINT keyFlags, GPoint pt) {
  if (!(panel.IsVisible() && panel.IsEnabled()) && !tracked) return 0;
  GVWnd* current = panel.ChildFromPoint(pt, kLive);
  if (keyFlags & kLeftButtonHeld) {
    if (!tracked) return 0;
    if (tracked->OnMouseMove(keyFlags, pt)) panel.SetDirty(1);
    return 1;
  }
  if (!tracked) {
    if (!current) return 0;
    current->OnMouseMove(keyFlags, pt);
    tracked = current;
    panel.SetDirty(1);
    return 1;
  }
  // The tracked child hears the move first, so that it can leave its hover state.
  tracked->OnMouseMove(keyFlags, pt);
  panel.SetDirty(1);
  if (!current) {
    tracked = nullptr;
  } else if (current != tracked) {
    current->OnMouseMove(keyFlags, pt);
    if (current->IsHover()) tracked = current;
  }
  return 1;
}

}  // namespace panel_mouse
