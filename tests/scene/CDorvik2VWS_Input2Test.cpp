// More of the table's input as a person makes it: the seat menu from a press on a seat,
// the anti-leave question asked again, the top bar under the notice strip, the join
// button by mode, the keys that reach the prompt and the result panel, and the seat
// menu's entries by who asks and when.
#include "scene/SceneInputFixture.h"

namespace {

using namespace scene_input_test;

TEST_F(SceneInputTest, APressOnASeatPanelOpensTheSeatMenuThere) {
  scene->SetSceneMode(CDorvik2VWS::kModePlaying);
  const auto& menu = scene->Buttons();
  const int32_t side = scene->SideOfSeat(1);
  CVUserInfoWnd* panel = scene->Widgets().seatPanels[static_cast<size_t>(side)];
  ASSERT_NE(panel, nullptr);
  scene->RefreshSeatPanels(CDorvik2VWS::kSeats);
  ASSERT_EQ(panel->UserNo(), kOther);
  const GPoint at(panel->GetRect().left + 3, panel->GetRect().top + 30);
  Inject::MouseDown(wnd->Handle(), at.x, at.y);
  Inject::MouseUp(wnd->Handle(), at.x, at.y);
  ASSERT_TRUE(menu[0]->IsVisible());
  EXPECT_EQ(menu[0]->GetPos(), at);
  EXPECT_EQ(scene->Model().seatMenuUser, kOther);
  EXPECT_TRUE(menu[1]->IsEnabled()) << "a text to the other user";

  // Outside the menu a release closes it; a press on my own panel opens it for me.
  Inject::Click(wnd->Handle(), 300, 300);
  EXPECT_FALSE(menu[0]->IsVisible());
  CVUserInfoWnd* mine = scene->Widgets().seatPanels[static_cast<size_t>(scene->SideOfSeat(0))];
  const GPoint low(mine->GetRect().left + 3, mine->GetRect().top + 3);
  Inject::MouseDown(wnd->Handle(), low.x, low.y);
  EXPECT_EQ(scene->Model().seatMenuUser, kMe);
  EXPECT_FALSE(menu[1]->IsEnabled()) << "no text to myself";
  EXPECT_LE(menu[3]->GetRect().bottom, 520);
}

TEST_F(SceneInputTest, EveryExitClickAsksAgainAfterANo) {
  AntiLeaveGame();
  int32_t boxes = 0;
  plat::sim::SetModalHook([&boxes](HWND) {
    ++boxes;
    plat::sim::PressKey(VK_ESCAPE);
  });
  CVPSPPushBtn* exitButton = ExitButton();
  for (int32_t n = 1; n <= 3; ++n) {
    Click(exitButton);
    EXPECT_EQ(boxes, n);
  }
  EXPECT_TRUE(Sent().empty());
}

TEST_F(SceneInputTest, TopBarButtonsTakeClicksUnderTheNoticeStrip) {
  const auto& w = scene->Widgets();
  ASSERT_NE(w.noticeTicker, nullptr);
  const GRect strip = w.noticeTicker->GetRect();
  for (CVPSPPushBtn* b : {w.memoButton, w.captureButton}) {
    b->Show(1);
    b->Enable(1);
    const GRect r = b->GetRect();
    ASSERT_LT(r.top, strip.bottom) << "the button reaches under the strip";
    host.Clear();
    Inject::Click(wnd->Handle(), (r.left + r.right) / 2, r.top + 1);
    EXPECT_EQ(host.CallsTo(testing_support::HostSlot::NotifyEvent).size(), 1u);
  }
  // The strip itself takes nothing: a press there with no button under it lets the
  // host drag its window.
  EXPECT_EQ(scene->WidgetAtPoint(GPoint(5, 5)), nullptr);
}

// Each case clicks the same spot at once after the last: the layer makes the second
// press a double click, which must press like the first.
TEST_F(SceneInputTest, JoinActsByModeOnEveryClick) {
  CVPSPPushBtn* join = scene->Widgets().joinButton;
  join->Show(1);
  join->Enable(1);
  const std::string play = Words({2, scene->Model().myVoiceSet, 0});
  const std::string observe = "03 00 00 00";
  struct Case { int32_t mode; bool seated; std::vector<std::string> sent; };
  const Case cases[] = {{CDorvik2VWS::kModePlaying, true, {observe}},
                        {CDorvik2VWS::kModeResult, true, {observe}},
                        {CDorvik2VWS::kModeResult, true, {observe}},
                        {CDorvik2VWS::kModeWaiting, false, {play}},
                        // Outside the waiting mode a seat comes only from a robot.
                        {CDorvik2VWS::kModePlaying, false, {}},
                        {CDorvik2VWS::kModeResult, false, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << (&c - cases));
    scene->GetPlayer(0).userNo = c.seated ? kMe : RCUser::kNoUser;
    scene->SetSceneMode(c.mode);
    host.Clear();
    Click(join);
    EXPECT_EQ(Sent(), c.sent);
  }
}

}  // namespace
