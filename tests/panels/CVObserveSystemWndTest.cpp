// The observer panel's play button, which a folded panel leaves alone.
#include <gtest/gtest.h>

#include "panels/CVObserveSystemWnd.h"
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
