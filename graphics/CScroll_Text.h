// The scrolling line holder of the notice ticker: a queue of run-length sprite lines
// that enter a strip at its right edge and move left by time, one after another, or
// stand still at the strip's left edge in static mode.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "graphics/KK_LLESprite_Scroll.h"
#include "graphics/K_Dib.h"

class CScroll_Text {
 public:
  static constexpr int32_t kModeScroll = 0;
  static constexpr int32_t kModeStatic = 1;
  // Update's answers.
  static constexpr int32_t kIdle = 0;
  static constexpr int32_t kMoving = 1;
  static constexpr int32_t kAllDone = 2;

  CScroll_Text() { Reset(); }
  virtual ~CScroll_Text() { Clear(); }
  CScroll_Text(const CScroll_Text&) = delete;
  CScroll_Text& operator=(const CScroll_Text&) = delete;

  // Empty strip, settings, mode and read position; the lines stay.
  void Reset();
  // The strip (x, y)-(x + w, y + h); the three settings are kept for the owner.
  void Set(int32_t x, int32_t y, int32_t w, int32_t h, int32_t setting1, int32_t setting2, int32_t setting3);
  void SetMode(int32_t mode) { mode_ = mode; }
  // Releases and deletes every line.
  void Clear();
  // The first line becomes current and its move starts again.
  void Start();
  // Moves the read position past the last line: Update answers kAllDone until Start.
  void SeekEnd() { current_ = LineCount(); }
  bool HasLines() const { return !lines_.empty(); }

  // A line from the sprite at index `sprite` of a sprite file; it moves from 0 to its
  // width + w in (its width + w) x t / w ms (t when w is 0), and the line after it
  // enters once it has moved its own width. The new line's index, or -1.
  int32_t AddSpriteLine(const char* fileName, int32_t sprite, int32_t w, int32_t t);

  // 0 in static mode or without lines; kAllDone once the last line has finished
  // (neither repeating nor removing); else kMoving. A finished line repeats (the next
  // becomes current, the first after the last), is removed, or is parked.
  int32_t Update(uint32_t now, int32_t repeat, int32_t remove);
  // Draws the lines clipped to the strip, with its outline in colour 0 when `frame`
  // is 1; the whole-image clip is back afterwards. 0 without lines or image, else 1.
  int32_t Draw(K_Dib* target) { return Draw(target, 0); }
  int32_t Draw(K_Dib* target, int32_t frame);

  int32_t Mode() const { return mode_; }
  const K_Rect& Strip() const { return strip_; }
  int32_t Setting(int32_t i) const { return i >= 0 && i < 3 ? settings_[i] : 0; }
  int32_t LineCount() const { return static_cast<int32_t>(lines_.size()); }
  // The read position: an index into the queue, LineCount() when past the end.
  int32_t CurrentIndex() const { return current_; }
  KK_LLESprite_Scroll* Line(int32_t i) const;

 private:
  struct QueuedLine {
    std::unique_ptr<KK_LLESprite_Scroll> sprite;
    int32_t startDistance = 0;  // the next line enters once this line has moved beyond it
  };
  // Advances one line's move; a line that is not moving yet starts. 1 when it finished
  // now, or earlier while it was entering behind the line before it.
  static int32_t StepLine(KK_LLESprite_Scroll& line, uint32_t now);
  // The line that enters behind the current one: the next, or the first after the last
  // when repeating; -1 when there is none or it is the current line itself.
  int32_t FollowerOf(int32_t index, int32_t repeat) const;

  int32_t mode_ = kModeScroll;
  K_Rect strip_;
  int32_t settings_[3] = {0, 0, 0};
  std::deque<QueuedLine> lines_;
  int32_t current_ = 0;
};
