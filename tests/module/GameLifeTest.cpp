// A game's life as the host sees it: a destroy on a thread that is neither the window's
// nor the loader's, while the window's thread is inside the module's box, inside the
// scene's nested wait, or idle in the host's loop, returns only once the game's object
// is gone; a second InitGameWnd makes nothing; a WM_GAME_END no destroy stands behind
// ends nothing; a second destroy while the object still lives is refused.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "host/Dorvik2Messages.h"
#include "host/HostMessage.h"
#include "plat/sim.h"
#include "FailingAllocation.h"
#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;

// Real time a destroy that answers too early is given to show it (the window's thread
// is held meanwhile); and the bound on any wait for the other thread.
constexpr auto kEarlyAnswerWindow = std::chrono::milliseconds(300);
constexpr auto kThreadBound = std::chrono::seconds(10);

// DestroyGameWnd on a thread of its own, and what stood the moment it returned.
class ThirdThreadDestroy {
 public:
  ThirdThreadDestroy(IClientInterface* client, const testing_support::RecordingHost& host)
      : client_(client), host_(host) {}
  ~ThirdThreadDestroy() { Join(); }
  ThirdThreadDestroy(const ThirdThreadDestroy&) = delete;
  ThirdThreadDestroy& operator=(const ThirdThreadDestroy&) = delete;

  void Start(HWND box = nullptr) {
    box_ = box;
    thread_ = std::thread([this] {
      result = DestroyGameWnd(client_);
      directDrawAtReturn = plat::sim::LiveDirectDrawObjects();
      boxAtReturn = box_ != nullptr && IsWindow(box_);
      callsAtReturn = host_.Calls().size();
      returned = true;
    });
  }
  // On the window's thread: until the end is waiting to be served there, or it returned.
  static bool WaitSendPending(const std::atomic<bool>& returnedFlag) {
    const auto until = std::chrono::steady_clock::now() + kThreadBound;
    while (!((GetQueueStatus(QS_SENDMESSAGE) >> 16) & QS_SENDMESSAGE) && !returnedFlag) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::yield();
    }
    return true;
  }
  // Holds the calling thread until DestroyGameWnd returned or `window` passed.
  bool WaitReturned(std::chrono::milliseconds window) const {
    const auto until = std::chrono::steady_clock::now() + window;
    while (!returned && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    return returned;
  }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

  std::atomic<int32_t> result{99};
  std::atomic<uint32_t> directDrawAtReturn{0};
  std::atomic<bool> boxAtReturn{false};
  std::atomic<size_t> callsAtReturn{0};
  std::atomic<bool> returned{false};

 private:
  IClientInterface* client_;
  const testing_support::RecordingHost& host_;
  HWND box_ = nullptr;
  std::thread thread_;
};

class GameLifeTest : public GameTableTest {
 public:
  void SetUp() override {
    GameTableTest::SetUp();
    directDrawBefore = plat::sim::LiveDirectDrawObjects();
  }
  // On the window's thread, inside a frame of the game: a third thread destroys the
  // game, the end is served right here, and the window's thread stays here a while, so
  // that a destroy that answers before the frames have unwound is seen doing so.
  void DestroyFromThirdThreadHere(ThirdThreadDestroy& third, HWND box) {
    third.Start(box);
    ASSERT_TRUE(ThirdThreadDestroy::WaitSendPending(third.returned)) << "the end never reached the window's thread";
    MSG m;
    PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    third.WaitReturned(kEarlyAnswerWindow);
  }
  void ExpectGoneAtReturn(ThirdThreadDestroy& third) {
    const auto until = std::chrono::steady_clock::now() + kThreadBound;
    while (!third.returned && std::chrono::steady_clock::now() < until) Pump();
    third.Join();
    ASSERT_TRUE(third.returned);
    EXPECT_EQ(third.result, 0);
    EXPECT_EQ(third.directDrawAtReturn, directDrawBefore) << "the game's object outlived DestroyGameWnd";
    EXPECT_FALSE(third.boxAtReturn) << "the box was still up when DestroyGameWnd returned";
    EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore);
    EXPECT_EQ(DestroyGameWnd(client), -1);
    plat::sim::Advance(1000);
    EXPECT_EQ(host.Calls().size(), third.callsAtReturn) << "a host call after DestroyGameWnd returned";
    EXPECT_TRUE(PostedToHost(WM_GAME_CLOSE).empty());
  }
  uint32_t directDrawBefore = 0;
  using GameTableTest::MyEntry;
};

// The seated entry's question box of a fast anti-leave room, up inside OnReceive.
RoomEnterMsg QuestionedEntry() {
  RoomEnterMsg msg = GameLifeTest::MyEntry(1);
  msg.room.sceneMode = CDorvik2VWS::kModeWaiting;
  msg.confirmFlag = 1;
  msg.room.roomState = 9;
  msg.room.antiLeaveLevel = 2;
  msg.room.speedKind = 2;
  return msg;
}

TEST_F(GameLifeTest, ADestroyOnAThirdThreadWhileTheModulesBoxIsUpReturnsOnceTheGameIsGone) {
  MakeTable();
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  ThirdThreadDestroy third(client, host);
  int32_t waits = 0;
  plat::sim::SetModalHook([&](HWND box) {
    if (waits++ == 0) DestroyFromThirdThreadHere(third, box);
  });
  Send<HM_ROOM_ENTER>(QuestionedEntry());
  plat::sim::SetModalHook(nullptr);
  ASSERT_GE(waits, 1) << "no box came up";
  ExpectGoneAtReturn(third);
}

TEST_F(GameLifeTest, ADestroyOnAThirdThreadInsideTheNestedWaitReturnsOnceTheGameIsGone) {
  MakeSeatedTable();
  static ThirdThreadDestroy* third = nullptr;
  static GameLifeTest* self = nullptr;
  static int32_t fired = 0;
  ThirdThreadDestroy destroyer(client, host);
  third = &destroyer;
  self = this;
  fired = 0;
  // Fires inside the shake's wait, the only place that pumps during the message.
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (fired++ == 0) self->DestroyFromThirdThreadHere(*third, nullptr);
  });
  ASSERT_NE(timer, 0u);
  Send<HM_SHAKE>(ShakeMsg{kOther, 2, {3, 1, 2, 0}});
  ASSERT_EQ(fired, 1) << "the timer did not fire inside the wait";
  ExpectGoneAtReturn(destroyer);
}

TEST_F(GameLifeTest, ADestroyOnAThirdThreadWhileTheHostOnlyPumpsReturnsOnceTheGameIsGone) {
  MakeTable(1);
  WaitForLoader(wnd);
  Pump();
  ThirdThreadDestroy third(client, host);
  third.Start();
  ExpectGoneAtReturn(third);
}

TEST_F(GameLifeTest, ASecondInitGameWndIsRefusedAndMakesNothing) {
  MakeTable();
  const uint32_t surfaces = plat::sim::LiveSurfaces();
  const uint32_t directDraws = plat::sim::LiveDirectDrawObjects();
  const size_t windows = plat::sim::LiveWindows();
  EXPECT_EQ(Init(client, 0), nullptr);
  EXPECT_EQ(Init(client, 1), nullptr);
  EXPECT_EQ(plat::sim::LiveSurfaces(), surfaces);
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDraws);
  EXPECT_EQ(plat::sim::LiveWindows(), windows);
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 0u) << "no loader started";
  // The host's frame took the game window with it: still not a client to make again.
  DestroyWindow(wnd->Handle());
  EXPECT_EQ(Init(client, 0), nullptr);
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDraws);
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore) << "the screen went with the object";
}

TEST_F(GameLifeTest, AWindowMessageOfTheEndsNumberEndsNothingWithoutADestroy) {
  MakeTable();
  const HWND game = wnd->Handle();
  SendMessageA(game, WM_GAME_END, 0, 0);
  SendMessageA(game, WM_GAME_END, 1, 0);
  PostMessageA(game, WM_GAME_END, 0, 0);
  Pump();
  EXPECT_TRUE(IsWindow(game));
  EXPECT_EQ(client->RefreshScreen(0), 0);
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_FALSE(IsWindow(game));
}

// The room entry's notice (code 0) answered by two destroys: the object still lives
// under the handler, and only the first ends it.
class DestroysTwiceInsideHost : public testing_support::RecordingHost {
 public:
  IClientInterface* client = nullptr;
  int32_t first = 99, second = 99;
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override {
    const int32_t answer = RecordingHost::NotifyEvent(userNo, code, data, value);
    if (code && *code == 0 && first == 99) {
      first = DestroyGameWnd(client);
      second = DestroyGameWnd(client);
    }
    return answer;
  }
};

TEST_F(GameLifeTest, ASecondDestroyWhileTheObjectStillLivesUnderAHandlerIsRefused) {
  DestroysTwiceInsideHost twice;
  ASSERT_EQ(CreateGameWnd(&twice, &twice.client), 0);
  const std::u16string game(kGameFolder, kGameFolder + std::char_traits<char>::length(kGameFolder));
  ASSERT_NE(InitGameWnd(twice.client, 0, hostWnd, game.c_str(), u"D:\\portal\\", u"", 0, 0, 0, 0, 0), nullptr);
  RoomEnterMsg entry = MyEntry(1);
  entry.room.sceneMode = CDorvik2VWS::kModeWaiting;
  const std::vector<BYTE> block = Block(HostMessage::Make<HM_ROOM_ENTER>(entry));
  auto length = static_cast<int32_t>(block.size());
  twice.client->OnReceive(0, 0, block.data(), &length);
  ASSERT_NE(twice.first, 99) << "the room entry raised no notice";
  EXPECT_EQ(twice.first, 0);
  EXPECT_EQ(twice.second, -1) << "a second destroy of a game already ended";
  EXPECT_EQ(DestroyGameWnd(twice.client), -1);
}

TEST_F(GameLifeTest, WhatTheGameAskedOfTheHostWindowIsTakenBackAtItsEnd) {
  MakeTable();
  wnd->PostToHostWindow(2);
  ASSERT_EQ(PostedToHost(WM_GAME_CLOSE).size(), 1u);
  EXPECT_EQ(Destroy(client), 0);
  MSG m;
  EXPECT_FALSE(PeekMessageA(&m, hostWnd, WM_GAME_CLOSE, WM_GAME_CLOSE, PM_REMOVE)) << "the game's close stayed";
}

// The end's first allocation on the host's thread fails, if it makes one (the take-back
// makes none: a message of the host window's child stays queued where it was). The end
// still runs whole: the game answers 0 once and -1 after, its object is gone and nothing
// of it calls the host.
TEST_F(GameLifeTest, AnAllocationThatFailsDuringTheEndLeavesNoGameHalfEnded) {
  IClientInterface* game = Make();
  const HWND window = Init(game, 0);
  ASSERT_NE(window, nullptr);
  const HWND child = CreateWindowExA(0, kHostClass, "child", WS_CHILD, 0, 0, 10, 10, hostWnd, nullptr, nullptr,
                                     nullptr);
  ASSERT_TRUE(PostMessageA(child, WM_GAME_LOADED, 7, 0));
  testing_support::FailAllocationAfter(0);
  const int32_t answer = Destroy(game);
  testing_support::FailAllocationAfter(-1);
  MSG childs;
  ASSERT_TRUE(PeekMessageA(&childs, child, 0, 0, PM_REMOVE | PM_QS_POSTMESSAGE)) << "the child's message was taken";
  EXPECT_EQ(childs.message, WM_GAME_LOADED);
  EXPECT_EQ(childs.wParam, 7u);
  EXPECT_EQ(answer, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(DestroyGameWnd(game), -1);
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore) << "the object was not deleted";
  const size_t calls = host.Calls().size();
  Pump();
  plat::sim::Advance(1000);
  EXPECT_EQ(host.Calls().size(), calls) << "the game's link outlived it";
}

}  // namespace
