// The scene's game timers: window timers on the game window, their running flags,
// the turn countdown's phase and display values, and the clock of the 50 ms tick.
// The scene decides what an expiry does; this part keeps the books.
#pragma once

#include <cstdint>

#include "plat/types.h"
#include "scene/CTimeMgr.h"

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
  // Turn limits in seconds by phase: one row per speed kind 0..2, then the row every
  // speed uses while auto-play is on.
  static constexpr int32_t kPhases = 18;
  static constexpr int32_t kSpeedKinds = 3;
  static constexpr int32_t kAutoPlayRow = kSpeedKinds;
  static constexpr int32_t kTurnLimits[kSpeedKinds + 1][kPhases] = {
      {0, 5, 2, 6, 0, 0, 10, 9, 10, 10, 0, 10, 0, 0, 10, 10, 0, 10},
      {0, 5, 2, 6, 0, 0, 10, 9, 8, 5, 0, 5, 0, 0, 5, 5, 0, 10},
      {0, 5, 2, 6, 0, 0, 10, 9, 5, 5, 0, 5, 0, 0, 5, 5, 0, 10},
      {0, 2, 2, 1, 0, 0, 2, 0, 1, 2, 0, 2, 0, 0, 2, 2, 0, 10},
  };
  // The phase whose limit shrinks for a player who keeps the table waiting.
  static constexpr int32_t kPlayCardPhase = 8;
  // What the limit of a turn depends on besides its phase.
  struct LimitFacts {
    int32_t speedKind = 0;     // a kind outside 0..2 counts as 0
    int32_t autoPlay = 0;
    int32_t seated = 0;        // this client holds a seat
    int32_t antiLeaveGame = 0; // an anti-leave room during a game
    int32_t antiLeaveCounters[2] = {};  // my seat's
    int32_t timeouts = 0;      // my time-outs in this game; below 0 counts as 0
  };
  // The table's limit of a phase: the countdown's start value. 0 outside 0..17.
  static int32_t TableLimit(int32_t phase, int32_t speedKind, int32_t autoPlay);
  // The limit the turn timer runs for: the table's, shortened for the play of a hand
  // card by the anti-leave counters or by earlier time-outs.
  static int32_t ReducedLimit(int32_t phase, const LimitFacts& facts);

  // The first tick is due at once.
  CSceneTimers();

  // The window the timers run on; none (null) starts nothing.
  void SetWindow(HWND wnd) { wnd_ = wnd; }
  HWND Window() const { return wnd_; }
  // 0 the 50 ms tick, 1 the turn countdown for `phase` (replacing a running one), 2
  // the blink, 3 and 4 one-shots (restarted when running). Id 1 gives the limit used
  // (seconds; a negative limit takes the slowest speed's), others 0.
  int32_t Start(UINT_PTR id, int32_t phase, int32_t limitSeconds = -1);
  // The window's KillTimer result for a running timer; the id when it was not
  // running (ids outside 0..4 are ignored).
  int32_t Stop(UINT_PTR id);
  // The teardown's step: every one of 0..4 still running is stopped.
  void StopAll();
  bool IsRunning(UINT_PTR id) const {
    return id == kTurnTimer ? turnPhase_ != 0 : id <= kLastKilledTimer && running_[id] != 0;
  }
  // The books of an expiry: the one-shots 3 and 4 end at their first, 5 is killed;
  // timer 1 is left to the time-out, which needs its phase. False for an id above 5
  // (a widget's timer), which the scene leaves alone.
  bool Expire(UINT_PTR id);
  // Timer 1 set again for `ms` with the phase kept (auto-play's restart).
  void RearmTurn(int32_t phase, uint32_t ms);
  // The per-game reset: the flags of 0, 2, 3 and 4 forgotten, their window timers
  // left as they are.
  void ForgetRunningFlags();
  // The phase whose countdown runs; 0 while timer 1 is stopped.
  int32_t Phase() const { return turnPhase_; }
  void SetPhase(int32_t phase) { turnPhase_ = phase; }

  // ---- The countdown display ----
  int32_t Countdown() const { return countdown_; }
  int32_t CountdownStart() const { return countdownStart_; }
  int32_t CountdownThreshold() const { return countdownThreshold_; }
  void SetCountdownThreshold(int32_t seconds) { countdownThreshold_ = seconds; }
  void SetCountdown(int32_t current, int32_t start) {
    countdown_ = current;
    countdownStart_ = start;
  }
  // A handler's new question: start at the table limit, one below it now.
  void BeginCountdown(int32_t start, int32_t threshold) {
    SetCountdown(start - 1, start);
    countdownThreshold_ = threshold;
  }
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
  int32_t HalfSecondToggle() const { return halfSecondToggle_; }
  // Flips the half-second toggle; its new value.
  int32_t ToggleHalfSecond() { return halfSecondToggle_ ^= 1; }
  // What the countdown shows at a whole second.
  enum class CountdownShow { kHidden, kSilent, kNumber };
  struct CountdownStep {
    CountdownShow show = CountdownShow::kHidden;
    int32_t number = 0;  // kNumber: the animation to show
  };
  // The whole-second step: hidden above the threshold (counting down) and after the
  // end (back to the start); below it the number, or only the count when silent.
  CountdownStep StepCountdown(bool silent);

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
  GVQLAniWnd* countdownAnim_ = nullptr;
  uint32_t lastTickTime_ = 0;
  int32_t hourLatch_ = 0;
  CTimeMgr waitWatch_;
};
