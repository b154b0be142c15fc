// The animated text row: characters laid out by alignment, each showing the
// sub-animation named by it, started together or one after another from the last.
#include "panels/CVQLATextWnd.h"

#include <gtest/gtest.h>

#include "panels/FakePanelScene.h"
#include "widgets/SpriteWidgetFixture.h"

namespace qla_text_wnd_test {

using testing_support::QlaAnimation;

class QLATextTest : public widget_test::SpriteWidgetTest {
 protected:
  void SetUp() override {
    SpriteWidgetTest::SetUp();
    std::vector<QlaAnimation> letters;
    for (const char* name : {"A", "B", "\xB0\xA1"}) {  // the last is a Korean syllable in CP949
      letters.push_back({.name = name, .frames = std::vector<testing_support::QlaFrame>(2)});
      for (auto& f : letters.back().frames) f.duration = 100, f.parts = {{0, 0, 0}};
    }
    Write("abc.qla", testing_support::QlaSetFile(letters, testing_support::SolidSpriteChunk(32, 4, 4, 0xFF, 0, 0)));
  }
  void Make(CVQLATextWnd& row, int32_t alignment, int32_t width = 100) {
    ASSERT_EQ(row.Create(&scene_, "abc.qla", GPoint(10, 20), GSize(width, 8), 6, 8, 1, alignment), 1);
  }
  panel_test::FakePanelScene scene_;
};

TEST_F(QLATextTest, CharactersAreLaidOutByAlignment) {
  struct Case { int32_t alignment, width; std::string text; int32_t firstX, n; const char* last; };
  const Case cases[] = {
      {0, 100, "AB", 10, 2, "B"},
      {2, 100, "AB", 97, 2, "B"},                // 110 - 2 x 6 - 1
      {1, 100, "AB", 10 + 87 / 2, 2, "B"},       // odd sum
      {1, 10, "ABAB", 10 + (-17 >> 1), 4, "B"},  // negative sum: 10 - 27
      {0, 200, "ABABABABABABA", 10, 12, "B"},    // thirteen show twelve
      {0, 100, "A\xB0\xA1", 10, 2, "\xB0\xA1"},   // a CP949 syllable is one character
  };
  for (const Case& c : cases) {
    CVQLATextWnd row;
    Make(row, c.alignment, c.width);
    row.SetText(c.text);
    EXPECT_EQ(row.CharCount(), c.n);
    for (int32_t i = 0; i < c.n; ++i) EXPECT_EQ(row.Char(i)->GetPos(), GPoint(c.firstX + 7 * i, 20)) << i;
    EXPECT_STREQ(row.Char(c.n - 1)->GetName(), c.last);
  }
}

TEST_F(QLATextTest, OneAfterAnotherStartsFromTheLast) {
  CVQLATextWnd row;
  Make(row, 0);
  row.SetText("ABA");
  row.Play(1, 0, 50);
  std::vector<int32_t> ticks;
  for (int32_t step = 0; step < 4; ++step) {
    plat::sim::AdvanceClock(25);
    ticks.push_back(row.Tick());
    plat::sim::AdvanceClock(25);
    ticks.push_back(row.Tick());
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(row.Char(i)->IsPlaying(), i >= 2 - step) << step << i;
  }
  for (size_t t = 1; t < 8; t += 2) EXPECT_EQ(ticks[t] == 2, t < 7) << t;
}

}  // namespace qla_text_wnd_test
