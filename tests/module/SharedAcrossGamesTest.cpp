// What the games of the module share, used from several threads at once: the game
// window's class, the pixel-effect managers and the resource manager. Window threads of
// the host making their first games at once each get a window and draw the table a game
// alone draws; a screen-mode change while the loader builds leaves a table that draws
// the same.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "graphics/KK_FXMan.h"
#include "host/EntryRecords.h"
#include "host/HostMessage.h"
#include "module/CDorvik2Wnd.h"
#include "module/Dorvik2Module.h"
#include "plat/sim.h"
#include "scene/CDorvik2VWS.h"
#include "support/GameTable.h"
#include "support/HostWindowFixture.h"
#include "support/RecordingHost.h"
#include "widgets/GDDScreen.h"

namespace {

using testing_support::RecordingHost;
using Bytes = std::vector<uint8_t>;
using testing_support::TableBytes;

constexpr auto kThreadBound = std::chrono::seconds(60);

// The room entry a seated player gets: the scene's busiest handler short of a deal.
int32_t SeatedRoomEntry(IClientInterface* client) {
  RoomEnterMsg entry;
  entry.clientVersion = kClientVersion;
  entry.myUser.userNo = 7;
  entry.myUser.userId = "me";
  const std::vector<BYTE> block = testing_support::HostMessageBlock(HostMessage::Make<HM_ROOM_ENTER>(entry));
  auto length = static_cast<int32_t>(block.size());
  return client->OnReceive(0, 0, block.data(), &length);
}

void Drain() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Pumps the calling thread until `done`, within kThreadBound of real time: the other
// threads' sends to its windows are served meanwhile.
bool PumpUntil(const std::function<bool()>& done) {
  const auto until = std::chrono::steady_clock::now() + kThreadBound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    Drain();
    std::this_thread::yield();
  }
  Drain();
  return true;
}

class SharedAcrossGamesTest : public testing_support::HostWindowFixture {
 protected:
  static std::u16string Folder() {
    return std::u16string(kGameFolder, kGameFolder + std::char_traits<char>::length(kGameFolder));
  }
  // The table a game of the folder draws with no other game alive, built here.
  Bytes AloneTable() {
    IClientInterface* alone = Make();
    EXPECT_NE(Init(alone, 0), nullptr);
    Drain();
    const Bytes bytes = alone ? TableBytes(Wnd(alone)) : Bytes();
    EXPECT_EQ(Destroy(alone), 0);
    EXPECT_GT(bytes.size(), 800u * 600u);
    return bytes;
  }
};

// Runs `work` on kThreads new threads at once, each of which makes its game on a frame
// window of its own, and pumps this thread until all have ended.
constexpr int kThreads = 3;
struct Outcome {
  HWND window = nullptr;
  DWORD error = 0;
  int32_t destroyed = 99;
  int differingDraws = 0;
  int32_t entered = 99;
};
void OnWindowThreads(const char* frameClass, const std::function<void(IClientInterface*, HWND frame, Outcome&)>& work,
                     Outcome (&outcomes)[kThreads]) {
  std::atomic<int> atInit{0}, done{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      RecordingHost gameHost;
      const HWND frame = CreateWindowExA(0, frameClass, "frame", WS_POPUP, 0, 0, 820, 620, nullptr, nullptr,
                                         nullptr, nullptr);
      IClientInterface* client = nullptr;
      const bool made = frame && CreateGameWnd(&gameHost, &client) == 0;
      // Met just before InitGameWnd, whose window's class is the first thing shared.
      ++atInit;
      while (atInit < kThreads) std::this_thread::yield();
      if (made) work(client, frame, outcomes[t]);
      Drain();
      if (frame) DestroyWindow(frame);
      ++done;
    });
  }
  if (!PumpUntil([&] { return done.load() == kThreads; })) {
    // A thread that never ends cannot be joined: the process ends with the verdict.
    ADD_FAILURE() << "a window thread never ended";
    std::_Exit(EXIT_FAILURE);
  }
  for (std::thread& t : threads) t.join();
}

// The first games of a load find no game window class and no effect manager yet (both
// undone here: nothing of either is left between rounds). Each round's three window
// threads meet before their InitGameWnd (the loader builds) and end their games at once;
// then three games built on their threads draw their tables at the same time and enter
// their rooms.
TEST_F(SharedAcrossGamesTest, ThreeWindowThreadsMakingTheirFirstGamesAtOnceEachGetAWindowAndDrawTheTableAloneDrawn) {
  const Bytes alone = AloneTable();
  ASSERT_FALSE(alone.empty());
  const HINSTANCE instance = GetModuleHandleA(dorvik2_module::kModuleName);
  // The race between a look for the class and its registration is narrow: enough rounds
  // to meet it in most runs of a plain build; the sanitizers' slower runs take fewer.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
  constexpr int kRounds = 20;
#else
  constexpr int kRounds = 200;
#endif
  for (int round = 0; round < kRounds && !HasFailure(); ++round) {
    SCOPED_TRACE(testing::Message() << "round " << round);
    ASSERT_TRUE(UnregisterClassA(CDorvik2Wnd::kClassName, instance));
    DestroyFXManager();
    Outcome outcomes[kThreads];
    OnWindowThreads(
        kHostClass,
        [](IClientInterface* client, HWND frame, Outcome& out) {
          out.window = InitGameWnd(client, 0, frame, Folder().c_str(), u"D:\\portal\\", u"", 0, 0, 0, 0, 1);
          out.error = GetLastError();
          out.destroyed = DestroyGameWnd(client);
        },
        outcomes);
    for (int t = 0; t < kThreads; ++t) {
      EXPECT_NE(outcomes[t].window, nullptr) << "thread " << t << ": InitGameWnd answered null, last error "
                                             << outcomes[t].error;
      EXPECT_EQ(outcomes[t].destroyed, 0) << "thread " << t;
    }
  }
  constexpr int kDraws = 3;
  DestroyFXManager();
  Outcome outcomes[kThreads];
  OnWindowThreads(
      kHostClass,
      [&](IClientInterface* client, HWND frame, Outcome& out) {
        out.window = InitGameWnd(client, 0, frame, Folder().c_str(), u"D:\\portal\\", u"", 0, 0, 0, 0, 0);
        Drain();
        if (out.window)
          for (int d = 0; d < kDraws; ++d) out.differingDraws += TableBytes(Wnd(client)) == alone ? 0 : 1;
        // Then each plays on: the room entry draws its banners, seats and pop-ups.
        if (out.window) out.entered = SeatedRoomEntry(client);
        Drain();
        out.destroyed = DestroyGameWnd(client);
      },
      outcomes);
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_NE(outcomes[t].window, nullptr) << "thread " << t;
    EXPECT_EQ(outcomes[t].differingDraws, 0) << "thread " << t << " drew a table other than the one drawn alone";
    EXPECT_EQ(outcomes[t].entered, 0) << "thread " << t;
    EXPECT_EQ(outcomes[t].destroyed, 0) << "thread " << t;
  }
  EXPECT_TRUE(PumpUntil([] { return plat::sim::LiveLayerThreads() == 0; })) << "a thread of the module stayed";
}

// The host changes the screen mode while the loader builds the table: each new
// screen's key goes to the scene on the window's thread while the loader reads it for
// the widgets it makes. The scene ends with the last screen's key and the game ends
// whole. (ThreadSanitizer's run sees the two threads meet.)
TEST_F(SharedAcrossGamesTest, AScreenModeChangeDuringAThreadedLoadHandsTheSceneTheLastScreensKey) {
  IClientInterface* client = Make();
  ASSERT_NE(Init(client, 1), nullptr);
  CDorvik2Wnd* wnd = Wnd(client);
  int32_t changes = 0;
  while (WaitForSingleObject(wnd->LoaderThread(), 0) == WAIT_TIMEOUT && changes < 20) {
    EXPECT_EQ(client->SetScreenMode(0, 800, 600, 0), 0);
    ++changes;
  }
  EXPECT_GT(changes, 0) << "the load ended before the first change";
  WaitForLoader(wnd);
  Drain();
  EXPECT_EQ(static_cast<uint32_t>(wnd->Scene()->ColorKey()), wnd->Screen()->ColorKey());
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_TRUE(PumpUntil([] { return plat::sim::LiveLayerThreads() == 0; })) << "a thread of the module stayed";
}

}  // namespace
