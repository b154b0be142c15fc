#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "WindowTestSupport.h"
#include "plat/kernel.h"
#include "plat/mmsystem.h"

using namespace window_test;

namespace {

class VirtualWait : public WindowTest {};

// The scene's nested wait: tick, take one keyboard or mouse message, wait for input.
int NestedWait(DWORD ms) {
  DWORD start = timeGetTime();
  int passes = 0;
  for (;;) {
    ++passes;
    MSG m;
    if (PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_TIMER, PM_REMOVE) ||
        PeekMessageA(&m, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    DWORD elapsed = timeGetTime() - start;
    if (elapsed >= ms) break;
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLEVENTS) == WAIT_TIMEOUT) break;
  }
  return passes;
}

TEST_F(VirtualWait, NestedWaitRunsTimersAndLeavesPaintAndPostsQueued) {
  HWND w = MakeTop(0, 0, 100, 100);
  PumpAll();
  SetTimer(w, 0, 50, nullptr);
  PostMessageA(w, WM_USER + 1, 0, 0);
  InvalidateRect(w, nullptr, TRUE);
  DWORD start = timeGetTime();
  auto realStart = std::chrono::steady_clock::now();

  int passes = NestedWait(1000);

  EXPECT_EQ(timeGetTime() - start, 1000u);
  EXPECT_LT(std::chrono::steady_clock::now() - realStart, std::chrono::milliseconds(500));
  EXPECT_EQ(Only(WM_TIMER).size(), 20u);
  EXPECT_LE(passes, 25) << "a message seen once must not wake the wait again";
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_USER + 1);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, WM_PAINT);
}

TEST_F(VirtualWait, WaitsJumpToTheNextTimerAndEndAtNewInput) {
  HWND w = MakeTop(0, 0, 100, 100);
  SetFocus(w);
  PumpAll();
  SetTimer(w, 1, 250, nullptr);
  DWORD start = timeGetTime();
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_TIMER);
  EXPECT_EQ(m.time - start, 250u);
  KillTimer(w, 1);
  SetTimer(w, 9, 300, [](HWND h, UINT, UINT_PTR id, DWORD) {
    KillTimer(h, id);
    plat::sim::KeyDown('Q');
  });
  start = timeGetTime();
  // Waits through the timer's own message, then wakes for the key it typed.
  while (!PeekMessageA(&m, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
    ASSERT_NE(MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLEVENTS), static_cast<DWORD>(WAIT_TIMEOUT));
    if (PeekMessageA(&m, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&m);
  }
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('Q'));
  EXPECT_EQ(timeGetTime() - start, 300u);
}

std::string fatalMessage;
void RecordFatal(const char* message) { fatalMessage = message; }

TEST_F(VirtualWait, BlockingWithNothingScheduledIsReportedNotHung) {
  MakeTop(0, 0, 100, 100);
  PumpAll();
  fatalMessage.clear();
  auto previous = plat::sim::SetFatalErrorHandler(RecordFatal);
  MSG m;
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), -1);
  EXPECT_EQ(MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLEVENTS), WAIT_FAILED);
  EXPECT_FALSE(WaitMessage());
  plat::sim::SetFatalErrorHandler(previous);
  EXPECT_EQ(fatalMessage, "window thread blocked with nothing scheduled");
}

DWORD WINAPI LoaderPosts(LPVOID param) {
  Sleep(20);  // real time on a thread other than the window thread
  PostMessageA(static_cast<HWND>(param), WM_USER + 6, 1, 0);
  return 0;
}

TEST_F(VirtualWait, AnotherLiveThreadsPostIsAwaitedWithoutMovingTime) {
  HWND host = MakeTop(0, 0, 100, 100);
  PumpAll();
  DWORD start = timeGetTime();
  HANDLE loader = CreateThread(nullptr, 0, LoaderPosts, host, 0, nullptr);
  ASSERT_NE(loader, nullptr);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 6);
  EXPECT_EQ(timeGetTime() - start, 0u);
  WaitForSingleObject(loader, INFINITE);
  CloseHandle(loader);
}

struct Order {
  std::vector<std::string> events;
  HWND window;
};
Order order;

void CALLBACK PostFromTimer(UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  order.events.push_back("callback");
  PostMessageA(order.window, WM_USER + 2, 0, 0);
  SendMessageA(order.window, WM_USER + 3, 0, 0);  // same thread: a direct call
}

TEST_F(VirtualWait, MultimediaCallbacksRunOnTheAdvancingOrSleepingThreadBeforeThePump) {
  order = Order{{}, MakeTop(0, 0, 100, 100)};
  PumpAll();
  SetAnswer([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER + 2) order.events.push_back("posted");
    if (msg == WM_USER + 3) order.events.push_back("sent");
    return std::nullopt;
  });
  timeSetEvent(40, 1, PostFromTimer, 0, TIME_ONESHOT);
  plat::sim::Advance(100);
  EXPECT_EQ(order.events, (std::vector<std::string>{"callback", "sent", "posted"}));
  order.events.clear();
  timeSetEvent(40, 1, PostFromTimer, 0, TIME_ONESHOT);
  DWORD start = timeGetTime();
  Sleep(100);
  EXPECT_EQ(timeGetTime() - start, 100u);
  EXPECT_EQ(order.events, (std::vector<std::string>{"callback", "sent"}));
  MSG m;
  EXPECT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 2, WM_USER + 2, PM_REMOVE)) << "posted, not yet pumped";
}

}  // namespace
