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

std::vector<int32_t> Glyphs(const GVPSPNumberWnd& w) {
  return std::vector<int32_t>(w.GetGlyphs(), w.GetGlyphs() + w.GetGlyphCount());
}

struct GlyphCase {
  int64_t value;
  uint32_t flags;
  std::vector<int32_t> glyphs;
};

TEST(GVPSPNumberWnd, GlyphStringsFollowTheFormatFlags) {
  const GlyphCase cases[] = {
      {1234567, 0x20000, {1, 12, 2, 3, 4, 12, 5, 6, 7}},
      {1234567, 0x10000, {1, 2, 3, 14, 4, 5, 6, 7}},
      {12345678, 0x10000, {1, 2, 3, 4, 14, 5, 6, 7, 8}},
      {123456789, 0x10000, {1, 15, 2, 3, 4, 5, 14, 6, 7, 8, 9}},
      {1234, 0x30000, {1, 12, 2, 3, 4}},  // separators win over units
      {123456, 0x20000, {1, 2, 3, 12, 4, 5, 6}},
      {999, 0x20000, {9, 9, 9}},
      {0, 0x80000, {0}},
      {-5, 0x80000, {10, 5}},
      {7, 0x80000 | 0x40000, {11, 7, 13}},
      {-1000, 0x20000 | 0x40000, {10, 1, 12, 0, 0, 0, 13}},
      {INT64_MIN, 0, {10, 9, 2, 2, 3, 3, 7, 2, 0, 3, 6, 8, 5, 4, 7, 7, 5, 8, 0, 8}},
      {INT64_MIN, 0x10000, {10, 9, 2, 2, 17, 3, 3, 7, 2, 16, 0, 3, 6, 8, 15, 5, 4, 7, 7, 14, 5, 8, 0, 8}},
      {INT64_MAX, 0x20000 | 0x40000 | 0x80000,
       {11, 9, 12, 2, 2, 3, 12, 3, 7, 2, 12, 0, 3, 6, 12, 8, 5, 4, 12, 7, 7, 5, 12, 8, 0, 7, 13}},
  };
  for (const GlyphCase& c : cases) {
    GVPSPNumberWnd w;
    w.SetStyle(c.flags, 0);
    w.SetNumber(c.value);
    EXPECT_EQ(Glyphs(w), c.glyphs) << c.value << " flags " << std::hex << c.flags;
    EXPECT_EQ(w.GetGlyphs()[w.GetGlyphCount()], 0);
  }
}

TEST_F(NumberWidgetTest, MiddleAndBottomSetTheRow) {
  const std::string& file = file_;
  GVPSPNumberWnd w;
  ASSERT_EQ(w.Load(file.c_str(), 0, 10, 20, 12), 1);
  w.SetNumber(8);
  const struct {
    uint32_t flags;
    int32_t top;
  } cases[] = {{0, 10}, {GVPSPNumberWnd::kMiddle, 10 + (12 - kGlyphH) / 2}, {GVPSPNumberWnd::kBottom, 22 - kGlyphH},
               {GVPSPNumberWnd::kMiddle | GVPSPNumberWnd::kBottom, 13}};
  for (const auto& c : cases) {
    w.SetStyle(c.flags, 0);
    Redraw(w);
    EXPECT_EQ(Painted(), GRect(0, c.top, kGlyphW, c.top + kGlyphH)) << c.flags;
  }
}

TEST_F(NumberWidgetTest, BlendLevelsDimOrHide) {
  const std::string& file = file_;
  GVPSPNumberWnd w;
  ASSERT_EQ(w.Load(file.c_str(), 0, 0, 20, kGlyphH), 1);
  w.SetNumber(9);
  const uint32_t bright = Pixel(GlyphColour(9));
  w.SetDirty(0);
  w.SetBlendLevel(0);
  EXPECT_TRUE(w.IsDirty());
  Redraw(w);
  EXPECT_EQ(At(0, 0), bright);
  EXPECT_FALSE(w.IsDirty());
  w.SetBlendLevel(23);
  Redraw(w);
  EXPECT_NE(At(0, 0), bright);
  EXPECT_NE(At(0, 0), 0u);
  w.SetBlendLevel(31);
  Redraw(w);
  EXPECT_FALSE(w.IsDirty()) << "the last level that is still drawn";
  for (int32_t level : {32, 33, 300}) {
    w.SetBlendLevel(level);
    Redraw(w);
    EXPECT_EQ(Painted(), GRect()) << level;
    EXPECT_TRUE(w.IsDirty());
  }
}

TEST_F(NumberWidgetTest, GlyphBaseAndChangeSprite) {
  const std::string& file = file_;
  // A set whose frame 2 is wider: a base there takes its size.
  std::vector<Bytes> frames;
  for (int32_t i = 0; i < 20; ++i)
    frames.push_back(testing_support::SolidSpriteChunk(32, i >= 2 ? 5 : 2, 7, GlyphColour(i % kGlyphKinds), 0, 0));
  const std::string other = Write("wide.psp", testing_support::PspFile(frames));
  GVPSPNumberWnd w;
  ASSERT_EQ(w.Load(file.c_str(), 0, 0, 30, 10), 1);
  const uint32_t first = Held(w);
  w.SetNumber(1);
  EXPECT_EQ(w.ChangeSprite("C:\\Sprites\\absent.psp", 2), 0);
  EXPECT_EQ(Held(w), first);
  ASSERT_EQ(w.ChangeSprite(other.c_str(), 2), 1);
  EXPECT_EQ(Count(first), 0);
  EXPECT_EQ(w.GetGlyphBase(), 2);
  EXPECT_EQ(w.GetGlyphSize(), GSize(5, 7));
  Redraw(w);
  EXPECT_EQ(At(0, 0), Pixel(GlyphColour(3)));  // digit 1 is frame base + 1
  ASSERT_EQ(w.ChangeSprite(other.c_str(), 19), 1);
  EXPECT_EQ(w.GetGlyphBase(), 19) << "the set's last frame";
  // A base past the set falls back to 0.
  ASSERT_EQ(w.ChangeSprite(other.c_str(), 20), 1);
  EXPECT_EQ(w.GetGlyphBase(), 0);
  EXPECT_EQ(w.GetGlyphSize(), GSize(2, 7));
  w.SetGlyphBase(99);  // ignored
  EXPECT_EQ(w.GetGlyphBase(), 0);
}

}  // namespace
}  // namespace widget_test
