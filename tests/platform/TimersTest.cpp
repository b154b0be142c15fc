#include <gtest/gtest.h>

#include <thread>

#include "WindowTestSupport.h"
#include "plat/mmsystem.h"

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

TEST_F(Timers, SetTimerAgainReplacesTheTimer) {
  HWND w = MakeTop(0, 0, 10, 10);
  DWORD start = NowTick();
  SetTimer(w, 1, 100, nullptr);
  plat::sim::Advance(50);
  SetTimer(w, 1, 300, nullptr);
  plat::sim::Advance(400);
  EXPECT_EQ(TimerTimes(w, start, 1), (std::vector<DWORD>{350}));
}

TEST_F(Timers, KilledTimerDeliversNothingLater) {
  HWND w = MakeTop(0, 0, 10, 10);
  PumpAll();
  SetTimer(w, 2, 20, nullptr);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, 0);  // due, not yet read
  EXPECT_TRUE(KillTimer(w, 2));
  PumpAll();
  plat::sim::Advance(100);
  EXPECT_TRUE(Only(WM_TIMER).empty());
  EXPECT_FALSE(KillTimer(w, 2));
  EXPECT_FALSE(KillTimer(w, 99));
}

TEST_F(Timers, ALateTimerDeliversOnceAndRearmsFromDelivery) {
  HWND w = MakeTop(0, 0, 10, 10);
  PumpAll();
  DWORD start = NowTick();
  SetTimer(w, 3, 50, nullptr);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 500, 0);
  PumpAll();
  EXPECT_EQ(TimerTimes(w, start, 3), (std::vector<DWORD>{500})) << "ten periods coalesce into one";
  plat::sim::Advance(120);
  EXPECT_EQ(TimerTimes(w, start, 3), (std::vector<DWORD>{500, 550, 600}));
}

TEST_F(Timers, PeriodsBelowTenMillisecondsAreRaisedToTen) {
  HWND w = MakeTop(0, 0, 10, 10);
  DWORD start = NowTick();
  SetTimer(w, 4, 1, nullptr);
  plat::sim::Advance(35);
  EXPECT_EQ(TimerTimes(w, start, 4), (std::vector<DWORD>{10, 20, 30}));
}

TEST_F(Timers, AdvanceStopsAtEachTimerInTurn) {
  HWND w = MakeTop(0, 0, 10, 10);
  DWORD start = NowTick();
  SetTimer(w, 0, 50, nullptr);
  SetTimer(w, 1, 30, nullptr);
  plat::sim::Advance(100);
  EXPECT_EQ(TimerTimes(w, start, 0), (std::vector<DWORD>{50, 100}));
  EXPECT_EQ(TimerTimes(w, start, 1), (std::vector<DWORD>{30, 60, 90}));
  std::vector<WPARAM> ids;
  for (const Rec& r : Only(WM_TIMER)) ids.push_back(r.wParam);
  EXPECT_EQ(ids, (std::vector<WPARAM>{1, 0, 1, 1, 0}));
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

// ---- Multimedia timers --------------------------------------------------------

struct MmRecord {
  std::vector<DWORD> times;
  std::thread::id thread;
  UINT killSelf = 0;
};

void CALLBACK RecordMm(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* rec = reinterpret_cast<MmRecord*>(user);
  rec->times.push_back(NowTick());
  rec->thread = std::this_thread::get_id();
  if (rec->killSelf == id) {
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
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

TEST_F(Timers, MultimediaOneShotAndPeriodicFireOnTheAdvancingThread) {
  MmRecord once, periodic;
  DWORD start = NowTick();
  UINT a = timeSetEvent(30, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&once), TIME_ONESHOT);
  UINT b = timeSetEvent(25, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&periodic), TIME_PERIODIC);
  ASSERT_NE(a, 0u);
  ASSERT_NE(b, 0u);
  plat::sim::Advance(100);
  ASSERT_EQ(once.times.size(), 1u);
  EXPECT_EQ(once.times[0] - start, 30u);
  EXPECT_EQ(once.thread, std::this_thread::get_id());
  ASSERT_EQ(periodic.times.size(), 4u);
  EXPECT_EQ(periodic.times[3] - start, 100u);
  EXPECT_EQ(timeKillEvent(a), MMSYSERR_INVALPARAM) << "a one-shot timer is gone after firing";
  EXPECT_EQ(timeKillEvent(b), TIMERR_NOERROR);
  plat::sim::Advance(100);
  EXPECT_EQ(periodic.times.size(), 4u);
  EXPECT_EQ(timeSetEvent(0, 1, RecordMm, 0, TIME_ONESHOT), 0u);
}

TEST_F(Timers, KilledMultimediaTimerNeverFiresEvenFromItsOwnCallback) {
  MmRecord rec;
  UINT id = timeSetEvent(10, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&rec), TIME_PERIODIC);
  rec.killSelf = id;
  plat::sim::Advance(100);
  EXPECT_EQ(rec.times.size(), 1u);
  MmRecord never;
  UINT other = timeSetEvent(10, 1, RecordMm, reinterpret_cast<DWORD_PTR>(&never), TIME_ONESHOT);
  EXPECT_EQ(timeKillEvent(other), TIMERR_NOERROR);
  plat::sim::Advance(100);
  EXPECT_TRUE(never.times.empty());
  EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u);
}

}  // namespace
