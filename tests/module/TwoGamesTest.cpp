// Two games of the module in one host window. The host ends the first inside the first's
// own room-entry event and makes the next game there ("the next table"), or builds two
// games one after the other and ends either. Each host must see nothing of a game once
// its DestroyGameWnd has returned, the next game's WM_GAME_LOADED, and every game's
// animations still resolving to what they were built with whichever game ends first;
// an ending game takes back only its own queued posts and leaves the other game's
// pop-up and screen in place. Each entered table has its own help pop-up and VIP state.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "graphics/K_SpriteRscManager.h"
#include "graphics/XResEntryMgr.h"
#include "host/Dorvik2Messages.h"
#include "host/EntryRecords.h"
#include "host/HostMessage.h"
#include "module/CDorvik2Wnd.h"
#include "panels/CDorvik2VIPMgr.h"
#include "panels/CHelperView.h"
#include "panels/SkinnedPopup.h"
#include "plat/sim.h"
#include "scene/CDorvik2VWS.h"
#include "support/GameTable.h"
#include "support/HostWindowFixture.h"
#include "support/RecordingHost.h"
#include "widgets/GDDScreen.h"
#include "widgets/GVQLAniWnd.h"

namespace {

namespace rm = _QLSRsc_MANAGER_;
using testing_support::HostSlot;
using testing_support::RecordingHost;

constexpr int32_t kRoomNoticeEvent = 0;
constexpr int32_t kMe = 7;
constexpr int32_t kWatching = 0;

// Each animation's handle and the object it resolved to as its game was built.
using Bound = std::vector<std::pair<uint32_t, const K_Animation_RSC*>>;

Bound BoundAnimations(const CDorvik2VWS& scene) {
  Bound bound;
  for (const GVQLAniWnd* a : scene.Animations()) {
    const auto handle = static_cast<uint32_t>(a->GetImage());
    bound.emplace_back(handle, rm::GetAnimationRsc(handle));
  }
  return bound;
}

// How many still resolve to the object they were built with.
size_t StillResolving(const Bound& bound) {
  size_t same = 0;
  for (const auto& [handle, object] : bound) same += object && rm::GetAnimationRsc(handle) == object ? 1 : 0;
  return same;
}

// The references held on the animations' slots.
std::vector<int32_t> Counts(const Bound& bound) {
  std::vector<int32_t> counts;
  for (const auto& [handle, object] : bound) {
    const rm::K_RscObj* slot = rm::Manager().GetSlot(handle);
    counts.push_back(slot ? slot->Count() : 0);
  }
  return counts;
}

int32_t EnterRoom(IClientInterface* client) {
  RoomEnterMsg entry;
  entry.clientVersion = kClientVersion;
  entry.myUser.userNo = kMe;
  entry.myUser.userId = "me";
  entry.entryKind = kWatching;
  const std::vector<BYTE> block = testing_support::HostMessageBlock(HostMessage::Make<HM_ROOM_ENTER>(entry));
  auto length = static_cast<int32_t>(block.size());
  return client->OnReceive(0, 0, block.data(), &length);
}

// The first game's host: ends its game inside the room-entry notice and makes the next
// one there, noting what it had heard of the first game at that moment.
class NextTableHost : public RecordingHost {
 public:
  IClientInterface* game = nullptr;
  std::function<void()> makeNext;
  int32_t destroyed = 99;
  size_t callsAtEnd = 0;
  size_t sendsAtEnd = 0;

  int32_t STDMETHODCALLTYPE NotifyEvent(uint32_t userNo, int32_t* code, void* data, int32_t* value) override {
    const int32_t answer = RecordingHost::NotifyEvent(userNo, code, data, value);
    if (code && *code == kRoomNoticeEvent && !ended_.exchange(true)) {
      destroyed = DestroyGameWnd(game);
      callsAtEnd = Calls().size();
      sendsAtEnd = CallsTo(HostSlot::Send).size();
      if (makeNext) makeNext();
    }
    return answer;
  }

 private:
  std::atomic<bool> ended_{false};
};

class TwoGamesTest : public testing_support::HostWindowFixture {
 protected:
  void TearDown() override {
    for (IClientInterface* c : games_) DestroyGameWnd(c);
    HostWindowFixture::TearDown();
  }
  IClientInterface* MakeGame(IHostInterface* gameHost) {
    IClientInterface* client = nullptr;
    EXPECT_EQ(CreateGameWnd(gameHost, &client), 0);
    if (client) games_.push_back(client);
    return client;
  }
  int32_t End(IClientInterface* client) {
    std::erase(games_, client);
    return DestroyGameWnd(client);
  }
  static void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
  // A game built here, its kick served.
  IClientInterface* Built(IHostInterface* gameHost) {
    IClientInterface* client = MakeGame(gameHost);
    EXPECT_NE(Init(client, 0), nullptr);
    WaitForLoader(Wnd(client));
    Pump();
    return client;
  }
  // WM_GAME_LOADED as queued for the host window now, left queued in its order.
  std::vector<MSG> Loaded() const {
    std::vector<MSG> queued;
    MSG m;
    while (PeekMessageA(&m, hostWnd, WM_GAME_LOADED, WM_GAME_LOADED, PM_REMOVE)) queued.push_back(m);
    for (const MSG& q : queued) PostMessageA(q.hwnd, q.message, q.wParam, q.lParam);
    return queued;
  }

  std::vector<IClientInterface*> games_;
};

TEST_F(TwoGamesTest, TheNextTableMadeInsideTheFirstsRoomEntryHearsNothingOfTheFirst) {
  NextTableHost firstHost;
  RecordingHost nextHost;
  IClientInterface* first = MakeGame(&firstHost);
  firstHost.game = first;
  ASSERT_NE(Init(first, 0), nullptr);
  WaitForLoader(Wnd(first));
  Pump();
  const std::vector<int32_t> oneGamesCounts = Counts(BoundAnimations(*Wnd(first)->Scene()));
  IClientInterface* next = nullptr;
  Bound nextBound;
  firstHost.makeNext = [&] {
    next = MakeGame(&nextHost);
    ASSERT_NE(Init(next, 1), nullptr);
    WaitForLoader(Wnd(next));
    nextBound = BoundAnimations(*Wnd(next)->Scene());
    EXPECT_EQ(StillResolving(nextBound), nextBound.size()) << "with the first game still there";
  };
  std::erase(games_, first);
  EnterRoom(first);

  EXPECT_EQ(firstHost.destroyed, 0);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(firstHost.Calls().size(), firstHost.callsAtEnd) << "a call of the first game after its destroy";
  EXPECT_EQ(firstHost.CallsTo(HostSlot::Send).size(), firstHost.sendsAtEnd) << "a command sent for a game gone";
  // The next game has entered no room: it has no text, play state or command of its own.
  for (const HostSlot slot : {HostSlot::Send, HostSlot::AddText, HostSlot::SetPlayState})
    EXPECT_TRUE(nextHost.CallsTo(slot).empty()) << nextHost.Calls().size() << " calls at the next game's host, the first game's rest among them: "
                                                << testing::PrintToString(nextHost.Transcript());
  const std::vector<MSG> loaded = Loaded();
  ASSERT_EQ(loaded.size(), 1u) << "the next game's result";
  EXPECT_EQ(loaded[0].wParam, 1u);
  ASSERT_GE(nextBound.size(), 10u);
  // Both games used the same folder: the next game shares the first's files, and once
  // the first is gone only the next holds them.
  EXPECT_EQ(StillResolving(nextBound), nextBound.size()) << "after the first game is gone";
  EXPECT_EQ(Counts(nextBound), oneGamesCounts) << "the first game's references stayed";
  EXPECT_EQ(End(next), 0);
}

TEST_F(TwoGamesTest, EachGamesAnimationsResolveWhicheverGameEndsFirst) {
  RecordingHost firstHost;
  RecordingHost secondHost;
  IClientInterface* first = Built(&firstHost);
  const Bound firstBound = BoundAnimations(*Wnd(first)->Scene());
  const std::vector<int32_t> oneGamesCounts = Counts(firstBound);
  ASSERT_GE(firstBound.size(), 10u);
  ASSERT_EQ(StillResolving(firstBound), firstBound.size());

  IClientInterface* second = Built(&secondHost);
  const Bound secondBound = BoundAnimations(*Wnd(second)->Scene());
  EXPECT_EQ(StillResolving(firstBound), firstBound.size()) << "the second build took the first game's slots";
  EXPECT_EQ(StillResolving(secondBound), secondBound.size());
  EXPECT_EQ(End(first), 0);
  Pump();
  EXPECT_EQ(StillResolving(secondBound), secondBound.size()) << "the first game's end took the second's slots";
  EXPECT_EQ(Counts(secondBound), oneGamesCounts) << "the first game's references stayed";

  // The second game ends first this time round: the third's animations stay too.
  RecordingHost thirdHost;
  IClientInterface* third = Built(&thirdHost);
  const Bound thirdBound = BoundAnimations(*Wnd(third)->Scene());
  EXPECT_EQ(End(second), 0);
  Pump();
  EXPECT_EQ(StillResolving(thirdBound), thirdBound.size());
  EXPECT_EQ(End(third), 0);
  EXPECT_EQ(Counts(thirdBound), std::vector<int32_t>(thirdBound.size(), 0)) << "every reference given back";
}

TEST_F(TwoGamesTest, AnEndTakesBackOnlyItsOwnQueuedPosts) {
  RecordingHost firstHost;
  RecordingHost secondHost;
  IClientInterface* first = MakeGame(&firstHost);
  ASSERT_NE(Init(first, 1), nullptr);
  WaitForLoader(Wnd(first));
  ASSERT_TRUE(PostMessageA(hostWnd, WM_GAME_LOADED, 5, 6)) << "the host's own post of the number";
  IClientInterface* second = MakeGame(&secondHost);
  ASSERT_NE(Init(second, 1), nullptr);
  WaitForLoader(Wnd(second));
  // Queued for the host, which has read none of them: the first's 1, the host's 5, the
  // second's 1, the first's and the second's alike.
  ASSERT_EQ(Loaded().size(), 3u);

  EXPECT_EQ(End(first), 0);
  std::vector<std::pair<WPARAM, LPARAM>> left;
  for (const MSG& m : Loaded()) left.emplace_back(m.wParam, m.lParam);
  EXPECT_EQ(left, (std::vector<std::pair<WPARAM, LPARAM>>{{5, 6}, {1, 0}})) << "the host's own and the second's";

  // The host reads the host's own; the second game's end then takes back its own.
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, hostWnd, WM_GAME_LOADED, WM_GAME_LOADED, PM_REMOVE));
  EXPECT_EQ(m.wParam, 5u);
  EXPECT_EQ(End(second), 0);
  EXPECT_TRUE(Loaded().empty());
}

TEST_F(TwoGamesTest, AnEndLeavesTheOtherGamesPopupAndScreen) {
  RecordingHost firstHost;
  RecordingHost secondHost;
  IClientInterface* first = Built(&firstHost);
  IClientInterface* second = Built(&secondHost);
  CDorvik2Wnd* const secondWnd = Wnd(second);
  secondWnd->Scene()->VipManager().HelperView().ShowGameHelpPopup(CHelperView::kGameNumber,
                                                                  CHelperView::kDialogTemplate, secondWnd->Handle());
  const HWND popup = secondWnd->Scene()->VipManager().HelperView().Popup();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(End(first), 0);
  Pump();
  EXPECT_EQ(secondWnd->Scene()->VipManager().HelperView().Popup(), popup)
      << "the first game's end closed the second's pop-up";
  EXPECT_TRUE(IsWindow(popup));

  // The second handed its screen over last; as it ends, the first gets the manager back.
  RecordingHost thirdHost;
  IClientInterface* third = Built(&thirdHost);
  IClientInterface* fourth = Built(&firstHost);
  EXPECT_EQ(End(fourth), 0);
  Pump();
  XResEntryMgr& mgr = XResEntryMgr::Global();
  EXPECT_EQ(mgr.GetDirectDraw(), Wnd(third)->Screen()->DirectDraw().Get());
  EXPECT_EQ(mgr.GetBackBuffer(), Wnd(third)->Screen()->BackBuffer().Get());
  EXPECT_EQ(End(third), 0);
  EXPECT_EQ(End(second), 0);
  EXPECT_EQ(mgr.GetDirectDraw(), nullptr) << "no game left: the manager holds no screen";
}

// ---- Each game's help pop-up and VIP state ------------------------------------------------

// Both tables entered, each with its help pop-up built over its own window.
class TwoEnteredTablesTest : public TwoGamesTest {
 protected:
  void SetUp() override {
    TwoGamesTest::SetUp();
    first_ = Built(&firstHost_);
    second_ = Built(&secondHost_);
    EnterRoom(first_);
    Pump();
    firstPopup_ = View(first_).Popup();
    ASSERT_NE(firstPopup_, nullptr);
    EnterRoom(second_);
    Pump();
    secondPopup_ = View(second_).Popup();
    ASSERT_NE(secondPopup_, nullptr);
  }
  CDorvik2VIPMgr& Vip(IClientInterface* game) { return Wnd(game)->Scene()->VipManager(); }
  CHelperView& View(IClientInterface* game) { return Vip(game).HelperView(); }
  std::vector<std::string> VipButtonEvents(const RecordingHost& host) const {
    std::vector<std::string> lines;
    for (const auto& call : host.CallsTo(HostSlot::NotifyEvent))
      if (call.line.find("\"vip\"") != std::string::npos) lines.push_back(call.line);
    return lines;
  }

  RecordingHost firstHost_;
  RecordingHost secondHost_;
  IClientInterface* first_ = nullptr;
  IClientInterface* second_ = nullptr;
  HWND firstPopup_ = nullptr;
  HWND secondPopup_ = nullptr;
};

TEST_F(TwoEnteredTablesTest, EachTablesHelpPopupIsItsOwnAndAnswersForItsOwnTable) {
  EXPECT_TRUE(IsWindow(firstPopup_)) << "the second's room entry closed the first's pop-up";
  EXPECT_EQ(View(first_).Popup(), firstPopup_);
  EXPECT_NE(secondPopup_, firstPopup_);

  // Each VIP button opens its own table's pop-up.
  ASSERT_EQ(Wnd(first_)->Scene()->ShowVipButtonIfOpen(), 1);
  EXPECT_TRUE(IsWindowVisible(firstPopup_));
  EXPECT_FALSE(IsWindowVisible(secondPopup_)) << "the first's VIP button showed the second's pop-up";
  ASSERT_EQ(Wnd(second_)->Scene()->ShowVipButtonIfOpen(), 1);
  EXPECT_TRUE(IsWindowVisible(secondPopup_));

  // Closing the first's pop-up closes it alone and gives the first table its button back.
  firstHost_.Clear();
  secondHost_.Clear();
  SendMessageA(firstPopup_, WM_COMMAND, MAKEWPARAM(CHelperView::kClose, BN_CLICKED), 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(firstPopup_));
  EXPECT_TRUE(IsWindowVisible(secondPopup_)) << "the first's close reached the second's pop-up";
  EXPECT_EQ(VipButtonEvents(firstHost_), std::vector<std::string>{R"(NotifyEvent(7, 45, "vip", 17))"});
  EXPECT_TRUE(VipButtonEvents(secondHost_).empty());

  // Each table's end closes its own pop-up only.
  EXPECT_EQ(End(second_), 0);
  EXPECT_FALSE(IsWindow(secondPopup_));
  EXPECT_TRUE(IsWindow(firstPopup_));
}

TEST_F(TwoEnteredTablesTest, EachTableCountsOnlyItsOwnResults) {
  CDorvik2VIPMgr& first = Vip(first_);
  CDorvik2VIPMgr& second = Vip(second_);
  first.Alert().Set(0, 2, 0);
  second.Alert().Set(0, 3, 0);
  // The second's room entry clears the second's reminder, not the first's.
  EnterRoom(second_);
  Pump();
  EXPECT_EQ(first.Alert().gamesTarget, 2);
  EXPECT_EQ(second.Alert().gamesTarget, 0);

  second.Alert().Set(0, 2, 0);
  first.OnGameResult(0);
  EXPECT_EQ(second.Alert().gamesPlayed, 0) << "the first's result counted at the second";
  first.OnGameResult(0);
  EXPECT_NE(first.DisplayStart(), 0u) << "the first's second game fires its reminder";
  EXPECT_EQ(second.DisplayStart(), 0u);
  EXPECT_EQ(second.Alert().gamesTarget, 2);
  second.OnGameResult(0);
  EXPECT_EQ(second.DisplayStart(), 0u) << "the second has played one game";
  EXPECT_EQ(second.Alert().gamesPlayed, 1);
}

}  // namespace
