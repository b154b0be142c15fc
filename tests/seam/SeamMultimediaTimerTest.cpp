// The multimedia timers of the message box's auto-close: the resolution it asks for, a
// one-shot event that calls back once on another thread, and a kill that keeps it
// from calling back at all. These run on the real clock and wait briefly.
#include <gtest/gtest.h>

#include <atomic>

#include "plat/handle.h"
#include "plat/mmsystem.h"
#include "plat/threads.h"
#include "plat/time.h"

#include "Seam.h"

namespace {

struct Fired {
  std::atomic<int32_t> calls{0};
  std::atomic<UINT> id{0};
  std::atomic<DWORD> thread{0};
  std::atomic<DWORD> at{0};
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ~Fired() { CloseHandle(done); }
};

void CALLBACK OnTimer(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* fired = reinterpret_cast<Fired*>(user);
  fired->id = id;
  fired->thread = GetCurrentThreadId();
  fired->at = timeGetTime();
  fired->calls.fetch_add(1);
  SetEvent(fired->done);
}

MMRESULT KillOfAGoneEvent() {
  return seam::WineDiffers<MMRESULT>(MMSYSERR_INVALPARAM, TIMERR_NOCANDO,
                                     "timeKillEvent of an id that no longer exists answers TIMERR_NOCANDO under "
                                     "Wine; Windows documents MMSYSERR_INVALPARAM");
}

TEST(SeamMultimediaTimer, ResolutionIsAskedAndGivenBackInPairs) {
  TIMECAPS caps{};
  ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_GE(caps.wPeriodMin, 1u);
  EXPECT_LE(caps.wPeriodMin, 16u);
  EXPECT_GE(caps.wPeriodMax, caps.wPeriodMin);
  EXPECT_EQ(timeBeginPeriod(caps.wPeriodMin), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(timeEndPeriod(caps.wPeriodMin), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(timeBeginPeriod(0), static_cast<MMRESULT>(TIMERR_NOCANDO));
}

TEST(SeamMultimediaTimer, OneShotCallsBackOnceOnAnotherThreadAfterItsDelay) {
  Fired fired;
  const DWORD start = timeGetTime();
  const DWORD startTicks = GetTickCount();
  const UINT id = timeSetEvent(40, 1, OnTimer, reinterpret_cast<DWORD_PTR>(&fired), TIME_ONESHOT);
  ASSERT_NE(id, 0u);
  ASSERT_EQ(WaitForSingleObject(fired.done, 2000), static_cast<DWORD>(WAIT_OBJECT_0));
  Sleep(60);
  EXPECT_EQ(fired.calls.load(), 1) << "a one-shot event calls back once";
  EXPECT_EQ(fired.id.load(), id);
  EXPECT_NE(fired.thread.load(), GetCurrentThreadId());
  EXPECT_GE(fired.at.load() - start, 35u) << "not before its delay, within the clock's step";
  // The two millisecond counts move together.
  const DWORD byTime = timeGetTime() - start;
  const DWORD byTicks = GetTickCount() - startTicks;
  EXPECT_GE(byTime, 95u);
  EXPECT_LE(byTime > byTicks ? byTime - byTicks : byTicks - byTime, 20u);
  EXPECT_EQ(timeKillEvent(id), KillOfAGoneEvent()) << "a one-shot event is gone once it has called back";
}

TEST(SeamMultimediaTimer, AKilledEventNeverCallsBack) {
  Fired fired;
  const UINT id = timeSetEvent(30, 1, OnTimer, reinterpret_cast<DWORD_PTR>(&fired), TIME_ONESHOT);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(timeKillEvent(id), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(WaitForSingleObject(fired.done, 80), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(fired.calls.load(), 0);
  EXPECT_EQ(timeKillEvent(id), KillOfAGoneEvent()) << "a killed id is gone";
}

}  // namespace
