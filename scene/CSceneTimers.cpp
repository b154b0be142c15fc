// The game timers' books: which window timers run, the turn phase, the countdown's
// values and the tick's clock.
#include "scene/CSceneTimers.h"

#include <algorithm>

#include "plat/time.h"
#include "plat/user.h"
#include "widgets/GVQLAniWnd.h"

namespace scene_timers {

constexpr UINT kBlinkMs = 500;
constexpr UINT kBannerMs = 2000;
constexpr UINT kStartButtonMs = 3500;
constexpr UINT kMillisPerSecond = 1000;
constexpr int32_t kSecondsPerTimeout = 3;
constexpr int32_t kMostReduction = 5;
constexpr int32_t kShortestPlayLimit = 5;
constexpr int32_t kWarnedPlayLimit = 7;
// Periods of the timers other than 1, by id.
constexpr UINT kPeriods[] = {CSceneTimers::kTickMs, 0, kBlinkMs, kBannerMs, kStartButtonMs};

}  // namespace scene_timers

CSceneTimers::CSceneTimers() : lastTickTime_(timeGetTime() - kTickMs) {}

int32_t CSceneTimers::TableLimit(int32_t phase, int32_t speedKind, int32_t autoPlay) {
  if (phase < 0 || phase >= kPhases) return 0;
  const int32_t row = autoPlay ? kAutoPlayRow : speedKind >= 0 && speedKind < kSpeedKinds ? speedKind : 0;
  return kTurnLimits[row][phase];
}

int32_t CSceneTimers::ReducedLimit(int32_t phase, const LimitFacts& f) {
  const int32_t limit = TableLimit(phase, f.speedKind, f.autoPlay);
  if (phase != kPlayCardPhase || f.autoPlay || !f.seated) return limit;
  if (f.antiLeaveGame) {
    if (f.antiLeaveCounters[0] >= 1 || f.antiLeaveCounters[1] >= 2) return scene_timers::kShortestPlayLimit;
    if (f.antiLeaveCounters[1] == 1) return scene_timers::kWarnedPlayLimit;
    return limit;
  }
  // The host's count may be anything up to the end of 32 bits: it is capped before it
  // is multiplied.
  const int32_t counted = std::clamp(f.timeouts, 0, scene_timers::kMostReduction);
  const int32_t reduction = std::min(scene_timers::kSecondsPerTimeout * counted, scene_timers::kMostReduction);
  return std::max(limit - reduction, std::min(limit, scene_timers::kShortestPlayLimit));
}

int32_t CSceneTimers::Start(UINT_PTR id, int32_t phase, int32_t limitSeconds) {
  if (id > kLastKilledTimer || !wnd_) return 0;
  if (id == kTurnTimer) {
    Stop(kTurnTimer);
    const int32_t limit = limitSeconds >= 0 ? limitSeconds : TableLimit(phase, 0, 0);
    SetTimer(wnd_, id, static_cast<UINT>(limit) * scene_timers::kMillisPerSecond, nullptr);
    turnPhase_ = phase;
    return limit;
  }
  // The one-shots start again from now; the repeating ones keep their rhythm.
  if (running_[id] && (id == kBannerTimer || id == kLastKilledTimer)) Stop(id);
  if (running_[id]) return 0;
  running_[id] = 1;
  SetTimer(wnd_, id, scene_timers::kPeriods[id], nullptr);
  return 0;
}

int32_t CSceneTimers::Stop(UINT_PTR id) {
  if (id > kLastKilledTimer) return static_cast<int32_t>(id);
  const bool running = IsRunning(id);
  // Killed even when its flag was forgotten by a reset: a window timer left behind
  // would fire into the next game.
  const BOOL killed = wnd_ ? KillTimer(wnd_, id) : 0;
  running_[id] = 0;
  if (id == kTurnTimer) turnPhase_ = 0;
  return running ? static_cast<int32_t>(killed) : static_cast<int32_t>(id);
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
  } else if (id == kBannerTimer || id == kLastKilledTimer) {
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
  if (countdownAnim_) countdownAnim_->Stop();
  countdown_ = countdownStart_;
}

CSceneTimers::CountdownStep CSceneTimers::StepCountdown(bool silent) {
  if (countdown_ >= countdownStart_) return {};
  if (countdown_ >= countdownThreshold_) {
    --countdown_;
    return {};
  }
  if (countdown_ < 0) {
    countdown_ = countdownStart_;
    return {};
  }
  const int32_t shown = countdown_--;
  if (silent) return {CountdownShow::kSilent, shown};
  return {CountdownShow::kNumber, shown};
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
