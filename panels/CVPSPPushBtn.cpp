#include "panels/CVPSPPushBtn.h"

namespace psp_push_btn {

constexpr uint32_t kLive = GVWnd::kHitVisible | GVWnd::kHitEnabled;

}  // namespace psp_push_btn

int32_t CVPSPPushBtn::LoadSprite(const char* fileName, int32_t setCount, int32_t framesPerSet) {
  if (!Load(fileName)) return 0;
  setCount_ = setCount;
  framesPerSet_ = framesPerSet;
  SelectFrame();
  return 1;
}

void CVPSPPushBtn::SetPressed(BOOL pressed) {
  pressed_ = pressed;
  SelectFrame();
}

void CVPSPPushBtn::SetHighlight(BOOL highlight) {
  highlight_ = highlight;
  SelectFrame();
}

void CVPSPPushBtn::SetHoverState(int32_t state) { hoverState_ = state; }

void CVPSPPushBtn::SelectFrame() {
  const int32_t base = set_ * framesPerSet_;
  const bool pressedInside = pressed_ && tracking_;
  if (framesPerSet_ == 1) {
    SetFrame(set_);
  } else if (framesPerSet_ == 2) {
    SetFrame(base + (IsEnabled() && (pressedInside || highlight_) ? 1 : 0));
  } else if (framesPerSet_ == 4) {
    SetFrame(base + (!IsEnabled() ? 3 : pressedInside ? 2 : highlight_ ? 1 : 0));
  }
  SetDirty(1);
}

int32_t CVPSPPushBtn::SetImageSet(int32_t set) {
  if (set < 0 || set >= setCount_) return 0;
  set_ = set;
  return 1;
}

BOOL CVPSPPushBtn::Draw(IDirectDrawSurface4* target, const GRect& clip) {
  if (!IsVisible()) return 1;
  SelectFrame();
  return GVQLSWnd::Draw(target, clip) > 0 ? 1 : 0;
}

void CVPSPPushBtn::Release() {
  SetHoverState(0);
  SetPressed(0);
  SetHighlight(0);
}

BOOL CVPSPPushBtn::OnLButtonDown(UINT, GPoint) {
  if (!Live()) return 0;
  SetHighlight(0);
  SetPressed(1);
  tracking_ = 1;
  return 1;
}

BOOL CVPSPPushBtn::OnLButtonUp(UINT, GPoint pt) {
  if (!Live()) return Release(), 0;
  if (!pressed_) return 0;
  const BOOL inside = HitTest(pt.x, pt.y, psp_push_btn::kLive) ? 1 : 0;
  SetPressed(0);
  SetHighlight(inside);
  tracking_ = 1;
  return inside;
}

BOOL CVPSPPushBtn::OnMouseMove(UINT, GPoint pt) {
  if (!Live()) return Release(), 0;
  if (HitTest(pt.x, pt.y, psp_push_btn::kLive)) {
    tracking_ = 1;
    SetHoverState(1);
    SetHighlight(1);
    return 1;
  }
  tracking_ = 0;
  if (pressed_) {
    SetHighlight(1);
  } else {
    SetHoverState(0);
    SetHighlight(0);
  }
  return 1;
}

BOOL CVPSPPushBtn::OnRButtonDown(UINT, GPoint) { return Live() ? 1 : 0; }

BOOL CVPSPPushBtn::OnRButtonUp(UINT, GPoint) { return Live() ? 1 : 0; }
