// The slider: a knob moving along a horizontal or vertical track that maps its place to
// a value in a range (the options panel's volume). It sends nothing; its owner reads
// minimum + position after passing the button-up on.
#pragma once

#include <cstdint>
#include <string>

#include "widgets/GVWnd.h"

class GVSlideWnd : public GVWnd {
 public:
  // The knob picture is a strip of this many equal cells, one per state.
  static constexpr int32_t kKnobCells = 4;
  static constexpr int32_t kStateIdle = 0;
  static constexpr int32_t kStateHover = 1;
  static constexpr int32_t kStateDrag = 2;
  // Pixels the click area reaches beyond the knob's track.
  static constexpr int32_t kHitMargin = 3;

  GVSlideWnd() = default;
  ~GVSlideWnd() override;

  void ReleaseImage() override;
  // Copies the background (if any) and the knob's cell for the state; the clip is not
  // used, so a knob reaching outside the rectangle is drawn whole.
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;

  // Size (0, 0)-(width, height) when both are at least 1, else the widget must already
  // have its background. The knob must be a ".bmp" file (any case); it is loaded with
  // no colour key. 1 or 0 (the cause in the last-result word where a call gave one).
  BOOL Create(int32_t width, int32_t height, const std::string& knobPath);
  // The background picture sizes the widget; then Create(-1, -1, knobPath).
  BOOL CreateWithBackground(const std::string& backgroundPath, const std::string& knobPath);

  // A length of 0 or less is kept as 0: every point then maps to position 0.
  void SetTrack(BOOL vertical, int32_t x, int32_t y, int32_t length);
  void SetRange(int32_t min, int32_t max);
  void SetPosition(int32_t pos);
  void SetValue(int32_t value) { SetPosition(static_cast<int32_t>(int64_t(value) - minimum_)); }

  int32_t GetMinimum() const { return minimum_; }
  int32_t GetSpan() const { return span_; }
  int32_t GetPosition() const { return position_; }
  int32_t GetValue() const { return static_cast<int32_t>(int64_t(minimum_) + position_); }
  BOOL IsVertical() const { return vertical_; }
  GRect GetHitRect() const { return hitRect_; }
  GPoint GetTrackOrigin() const { return GPoint(trackX_, trackY_); }
  int32_t GetTrackLength() const { return trackLength_; }
  // Relative to the widget's top-left.
  GRect GetKnobRect() const { return knobRect_; }
  int32_t GetKnobImage() const { return knobImage_; }
  GSize GetKnobSize() const { return GSize(knobWidth_, knobHeight_); }
  int32_t GetState() const { return state_; }

  // Whether the path names a file the slider can load its knob from.
  static bool IsKnobPath(const std::string& path);

 private:
  void PlaceKnob();
  // The position a point (widget coordinates of the parent) stands for, set.
  void SetPositionFromPoint(GPoint pt);
  bool IsOverKnob(GPoint pt);
  GPoint Relative(GPoint pt);
  bool Accepts() const { return IsVisible() && IsEnabled(); }

  int32_t minimum_ = 0;
  int32_t span_ = 0;
  int32_t position_ = 0;
  BOOL vertical_ = 0;
  GRect hitRect_;
  int32_t trackX_ = 0;
  int32_t trackY_ = 0;
  int32_t trackLength_ = 0;
  GRect knobRect_;
  int32_t knobImage_ = kNoImage;
  int32_t knobWidth_ = 0;
  int32_t knobHeight_ = 0;
  int32_t state_ = kStateIdle;
};
