// An ended game runs nothing and no exception of the game reaches the host: a host call
// handed to a game while its end waits for the loader reaches no scene and shows no box;
// a message of the game window whose work throws (an allocation) still ends its frame,
// so a later destroy elsewhere finds the game and deletes it; the host's calls answer
// their defaults under a failed allocation and lose no pooled buffer.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "FailingAllocation.h"
#include "host/XBufPool.h"
#include "plat/sim.h"
#include "support/BoxWatch.h"
#include "support/GameTable.h"
#include "support/OwnWindow.h"

namespace {

using testing_support::GameTableTest;
using testing_support::OpenWatch;

constexpr auto kEndedGameBound = std::chrono::seconds(20);
// The first effect the loader's sound set-up opens.
constexpr const char* kFirstEffect = "room_join.ogg";
constexpr UINT kDeliverToGame = WM_USER + 0x70;

// Pumps the calling thread until `done`; a bound passed ends the program with `verdict`,
// since a thread stuck in the module cannot be joined.
template <class Done>
void PumpOrEndTheRun(Done done, const char* verdict) {
  const auto until = std::chrono::steady_clock::now() + kEndedGameBound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) {
      std::fprintf(stderr, "%s\n", verdict);
      std::_Exit(EXIT_FAILURE);
    }
    GameTableTest::Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  GameTableTest::Pump();
}

// What a window of the host's on the window thread hands the game when told to.
IClientInterface* g_deliveredTo = nullptr;
std::vector<BYTE> g_deliveredBlock;
int32_t g_deliveredAnswer = 99;
LRESULT CALLBACK DeliveringProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kDeliverToGame) return DefWindowProcA(hwnd, message, wParam, lParam);
  auto length = static_cast<int32_t>(g_deliveredBlock.size());
  g_deliveredAnswer = g_deliveredTo->OnReceive(0, 0, g_deliveredBlock.data(), &length);
  return 0;
}

class EndedGameTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    directDrawBefore = plat::sim::LiveDirectDrawObjects();
  }
  // The seated entry's question box of a fast anti-leave room, up inside OnReceive.
  static RoomEnterMsg QuestionedEntryOfTheEnd() {
    RoomEnterMsg msg = MyEntry(1);
    msg.room.sceneMode = CDorvik2VWS::kModeWaiting;
    msg.confirmFlag = 1;
    msg.room.roomState = 9;
    msg.room.antiLeaveLevel = 2;
    msg.room.speedKind = 2;
    return msg;
  }
  uint32_t directDrawBefore = 0;
};

// DestroyGameWnd on the window's thread waits for the loader, still setting up sound,
// serving what is sent meanwhile; a thread of the host's sends the window's thread a
// room entry to hand the game there. The game is claimed: the entry reaches no scene.
TEST_F(EndedGameTest, AHostCallDuringTheEndsLoaderWaitReachesNoSceneAndShowsNoBox) {
  OpenWatch sound({.holdAt = kFirstEffect});
  ASSERT_NE(Init(client, 0), nullptr);
  scene = wnd->Scene();
  Pump();
  ASSERT_TRUE(sound.WaitHeld(kThreadWaitMs)) << "the loader set up no sound";
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  const testing_support::OwnWindow deliverer("Deliverer", DeliveringProc, WS_POPUP, 10, 10);
  ASSERT_NE(deliverer.Handle(), nullptr);
  g_deliveredTo = client;
  g_deliveredBlock = Block(HostMessage::Make<HM_ROOM_ENTER>(QuestionedEntryOfTheEnd()));
  g_deliveredAnswer = 99;
  testing_support::BoxWatch boxes(VK_ESCAPE);
  std::atomic<bool> destroying{false};
  std::thread network([&] {
    while (!destroying) std::this_thread::yield();
    SendMessageA(deliverer.Handle(), kDeliverToGame, 0, 0);
    sound.Release();
  });
  const size_t callsBefore = host.Calls().size();
  destroying = true;
  EXPECT_EQ(Destroy(client), 0);
  network.join();
  EXPECT_EQ(g_deliveredAnswer, 0);
  EXPECT_TRUE(boxes.Seen().empty()) << "a box of the ended game came up: " << boxes.Seen().front();
  EXPECT_EQ(host.Calls().size(), callsBefore) << "the ended game called the host";
  PumpOrEndTheRun([] { return plat::sim::LiveLayerThreads() == 0; }, "the loader never ended");
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore);
}

// Each allocation of a repaint of the game window failed in turn, on one game: a
// failure that leaves the window's message must end its frame all the same, or the
// game is never deleted and a destroy elsewhere waits for ever.
TEST_F(EndedGameTest, AMessageWhoseWorkThrowsStillEndsItsFrame) {
  MakeSeatedTable();
  const HWND window = wnd->Handle();
  int32_t reached = 0;
  for (int32_t n = 0; n < 40; ++n) {
    InvalidateRect(window, nullptr, FALSE);
    testing_support::FailAllocationAfter(n);
    SendMessageA(window, WM_PAINT, 0, 0);
    const bool failed = !testing_support::AllocationFailurePending();
    testing_support::FailAllocationAfter(-1);
    if (!failed) break;
    ++reached;
  }
  ASSERT_GT(reached, 0) << "the repaint allocated nothing";
  Pump();
  std::atomic<int32_t> result{99};
  std::atomic<bool> returned{false};
  std::thread third([&] {
    result = DestroyGameWnd(client);
    returned = true;
  });
  PumpOrEndTheRun([&] { return returned.load(); }, "DestroyGameWnd never returned after a message of the game threw");
  third.join();
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore) << "the game's object was never deleted";
  PumpOrEndTheRun([] { return plat::sim::LiveLayerThreads() == 0; }, "the library's holder never let go");
}

// The host's calls with each of their allocations failed in turn: no exception reaches
// the host, each answers its default, and OnReceive gives its pooled buffer back.
TEST_F(EndedGameTest, AFailedAllocationInAHostCallStaysInTheGame) {
  MakeSeatedTable();
  const std::vector<BYTE> block = Block(HostMessage::Make<HM_ROOM_ENTER>(MyEntry(1)));
  const XBufPool& pool = XBufPool::Global();
  int32_t failures = 0;
  for (int32_t n = 0; n < 12; ++n) {
    const uint32_t inUse = pool.Created() - pool.Idle();
    auto length = static_cast<int32_t>(block.size());
    int32_t answer = 99;
    testing_support::FailAllocationAfter(n);
    EXPECT_NO_THROW(answer = client->OnReceive(0, 0, block.data(), &length)) << "allocation " << n;
    const bool failed = !testing_support::AllocationFailurePending();
    testing_support::FailAllocationAfter(-1);
    EXPECT_EQ(answer, 0) << "allocation " << n;
    EXPECT_EQ(pool.Created() - pool.Idle(), inUse) << "allocation " << n << ": OnReceive lost its pooled buffer";
    failures += failed ? 1 : 0;
    Pump();
  }
  EXPECT_GT(failures, 0);
  int32_t answer = 99;
  testing_support::FailAllocationAfter(0);
  EXPECT_NO_THROW(answer = client->SetPlayerAvatar(u"me", u"1|2|3"));
  EXPECT_FALSE(testing_support::AllocationFailurePending()) << "SetPlayerAvatar allocated nothing";
  testing_support::FailAllocationAfter(-1);
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(Destroy(client), 0);
}

}  // namespace
