// What the host's top bar and the table's own buttons show as a client enters, takes
// a seat, sees an opponent come and go, reserves its exit and cancels it, goes back
// to waiting and has its room reset; the anti-leave caption over the same story; and
// the seat changes the host is told of.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "RoomTableFixture.h"
#include "plat/sim.h"
#include "widgets/GVTextWnd.h"

namespace {

using room_test::RoomTableTest;
using testing_support::HostSlot;

// One top-bar word's local button: shown and enabled.
struct Local {
  bool shown, enabled;
  bool operator==(const Local&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Local& l) { return out << "{" << l.shown << ", " << l.enabled << "}"; }

constexpr const char* kBarWords[] = {"play", "observe", "exit", "cancelexit"};

class SeatButtonsTest : public RoomTableTest {
 protected:
  // The event-45 lines of the four seat words, in order.
  std::vector<std::string> SeatWordEvents() const {
    std::vector<std::string> out;
    for (const auto& c : host.CallsTo(HostSlot::NotifyEvent)) {
      for (const char* word : kBarWords)
        if (c.line.find(std::string(", 45, \"") + word + "\", ") != std::string::npos) out.push_back(c.line);
    }
    return out;
  }
  static std::string Event(const char* word, int32_t value) {
    return "NotifyEvent(7, 45, \"" + std::string(word) + "\", " + std::to_string(value) + ")";
  }
  static Local Of(const CVPSPPushBtn* b) { return {b->IsVisible() != 0, b->IsEnabled() != 0}; }
  // play, observe, exit, cancelexit.
  std::vector<Local> LocalButtons() const {
    const CDorvik2VWS::SceneWidgets& w = scene->Widgets();
    return {Of(w.joinButton), Of(w.watchButton), Of(w.exitButton), Of(w.cancelExitButton)};
  }
  JoinGameMsg Join(int32_t userNo, int32_t seat, int32_t antiLeave = 0) const {
    JoinGameMsg msg;
    msg.userNo = userNo;
    msg.seat = seat;
    msg.ownerUserNo = kMe;
    msg.antiLeave = antiLeave;
    msg.player.userNo = userNo;
    msg.player.userId = userNo == kMe ? kMyId : kOtherId;
    return msg;
  }
  void Enter(int32_t kind, int32_t roomState = 1, int32_t antiLeaveLevel = 0) {
    RoomEnterMsg msg = MyEntry(kind);
    msg.room.sceneMode = CDorvik2VWS::kModeWaiting;
    msg.room.roomState = roomState;
    msg.room.antiLeaveLevel = antiLeaveLevel;
    msg.room.antiLeaveGameCount = kAntiLeaveGames;
    scene->OnRoomEnter(msg);
  }
  static constexpr int32_t kAntiLeaveGames = 5;
};

// A whole sitting, step by step: each row is what the host and the player see after it.
TEST_F(SeatButtonsTest, TopBarAndLocalButtonsFollowTheSitting) {
  const Local hidden{false, false}, off{true, false}, on{true, true};
  auto join = [this](int32_t userNo, int32_t seat) {
    return [=, this] {
      JoinGameMsg msg = Join(userNo, seat);
      scene->OnJoinGame(msg);
    };
  };
  auto myState = [this](int32_t kind) {
    return [=, this] {
      SeatStateMsg msg{kind, kMe, ""};
      scene->OnSeatState(msg);
    };
  };
  // A seated client's words after a seat change: exits first, then the seat.
  const std::vector<std::string> seated = {Event("exit", 17), Event("cancelexit", 0), Event("play", 0),
                                           Event("observe", 17)};
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<std::string> events;
    std::vector<Local> local;  // play, observe, exit, cancelexit
  };
  const Step steps[] = {
      {"entry as observer",
       [&] { Enter(0); },
       // The seat request greys "play" until the join answers it.
       {Event("observe", 0), Event("play", 17), Event("exit", 17), Event("cancelexit", 0), Event("play", 1)},
       {off, hidden, on, hidden}},
      {"my own join", join(kMe, 0), seated, {hidden, on, on, hidden}},
      {"an opponent's join", join(kOther, 1), seated, {hidden, on, on, hidden}},
      {"an exit reservation", myState(2),
       {Event("play", 0), Event("observe", 17), Event("exit", 0), Event("cancelexit", 17)},
       {hidden, on, hidden, on}},
      {"its cancel", myState(3),
       {Event("play", 0), Event("observe", 17), Event("exit", 17), Event("cancelexit", 0)},
       {hidden, on, on, hidden}},
      {"a reservation to watch", myState(0),
       {Event("play", 17), Event("observe", 0), Event("exit", 17), Event("cancelexit", 0)},
       {on, hidden, on, hidden}},
      {"the opponent's leave",
       [&] {
         LeaveGameMsg msg{kOther, 0, 0, "", ""};
         scene->OnLeaveGame(msg);
       },
       {Event("exit", 17), Event("cancelexit", 0), Event("play", 17), Event("observe", 0)},
       {on, hidden, on, hidden}},
      {"back to waiting",
       [&] {
         scene->SetSceneMode(CDorvik2VWS::kModeResult);
         scene->GetPlayer(0).observeReserved = 0;
         WaitingStateMsg msg;
         msg.userNo = kMe;
         scene->OnBackToWaiting(msg);
       },
       seated, {hidden, on, on, hidden}},
      {"a room reset",
       [&] { scene->ResetRoomView(); },
       {Event("play", 0), Event("observe", 0), Event("exit", 0), Event("cancelexit", 0)},
       {hidden, hidden, hidden, hidden}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    Forget();
    s.act();
    EXPECT_EQ(SeatWordEvents(), s.events);
    EXPECT_EQ(LocalButtons(), s.local);
  }
}

// A seated entry asks for its seat at once; the table's buttons wait for the join.
// An observer whose table fills can no longer ask for a seat.
TEST_F(SeatButtonsTest, SeatedEntryGreysPlayAndAFullTableLeavesTheObserverNoSeat) {
  Enter(1);
  EXPECT_EQ(SeatWordEvents(), std::vector<std::string>{Event("play", 1)});
  EXPECT_EQ(Of(scene->Widgets().joinButton), (Local{true, false}));

  scene->ResetRoomView();
  Enter(0);
  for (auto [user, seat] : {std::pair{kOther, 0}, std::pair{kOther + 1, 1}}) {
    Forget();
    JoinGameMsg msg = Join(user, seat);
    scene->OnJoinGame(msg);
  }
  EXPECT_EQ(SeatWordEvents(), (std::vector<std::string>{Event("exit", 17), Event("cancelexit", 0),
                                                        Event("observe", 0), Event("play", 1)}));
  EXPECT_EQ(Of(scene->Widgets().joinButton), (Local{true, false}));
  EXPECT_EQ(scene->Widgets().observePanel->PlayButtonEnabled(), 0);
}

// The auto-play setting is the table's own button: the host hears no word for it.
TEST_F(SeatButtonsTest, AutoPlaySettingButtonFollowsMySeatWithoutTheHost) {
  CVPSPPushBtn* autoPlay = scene->Widgets().autoPlaySettingButton;
  autoPlay->Enable(1);
  Enter(1);
  JoinGameMsg join = Join(kMe, 0);
  scene->OnJoinGame(join);
  EXPECT_FALSE(autoPlay->IsEnabled()) << "a join sits out until the deal";

  PlayerInfoMsg info;
  info.userNo = kMe;
  info.sceneMode = CDorvik2VWS::kModeWaiting;
  info.player = scene->GetPlayer(0);
  scene->OnPlayerInfo(info);
  EXPECT_TRUE(autoPlay->IsEnabled());

  LeaveGameMsg leave{kMe, 0, 0, "", ""};
  scene->OnLeaveGame(leave);
  EXPECT_FALSE(autoPlay->IsEnabled());
  for (const auto& c : host.CallsTo(HostSlot::NotifyEvent))
    EXPECT_EQ(c.line.find("autoplay"), std::string::npos) << c.line;
}

// The entry's notice goes under no user; joins and leaves are told to the host.
TEST_F(SeatButtonsTest, TheHostHearsTheNoticeUnderNoUserAndEachSeatChange) {
  auto seatEvents = [this] {
    std::vector<std::string> out;
    for (const auto& c : host.CallsTo(HostSlot::NotifyEvent)) {
      unsigned user = 0;
      int code = -1;
      std::sscanf(c.line.c_str(), "NotifyEvent(%u, %d,", &user, &code);
      if (code == 0 || code == 4 || code == 72 || code == 5) out.push_back(c.line);
    }
    return out;
  };
  RoomEnterMsg entry = MyEntry(1);
  entry.noticeText = "hi";
  scene->OnRoomEnter(entry);
  EXPECT_EQ(seatEvents(), std::vector<std::string>{"NotifyEvent(0, 0, \"hi\", 2)"});

  Forget();
  JoinGameMsg join = Join(kOther, 1);
  scene->OnJoinGame(join);
  EXPECT_EQ(seatEvents(), (std::vector<std::string>{"NotifyEvent(7, 4, (null), 0)", "NotifyEvent(7, 72, (null), 0)"}));

  Forget();
  JoinGameMsg refused = Join(kMe, 0);
  refused.result = 2;
  plat::sim::SetModalHook([](HWND) { plat::sim::PressKey(VK_RETURN); });
  scene->OnJoinGame(refused);
  plat::sim::SetModalHook(nullptr);
  EXPECT_EQ(seatEvents(), std::vector<std::string>{}) << "a refused join changes no seat";

  Forget();
  LeaveGameMsg leave{kOther, 0, 0, "", ""};
  scene->OnLeaveGame(leave);
  LeaveGameMsg nobody{kOther + 5, 0, 0, "", ""};
  scene->OnLeaveGame(nobody);
  EXPECT_EQ(seatEvents(), std::vector<std::string>{"NotifyEvent(7, 5, (null), 0)"});
}

// A robot that joins under the number the turn was given to hands the turn on to the
// user number its record carries; any other join leaves the turn where it is.
TEST_F(SeatButtonsTest, ARobotJoiningUnderTheTurnsNumberTakesTheTurn) {
  SeatMe(0);
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  struct Case {
    int32_t robotNo, userNo, turnBefore, turnAfter;
  } cases[] = {{kRobot, 21, kRobot, 21}, {kRobot, 21, kRobot - 1, kRobot - 1}, {0, kOther, kMe, kMe}};
  for (const Case& c : cases) {
    Forget();
    scene->Model().turnUserNo = c.turnBefore;
    JoinGameMsg msg = Join(c.userNo, 1);
    msg.player.connState = c.robotNo;
    scene->OnJoinGame(msg);
    EXPECT_EQ(scene->Model().turnUserNo, c.turnAfter) << c.robotNo << " " << c.turnBefore;
  }
}

// ---- The anti-leave caption --------------------------------------------------------------

class AntiLeaveCaptionTest : public SeatButtonsTest {
 protected:
  CVRestrictOptionWnd* Panel() const { return scene->Widgets().restrictCaption; }
  std::string Caption() const { return Panel()->Caption()->GetText(); }
  bool Shown() const { return Panel()->IsVisible() && Panel()->Back()->IsVisible() && Panel()->Caption()->IsVisible(); }
  // The whole table drawn and captured.
  plat::sim::RgbImage Frame() {
    scene->SetFullRedraw();
    scene->Draw(nullptr, GRect());
    return plat::sim::CaptureWindow(wnd->Handle());
  }
  static std::array<uint8_t, 3> PixelOf(const plat::sim::RgbImage& frame, GPoint p) {
    const size_t at = (size_t(p.y) * size_t(frame.width) + size_t(p.x)) * 3;
    return {frame.rgb.at(at), frame.rgb.at(at + 1), frame.rgb.at(at + 2)};
  }
  std::array<uint8_t, 3> PixelAt(GPoint p) { return PixelOf(Frame(), p); }
  // Where the panel stands, and a point inside it clear of the caption's text.
  static constexpr GPoint kPanelCorner{539, 143};
  static constexpr GRect kCaptionRect{557, 164, 557 + 54, 164 + 16};
  // Whether any pixel of the caption's box has the caption's colour (0x99FFFE), as
  // near as the desktop's 16-bit colours come.
  bool CaptionColourDrawn() {
    constexpr std::array<int32_t, 3> kCaptionColour{0xFE, 0xFF, 0x99};
    constexpr int32_t kSixteenBitStep = 8;
    const plat::sim::RgbImage frame = Frame();
    for (int32_t y = kCaptionRect.top; y < kCaptionRect.bottom; ++y)
      for (int32_t x = kCaptionRect.left; x < kCaptionRect.right; ++x) {
        const std::array<uint8_t, 3> p = PixelOf(frame, {x, y});
        bool near = true;
        for (size_t c = 0; c < p.size(); ++c) near = near && std::abs(p[c] - kCaptionColour[c]) < kSixteenBitStep;
        if (near) return true;
      }
    return false;
  }
};

TEST_F(AntiLeaveCaptionTest, AJoinInAnAntiLeaveRoomShowsTheGamesLeftAndAPlainRoomNone) {
  Enter(1);
  const std::array<uint8_t, 3> plainCorner = PixelAt(kPanelCorner);
  JoinGameMsg plain = Join(kMe, 0);
  scene->OnJoinGame(plain);
  EXPECT_FALSE(Panel()->IsVisible());
  EXPECT_FALSE(CaptionColourDrawn());

  scene->ResetRoomView();
  Enter(1, 9, 1);
  JoinGameMsg mine = Join(kMe, 0, 1);
  scene->OnJoinGame(mine);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Caption(), "5판 남음");
  EXPECT_NE(PixelAt(kPanelCorner), plainCorner) << "the panel's back picture is drawn";
  EXPECT_TRUE(CaptionColourDrawn());
}

// The caption over a sitting in an anti-leave room: the games left count down, the
// lifted rule says so once the table is full, and a game under the lifted rule shows
// none.
TEST_F(AntiLeaveCaptionTest, FollowsTheRuleThroughJoinsLeavesAndGames) {
  Enter(1, 9, 1);
  JoinGameMsg mine = Join(kMe, 0, 1);
  mine.player.wins = 2;
  mine.player.losses = 2;
  scene->OnJoinGame(mine);
  EXPECT_EQ(Caption(), "마지막 판") << "four of five games played";

  JoinGameMsg other = Join(kOther, 1, 0);
  scene->OnJoinGame(other);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Caption(), "옵션해제") << "the rule lifted with both seats taken";

  LeaveGameMsg leave{kOther, 0, 0, "", ""};
  scene->OnLeaveGame(leave);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Caption(), "5판 남음") << "a free seat: the room's count again";

  DealMsg deal;
  deal.userNo = kMe;
  scene->OnDeal(deal);
  EXPECT_FALSE(Panel()->IsVisible()) << "no caption in a game the rule no longer holds";

  WaitingStateMsg back;
  back.userNo = kMe;
  back.antiLeave = 1;
  scene->OnBackToWaiting(back);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(Caption(), "마지막 판");

  SettlementMsg settled;
  settled.resultCode = 1;
  settled.antiLeave = 1;
  scene->OnSettlement(settled);
  EXPECT_TRUE(Shown()) << "the settlement's table reset does not take the caption away";
  EXPECT_EQ(Caption(), "마지막 판");
}

}  // namespace
