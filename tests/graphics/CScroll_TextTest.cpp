// The scrolling line holder: lines from sprite files, their timing, the hand-over to
// the next line, repeating, removing, the read position past the end, and the strip
// clip on fenced images.
#include "graphics/CScroll_Text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "graphics/KK_FXMan.h"
#include "plat/sim.h"
#include "support/FencedBuffer.h"
#include "graphics/GraphicsTestKit.h"
#include "support/SpriteFileWriters.h"

namespace cscroll_text_test {

using namespace testing_support;

// The notice strip: (96, 5)-(274, 17), lines of 100 pixels scrolled 178 pixels in 4 s.
constexpr int32_t kLeft = 96, kTop = 5, kWidth = 178, kHeight = 12;
constexpr int32_t kRight = kLeft + kWidth, kBottom = kTop + kHeight;
constexpr int32_t kScrollTime = 4000;
constexpr int32_t kSpriteWidth = 100, kSpriteHeight = 16;  // taller than the strip
constexpr int32_t kEnd = kSpriteWidth + kWidth;            // 278
constexpr uint32_t kDuration = 6247;                       // 278 x 4000 / 178, truncated
constexpr uint32_t kT0 = 1000;

class ScrollTextTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateFXManager(32), 1);
    dir.Put("a.psp", PspFile({SolidSpriteChunk(32, kSpriteWidth, kSpriteHeight, 0x0000FF, 0, 0),
                              SolidSpriteChunk(32, 40, 4, 0x00FF00, 0, 0)}));
    holder.Set(kLeft, kTop, kWidth, kHeight, 0, 0, 0);
  }
  void TearDown() override { DestroyFXManager(); }
  int32_t AddLine() { return holder.AddSpriteLine("C:\\Game\\a.psp", 0, kWidth, kScrollTime); }

  gfx_test::Folder dir{"C:\\Game\\"};
  CScroll_Text holder;
};

// A 32-bit image on fenced rows: any draw outside the rows faults.
struct Canvas {
  static constexpr int32_t kW = 300, kH = 24;
  FencedBuffer buf{kH, kW * 4, FencedBuffer::Fence::kEveryRow};
  K_Dib image;
  explicit Canvas(uint8_t fill = 0) {
    for (int32_t y = 0; y < kH; ++y) std::memset(buf.Row(y), fill, size_t(kW) * 4);
    image.Attach(buf.Bits(), buf.Pitch(), 4, kW, kH);
  }
  bool Drawn(int32_t x, int32_t y) const { return image.GetPixel(x, y) != 0; }
  // The columns [from, to) of row y that hold sprite pixels, as a count.
  int32_t DrawnIn(int32_t y, int32_t from, int32_t to) const {
    int32_t n = 0;
    for (int32_t x = from; x < to; ++x) n += Drawn(x, y) ? 1 : 0;
    return n;
  }
  bool Untouched() const {
    int32_t n = 0;
    for (int32_t y = 0; y < kH; ++y) n += DrawnIn(y, 0, kW);
    return n == 0;
  }
};

TEST_F(ScrollTextTest, WithoutLinesNothingIsDrawnOrMovedAndStaticModeDrawsTheCurrentLineAtTheLeft) {
  Canvas c;
  EXPECT_FALSE(holder.HasLines());
  EXPECT_EQ((std::vector<int>{holder.Draw(&c.image), holder.Draw(&c.image, 1), holder.Update(kT0, 0, 0)}), std::vector<int>(3, 0));
  EXPECT_TRUE(c.Untouched());
  ASSERT_EQ(AddLine(), 0);
  EXPECT_EQ(holder.Draw(nullptr), 0);
  holder.SetMode(CScroll_Text::kModeStatic);
  holder.Start();
  for (uint32_t t : {kT0, kT0 + 3000, kT0 + 9000}) EXPECT_EQ(holder.Update(t, 0, 0), 0);
  EXPECT_EQ((std::vector<int>{holder.CurrentIndex(), holder.Line(0)->current}), (std::vector<int>{0, 0}));
  Canvas still;
  EXPECT_EQ(holder.Draw(&still.image), 1);
  EXPECT_EQ(still.DrawnIn(kTop, 0, Canvas::kW), kSpriteWidth);
  EXPECT_EQ((std::vector<bool>{still.Drawn(kLeft - 1, kTop), still.Drawn(kLeft, kTop)}), (std::vector<bool>{false, true}));
}

TEST_F(ScrollTextTest, AddSpriteLineTimesTheWholeMoveFromTheStripWidth) {
  ASSERT_EQ(AddLine(), 0);
  const KK_LLESprite_Scroll* line = holder.Line(0);
  EXPECT_EQ((std::vector<int64_t>{line->start, line->end, line->duration, line->running}),
            (std::vector<int64_t>{0, kEnd, kDuration, 0}));
  // The second sprite of the file, and the width 0 that takes the time as it is.
  EXPECT_EQ(holder.AddSpriteLine("C:\\Game\\a.psp", 1, 0, 700), 1);
  EXPECT_EQ((std::vector<int64_t>{holder.Line(1)->end, holder.Line(1)->duration}), (std::vector<int64_t>{40, 700}));
  // A file or sprite that does not load adds nothing.
  EXPECT_EQ(holder.AddSpriteLine("C:\\Game\\missing.psp", 0, kWidth, kScrollTime), -1);
  EXPECT_EQ(holder.AddSpriteLine("C:\\Game\\a.psp", 2, kWidth, kScrollTime), -1);
  EXPECT_EQ(holder.AddSpriteLine(nullptr, 0, kWidth, kScrollTime), -1);
  EXPECT_EQ(holder.LineCount(), 2);
}

TEST_F(ScrollTextTest, TheLineIsDrawnFromTheStripsRightEdgeClippedToTheStripAndFramedOnRequest) {
  ASSERT_EQ(AddLine(), 0);
  KK_LLESprite_Scroll& line = *holder.Line(0);
  // Entering: only the first 50 columns are inside; the rows below the strip stay clean.
  line.current = 50;
  {
    Canvas c;
    EXPECT_EQ(holder.Draw(&c.image), 1);
    EXPECT_EQ(c.DrawnIn(kTop, 0, Canvas::kW), 50);
    EXPECT_EQ((std::vector<bool>{c.Drawn(kRight - 50, kTop), c.Drawn(kRight - 1, kBottom - 1), c.Drawn(kRight, kTop),
                                 c.Drawn(kRight - 50, kTop - 1)}),
              (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(c.DrawnIn(kBottom, 0, Canvas::kW), 0);
    const K_Rect& clip = c.image.ClipRect();  // the caller's clip comes back
    EXPECT_EQ((std::vector<int32_t>{clip.left, clip.top, clip.right, clip.bottom}),
              (std::vector<int32_t>{0, 0, Canvas::kW, Canvas::kH}));
  }
  // Leaving: the left edge is 4 pixels left of the strip.
  line.current = kWidth + 4;
  {
    Canvas c;
    holder.Draw(&c.image);
    EXPECT_EQ(c.DrawnIn(kTop, 0, Canvas::kW), kSpriteWidth - 4);
    EXPECT_EQ((std::vector<bool>{c.Drawn(kLeft - 1, kTop), c.Drawn(kLeft, kTop)}), (std::vector<bool>{false, true}));
  }
  line.current = 0;  // not entered yet: nothing is drawn
  Canvas none;
  EXPECT_EQ(holder.Draw(&none.image), 1);
  EXPECT_TRUE(none.Untouched());
  // The frame flag outlines the strip in colour 0 (and only then).
  Canvas plain(0xFF), framed(0xFF);
  holder.Draw(&plain.image, 0);
  EXPECT_EQ(plain.image.GetPixel(kLeft, kTop), 0xFFFFFFFFu);
  holder.Draw(&framed.image, 1);
  for (int32_t y = kTop - 1; y <= kBottom; ++y)
    for (int32_t x = kLeft - 1; x <= kRight; ++x) {
      const bool inside = x >= kLeft && x < kRight && y >= kTop && y < kBottom;
      const bool edge = inside && (x == kLeft || x == kRight - 1 || y == kTop || y == kBottom - 1);
      EXPECT_EQ(framed.image.GetPixel(x, y), edge ? 0u : 0xFFFFFFFFu) << x << "," << y;
    }
}

TEST_F(ScrollTextTest, OneLineMovesUntilItFinishesThenReportsTheEnd) {
  ASSERT_EQ(AddLine(), 0);
  holder.Start();
  const KK_LLESprite_Scroll& line = *holder.Line(0);
  EXPECT_EQ(holder.Update(kT0, 0, 0), 1);  // the first update takes the clock
  EXPECT_EQ(holder.Update(kT0 + kDuration / 2, 0, 0), 1);
  EXPECT_EQ(line.current, kEnd / 2 - 1);  // 278 x 3123 / 6247, truncated
  EXPECT_EQ(holder.Update(kT0 + kDuration - 1, 0, 0), 1);
  EXPECT_EQ(holder.Update(kT0 + kDuration, 0, 0), 2);
  // Parked at the end with its clock cleared; later updates keep reporting the end.
  EXPECT_EQ((std::vector<int64_t>{line.current, holder.CurrentIndex(), line.lastTick, line.elapsed}),
            (std::vector<int64_t>{kEnd, 1, 0, 0}));
  EXPECT_EQ(holder.Update(kT0 + 2 * kDuration, 0, 0), 2);
}

TEST_F(ScrollTextTest, RepeatingRestartsTheLineAndWrapsToTheFirst) {
  ASSERT_EQ(AddLine(), 0);
  ASSERT_EQ(AddLine(), 1);
  holder.Start();
  uint32_t t = kT0;
  holder.Update(t, 1, 0);
  t += kDuration;
  EXPECT_EQ(holder.Update(t, 1, 0), 1);
  // The first line restarted, waiting for its turn.
  EXPECT_EQ((std::vector<int>{holder.CurrentIndex(), holder.Line(0)->running, holder.Line(0)->current}),
            (std::vector<int>{1, 1, 0}));
  // The second line finishes; the first, entering behind it, is current again.
  for (int32_t i = 0; i < 100 && holder.CurrentIndex() == 1; ++i) {
    t += 100;
    EXPECT_EQ(holder.Update(t, 1, 0), 1);
  }
  EXPECT_EQ(holder.CurrentIndex(), 0);
  EXPECT_GT(holder.Line(0)->current, 0);
  EXPECT_EQ(holder.LineCount(), 2);
}

TEST_F(ScrollTextTest, TheSecondLineEntersOnceTheFirstHasMovedPastItsWidth) {
  ASSERT_EQ(AddLine(), 0);
  ASSERT_EQ(AddLine(), 1);
  holder.Start();
  const KK_LLESprite_Scroll& first = *holder.Line(0);
  const KK_LLESprite_Scroll& second = *holder.Line(1);
  holder.Update(kT0, 0, 0);
  // 2269 ms move the first line 100 pixels: not yet beyond its width.
  holder.Update(kT0 + 2269, 0, 0);
  EXPECT_EQ(first.current, kSpriteWidth);
  EXPECT_EQ(second.running, 0);
  // 2270 ms: 101 pixels; the second line starts and takes its clock.
  holder.Update(kT0 + 2270, 0, 0);
  EXPECT_EQ(first.current, kSpriteWidth + 1);
  EXPECT_EQ(second.running, 1);
  EXPECT_EQ(second.lastTick, kT0 + 2270);
  EXPECT_EQ(holder.Update(kT0 + 2270 + 1123, 0, 0), 1);
  EXPECT_EQ(second.current, 49);  // 278 x 1123 / 6247, truncated
  // The first finishes; the second, already moving, becomes current without a jump.
  EXPECT_EQ(holder.Update(kT0 + kDuration, 0, 0), 1);
  EXPECT_EQ(holder.CurrentIndex(), 1);
  const int32_t atHandOver = second.current;
  EXPECT_GT(atHandOver, 49);
  EXPECT_EQ(holder.Update(kT0 + kDuration + 10, 0, 0), 1);
  EXPECT_GT(second.current, atHandOver);
  EXPECT_EQ(holder.Update(kT0 + 2270 + kDuration, 0, 0), 2);
  EXPECT_EQ(second.current, kEnd);
}

TEST_F(ScrollTextTest, RemovingDeletesFinishedLinesAndAnEmptiedQueueIsCleared) {
  ASSERT_EQ(AddLine(), 0);
  ASSERT_EQ(holder.AddSpriteLine("C:\\Game\\a.psp", 1, kWidth, kScrollTime), 1);
  const KK_LLESprite_Scroll* second = holder.Line(1);
  holder.Start();
  holder.Update(kT0, 0, 1);
  EXPECT_EQ(holder.Update(kT0 + kDuration, 0, 1), 1);
  EXPECT_EQ(holder.LineCount(), 1);
  EXPECT_EQ(holder.CurrentIndex(), 0);
  EXPECT_EQ(holder.Line(0), second);
  // The 40-pixel line entered at the first line's last update; it moves 218 pixels.
  const uint32_t secondEnd = kT0 + kDuration + uint32_t(int64_t(40 + kWidth) * kScrollTime / kWidth);
  EXPECT_EQ(holder.Update(secondEnd - 1, 0, 1), 1);
  EXPECT_EQ(holder.Update(secondEnd, 0, 1), 2);
  EXPECT_FALSE(holder.HasLines());
  EXPECT_EQ(holder.CurrentIndex(), 0);
  EXPECT_EQ(holder.Update(secondEnd + 100, 0, 1), 0);
}

TEST_F(ScrollTextTest, RemovingTheLastOfSeveralLinesReportsTheEnd) {
  ASSERT_EQ(AddLine(), 0);
  ASSERT_EQ(AddLine(), 1);
  holder.Start();
  holder.Update(kT0, 0, 0);
  holder.Update(kT0 + kDuration, 0, 0);  // the first is parked, not removed
  EXPECT_EQ(holder.CurrentIndex(), 1);
  EXPECT_EQ(holder.Update(kT0 + 2 * kDuration - 1, 0, 1), 1);
  EXPECT_EQ(holder.Update(kT0 + 2 * kDuration, 0, 1), 2);
  EXPECT_EQ(holder.LineCount(), 1);
  EXPECT_EQ(holder.CurrentIndex(), 1);
  EXPECT_EQ(holder.Update(kT0 + 3 * kDuration, 0, 1), 2);
}

}  // namespace cscroll_text_test
