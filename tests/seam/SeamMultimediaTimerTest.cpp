// The multimedia timers of the message box's auto-close: the resolution it asks for, a
// one-shot event that calls back once on another thread, and a kill that keeps it
// from calling back at all. These run on the real clock and wait briefly.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "plat/handle.h"
#include "plat/mmsystem.h"
#include "plat/threads.h"
#include "plat/time.h"
#include "plat/user.h"

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

// An event whose first callback holds until the test lets it go, and says when it has
// let go of this state. Each case has one of its own, kept to the program's end (its
// handles never closed): after a plain kill the callback runs on past the kill, and a
// periodic event may be called once more, so what a callback touches outlives it.
struct Holding {
  HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE left = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  UINT id = 0;
};

Holding& NewHolding() {
  static std::vector<std::unique_ptr<Holding>> kept;
  kept.push_back(std::make_unique<Holding>());
  return *kept.back();
}

void CALLBACK HoldOnce(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* holding = reinterpret_cast<Holding*>(user);
  if (WaitForSingleObject(holding->entered, 0) == WAIT_OBJECT_0) return;
  SetEvent(holding->entered);
  WaitForSingleObject(holding->release, 30000);
  SetEvent(holding->left);
}

DWORD WINAPI KillFromHere(LPVOID param) {
  auto* holding = static_cast<Holding*>(param);
  return timeKillEvent(holding->id);
}

// Whether timeKillEvent, asked on another thread while the event's first callback
// holds, returned within `patience` ms, before the callback was let go. A kill that
// waits never returns in that time, however loaded the machine; one that does not wait
// is given long enough to return on a loaded one.
bool KillReturnsDuringTheCallback(UINT flags, DWORD patience) {
  Holding& holding = NewHolding();
  holding.id = timeSetEvent(10, 1, HoldOnce, reinterpret_cast<DWORD_PTR>(&holding), flags);
  EXPECT_NE(holding.id, 0u);
  if (!holding.id) return false;
  EXPECT_EQ(WaitForSingleObject(holding.entered, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  HANDLE killer = CreateThread(nullptr, 0, KillFromHere, &holding, 0, nullptr);
  const bool returned = WaitForSingleObject(killer, patience) == WAIT_OBJECT_0;
  SetEvent(holding.release);
  EXPECT_EQ(WaitForSingleObject(killer, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD result = 1;
  GetExitCodeThread(killer, &result);
  EXPECT_EQ(result, static_cast<DWORD>(TIMERR_NOERROR)) << "the event was alive when the kill was asked";
  CloseHandle(killer);
  // Nothing of this case runs in the next one.
  EXPECT_EQ(WaitForSingleObject(holding.left, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  return returned;
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

// What the message box's auto-close relies on to be gone with its box: only a kill of
// an event made with TIME_KILL_SYNCHRONOUS waits for its callback in progress, and it
// does for a one-shot event as for a periodic one.
TEST(SeamMultimediaTimer, AKillWaitsForTheCallbackInProgressOnlyWhenMadeSynchronous) {
  EXPECT_TRUE(KillReturnsDuringTheCallback(TIME_PERIODIC, 10000)) << "a plain kill does not wait for it";
  EXPECT_FALSE(KillReturnsDuringTheCallback(TIME_PERIODIC | TIME_KILL_SYNCHRONOUS, 300))
      << "a synchronous kill waits for it";
  EXPECT_FALSE(KillReturnsDuringTheCallback(TIME_ONESHOT | TIME_KILL_SYNCHRONOUS, 300))
      << "a synchronous kill waits for a one-shot event's callback too";
}

}  // namespace

namespace {

constexpr UINT kAskDuringKill = WM_USER + 12;
std::atomic<int32_t> g_asksServed{0};

LRESULT CALLBACK CountAsks(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAskDuringKill) ++g_asksServed;
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

DWORD WINAPI AskTheWindow(LPVOID param) {
  SendMessageA(static_cast<HWND>(param), kAskDuringKill, 0, 0);
  return 0;
}

DWORD WINAPI ReleaseLater(LPVOID param) {
  Sleep(300);
  SetEvent(static_cast<Holding*>(param)->release);
  return 0;
}

// A synchronous kill waiting for the callback serves nothing sent to the killing thread
// meanwhile: a callback that sent there would wait for ever, as the kill waits for it.
TEST(SeamMultimediaTimer, ASynchronousKillServesNothingSentMeanwhile) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountAsks;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "DorvikSeamKillAsks";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND mine = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(mine, nullptr);
  g_asksServed = 0;
  Holding& holding = NewHolding();
  holding.id =
      timeSetEvent(10, 1, HoldOnce, reinterpret_cast<DWORD_PTR>(&holding), TIME_ONESHOT | TIME_KILL_SYNCHRONOUS);
  ASSERT_NE(holding.id, 0u);
  ASSERT_EQ(WaitForSingleObject(holding.entered, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  HANDLE asker = CreateThread(nullptr, 0, AskTheWindow, mine, 0, nullptr);
  ASSERT_NE(asker, nullptr);
  const DWORD start = GetTickCount();
  while ((HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) == 0 && GetTickCount() - start < 5000)
    Sleep(1);
  HANDLE releaser = CreateThread(nullptr, 0, ReleaseLater, &holding, 0, nullptr);
  ASSERT_NE(releaser, nullptr);

  EXPECT_EQ(timeKillEvent(holding.id), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(g_asksServed.load(), 0) << "the kill served what was sent to its thread";
  MSG m;
  PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  EXPECT_EQ(g_asksServed.load(), 1) << "a look at the queue serves it";
  EXPECT_EQ(WaitForSingleObject(asker, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(releaser, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(WaitForSingleObject(holding.left, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(asker);
  CloseHandle(releaser);
  DestroyWindow(mine);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

}  // namespace
