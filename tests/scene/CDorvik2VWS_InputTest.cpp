// The table's input as a person makes it, injected through the window system: keys that
// play hand cards and start a game, the table's buttons, the option panel's hit area, the
// seat menu, the hover and press looks of the hand, and the anti-leave question on exit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/Dorvik2Messages.h"
#include "plat/sim.h"
#include "plat/user.h"
#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;

// The layer queues injected input; the window thread runs it before the test reads on.
struct Inject {
  static void PressKey(int vk) { Run([&] { plat::sim::PressKey(vk); }); }
  static void MouseMove(HWND h, int x, int y) { Run([&] { plat::sim::MouseMove(h, x, y); }); }
  static void MouseDown(HWND h, int x, int y) { Run([&] { plat::sim::MouseDown(h, x, y); }); }
  static void MouseUp(HWND h, int x, int y) { Run([&] { plat::sim::MouseUp(h, x, y); }); }
  static void Click(HWND h, int x, int y) { Run([&] { plat::sim::Click(h, x, y); }); }
  template <class F>
  static void Run(F inject) {
    inject();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
  }
};
using testing_support::HostSlot;

constexpr int32_t kHandSize = 10;
// Hand position i holds widget i showing card 4 * i: ten months, no two alike.
constexpr int32_t kCardStep = 4;

class SceneInputTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    SeatMe(0);
    SeatOther(1);
    scene->GetPlayer(0).screenPos = 0;
    scene->GetPlayer(1).screenPos = 1;
    SetFocus(wnd->Handle());
    host.Clear();
    trace.Clear();
  }
  void TearDown() override {
    plat::sim::SetModalHook(nullptr);
    GameTableTest::TearDown();
  }
  std::vector<std::string> Sent() const { return host.SentBytes(); }
  std::vector<std::string> Lines(HostSlot slot) const {
    std::vector<std::string> out;
    for (const auto& c : host.CallsTo(slot)) out.push_back(c.line);
    return out;
  }
  static GPoint Centre(GVWnd* w) {
    const GRect r = w->GetRect();
    return GPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // The middle of a button's lowest row: the top bar's buttons stand partly under the
  // notice ticker's strip.
  static GPoint ButtonPoint(GVWnd* w) {
    const GRect r = w->GetRect();
    return GPoint((r.left + r.right) / 2, r.bottom - 1);
  }
  void Click(GVWnd* w) {
    const GPoint p = ButtonPoint(w);
    Inject::Click(wnd->Handle(), p.x, p.y);
  }
  // My turn to play a card with ten cards laid out in my hand and the hand enabled.
  void DealMyHand(int32_t count = kHandSize) {
    StartPhase(8);
    scene->Model().turnUserNo = kMe;
    auto& hand = scene->Seat(0).hand;
    hand.clear();
    const int32_t side = scene->SideOfSeat(0);
    for (int32_t i = 0; i < count; ++i) {
      CVHTWnd* card = scene->CardWndById(i);
      card->SetCard(kCardStep * i);
      card->SetPos(CCardTable::HandSlotPoint(side, i));
      card->Show(1);
      hand.push_back(i);
    }
    scene->Model().handPick = 1;
  }
  static std::string PlayBytes(int32_t position) {
    return Words({12, 0, kCardStep * (position - 1), 0});
  }
  CVPSPPushBtn* ExitButton() {
    // Its alternative stands on the same spot.
    scene->Widgets().cancelExitButton->Show(0);
    CVPSPPushBtn* exitButton = scene->Widgets().exitButton;
    exitButton->Show(1);
    exitButton->Enable(1);
    return exitButton;
  }
  void AntiLeaveGame() {
    scene->SetSceneMode(CDorvik2VWS::kModePlaying);
    scene->GetRoomData().roomState = 9;
    scene->GetRoomData().antiLeaveLevel = 2;
    scene->Model().antiLeave = 1;
  }
};

TEST_F(SceneInputTest, FunctionKeysAndLetterReleasesPlayByPosition) {
  struct Case { int vk; int32_t position; };
  const Case cases[] = {
      {VK_F1, 1}, {VK_F3, 3}, {VK_F4, 4}, {VK_F7, 7}, {VK_F10, 10},
      {'Q', 1}, {'W', 2}, {'E', 3}, {'R', 4}, {'T', 5}, {'A', 6}, {'S', 7}, {'D', 8}, {'F', 9}, {'G', 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.vk);
    DealMyHand();
    host.Clear();
    Inject::PressKey(c.vk);
    EXPECT_EQ(Sent(), std::vector<std::string>{PlayBytes(c.position)});
    EXPECT_EQ(scene->Model().handPick, 0) << "the hand is disabled after a play";
  }
  EXPECT_EQ(PlayBytes(3), "0C 00 00 00 00 00 00 00 08 00 00 00 00 00 00 00");
  host.Clear();
  Inject::PressKey(VK_F1);
  Inject::PressKey('Q');
  EXPECT_TRUE(Sent().empty()) << "a disabled hand plays nothing";
  DealMyHand();
  host.Clear();
  Inject::PressKey(VK_F11);
  EXPECT_TRUE(Sent().empty()) << "past the hand without a dummy turn";
}

TEST_F(SceneInputTest, DigitEnterAndSpace) {
  Inject::PressKey('5');
  EXPECT_EQ(Sent(), std::vector<std::string>{"18 00 00 00 05 00 00 00"});
  plat::sim::ClearPostedMessages(hostWnd);
  Inject::PressKey(VK_RETURN);
  EXPECT_EQ(PostedToHost(WM_GAME_ENTER_KEY).size(), 1u);

  CVPSPPushBtn* start = scene->Widgets().startButton;
  struct Case { int32_t mode; bool robot; bool starts; };
  const Case cases[] = {{CDorvik2VWS::kModeWaiting, false, true},
                        {CDorvik2VWS::kModePlaying, false, false},
                        {CDorvik2VWS::kModePlaying, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode * 10 + c.robot);
    if (c.robot) SeatRobot(1);
    scene->SetSceneMode(c.mode);
    start->Show(1);
    start->Enable(1);
    host.Clear();
    Inject::PressKey(VK_SPACE);
    EXPECT_EQ(Sent().size(), c.starts ? 1u : 0u);
  }
}

TEST_F(SceneInputTest, ButtonsActOnReleaseOverThem) {
  const auto& w = scene->Widgets();
  struct Case {
    GVWnd* button;
    int32_t mode;
    std::vector<std::string> sent;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {w.memoButton, CDorvik2VWS::kModeWaiting, {}, {"NotifyEvent(7, 50, (null), 0)"}},
      {w.captureButton, CDorvik2VWS::kModeWaiting, {}, {"NotifyEvent(7, 9, (null), 0)"}},
      {w.joinButton, CDorvik2VWS::kModePlaying, {"03 00 00 00"}, {R"(NotifyEvent(7, 45, "observe", 1))"}},
      {w.autoPlaySettingButton, CDorvik2VWS::kModePlaying,
       {"19 00 00 00 01 00 00 00", "1A 00 00 00 00 00 00 00"}, {}},
      {w.autoPlayCancelButton, CDorvik2VWS::kModePlaying,
       {"19 00 00 00 00 00 00 00", "1A 00 00 00 00 00 00 00"}, {}},
      {w.inviteButton, CDorvik2VWS::kModeWaiting, {}, {"NotifyEvent(7, 15, (null), 0)"}},
      {w.inviteButton, CDorvik2VWS::kModePlaying, {}, {}},
  };
  for (const Case& c : cases) {
    ASSERT_NE(c.button, nullptr);
    SCOPED_TRACE(testing::Message() << (&c - cases));
    scene->SetSceneMode(c.mode);
    c.button->Show(1);
    c.button->Enable(1);
    host.Clear();
    Click(c.button);
    EXPECT_EQ(Sent(), c.sent);
    EXPECT_EQ(Lines(HostSlot::NotifyEvent), c.events);
    c.button->Show(0);
  }
}

TEST_F(SceneInputTest, WindowButtons) {
  const auto& w = scene->Widgets();
  plat::sim::ClearPostedMessages(hostWnd);
  w.minimiseButton->Show(1);
  w.minimiseButton->Enable(1);
  Click(w.minimiseButton);
  const std::vector<MSG> posted = PostedToHost(WM_SYSCOMMAND);
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(SC_MINIMIZE));

  w.maximiseButton->Show(1);
  w.maximiseButton->Enable(1);
  Click(w.maximiseButton);
  EXPECT_EQ(Lines(HostSlot::RequestScreenMode), std::vector<std::string>{"RequestScreenMode(1, 800, 600, 0)"});
  EXPECT_EQ(w.maximiseButton->ImageSet(), 1);
}

TEST_F(SceneInputTest, StartButtonAndAPressReleasedElsewhere) {
  CVPSPPushBtn* start = scene->Widgets().startButton;
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  start->Show(1);
  start->Enable(1);
  Click(start);
  EXPECT_EQ(Sent().size(), 1u);

  CVPSPPushBtn* memo = scene->Widgets().memoButton;
  memo->Show(1);
  memo->Enable(1);
  host.Clear();
  const GPoint p = ButtonPoint(memo);
  Inject::MouseDown(wnd->Handle(), p.x, p.y);
  Inject::MouseUp(wnd->Handle(), 400, 590);
  EXPECT_TRUE(host.Calls().empty());
}

TEST_F(SceneInputTest, OptionPanelIsHitOnlyInsideItsArea) {
  GVWnd* panel = scene->Widgets().optionPanel;
  ASSERT_NE(panel, nullptr);
  panel->Show(1);
  const GRect face = panel->GetRect();
  const GRect area = CDorvik2VWS::kOptionPanelHitRect;
  EXPECT_EQ(area, GRect(609, 177, 800, 519));
  EXPECT_EQ(scene->WidgetAtPoint(GPoint(area.left, area.top)), panel);
  EXPECT_EQ(scene->WidgetAtPoint(GPoint(area.right - 1, area.bottom - 1)), panel);
  for (const GPoint p : {GPoint(area.left - 1, area.top), GPoint(area.left, area.top - 1),
                         GPoint(area.left, area.bottom)}) {
    if (face.PtInRect(p.x, p.y)) {
      EXPECT_NE(scene->WidgetAtPoint(p), panel) << p.x << "," << p.y;
    }
  }
}

TEST_F(SceneInputTest, SeatMenuStandsAtThePointAndMuteToggles) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  const auto& menu = scene->Buttons();
  ASSERT_GE(menu.size(), 4u);
  const GPoint at(300, 150);
  scene->OpenSeatMenu(1, kOther, at);
  ASSERT_TRUE(menu[0]->IsVisible());
  EXPECT_EQ(menu[0]->GetPos(), at);
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(menu[i]->GetPos(), GPoint(at.x, menu[i - 1]->GetRect().bottom));

  scene->OpenSeatMenu(1, kOther, GPoint(100, 510));
  EXPECT_EQ(menu[0]->GetPos().x, 100);
  EXPECT_EQ(menu[3]->GetRect().bottom, 520) << "lifted to end by the menu bottom";

  scene->Options().soundEffect = 1;
  GVWnd* mark = scene->Widgets().voiceOffMarks[static_cast<size_t>(scene->SideOfSeat(1))];
  ASSERT_NE(mark, nullptr);
  host.Clear();
  Click(menu[3]);
  EXPECT_TRUE(scene->IsMutedUser(kOther));
  EXPECT_TRUE(mark->IsVisible());
  EXPECT_FALSE(menu[0]->IsVisible()) << "a command closes the menu";
  scene->OpenSeatMenu(1, kOther, GPoint(100, 300));
  Click(menu[3]);
  EXPECT_FALSE(scene->IsMutedUser(kOther));
  EXPECT_FALSE(mark->IsVisible());
  EXPECT_EQ(Lines(HostSlot::NotifyEvent), (std::vector<std::string>{R"(NotifyEvent(7, 45, "macro", 1))",
                                                                     R"(NotifyEvent(7, 45, "macro", 17))"}));
}

TEST_F(SceneInputTest, HoverRaisesAndPressLowersThePointedCard) {
  DealMyHand(3);
  CVHTWnd* pointed = scene->CardWndById(1);
  CVHTWnd* other = scene->CardWndById(0);
  const GPoint rest = pointed->GetPos();
  const GPoint otherRest = other->GetPos();
  const GPoint at = Centre(pointed);
  Inject::MouseMove(wnd->Handle(), at.x, at.y);
  EXPECT_EQ(pointed->GetPos(), rest + GSize(0, -1));
  EXPECT_EQ(other->GetPos(), otherRest);
  for (GVWnd* hint : scene->CardWidgets().handHints[1]) {
    if (hint) {
      EXPECT_EQ(hint->GetPos(), pointed->GetPos());
    }
  }
  Inject::MouseDown(wnd->Handle(), at.x, at.y);
  EXPECT_EQ(pointed->GetPos(), rest + GSize(1, 1));
  EXPECT_EQ(other->GetPos(), otherRest);
}

TEST_F(SceneInputTest, AClickOnMyHandCardPlaysIt) {
  DealMyHand(3);
  scene->Model().autoPlay = 1;
  Click(scene->CardWndById(2));
  EXPECT_EQ(Sent(), std::vector<std::string>{"0C 00 00 00 00 00 00 00 08 00 00 00 00 00 00 00"});
  EXPECT_EQ(trace.effects, std::vector<int32_t>{19});
  EXPECT_EQ(scene->Model().handPick, 0);
  EXPECT_EQ(scene->Model().autoPlay, 0);
}

TEST_F(SceneInputTest, ExitInAnAntiLeaveGameAsksFirst) {
  struct Case { int vk; std::vector<std::string> sent; };
  for (const Case& c : {Case{VK_ESCAPE, {}}, Case{VK_RETURN, {"04 00 00 00"}}}) {
    SCOPED_TRACE(c.vk);
    // A fresh table for each answer.
    TearDown();
    SetUp();
    AntiLeaveGame();
    int32_t boxes = 0;
    plat::sim::SetModalHook([&boxes, vk = c.vk](HWND) {
      ++boxes;
      plat::sim::PressKey(vk);
    });
    Click(ExitButton());
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(Sent(), c.sent);
  }
}

TEST_F(SceneInputTest, ExitWithARobotSeatedLeavesAtOnce) {
  plat::sim::SetModalHook([](HWND) { ADD_FAILURE() << "no question with a robot seated"; });
  AntiLeaveGame();
  SeatRobot(1);
  Click(ExitButton());
  EXPECT_EQ(Sent(), std::vector<std::string>{"04 00 00 00"});
}

}  // namespace
