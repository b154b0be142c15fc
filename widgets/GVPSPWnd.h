// The sprite-set widget: one frame of a sprite set (.psp) at a time, for cards, icons
// and pictures with several states; each frame is placed by its own anchor.
#pragma once

#include <cstdint>

#include "widgets/GVQLSWnd.h"

class GVPSPWnd : public GVQLSWnd {
 public:
  GVPSPWnd() = default;
  ~GVPSPWnd() override;

  void ReleaseImage() override;
  // Frame 0 of the set at anchor (0, 0); 0 when the file gives no set.
  int32_t Load(const char* fileName) override;
  // The frame's sprite (frame < 0: the current one); null without a set.
  const KK_LLESprite* GetSprite(int32_t frame) override;
  // The current frame stays when the new set has it, else frame 0; 0 (and the old set
  // kept) when the file gives no set.
  int32_t ChangeSprite(const char* fileName) override;

  // A frame outside the set shows frame 0.
  void SetFrame(int32_t frame);
  int32_t GetFrame() const { return frame_; }
  int32_t GetFrameCount() const { return frameCount_; }
  // Free for owners that step frames on a clock; zeroed when the set changes.
  uint32_t GetFrameTimer() const { return frameTimer_; }
  void SetFrameTimer(uint32_t t) { frameTimer_ = t; }

 private:
  int32_t frame_ = 0;
  int32_t frameCount_ = 0;
  uint32_t frameTimer_ = 0;
};
