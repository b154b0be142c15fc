// The game timers alone, on a bare window: which window timers run and stop, the turn
// phase and its limit, what an expiry ends, and the countdown's values.
#include "scene/CSceneTimers.h"

#include <gtest/gtest.h>

#include <vector>

#include "plat/sim.h"
#include "plat/user.h"

namespace {

using T = CSceneTimers;

std::vector<UINT_PTR>& Fired() {
  static std::vector<UINT_PTR> fired;
  return fired;
}

LRESULT CALLBACK TimerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER) Fired().push_back(wParam);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class SceneTimersTest : public testing::Test {
 protected:
  void SetUp() override {
    Fired().clear();
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TimerProc;
    wc.hInstance = kInstance;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    wnd = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, kInstance, nullptr);
    ASSERT_NE(wnd, nullptr);
    timers.SetWindow(wnd);
  }
  void TearDown() override { plat::sim::ResetWindowSystem(); }
  // How often each timer fired over the next `ms`.
  int32_t FiredOver(UINT_PTR id, uint32_t ms) {
    Fired().clear();
    plat::sim::Advance(ms);
    int32_t n = 0;
    for (UINT_PTR f : Fired()) n += f == id ? 1 : 0;
    return n;
  }
  static inline const HINSTANCE kInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x5480));
  static constexpr const char* kClass = "SceneTimersTestWnd";
  HWND wnd = nullptr;
  CSceneTimers timers;
};

// Each timer runs at its period until stopped; a second start of a running one
// restarts the one-shots and changes nothing for the others.
TEST_F(SceneTimersTest, EachTimerRunsAtItsPeriodUntilStopped) {
  struct Case { UINT_PTR id; uint32_t periodMs; };
  const Case cases[] = {{T::kTickTimer, T::kTickMs}, {T::kBlinkTimer, 500}, {T::kBannerTimer, 2000}, {4, 3500}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    EXPECT_EQ(timers.Start(c.id, 0), 0);
    EXPECT_TRUE(timers.IsRunning(c.id));
    EXPECT_EQ(FiredOver(c.id, c.periodMs - 1), 0);
    EXPECT_EQ(timers.Start(c.id, 0), 0);
    const bool oneShot = c.id == T::kBannerTimer || c.id == T::kLastKilledTimer;
    if (oneShot) {
      EXPECT_EQ(FiredOver(c.id, c.periodMs - 1), 0) << "restarted by the second start";
    }
    EXPECT_EQ(FiredOver(c.id, 1), 1) << "not restarted by the second start";
    timers.Stop(c.id);
    EXPECT_FALSE(timers.IsRunning(c.id));
    EXPECT_EQ(FiredOver(c.id, 2 * c.periodMs), 0);
  }
}

TEST_F(SceneTimersTest, TheTurnTimerRunsForOnePhaseAtATime) {
  EXPECT_EQ(timers.Start(T::kTurnTimer, 8), 10) << "a hand card at the slowest speed";
  EXPECT_EQ(timers.Phase(), 8);
  EXPECT_TRUE(timers.IsRunning(T::kTurnTimer));
  plat::sim::Advance(4000);
  EXPECT_EQ(timers.Start(T::kTurnTimer, 1), 5) << "the stake vote replaces it";
  EXPECT_EQ(timers.Phase(), 1);
  EXPECT_EQ(FiredOver(T::kTurnTimer, 4999), 0) << "counted from the new start";
  EXPECT_EQ(FiredOver(T::kTurnTimer, 1), 1);
  EXPECT_EQ(timers.Start(T::kTurnTimer, T::kPhases), 0) << "a phase past the table has no limit";
  timers.Stop(T::kTurnTimer);
  EXPECT_EQ(timers.Phase(), 0);
  EXPECT_FALSE(timers.IsRunning(T::kTurnTimer));
}

TEST_F(SceneTimersTest, NothingStartsWithoutAWindowOrPastTimerFour) {
  EXPECT_EQ(timers.Start(T::kLastTimer, 0), 0);
  EXPECT_FALSE(timers.IsRunning(T::kLastTimer));
  timers.Stop(7);
  timers.SetWindow(nullptr);
  EXPECT_EQ(timers.Start(T::kTurnTimer, 8), 0);
  EXPECT_EQ(timers.Start(T::kTickTimer, 0), 0);
  EXPECT_FALSE(timers.IsRunning(T::kTurnTimer) || timers.IsRunning(T::kTickTimer));
  EXPECT_EQ(FiredOver(T::kTickTimer, 100), 0);
}

// An expiry ends the one-shots, kills the chat macro's timer 5 and leaves the tick,
// the blink and timer 1 (whose time-out reads its phase) running; a widget's timer is
// not the scene's.
TEST_F(SceneTimersTest, AnExpiryEndsOnlyTheOneShots) {
  struct Case { UINT_PTR id; bool scenes, runsOn; };
  const Case cases[] = {{0, true, true}, {1, true, true}, {2, true, true},
                        {3, true, false}, {4, true, false}, {6, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    timers.Start(c.id, 8);
    EXPECT_EQ(timers.Expire(c.id), c.scenes);
    EXPECT_EQ(timers.IsRunning(c.id), c.runsOn);
    timers.Stop(c.id);
  }
  SetTimer(wnd, T::kLastTimer, 2000, nullptr);
  EXPECT_TRUE(timers.Expire(T::kLastTimer));
  EXPECT_EQ(FiredOver(T::kLastTimer, 4000), 0);
}

TEST_F(SceneTimersTest, TeardownStopsTheScenesOwnAndTheResetForgetsFlagsOnly) {
  for (UINT_PTR id = 0; id <= T::kLastKilledTimer; ++id) timers.Start(id, 8);
  SetTimer(wnd, T::kLastTimer, 2000, nullptr);
  timers.StopAll();
  for (UINT_PTR id = 0; id <= T::kLastKilledTimer; ++id) EXPECT_FALSE(timers.IsRunning(id)) << id;
  EXPECT_EQ(FiredOver(T::kLastTimer, 2000), 1) << "the chat macro's outlives a teardown";
  EXPECT_EQ(FiredOver(T::kTickTimer, 200), 0);
  timers.Start(T::kTickTimer, 0);
  timers.Start(T::kTurnTimer, 8);
  timers.ForgetRunningFlags();
  EXPECT_FALSE(timers.IsRunning(T::kTickTimer));
  EXPECT_EQ(timers.Phase(), 8) << "the per-game reset leaves the countdown's phase";
  EXPECT_EQ(FiredOver(T::kTickTimer, T::kTickMs), 1) << "the window timer itself runs on";
}

TEST_F(SceneTimersTest, CountdownEndsBackAtItsStart) {
  timers.ResetCountdown();
  EXPECT_EQ(timers.CountdownThreshold(), T::kCountdownThreshold);
  EXPECT_EQ(timers.Countdown(), 0);
  timers.SetCountdown(3, 10);
  timers.RewindCountdown();
  EXPECT_EQ(timers.Countdown(), 10);
}

// The host's time-out count shortens my play down to the floor, whatever its size: a
// count near the end of 32 bits once overflowed the reduction.
TEST_F(SceneTimersTest, TimeoutsShortenMyPlayToTheFloorWhateverTheirCount) {
  T::LimitFacts facts;
  facts.seated = 1;
  const int32_t full = T::TableLimit(T::kPlayCardPhase, 0, 0);
  EXPECT_EQ(T::ReducedLimit(T::kPlayCardPhase, facts), full);
  for (const int32_t timeouts : {2, 1342177280, 1952671078, INT32_MAX}) {
    facts.timeouts = timeouts;
    EXPECT_EQ(T::ReducedLimit(T::kPlayCardPhase, facts), full - 5) << timeouts;
  }
  facts.timeouts = INT32_MIN;
  EXPECT_EQ(T::ReducedLimit(T::kPlayCardPhase, facts), full);
}

}  // namespace
