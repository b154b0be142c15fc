// The sprite-sheet effect: one TGA picture cut into a grid of equal frames (a row per
// sequence, a column per frame), shown one frame at a time through the surface
// widget's source rectangle and stepped by its owner, once per call or by time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "widgets/GVDDSWnd.h"

class GVEffectAnimWnd : public GVDDSWnd {
 public:
  enum PlayMode : int32_t { kStopped = 0, kPlayOnce = 1, kPlayCounted = 2, kPlayLoop = 3 };
  static constexpr int32_t kNoLimit = -1;
  // The interval that makes every AdvanceFrame call one step, whatever the time.
  static constexpr int32_t kStepInterval = -1;

  GVEffectAnimWnd() = default;
  ~GVEffectAnimWnd() override = default;

  // 1 when the shown frame changed and must be drawn again, 0 otherwise (also when a
  // play ends: the last frame stays, hidden when asked).
  virtual BOOL AdvanceFrame();

  // Loads the sheet as a TGA entry and shows frame 0 of sequence 0; every frame lasts
  // `interval` ms (kStepInterval: step mode). Rows or columns below 1 are refused.
  BOOL Create(const std::string& path, int32_t rows, int32_t columns, int32_t interval, BOOL visible);

  // Source rectangle = the current cell; the widget keeps its place and takes the cell's
  // size; marked dirty.
  void SetFrame();
  // The current frame's duration in ms; 0 outside the grid.
  uint32_t GetFrameDuration() const;

  // ---- What the owner sets to start a play ----
  void SetPlayMode(int32_t mode) { playMode_ = mode; }
  // Ignored outside the grid.
  void SetSequence(int32_t sequence);
  void SetCurrentFrame(int32_t frame);
  void SetRepeatLimit(int32_t limit) { repeatLimit_ = limit; }
  void SetHideAtEnd(BOOL hide) { hideAtEnd_ = hide; }
  void SetNextFrameTime(uint32_t ms) { nextFrameTime_ = ms; }
  void SetStepMode(BOOL on) { stepMode_ = on; }
  // Ignored outside the grid.
  void SetFrameDuration(int32_t sequence, int32_t frame, uint32_t ms);

  int32_t GetSequenceCount() const { return sequenceCount_; }
  int32_t GetFramesPerSequence() const { return framesPerSequence_; }
  GSize GetFrameSize() const { return GSize(frameWidth_, frameHeight_); }
  int32_t GetSequence() const { return currentSequence_; }
  int32_t GetCurrentFrame() const { return currentFrame_; }
  uint32_t GetNextFrameTime() const { return nextFrameTime_; }
  int32_t GetPlayMode() const { return playMode_; }
  BOOL GetHideAtEnd() const { return hideAtEnd_; }
  BOOL GetStepMode() const { return stepMode_; }
  int32_t GetRepeatLimit() const { return repeatLimit_; }
  int32_t GetRepeatsDone() const { return repeatsDone_; }

 private:
  // Moves `steps` (at least 1) frames on; false when the play ended on the way.
  bool Step(uint64_t steps);
  void EndPlay();
  bool InGrid(int32_t sequence, int32_t frame) const;

  int32_t sequenceCount_ = 0;
  int32_t framesPerSequence_ = 0;
  int32_t frameWidth_ = 0;
  int32_t frameHeight_ = 0;
  int32_t currentSequence_ = 0;
  int32_t currentFrame_ = 0;
  uint32_t nextFrameTime_ = 0;
  int32_t playMode_ = kStopped;
  BOOL hideAtEnd_ = 0;
  std::vector<std::vector<uint32_t>> durations_;
  BOOL stepMode_ = 0;
  int32_t repeatLimit_ = kNoLimit;
  int32_t repeatsDone_ = 0;
};
