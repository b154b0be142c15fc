// The score panel: small and large forms, the total over its faint eights, the blink
// on a rise and the multiplier's sign.
#include "panels/CVJumsuInfoWnd.h"

#include <gtest/gtest.h>

#include "panels/SeatPanelFixture.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"

namespace jumsu_info_wnd_test {

using seat_panel_test::SeatPanelTest;
using J = CVJumsuInfoWnd;

class ScoreTest : public SeatPanelTest {
 protected:
  void SetUp() override {
    SeatPanelTest::SetUp();
    ASSERT_EQ(panel_.Create(&scene_, 0), 1);
  }
  void Show(int32_t points, int32_t goes, int32_t multiplier) {
    CHTUser seat;
    seat.points = points, seat.goCount = goes, seat.multiplier = multiplier;
    panel_.Update(seat);
  }
  BOOL Shown(J::Number n) const { return panel_.NumberOf(n)->IsVisible(); }
  BOOL Shown(J::Sprite s) const { return panel_.SpriteOf(s)->IsVisible(); }
  CVJumsuInfoWnd panel_{nullptr};
};

TEST_F(ScoreTest, SmallFormUntilSevenPointsAtTwiceThenTheTotalOverItsEights) {
  // placeholder -1: hidden.
  struct Case { int32_t points, goes, multiplier; BOOL large; int64_t total, placeholder; BOOL sign; };
  const Case cases[] = {
      {6, 0, 3, 0, 18, -1, 1},          {7, 0, 1, 0, 7, -1, 0},
      {5, 2, 2, 1, 14, 88888, 1},       {99999, 0, 10, 1, 999990, 8, 1},
      {500000, 0, 2, 1, 1000000, -1, 1}, {0, 0, 2, 0, 0, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.points << " + " << c.goes << " x " << c.multiplier);
    Show(c.points, c.goes, c.multiplier);
    const BOOL scored = c.points + c.goes > 0;
    EXPECT_EQ(std::tuple(Shown(J::kSmall), Shown(J::kLarge), Shown(J::kLabel), Shown(J::kTotalBack), Shown(J::kTotal)),
              std::tuple(scored && !c.large, c.large, scored, c.large, c.large));
    if (scored) {
      EXPECT_EQ(panel_.SpriteOf(J::kLabel)->GetFrame(), c.large);
    }
    EXPECT_EQ(panel_.NumberOf(J::kTotal)->GetNumber(), c.total);
    EXPECT_EQ(Shown(J::kPlaceholder) ? panel_.NumberOf(J::kPlaceholder)->GetNumber() : -1, c.placeholder);
    EXPECT_EQ(std::tuple(Shown(J::kSign), Shown(J::kMultiplier)), std::tuple(c.sign, c.sign));
    EXPECT_EQ(panel_.NumberOf(J::kMultiplier)->GetNumber(), c.multiplier);
  }
}

TEST_F(ScoreTest, TheEightsAreDrawnLeftOfTheTotal) {
  Show(5, 2, 2);
  DDSurface screen = widget_test::MakeSurface(dd_, 800, 420);
  ClearSurface(screen, 0);
  ASSERT_EQ(panel_.Draw(screen.Get(), GRect(0, 0, 800, 420)), 1);
  // Row 357 crosses the placeholder (from 355) and the total (from 354) only. Each run of
  // one glyph's colour is one digit; -1 marks a placeholder digit other than 8.
  const std::vector<uint32_t> px = widget_test::ReadPixels(screen);
  std::vector<std::pair<int32_t, int32_t>> row;  // digit, first column
  int32_t last = -2;
  for (int32_t x = 0; x < 800; ++x) {
    const uint32_t p = px[size_t(357 * 800 + x)];
    int32_t digit = -2;
    for (int32_t d = 0; d < 10; ++d)
      if (p == Pixel(seat_panel_test::TotalColour(d))) digit = d;
    if (digit == -2 && p != 0) digit = (p & 0xFFFF00) == 0 ? 8 : -1;
    if (digit != -2 && digit != last) row.push_back({digit, x});
    last = digit;
  }
  // The eights run from the placeholder's left edge with a 1-pixel gap; the total's
  // digits overlap by one column (spacing -1), where the 1 shows.
  const std::vector<std::pair<int32_t, int32_t>> expected = {{8, 674}, {8, 679}, {8, 684}, {8, 689}, {8, 694},
                                                             {1, 772}, {4, 776}};
  EXPECT_EQ(row, expected);
}

TEST_F(ScoreTest, TheBlinkStartsOnARiseInTheSmallFormOnly) {
  struct Step { int32_t points, multiplier; BOOL blinking; };
  const Step steps[] = {{2, 1, 1}, {2, 1, 1}, {1, 1, 1}, {0, 1, 0}, {2, 1, 1}, {9, 2, 0}, {3, 1, 0}, {4, 1, 1}};
  for (const Step& s : steps) {
    Show(s.points, 0, s.multiplier);
    EXPECT_EQ(panel_.IsBlinking(), s.blinking) << s.points;
  }
  // A repeated score after the blink ran out does not start it again.
  plat::sim::AdvanceClock(J::kBlinkPhaseMs * 9);
  panel_.TickBlink();
  Show(4, 0, 1);
  EXPECT_EQ(panel_.IsBlinking(), 0);
  panel_.ResetScore();
  Show(1, 0, 1);
  EXPECT_EQ(panel_.IsBlinking(), 1);
}

TEST_F(ScoreTest, BlinkPhasesRunAcrossTheClockWrap) {
  plat::sim::SetTickBase(0xFFFFFFFFu - 450);  // phase 2 falls after the wrap
  Show(3, 0, 1);
  // Highlight A, highlight B by 300 ms phase; the blink ends at phase 9.
  const std::pair<BOOL, BOOL> expected[] = {{0, 1}, {1, 0}, {0, 1}, {1, 0}, {0, 1},
                                            {1, 0}, {1, 0}, {1, 0}, {1, 0}, {0, 0}};
  for (int32_t phase = 0; phase < 10; ++phase) {
    EXPECT_EQ(panel_.TickBlink(), 1) << phase;
    EXPECT_EQ(std::pair(Shown(J::kHighlightA), Shown(J::kHighlightB)), expected[phase]) << phase;
    plat::sim::AdvanceClock(J::kBlinkPhaseMs);
  }
  EXPECT_EQ(panel_.TickBlink(), 0);
  EXPECT_EQ(panel_.IsBlinking(), 0);
}

TEST_F(ScoreTest, TheSignMovesLeftOfLongerMultipliers) {
  const GPoint p = panel_.NumberOf(J::kMultiplier)->GetPos();
  for (const auto& [multiplier, x] : {std::pair{3, 28}, {12, 21}, {100, 14}}) {
    Show(1, 0, multiplier);
    EXPECT_EQ(panel_.SpriteOf(J::kSign)->GetPos(), GPoint(p.x + x, p.y + 1)) << multiplier;
  }
}

}  // namespace jumsu_info_wnd_test
