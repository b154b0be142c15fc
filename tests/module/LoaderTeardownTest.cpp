// The host tearing a threaded window down while its loader works: at every point from
// before the build to after the sound set-up, the loader is joined, nothing of it
// reaches the host afterwards, and (under ThreadSanitizer) no field is read by one
// thread while the other tears it down.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "host/Dorvik2Messages.h"
#include "host/CHostLink.h"
#include "module/CDorvik2Wnd.h"
#include "plat/handle.h"
#include "plat/sim.h"
#include "support/HostWindowFixture.h"
#include "support/RecordingHost.h"

namespace {

constexpr int32_t kLives = 200;
// Virtual time per step of the loader: one file it opens.
constexpr UINT kStepMs = 10;
constexpr UINT_PTR kDestroyTimer = 7;
// Steps past the calibrated end, so that the last lives end after the loader did.
constexpr int32_t kStepsAfterEnd = 2;

// Holds the loader at every file it opens until the host's thread lets it through,
// so that virtual time and the loader's progress move in step. Opens on the host's
// thread pass at once; once freed, nothing is held.
class LoaderStepper {
 public:
  explicit LoaderStepper(DWORD hostThread) : hostThread_(hostThread) {
    plat::sim::SetOpenHook([this](const std::string&) { OnOpen(); });
  }
  ~LoaderStepper() {
    Free();
    plat::sim::SetOpenHook(nullptr);
  }
  LoaderStepper(const LoaderStepper&) = delete;
  LoaderStepper& operator=(const LoaderStepper&) = delete;

  // Until the loader waits at a file not yet let through, or `ended` answers true
  // (polled); false after about kWaitMs of real time.
  template <class Ended>
  bool WaitHeldOrEnded(Ended ended) {
    std::unique_lock lock(mutex_);
    for (int32_t polls = 0; arrived_ <= passed_ && !ended(); ++polls) {
      if (polls * kPollMs > kWaitMs) return false;
      changed_.wait_for(lock, std::chrono::milliseconds(kPollMs));
    }
    return true;
  }
  void Pass() {
    std::lock_guard lock(mutex_);
    passed_ = arrived_;
    changed_.notify_all();
  }
  void Free() {
    std::lock_guard lock(mutex_);
    free_ = true;
    changed_.notify_all();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    arrived_ = passed_ = 0;
    free_ = false;
  }

 private:
  static constexpr int32_t kWaitMs = 10000;
  static constexpr int32_t kPollMs = 1;
  void OnOpen() {
    if (GetCurrentThreadId() == hostThread_) return;
    std::unique_lock lock(mutex_);
    const int32_t mine = ++arrived_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return free_ || passed_ >= mine; });
  }
  const DWORD hostThread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int32_t arrived_ = 0;
  int32_t passed_ = 0;
  bool free_ = false;
};

class LoaderTeardownTest : public testing_support::HostWindowFixture {
 protected:
  // What the host saw up to the moment DestroyGameWnd returned.
  struct Life {
    int32_t steps = 0;
    bool destroyed = false;
    int32_t destroyResult = -1;
    size_t loadedPosts = 0;
    size_t hostCalls = 0;
    uint32_t threadsLeft = 0;
  };

  // One threaded window life; the host's timer destroys the window `destroyAfterMs`
  // into it (never when negative: the life ends when the loader has).
  Life Live(LoaderStepper& stepper, int32_t destroyAfterMs) {
    static LoaderStepper* steps = nullptr;
    static LoaderTeardownTest* self = nullptr;
    static IClientInterface* client = nullptr;
    static Life* life = nullptr;
    Life result;
    steps = &stepper;
    self = this;
    life = &result;
    stepper.Reset();
    plat::sim::ClearPostedMessages(hostWnd);
    client = Make();
    CDorvik2Wnd* wnd = Wnd(client);
    EXPECT_NE(Init(client, 1), nullptr);
    if (destroyAfterMs >= 0) {
      SetTimer(hostWnd, kDestroyTimer, static_cast<UINT>(destroyAfterMs), [](HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        steps->Free();
        life->destroyResult = self->Destroy(client);
        life->destroyed = true;
        life->loadedPosts = self->PostedToHost(WM_GAME_LOADED).size();
        life->hostCalls = self->host.Calls().size();
        life->threadsLeft = plat::sim::LiveLayerThreads();
      });
    }
    bool loaderEnded = false;
    while (!result.destroyed) {
      plat::sim::Advance(kStepMs);
      if (result.destroyed || (destroyAfterMs < 0 && loaderEnded)) break;
      const bool held = stepper.WaitHeldOrEnded([&] { return !wnd->LoaderRunning(); });
      EXPECT_TRUE(held) << "the loader neither asked for a file nor ended";
      if (!held) break;
      loaderEnded = !wnd->LoaderRunning();
      if (!loaderEnded) ++result.steps;
      stepper.Pass();
    }
    if (!result.destroyed) {
      stepper.Free();
      Destroy(client);
    }
    // Whatever the loader still had queued for the host's thread is handled now.
    plat::sim::Advance(kStepMs);
    return result;
  }
};

TEST_F(LoaderTeardownTest, TwoHundredLivesDestroyedAcrossTheBuildLeaveNothingRunningOrPosting) {
  LoaderStepper stepper(GetCurrentThreadId());
  const int32_t fullSteps = Live(stepper, -1).steps;
  ASSERT_GT(fullSteps, 1) << "the loader opens files step by step";
  const int32_t span = (fullSteps + kStepsAfterEnd) * static_cast<int32_t>(kStepMs);
  for (int32_t i = 0; i < kLives; ++i) {
    const int32_t destroyAt = i * span / (kLives - 1);
    SCOPED_TRACE(testing::Message() << "life " << i << ", destroyed at " << destroyAt << " ms");
    const Life life = Live(stepper, destroyAt);
    ASSERT_TRUE(life.destroyed);
    EXPECT_EQ(life.destroyResult, 0);
    EXPECT_EQ(life.threadsLeft, 0u) << "the loader was joined, not let go";
    EXPECT_LE(life.loadedPosts, 1u);
    EXPECT_EQ(PostedToHost(WM_GAME_LOADED).size(), life.loadedPosts) << "nothing posted after the teardown";
    EXPECT_EQ(host.Calls().size(), life.hostCalls) << "no host call after the teardown";
    EXPECT_EQ(plat::sim::LiveWindows(), 1u) << "only the host's window is left";
    if (destroyAt == 0) {
      EXPECT_EQ(life.loadedPosts, 0u) << "destroyed before the build started";
    }
    if (destroyAt == span) {
      EXPECT_EQ(life.loadedPosts, 1u) << "destroyed after the build ended";
    }
  }
}

// The teardown clears the host link while a loader thread that would not stop may
// still read it (the sound set-up takes the host window, a failed build reports to
// the host): every read sees the link whole, as filled or as cleared.
TEST(HostLinkAcrossThreads, AReaderSeesTheLinkFilledOrClearedNeverTorn) {
  static constexpr int32_t kRounds = 2000;
  static testing_support::RecordingHost host;
  static const HWND kHostWnd = reinterpret_cast<HWND>(0x40);
  static std::atomic<int32_t> torn{0};
  static CHostLink link;
  link.Fill(&host, kHostWnd, CHostLink::kGameNumber);
  HANDLE reader = CreateThread(
      nullptr, 0,
      [](LPVOID) -> DWORD {
        for (int32_t i = 0; i < kRounds; ++i) {
          IHostInterface* const seen = link.Host();
          const HWND wnd = link.HostWindow();
          if ((seen != nullptr && seen != &host) || (wnd != nullptr && wnd != kHostWnd)) torn.fetch_add(1);
        }
        return 0;
      },
      nullptr, 0, nullptr);
  ASSERT_NE(reader, nullptr);
  for (int32_t i = 0; i < kRounds; ++i) {
    link.Fill(nullptr, nullptr, CHostLink::kGameNumber);
    link.Fill(&host, kHostWnd, CHostLink::kGameNumber);
  }
  ASSERT_EQ(WaitForSingleObject(reader, INFINITE), WAIT_OBJECT_0);
  CloseHandle(reader);
  EXPECT_EQ(torn.load(), 0);
  link.Cut();
}

}  // namespace
