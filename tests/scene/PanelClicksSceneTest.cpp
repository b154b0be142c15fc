// Clicks through the game window onto the panels of the built table, drawn from the
// synthetic data's own pictures: every panel's back picture lies under its buttons, and
// what the player sees on top is what takes the click.
#include <gtest/gtest.h>

#include "SceneInputFixture.h"
#include "panels/CVObserveSystemWnd.h"
#include "panels/CVPSPPushBtn.h"
#include "panels/CVResultWnd.h"
#include "panels/CVUserOptionWnd.h"
#include "widgets/GVPSPWnd.h"

namespace {

using scene_input_test::SceneInputTest;

constexpr int32_t kGcResultDone = 18;

class PanelClicksTest : public SceneInputTest {
 protected:
  // A click at the middle of the widget, where its own picture is.
  void ClickMiddle(GVWnd* w) {
    const GRect r = w->GetRect();
    scene_input_test::Inject::Click(wnd->Handle(), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  // The widget lies over its panel's back picture at its middle.
  static bool OverTheBack(GVWnd* back, GVWnd* w) {
    const GRect r = w->GetRect();
    return back->HitTest((r.left + r.right) / 2, (r.top + r.bottom) / 2, GVWnd::kHitVisible) != 0;
  }
  static GameResultMsg WonByMe() {
    GameResultMsg m;
    m.winInfo.winnerSeat = 0;
    // Rows to unfold, so that the expand button shows.
    for (int32_t c = 0; c < SCORE_CATEGORY_COUNT; ++c) m.winInfo.categoryPoints.at(size_t(c)) = c + 1;
    m.moneyChange.at(0) = 1000;
    m.moneyChange.at(1) = -1000;
    return m;
  }
};

TEST_F(PanelClicksTest, TheOptionPanelsChoicesAndOkTakeTheirClicks) {
  CVUserOptionWnd* panel = scene->Widgets().optionPanel;
  ASSERT_EQ(scene->OpenOptionPanel(), 1);
  GVWnd* back = panel->GetChildren().front();
  ASSERT_TRUE(OverTheBack(back, panel->SpeedChoiceWnd(0))) << "the synthetic back covers the choices";
  ASSERT_TRUE(OverTheBack(back, panel->OkButton()));

  const int32_t speed = panel->SpeedChoice() == 0 ? 4 : 0;
  ClickMiddle(panel->SpeedChoiceWnd(speed));
  EXPECT_EQ(panel->SpeedChoice(), speed);
  EXPECT_EQ(panel->SpeedChoiceWnd(speed)->GetFrame(), 1) << "the chosen look";
  const int32_t voice = (panel->Voice() + 1) % CVUserOptionWnd::kVoiceChoices;
  ClickMiddle(panel->VoiceChoiceWnd(voice));
  EXPECT_EQ(panel->Voice(), voice);
  EXPECT_EQ(panel->VoiceChoiceWnd(voice)->GetFrame(), 1);
  const int32_t effects = panel->SoundEffect();
  ClickMiddle(panel->SoundCheck());
  EXPECT_NE(panel->SoundEffect(), effects);

  host.Clear();
  Click(panel->OkButton());
  EXPECT_FALSE(panel->IsOpen()) << "OK applies and closes";
  EXPECT_EQ(scene->Options().speed, speed - 3);
  EXPECT_EQ(scene->Model().myVoiceSet, voice);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({6, 0, voice})}) << "the new voice goes to the server";
}

TEST_F(PanelClicksTest, TheObserverPanelsButtonsTakeTheirClicks) {
  scene->GetPlayer(1).Reset();
  scene->Model().myUser.userNo = kMe;
  scene->GetPlayer(0).Reset();
  SeatOther(1);
  scene->SetSceneMode(CDorvik2VWS::kModeWaiting);
  scene->RefreshObserverPanel(1);
  CVObserveSystemWnd* panel = scene->ObservePanel();
  ASSERT_TRUE(panel->IsVisible());
  GVWnd* back = panel->ChildAt(CVObserveSystemWnd::kBack);
  GVWnd* minimise = panel->ChildAt(CVObserveSystemWnd::kMinimiseButton);
  ASSERT_TRUE(OverTheBack(back, minimise));

  host.Clear();
  GVWnd* join = panel->ChildAt(CVObserveSystemWnd::kJoinButton);
  ASSERT_TRUE(join->IsVisible() && join->IsEnabled()) << "a seat is free";
  ClickMiddle(join);
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({2, scene->Model().myVoiceSet, 0})}) << "a seat asked for";

  ClickMiddle(minimise);
  EXPECT_TRUE(panel->IsFolded());
  ClickMiddle(panel->ChildAt(CVObserveSystemWnd::kRestoreButton));
  EXPECT_FALSE(panel->IsFolded());
}

TEST_F(PanelClicksTest, TheResultPanelsButtonsTakeTheirClicks) {
  CVResultWnd* panel = scene->Widgets().resultPanel;
  ASSERT_EQ(scene->ShowResultWnd(WonByMe()), 1);

  const int32_t autoStart = scene->Model().autoStart;
  Click(panel->AutoStartToggle());
  EXPECT_NE(scene->Model().autoStart, autoStart);
  ASSERT_TRUE(panel->ExpandButton()->IsVisible());
  const int32_t expanded = panel->ExpandButton()->ImageSet();
  Click(panel->ExpandButton());
  EXPECT_NE(panel->ExpandButton()->ImageSet(), expanded);

  host.Clear();
  Click(panel->OkButton());
  EXPECT_FALSE(panel->IsVisible());
  EXPECT_EQ(Sent(), std::vector<std::string>{Words({kGcResultDone})});
}

}  // namespace
