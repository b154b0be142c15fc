// The table's input as a person makes it, injected through the window system: keys that
// play hand cards and start a game, the table's buttons, the option panel's hit area, the
// seat menu, the hover and press looks of the hand, and the anti-leave question on exit.
#include "scene/SceneInputFixture.h"

#include "panels/CHelperView.h"
#include "panels/SkinnedPopup.h"

namespace {

using namespace scene_input_test;

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

// The table's own option and vip buttons do what the host's words do: the panel or the
// help popup opens, the host's button is held down, and the click sounds once.
TEST_F(SceneInputTest, OptionAndVipButtonsOpenTheirPanelsLikeTheHostsWords) {
  const auto& w = scene->Widgets();
  scene->GetRoomData().speedKind = 2;
  w.optionButton->Show(1);
  w.optionButton->Enable(1);
  host.Clear();
  trace.Clear();
  Click(w.optionButton);
  EXPECT_TRUE(w.optionPanel->IsOpen());
  EXPECT_EQ(scene->Options().speed, 4) << "a fast room opens the panel at its fastest";
  EXPECT_EQ(Lines(HostSlot::NotifyEvent), std::vector<std::string>{R"(NotifyEvent(7, 45, "option", 1))"});
  EXPECT_EQ(trace.effects, std::vector<int32_t>{19});

  // Before the room built the help popup the vip button opens nothing and stays quiet.
  w.vipButton->Show(1);
  w.vipButton->Enable(1);
  host.Clear();
  trace.Clear();
  Click(w.vipButton);
  EXPECT_TRUE(Lines(HostSlot::NotifyEvent).empty());
  EXPECT_TRUE(trace.effects.empty());
  scene->VipManager().HelperView().ShowGameHelpPopup(CHelperView::kGameNumber, CHelperView::kDialogTemplate,
                                                     wnd->Handle());
  Click(w.vipButton);
  EXPECT_TRUE(IsWindowVisible(scene->VipManager().HelperView().Popup()));
  EXPECT_EQ(Lines(HostSlot::NotifyEvent), std::vector<std::string>{R"(NotifyEvent(7, 45, "vip", 1))"});
  EXPECT_EQ(trace.effects, std::vector<int32_t>{19});
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
