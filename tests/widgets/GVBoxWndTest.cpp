#include "widgets/GVBoxWnd.h"

#include <gtest/gtest.h>

#include "SpriteWidgetFixture.h"

namespace widget_test {
namespace {

constexpr COLORREF kFillColour = RGB(0x80, 0x40, 0x20);
constexpr COLORREF kLight = RGB(0xF8, 0xF8, 0xF8);
constexpr COLORREF kDark = RGB(0x20, 0x20, 0x40);

class BoxWndTest : public SpriteWidgetTest {};

TEST_F(BoxWndTest, FramesGoTopAndLeftThenBottomAndRightAndRoundOnesLeaveTheCornersOut) {
  for (DisplayFormat f : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888}) {
    UseFormat(f);
    GVBoxWnd w;
    ASSERT_EQ(w.Create(4, 6, 10, 8, kFillColour, 0), 1);  // level 0: a solid fill
    w.SetBorder(kLight, kDark, 0);
    ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
    EXPECT_FALSE(w.IsDirty());
    EXPECT_EQ(Painted(), GRect(4, 6, 14, 14)) << FormatName(f);
    // The dark edges go on last and take the mixed corners.
    const uint32_t light = Pixel(kLight), dark = Pixel(kDark);
    EXPECT_EQ((std::vector<uint32_t>{At(4, 6), At(12, 6), At(13, 6), At(4, 13), At(4, 10), At(13, 10), At(8, 10)}),
              (std::vector<uint32_t>{light, light, dark, dark, light, dark, Pixel(kFillColour)}));
  }
  GVBoxWnd round;
  ASSERT_EQ(round.Create(4, 6, 10, 8, kFillColour, 0), 1);
  round.SetBorder(kLight, kDark, 1);
  ASSERT_EQ(round.Draw(back_.Get(), Screen()), 1);
  for (GPoint corner : {GPoint(4, 6), GPoint(13, 6), GPoint(4, 13), GPoint(13, 13)})
    EXPECT_EQ(At(corner.x, corner.y), Pixel(kFillColour)) << corner.x << "," << corner.y;
  EXPECT_EQ(std::pair(At(5, 6), At(13, 7)), std::pair(Pixel(kLight), Pixel(kDark)));
}

TEST_F(BoxWndTest, ABlendedFillMixesWithWhatIsBelow) {
  GVBoxWnd w;
  ASSERT_EQ(w.Create(0, 0, 4, 4, RGB(0xF8, 0xF8, 0xF8), 16), 1);
  ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_TRUE(At(1, 1) != 0u && At(1, 1) != Pixel(RGB(0xF8, 0xF8, 0xF8))) << At(1, 1);
  Clear();
  ASSERT_EQ(w.Create(0, 0, 4, 4, RGB(0xF8, 0xF8, 0xF8), 31), 1);  // fully transparent
  ASSERT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(Painted(), GRect());
}

TEST_F(BoxWndTest, DrawsOnlyInsideTheClipAndNotWhenHidden) {
  GVBoxWnd w;
  ASSERT_EQ(w.Create(4, 6, 10, 8, kFillColour, 0), 1);
  w.SetBorder(kLight, kDark, 0);
  ASSERT_EQ(w.Draw(back_.Get(), GRect(8, 0, 64, 9)), 1);
  EXPECT_EQ(Painted(), GRect(8, 6, 14, 9));
  EXPECT_EQ(At(13, 7), Pixel(kDark));
  Clear();
  w.Show(0);
  EXPECT_EQ(w.Draw(back_.Get(), Screen()), 1);
  EXPECT_EQ(w.Draw(nullptr, Screen()), 1);
  EXPECT_EQ(Painted(), GRect());
  EXPECT_TRUE(w.IsDirty());
}

TEST(GVBoxWnd, StyleBits) {
  GVBoxWnd w;
  ASSERT_EQ(w.Create(10, 20, 30, 5, kFillColour, 12), 1);
  EXPECT_EQ(w.GetRect(), GRect(10, 20, 40, 25));
  EXPECT_EQ(w.GetStyle(), GVBoxWnd::kFill);
  EXPECT_EQ(w.GetFillLevel(), 12);
  w.SetBorder(kLight, kDark, 1);
  EXPECT_EQ(w.GetStyle(), GVBoxWnd::kFill | GVBoxWnd::kRoundFrame);
  // A rounded frame set earlier survives a square one, and the square bit its removal.
  w.SetBorder(kDark, kLight, 0);
  EXPECT_EQ(w.GetStyle(), GVBoxWnd::kFill | GVBoxWnd::kRoundFrame | GVBoxWnd::kFrame);
  EXPECT_EQ(w.GetTopColor(), kDark);
  EXPECT_EQ(w.GetBottomColor(), kLight);
  w.RemoveBorder();
  EXPECT_EQ(w.GetStyle(), GVBoxWnd::kFill | GVBoxWnd::kRoundFrame);
  GVBoxWnd bare;
  bare.SetFill(kDark, 3);
  EXPECT_EQ(bare.GetStyle(), GVBoxWnd::kFill);
  EXPECT_EQ(bare.GetFillColor(), kDark);
}

}  // namespace
}  // namespace widget_test
