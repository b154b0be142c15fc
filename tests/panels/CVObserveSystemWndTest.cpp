// The observer panel's play button, which a folded panel leaves alone.
#include <gtest/gtest.h>

#include "panels/CVObserveSystemWnd.h"

namespace {

TEST(CVObserveSystemWnd, PlayButtonFollowsTheRequestUnlessFolded) {
  CVObserveSystemWnd panel(nullptr);
  panel.SetButtonState(1, 0);
  EXPECT_EQ(panel.PlayButtonShown(), 1);
  EXPECT_EQ(panel.PlayButtonEnabled(), 0);
  panel.SetFolded(1);
  panel.SetButtonState(1, 1);
  EXPECT_EQ(panel.PlayButtonEnabled(), 0);
  panel.SetFolded(0);
  panel.SetButtonState(0, 1);
  EXPECT_EQ(panel.PlayButtonShown(), 0);
  EXPECT_EQ(panel.PlayButtonEnabled(), 1);
}

}  // namespace
