// The observer panel: its host requests, balances, answers, folding, tip and release routing.
#include <gtest/gtest.h>

#include "panels/CVObserveSystemWnd.h"

#include <string>
#include <tuple>
#include <vector>

#include "base/TextUtil.h"
#include "host/CHostLink.h"
#include "panels/CVPSPPushBtn.h"
#include "plat/winuser.h"
#include "support/RecordingHost.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVTextWnd.h"
#include "panels/PanelPictureFixture.h"
#include "tables/PanelPaths.h"

namespace {

TEST(CVObserveSystemWnd, WithoutChildrenNothingActs) {
  CVObserveSystemWnd panel(nullptr);
  panel.SetButtonState(1, 1);
  panel.OnHostAnswer(0x11000, 1);
  panel.Refresh();
  EXPECT_EQ(std::tuple(panel.PlayButtonShown(), panel.PlayButtonEnabled(), panel.IsFolded()), std::tuple(0, 0, 0));
}

}  // namespace

namespace observe_system_wnd_test {

class ObserveSystemTest : public panel_test::PanelPicturesTest {};

TEST_F(ObserveSystemTest, JoinButtonOfABuiltPanelFollowsTheRequestUnlessFolded) {
  using panel_test::Art;
  std::vector<panel_test::PanelFile> files = {{ObserverBackPath, Art::Qls},
                                              {ObserverServiceTipPath, Art::Psp, 2},
                                              {ObserverFoldedTabPath, Art::Psp}};
  for (const char* button : {ObserverJoinButtonPath, ObserverFirstServiceButtonPath, ObserverSecondServiceButtonPath,
                             ObserverTopUpButtonPath, ObserverMallButtonPath, ObserverSafeButtonPath,
                             ObserverPaymentButtonPath, ObserverMinimiseButtonPath, ObserverRestoreButtonPath})
    files.push_back({button, Art::Button});
  WriteFiles(files);
  CVObserveSystemWnd panel(&scene_);
  ASSERT_EQ(panel.Create(&scene_), 1);
  GVWnd* join = panel.ChildAt(CVObserveSystemWnd::kJoinButton);
  panel.SetButtonState(1, 0);
  EXPECT_EQ(std::pair(join->IsVisible(), join->IsEnabled()), std::pair(1, 0));
  panel.ShowButtons(1);
  panel.SetButtonState(1, 1);
  EXPECT_EQ(std::pair(join->IsVisible(), join->IsEnabled()), std::pair(0, 0)) << "folded";
  panel.Show(1);
  EXPECT_EQ(panel.IsFolded(), 0);
  panel.SetButtonState(0, 1);
  EXPECT_EQ(std::pair(join->IsVisible(), join->IsEnabled()), std::pair(0, 1));
}

}  // namespace observe_system_wnd_test

namespace observe_system_wnd_test {

using Lines = std::vector<std::string>;

// A built observer panel talking to a recording host; this client is user 7.
class ObservePlayTest : public ObserveSystemTest {
 protected:
  void SetUp() override {
    ObserveSystemTest::SetUp();
    using panel_test::Art;
    std::vector<panel_test::PanelFile> files = {
        {ObserverBackPath, Art::Qls}, {ObserverServiceTipPath, Art::Psp, 2}, {ObserverFoldedTabPath, Art::Psp}};
    for (const char* button : {ObserverJoinButtonPath, ObserverFirstServiceButtonPath, ObserverSecondServiceButtonPath,
                               ObserverTopUpButtonPath, ObserverMallButtonPath, ObserverSafeButtonPath,
                               ObserverPaymentButtonPath, ObserverMinimiseButtonPath, ObserverRestoreButtonPath})
      files.push_back({button, Art::Button});
    WriteFiles(files);
    scene_.myUserNo = 7;
    scene_.link.Fill(&host_, nullptr, CHostLink::kGameNumber);
    ASSERT_EQ(panel_.Create(&scene_), 1);
    panel_.Show(1);
  }
  void TearDown() override {
    scene_.link.Cut();
    ObserveSystemTest::TearDown();
  }
  GPoint On(CVObserveSystemWnd::Child child) const { return panel_.ChildAt(child)->GetPos() + GSize(2, 2); }
  void Click(CVObserveSystemWnd::Child child) {
    panel_.OnLButtonDown(MK_LBUTTON, On(child));
    panel_.OnLButtonUp(0, On(child));
  }
  std::string Text(CVObserveSystemWnd::Child child) const {
    return static_cast<GVTextWnd*>(panel_.ChildAt(child))->GetText();
  }
  testing_support::RecordingHost host_;
  CVObserveSystemWnd panel_{&scene_};
};

// A release that meets no button is not the panel's: the scene passes it on. One on a
// button is taken, with or without a click.
TEST_F(ObservePlayTest, AReleaseOnNoButtonIsNotTaken) {
  using C = CVObserveSystemWnd;
  panel_.ShowTip(1, 0, panel_.ChildAt(C::kBack)->GetPos());
  for (const C::Child child : {C::kBack, C::kSafeBalance, C::kPaymentBalance, C::kServiceTip}) {
    EXPECT_EQ(panel_.OnLButtonUp(0, On(child)), 0) << child;
  }
  EXPECT_EQ(panel_.OnLButtonUp(0, On(C::kMallButton)), 1) << "a button let go of without its press";
  EXPECT_TRUE(host_.Transcript().empty());
}

TEST_F(ObservePlayTest, EachButtonAsksTheHostForItsDialog) {
  scene_.myUser.safeAllowance = 1;
  const std::pair<CVObserveSystemWnd::Child, std::string> table[] = {
      {CVObserveSystemWnd::kFirstServiceButton, "NotifyEvent(7, 44, (null), 69632)"},
      {CVObserveSystemWnd::kSecondServiceButton, "NotifyEvent(7, 44, (null), 73728)"},
      {CVObserveSystemWnd::kTopUpButton, "NotifyEvent(7, 44, (null), 1)"},
      {CVObserveSystemWnd::kMallButton, "NotifyEvent(7, 44, (null), 3)"},
      {CVObserveSystemWnd::kPaymentButton, "NotifyEvent(7, 44, (null), 4)"},
      {CVObserveSystemWnd::kSafeButton, "NotifyEvent(7, 30, (null), 0)"},
  };
  for (const auto& [button, line] : table) {
    host_.Clear();
    scene_.observeModes.clear();
    scene_.observeState = 0;
    Click(button);
    EXPECT_EQ(host_.Transcript(), Lines{line});
    EXPECT_EQ(scene_.observeModes, std::vector<int32_t>{1});
  }
  host_.Clear();
  Click(CVObserveSystemWnd::kTopUpButton);
  EXPECT_TRUE(host_.Transcript().empty()) << "a dialog is already asked for";
  EXPECT_EQ(scene_.effects, std::vector<int32_t>(7, IPanelScene::kEffectClick));
  Click(CVObserveSystemWnd::kJoinButton);
  EXPECT_EQ(scene_.seatRequests, std::vector<int32_t>{0});
}

TEST_F(ObservePlayTest, RefreshEnablesTheServicesByTheHostsAnswerAndFillsTheBalances) {
  const struct {
    int32_t answer;
    int64_t safeAllowance, safeMoney, paymentAllowance, paymentMoney;
    std::string safe, payment;
  } cases[] = {
      {1, 1, 0, 1, 50000, FormatMoney(0, 2), FormatMoney(50000, 2)},
      {0, 0, 90000, 1, 0, "없음", "없음"},
      {1, 5, 123456789, 0, 10, FormatMoney(123456789, 2), "없음"},
  };
  for (const auto& c : cases) {
    host_.Clear();
    host_.ScriptEvent(CVObserveSystemWnd::kServiceQueryEvent, {.result = c.answer, .dataBack = ""});
    scene_.myUser.safeAllowance = c.safeAllowance, scene_.myUser.safeMoney = c.safeMoney;
    scene_.myUser.paymentAllowance = c.paymentAllowance, scene_.myUser.paymentMoney = c.paymentMoney;
    panel_.Refresh();
    EXPECT_EQ(host_.Transcript(), (Lines{"NotifyEvent(7, 43, (null), 69632)", "NotifyEvent(7, 43, (null), 73728)"}));
    EXPECT_EQ(panel_.ChildAt(CVObserveSystemWnd::kFirstServiceButton)->IsEnabled(), c.answer);
    EXPECT_EQ(panel_.ChildAt(CVObserveSystemWnd::kSecondServiceButton)->IsEnabled(), c.answer);
    EXPECT_EQ(std::pair(Text(CVObserveSystemWnd::kSafeBalance), Text(CVObserveSystemWnd::kPaymentBalance)),
              std::pair(c.safe, c.payment));
  }
}

TEST_F(ObservePlayTest, StatesFollowTheHostsAnswers) {
  scene_.observeState = 1;
  Click(CVObserveSystemWnd::kFirstServiceButton);
  EXPECT_TRUE(host_.Transcript().empty());
  EXPECT_TRUE(scene_.observeModes.empty());
  EXPECT_EQ(scene_.effects, std::vector<int32_t>{IPanelScene::kEffectClick});
  panel_.OnHostAnswer(5, 1);
  panel_.OnHostAnswer(0x11000, 1);
  EXPECT_EQ(host_.CallsTo(testing_support::HostSlot::NotifyEvent).size(), 2u) << "the refresh";
  panel_.OnHostAnswer(0x12000, 0);
  EXPECT_EQ(scene_.observeModes, (std::vector<int32_t>{0, 2, 0}));
}

TEST_F(ObservePlayTest, SafeWithoutAllowanceShowsTheBoxAndAsksNothing) {
  Click(CVObserveSystemWnd::kSafeButton);
  using Box = panel_test::FakePanelScene::MsgBox;
  const Box box{"금고를 보유하지 않으셨습니다.", 0, 2000, "", 0xCF7F00};
  EXPECT_EQ(scene_.msgBoxes, std::vector<Box>{box});
  EXPECT_TRUE(host_.Transcript().empty());
  EXPECT_EQ(scene_.effects, std::vector<int32_t>{IPanelScene::kEffectClick});
}

TEST_F(ObservePlayTest, FoldingAndUnfolding) {
  Click(CVObserveSystemWnd::kMinimiseButton);
  EXPECT_EQ(std::tuple(panel_.IsFolded(), panel_.ChildAt(CVObserveSystemWnd::kBack)->IsVisible(),
                       panel_.ChildAt(CVObserveSystemWnd::kRestoreButton)->IsVisible()),
            std::tuple(1, 0, 1));
  panel_.SetButtonState(1, 1);
  EXPECT_EQ(panel_.PlayButtonShown(), 0);
  for (int32_t user : {7, 9}) {
    scene_.room.seats.Player(0).userNo = 3;
    scene_.room.seats.Player(1).userNo = user == 7 ? -1 : user;
    panel_.ShowButtons(1);
    Click(CVObserveSystemWnd::kRestoreButton);
    EXPECT_EQ(std::pair(panel_.IsFolded(), panel_.PlayButtonShown()), std::pair(0, 1));
    EXPECT_EQ(panel_.PlayButtonEnabled(), user == 7) << "enabled exactly with an empty seat";
  }
}

TEST_F(ObservePlayTest, TipFollowsTheServiceButtonsAndAReleaseOffAButtonIsNoClick) {
  panel_.OnMouseMove(0, On(CVObserveSystemWnd::kSecondServiceButton));
  auto* tip = static_cast<GVPSPWnd*>(panel_.ChildAt(CVObserveSystemWnd::kServiceTip));
  const GPoint second = panel_.ChildAt(CVObserveSystemWnd::kSecondServiceButton)->GetPos();
  EXPECT_EQ(std::tuple(tip->IsVisible(), tip->GetFrame(), tip->GetPos()), std::tuple(1, 1, second + GSize(-5, -40)));
  panel_.OnMouseMove(0, On(CVObserveSystemWnd::kFirstServiceButton));
  EXPECT_EQ(tip->GetFrame(), 0);
  panel_.OnMouseMove(0, GPoint(0, 0));
  EXPECT_EQ(std::tuple(tip->IsVisible(), tip->GetPos()), std::tuple(0, GPoint(-5, -40)));

  auto* mall = static_cast<CVPSPPushBtn*>(panel_.ChildAt(CVObserveSystemWnd::kMallButton));
  panel_.OnLButtonDown(MK_LBUTTON, On(CVObserveSystemWnd::kMallButton));
  ASSERT_EQ(mall->IsPressed(), 1);
  EXPECT_EQ(panel_.OnLButtonUp(0, GPoint(0, 0)), 0);
  EXPECT_EQ(mall->IsPressed(), 0);
  EXPECT_TRUE(host_.Transcript().empty());
  EXPECT_TRUE(scene_.effects.empty());
}

}  // namespace observe_system_wnd_test
