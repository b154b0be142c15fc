// The game timers' books: which window timers run, the turn phase, the countdown's
// values and the tick's clock.
#include "scene/CSceneTimers.h"

#include "plat/time.h"
#include "plat/user.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_timers {

constexpr UINT kBlinkMs = 500;
constexpr UINT kBannerMs = 2000;
constexpr UINT kStartButtonMs = 3500;
constexpr UINT kMillisPerSecond = 1000;
// Periods of the timers other than 1, by id.
constexpr UINT kPeriods[] = {CSceneTimers::kTickMs, 0, kBlinkMs, kBannerMs, kStartButtonMs};

}  // namespace scene_timers

CSceneTimers::CSceneTimers() : lastTickTime_(timeGetTime() - kTickMs) {}

int32_t CSceneTimers::Start(UINT_PTR id, int32_t phase) {
  if (id > kLastKilledTimer || !wnd_) return 0;
  if (id == kTurnTimer) {
    Stop(kTurnTimer);
    const int32_t limit = phase >= 0 && phase < kPhases ? kTurnLimitSeconds[phase] : 0;
    SetTimer(wnd_, id, static_cast<UINT>(limit) * scene_timers::kMillisPerSecond, nullptr);
    turnPhase_ = phase;
    return limit;
  }
  if (running_[id]) return 0;
  running_[id] = 1;
  SetTimer(wnd_, id, scene_timers::kPeriods[id], nullptr);
  return 0;
}

void CSceneTimers::Stop(UINT_PTR id) {
  if (id > kLastKilledTimer) return;
  if (wnd_) KillTimer(wnd_, id);
  running_[id] = 0;
  if (id == kTurnTimer) turnPhase_ = 0;
}

void CSceneTimers::RearmTurn(int32_t phase, uint32_t ms) {
  Stop(kTurnTimer);
  if (!wnd_) return;
  SetTimer(wnd_, kTurnTimer, ms, nullptr);
  turnPhase_ = phase;
}

void CSceneTimers::StopAll() {
  for (UINT_PTR id = 0; id <= kLastKilledTimer; ++id) {
    if (IsRunning(id)) Stop(id);
  }
}

bool CSceneTimers::Expire(UINT_PTR id) {
  if (id > kLastTimer) return false;
  if (id == kLastTimer) {
    if (wnd_) KillTimer(wnd_, id);
  } else if (id != kTickTimer && id != kBlinkTimer) {
    Stop(id);
  }
  return true;
}

void CSceneTimers::ForgetRunningFlags() {
  for (UINT_PTR id = 0; id <= kLastKilledTimer; ++id) {
    if (id != kTurnTimer) running_[id] = 0;
  }
}

void CSceneTimers::ResetCountdown() {
  countdownThreshold_ = kCountdownThreshold;
  countdownStart_ = 0;
  countdown_ = 0;
  halfSecondToggle_ = 0;
  afterToggleFlag_ = 0;
}

void CSceneTimers::RewindCountdown() {
  afterToggleFlag_ = 0;
  countdown_ = countdownStart_;
}

void CSceneTimers::StartCountdown(int32_t limit, int32_t threshold) {
  countdownStart_ = limit;
  countdown_ = limit - 1;
  countdownThreshold_ = threshold;
}

void CSceneTimers::StopCountdown(bool stopTurnTimer) {
  if (stopTurnTimer) Stop(kTurnTimer);
  countdownWidget_.Stop();
  if (countdownAnim_) countdownAnim_->Stop();
  countdown_ = countdownStart_;
}

bool CSceneTimers::TakeTick() {
  const uint32_t now = timeGetTime();
  // Unsigned: the difference stays right across the 32-bit wrap.
  if (now - lastTickTime_ < kTickMs) return false;
  lastTickTime_ = now;
  return true;
}

int32_t CSceneTimers::IsHourStartOnce() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  if (now.wMinute != 0 || now.wSecond != 0) {
    hourLatch_ = 0;
    return 0;
  }
  if (hourLatch_) return 0;
  hourLatch_ = 1;
  return 1;
}
