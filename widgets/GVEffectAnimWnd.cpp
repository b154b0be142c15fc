// Stepping the effect sheet. A late timed call steps as many frames as are due, by
// arithmetic rather than one at a time, so a clock far ahead of the next-frame time
// costs no more than a punctual one; clock comparisons are signed 32-bit differences
// and survive the wrap.
#include "widgets/GVEffectAnimWnd.h"

#include "graphics/XBaseEntry.h"
#include "plat/time.h"

bool GVEffectAnimWnd::InGrid(int32_t sequence, int32_t frame) const {
  return sequence >= 0 && sequence < sequenceCount_ && frame >= 0 && frame < framesPerSequence_;
}

BOOL GVEffectAnimWnd::Create(const std::string& path, int32_t rows, int32_t columns, int32_t interval,
                             BOOL visible) {
  if (rows < 1 || columns < 1) return 0;
  if (!LoadTga(path)) return 0;
  const XBaseEntry* e = GetEntry();
  if (!e || e->kind != kEntryTga) return 0;
  const GSize sheet = source_.Size();
  // A grid finer than the sheet has cells without pixels.
  if (sheet.cx / columns < 1 || sheet.cy / rows < 1) return 0;
  sequenceCount_ = rows;
  framesPerSequence_ = columns;
  frameWidth_ = sheet.cx / columns;
  frameHeight_ = sheet.cy / rows;
  currentSequence_ = 0;
  currentFrame_ = 0;
  playMode_ = kStopped;
  nextFrameTime_ = 0;
  repeatsDone_ = 0;
  source_ = GRect(GPoint(), GetFrameSize());
  SetRect(GRect(GPoint(), GetFrameSize()));
  stepMode_ = interval == kStepInterval ? 1 : 0;
  SetFrame();
  durations_.assign(static_cast<size_t>(rows),
                    std::vector<uint32_t>(static_cast<size_t>(columns), static_cast<uint32_t>(interval)));
  Show(visible);
  return 1;
}

void GVEffectAnimWnd::SetFrame() {
  const GSize size = GetFrameSize();
  source_ = GRect(GPoint(currentFrame_ * frameWidth_, currentSequence_ * frameHeight_), size);
  SetRect(GRect(GetRect().TopLeft(), size));
  SetDirty(1);
}

uint32_t GVEffectAnimWnd::GetFrameDuration() const {
  if (!InGrid(currentSequence_, currentFrame_)) return 0;
  return durations_[static_cast<size_t>(currentSequence_)][static_cast<size_t>(currentFrame_)];
}

void GVEffectAnimWnd::SetSequence(int32_t sequence) {
  if (InGrid(sequence, currentFrame_)) currentSequence_ = sequence;
}

void GVEffectAnimWnd::SetCurrentFrame(int32_t frame) {
  if (InGrid(currentSequence_, frame)) currentFrame_ = frame;
}

void GVEffectAnimWnd::SetFrameDuration(int32_t sequence, int32_t frame, uint32_t ms) {
  if (InGrid(sequence, frame)) durations_[static_cast<size_t>(sequence)][static_cast<size_t>(frame)] = ms;
}

void GVEffectAnimWnd::EndPlay() {
  if (hideAtEnd_) Show(0);
  currentFrame_ = framesPerSequence_ - 1;
  repeatsDone_ = 0;
  playMode_ = kStopped;
  SetFrame();
}

bool GVEffectAnimWnd::Step(uint64_t steps) {
  const uint64_t count = static_cast<uint64_t>(framesPerSequence_);
  const uint64_t target = static_cast<uint64_t>(currentFrame_) + steps;
  const bool counted = playMode_ == kPlayCounted && repeatLimit_ != kNoLimit;
  if (playMode_ == kPlayOnce && target >= count) {
    EndPlay();
    return false;
  }
  if (counted) {
    // Every pass over the last frame is one repeat; the play ends on reaching the limit.
    const int64_t repeats = int64_t(repeatsDone_) + static_cast<int64_t>(target / count);
    if (target >= count && repeats >= repeatLimit_) {
      EndPlay();
      return false;
    }
    repeatsDone_ = static_cast<int32_t>(repeats);
  }
  currentFrame_ = static_cast<int32_t>(target % count);
  return true;
}

BOOL GVEffectAnimWnd::AdvanceFrame() {
  if (playMode_ == kStopped || !InGrid(currentSequence_, currentFrame_)) return 0;
  if (stepMode_) {
    if (!Step(1)) return 0;
  } else {
    const uint32_t now = timeGetTime();
    if (static_cast<int32_t>(nextFrameTime_ - now) >= 0) return 0;
    const uint32_t overdue = now - nextFrameTime_;
    const int32_t duration = static_cast<int32_t>(GetFrameDuration());
    const uint64_t steps = 1 + (duration <= 0 ? 0 : overdue / static_cast<uint32_t>(duration));
    if (!Step(steps)) {
      nextFrameTime_ = 0;
      return 0;
    }
    nextFrameTime_ = now + GetFrameDuration();
  }
  SetFrame();
  SetDirty(1);
  return 1;
}
