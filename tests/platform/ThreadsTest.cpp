// Threads, events, critical sections and interlocked counters of the layer.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>

#include "KernelTestSupport.h"
#include "plat/error.h"
#include "plat/sim.h"
#include "plat/threads.h"

using kernel_test::Event;
using kernel_test::kSoonMs;
using kernel_test::StartThread;

namespace {

constexpr DWORD kShortMs = 20;  // a real wait that is expected to time out

// Threads of earlier tests (detached or terminated) may still be finishing.
class Threads : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kernel_test::PollUntil([] { return plat::sim::LiveLayerThreads() == 0; })); }
};

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

TEST_F(Threads, ExitCodeIsStillActiveUntilTheRoutineReturns) {
  Event go;
  HANDLE h = StartThread([&] { return WaitForSingleObject(go.get(), INFINITE) == WAIT_OBJECT_0 ? 42u : 1u; });
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(WaitForSingleObject(h, kShortMs), WAIT_TIMEOUT);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, STILL_ACTIVE);

  go.Set();
  ASSERT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, 42u);
  // An ended thread's handle stays signalled.
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  CloseHandle(h);
}

TEST_F(Threads, ClosingTheHandleOfARunningThreadDetachesIt) {
  Event go, done;
  std::atomic<int> progress{0};
  HANDLE h = StartThread([&] {
    WaitForSingleObject(go.get(), INFINITE);
    progress = 1;
    done.Set();
    return DWORD{0};
  });
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(CloseHandle(h));

  // The thread goes on to its end; its old handle is refused.
  go.Set();
  ASSERT_EQ(WaitForSingleObject(done.get(), kSoonMs), WAIT_OBJECT_0);
  EXPECT_EQ(progress, 1);
  SetLastError(0);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(h));
}

DWORD CountRun(LPVOID runs) {
  ++*static_cast<std::atomic<int>*>(runs);
  return 0;
}

TEST_F(Threads, ClosingANeverResumedThreadDiscardsIt) {
  std::atomic<int> runs{0};
  HANDLE h = CreateThread(nullptr, 0, CountRun, &runs, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(h, nullptr);
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
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(WaitForSingleObject(started.get(), kSoonMs), WAIT_OBJECT_0);

  EXPECT_TRUE(TerminateThread(h, 99));
  // To the handle's holder the thread is over at once, with the given code ...
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, 99u);
  // ... while the thread itself sees the request and returns on its own.
  EXPECT_EQ(WaitForSingleObject(sawCancel.get(), kSoonMs), WAIT_OBJECT_0);
  EXPECT_TRUE(kernel_test::PollUntil([&] { return plat::sim::LiveLayerThreads() == 0; }));
  ASSERT_TRUE(GetExitCodeThread(h, &code));
  EXPECT_EQ(code, 99u);  // its own result is ignored
  CloseHandle(h);
}

TEST_F(Threads, TerminatingASuspendedThreadMeansItNeverRuns) {
  // A plain routine: the job helper would leak when the body never runs.
  std::atomic<bool> ran{false};
  HANDLE h = CreateThread(
      nullptr, 0, [](LPVOID p) { *static_cast<std::atomic<bool>*>(p) = true; return DWORD{0}; }, &ran,
      CREATE_SUSPENDED, nullptr);
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(TerminateThread(h, 3));
  EXPECT_EQ(ResumeThread(h), 1u);
  EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(h, &code);
  EXPECT_EQ(code, 3u);
  CloseHandle(h);
  EXPECT_FALSE(ran);
}

TEST_F(Threads, CreateThreadFailsWhenTheFaultIsArmed) {
  plat::sim::FailNext("CreateThread");
  std::atomic<int> runs{0};
  auto body = [&] { ++runs; return DWORD{0}; };
  SetLastError(0);
  EXPECT_EQ(StartThread(body), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(plat::sim::FaultsFired("CreateThread"), 1u);

  HANDLE h = StartThread(body);  // the fault fired once only
  ASSERT_NE(h, nullptr);
  ASSERT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
  EXPECT_EQ(runs, 1);
  CloseHandle(h);
  plat::sim::ClearFaults();
}

TEST_F(Threads, BadHandlesAreRefused) {
  Event event;
  HANDLE forged = reinterpret_cast<HANDLE>(uintptr_t{0x12345});
  DWORD code = 0;
  for (HANDLE h : {HANDLE{nullptr}, forged, event.get()}) {
    SetLastError(0);
    EXPECT_EQ(ResumeThread(h), static_cast<DWORD>(-1));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(GetExitCodeThread(h, &code));
    EXPECT_FALSE(SetThreadPriority(h, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(GetThreadPriority(h), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_FALSE(TerminateThread(h, 0));
  }
  EXPECT_EQ(WaitForSingleObject(forged, 0), WAIT_FAILED);
  SetLastError(0);
  EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(Threads, PrioritiesAreCheckedAndRemembered) {
  Event go;
  HANDLE h = StartThread([&] { return WaitForSingleObject(go.get(), INFINITE); });
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetThreadPriority(h), THREAD_PRIORITY_NORMAL);
  for (int p : {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_LOWEST, THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_TIME_CRITICAL}) {
    EXPECT_TRUE(SetThreadPriority(h, p)) << p;
    EXPECT_EQ(GetThreadPriority(h), p);
  }
  SetLastError(0);
  EXPECT_FALSE(SetThreadPriority(h, 3));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  go.Set();
  WaitForSingleObject(h, kSoonMs);
  CloseHandle(h);
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

TEST(Events, AutoResetReleasesOneWaitManualResetStaysSet) {
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
}

TEST(Events, SetFromAnotherThreadWakesAnInfiniteWait) {
  Event e(false, false);
  HANDLE h = StartThread([&] { e.Set(); return DWORD{0}; });
  EXPECT_EQ(WaitForSingleObject(e.get(), INFINITE), WAIT_OBJECT_0);
  WaitForSingleObject(h, kSoonMs);
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

TEST_F(CriticalSectionTest, ExcludesOtherThreads) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  int counter = 0;  // plain: only the lock protects it
  HANDLE threads[kThreads];
  for (HANDLE& h : threads) {
    h = StartThread([&] {
      for (int i = 0; i < kRounds; ++i) {
        EnterCriticalSection(&cs_);
        counter = counter + 1;
        LeaveCriticalSection(&cs_);
      }
      return DWORD{0};
    });
  }
  for (HANDLE h : threads) {
    EXPECT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
    CloseHandle(h);
  }
  EXPECT_EQ(counter, kThreads * kRounds);
}

TEST(Interlocked, ReturnValuesFollowWindows) {
  volatile LONG v = 5;
  EXPECT_EQ(InterlockedIncrement(&v), 6);        // new value
  EXPECT_EQ(InterlockedDecrement(&v), 5);        // new value
  EXPECT_EQ(InterlockedExchange(&v, 9), 5);      // old value
  EXPECT_EQ(InterlockedExchangeAdd(&v, -4), 9);  // old value
  EXPECT_EQ(v, 5);
  EXPECT_EQ(InterlockedCompareExchange(&v, 11, 4), 5);  // no match: unchanged, old value
  EXPECT_EQ(v, 5);
  EXPECT_EQ(InterlockedCompareExchange(&v, 11, 5), 5);  // match: swapped, old value
  EXPECT_EQ(v, 11);

  volatile LONG edge = INT32_MAX;
  EXPECT_EQ(InterlockedIncrement(&edge), INT32_MIN);  // wraps like the hardware
  EXPECT_EQ(InterlockedDecrement(&edge), INT32_MAX);
  volatile LONG zero = 0;
  EXPECT_EQ(InterlockedDecrement(&zero), -1);  // reference counts see the sign
}

TEST(Interlocked, IncrementsFromManyThreadsAreNotLost) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 50000;
  volatile LONG counter = 0;
  HANDLE threads[kThreads];
  for (HANDLE& h : threads) {
    h = StartThread([&] {
      for (int i = 0; i < kRounds; ++i) InterlockedIncrement(&counter);
      return DWORD{0};
    });
  }
  for (HANDLE h : threads) {
    EXPECT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
    CloseHandle(h);
  }
  EXPECT_EQ(counter, kThreads * kRounds);
}

}  // namespace
