// The vertical scroll bar: a stretched track, two arrow buttons and a thumb, turning
// presses, drags and held arrows into scroll codes for one target widget, and showing
// the position the target reports back.
#pragma once

#include <cstdint>
#include <string>

#include "plat/types.h"
#include "widgets/GVWnd.h"

class GVDDSWnd;
class GVPushBtn;

class GVScrollBar : public GVWnd {
 public:
  // Ids of the repeat timers; each bar takes the next one.
  static constexpr UINT kFirstTimerId = 9994;
  static constexpr UINT kDefaultRepeatDelay = 550;
  static constexpr UINT kRepeatPeriod = 50;
  // Thumb positions run over this scale.
  static constexpr int32_t kPositionScale = 1000;
  // Where the thumb's top lands under the pointer after a click on the track.
  static constexpr int32_t kTrackClickGrab = 10;

  GVScrollBar();
  ~GVScrollBar() override;

  // ---- Virtual operations, in the library's order ----
  void ReleaseImage() override;
  GRect GetDrawnRect() override;
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonDblClk(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;
  BOOL OnScroll(int32_t code, int32_t position, GVWnd* sender) override;
  BOOL OnTimer(UINT_PTR id) override;
  virtual HWND SetTimerWnd(HWND wnd);
  virtual HWND GetTimerWnd();

  // ---- Plain operations ----
  // Loads the four parts (the buttons as strips of four cells: normal, highlighted,
  // pressed, disabled). 0 at the first part that fails; the parts made so far stay
  // until ReleaseImage.
  BOOL Create(GVWnd* target, const std::string& trackPath, const std::string& upPath, const std::string& downPath,
              const std::string& thumbPath, COLORREF colorKey, HWND timerWnd);
  // Places the bar and its parts; an inverted rectangle changes nothing. The bar has
  // no SetRect of its own.
  void LayoutParts(const GRect& rect);
  // Enables the bar and its three buttons (the track keeps its state).
  void Enable(BOOL enable);
  // Shows the window of `visible` rows starting at row `first` out of `total`.
  void SetThumbPos(uint32_t visible, uint32_t total, uint32_t first);
  void SetRepeatDelay(UINT ms) { repeatDelay_ = ms; }
  UINT GetRepeatDelay() const { return repeatDelay_; }
  UINT GetTimerId() const { return timerId_; }
  GVWnd* GetTarget() const { return target_; }
  void SetTarget(GVWnd* target) { target_ = target; }
  // The part under the pointer or being pressed (one of the buttons), or null.
  GVWnd* GetActivePart() const { return active_; }
  GVDDSWnd* GetTrack() const { return track_; }
  GVPushBtn* GetUpButton() const { return up_; }
  GVPushBtn* GetDownButton() const { return down_; }
  GVPushBtn* GetThumb() const { return thumb_; }
  // How far the thumb can move: bar height less the three buttons (may be negative).
  int32_t FreeTravel();

  // The thumb's offset below the up button for a window of `visible` rows at `first`
  // out of `total`, kept within 0..travel.
  static int32_t ThumbOffset(int32_t travel, uint32_t visible, uint32_t total, uint32_t first);
  // The position on the 0..1000 scale of a thumb `offset` pixels below the up button;
  // false (nothing to send) when the thumb cannot travel.
  static bool DragPosition(int32_t offset, int32_t travel, int32_t* position);

 private:
  void StartTimer(UINT delay);
  void StopTimer();
  // A button takes the press only when it also reports the pointer over it.
  static bool PressButton(GVPushBtn* button, UINT keyFlags, GPoint pt);
  static bool Hits(GVWnd* part, GPoint pt);
  int32_t UpButtonBottom();

  GVDDSWnd* track_ = nullptr;
  GVPushBtn* up_ = nullptr;
  GVPushBtn* down_ = nullptr;
  GVPushBtn* thumb_ = nullptr;
  GVWnd* active_ = nullptr;
  GVWnd* target_ = nullptr;
  HWND timerWnd_ = nullptr;
  UINT timerId_;
  UINT repeatDelay_ = kDefaultRepeatDelay;
  int32_t grab_ = 0;
};
