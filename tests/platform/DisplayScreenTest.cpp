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

TEST_F(DirectDrawTest, ScreenDcReportsAndDrawsInTheDesktopFormat) {
  for (const ScreenRow& row : kScreens) {
    SCOPED_TRACE(static_cast<int>(row.format));
    plat::sim::SetDesktopFormat(row.format);
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), row.bitsPixel);
    EXPECT_EQ(GetDeviceCaps(screen, NUMCOLORS), row.bitsPixel > 8 ? -1 : 256);
    EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 1024);
    EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 768);
    // Memory DCs answer for the display too.
    HDC memory = CreateCompatibleDC(screen);
    EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL), row.bitsPixel);
    HBITMAP compatible = CreateCompatibleBitmap(screen, 4, 4);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(compatible, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmBitsPixel, row.bitsPixel);
    DeleteObject(compatible);
    DeleteDC(memory);

    SetPixel(screen, 7, 5, RGB(255, 0, 255));
    ReleaseDC(nullptr, screen);
    // The pixel is in the display's own memory: the primary shows it raw.
    ComPtr<IDirectDraw4> dd = MakeDirectDraw();
    ComPtr<IDirectDrawSurface4> primary;
    ASSERT_EQ(MakePrimary(dd.Get(), &primary), DD_OK);
    EXPECT_EQ(PixelAt(primary.Get(), 7, 5), row.rawMagenta);
  }
}

TEST_F(DirectDrawTest, DesktopSizeIsTheDisplaysAndTheScreenDcs) {
  plat::sim::SetDesktopSize(800, 600);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, 800);
  EXPECT_EQ(plat::sim::CurrentDisplayMode().height, 600);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDeviceCaps(screen, HORZRES), 800);
  EXPECT_EQ(GetDeviceCaps(screen, VERTRES), 600);
  EXPECT_EQ(SetPixel(screen, 799, 599, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(SetPixel(screen, 800, 0, RGB(1, 2, 3)), CLR_INVALID);
  EXPECT_EQ(plat::sim::ScreenPixel(799, 599), RGB(1, 2, 3));
  ReleaseDC(nullptr, screen);
  plat::sim::ResetWindowSystem();
  EXPECT_EQ(plat::sim::CurrentDisplayMode().width, 1024);
}

}  // namespace
