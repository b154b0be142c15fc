#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "WindowTestSupport.h"
#include "plat/mmsystem.h"
#include "plat/time.h"

using namespace window_test;

namespace {

class Timers : public WindowTest {
 protected:
  // Tick times of the WM_TIMER messages the window got, relative to `start`.
  std::vector<DWORD> TimerTimes(HWND w, DWORD start, WPARAM id) {
    std::vector<DWORD> out;
    for (const Rec& r : Log())
      if (r.hwnd == w && r.msg == WM_TIMER && r.wParam == id) out.push_back(static_cast<DWORD>(r.lParam) - start);
    return out;
  }
  void SetUp() override {
    WindowTest::SetUp();
    // Records the message time in lParam, so tests read when each WM_TIMER came.
    SetAnswer([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg == WM_TIMER) Log().back().lParam = static_cast<LPARAM>(GetMessageTime());
      return std::nullopt;
    });
  }
};

TEST_F(Timers, AdvanceStopsAtEachTimerInTurnWithPeriodsOfTenOrMore) {
  HWND w = MakeTop(0, 0, 10, 10);
  DWORD start = NowTick();
  SetTimer(w, 0, 50, nullptr);
  SetTimer(w, 1, 30, nullptr);
  SetTimer(w, 4, 1, nullptr);  // raised to 10 ms
  plat::sim::Advance(100);
  EXPECT_EQ(TimerTimes(w, start, 0), (std::vector<DWORD>{50, 100}));
  EXPECT_EQ(TimerTimes(w, start, 1), (std::vector<DWORD>{30, 60, 90}));
  EXPECT_EQ(TimerTimes(w, start, 4).size(), 10u);
  EXPECT_EQ(TimerTimes(w, start, 4).front(), 10u);
  std::vector<WPARAM> ids;
  for (const Rec& r : Only(WM_TIMER))
    if (r.wParam != 4) ids.push_back(r.wParam);
  EXPECT_EQ(ids, (std::vector<WPARAM>{1, 0, 1, 1, 0}));
}

TEST_F(Timers, SetAgainReplacesKillStopsAndALateTimerDeliversOnceAndRearmsFromDelivery) {
  HWND w = MakeTop(0, 0, 10, 10);
  PumpAll();
  DWORD start = NowTick();
  SetTimer(w, 1, 100, nullptr);
  plat::sim::Advance(50);
  SetTimer(w, 1, 300, nullptr);
  plat::sim::Advance(400);
  EXPECT_EQ(TimerTimes(w, start, 1), (std::vector<DWORD>{350}));
  EXPECT_TRUE(KillTimer(w, 1));
  SetTimer(w, 2, 20, nullptr);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, 0);  // due, not yet read
  EXPECT_TRUE(KillTimer(w, 2));
  PumpAll();
  plat::sim::Advance(100);
  EXPECT_TRUE(TimerTimes(w, start, 2).empty());
  EXPECT_FALSE(KillTimer(w, 2));
  EXPECT_FALSE(KillTimer(w, 99));
  start = NowTick();
  SetTimer(w, 3, 50, nullptr);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 500, 0);
  PumpAll();
  EXPECT_EQ(TimerTimes(w, start, 3), (std::vector<DWORD>{500})) << "ten periods coalesce into one";
  plat::sim::Advance(120);
  EXPECT_EQ(TimerTimes(w, start, 3), (std::vector<DWORD>{500, 550, 600}));
}

int procCalls;
void CALLBACK CountingTimerProc(HWND, UINT msg, UINT_PTR id, DWORD) {
  EXPECT_EQ(msg, WM_TIMER);
  EXPECT_EQ(id, 5u);
  ++procCalls;
}

TEST_F(Timers, ATimerProcedureReceivesTheTimerInsteadOfTheWindow) {
  HWND w = MakeTop(0, 0, 10, 10);
  procCalls = 0;
  SetTimer(w, 5, 40, CountingTimerProc);
  plat::sim::Advance(100);
  EXPECT_EQ(procCalls, 2);
  EXPECT_TRUE(Only(WM_TIMER).empty());
  UINT_PTR threadTimer = SetTimer(nullptr, 0, 40, CountingTimerProc);
  EXPECT_NE(threadTimer, 0u);
  EXPECT_TRUE(KillTimer(nullptr, threadTimer));
}

struct MmRecord { std::vector<DWORD> times; std::thread::id thread; UINT killSelf = 0; };

void CALLBACK RecordMm(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* rec = reinterpret_cast<MmRecord*>(user);
  rec->times.push_back(NowTick());
  rec->thread = std::this_thread::get_id();
  if (rec->killSelf == id) {
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
  }
}

TEST_F(Timers, MultimediaTimersFireOnTheAdvancingThreadAndNeverAfterBeingKilled) {
  MmRecord once, periodic, self, never;
  DWORD start = NowTick();
  UINT a = timeSetEvent(30, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&once), TIME_ONESHOT);
  UINT b = timeSetEvent(25, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&periodic), TIME_PERIODIC);
  self.killSelf = timeSetEvent(10, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&self), TIME_PERIODIC);
  EXPECT_EQ(timeKillEvent(timeSetEvent(10, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&never), TIME_ONESHOT)),
            TIMERR_NOERROR);
  ASSERT_NE(a * b, 0u);
  plat::sim::Advance(100);
  EXPECT_EQ(once.times, std::vector<DWORD>{start + 30});
  EXPECT_EQ(once.thread, std::this_thread::get_id());
  ASSERT_EQ(periodic.times.size(), 4u);
  EXPECT_EQ(periodic.times[3] - start, 100u);
  EXPECT_EQ(self.times.size(), 1u) << "killed from its own callback";
  EXPECT_TRUE(never.times.empty());
  EXPECT_EQ(timeKillEvent(a), MMSYSERR_INVALPARAM) << "a one-shot timer is gone after firing";
  EXPECT_EQ(timeKillEvent(b), TIMERR_NOERROR);
  plat::sim::Advance(100);
  EXPECT_EQ(periodic.times.size(), 4u);
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
  EXPECT_EQ(timeSetEvent(0, 1, RecordMm, 0, TIME_ONESHOT), 0u);
  MmRecord shortest;
  const DWORD armed = NowTick();
  ASSERT_NE(timeSetEvent(1, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&shortest), TIME_ONESHOT), 0u);
  plat::sim::Advance(5);
  EXPECT_EQ(shortest.times, std::vector<DWORD>{armed + 1}) << "a delay of one millisecond is the shortest";
}

struct RealShot {
  HWND window;
  std::thread::id caller;
  std::atomic<bool> elsewhere{false};
};

void CALLBACK PostFromTimer(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* shot = reinterpret_cast<RealShot*>(user);
  shot->elsewhere = std::this_thread::get_id() != shot->caller;
  PostMessageA(shot->window, WM_USER + 9, 0, 0);
}

TEST_F(Timers, UnderTheRealClockATimerRunsOnItsOwnThreadAndItsPostWakesAnIdleGetMessage) {
  HWND w = MakeTop(0, 0, 10, 10);
  PumpAll();
  RealShot shot{w, std::this_thread::get_id()};
  plat::sim::UseRealClock();
  const DWORD start = GetTickCount();
  ASSERT_NE(timeSetEvent(20, 1, PostFromTimer, reinterpret_cast<DWORD_PTR>(&shot), TIME_ONESHOT), 0u);
  MSG m{};
  while (GetMessageA(&m, nullptr, 0, 0) && m.message != WM_USER + 9) DispatchMessageA(&m);
  const DWORD took = GetTickCount() - start;
  plat::sim::UseVirtualClock();
  EXPECT_EQ(m.message, WM_USER + 9u);
  EXPECT_TRUE(shot.elsewhere);
  EXPECT_GE(took, 20u);
  EXPECT_LT(took, 5000u);
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
}

void CALLBACK CountMm(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  ++*reinterpret_cast<std::atomic<int>*>(user);
}

// Holds every multimedia callback in the hook until released.
class HeldCallbacks {
 public:
  HeldCallbacks() {
    plat::sim::SetMultimediaCallbackHook([this](UINT) {
      held = true;
      while (!release) std::this_thread::yield();
    });
  }
  ~HeldCallbacks() {
    release = true;
    plat::sim::SetMultimediaCallbackHook(nullptr);
  }
  std::atomic<bool> held{false}, release{false};
};

bool Within5s(const std::atomic<bool>& flag) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!flag && std::chrono::steady_clock::now() < until) std::this_thread::yield();
  return flag;
}

// Under the virtual clock the thread that moves time runs the callbacks; a kill on
// another thread waits for one in progress only when the timer was made with
// TIME_KILL_SYNCHRONOUS. The callback is let go only once the kill has returned, or
// after a while inside a kill that waits.
TEST_F(Timers, AKillWaitsForASynchronousTimersCallbackInProgressElsewhere) {
  for (const bool synchronous : {true, false}) {
    SCOPED_TRACE(synchronous ? "synchronous" : "plain");
    HeldCallbacks callbacks;
    std::atomic<int> calls{0};
    const UINT id = timeSetEvent(10, 1, CountMm, reinterpret_cast<DWORD_PTR>(&calls),
                                 TIME_ONESHOT | (synchronous ? TIME_KILL_SYNCHRONOUS : 0));
    ASSERT_NE(id, 0u);
    std::thread mover([] { plat::sim::AdvanceClock(10); });
    ASSERT_TRUE(Within5s(callbacks.held));
    std::atomic<bool> killReturned{false}, returnedWhileHeld{false};
    std::thread releaser([&] {
      const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(synchronous ? 200 : 5000);
      while (!killReturned && std::chrono::steady_clock::now() < until) std::this_thread::yield();
      returnedWhileHeld = killReturned.load();
      callbacks.release = true;
    });
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR) << "a callback in progress keeps its timer known";
    const int callsAtReturn = calls.load();
    killReturned = true;
    releaser.join();
    mover.join();
    EXPECT_EQ(callsAtReturn, synchronous ? 1 : 0);
    EXPECT_EQ(returnedWhileHeld.load(), !synchronous);
    EXPECT_EQ(calls.load(), 1);
  }
}

TEST_F(Timers, MultimediaCapsAndPeriodBalance) {
  TIMECAPS caps{};
  ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
  EXPECT_EQ(caps.wPeriodMin, 1u);
  EXPECT_EQ(timeGetDevCaps(&caps, 3), TIMERR_NOCANDO);
  EXPECT_EQ(timeBeginPeriod(caps.wPeriodMin), TIMERR_NOERROR);
  EXPECT_EQ(timeBeginPeriod(caps.wPeriodMin), TIMERR_NOERROR);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 2);
  EXPECT_EQ(timeEndPeriod(caps.wPeriodMin), TIMERR_NOERROR);
  EXPECT_EQ(timeEndPeriod(5), TIMERR_NOCANDO) << "never begun";
  EXPECT_EQ(timeBeginPeriod(0), TIMERR_NOCANDO);
  EXPECT_EQ(plat::sim::TimerPeriodBalance(), 1);
}

}  // namespace
