// DestroyGameWnd waits for every frame of its game, wherever the game's window stands:
// while InitGameWnd still makes it, the call keeps the object until it returns; after
// the host's frame took the window along, a host call on the window's thread keeps the
// object until it returns; two window threads that end each other's games inside their
// own game's call both get their answer. An end whose last frame is on another thread
// leaves no window of the game's pop-ups behind.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "host/EntryRecords.h"
#include "host/HostMessage.h"
#include "plat/sim.h"
#include "support/GameTable.h"
#include "support/HostWindowFixture.h"
#include "support/OwnWindow.h"
#include "support/RecordingHost.h"

namespace {

using testing_support::RecordingHost;

constexpr int32_t kNoticeEventCode = 0;
constexpr int32_t kMyUserNo = 7;
// Real time a destroy that answers too early is given to show it, and the bound on any
// wait for another thread.
constexpr auto kEndEarlyWindow = std::chrono::milliseconds(300);
constexpr auto kEndThreadBound = std::chrono::seconds(20);

int32_t EnterRoomOf(IClientInterface* client) {
  RoomEnterMsg entry;
  entry.clientVersion = kClientVersion;
  entry.myUser.userNo = kMyUserNo;
  entry.myUser.userId = "me";
  const std::vector<BYTE> block = testing_support::HostMessageBlock(HostMessage::Make<HM_ROOM_ENTER>(entry));
  auto length = static_cast<int32_t>(block.size());
  return client->OnReceive(0, 0, block.data(), &length);
}

void DrainQueue() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

// Pumps the calling thread (sent messages too) until `done`, within kEndThreadBound.
bool PumpWhileWaiting(const std::function<bool()>& done) {
  const auto until = std::chrono::steady_clock::now() + kEndThreadBound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    DrainQueue();
    // Real time: a thread that is not the layer's window thread never moves the clock.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  DrainQueue();
  return true;
}

// The windows the host's frame owns: a pop-up of the game made over the game window
// belongs to the frame, the window's top-level ancestor.
std::vector<HWND> OwnedBy(HWND frame) {
  std::vector<HWND> owned;
  for (HWND w = GetWindow(frame, GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT))
    if (GetWindow(w, GW_OWNER) == frame) owned.push_back(w);
  return owned;
}

// A host that runs `inNotice` once, inside the room entry's notice.
class RoomNoticeHost : public RecordingHost {
 public:
  std::function<void()> inNotice;
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override {
    const int32_t answer = RecordingHost::NotifyEvent(userNo, code, data, value);
    if (code && *code == kNoticeEventCode && inNotice && !ran_.exchange(true)) inNotice();
    return answer;
  }

 private:
  std::atomic<bool> ran_{false};
};

class GameEndWaitTest : public testing_support::HostWindowFixture {
 protected:
  void SetUp() override {
    HostWindowFixture::SetUp();
    directDrawBefore = plat::sim::LiveDirectDrawObjects();
  }
  IClientInterface* MakeOn(RecordingHost& gameHost, HWND frame) {
    IClientInterface* client = nullptr;
    EXPECT_EQ(CreateGameWnd(&gameHost, &client), 0);
    const std::u16string folder(kGameFolder, kGameFolder + std::char_traits<char>::length(kGameFolder));
    EXPECT_NE(InitGameWnd(client, 0, frame, folder.c_str(), u"D:\\portal\\", u"", 0, 0, 0, 0, 0), nullptr);
    return client;
  }
  uint32_t directDrawBefore = 0;
};

// The host destroyed its frame, and the game window with it; then it hands the game
// the room entry on the window's thread while a thread of its own ends the game.
TEST_F(GameEndWaitTest, AfterTheHostsFrameTookTheWindowADestroyElsewhereWaitsForTheHostCall) {
  RoomNoticeHost gameHost;
  const HWND frame = CreateWindowExA(0, kHostClass, "frame", WS_CHILD | WS_VISIBLE, 0, 0, 810, 610, hostWnd, nullptr,
                                     nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  IClientInterface* client = MakeOn(gameHost, frame);
  ASSERT_TRUE(DestroyWindow(frame));
  ASSERT_EQ(GetWindow(hostWnd, GW_CHILD), nullptr) << "the game window outlived its frame";

  std::atomic<int32_t> result{99};
  std::atomic<bool> returned{false};
  std::atomic<size_t> callsAtReturn{0};
  std::atomic<uint32_t> directDrawAtReturn{0};
  bool returnedInsideTheCall = false;
  std::thread third;
  gameHost.inNotice = [&] {
    third = std::thread([&] {
      result = DestroyGameWnd(client);
      directDrawAtReturn = plat::sim::LiveDirectDrawObjects();
      callsAtReturn = gameHost.Calls().size();
      returned = true;
    });
    // The window's thread stays inside the game's call a while: a destroy that answers
    // before the call has returned shows it here.
    const auto until = std::chrono::steady_clock::now() + kEndEarlyWindow;
    while (!returned && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    returnedInsideTheCall = returned;
  };
  EnterRoomOf(client);
  ASSERT_TRUE(third.joinable()) << "the room entry raised no notice";
  EXPECT_FALSE(returnedInsideTheCall) << "DestroyGameWnd answered while the host's call ran in the game";
  EXPECT_TRUE(PumpWhileWaiting([&] { return returned.load(); })) << "DestroyGameWnd never returned";
  third.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(directDrawAtReturn, directDrawBefore) << "the game's object outlived DestroyGameWnd";
  EXPECT_EQ(DestroyGameWnd(client), -1);
  plat::sim::Advance(1000);
  EXPECT_EQ(gameHost.Calls().size(), callsAtReturn) << "a host call after DestroyGameWnd returned";
}

// A host that runs `inHostText` once, when the room entry asks for the host's text line,
// which it does after the help pop-up is up.
class HostTextHost : public RecordingHost {
 public:
  static constexpr int32_t kHostTextEventCode = 62;
  std::function<void()> inHostText;
  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override {
    const int32_t answer = RecordingHost::NotifyEvent(userNo, code, data, value);
    if (code && *code == kHostTextEventCode && inHostText && !ran_.exchange(true)) inHostText();
    return answer;
  }

 private:
  std::atomic<bool> ran_{false};
};

// The room entry's help pop-up is up, the window's thread is inside a host call, and a
// third thread ends the game. Its end reaches the window's thread once the call has
// returned, so the destroying thread's frame is the game's last: the pop-up, a window
// of the window's thread, must be gone by then, since no other thread may destroy it.
TEST_F(GameEndWaitTest, ADestroyOnAThirdThreadLeavesNoWindowOfTheHelpPopup) {
  HostTextHost gameHost;
  const size_t windowsBefore = plat::sim::LiveWindows();
  IClientInterface* client = MakeOn(gameHost, hostWnd);
  std::vector<HWND> popups;
  std::atomic<int32_t> result{99};
  std::atomic<bool> returned{false};
  bool endWaiting = false;
  std::thread third;
  gameHost.inHostText = [&] {
    popups = OwnedBy(hostWnd);
    third = std::thread([&] {
      result = DestroyGameWnd(client);
      returned = true;
    });
    // The host returns once the end is waiting for this thread, without serving it.
    const auto until = std::chrono::steady_clock::now() + kEndThreadBound;
    while (!(endWaiting = (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0) &&
           std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
  };
  EnterRoomOf(client);
  ASSERT_TRUE(third.joinable()) << "the room entry asked for no host text";
  EXPECT_TRUE(endWaiting) << "the end never reached the window's thread";
  EXPECT_TRUE(PumpWhileWaiting([&] { return returned.load(); })) << "DestroyGameWnd never returned";
  third.join();
  EXPECT_EQ(result, 0);
  ASSERT_FALSE(popups.empty()) << "the room entry showed no help pop-up";
  for (HWND popup : popups) EXPECT_FALSE(IsWindow(popup)) << "a pop-up of the game outlived it";
  EXPECT_TRUE(OwnedBy(hostWnd).empty());
  // The module's pace window goes once this thread is back in its loop, where the
  // library's holder sees it.
  EXPECT_TRUE(PumpWhileWaiting([] { return plat::sim::LiveLayerThreads() == 0; })) << "a thread of the module stayed";
  EXPECT_EQ(plat::sim::LiveWindows(), windowsBefore) << "a window of the game was left behind";
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore) << "the game's object was never deleted";
}

// A host frame that runs `onLosingFocus` once, with the window taking the keys from it.
std::function<void(HWND)> g_onLosingFocus;
LRESULT CALLBACK FocusFrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KILLFOCUS && g_onLosingFocus) {
    const std::function<void(HWND)> run = std::move(g_onLosingFocus);
    g_onLosingFocus = nullptr;
    run(reinterpret_cast<HWND>(wParam));
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// InitGameWnd gives the new game window the keys, which the host's frame hears on the
// window's thread while InitGameWnd still runs; a thread of the host's ends the game
// from there. The end runs there (the host serves what is sent meanwhile), yet
// DestroyGameWnd answers only once InitGameWnd has returned.
TEST_F(GameEndWaitTest, ADestroyWhileInitGameWndRunsAnswersAfterIt) {
  const testing_support::OwnWindow frameWindow("FocusFrame", FocusFrameProc, WS_POPUP | WS_VISIBLE, 820, 620);
  const HWND frame = frameWindow.Handle();
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(GetFocus(), frame);
  const size_t windowsBefore = plat::sim::LiveWindows();
  RecordingHost gameHost;
  IClientInterface* client = nullptr;
  ASSERT_EQ(CreateGameWnd(&gameHost, &client), 0);

  std::atomic<bool> initReturned{false}, returned{false}, initReturnedAtAnswer{false};
  std::atomic<int32_t> result{99};
  bool goneInside = false;
  bool deletedInside = false;
  std::thread third;
  g_onLosingFocus = [&](HWND gameWnd) {
    third = std::thread([&] {
      result = DestroyGameWnd(client);
      initReturnedAtAnswer = initReturned.load();
      returned = true;
    });
    MSG m;
    const auto until = std::chrono::steady_clock::now() + kEndThreadBound;
    while (IsWindow(gameWnd) && std::chrono::steady_clock::now() < until)
      PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    goneInside = !IsWindow(gameWnd);
    // The game's object, and its DirectDraw object with it, stays while InitGameWnd
    // runs; one deleted under it shows here.
    const auto early = std::chrono::steady_clock::now() + kEndEarlyWindow;
    while (!(deletedInside = plat::sim::LiveDirectDrawObjects() == directDrawBefore) &&
           std::chrono::steady_clock::now() < early)
      std::this_thread::yield();
  };
  const std::u16string folder(kGameFolder, kGameFolder + std::char_traits<char>::length(kGameFolder));
  const HWND made = InitGameWnd(client, 0, frame, folder.c_str(), u"D:\\portal\\", u"", 0, 0, 0, 0, 0);
  initReturned = true;
  g_onLosingFocus = nullptr;
  ASSERT_TRUE(third.joinable()) << "the game window never took the keys from the host's frame";
  EXPECT_TRUE(goneInside) << "the end never reached the window's thread";
  EXPECT_FALSE(deletedInside) << "the game was deleted while InitGameWnd ran";
  EXPECT_EQ(made, nullptr) << "InitGameWnd handed over a window of an ended game";
  EXPECT_TRUE(PumpWhileWaiting([&] { return returned.load(); })) << "DestroyGameWnd never returned";
  third.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(initReturnedAtAnswer) << "DestroyGameWnd answered while InitGameWnd still ran";
  EXPECT_TRUE(PumpWhileWaiting([] { return plat::sim::LiveLayerThreads() == 0; })) << "a thread of the module stayed";
  EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr) << "the game window outlived the game";
  EXPECT_EQ(plat::sim::LiveWindows(), windowsBefore) << "a window of the game was left behind";
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore) << "the game's object was never deleted";
  EXPECT_EQ(DestroyGameWnd(client), -1);
}

// Two tables on two window threads of the host; each thread, inside the room notice of
// its own game, ends the other's. The host blocks nothing: only the module's own waits
// could keep either from returning.
TEST_F(GameEndWaitTest, TwoWindowThreadsEndingEachOthersGamesInsideTheirOwnBothReturn) {
  RoomNoticeHost firstHost, secondHost;
  IClientInterface* first = MakeOn(firstHost, hostWnd);
  IClientInterface* second = nullptr;
  std::atomic<int32_t> firstResult{99}, secondResult{99};
  std::atomic<int32_t> atNotice{0};
  std::atomic<bool> secondMade{false}, go{false}, secondReturned{false}, stop{false};
  // Both notices are entered before either destroys; what the other thread sends
  // meanwhile is served.
  const auto meet = [&] {
    ++atNotice;
    MSG m;
    while (atNotice < 2) PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  };
  firstHost.inNotice = [&] {
    meet();
    firstResult = DestroyGameWnd(second);
  };
  std::atomic<bool> firstReturned{false};
  secondHost.inNotice = [&] {
    meet();
    secondResult = DestroyGameWnd(first);
    // The rest of the room entries one after the other: the games share the module's
    // pop-up skins, which are no part of this.
    MSG m;
    while (!firstReturned) PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  };
  std::thread other([&] {
    const HWND otherFrame = CreateWindowExA(0, kHostClass, "other", WS_POPUP, 0, 0, 820, 620, nullptr,
                                            nullptr, nullptr, nullptr);
    second = MakeOn(secondHost, otherFrame);
    secondMade = true;
    while (!go) std::this_thread::yield();
    EnterRoomOf(second);
    secondReturned = true;
    // Serves what still comes to this thread's windows until the test is done.
    PumpWhileWaiting([&] { return stop.load(); });
    DestroyWindow(otherFrame);
  });
  ASSERT_TRUE(PumpWhileWaiting([&] { return secondMade.load(); }));
  ASSERT_NE(second, nullptr);
  go = true;
  std::thread watchdog([&] {
    const auto until = std::chrono::steady_clock::now() + kEndThreadBound;
    while (!(firstReturned && secondReturned)) {
      if (std::chrono::steady_clock::now() > until) {
        // A deadlock cannot be undone from here: the process ends with the verdict.
        std::fprintf(stderr, "a DestroyGameWnd never returned (first %d, second %d)\n",
                     static_cast<int>(firstReturned.load()), static_cast<int>(secondReturned.load()));
        std::_Exit(EXIT_FAILURE);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  // The second room entry reaches its notice first: up to there the two games' work
  // does not overlap.
  EXPECT_TRUE(PumpWhileWaiting([&] { return atNotice.load() == 1; }));
  EnterRoomOf(first);
  firstReturned = true;
  EXPECT_TRUE(PumpWhileWaiting([&] { return secondReturned.load(); }));
  watchdog.join();
  // The games' last frames have ended; what still holds the library lets it go.
  EXPECT_TRUE(PumpWhileWaiting([] { return plat::sim::LiveLayerThreads() == 0; })) << "a thread of the module stayed";
  stop = true;
  other.join();
  EXPECT_EQ(firstResult, 0);
  EXPECT_EQ(secondResult, 0);
  EXPECT_EQ(DestroyGameWnd(first), -1);
  EXPECT_EQ(DestroyGameWnd(second), -1);
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore) << "a game's object was never deleted";
}

// A destroy on another window thread of the host's, from its own loop, while the game's
// host call sends to a window of that thread: the destroy's wait serves the send, so the
// call returns and the game can go.
TEST_F(GameEndWaitTest, ADestroyWaitingOnAWindowThreadServesWhatTheGamesHostCallSendsThere) {
  RoomNoticeHost gameHost;
  IClientInterface* client = MakeOn(gameHost, hostWnd);
  std::atomic<HWND> otherWindow{nullptr};
  std::atomic<bool> destroyNow{false}, returned{false}, stop{false};
  std::atomic<int32_t> result{99};
  std::thread other([&] {
    const HWND mine = CreateWindowExA(0, kHostClass, "other", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                      nullptr);
    otherWindow = mine;
    PumpWhileWaiting([&] { return destroyNow.load(); });
    result = DestroyGameWnd(client);
    returned = true;
    PumpWhileWaiting([&] { return stop.load(); });
    DestroyWindow(mine);
  });
  ASSERT_TRUE(PumpWhileWaiting([&] { return otherWindow.load() != nullptr; }));
  std::atomic<bool> sendReturned{false};
  gameHost.inNotice = [&] {
    destroyNow = true;
    // The end the other thread sends here is served meanwhile; its destroy waits then.
    MSG m;
    const auto until = std::chrono::steady_clock::now() + kEndEarlyWindow;
    while (std::chrono::steady_clock::now() < until) PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    std::thread watchdog([&] {
      const auto bound = std::chrono::steady_clock::now() + kEndThreadBound;
      while (!sendReturned && std::chrono::steady_clock::now() < bound)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      if (!sendReturned) {
        std::fprintf(stderr, "the host's send to the destroying thread was never served\n");
        std::_Exit(EXIT_FAILURE);
      }
    });
    SendMessageA(otherWindow, WM_NULL, 0, 0);
    sendReturned = true;
    watchdog.join();
  };
  EnterRoomOf(client);
  EXPECT_TRUE(sendReturned);
  EXPECT_TRUE(PumpWhileWaiting([&] { return returned.load(); })) << "DestroyGameWnd never returned";
  stop = true;
  other.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(DestroyGameWnd(client), -1);
  EXPECT_EQ(plat::sim::LiveDirectDrawObjects(), directDrawBefore) << "the game's object was never deleted";
}

}  // namespace

namespace {

// Joins `thread` serving nothing, as a host that waits for a thread of its own does; a
// join that never comes ends the program with `verdict`.
void JoinWithoutServing(std::thread& thread, const char* verdict) {
  std::atomic<bool> joined{false};
  std::thread watchdog([&] {
    const auto until = std::chrono::steady_clock::now() + kEndThreadBound;
    while (!joined && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (joined) return;
    std::fprintf(stderr, "%s\n", verdict);
    std::_Exit(EXIT_FAILURE);
  });
  thread.join();
  joined = true;
  watchdog.join();
}

// A game in its own window of the host's on this thread, built, its loader ended and
// its kick served: from here on no frame of it runs unless the host calls.
class GameEndElsewhereTest : public GameEndWaitTest {
 protected:
  IClientInterface* MakeSettled(RecordingHost& gameHost, HWND frame) {
    IClientInterface* made = MakeOn(gameHost, frame);
    if (made) WaitForLoader(Wnd(made));
    DrainQueue();
    return made;
  }
  // What stood the moment a destroy on another thread answered.
  struct Answer {
    std::atomic<int32_t> result{99};
    std::atomic<bool> returned{false};
    std::atomic<bool> windowStood{false};
    std::atomic<uint32_t> directDraws{0};
  };
  static std::thread DestroyElsewhere(IClientInterface* client, Answer& answer, HWND window = nullptr) {
    return std::thread([client, &answer, window] {
      answer.result = DestroyGameWnd(client);
      answer.windowStood = window && IsWindow(window);
      answer.directDraws = plat::sim::LiveDirectDrawObjects();
      answer.returned = true;
    });
  }
  // Once the window's thread is back in its loop, the library's holder lets go.
  static bool HolderLetGo() { return PumpWhileWaiting([] { return plat::sim::LiveLayerThreads() == 0; }); }
};

// The host closes its own top window inside a host call of the game (the game window
// goes with it) while a thread of its own ends the game and would free the library. The
// destroy answers once the call has returned, and the library stays held until the
// window's thread, which may still be returning through the module, is back in a loop:
// here the host's thread joins the destroying one before it pumps again.
TEST_F(GameEndElsewhereTest, TheHostClosingItsTopWindowInsideAHostCallLeavesTheLibraryHeldUntilTheThreadIsBack) {
  RoomNoticeHost gameHost;
  const HWND top = CreateWindowExA(0, kHostClass, "top", WS_POPUP | WS_VISIBLE, 0, 0, 820, 620, nullptr, nullptr,
                                   nullptr, nullptr);
  ASSERT_NE(top, nullptr);
  IClientInterface* client = MakeSettled(gameHost, top);
  Answer answer;
  std::thread third;
  bool answeredInsideTheCall = false;
  gameHost.inNotice = [&] {
    DestroyWindow(top);
    third = DestroyElsewhere(client, answer);
    const auto until = std::chrono::steady_clock::now() + kEndEarlyWindow;
    while (!answer.returned && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    answeredInsideTheCall = answer.returned;
  };
  EnterRoomOf(client);
  ASSERT_TRUE(third.joinable()) << "the room entry raised no notice";
  JoinWithoutServing(third, "DestroyGameWnd never returned to a window thread that joined it");
  EXPECT_FALSE(answeredInsideTheCall) << "DestroyGameWnd answered while the host's call ran in the game";
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.directDraws, directDrawBefore) << "the game's object outlived DestroyGameWnd";
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 1u)
      << "DestroyGameWnd answered, and nothing held the library, before the window's thread was back in its loop";
  EXPECT_TRUE(HolderLetGo()) << "the library's holder never let go";
  EXPECT_EQ(DestroyGameWnd(client), -1);
}

// After the host's frame took the game window along, the window's thread, with no frame
// of the game on it, waits for the host's thread that ends the game, serving nothing.
TEST_F(GameEndElsewhereTest, AWindowThreadWithNoFrameOfTheGameMayWaitForTheDestroyingThread) {
  RecordingHost gameHost;
  const HWND frame = CreateWindowExA(0, kHostClass, "frame", WS_CHILD | WS_VISIBLE, 0, 0, 810, 610, hostWnd, nullptr,
                                     nullptr, nullptr);
  IClientInterface* client = MakeSettled(gameHost, frame);
  ASSERT_TRUE(DestroyWindow(frame));
  Answer answer;
  std::thread third = DestroyElsewhere(client, answer);
  JoinWithoutServing(third, "DestroyGameWnd waited for a window thread that held no frame of the game");
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.directDraws, directDrawBefore) << "the game's object outlived DestroyGameWnd";
  EXPECT_TRUE(HolderLetGo()) << "the library's holder never let go";
  EXPECT_EQ(DestroyGameWnd(client), -1);
}

// The same while the window's thread only pumps: the end runs on the destroying thread,
// which must learn that the window has gone.
TEST_F(GameEndElsewhereTest, AfterTheFrameTookTheWindowADestroyElsewhereWhileTheThreadPumpsReturns) {
  RecordingHost gameHost;
  const HWND frame = CreateWindowExA(0, kHostClass, "frame", WS_CHILD | WS_VISIBLE, 0, 0, 810, 610, hostWnd, nullptr,
                                     nullptr, nullptr);
  IClientInterface* client = MakeSettled(gameHost, frame);
  ASSERT_TRUE(DestroyWindow(frame));
  Answer answer;
  std::thread third = DestroyElsewhere(client, answer);
  if (!PumpWhileWaiting([&] { return answer.returned.load(); })) {
    std::fprintf(stderr, "DestroyGameWnd never returned after the host's frame took the game window\n");
    std::_Exit(EXIT_FAILURE);
  }
  third.join();
  EXPECT_EQ(answer.result, 0);
  EXPECT_EQ(answer.directDraws, directDrawBefore);
  EXPECT_TRUE(HolderLetGo());
}

// A destroy elsewhere while the window's thread only pumps takes the game window with
// the game: the window is gone when it answers, and the host's window has no child.
TEST_F(GameEndElsewhereTest, ADestroyElsewhereWhileTheThreadPumpsTakesTheWindowBeforeItAnswers) {
  RecordingHost gameHost;
  IClientInterface* client = MakeSettled(gameHost, hostWnd);
  const HWND window = Wnd(client)->Handle();
  ASSERT_NE(window, nullptr);
  Answer answer;
  std::thread third = DestroyElsewhere(client, answer, window);
  EXPECT_TRUE(PumpWhileWaiting([&] { return answer.returned.load(); })) << "DestroyGameWnd never returned";
  third.join();
  EXPECT_EQ(answer.result, 0);
  EXPECT_FALSE(answer.windowStood) << "the game window outlived its game";
  EXPECT_EQ(GetWindow(hostWnd, GW_CHILD), nullptr);
  EXPECT_EQ(answer.directDraws, directDrawBefore);
  EXPECT_TRUE(HolderLetGo());
}

// Two threads of the host's end one game at once while the window's thread is inside a
// host call of it, serving nothing for a while: neither answers before the game is
// gone, whichever claimed it; the second answers -1.
TEST_F(GameEndElsewhereTest, TwoDestroysAtOnceBothAnswerOnlyOnceTheGameIsGone) {
  RoomNoticeHost gameHost;
  IClientInterface* client = MakeSettled(gameHost, hostWnd);
  Answer first, second;
  std::thread firstThread, secondThread;
  bool endPending = false, answeredInsideTheCall = false;
  gameHost.inNotice = [&] {
    firstThread = DestroyElsewhere(client, first);
    // The first has claimed the game once its end waits to be served here.
    const auto bound = std::chrono::steady_clock::now() + kEndThreadBound;
    while (!(endPending = (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0) &&
           std::chrono::steady_clock::now() < bound)
      std::this_thread::yield();
    secondThread = DestroyElsewhere(client, second);
    const auto until = std::chrono::steady_clock::now() + kEndEarlyWindow;
    while (!second.returned && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    answeredInsideTheCall = first.returned || second.returned;
  };
  EnterRoomOf(client);
  ASSERT_TRUE(endPending) << "the first end never reached the window's thread";
  EXPECT_FALSE(answeredInsideTheCall) << "a DestroyGameWnd answered while the host's call ran in the game";
  EXPECT_TRUE(PumpWhileWaiting([&] { return first.returned && second.returned; })) << "a DestroyGameWnd never returned";
  firstThread.join();
  secondThread.join();
  EXPECT_EQ(first.result, 0);
  EXPECT_EQ(second.result, -1);
  EXPECT_EQ(first.directDraws, directDrawBefore) << "the first answered before the game was gone";
  EXPECT_EQ(second.directDraws, directDrawBefore) << "the second answered before the game was gone";
  EXPECT_TRUE(HolderLetGo());
}

}  // namespace
