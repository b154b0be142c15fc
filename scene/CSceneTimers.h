// The scene's game timers: window timers on the game window, their running flags,
// the turn countdown's phase and display values, and the clock of the 50 ms tick.
// The scene decides what an expiry does; this part keeps the books.
#pragma once

#include <cstdint>
#include <iterator>

#include "plat/types.h"
#include "scene/CTimeMgr.h"
#include "scene/SceneWidgetStub.h"

class GVQLAniWnd;

class CSceneTimers {
 public:
  // The animation tick: the period of timer 0 and every animated widget's step.
  static constexpr uint32_t kTickMs = 50;
  // Timers 0..4 are the scene's own and die with it; 5 (the chat macro's) outlives
  // a teardown.
  static constexpr UINT_PTR kTickTimer = 0;
  static constexpr UINT_PTR kTurnTimer = 1;
  static constexpr UINT_PTR kBlinkTimer = 2;
  static constexpr UINT_PTR kBannerTimer = 3;
  static constexpr UINT_PTR kLastKilledTimer = 4;
  static constexpr UINT_PTR kLastTimer = 5;
  static constexpr int32_t kCountdownThreshold = 10;
  // Turn limits in seconds by phase at the slowest speed; the speed and auto-play
  // tables come with the full countdown.
  static constexpr int32_t kTurnLimitSeconds[] = {0, 5, 2, 6, 0, 0, 10, 9, 10, 10, 0, 10, 0, 0, 10, 10, 0, 10};
  static constexpr int32_t kPhases = static_cast<int32_t>(std::size(kTurnLimitSeconds));

  // The first tick is due at once.
  CSceneTimers();

  // The window the timers run on; none (null) starts nothing.
  void SetWindow(HWND wnd) { wnd_ = wnd; }
  HWND Window() const { return wnd_; }
  // 0 the 50 ms tick, 1 the turn countdown for `phase` (replacing a running one), 2
  // the blink, 3 and 4 one-shots. Id 1 gives the limit used (seconds), others 0.
  int32_t Start(UINT_PTR id, int32_t phase);
  // Ids outside 0..4 are ignored.
  void Stop(UINT_PTR id);
  // The teardown's step: every one of 0..4 still running is stopped.
  void StopAll();
  bool IsRunning(UINT_PTR id) const {
    return id == kTurnTimer ? turnPhase_ != 0 : id <= kLastKilledTimer && running_[id] != 0;
  }
  // The books of an expiry: timer 1 and the one-shots end at their first, 5 is killed.
  // False for an id above 5 (a widget's timer), which the scene leaves alone.
  bool Expire(UINT_PTR id);
  // Timer 1 set again for `ms` with the phase kept (auto-play's restart).
  void RearmTurn(int32_t phase, uint32_t ms);
  // The per-game reset: the flags of 0, 2, 3 and 4 forgotten, their window timers
  // left as they are.
  void ForgetRunningFlags();
  // The phase whose countdown runs; 0 while timer 1 is stopped.
  int32_t Phase() const { return turnPhase_; }

  // ---- The countdown display ----
  int32_t Countdown() const { return countdown_; }
  int32_t CountdownStart() const { return countdownStart_; }
  int32_t CountdownThreshold() const { return countdownThreshold_; }
  void SetCountdownThreshold(int32_t seconds) { countdownThreshold_ = seconds; }
  void SetCountdown(int32_t current, int32_t start) {
    countdown_ = current;
    countdownStart_ = start;
  }
  SceneWidgetStub& CountdownWidget() { return countdownWidget_; }
  // A new table: threshold 10, start and current 0, the half-second toggles off.
  void ResetCountdown();
  // The end of a game: current back to its start.
  void RewindCountdown();
  // The steps every timed answer shares: timer 1 stopped, the countdown hidden and
  // back to its start.
  void EndTurnCountdown() { StopCountdown(true); }
  // The countdown's animation once the scene build made it; null before and after.
  void SetCountdownAnimation(GVQLAniWnd* animation) { countdownAnim_ = animation; }
  GVQLAniWnd* CountdownAnimation() const { return countdownAnim_; }
  // A countdown from `limit` seconds: start := limit, shown := limit - 1, shown
  // from `threshold` down.
  void StartCountdown(int32_t limit, int32_t threshold);
  // The countdown hidden and back to its start; timer 1 stopped too when asked.
  void StopCountdown(bool stopTurnTimer);

  // ---- The tick's clock ----
  // True, and the tick taken, when 50 ms have passed since the last one (across the
  // 32-bit wrap of the millisecond clock).
  bool TakeTick();
  // 1 the first time it is called in a local second whose minute and second are 0.
  int32_t IsHourStartOnce();

  // The nested wait's stopwatch.
  CTimeMgr& WaitWatch() { return waitWatch_; }

 private:
  HWND wnd_ = nullptr;
  int32_t turnPhase_ = 0;  // doubles as timer 1's running flag
  int32_t running_[kLastKilledTimer + 1] = {};
  int32_t countdown_ = 0;
  int32_t countdownStart_ = 0;
  int32_t countdownThreshold_ = 0;
  int32_t halfSecondToggle_ = 0;
  int32_t afterToggleFlag_ = 0;
  SceneWidgetStub countdownWidget_;
  GVQLAniWnd* countdownAnim_ = nullptr;
  uint32_t lastTickTime_ = 0;
  int32_t hourLatch_ = 0;
  CTimeMgr waitWatch_;
};
