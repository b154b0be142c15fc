// Horizontal motion over time (a start-to-end move timed in milliseconds) and the
// run-length sprite that carries it, for text scrolling across a strip.
#pragma once

#include <cstdint>

#include "graphics/KK_LLESprite.h"

struct tagScroll_Move {
  int32_t start = 0;
  int32_t end = 0;
  int32_t current = 0;
  int64_t duration = 0;  // ms
  int64_t elapsed = 0;   // ms
  uint32_t lastTick = 0;  // 0: not started yet
  int32_t running = 0;

  void Reset();
  void Set(int32_t startPos, int32_t endPos, int32_t currentPos);
  // `time` ms for `span` pixels, scaled to the whole move; `time` itself when span is 0.
  void SetDuration(int32_t time, int32_t span);
  void Restart();
  void Stop();
  // 1 when the move finished in this update. The first update after a restart only
  // records the clock.
  int32_t Update(uint32_t now, int32_t loop);
};

class KK_LLESprite_Scroll : public KK_LLESprite, public tagScroll_Move {
 public:
  KK_LLESprite_Scroll() = default;
  ~KK_LLESprite_Scroll() override = default;

  void Position(int32_t& x, int32_t& y) const { x -= current; (void)y; }
  bool IsPast(int32_t limit) const { return current > limit; }
};
