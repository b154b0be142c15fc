// The mission panel's children: the card slots waiting unplaced, the marks and text at
// the panel's default place.
#include "panels/CVMissionWnd.h"

#include <gtest/gtest.h>

#include "panels/PanelFilesFixture.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"

namespace mission_wnd_test {

class MissionWndTest : public panel_test::PanelFilesTest {
 protected:
  panel_test::FakePanelScene scene_;
};

TEST_F(MissionWndTest, CreateMakesTheChildrenHiddenInSlotOrder) {
  CVMissionWnd mission(&scene_);
  ASSERT_EQ(mission.Create(&scene_), 1);
  EXPECT_EQ(std::tuple(mission.GetRect(), mission.IsVisible(), mission.IsEnabled()),
            std::tuple(GRect(624, 187, 800, 368), 0, 0));
  std::vector<Placed> rows;
  for (int32_t c = 0; c < CVMissionWnd::kCardSlots; ++c) {
    rows.push_back({"card", mission.Card(c), {331, 241}, 0});
    rows.push_back({"shade", mission.Shade(c), {0, 0}, 0});
    for (int32_t side = 0; side < CVMissionWnd::kScreenSides; ++side) {
      rows.push_back({"mark", mission.CaptureMark(side, c), {0, 0}, 0});
      EXPECT_EQ(mission.CaptureMark(side, c)->GetFrame(), side);
    }
    EXPECT_EQ(mission.Card(c)->GetRect().Size(), GSize(36, 55));
    EXPECT_EQ(std::tuple(mission.Shade(c)->GetRect().Size(), mission.Shade(c)->GetFillColor(),
                         mission.Shade(c)->GetFillLevel()),
              std::tuple(GSize(36, 55), COLORREF(0), 25));
  }
  rows.insert(rows.end(), {{"special", mission.SpecialMark(), {645, 241}, 0},
                           {"multiplier", mission.MultiplierAnimation(), {722, 252}, 0},
                           {"state", mission.StateMark(), {632, 321}, 0},
                           {"text", mission.MissionText(), {632, 325}, 1},
                           {"two-card", mission.TwoCardAnimation(), {0, 0}, 0}});
  ExpectPlaced(rows);
  EXPECT_EQ(Children(mission), Order(rows));
  ExpectText(mission.MissionText(), {163, 14}, 0xFFFFFF, DT_CENTER, "text");
}

TEST_F(MissionWndTest, EachChildThatFailsFailsCreate) { EXPECT_EQ(ExpectEachFailureFails<CVMissionWnd>(), 21); }

}  // namespace mission_wnd_test
