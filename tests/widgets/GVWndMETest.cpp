#include "widgets/GVWndME.h"

#include <gtest/gtest.h>

#include "ScrollBarTestSupport.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "widgets/GVPushBtn.h"

namespace widget_test {
namespace {

using Pieces = std::vector<std::string>;

// The test font: 'i' is 4 wide, 'W' 16, any byte from 0x80 up 7 (a two-byte Hangul
// syllable 14), every other byte 10, and no kerning.
int32_t TestFontWidth(const char* text, int32_t count) {
  int32_t w = 0;
  for (int32_t i = 0; i < count; ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    w += b == 'i' ? 4 : b == 'W' ? 16 : b >= 0x80 ? 7 : 10;
  }
  return w;
}

// CP949 syllables: GA and NA.
const std::string kGa = "\xB0\xA1";
const std::string kNa = "\xB3\xAA";

TEST(GVWndMEWrap, PiecesFollowTheWidthRules) {
  struct Case { const char* what; std::string text; int32_t width; Pieces pieces; };
  const Case cases[] = {
      {"narrower than the view stays whole", "abc", 31, {"abc"}},
      {"exactly as wide as the view is split", "abc", 30, {"ab", "c"}},
      {"the cut is before the first byte that reaches the width", "abcdefg", 35, {"abc", "def", "g"}},
      {"narrow and wide advances add up", "iiWiii", 30, {"iiWi", "ii"}},
      {"a cut on a lead byte moves one byte left", "a" + kGa + "b", 20, {"a", kGa, "b"}},
      {"a syllable that fits stays with the byte before", "a" + kGa + "b", 30, {"a" + kGa, "b"}},
      {"a cut after a whole syllable stays", kGa + kNa + "b", 15, {kGa, kNa, "b"}},
      {"a first character wider than the view still ends", "abc", 5, {"a", "b", "c"}},
      {"a syllable wider than the view goes whole", kGa + kNa, 10, {kGa, kNa}},
      {"a view of no width gives one character per piece", "a" + kGa, 0, {"a", kGa}},
      {"a lone lead byte at the end is its own piece", "ab\xB0", 15, {"a", "b", "\xB0"}},
      {"line breaks are measured like other bytes", "ab\r\ncd", 40, {"ab\r", "\ncd"}},
      {"an empty text is one empty piece", "", 30, {""}},
      // CP949 extension syllables take trail bytes from 0x41: the byte after a lead
      // byte is its trail whatever its value.
      {"extension syllables split whole", "\x81\x41\x81\x41", 27, {"\x81\x41", "\x81\x41"}},
      {"an extension syllable between letters", "a\x81\x41" "b", 18, {"a", "\x81\x41", "b"}},
  };
  for (const Case& c : cases) EXPECT_EQ(GVWndME::SplitToWidth(c.text, c.width, TestFontWidth), c.pieces) << c.what;
}

class GVWndMETest : public ControlTest {
 protected:
  // 5 rows of 20 pixels, 200 wide.
  static constexpr GRect kViewRect{10, 10, 210, 110};
  static constexpr int32_t kFontHeight = 12;
  void SetUp() override {
    ControlTest::SetUp();
    ASSERT_EQ(view_.Create(kViewRect, GVWnd::kNoColorKey, kFontHeight), 1);
  }
  void TearDown() override {
    view_.ReleaseImage();
    bar_.reset();
    ControlTest::TearDown();
  }
  void Add(const std::string& text, BOOL append = 1) {
    GVWndMELine line;
    line.text = text;
    view_.AddText(line, append);
  }
  void AddNumbered(int from, int to) {
    for (int i = from; i <= to; ++i) Add("L" + std::to_string(i));
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const GVWndMELine& l : view_.GetLines()) out.push_back(l.text);
    return out;
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> out;
    for (GVWndMELineItem* row : view_.GetRows()) out.push_back(row->GetText());
    return out;
  }
  void AttachBar() {
    // L = 100 for a 152-high bar.
    bar_ = MakeBar(&view_, GRect(210, 10, 226, 162));
    view_.SetScrollBar(bar_.get());
  }
  std::pair<uint32_t, int32_t> TopAndThumb() { return {view_.GetTopIndex(), ThumbOffset()}; }
  int32_t ThumbOffset() { return bar_->GetThumb()->GetRect().top - bar_->GetUpButton()->GetRect().bottom; }
  GVWndME view_;
  std::unique_ptr<GVScrollBar> bar_;
};

TEST_F(GVWndMETest, CreateBuildsOneRowPerLineHeightAndATallViewRaisesTheMaximum) {
  EXPECT_EQ(view_.GetVisibleCount(), 5u);
  ASSERT_EQ(view_.GetRows().size(), 5u);
  EXPECT_EQ(view_.GetRows()[4]->GetRect(), GRect(10, 90, 210, 110));
  EXPECT_EQ(view_.GetMaxLines(), 100u);
  view_.SetRect(GRect(0, 0, 100, 20 * 120));
  EXPECT_EQ(std::pair(view_.GetVisibleCount(), view_.GetMaxLines()), std::pair(120u, 120u));
}

TEST_F(GVWndMETest, TheStoreKeepsTheNewestHundredLinesAndShowsTheLastOnes) {
  AddNumbered(1, 3);
  EXPECT_EQ(view_.GetTopIndex(), 0u);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"L1", "L2", "L3", "", ""}));
  AddNumbered(4, 6);
  EXPECT_EQ(view_.GetTopIndex(), 1u);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"L2", "L3", "L4", "L5", "L6"}));
  AddNumbered(7, 101);
  ASSERT_EQ(view_.GetLines().size(), 100u);
  EXPECT_EQ(view_.GetLines().front().text + view_.GetLines().back().text, "L2L101");
  EXPECT_EQ(view_.GetTopIndex(), 95u);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"L97", "L98", "L99", "L100", "L101"}));
}

TEST_F(GVWndMETest, ViewsTooNarrowOrTooShortStillEnd) {
  view_.SetRect(GRect(0, 0, 1, 100));
  Add(kGa + "ab" + kNa);
  EXPECT_EQ(Texts(), (std::vector<std::string>{kGa, "a", "b", kNa}));
  // Shorter than a line: no rows, and texts are kept whole.
  view_.SetRect(GRect(0, 0, 50, 19));
  EXPECT_TRUE(view_.GetRows().empty() && view_.GetVisibleCount() == 0u);
  const std::string longText(300, 'W');
  Add(longText, 0);
  EXPECT_EQ(Texts(), std::vector<std::string>{longText});
  DDSurface back = MakeSurface(dd_, 60, 30);
  ClearSurface(back, 0);
  EXPECT_EQ(view_.Draw(back.Get(), GRect(0, 0, 60, 30)), 1);
  for (uint32_t v : ReadPixels(back)) ASSERT_EQ(v, 0u);
}

TEST_F(GVWndMETest, ThumbTrackMovesTheWindowAndRefusesPositionsOffTheScale) {
  AddNumbered(1, 5);
  EXPECT_EQ(view_.OnScroll(SB_THUMBTRACK, 500, nullptr), 0) << "needs more lines than rows";
  AddNumbered(6, 20);
  EXPECT_EQ(view_.OnScroll(SB_TOP, 0, nullptr), 1);
  EXPECT_EQ(view_.GetTopIndex(), 0u);
  // Top 15 x position / 1000, truncated; only the low 16 bits count.
  for (auto [pos, taken, top] : {std::tuple{1000, 1, 15u}, {500, 1, 7u}, {1001, 0, 7u}, {-1, 0, 7u}, {0xFFFF, 0, 7u},
                                 {0x10000 + 200, 1, 3u}}) {
    EXPECT_EQ(view_.OnScroll(SB_THUMBTRACK, pos, nullptr), taken) << pos;
    EXPECT_EQ(view_.GetTopIndex(), top) << pos;
  }
}

TEST_F(GVWndMETest, ReplacingTheTextDisablesTheBarUntilThereAreMoreLinesThanRows) {
  AttachBar();
  AddNumbered(1, 8);
  EXPECT_TRUE(bar_->IsEnabled());
  Add("fresh", 0);
  EXPECT_EQ(Texts(), std::vector<std::string>{"fresh"});
  EXPECT_EQ(TopAndThumb(), std::pair(0u, 0));
  EXPECT_FALSE(bar_->IsEnabled());
  AddNumbered(2, 5);
  EXPECT_FALSE(bar_->IsEnabled()) << "five lines fit the five rows";
  AddNumbered(6, 6);
  EXPECT_TRUE(bar_->IsEnabled());
  EXPECT_EQ(ThumbOffset(), 100);
}

TEST_F(GVWndMETest, DrawFillsTheViewThenItsRowsAndSkipsWhenHiddenOrMissed) {
  // Keyed rows are transparent where they have no glyphs, so the fill shows through.
  view_.SetColorKey(DevicePixel(DisplayFormat::Xrgb8888, 0xFF, 0, 0xFF));
  view_.SetRect(kViewRect);
  view_.SetBkColor(DevicePixel(DisplayFormat::Xrgb8888, 0, 0, 0x80));
  DDSurface back = MakeSurface(dd_, 220, 120);
  ClearSurface(back, 0);
  EXPECT_EQ(view_.Draw(back.Get(), GRect(0, 0, 5, 5)), 1) << "a clip beside the view draws nothing";
  EXPECT_EQ(PixelAt(back, 100, 50), 0u);
  for (BOOL shown : {0, 1}) {
    view_.Show(shown);
    EXPECT_EQ(view_.Draw(back.Get(), GRect(0, 0, 220, 120)), 1);
    EXPECT_EQ(PixelAt(back, 100, 50), shown ? 0x80u : 0u);
  }
  EXPECT_EQ(PixelAt(back, 5, 5), 0u);
}

TEST_F(GVWndMETest, EachPieceTakesTheRecordsFormatAndColoursAndTheRecordKeepsTheLast) {
  view_.SetMeasureWnd(nullptr);
  GVWndMELine line;
  line.text = std::string(400, 'W');
  line.format = 2;
  line.textColor = 0x0000FF;
  view_.AddText(line, 1);
  ASSERT_GT(view_.GetLines().size(), 1u) << "400 capitals cannot fit 200 pixels";
  std::string joined;
  for (const GVWndMELine& l : view_.GetLines()) {
    EXPECT_EQ(l.format, 2u);
    EXPECT_EQ(l.textColor, 0x0000FFu);
    joined += l.text;
  }
  EXPECT_EQ(joined, std::string(400, 'W'));
  EXPECT_EQ(line.text, view_.GetLines().back().text);
}

TEST_F(GVWndMETest, LineStepsStopAtBothEndsButStillResyncTheBar) {
  AttachBar();
  AddNumbered(1, 20);
  ASSERT_EQ(view_.GetTopIndex(), 15u);
  bar_->SetThumbPos(5, 20, 0);  // put the thumb out of step
  EXPECT_EQ(view_.OnScroll(SB_LINEDOWN, 0, bar_.get()), 1);
  EXPECT_EQ(view_.GetTopIndex(), 15u);
  EXPECT_EQ(ThumbOffset(), 100);

  view_.OnScroll(SB_TOP, 0, bar_.get());
  bar_->SetThumbPos(5, 20, 15);
  EXPECT_EQ(view_.OnScroll(SB_LINEUP, 0, bar_.get()), 1);
  EXPECT_EQ(view_.GetTopIndex(), 0u);
  EXPECT_EQ(ThumbOffset(), 0);

  view_.OnScroll(SB_LINEDOWN, 0, bar_.get());
  EXPECT_EQ(view_.GetTopIndex(), 1u);
  EXPECT_EQ(ThumbOffset(), 6);  // 100 x 1 / 15
  view_.OnScroll(SB_BOTTOM, 0, bar_.get());
  EXPECT_EQ(view_.GetTopIndex(), 15u);
  for (int32_t code : {SB_PAGEUP, SB_PAGEDOWN, SB_THUMBPOSITION, 99}) {
    EXPECT_EQ(view_.OnScroll(code, 0, bar_.get()), 1);
    EXPECT_EQ(view_.GetTopIndex(), 15u) << code;
  }
}

}  // namespace
}  // namespace widget_test
