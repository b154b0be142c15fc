// The digit strip and the shadowed text, drawn into a surface and read back.
#include "panels/CVNumberWnd.h"

#include <gtest/gtest.h>

#include "base/DDSurfacePixel.h"
#include "graphics/XResEntryMgr.h"
#include "panels/CVTextShadowWnd.h"
#include "widgets/WidgetTestSupport.h"

namespace number_wnd_test {

using widget_test::DevicePixel;
using widget_test::DisplayFormat;

class DrawTest : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    XResEntryMgr::Global().SetDirectDraw(dd_.Get());
    XResEntryMgr::Global().SetColorKey(DevicePixel(DisplayFormat::Xrgb8888, 255, 0, 255));
    target_ = widget_test::MakeSurface(dd_, 40, 20);
    ClearSurface(target_, 0);
  }
  void TearDown() override {
    target_ = nullptr;
    XResEntryMgr::Global().ReleaseAll();
    DisplayTest::TearDown();
  }
  DDSurface target_;
};

TEST_F(DrawTest, DigitsRunLeftwardsFromTheRightEdge) {
  CVNumberWnd number;
  // Ten 2 x 2 digit cells, digit d grey level d + 1.
  ASSERT_EQ(number.CreateBlank(SIZE{20, 2}, GVWnd::kNoColorKey), 1);
  for (int32_t i = 0; i < 40; ++i) SetSurfacePixel(number.GetSurface(), i % 20, i / 20, uint32_t(i % 20 / 2 + 1));
  number.SetDigitRect(0, 0, 2, 2);
  number.SetRect(GRect(10, 5, 30, 7));
  number.digits = {5, 0, 3};
  number.gap = 1;
  ASSERT_EQ(number.Draw(target_.Get(), GRect(0, 0, 40, 20)), 1);
  const auto px = widget_test::ReadPixels(target_);  // row 5: 4 4 at x 22, 1 1 at 25, 6 6 at 28
  const std::vector<uint32_t> drawn = {0, 0, 4, 4, 0, 1, 1, 0, 6, 6, 0, 0};
  EXPECT_EQ(std::vector<uint32_t>(px.begin() + 220, px.begin() + 232), drawn);
  EXPECT_EQ(number.GetRect(), GRect(10, 5, 30, 7));
  number.Show(0);
  EXPECT_EQ(number.Draw(nullptr, GRect()), 1);
}

TEST_F(DrawTest, TheShadowLiesOneDownAndRightUnderTheText) {
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  CVTextShadowWnd text;
  ASSERT_EQ(text.Create(SIZE{30, 16}, DevicePixel(DisplayFormat::Xrgb8888, 255, 0, 255), 12, 700), 1);
  text.SetPos(GPoint(4, 2));
  text.SetTextColor(red);
  text.SetShadowColor(blue);
  text.SetText("I");
  ASSERT_EQ(text.Draw(target_.Get(), GRect(0, 0, 40, 20)), 1);
  EXPECT_EQ(text.GetPos(), GPoint(4, 2));
  EXPECT_EQ(text.GetTextColor(), red);
  GPoint last[2];  // the lowest-right painted pixel of the text (red) and the shadow (blue)
  const auto px = widget_test::ReadPixels(target_);
  for (int32_t i = 0; i < 800; ++i) {
    if (px[size_t(i)] == 0xFF0000 || px[size_t(i)] == 0x0000FF) last[px[size_t(i)] == 0xFF] = GPoint(i % 40, i / 40);
  }
  ASSERT_NE(last[0], GPoint());
  EXPECT_EQ(last[1], last[0] + GSize(1, 1));
}

}  // namespace number_wnd_test
