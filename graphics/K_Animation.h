// Animation players: the current frame, its clock and play count over a bound
// K_Animation_RSC, stepping by the layer's millisecond clock, drawing the current frame
// onto an image and hit-testing it; K_Animation_RscMan binds through a sprite-manager
// handle resolved on every use.
#pragma once

#include <cstdint>

class K_Animation_RSC;
class K_Dib;

class K_Animation {
 public:
  static constexpr int32_t kHoldLast = -326;  // stop frame: keep the last frame at the end
  static constexpr int32_t kProgressScale = 100000;

  K_Animation() = default;
  virtual ~K_Animation() = default;
  K_Animation(const K_Animation&) = delete;
  K_Animation& operator=(const K_Animation&) = delete;

  virtual K_Animation_RSC* GetRsc() const { return m_rsc; }
  // Advances to `now` (a timeGetTime reading); whether the current frame changed.
  virtual bool Step(uint32_t now);

  // Binds (a resource without data leaves the player unbound) and stops.
  void SetRsc(K_Animation_RSC* rsc);
  // 0 or 1 plays once, n n times, negative for ever.
  void Play(int32_t count);
  void Stop();
  void Pause() { m_start = 0; }
  uint32_t Resume();
  void SetStopFrame(int32_t frame) { m_stopFrame = frame; }
  void SetFrame(int32_t i);

  void Draw(K_Dib& image, int32_t x, int32_t y, uint32_t callFlags);
  bool HitTest(int32_t x, int32_t y, uint32_t callFlags);
  bool IsFrameMoving();

  bool IsPlaying() const { return m_frame >= 0; }
  bool IsAtRest() const { return m_start == 0; }
  int32_t CurrentFrame() const { return m_frame; }
  uint32_t StartTick() const { return m_start; }
  int32_t Progress() const { return m_progress; }
  int32_t PlayCount() const { return m_playCount; }
  int32_t FrameCount() const { return m_frameCount; }

 protected:
  void ResetToStopped();
  // The bound data when the current frame lies in its table; a player whose data changed
  // under it (a refilled manager slot) stops instead of reading past the table.
  K_Animation_RSC* CurrentData();
  static uint32_t StartTickOf(uint32_t tick) { return tick ? tick : 0xFFFFFFFFu; }

  int32_t m_progress = 0;
  int32_t m_frameCount = 0;
  uint32_t m_start = 0;  // 0: paused or stopped
  int32_t m_frame = -1;  // -1: stopped
  K_Animation_RSC* m_rsc = nullptr;
  int32_t m_playCount = 0;
  int32_t m_stopFrame = -1;
  int16_t m_loopOrigin = 0;  // 0: no loop active
  int16_t m_loopLeft = 0;
};

class K_Animation_RscMan : public K_Animation {
 public:
  K_Animation_RSC* GetRsc() const override;
  // Binds only a handle that resolves to an animation.
  void SetHandle(uint32_t handle);
  int32_t SetSubAnimation(int32_t i);
  uint32_t Handle() const { return m_handle; }
  int32_t SubAnimation() const { return m_sub; }

 private:
  uint32_t m_handle = 0;
  int32_t m_sub = 0;
};
