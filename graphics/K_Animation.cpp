// The animation player: frame timing with loops, repeats, play counts, stop frame and
// hold; drawing parts through the sprite blitter; and the hit test, which places every
// part exactly as drawing does.
#include "graphics/K_Animation.h"

#include <algorithm>
#include <climits>

#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Dib.h"
#include "graphics/K_SpriteRscManager.h"
#include "graphics/K_Sprite.h"
#include "plat/time.h"

namespace {

constexpr uint32_t kMsPerUnit = 10;
constexpr uint32_t kBackwards = 0x80000000u;  // differences this large mean the clock went back
constexpr uint64_t kZeroPassesPerFrame = 65536;

bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

struct PlayState {
  int32_t frame, playCount;
  int16_t loopOrigin, loopLeft;
};

// Brent's cycle finding over the catch-up passes, where a cycle is a return to the same
// frame, play count and loop origin. Laps of a loop that nothing re-arms differ only in
// the loop's count, which falls by the same amount each lap; any other cycle returns to
// the very same state. A cycle that consumed time is repeated while more than its period
// remains; one that consumed none only adds to the zero-pass count, so it is repeated
// while the limit stays ahead; laps stop while the count would still continue the loop.
// The passes that would follow are the same as after the skip, so the result is too.
class CycleFinder {
 public:
  void Arm() { ++arms_; }

  void Pass(PlayState& now, int64_t& elapsed, uint64_t& zeroPasses, uint64_t zeroLimit) {
    ++passes_;
    if (passes_ == nextMark_) {
      Mark(now, elapsed, zeroPasses);
      nextMark_ *= 2;
      return;
    }
    if (now.frame != mark_.frame || now.playCount != mark_.playCount || now.loopOrigin != mark_.loopOrigin) return;
    const int32_t drop = int32_t(mark_.loopLeft) - now.loopLeft;
    const int64_t period = markElapsed_ - elapsed;
    const uint64_t length = passes_ - markPasses_;
    uint64_t laps = 0;
    if (drop == 0 || (drop > 0 && arms_ == markArms_ && now.loopLeft > 0)) {
      laps = drop == 0 ? UINT64_MAX : uint64_t(now.loopLeft - 1) / uint64_t(drop);
      if (period > 0 && zeroPasses == markZero_) {
        laps = std::min(laps, uint64_t(elapsed - 1) / uint64_t(period));
        elapsed -= int64_t(laps) * period;
      } else if (period == 0 && zeroPasses == markZero_ + length && zeroPasses < zeroLimit) {
        laps = std::min(laps, (zeroLimit - zeroPasses - 1) / length);
        zeroPasses += laps * length;
      } else {
        laps = 0;
      }
      now.loopLeft = int16_t(now.loopLeft - int64_t(laps) * drop);
    }
    Mark(now, elapsed, zeroPasses);
  }

 private:
  void Mark(const PlayState& now, int64_t elapsed, uint64_t zeroPasses) {
    mark_ = now;
    markElapsed_ = elapsed;
    markZero_ = zeroPasses;
    markPasses_ = passes_;
    markArms_ = arms_;
  }

  PlayState mark_{-1, 0, 0, 0};
  int64_t markElapsed_ = 0;
  uint64_t markZero_ = 0, markPasses_ = 0, passes_ = 0, nextMark_ = 1, arms_ = 0, markArms_ = 0;
};

}  // namespace

void K_Animation::ResetToStopped() {
  m_start = 0;
  m_frame = -1;
  m_playCount = 0;
  m_progress = 0;
  m_stopFrame = -1;
  m_loopOrigin = m_loopLeft = 0;
}

void K_Animation::SetRsc(K_Animation_RSC* rsc) {
  ResetToStopped();
  m_rsc = rsc && rsc->HasData() ? rsc : nullptr;
  m_frameCount = m_rsc ? m_rsc->FrameCount() : 0;
}

void K_Animation::Play(int32_t count) {
  K_Animation_RSC* rsc = GetRsc();
  if (!rsc || rsc->FrameCount() == 0) return;  // nothing to show: stays stopped
  m_start = StartTickOf(timeGetTime());
  m_frame = 0;
  m_progress = 0;
  m_stopFrame = -1;
  m_playCount = count;
  m_loopOrigin = m_loopLeft = 0;
}

void K_Animation::Stop() { ResetToStopped(); }

uint32_t K_Animation::Resume() {
  if (m_frame >= 0 && m_start == 0) m_start = StartTickOf(timeGetTime());
  return m_start;
}

void K_Animation::SetFrame(int32_t i) {
  K_Animation_RSC* rsc = GetRsc();
  if (rsc && i >= 0 && i < rsc->FrameCount()) m_frame = i;
}

K_Animation_RSC* K_Animation::CurrentData() {
  if (m_frame < 0) return nullptr;
  K_Animation_RSC* rsc = GetRsc();
  if (!rsc) return nullptr;
  if (m_frame >= rsc->FrameCount()) {
    Stop();
    return nullptr;
  }
  return rsc;
}

bool K_Animation::Step(uint32_t now) {
  m_progress = 0;
  if (m_start == 0 || m_frame < 0) return false;
  K_Animation_RSC* rsc = CurrentData();
  if (!rsc) return false;
  const int32_t count = rsc->FrameCount();
  const int32_t entry = m_frame;
  tagAni_Frame f;
  rsc->GetFrame(m_frame, f);
  const uint32_t diff = now - m_start;
  int64_t elapsed = diff >= kBackwards ? int64_t(f.duration) : int64_t(diff);
  int64_t d = int64_t(f.duration ? f.duration : 1) * kMsPerUnit;
  // Frames of no duration are passed over; a cycle made only of them would never
  // consume time, so the passes are counted and catching up stops at the limit.
  const uint64_t zeroLimit = uint64_t(count) * kZeroPassesPerFrame;
  uint64_t zeroPasses = 0;
  // The passes are deterministic in the playing state, so a long catch-up is mostly
  // one cycle of states repeated; a cycle, once seen, is skipped whole by arithmetic,
  // and the time spent stays bounded by the cycle's length, not by the time passed
  // or by the zero-pass limit.
  CycleFinder cycles;
  while (elapsed > d) {
    if (d > 0) {
      zeroPasses = 0;
    } else if (++zeroPasses >= zeroLimit) {
      m_start = StartTickOf(now);
      m_progress = 0;
      return m_frame != entry;
    }
    elapsed -= d;
    m_start = 0;
    bool advance = true;
    // Origin 0 stands for "no loop", so a loop on frame 0 re-arms itself for ever.
    if (m_loopOrigin != 0 && m_loopOrigin == m_frame && m_loopLeft > 0) {
      if (--m_loopLeft > 0) {
        m_frame = f.loopTarget;
        advance = false;
      } else {
        m_loopOrigin = 0;
      }
    } else if (f.repeat != 0) {
      cycles.Arm();
      m_loopOrigin = int16_t(m_frame);
      m_loopLeft = int16_t(f.repeat);
      m_frame = f.loopTarget;
      advance = false;
    }
    if (advance) ++m_frame;
    // A stop frame past the table never matches, so a pause always rests on a frame.
    if (m_frame == m_stopFrame && m_frame < count) return true;
    if (m_frame >= count) {
      m_frame = 0;
      if (m_playCount > 0) --m_playCount;
      if (m_playCount == 0) {
        if (m_stopFrame == kHoldLast) {
          m_frame = count - 1;
          m_start = 0;
        } else {
          Stop();
        }
        return true;
      }
    }
    rsc->GetFrame(m_frame, f);
    d = int64_t(f.duration) * kMsPerUnit;
    PlayState state{m_frame, m_playCount, m_loopOrigin, m_loopLeft};
    cycles.Pass(state, elapsed, zeroPasses, zeroLimit);
    m_loopLeft = state.loopLeft;
  }
  if (m_start == 0) m_start = StartTickOf(uint32_t(now - uint32_t(elapsed)));
  if (elapsed > 0) m_progress = int32_t(elapsed * kProgressScale / d);
  return m_frame != entry;
}

void K_Animation::Draw(K_Dib& image, int32_t x, int32_t y, uint32_t callFlags) {
  K_Animation_RSC* rsc = CurrentData();
  if (!rsc || !rsc->SpriteSet()) return;
  const K_Sprite& set = *rsc->SpriteSet();
  const tagAni_Header h = rsc->Header();
  tagAni_Frame f;
  rsc->GetFrame(m_frame, f);
  const K_Rect saved = image.ClipRect();
  if (h.flags & tagAni_Header::kUseBounds) {
    // The fixed bounds clip inside whatever clip the caller set.
    K_Rect r{int32_t(std::clamp<int64_t>(int64_t(x) + h.left, INT32_MIN, INT32_MAX)),
             int32_t(std::clamp<int64_t>(int64_t(y) + h.top, INT32_MIN, INT32_MAX)),
             int32_t(std::clamp<int64_t>(int64_t(x) + h.right, INT32_MIN, INT32_MAX)),
             int32_t(std::clamp<int64_t>(int64_t(y) + h.bottom, INT32_MIN, INT32_MAX))};
    image.IntersectClip(r);
    if (r.Width() <= 0 || r.Height() <= 0) return;
    image.SetClipRect(r.left, r.top, r.right, r.bottom);
  }
  for (uint32_t k = 0; k < f.partCount; ++k) {
    const tagAni_Part part = rsc->GetPart(m_frame, int32_t(k));
    if (part.sprite >= set.GetFrameCount()) continue;
    const KK_LLESprite& sprite = *set.GetFrame(part.sprite);
    kk::PartPlacement at;
    if (!kk::PlacePart(h, part, sprite, callFlags, m_progress, x, y, at)) continue;
    // A position beyond 32 bits puts the whole sprite far outside any image.
    if (!FitsInt32(at.drawX) || !FitsInt32(at.drawY)) continue;
    image.DrawSprite(int32_t(at.drawX), int32_t(at.drawY), sprite, at.flags, part.level, part.colour);
  }
  image.SetClipRect(saved.left, saved.top, saved.right, saved.bottom);
}

bool K_Animation::HitTest(int32_t x, int32_t y, uint32_t callFlags) {
  K_Animation_RSC* rsc = CurrentData();
  if (!rsc || !rsc->SpriteSet()) return false;
  const K_Sprite& set = *rsc->SpriteSet();
  if (set.GetFrameCount() == 0) return false;  // no part can be drawn, so none is hit
  const tagAni_Header h = rsc->Header();
  if ((h.flags & tagAni_Header::kUseBounds) && !(x >= h.left && x < h.right && y >= h.top && y < h.bottom))
    return false;
  tagAni_Frame f;
  rsc->GetFrame(m_frame, f);
  for (uint32_t k = 0; k < f.partCount; ++k) {
    const tagAni_Part part = rsc->GetPart(m_frame, int32_t(k));
    if (part.sprite >= set.GetFrameCount()) continue;  // not drawn, so not hit
    const KK_LLESprite& sprite = *set.GetFrame(part.sprite);
    kk::PartPlacement at;
    if (!kk::PlacePart(h, part, sprite, callFlags, m_progress, 0, 0, at)) continue;
    // The source pixel Draw puts at (x, y), undoing the mirror the way the blit applies it.
    const int64_t sx = (at.flags & K_Dib::kMirrorX) ? at.boxLeft + at.width - 1 - x : x - at.boxLeft;
    const int64_t sy = (at.flags & K_Dib::kMirrorY) ? at.boxTop + at.height - 1 - y : y - at.boxTop;
    if (sx < 0 || sy < 0 || sx >= at.width || sy >= at.height) continue;
    if (sprite.HitTest(int32_t(sx + at.boundsLeft), int32_t(sy + at.boundsTop))) return true;
  }
  return false;
}

bool K_Animation::IsFrameMoving() {
  K_Animation_RSC* rsc = CurrentData();
  if (!rsc) return false;
  tagAni_Frame f;
  rsc->GetFrame(m_frame, f);
  for (uint32_t k = 0; k < f.partCount; ++k)
    if (rsc->GetPart(m_frame, int32_t(k)).partFlags & tagAni_Part::kMoves) return true;
  return false;
}

K_Animation_RSC* K_Animation_RscMan::GetRsc() const {
  K_Animation_RSC* rsc = _QLSRsc_MANAGER_::GetAnimationRsc(m_handle);
  return rsc ? rsc->GetSubAnimation(m_sub) : nullptr;
}

void K_Animation_RscMan::SetHandle(uint32_t handle) {
  K_Animation_RSC* rsc = _QLSRsc_MANAGER_::GetAnimationRsc(handle);
  if (!rsc) return;
  m_handle = handle;
  m_sub = 0;
  ResetToStopped();
  m_frameCount = rsc->FrameCount();
}

int32_t K_Animation_RscMan::SetSubAnimation(int32_t i) {
  K_Animation_RSC* rsc = _QLSRsc_MANAGER_::GetAnimationRsc(m_handle);
  if (!rsc || i < 0 || i >= rsc->GetAnimationCount()) return 0;
  if (i == m_sub) return 1;
  ResetToStopped();
  m_sub = i;
  m_frameCount = rsc->GetSubAnimation(i)->FrameCount();
  return 1;
}
