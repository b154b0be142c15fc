#include "widgets/GVPSPWnd.h"

#include <gtest/gtest.h>

#include "SpriteWidgetFixture.h"

namespace widget_test {
namespace {

COLORREF FrameColour(int32_t i) { return RGB(uint8_t(0x20 * (i + 1)), 0x80, 0x40); }

class PSPWndTest : public SpriteWidgetTest {
 protected:
  // Frame i: its own size and anchor.
  std::string Set(const std::string& name, int32_t frames) {
    const struct { int32_t w, h, ax, ay; } shapes[] = {{4, 4, 0, 0}, {6, 2, 3, 1}, {2, 2, 1, 1}, {5, 3, 0, 2}};
    std::vector<Bytes> chunks;
    for (int32_t i = 0; i < frames; ++i) {
      const auto& s = shapes[i % 4];
      chunks.push_back(testing_support::SolidSpriteChunk(32, s.w, s.h, FrameColour(i), s.ax, s.ay));
    }
    return Write(name, testing_support::PspFile(chunks));
  }
};

TEST_F(PSPWndTest, ChangeSpriteKeepsAFrameBelowTheNewCount) {
  const std::string three = Set("three.psp", 3);
  const std::string four = Set("four.psp", 4);
  const std::string two = Set("two.psp", 2);
  GVPSPWnd w;
  ASSERT_EQ(w.Load(three.c_str()), 1);
  const uint32_t first = Held(w);
  w.SetPos(20, 20);
  w.SetFrame(2);
  w.SetFrameTimer(99);
  EXPECT_EQ(w.ChangeSprite("C:\\Sprites\\absent.psp"), 0);
  EXPECT_EQ(w.GetFrameTimer(), 99u);
  ASSERT_EQ(w.ChangeSprite(four.c_str()), 1);
  EXPECT_EQ(Count(first), 0);
  EXPECT_EQ(std::pair(w.GetFrame(), w.GetFrameCount()), std::pair(2, 4));
  EXPECT_EQ(w.GetFrameTimer(), 0u);
  ASSERT_EQ(w.ChangeSprite(two.c_str()), 1);
  EXPECT_EQ(std::pair(w.GetFrame(), w.GetFrameCount()), std::pair(0, 2));
  EXPECT_EQ(w.GetRect(), GRect(20, 20, 24, 24));
}

TEST_F(PSPWndTest, LoadAndReleaseBalanceTheManager) {
  const std::string file = Set("set.psp", 3);
  const std::string single = Write("one.qls", testing_support::SolidSpriteChunk(32, 2, 2, 0x00FF00, 0, 0));
  GVPSPWnd w;
  ASSERT_EQ(w.Load(file.c_str()), 1);
  w.SetFrame(2);
  ASSERT_EQ(w.Load(file.c_str()), 1);
  EXPECT_EQ(w.GetFrame(), 0);
  const uint32_t h = Held(w);
  EXPECT_EQ(Count(h), 1);
  EXPECT_EQ(w.Load(single.c_str()), 0);  // a single sprite is not a set
  EXPECT_EQ(std::pair(Count(h), w.GetFrameCount()), std::pair(0, 0));
  EXPECT_EQ(rm::Manager().FindByName("one.qls"), 0u);
  ASSERT_EQ(w.Load(file.c_str()), 1);
  w.SetFrame(1);
  w.ReleaseImage();
  EXPECT_EQ(std::pair(w.GetFrame(), w.GetFrameCount()), std::pair(0, 0));
  EXPECT_EQ(w.GetImage(), GVWnd::kNoImage);
  EXPECT_EQ(rm::Manager().FindByName("set.psp"), 0u);
}

TEST_F(PSPWndTest, EachFrameIsPlacedByItsOwnAnchor) {
  const std::string file = Set("set.psp", 3);
  GVPSPWnd w;
  ASSERT_EQ(w.Load(file.c_str()), 1);
  EXPECT_EQ(w.GetFrameCount(), 3);
  EXPECT_EQ(w.GetFrame(), 0);
  w.SetPos(20, 20);
  EXPECT_EQ(w.GetRect(), GRect(20, 20, 24, 24));
  w.SetFrame(1);
  EXPECT_EQ(w.GetRect(), GRect(17, 19, 23, 21));
  EXPECT_EQ(w.GetFrameSize(-1), GSize(6, 2));
  EXPECT_EQ(w.GetFrameSize(2), GSize(2, 2));
  ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect(17, 19, 23, 21));
  EXPECT_EQ(At(17, 19), Pixel(FrameColour(1)));
  EXPECT_TRUE(w.HitTest(22, 20, 3));
  EXPECT_FALSE(w.HitTest(23, 20, 3));
}

TEST_F(PSPWndTest, AFrameOutsideTheSetShowsFrameZero) {
  const std::string file = Set("set.psp", 3);
  GVPSPWnd w;
  ASSERT_EQ(w.Load(file.c_str()), 1);
  w.SetPos(20, 20);
  for (int32_t outside : {3, 4, -1}) {
    w.SetFrame(2);
    ASSERT_EQ(w.GetRect(), GRect(19, 19, 21, 21));
    w.SetFrame(outside);
    EXPECT_EQ(w.GetFrame(), 0) << outside;
    EXPECT_EQ(w.GetRect(), GRect(20, 20, 24, 24)) << outside;
  }
  // The same frame again changes nothing.
  w.SetDirty(0);
  w.SetFrame(0);
  EXPECT_FALSE(w.IsDirty());
}

}  // namespace
}  // namespace widget_test
