// The host ending a game from wherever the module has called it: inside the load-failed
// event on the window's thread and on the loader's, after the loader posted its result,
// and twice. What the host must see: the window gone, 0 once and -1 after, and nothing
// of the game (no call, no post) once DestroyGameWnd has returned.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <functional>
#include <mutex>

#include "host/Dorvik2Messages.h"
#include "module/CDorvik2Wnd.h"
#include "plat/sim.h"
#include "support/ForeignClient.h"
#include "support/HostWindowFixture.h"
#include "support/RecordingHost.h"

namespace {

constexpr int32_t kLoadFailedEvent = 36;
// Message-pump rounds of a threaded life, each at most kRoundMs of the layer's wait.
constexpr int32_t kRounds = 2000;
constexpr DWORD kRoundMs = 10;

// A host that ends the game from inside the first load-failed event, on whichever
// thread the module raises it, and notes what stood right after the call returned.
class EndingHost : public testing_support::RecordingHost {
 public:
  IClientInterface* client = nullptr;
  HWND hostWnd = nullptr;
  std::atomic<int32_t> result{99};
  std::atomic<bool> ended{false};
  // Set last, once the notes below are written.
  std::atomic<bool> noted{false};
  std::atomic<bool> gameWindowLeft{true};
  std::atomic<size_t> callsAtEnd{0};
  // Real milliseconds DestroyGameWnd took: the layer waits for a thread on the real
  // clock, so only real time shows an end that waited out the loader's stop time-out.
  std::atomic<int64_t> destroyMs{0};

  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override {
    const int32_t answer = RecordingHost::NotifyEvent(userNo, code, data, value);
    if (code && *code == kLoadFailedEvent && !ended.exchange(true)) {
      const auto start = std::chrono::steady_clock::now();
      result = DestroyGameWndFromHere();
      destroyMs = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                      .count();
      gameWindowLeft = GetWindow(hostWnd, GW_CHILD) != nullptr;
      callsAtEnd = Calls().size();
      noted = true;
    }
    return answer;
  }

 private:
  int32_t DestroyGameWndFromHere() { return DestroyGameWnd(client); }
};

class DestroyGameWndTest : public testing_support::HostWindowFixture {
 protected:
  void SetUp() override {
    HostWindowFixture::SetUp();
    ending.hostWnd = hostWnd;
  }
  HWND InitEnding(int32_t threaded) {
    EXPECT_EQ(CreateGameWnd(&ending, &ending.client), 0);
    const std::u16string gameFolder(kGameFolder, kGameFolder + std::char_traits<char>::length(kGameFolder));
    return InitGameWnd(ending.client, 0, hostWnd, gameFolder.c_str(), u"D:\\portal\\", u"extra", 0, 0, 0, 0,
                       threaded);
  }
  // Serves the window thread's messages, sent ones included, until `done` or the rounds
  // run out; then once more, for what the last round brought.
  static bool PumpUntil(const std::function<bool()>& done) {
    bool reached = false;
    for (int32_t round = 0; round < kRounds && !(reached = done()); ++round) {
      Drain();
      MsgWaitForMultipleObjects(0, nullptr, FALSE, kRoundMs, QS_ALLINPUT);
    }
    Drain();
    return reached;
  }
  static void Drain() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  EndingHost ending;
};

TEST_F(DestroyGameWndTest, InsideTheLoadFailedEventOfASynchronousBuild) {
  HideImages("Back");
  const HWND game = InitEnding(0);
  ASSERT_TRUE(ending.noted);
  EXPECT_EQ(ending.result, 0);
  EXPECT_EQ(game, nullptr) << "a game ended during its creation is not handed to the host";
  EXPECT_FALSE(ending.gameWindowLeft);
  EXPECT_EQ(GetWindow(hostWnd, GW_CHILD), nullptr);
  plat::sim::Advance(200);
  EXPECT_EQ(ending.Calls().size(), ending.callsAtEnd) << "a host call after the destroy";
  EXPECT_TRUE(PostedToHost(WM_GAME_LOADED).empty());
  EXPECT_EQ(DestroyGameWnd(ending.client), -1) << "the game is gone already";
}

TEST_F(DestroyGameWndTest, InsideTheLoadFailedEventOnTheLoaderThread) {
  HideImages("Back");
  ASSERT_NE(InitEnding(1), nullptr);
  ASSERT_TRUE(PumpUntil([&] { return ending.noted.load(); }));
  EXPECT_EQ(ending.result, 0);
  EXPECT_FALSE(ending.gameWindowLeft) << "the window outlived the destroy that returned 0";
  // The window's thread must not wait for the loader that asked: it waits for this. Not
  // a speed: a bound far below the time-out such a wait would run into.
  EXPECT_LT(ending.destroyMs, CDorvik2Wnd::kLoaderStopWaitMs / 2) << "the end waited for the loader that asked for it";
  ASSERT_TRUE(PumpUntil([] { return plat::sim::LiveLayerThreads() == 0; })) << "the loader never ended";
  EXPECT_EQ(GetWindow(hostWnd, GW_CHILD), nullptr);
  EXPECT_EQ(ending.Calls().size(), ending.callsAtEnd) << "a host call after the destroy";
  EXPECT_TRUE(PostedToHost(WM_GAME_LOADED).empty()) << "the loader's result reached the host after the destroy";
  EXPECT_EQ(DestroyGameWnd(ending.client), -1);
}

TEST_F(DestroyGameWndTest, TheLoadersResultStillQueuedForTheHostIsTakenBack) {
  IClientInterface* client = Make();
  ASSERT_NE(Init(client, 1), nullptr);
  // The loader's result waits in the host's queue, which the host has not read yet.
  WaitForLoader(Wnd(client));
  ASSERT_EQ(PostedToHost(WM_GAME_LOADED).size(), 1u);
  // A message of the host's own to one of its children, with the same number, stays.
  const HWND child = CreateWindowExA(0, kHostClass, "child", WS_CHILD, 0, 0, 10, 10, hostWnd, nullptr, nullptr,
                                     nullptr);
  ASSERT_TRUE(PostMessageA(child, WM_GAME_LOADED, 7, 0));
  EXPECT_EQ(Destroy(client), 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, hostWnd, WM_GAME_LOADED, WM_GAME_LOADED, PM_REMOVE));
  EXPECT_EQ(m.hwnd, child);
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_FALSE(PeekMessageA(&m, hostWnd, WM_GAME_LOADED, WM_GAME_LOADED, PM_REMOVE)) << "the game's result stayed";
}

TEST_F(DestroyGameWndTest, OnlyALiveGameIsDestroyed) {
  IClientInterface* client = Make();
  ASSERT_NE(Init(client, 0), nullptr);
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_EQ(DestroyGameWnd(client), -1) << "a second destroy";
  testing_support::ForeignClient foreign;
  EXPECT_EQ(DestroyGameWnd(&foreign), -1) << "a client the module never made";
  EXPECT_EQ(DestroyGameWnd(nullptr), -1);
  // A client never initialised is alive: made, then ended once.
  IClientInterface* bare = Make();
  EXPECT_EQ(Destroy(bare), 0);
  EXPECT_EQ(DestroyGameWnd(bare), -1);
}

}  // namespace
