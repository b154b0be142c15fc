// The avatar widget: a player's avatar entry whose part pictures the widget composes
// into the entry's surface, each part stepping through its frames on its own delays by
// the millisecond clock; it reports hover over opaque pixels and clicks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "widgets/GVDDSWnd.h"

class XAvatarEntry;

class GVAvatarWnd : public GVDDSWnd {
 public:
  GVAvatarWnd() = default;
  ~GVAvatarWnd() override = default;

  // A new avatar entry of `size` from the part files, replacing the one held; `trims`
  // are the rows cut from the top (x) and bottom (y) of every part frame. 0 for an
  // empty list (no entry made), a failed entry or an entry without a surface.
  BOOL Create(const std::vector<std::string>& parts, GPoint trims, GSize size, COLORREF colorKey);
  BOOL Create(const std::vector<std::string>& parts, GSize size, COLORREF colorKey) {
    return Create(parts, GPoint(0, 0), size, colorKey);
  }
  // Steps the parts that are due and composes them all again; 1 when redrawn.
  BOOL AnimateParts();
  // The parts run on the millisecond clock; a tick step changes nothing.
  void SetTickStep(int32_t) {}

  BOOL IsHover() override { return hover_; }
  BOOL OnMouseMove(UINT keyFlags, GPoint pt) override;
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  // 1 (the click) when released over an opaque pixel after a press on the avatar.
  BOOL OnLButtonUp(UINT keyFlags, GPoint pt) override;
  BOOL OnRButtonDown(UINT keyFlags, GPoint pt) override;
  BOOL OnRButtonUp(UINT keyFlags, GPoint pt) override;

  XAvatarEntry* GetAvatarEntry();
  BOOL IsPressed() const { return pressed_; }
  int32_t GetTopTrim() const { return topTrim_; }
  int32_t GetBottomTrim() const { return bottomTrim_; }
  const std::vector<int32_t>& GetLayerFrames() const { return frames_; }
  const std::vector<uint32_t>& GetLayerNextTimes() const { return nextTimes_; }

 private:
  BOOL Active() { return IsVisible() && IsEnabled(); }

  int32_t topTrim_ = 0;
  int32_t bottomTrim_ = 0;
  BOOL hover_ = 0;
  BOOL pressed_ = 0;
  std::vector<int32_t> frames_;
  std::vector<uint32_t> nextTimes_;
};
