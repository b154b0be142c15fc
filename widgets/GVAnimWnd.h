// The animated image widget: a GIF strip of the resource manager shown one frame
// cell at a time, moved on by the owner's tick at each frame's delay, looping or
// playing once and then showing or hiding itself.
#pragma once

#include <cstdint>
#include <string>

#include "widgets/GVDDSWnd.h"

class GVAnimWnd : public GVDDSWnd {
 public:
  enum PlayMode : int32_t {
    kStopped = 0,
    kOnceToFirst = 1,  // at the end frame 0 is selected, then playback stops
    kOnceToLast = 2,   // at the end playback stops on the last frame
    kLoop = 3,
  };
  static constexpr int32_t kDefaultStep = 10;  // milliseconds per AdvanceFrame

  GVAnimWnd() = default;
  ~GVAnimWnd() override = default;

  // The strip of `path` cut into cells of `frameSize`; the widget is one cell at
  // (0, 0). `colorKey` (-1 none) goes to the entry, and the widget keys when set.
  BOOL LoadGif(const std::string& path, GSize frameSize, COLORREF colorKey);
  // Back to frame 0 with its delay; 1.
  BOOL Rewind();
  // Stops, and rewinds when asked; 1.
  BOOL Stop(BOOL rewind);
  // One tick: 1 when a new frame was selected together with its delay; 0 otherwise
  // (also for a new frame the entry holds no delay for).
  BOOL AdvanceFrame();

  // Owners start, change and stop playback by setting the mode directly.
  void SetPlayMode(int32_t mode) { playMode_ = mode; }
  int32_t GetPlayMode() const { return playMode_; }
  // Modes 1 and 2: hide (rather than show) the widget when playback ends.
  void SetHideAtEnd(BOOL hide) { hideAtEnd_ = hide; }
  BOOL GetHideAtEnd() const { return hideAtEnd_; }
  void SetStep(int32_t ms) { step_ = ms; }
  int32_t GetStep() const { return step_; }
  int32_t GetShownFrame() const { return shownFrame_; }
  int32_t GetNextFrame() const { return nextFrame_; }
  int32_t GetElapsed() const { return elapsed_; }
  int32_t GetFrameDelay() const { return frameDelay_; }

 private:
  // The source rectangle moved onto cell `frame` of the strip.
  void ShowCell(int32_t frame);

  int32_t playMode_ = kLoop;
  int32_t nextFrame_ = 0;
  BOOL hideAtEnd_ = 0;
  int32_t shownFrame_ = 0;
  int32_t elapsed_ = 0;
  int32_t frameDelay_ = 0;
  int32_t step_ = kDefaultStep;
};
