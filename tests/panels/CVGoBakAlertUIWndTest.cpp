// The go-bak alert of this client's seat.
#include "panels/CVGoBakAlertUIWnd.h"

#include <gtest/gtest.h>

#include "panels/SeatPanelFixture.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVQLSWnd.h"

namespace go_bak_alert_test {

using seat_panel_test::SeatPanelTest;

TEST_F(SeatPanelTest, TheAlertShowsTheScoreToPassAndHidesAboveIt) {
  CVGoBakAlertUIWnd alert(nullptr);
  ASSERT_EQ(alert.Create(&scene_), 1);
  scene_.myUserNo = 42;
  scene_.seatUsers = {5, 42};
  // shown -1: the same as before the step. Score = points + goes.
  struct Step { int32_t points, goes, threshold; BOOL seated; BOOL shown; int64_t number; };
  const Step steps[] = {
      {3, 1, 6, 1, 1, 7},   // below: threshold + 1
      {5, 1, 6, 1, 1, 7},   // at it: as it was
      {6, 1, 6, 1, 0, 7},   // above: hidden
      {6, 0, 6, 1, 0, 7},   // at it again: still hidden
      {0, 0, 3, 0, 0, 7},   // not seated: nothing
      {1, 0, 3, 1, 1, 4},
  };
  for (const Step& s : steps) {
    scene_.seatUsers[1] = s.seated ? 42 : 9;
    CHTUser& seat = scene_.seats[1];
    seat.points = s.points, seat.goCount = s.goes, seat.goBakThreshold = s.threshold;
    alert.SetDirty(0);
    alert.Update();
    EXPECT_EQ(std::tuple(alert.Back()->IsVisible(), alert.Digits()->IsVisible(), alert.Digits()->GetNumber()),
              std::tuple(s.shown, s.shown, s.number))
        << s.points << "+" << s.goes << " vs " << s.threshold;
    EXPECT_EQ(alert.IsDirty(), s.seated);
  }
}

}  // namespace go_bak_alert_test
