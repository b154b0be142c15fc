// A push button drawn from a sprite set: each set holds the normal, hover, pressed and
// disabled frames (two-frame sets: normal and hover-or-pressed). A press dragged off
// the button and released there is no click.
#pragma once

#include <cstdint>

#include "widgets/GVPSPWnd.h"

class CVPSPPushBtn : public GVPSPWnd {
 public:
  BOOL IsHover() override { return hoverState_; }
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  // 1 only for the click: the press ends over the button.
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;
  // Taken (1) when visible and enabled; nothing changes.
  BOOL OnRButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnRButtonUp(UINT keyFlags, GPoint pt) override;

  // On failure 0 and the old counts stay.
  virtual int32_t LoadSprite(const char* fileName, int32_t setCount, int32_t framesPerSet);
  virtual void SetPressed(BOOL pressed);
  virtual void SetHighlight(BOOL highlight);
  virtual void SetHoverState(int32_t state);
  virtual void SelectFrame();

  // 0 (and the set kept) outside 0..set count - 1. Marks nothing dirty: the set shows
  // at the next draw.
  int32_t SetImageSet(int32_t set);
  int32_t ImageSet() const { return set_; }
  BOOL IsPressed() const { return pressed_; }
  BOOL IsTracking() const { return tracking_; }

 private:
  bool Live() { return IsVisible() && IsEnabled(); }
  void Release();

  int32_t hoverState_ = 0;
  BOOL pressed_ = 0;
  BOOL highlight_ = 0;
  BOOL tracking_ = 0;
  int32_t framesPerSet_ = 4;
  int32_t setCount_ = 1;
  int32_t set_ = 0;
};
