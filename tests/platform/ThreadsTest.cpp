#include <gtest/gtest.h>

#include <atomic>
#include <climits>

#include "KernelTestSupport.h"
#include "plat/sim.h"
#include "plat/threads.h"

using kernel_test::AndError;
using kernel_test::Event;
using kernel_test::kSoonMs;
using kernel_test::StartThread;

namespace {

constexpr DWORD kShortMs = 20;  // a real wait that is expected to time out

DWORD ExitCode(HANDLE h) {
  DWORD code = 0xDEAD;
  EXPECT_TRUE(GetExitCodeThread(h, &code));
  return code;
}

// Runs `body` on `count` layer threads at once and waits for all of them.
void RunConcurrently(int count, const std::function<void()>& body) {
  std::vector<HANDLE> threads;
  for (int i = 0; i < count; ++i) threads.push_back(StartThread([&] { body(); return DWORD{0}; }));
  for (HANDLE h : threads) {
    EXPECT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
    CloseHandle(h);
  }
}

// Threads of earlier tests (detached or terminated) may still be finishing.
class Threads : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kernel_test::PollUntil([] { return plat::sim::LiveLayerThreads() == 0; })); }
};

DWORD CountRun(LPVOID runs) {
  ++*static_cast<std::atomic<int>*>(runs);
  return 0;
}

TEST_F(Threads, ClosingTheHandleDetachesARunningThreadAndDiscardsANeverResumedOne) {
  Event go, done;
  HANDLE h = StartThread([&] {
    WaitForSingleObject(go.get(), INFINITE);
    done.Set();
    return DWORD{0};
  });
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(CloseHandle(h));
  // The thread goes on to its end; its old handle is refused.
  go.Set();
  ASSERT_EQ(WaitForSingleObject(done.get(), kSoonMs), WAIT_OBJECT_0);
  SetLastError(0);
  EXPECT_EQ(AndError(WaitForSingleObject(h, 0)), std::pair(WAIT_FAILED, ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(h));
  ASSERT_TRUE(kernel_test::PollUntil([] { return plat::sim::LiveLayerThreads() == 0; }));
  std::atomic<int> runs{0};
  h = CreateThread(nullptr, 0, CountRun, &runs, CREATE_SUSPENDED, nullptr);
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 1u);
  CloseHandle(h);
  // Nobody can resume it any more: it ends without running rather than lingering.
  EXPECT_TRUE(kernel_test::PollUntil([&] { return plat::sim::LiveLayerThreads() == 0; }));
  EXPECT_EQ(runs, 0);
}

TEST_F(Threads, TerminateSignalsTheHandleAndAsksTheThreadToStop) {
  EXPECT_FALSE(plat::ThreadCancelRequested());  // not a layer thread
  Event started, sawCancel;
  HANDLE h = StartThread([&] {
    started.Set();
    while (!plat::ThreadCancelRequested()) WaitForSingleObject(sawCancel.get(), 1);
    sawCancel.Set();
    return DWORD{5};
  });
  ASSERT_EQ(WaitForSingleObject(started.get(), kSoonMs), WAIT_OBJECT_0);
  EXPECT_TRUE(TerminateThread(h, 99));
  // To the handle's holder the thread is over at once, with the given code ...
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  EXPECT_EQ(ExitCode(h), 99u);
  // ... while the thread itself sees the request and returns on its own.
  EXPECT_EQ(WaitForSingleObject(sawCancel.get(), kSoonMs), WAIT_OBJECT_0);
  EXPECT_TRUE(kernel_test::PollUntil([&] { return plat::sim::LiveLayerThreads() == 0; }));
  EXPECT_EQ(ExitCode(h), 99u);  // its own result is ignored
  CloseHandle(h);
  // A suspended thread that is terminated never runs (a plain routine: the job helper
  // would leak when the body never runs).
  std::atomic<int> runs{0};
  h = CreateThread(nullptr, 0, CountRun, &runs, CREATE_SUSPENDED, nullptr);
  EXPECT_TRUE(TerminateThread(h, 3));
  EXPECT_EQ(ResumeThread(h), 1u);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  EXPECT_EQ(ExitCode(h), 3u);
  CloseHandle(h);
  EXPECT_EQ(runs, 0);
}

TEST_F(Threads, BadHandlesBadArgumentsAndInjectedFaultsAreRefused) {
  Event event;
  HANDLE forged = reinterpret_cast<HANDLE>(uintptr_t{0x12345});
  DWORD code = 0;
  for (HANDLE h : {HANDLE{nullptr}, forged, event.get()}) {
    SetLastError(0);
    EXPECT_EQ(AndError(ResumeThread(h)), std::pair(static_cast<DWORD>(-1), ERROR_INVALID_HANDLE));
    EXPECT_FALSE(GetExitCodeThread(h, &code));
    EXPECT_FALSE(SetThreadPriority(h, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetThreadPriority(h), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_FALSE(TerminateThread(h, 0));
  }
  EXPECT_EQ(WaitForSingleObject(forged, 0), WAIT_FAILED);
  EXPECT_EQ(AndError(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr)), std::pair(HANDLE{}, ERROR_INVALID_PARAMETER));
  plat::sim::FailNext("CreateThread");
  std::atomic<int> runs{0};
  auto body = [&] { ++runs; return DWORD{0}; };
  EXPECT_EQ(AndError(StartThread(body)), std::pair(HANDLE{}, ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(plat::sim::FaultsFired("CreateThread"), 1u);
  HANDLE h = StartThread(body);  // the fault fired once only
  ASSERT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
  EXPECT_EQ(runs, 1);
  CloseHandle(h);
  plat::sim::ClearFaults();
}

TEST_F(Threads, PrioritiesAreCheckedAndRemembered) {
  Event go;
  HANDLE h = StartThread([&] { return WaitForSingleObject(go.get(), INFINITE); });
  EXPECT_EQ(GetThreadPriority(h), THREAD_PRIORITY_NORMAL);
  for (int p : {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_TIME_CRITICAL}) {
    EXPECT_TRUE(SetThreadPriority(h, p)) << p;
    EXPECT_EQ(GetThreadPriority(h), p);
  }
  EXPECT_EQ(AndError(SetThreadPriority(h, 3)), std::pair(FALSE, ERROR_INVALID_PARAMETER));
  go.Set();
  WaitForSingleObject(h, kSoonMs);
  CloseHandle(h);
}

TEST(Events, AutoResetReleasesOneWaitManualResetStaysSetAndOtherThreadsWake) {
  Event manual(true, false), automatic(false, true);
  EXPECT_EQ(WaitForSingleObject(automatic.get(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic.get(), 0), WAIT_TIMEOUT);  // consumed
  EXPECT_EQ(WaitForSingleObject(manual.get(), 0), WAIT_TIMEOUT);
  manual.Set();
  EXPECT_EQ(WaitForSingleObject(manual.get(), 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual.get(), 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ResetEvent(manual.get()));
  EXPECT_EQ(WaitForSingleObject(manual.get(), kShortMs), WAIT_TIMEOUT);
  EXPECT_FALSE(SetEvent(nullptr));
  HANDLE h = StartThread([&] { automatic.Set(); return DWORD{0}; });
  EXPECT_EQ(WaitForSingleObject(automatic.get(), INFINITE), WAIT_OBJECT_0);
  WaitForSingleObject(h, kSoonMs);
  CloseHandle(h);
}

TEST(Interlocked, ReturnValuesFollowWindowsAndIncrementsFromManyThreadsAreNotLost) {
  volatile LONG v = 5;
  EXPECT_EQ(InterlockedIncrement(&v), 6);        // new value
  EXPECT_EQ(InterlockedDecrement(&v), 5);        // new value
  EXPECT_EQ(InterlockedExchange(&v, 9), 5);      // old value
  EXPECT_EQ(InterlockedExchangeAdd(&v, -4), 9);  // old value
  EXPECT_EQ(InterlockedCompareExchange(&v, 11, 4), 5);  // no match: unchanged, old value
  EXPECT_EQ(InterlockedCompareExchange(&v, 11, 5), 5);  // match: swapped, old value
  EXPECT_EQ(v, 11);
  volatile LONG edge = INT32_MAX;
  EXPECT_EQ(InterlockedIncrement(&edge), INT32_MIN);  // wraps like the hardware
  EXPECT_EQ(InterlockedDecrement(&edge), INT32_MAX);
  volatile LONG counter = 0;
  RunConcurrently(4, [&] {
    for (int i = 0; i < 50000; ++i) InterlockedIncrement(&counter);
  });
  EXPECT_EQ(counter, 4 * 50000);
}

TEST_F(Threads, SuspendedThreadRunsOnlyAfterResume) {
  std::atomic<bool> ran{false};
  HANDLE h = StartThread([&] { ran = true; return DWORD{7}; }, CREATE_SUSPENDED);
  ASSERT_NE(h, nullptr);

  EXPECT_EQ(WaitForSingleObject(h, kShortMs), WAIT_TIMEOUT);
  EXPECT_FALSE(ran);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, STILL_ACTIVE);

  EXPECT_EQ(ResumeThread(h), 1u);  // the previous suspend count
  ASSERT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
  EXPECT_TRUE(ran);
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(ResumeThread(h), 0u);  // a running or ended thread is not suspended
  EXPECT_TRUE(CloseHandle(h));
}

TEST_F(Threads, ThreadIdsAreDistinctAndReportedToTheCreator) {
  DWORD reported = 0;
  std::atomic<DWORD> seen{0};
  HANDLE h = StartThread([&] { seen = GetCurrentThreadId(); return DWORD{0}; }, 0, &reported);
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
  EXPECT_NE(reported, 0u);
  EXPECT_EQ(seen, reported);
  EXPECT_NE(GetCurrentThreadId(), reported);
  EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
  CloseHandle(h);
}

class CriticalSectionTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitializeCriticalSectionAndSpinCount(&cs_, 4000)); }
  void TearDown() override { DeleteCriticalSection(&cs_); }

  // TryEnter on another thread (the exit code carries the answer).
  BOOL TryEnterElsewhere() {
    HANDLE h = StartThread([this] {
      BOOL entered = TryEnterCriticalSection(&cs_);
      if (entered) LeaveCriticalSection(&cs_);
      return static_cast<DWORD>(entered);
    });
    WaitForSingleObject(h, kSoonMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(h, &code);
    CloseHandle(h);
    return static_cast<BOOL>(code);
  }

  CRITICAL_SECTION cs_{};
};

TEST_F(CriticalSectionTest, OwnerMayEnterAgainAndOthersWaitUntilFullyLeft) {
  EnterCriticalSection(&cs_);
  EnterCriticalSection(&cs_);
  EXPECT_TRUE(TryEnterCriticalSection(&cs_));
  EXPECT_FALSE(TryEnterElsewhere());
  LeaveCriticalSection(&cs_);
  LeaveCriticalSection(&cs_);
  EXPECT_FALSE(TryEnterElsewhere());  // still entered once
  LeaveCriticalSection(&cs_);
  EXPECT_TRUE(TryEnterElsewhere());
}

}  // namespace
