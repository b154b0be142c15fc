#include "widgets/GVPSPNumberWnd.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "SpriteWidgetFixture.h"

namespace widget_test {
namespace {

constexpr int32_t kGlyphW = 3, kGlyphH = 5;
constexpr int32_t kGlyphKinds = 18;

COLORREF GlyphColour(int32_t i) { return RGB(uint8_t(8 * (i + 1)), 64, 128); }

Bytes GlyphSet(int32_t w = kGlyphW, int32_t h = kGlyphH) {
  std::vector<Bytes> frames;
  for (int32_t i = 0; i < kGlyphKinds; ++i)
    frames.push_back(testing_support::SolidSpriteChunk(32, w, h, GlyphColour(i), 0, 0));
  return testing_support::PspFile(frames);
}

class NumberWidgetTest : public SpriteWidgetTest {
 protected:
  void SetUp() override {
    SpriteWidgetTest::SetUp();
    file_ = Write("digits.psp", GlyphSet());
  }
  std::string file_;
  // The glyphs painted along row y, left to right, with their first column.
  std::vector<std::pair<int32_t, int32_t>> Row(int32_t y) const {
    std::vector<std::pair<int32_t, int32_t>> out;
    int32_t last = -1;
    for (int32_t x = 0; x < kBackWidth; ++x) {
      int32_t glyph = -1;
      for (int32_t i = 0; i < kGlyphKinds; ++i)
        if (At(x, y) == Pixel(GlyphColour(i))) glyph = i;
      if (glyph >= 0 && glyph != last) out.push_back({glyph, x});
      last = glyph;
    }
    return out;
  }
  void Redraw(GVPSPNumberWnd& w) {
    Clear();
    ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
  }
};

TEST_F(NumberWidgetTest, LeftAndCentredRowsWithTheArithmeticShift) {
  using Row3 = std::vector<std::pair<int32_t, int32_t>>;
  // Centring starts at left + ((width - count x (glyph + spacing) + spacing) >> 1); a
  // negative odd sum rounds down, where a division would round towards zero.
  // row: each glyph and its first painted column (the widget clips).
  const struct { uint32_t flags; int32_t width; Row3 row; } cases[] = {
      {0, 11, {{1, 20}, {2, 25}, {3, 30}}},
      {GVPSPNumberWnd::kCentred, 20, {{1, 23}, {2, 28}, {3, 33}}},  // (20 - 15 + 2) >> 1 = 3
      {GVPSPNumberWnd::kCentred, 10, {{1, 20}, {2, 23}, {3, 28}}},  // (10 - 15 + 2) >> 1 = -2
      {GVPSPNumberWnd::kCentred | GVPSPNumberWnd::kRightAligned, 10, {{2, 22}, {3, 27}}},  // 1 falls outside
  };
  for (const auto& c : cases) {
    GVPSPNumberWnd w;
    ASSERT_EQ(w.Load(file_.c_str(), 20, 0, c.width, kGlyphH), 1);
    w.SetStyle(c.flags, 2);
    w.SetNumber(123);
    Redraw(w);
    EXPECT_EQ(Row(0), c.row) << c.flags << " " << c.width;
  }
}

TEST_F(NumberWidgetTest, DrawsOnlyInsideTheClipAndTheWidget) {
  GVPSPNumberWnd w;
  ASSERT_EQ(w.Load(file_.c_str(), 4, 0, 7, kGlyphH), 1);  // room for two glyphs and a bit
  w.SetNumber(123);
  Redraw(w);
  EXPECT_EQ(Painted(), GRect(4, 0, 11, kGlyphH));
  Clear();
  EXPECT_EQ(w.Draw(back_.Get(), GRect(0, 0, 6, 48)), 1);
  EXPECT_EQ(Painted(), GRect(4, 0, 6, kGlyphH));
  Clear();
  w.SetDirty(1);
  EXPECT_EQ(w.Draw(back_.Get(), GRect(30, 30, 40, 40)), 1);  // misses the widget
  EXPECT_EQ(Painted(), GRect());
  EXPECT_TRUE(w.IsDirty());
  EXPECT_EQ(w.Draw(nullptr, Screen()), 1);
}

TEST_F(NumberWidgetTest, ReloadsBalanceTheManagerAndAFailedLoadHoldsNothing) {
  const std::string single = Write("one.qls", testing_support::SolidSpriteChunk(32, 2, 2, 0x00FF00, 0, 0));
  GVPSPNumberWnd w;
  ASSERT_EQ(w.Load(file_.c_str(), 0, 0, 10, 10), 1);
  const uint32_t h = Held(w);
  ASSERT_EQ(w.Load(file_.c_str(), 0, 0, 10, 10), 1);
  EXPECT_EQ(Held(w), h);
  EXPECT_EQ(Count(h), 1);
  EXPECT_EQ(w.Load(single.c_str(), 0, 0, 10, 10), 0);  // not a set
  EXPECT_EQ(Count(h), 0);
  EXPECT_EQ(std::pair(rm::Manager().FindByName("one.qls"), Held(w)), std::pair(0u, 0u));
  w.SetNumber(5);
  EXPECT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect());
  ASSERT_EQ(w.Load(file_.c_str(), 0, 0, 10, 10), 1);
  w.SetStyle(0x20000, 2);
  w.SetBlendLevel(5);
  w.ReleaseImage();
  EXPECT_EQ(Count(h), 0);
  EXPECT_EQ(std::pair(w.GetStyle(), w.GetGlyphCount()), std::pair(0u, 0));
}

}  // namespace
}  // namespace widget_test
