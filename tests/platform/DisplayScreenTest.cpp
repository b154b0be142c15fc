#include <gtest/gtest.h>

#include "DirectDrawTestSupport.h"
#include "plat/gdi.h"
#include "plat/sim.h"

namespace {

using namespace ddraw_test;

struct ScreenRow {
  DisplayFormat format;
  int bitsPixel;
  uint32_t rawMagenta;  // SetPixel(RGB(255, 0, 255)) on the screen, as the display holds it
};
// 8-bit screens hold palette indices: magenta lands on the nearest entry of the grey
// ramp, so its raw value is that ramp's index.
constexpr uint32_t kNearestGreyToMagenta = 0xAA;
constexpr ScreenRow kScreens[] = {
    {DisplayFormat::Rgb565, 16, 0xF81F},   {DisplayFormat::Rgb555, 16, 0x7C1F},
    {DisplayFormat::Xrgb8888, 32, 0xFF00FF}, {DisplayFormat::Rgb888, 24, 0xFF00FF},
    {DisplayFormat::Palette8, 8, kNearestGreyToMagenta},
};

TEST_F(DirectDrawTest, ExclusiveModeIsWhatTheScreenReportsUntilItIsLeft) {
  ComPtr<IDirectDraw4> dd = MakeDirectDraw(TopLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT);
  ASSERT_TRUE(dd);
  HDC screen = GetDC(nullptr);  // out across both mode changes
  ASSERT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 16);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 800);
  // The DC's clip follows the smaller screen: nothing lands past its edge.
  RECT whole{0, 0, 1024, 768};
  EXPECT_NE(FillRect(screen, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
  EXPECT_EQ(plat::sim::ScreenPixel(799, 599), RGB(255, 255, 255));
  ASSERT_EQ(dd->SetCooperativeLevel(TopLevel(), DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
  EXPECT_EQ(SetPixel(screen, 1000, 700, RGB(9, 8, 7)), RGB(9, 8, 7));
  ReleaseDC(nullptr, screen);
}

}  // namespace
