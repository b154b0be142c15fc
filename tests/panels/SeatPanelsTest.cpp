// The seat panels' places at both screen positions, the icon strip and the bak icons.
#include "panels/SeatPanels.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "panels/CVGoBakAlertUIWnd.h"
#include "panels/SeatPanelFixture.h"

namespace seat_panels_test {

using seat_panel_test::SeatPanelTest;

// Makes one panel at a screen position (the alert has none); null when Create fails.
using Maker = std::function<std::unique_ptr<CVPanelWnd>(IPanelScene*, int32_t)>;

template <class P>
Maker MakerOf() {
  return [](IPanelScene* scene, int32_t pos) -> std::unique_ptr<CVPanelWnd> {
    auto panel = std::make_unique<P>(nullptr);
    int32_t made = 0;
    if constexpr (std::is_same_v<P, CVGoBakAlertUIWnd>) {
      made = panel->Create(scene);
    } else {
      made = panel->Create(scene, pos);
    }
    return made ? std::move(panel) : nullptr;
  };
}

TEST_F(SeatPanelTest, EveryChildSitsAtItsPlaceForBothScreenPositions) {
  struct Child { GPoint pos; GSize size; };  // size 0: a sprite or an animation, placed by its anchor
  struct Case { const char* name; Maker make; int32_t screenPos; GRect rect; std::vector<Child> children; };
  const GSize name{104, 14};
  const Case cases[] = {
      {"user", MakerOf<CVUserInfoWnd>(), 0, {626, 414, 800, 514},
       {{{626, 441}, name}, {{626, 461}, name}, {{626, 481}, name}, {{626, 501}, name},
        {{628, 498}, {}}, {{712, 498}, {}}, {{632, 474}, {}}}},
      {"user", MakerOf<CVUserInfoWnd>(), 1, {626, 25, 800, 125},
       {{{626, 46}, name}, {{626, 66}, name}, {{626, 86}, name}, {{626, 27}, name},
        {{628, 25}, {}}, {{712, 25}, {}}, {{632, 79}, {}}}},
      {"score", MakerOf<CVJumsuInfoWnd>(), 0, {638, 352, 792, 415},
       {{{658, 382}, {44, 29}}, {{652, 386}, {54, 23}}, {{707, 390}, {}}, {{658, 382}, {44, 29}},
        {{655, 380}, {48, 32}}, {{739, 391}, {}}, {{739, 391}, {48, 11}}, {{644, 354}, {}},
        {{674, 355}, {104, 21}}, {{673, 354}, {106, 21}}}},
      {"score", MakerOf<CVJumsuInfoWnd>(), 1, {638, 124, 792, 187},
       {{{658, 127}, {44, 29}}, {{652, 130}, {54, 23}}, {{707, 134}, {}}, {{658, 127}, {44, 29}},
        {{655, 125}, {48, 32}}, {{739, 137}, {}}, {{739, 137}, {48, 11}}, {{644, 163}, {}},
        {{674, 164}, {104, 21}}, {{673, 163}, {106, 21}}}},
      {"icons", MakerOf<CVHTIconWnd>(), 0, {632, 417, 723, 434}, {{{632, 417}, {}}, {{659, 417}, {}}, {{697, 417}, {}}}},
      {"icons", MakerOf<CVHTIconWnd>(), 1, {632, 104, 723, 121}, {{{632, 104}, {}}, {{659, 104}, {}}, {{697, 104}, {}}}},
      {"bak", MakerOf<CVBakIconWnd>(), 0, {12, 399, 105, 420},
       {{{12, 399}, {}}, {{15, 402}, {}}, {{45, 402}, {}}, {{75, 402}, {}}}},
      {"bak", MakerOf<CVBakIconWnd>(), 1, {12, 114, 105, 135},
       {{{12, 114}, {}}, {{15, 117}, {}}, {{45, 117}, {}}, {{75, 117}, {}}}},
      {"go-bak", MakerOf<CVGoBakAlertUIWnd>(), 0, {636, 338, 803, 397}, {{{636, 338}, {}}, {{738, 349}, {32, 21}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " at " << c.screenPos);
    const std::unique_ptr<CVPanelWnd> panel = c.make(&scene_, c.screenPos);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->GetRect(), c.rect);
    EXPECT_EQ(std::tuple(panel->IsVisible(), panel->IsEnabled()), std::tuple(1, 0));
    ASSERT_EQ(panel->GetChildren().size(), c.children.size());
    size_t i = 0;
    for (GVWnd* child : panel->GetChildren()) {
      const Child& want = c.children[i++];
      EXPECT_EQ(child->GetPos(), want.pos) << i;
      if (want.size.cx) {
        EXPECT_EQ(child->GetRect(), GRect(want.pos, want.size)) << i;
      }
    }
  }
  // A place without a row and a missing file both fail, the half-made panel freed.
  for (const Case& c : cases) EXPECT_EQ(c.make(&scene_, 2) == nullptr, c.name != std::string("go-bak")) << c.name;
  scene_.kRoot = "C:\\None\\";
  for (const Case& c : cases) EXPECT_EQ(c.make(&scene_, 0), nullptr) << c.name;
}

TEST_F(SeatPanelTest, IconsShowTheirCountsAsFrames) {
  CVHTIconWnd strip(nullptr);
  ASSERT_EQ(strip.Create(&scene_, 1), 1);
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
  strip.ResetIcons();
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(strip.Icon(i)->IsVisible(), 0);
}

TEST_F(SeatPanelTest, BakMarksFollowTheFlagsAndTheFrameAnyOfThem) {
  CVBakIconWnd bak(nullptr);
  ASSERT_EQ(bak.Create(&scene_, 1), 1);
  EXPECT_EQ(bak.Frame()->GetFrame(), 3);
  for (int32_t bits = 0; bits < 8; ++bits) {
    CHTUser seat;
    seat.gwangBak = bits & 1, seat.yeolBak = bits & 2, seat.piBak = bits & 4;
    bak.Update(seat);
    for (int32_t i = 0; i < 3; ++i) {
      EXPECT_EQ(bak.Mark(i)->IsVisible(), (bits >> i) & 1) << bits;
      EXPECT_EQ(bak.Mark(i)->GetFrame(), i);
    }
    EXPECT_EQ(bak.Frame()->IsVisible(), bits != 0 ? 1 : 0);
  }
  bak.ResetIcons();
  EXPECT_EQ(bak.Frame()->IsVisible(), 0);
}

}  // namespace seat_panels_test
