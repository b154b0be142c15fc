#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "WindowTestSupport.h"
#include "plat/kernel.h"
#include "plat/mmsystem.h"

using namespace window_test;

namespace virtual_wait_test {

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

}  // namespace virtual_wait_test
