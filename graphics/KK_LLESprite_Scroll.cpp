// Timed horizontal moves. Times are unsigned 32-bit clock values: differences are
// taken modulo 2^32 so a move survives the clock wrapping, and products are 64-bit.
#include "graphics/KK_LLESprite_Scroll.h"

namespace {
// A recorded tick of 0 would read as "not started".
constexpr uint32_t kTickStandInForZero = 0xFFFFFFFFu;
uint32_t Tick(uint32_t now) { return now == 0 ? kTickStandInForZero : now; }
}  // namespace

void tagScroll_Move::Reset() { *this = tagScroll_Move{}; }

void tagScroll_Move::Set(int32_t startPos, int32_t endPos, int32_t currentPos) {
  start = startPos;
  end = endPos;
  current = currentPos;
  running = 0;
}

void tagScroll_Move::SetDuration(int32_t time, int32_t span) {
  elapsed = 0;
  duration = span == 0 ? int64_t(time) : (int64_t(end) - start) * time / span;
}

void tagScroll_Move::Restart() {
  elapsed = 0;
  lastTick = 0;
  running = 1;
  if (current == end) current = start;
}

void tagScroll_Move::Stop() {
  running = 0;
  current = start;
  lastTick = 0;
}

int32_t tagScroll_Move::Update(uint32_t now, int32_t loop) {
  if (!running) return 0;
  if (lastTick == 0) {
    lastTick = Tick(now);
    current = start;
    return 0;
  }
  elapsed += int64_t(uint32_t(now - lastTick));
  lastTick = Tick(now);
  if (elapsed <= duration) {
    const double fraction = duration == 0 ? 1.0 : elapsed < 0 ? 0.0 : double(elapsed) / double(duration);
    current = int32_t((double(end) - start) * fraction + start);
    if (end > current) return 0;
  }
  if (loop == 1) {
    elapsed = 0;
  } else {
    elapsed = duration;
    running = 0;
  }
  return 1;
}
