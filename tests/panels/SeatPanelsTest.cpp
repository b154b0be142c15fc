// The seat icon strip and bak icons: counts and flags shown as frames and marks.
#include "panels/SeatPanels.h"

#include <gtest/gtest.h>

#include "panels/FakePanelScene.h"
#include "widgets/SpriteWidgetFixture.h"

namespace seat_panels_test {

class SeatPanelsTest : public widget_test::SpriteWidgetTest {
 protected:
  void SetUp() override {
    SpriteWidgetTest::SetUp();
    testing_support::QlaAnimation icon{.name = "", .frames = std::vector(9, testing_support::QlaFrame{.parts = {{}}})};
    for (const char* name : {"Icon/go.qla", "Icon/shake.qla", "Icon/bbuck.qla"})
      Write(name, testing_support::QlaFile(icon, testing_support::SolidSpriteChunk(32, 4, 4, 0xFF, 0, 0)));
    Write("Icon/bak.psp", testing_support::PspFile({4, testing_support::SolidSpriteChunk(32, 4, 4, 0xFF00, 0, 0)}));
  }
  panel_test::FakePanelScene scene_;
};

TEST_F(SeatPanelsTest, IconsShowTheirCountsAsFrames) {
  CVHTIconWnd strip(nullptr);
  ASSERT_EQ(strip.Create(&scene_, 1), 1);
  EXPECT_EQ(strip.GetRect(), GRect(GPoint(632, 104), GSize(91, 17)));
  EXPECT_EQ(std::tuple(strip.IsVisible(), strip.IsEnabled(), strip.Icon(2)->GetPos()), std::tuple(1, 0, GPoint(697, 104)));
  struct Case { int32_t go, shake, bbuck; int32_t frames[3]; };  // frame -1: hidden
  const Case cases[] = {{1, 4, 3, {0, 3, 2}}, {9, 1, 1, {8, 0, 0}}, {10, 5, 4, {-1, -1, -1}}, {0, 0, 0, {-1, -1, -1}}};
  for (const Case& c : cases) {
    CHTUser seat;
    seat.goCount = c.go, seat.shakeCount = c.shake, seat.puckCount = c.bbuck;
    strip.Update(seat);
    for (int32_t i = 0; i < 3; ++i) {
      const GVQLAniWnd* icon = strip.Icon(i);
      EXPECT_EQ(icon->IsVisible() ? icon->GetFrame() : -1, c.frames[i]) << c.go << i;
    }
  }
}

TEST_F(SeatPanelsTest, BakMarksFollowTheFlagsAndTheFrameAnyOfThem) {
  CVBakIconWnd bak(nullptr);
  ASSERT_EQ(bak.Create(&scene_, 1), 1);
  EXPECT_EQ(bak.GetRect(), GRect(GPoint(12, 114), GSize(93, 21)));
  EXPECT_EQ(bak.Frame()->GetFrame(), 3);
  EXPECT_EQ(bak.Mark(2)->GetPos(), GPoint(75, 117));
  for (int32_t bits = 0; bits < 8; ++bits) {
    CHTUser seat;
    seat.gwangBak = bits & 1, seat.yeolBak = bits & 2, seat.piBak = bits & 4;
    bak.Update(seat);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(bak.Mark(i)->IsVisible(), (bits >> i) & 1) << bits;
    EXPECT_EQ(bak.Frame()->IsVisible(), bits != 0 ? 1 : 0);
  }
  scene_.kRoot = "C:\\None\\";
  CVBakIconWnd failed(nullptr);
  EXPECT_EQ(failed.Create(&scene_, 0), 0);
}

}  // namespace seat_panels_test
