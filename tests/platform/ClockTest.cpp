#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <vector>

#include "KernelTestSupport.h"
#include "kernel/Clock.h"
#include "plat/sim.h"
#include "plat/threads.h"
#include "plat/time.h"

namespace clk = plat::detail;
using kernel_test::Event;
using kernel_test::kSoonMs;
using kernel_test::StartThread;

namespace clock_test {

constexpr uint64_t kMs = 1000;  // microseconds

// Due sources live for the process: each kind is made and registered once.
template <class Source>
Source& Registered() {
  static Source* s = [] {
    auto* p = new Source;
    clk::AddDueSource(p);
    return p;
  }();
  return *s;
}

// A schedule the test controls; Reached() is the clock's reading each time RunDue found
// something due.
class TestSchedule final : public clk::DueSource {
 public:
  void Reset(std::vector<uint64_t> due = {}) {
    std::lock_guard lock(mutex_);
    due_ = std::move(due);
    reached_.clear();
  }
  std::vector<uint64_t> Reached() {
    std::lock_guard lock(mutex_);
    return reached_;
  }
  std::optional<uint64_t> NextDueAfter(uint64_t now) override {
    std::lock_guard lock(mutex_);
    std::optional<uint64_t> best;
    for (uint64_t d : due_)
      if (d > now && (!best || d < *best)) best = d;
    return best;
  }
  void RunDue(uint64_t now) override {
    std::lock_guard lock(mutex_);
    reached_.insert(reached_.end(), std::erase_if(due_, [now](uint64_t d) { return d <= now; }), now);
  }

 private:
  std::mutex mutex_;
  std::vector<uint64_t> due_, reached_;
};

std::vector<uint64_t>& PumpCalls() {
  static auto* calls = new std::vector<uint64_t>;
  return *calls;
}
void RecordPump() { PumpCalls().push_back(clk::NowMicros()); }

std::string& FatalMessage() {
  static auto* message = new std::string;
  return *message;
}
void RecordFatal(const char* message) { FatalMessage() = message; }

class ClockTest : public testing::Test {
 protected:
  void SetUp() override {
    plat::sim::UseVirtualClock();
    ASSERT_TRUE(kernel_test::PollUntil([] { return plat::sim::LiveLayerThreads() == 0; }));
    Registered<TestSchedule>().Reset();
    PumpCalls().clear();
    FatalMessage().clear();
    clk::SetAdvancePump(&RecordPump);
    plat::sim::SetFatalErrorHandler(&RecordFatal);
    t0_ = plat::sim::NowMicros();
  }
  void TearDown() override {
    Registered<TestSchedule>().Reset();
    clk::SetAdvancePump(nullptr);
    plat::sim::SetFatalErrorHandler(nullptr);
    plat::sim::SetRealWaitLimit(50);
  }
  uint64_t Elapsed() const { return plat::sim::NowMicros() - t0_; }
  void Schedule(std::initializer_list<uint64_t> offsetsMs) {
    std::vector<uint64_t> due;
    for (uint64_t ms : offsetsMs) due.push_back(t0_ + ms * kMs);
    Registered<TestSchedule>().Reset(due);
  }
  std::vector<uint64_t> InMs(const std::vector<uint64_t>& times) const {
    std::vector<uint64_t> out;
    for (uint64_t t : times) out.push_back((t - t0_) / kMs);
    return out;
  }
  uint64_t t0_ = 0;
};

using Offsets = std::vector<uint64_t>;

TEST_F(ClockTest, ALiveThreadHoldsTheJumpUntilItPostsOrTheRealWaitLimitPasses) {
  // The poster takes several limits: the wait must not give up on it.
  plat::sim::SetRealWaitLimit(5);
  Event never, release;
  const uint64_t seen = clk::WakeGeneration();
  HANDLE poster = StartThread([&] {
    WaitForSingleObject(never.get(), 30);
    clk::Notify();
    return DWORD{0};
  });
  EXPECT_EQ(clk::WaitForWork(clk::kNoDeadline, seen), clk::WaitOutcome::Notified);
  EXPECT_EQ(Elapsed(), 0u);
  EXPECT_TRUE(FatalMessage().empty());
  WaitForSingleObject(poster, kSoonMs);
  CloseHandle(poster);
  // A quiet thread delays the jump to the due event only by the limit.
  Schedule({70});
  HANDLE quiet = StartThread([&] { return WaitForSingleObject(release.get(), INFINITE); });
  EXPECT_EQ(clk::WaitForWork(clk::kNoDeadline, clk::WakeGeneration()), clk::WaitOutcome::Due);
  EXPECT_EQ(Elapsed(), 70 * kMs);
  release.Set();
  WaitForSingleObject(quiet, kSoonMs);
  CloseHandle(quiet);
}

TEST_F(ClockTest, AnotherThreadsVirtualDeadlineIsADueEventItNeverMovesItself) {
  std::atomic<uint64_t> wokeAt{0};
  HANDLE h = StartThread([&] {
    auto outcome = clk::WaitForWork(t0_ + 100 * kMs, clk::WakeGeneration());
    wokeAt = plat::sim::NowMicros();
    return static_cast<DWORD>(outcome);
  });
  ASSERT_TRUE(kernel_test::PollUntil([&] { return clk::EarliestDueAfter(t0_) == t0_ + 100 * kMs; }));
  EXPECT_EQ(Elapsed(), 0u);
  plat::sim::AdvanceClock(300);
  EXPECT_EQ(InMs(PumpCalls()), (Offsets{100, 300}));
  ASSERT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
  DWORD outcome = 0;
  GetExitCodeThread(h, &outcome);
  EXPECT_EQ(outcome, static_cast<DWORD>(clk::WaitOutcome::Deadline));
  EXPECT_GE(wokeAt, t0_ + 100 * kMs);
  CloseHandle(h);
}

TEST_F(ClockTest, RealClockRunsAndSwitchingBackNeverGoesBackwards) {
  plat::sim::UseRealClock();
  EXPECT_FALSE(plat::sim::IsVirtualClock());
  const uint64_t a = plat::sim::NowMicros();
  EXPECT_GE(a, t0_);
  Event never;
  WaitForSingleObject(never.get(), 20);
  const uint64_t b = plat::sim::NowMicros();
  EXPECT_GE(b - a, 20 * kMs);
  EXPECT_EQ(clk::WaitForWork(b + 10 * kMs, clk::WakeGeneration()), clk::WaitOutcome::Deadline);
  EXPECT_GE(plat::sim::NowMicros(), b + 10 * kMs);
  plat::sim::UseVirtualClock();
  const uint64_t c = plat::sim::NowMicros();
  EXPECT_GE(c, b + 10 * kMs);
  WaitForSingleObject(never.get(), 5);
  EXPECT_EQ(plat::sim::NowMicros(), c);
}

// Signals once the window thread has looked at the schedule, so a test can act while
// that thread is already blocked with what it saw.
class LookSignal final : public clk::DueSource {
 public:
  void Arm(HANDLE event) { event_.store(event); }
  std::optional<uint64_t> NextDueAfter(uint64_t) override {
    if (clk::IsWindowThread())
      if (HANDLE e = event_.exchange(nullptr)) SetEvent(e);
    return std::nullopt;
  }

 private:
  std::atomic<HANDLE> event_{nullptr};
};

TEST_F(ClockTest, DeadlineAddedWhileTheWindowThreadIsBlockedStopsItsJump) {
  plat::sim::SetRealWaitLimit(300);  // ample for the other thread to start its wait
  Schedule({500});
  Event looked;
  Registered<LookSignal>().Arm(looked.get());
  std::atomic<uint64_t> wokeAt{0};
  HANDLE h = StartThread([&] {
    WaitForSingleObject(looked.get(), kSoonMs);
    clk::WaitForWork(t0_ + 100 * kMs, clk::WakeGeneration());
    wokeAt = plat::sim::NowMicros();
    return DWORD{0};
  });
  EXPECT_EQ(clk::WaitForWork(clk::kNoDeadline, clk::WakeGeneration()), clk::WaitOutcome::Due);
  EXPECT_EQ(Elapsed(), 100 * kMs) << "the other thread's deadline comes first";
  ASSERT_EQ(WaitForSingleObject(h, kSoonMs), WAIT_OBJECT_0);
  CloseHandle(h);
  EXPECT_EQ(wokeAt, t0_ + 100 * kMs);
}

TEST_F(ClockTest, APostAfterTheLastLookEndsTheWaitWithoutMovingTime) {
  Schedule({40});
  const uint64_t seen = clk::WakeGeneration();
  clk::Notify();  // posted between the look at the queue and the wait
  EXPECT_EQ(clk::WaitForWork(clk::kNoDeadline, seen), clk::WaitOutcome::Notified);
  EXPECT_EQ(Elapsed(), 0u);
}

}  // namespace clock_test
