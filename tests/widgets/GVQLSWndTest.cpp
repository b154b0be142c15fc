#include "widgets/GVQLSWnd.h"

#include <gtest/gtest.h>

#include "SpriteWidgetFixture.h"

namespace widget_test {
namespace {

constexpr COLORREF kGreen = RGB(0x40, 0xC0, 0x20);
constexpr COLORREF kBlue = RGB(0x10, 0x20, 0xF0);
// 6 x 4 with its anchor at (2, 1) and a hole at (3, 2): at anchor (10, 10) the widget
// covers (8, 9, 14, 13) and the hole is at (11, 11).
const GRect kPlaced(8, 9, 14, 13);

class QLSWndTest : public SpriteWidgetTest {
 protected:
  std::string Sprite(const std::string& name = "one.qls", COLORREF c = kGreen) {
    return Write(name, testing_support::SolidSpriteChunk(32, 6, 4, c, 2, 1, 3, 2));
  }
  // The sprite loaded, at anchor (10, 10).
  void Place(GVQLSWnd& w) {
    ASSERT_EQ(w.Load(Sprite().c_str()), 1);
    w.SetPos(10, 10);
  }
};

TEST_F(QLSWndTest, HitTestFindsDrawnPixelsOnly) {
  GVQLSWnd w;
  ASSERT_EQ(w.Load(Sprite().c_str()), 1);
  EXPECT_EQ(w.GetRect(), GRect(-2, -1, 4, 3));
  w.SetPos(10, 10);
  EXPECT_EQ(w.GetRect(), kPlaced);
  // (11, 11) is the hole, (14, 12) past the right edge.
  EXPECT_EQ((std::vector<BOOL>{w.HitTest(8, 9, 3), w.HitTest(13, 12, 3), w.HitTest(11, 11, 3), w.HitTest(14, 12, 3)}),
            (std::vector<BOOL>{1, 1, 0, 0}));
  w.Show(0);
  EXPECT_EQ((std::vector<BOOL>{w.HitTest(8, 9, 1), w.HitTest(8, 9, 0)}), (std::vector<BOOL>{0, 1}));
  w.ReleaseImage();
  EXPECT_FALSE(w.HitTest(8, 9, 0));
}

TEST_F(QLSWndTest, ASubRectangleReplacesTheClipEvenALargerOne) {
  GVQLSWnd w;
  Place(w);
  w.SetSubRect(GRect(-2, -1, 1, 3));  // the left half, relative to the anchor
  EXPECT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect(8, 9, 11, 13));
  Clear();
  w.SetSubRect(GRect(-20, -20, 20, 20));
  EXPECT_EQ(w.Draw(back_.Get(), GRect(0, 0, 1, 1)), 1);
  EXPECT_EQ(Painted(), kPlaced);
  Clear();
  w.SetSubRect(GRect(5, 0, 5, 40));  // no width: the given clip counts
  EXPECT_EQ(w.Draw(back_.Get(), GRect(0, 0, 10, 48)), 1);
  EXPECT_EQ(Painted(), GRect(8, 9, 10, 13));
}

TEST_F(QLSWndTest, EffectFieldsReachTheSpriteDraw) {
  GVQLSWnd w;
  Place(w);
  // Level 23 with effect mode 1 dims the sprite over the black background.
  w.SetPlacementFlags(1);
  w.SetEffectLevel(23);
  ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_TRUE(At(8, 9) != Pixel(kGreen) && At(8, 9) != 0u) << At(8, 9);
  // Mirrored about the anchor: the 6 columns that ran from 2 left of it now end 2
  // right of it.
  Clear();
  w.SetPlacementFlags(K_Dib::kMirrorX);
  w.SetEffectLevel(0);
  ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect(6, 9, 12, 13));
  EXPECT_EQ(At(8, 11), 0u);  // the hole, mirrored
}

TEST_F(QLSWndTest, ReleaseClearsTheEffectFieldsAndGivesTheSpriteBack) {
  const std::string file = Sprite();
  GVQLSWnd w;
  ASSERT_EQ(w.Load(file.c_str()), 1);
  const uint32_t h = Held(w);
  w.SetPlacementFlags(0x10001);
  w.SetEffectLevel(7);
  w.SetEffectColor(kBlue);
  w.SetSubRect(GRect(0, 0, 2, 2));
  w.ReleaseImage();
  EXPECT_EQ(w.GetImage(), GVWnd::kNoImage);
  EXPECT_EQ(Count(h), 0);
  EXPECT_EQ((std::vector<int64_t>{w.GetPlacementFlags(), w.GetEffectLevel(), w.GetEffectColor()}),
            (std::vector<int64_t>{0, 0, 0}));
  EXPECT_EQ(std::pair(w.GetSubRect(), w.GetFrameSize(0)), std::pair(GRect(), GSize()));
  w.ReleaseImage();  // twice is harmless
  Clear();
  EXPECT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect()) << "nothing held, nothing drawn";
  {
    GVQLSWnd owner;
    ASSERT_EQ(owner.Load(file.c_str()), 1);
    EXPECT_EQ(Count(Held(owner)), 1);
  }
  EXPECT_EQ(rm::Manager().FindByName("one.qls"), 0u);  // the destructor gave it back
}

TEST_F(QLSWndTest, LoadsReplaceTheHeldSpriteAndKeepCountsBalanced) {
  const std::string one = Sprite();
  const std::string two = Write("two.qls", testing_support::SolidSpriteChunk(32, 3, 3, kBlue, 0, 0));
  GVQLSWnd w;
  ASSERT_EQ(w.Load(one.c_str()), 1);
  const uint32_t h = Held(w);
  ASSERT_EQ(w.Load(one.c_str()), 1);  // the same file again
  EXPECT_EQ(Held(w), h);
  EXPECT_EQ(Count(h), 1);
  w.SetPos(10, 10);
  EXPECT_EQ(w.ChangeSprite("C:\\Sprites\\absent.qls"), 0);
  EXPECT_EQ(Held(w), h);
  ASSERT_EQ(w.ChangeSprite(two.c_str()), 1);
  EXPECT_EQ(Count(h), 0);
  EXPECT_EQ(w.GetRect(), GRect(10, 10, 13, 13));  // the anchor stays, the sprite's own anchor applies
  EXPECT_EQ(w.Load("C:\\Sprites\\absent.qls"), 0);
  EXPECT_EQ(Held(w), 0u);
  EXPECT_EQ(rm::Manager().FindByName("two.qls"), 0u);
}

TEST_F(QLSWndTest, TheSpriteLandsAtTheAnchorInEveryFormat) {
  for (DisplayFormat f : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888}) {
    UseFormat(f);
    const std::string file = Sprite();
    GVQLSWnd w;
    ASSERT_EQ(w.Load(file.c_str()), 1);
    EXPECT_EQ(w.GetRect(), GRect(-2, -1, 4, 3)) << FormatName(f);
    w.SetPos(10, 10);
    EXPECT_EQ(w.GetRect(), kPlaced);
    EXPECT_EQ(w.GetFrameSize(0), GSize(6, 4));
    EXPECT_EQ(w.Draw(back_.Get(), Screen()), 1);
    EXPECT_FALSE(w.IsDirty());
    EXPECT_EQ(Painted(), kPlaced) << FormatName(f);
    EXPECT_EQ(At(8, 9), Pixel(kGreen));
    EXPECT_EQ(At(11, 11), 0u);
    w.ReleaseImage();
  }
}

TEST_F(QLSWndTest, MovesThroughTheBaseChangeNothingOnlySetPosMoves) {
  const std::string file = Sprite();
  GVQLSWnd w;
  ASSERT_EQ(w.Load(file.c_str()), 1);
  w.SetPos(10, 10);
  w.SetDirty(0);
  GVWnd& base = w;
  base.SetRect(GRect(0, 0, 50, 50));
  base.Offset(GSize(5, 5));
  base.SetTopLeft(GPoint(30, 30));
  EXPECT_EQ(w.GetRect(), kPlaced);
  EXPECT_FALSE(w.IsDirty());
  base.SetPos(GPoint(20, 20));
  EXPECT_EQ(w.GetRect(), kPlaced + GSize(10, 10));
  EXPECT_EQ(w.GetAnchor(), GPoint(20, 20));
  EXPECT_EQ(w.GetDrawnRect(), GRect(8, 9, 24, 23));  // old and new place
  EXPECT_TRUE(w.IsDirty());
}

}  // namespace
}  // namespace widget_test
