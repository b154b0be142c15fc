// The module's exports and the game window they make: the window, the host link, the
// build here or on the loader thread, and a shut-down that never deletes the scene
// under a running loader.
#include "module/CDorvik2Wnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/CHostLink.h"
#include "host/Dorvik2Messages.h"
#include "host/IXBuf.h"
#include "module/CMsgBoxDlg.h"
#include "module/Dorvik2Module.h"
#include "plat/handle.h"
#include "plat/sim.h"
#include "scene/CDorvik2VWS.h"
#include "support/ForeignClient.h"
#include "support/HostWindowFixture.h"

namespace {

using testing_support::ForeignClient;
using testing_support::OpenWatch;

// The build's first file and the sound set-up's files, as the file layer sees them.
constexpr const char* kFirstBuildFile = "GameImage\\Back\\skin_0.bmp";
constexpr const char* kSoundFiles = "GameSound\\";

class GameWindowTest : public testing_support::HostWindowFixture {
 public:
  using HostWindowFixture::Destroy;

 protected:
  // Real milliseconds until every thread of the layer has ended (a loader that was left
  // its window object deletes it, so the object cannot be asked).
  static bool WaitThreadsEnd() {
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    for (DWORD waited = 0; plat::sim::LiveLayerThreads() > 0 && waited < kThreadWaitMs; waited += kPollMs)
      WaitForSingleObject(never, kPollMs);
    CloseHandle(never);
    return plat::sim::LiveLayerThreads() == 0;
  }
  static constexpr DWORD kPollMs = 2;
};

// Counts the scene's widgets going, and whether the game window still existed then.
class DeathWatch : public GVWnd {
 public:
  DeathWatch(HWND game, int32_t* deaths, int32_t* withWindow) : game_(game), deaths_(deaths), withWindow_(withWindow) {}
  ~DeathWatch() override {
    ++*deaths_;
    if (game_ && IsWindow(game_)) ++*withWindow_;
  }

 private:
  HWND game_;
  int32_t* deaths_;
  int32_t* withWindow_;
};

TEST_F(GameWindowTest, ExportsMakeTheObjectAndRefuseForeignOrNullInterfaces) {
  IClientInterface* client = Make();
  ASSERT_NE(client, nullptr);
  CDorvik2Wnd* wnd = Wnd(client);
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(static_cast<void*>(client), static_cast<void*>(wnd)) << "the interface comes first";
  EXPECT_EQ(wnd->Host(), &host);
  EXPECT_EQ(wnd->Handle(), nullptr) << "no window yet";
  EXPECT_EQ(CreateGameWnd(&host, nullptr), -1);
  ForeignClient foreign;
  EXPECT_EQ(Init(&foreign, 0), nullptr);
  EXPECT_EQ(Init(nullptr, 0), nullptr);
  EXPECT_EQ(GetWindow(hostWnd, GW_CHILD), nullptr);
  EXPECT_EQ(wnd->Scene(), nullptr) << "no scene made";
  EXPECT_EQ(DestroyGameWnd(&foreign), -1);
  EXPECT_EQ(DestroyGameWnd(nullptr), -1);
  EXPECT_EQ(fnDorvik2(), 42);
  EXPECT_EQ(nDorvik2, 0);
  CDorvik2 a;
  CDorvik2 b;
  EXPECT_EQ(&(a = b), &a);
}

// A synchronous build is done before Init returns. Only a threaded build reports, once;
// only a successful one kicks the queue (on the game window) and sets up sound, on the
// loader thread; a failed synchronous build leaves no window or thread.
TEST_F(GameWindowTest, BuildOutcomesReportKickAndSetUpSoundAsTheyShould) {
  enum Outcome { kBuilt, kFails, kThrows };
  for (const int32_t threaded : {0, 1}) {
    for (const Outcome outcome : {kBuilt, kFails, kThrows}) {
      SCOPED_TRACE(testing::Message() << "threaded " << threaded << ", outcome " << outcome);
      plat::sim::ClearPostedMessages(hostWnd);
      plat::sim::ClearPathPrefixes();
      plat::sim::MapPathPrefix(kImageFolder, DORVIK_GAME_DATA_DIR "GameImage/");
      if (outcome == kFails) HideImages("Back");
      OpenWatch scene({.throwAt = outcome == kThrows ? kFirstBuildFile : ""});
      IClientInterface* client = Make();
      const HWND game = Init(client, threaded);
      if (!threaded && outcome != kBuilt) {
        EXPECT_EQ(game, nullptr);
        EXPECT_EQ(Wnd(client)->LoaderThread(), nullptr);
        EXPECT_EQ(plat::sim::LiveLayerThreads(), 0u);
        EXPECT_EQ(scene.Count(kSoundFiles), 0);
        Destroy(client);
        continue;
      }
      ASSERT_NE(game, nullptr);
      // The loader may already have built by the time a threaded Init returns.
      if (!threaded) {
        EXPECT_EQ(scene.Count(kFirstBuildFile), 1) << "built before Init returned";
      }
      WaitForLoader(Wnd(client));
      EXPECT_EQ(scene.Count(kFirstBuildFile), 1);
      EXPECT_NE(scene.FirstThread(kFirstBuildFile) == GetCurrentThreadId(), threaded == 1);
      EXPECT_FALSE(Wnd(client)->LoaderRunning());
      const DWORD effects = scene.FirstThread(kSoundFiles);
      EXPECT_EQ(effects != 0 && effects != GetCurrentThreadId(), outcome == kBuilt) << "sound on the loader";
      auto kicks = [](HWND wnd) {
        size_t n = 0;
        for (const MSG& m : plat::sim::PostedMessages(wnd)) n += m.message == WM_GAME_DISPATCH ? 1 : 0;
        return n;
      };
      EXPECT_EQ(kicks(game), outcome == kBuilt ? 1u : 0u);
      EXPECT_EQ(kicks(hostWnd), 0u);
      const auto loaded = PostedToHost(WM_GAME_LOADED);
      ASSERT_EQ(loaded.size(), static_cast<size_t>(threaded));
      if (threaded) {
        EXPECT_EQ(loaded[0].wParam, outcome == kBuilt ? 1u : 0u);
      }
      EXPECT_EQ(scene.Count(kSoundFiles) > 0, outcome == kBuilt) << "sound waits for a ready scene";
      // Its pictures go with it, so the next build opens its files again.
      Destroy(client);
    }
  }
}

TEST_F(GameWindowTest, ThreadedInitReturnsWhileTheBuildRunsPaintingItselfAndReportsOnce) {
  IClientInterface* client = Make();
  CDorvik2Wnd* wnd = Wnd(client);
  OpenWatch scene({.holdAt = kFirstBuildFile, .until = [wnd] { return wnd->LoaderCancelRequested(); }});
  const HWND game = Init(client, 1);
  ASSERT_NE(game, nullptr);
  ASSERT_TRUE(scene.WaitHeld(kThreadWaitMs));
  EXPECT_FALSE(wnd->Scene()->IsReady());
  EXPECT_TRUE(wnd->LoaderRunning());
  EXPECT_TRUE(PostedToHost(WM_GAME_LOADED).empty());
  // Until the scene is ready the window paints (and validates) by itself.
  InvalidateRect(game, nullptr, TRUE);
  UpdateWindow(game);
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(game, &pending, FALSE)) << "painted and validated";
  EXPECT_EQ(SendMessageA(game, WM_ERASEBKGND, 0, 0), 0);
  const LPARAM at = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  EXPECT_EQ(SendMessageA(game, WM_SETCURSOR, reinterpret_cast<WPARAM>(game), at),
            DefWindowProcA(game, WM_SETCURSOR, reinterpret_cast<WPARAM>(game), at));
  scene.Release();
  WaitForLoader(wnd);
  EXPECT_NE(scene.FirstThread(kFirstBuildFile), GetCurrentThreadId());
  EXPECT_TRUE(wnd->Scene()->IsReady());
  const auto loaded = PostedToHost(WM_GAME_LOADED);
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].wParam, 1u);
  EXPECT_EQ(loaded[0].lParam, 0);
  EXPECT_GT(scene.Count(kSoundFiles), 0);
  EXPECT_FALSE(wnd->LoaderRunning());
}

TEST_F(GameWindowTest, DestroyDuringABlockedBuildCancelsJoinsAndPostsNothing) {
  IClientInterface* client = Make();
  CDorvik2Wnd* wnd = Wnd(client);
  OpenWatch scene({.holdAt = kFirstBuildFile, .until = [wnd] { return wnd->LoaderCancelRequested(); }});
  const HWND game = Init(client, 1);
  ASSERT_NE(game, nullptr);
  ASSERT_TRUE(scene.WaitHeld(kThreadWaitMs));
  int32_t deaths = 0, withWindow = 0;
  wnd->Scene()->AddWnd(new DeathWatch(game, &deaths, &withWindow));
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 0u);
  EXPECT_TRUE(scene.WaitLeft(0)) << "build ended before the scene went";
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(withWindow, 0) << "the window goes first";
  EXPECT_FALSE(IsWindow(game));
  EXPECT_TRUE(PostedToHost(WM_GAME_LOADED).empty());
  EXPECT_EQ(scene.Count(kSoundFiles), 0);
}

TEST_F(GameWindowTest, BuildIgnoringTheCancelIsLeftTheSceneAndDeletesItAsItEnds) {
  IClientInterface* client = Make();
  CDorvik2Wnd* wnd = Wnd(client);
  OpenWatch scene({.holdAt = kFirstBuildFile});
  const HWND game = Init(client, 1);
  ASSERT_NE(game, nullptr);
  ASSERT_TRUE(scene.WaitHeld(kThreadWaitMs));
  int32_t deaths = 0, withWindow = 0;
  wnd->Scene()->AddWnd(new DeathWatch(game, &deaths, &withWindow));
  // Waits the full loader stop time (real time: it measures another thread's work).
  EXPECT_EQ(Destroy(client), 0);
  EXPECT_FALSE(IsWindow(game));
  EXPECT_EQ(deaths, 0) << "never deleted under a running thread";
  EXPECT_EQ(plat::sim::LiveLayerThreads(), 1u);
  scene.Release();
  ASSERT_TRUE(WaitThreadsEnd());
  EXPECT_EQ(deaths, 1) << "the loader deleted the scene as its last act";
  EXPECT_EQ(withWindow, 0);
  EXPECT_TRUE(PostedToHost(WM_GAME_LOADED).empty()) << "a cancelled loader reports nothing";
}

TEST_F(GameWindowTest, ABuildLeftRunningByTheDestroyCallsTheHostNoMore) {
  // The held picture is missing: once let through, its load fails.
  HideImages("Back");
  IClientInterface* client = Make();
  OpenWatch scene({.holdAt = kFirstBuildFile});
  ASSERT_NE(Init(client, 1), nullptr);
  ASSERT_TRUE(scene.WaitHeld(kThreadWaitMs));
  // Waits the full loader stop time, then leaves the loader the object.
  EXPECT_EQ(Destroy(client), 0);
  const size_t calls = host.Calls().size();
  scene.Release();
  ASSERT_TRUE(WaitThreadsEnd());
  EXPECT_EQ(host.Calls().size(), calls) << "a load that failed after the destroy reached the host";
}

// DestroyGameWnd from a host timer while a handler waits (in a nested wait, or in a
// message box): the handler runs to its end on live memory and reaches the host no
// more, the box closes, and the window object and the scene go only afterwards, before
// the host's call returns.
TEST_F(GameWindowTest, DestroyUnderAHandlerWaitsForItsEndAndCutsTheHostOff) {
  static IClientInterface* closing = nullptr;
  static GameWindowTest* self = nullptr;
  self = this;
  for (const bool inBox : {false, true}) {
    SCOPED_TRACE(inBox ? "message box" : "nested wait");
    closing = Make();
    ASSERT_NE(Init(closing, 0), nullptr);
    WaitForLoader(Wnd(closing));
    CDorvik2Wnd* wnd = Wnd(closing);
    int32_t deaths = 0, withWindow = 0;
    wnd->Scene()->AddWnd(new DeathWatch(nullptr, &deaths, &withWindow));
    size_t hostCalls = 0;
    DWORD waited = 0;
    wnd->Scene()->SetHostMessageHandler(HM_USER_AVATAR, [&](CDorvik2VWS& s, HostMessage& msg) {
      SetTimer(hostWnd, 1, 300, [](HWND h, UINT, UINT_PTR id, DWORD) {
        KillTimer(h, id);
        EXPECT_EQ(self->Destroy(closing), 0);
      });
      const DWORD start = GetTickCount();
      if (inBox) {
        EXPECT_EQ(wnd->ShowMsgBox("box", CMsgBoxDlg::kTypeYesNo, 0, "", 0), 2) << "ended as a time-out";
      }
      hostCalls = host.Calls().size();
      s.WaitPumpingMessages(1000);
      waited = GetTickCount() - start;
      EXPECT_EQ(msg.Get<UserAvatarMsg>()->avatarKey, "k") << "the record is still the handler's";
      s.SetButtonState("vip", 1, 1);
      s.RequestExit();
      EXPECT_EQ(deaths, 0);
    });
    plat::sim::ClearPostedMessages(hostWnd);
    IXBuf* buf = CreateXBuf(nullptr);
    WriteHostMessage(HostMessage::Make<HM_USER_AVATAR>(UserAvatarMsg{1, "k"}), buf);
    int32_t length = static_cast<int32_t>(buf->GetLength());
    closing->OnReceive(0, 0, buf->GetData(), &length);
    buf->Release();
    EXPECT_EQ(waited, 300u) << "the wait ended with the window";
    EXPECT_EQ(host.Calls().size(), hostCalls);
    EXPECT_TRUE(plat::sim::PostedMessages(hostWnd).empty());
    EXPECT_EQ(plat::sim::LiveWindows(), 1u) << "only the host's window is left";
    EXPECT_EQ(deaths, 1) << "gone as OnReceive returned: the host may free the library now";
    EXPECT_EQ(plat::sim::LiveMultimediaTimers(), 0u) << "the box's time-out went with it";
  }
}

TEST_F(GameWindowTest, LinkedIntoAProgramTheModuleHasNoHandleOfItsOwn) {
  // Not loaded as "Dorvik2": the class belongs to the program (null instance), as do
  // resources registered under the null module.
  EXPECT_EQ(GetModuleHandleA("Dorvik2"), nullptr);
  EXPECT_EQ(dorvik2_module::HandleAtLoad(), nullptr);
  IClientInterface* client = Make();
  ASSERT_NE(Init(client, 0), nullptr);
  EXPECT_EQ(Wnd(client)->Instance(), nullptr);
}

TEST_F(GameWindowTest, AnObjectMadeWithoutAHostHasNoHostNoWindowAndEndsQuietly) {
  auto* wnd = new CDorvik2Wnd();
  EXPECT_EQ(wnd->Host(), nullptr);
  EXPECT_EQ(wnd->Handle(), nullptr);
  wnd->EndByHost();
  EXPECT_EQ(GetWindow(hostWnd, GW_CHILD), nullptr);
}

}  // namespace
