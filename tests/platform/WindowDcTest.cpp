#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "plat/gdi.h"
#include "plat/sim.h"
#include "plat/winuser.h"

namespace {

using window_test::WindowTest;

class WindowDc : public WindowTest {
 protected:
  static uint32_t At(const plat::sim::WindowImage& img, int x, int y) {
    return img.pixels[static_cast<size_t>(y) * static_cast<size_t>(img.width) + static_cast<size_t>(x)] & 0xFFFFFF;
  }
  static void Fill(HDC dc, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT all{-100, -100, 10000, 10000};
    FillRect(dc, &all, b);
    DeleteObject(b);
  }
};

TEST_F(WindowDc, GetDcDrawsIntoTheBackingStoreAndBeginPaintOnlyInTheUpdateArea) {
  HWND w = MakeTop(10, 10, 40, 30);
  ValidateRect(w, nullptr);
  HDC dc = GetDC(w);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(WindowFromDC(dc), w);
  Fill(dc, RGB(255, 0, 0));
  EXPECT_EQ(SetPixel(dc, 39, 29, RGB(0, 0, 255)), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 40, 0), CLR_INVALID);
  EXPECT_EQ(ReleaseDC(w, dc), 1);
  RECT update{5, 5, 15, 10};
  InvalidateRect(w, &update, FALSE);
  PAINTSTRUCT ps{};
  HDC paint = BeginPaint(w, &ps);
  ASSERT_NE(paint, nullptr);
  Fill(paint, RGB(0, 255, 0));
  EndPaint(w, &ps);
  const plat::sim::WindowImage img = plat::sim::ReadWindow(w);
  EXPECT_EQ(At(img, 0, 0), 0xFF0000u);
  EXPECT_EQ(At(img, 39, 29), 0x0000FFu);
  EXPECT_EQ(At(img, 5, 5), 0x00FF00u);
  EXPECT_EQ(At(img, 14, 9), 0x00FF00u);
  EXPECT_EQ(At(img, 15, 9), 0xFF0000u);
  EXPECT_EQ(At(img, 4, 5), 0xFF0000u);
}

TEST_F(WindowDc, AWindowRegionClipsDrawingAndHitTesting) {
  HWND w = MakeTop(100, 100, 40, 30);
  HRGN left = CreateRectRgn(0, 0, 20, 30);
  ASSERT_EQ(SetWindowRgn(w, left, FALSE), 1);
  HDC dc = GetDC(w);
  Fill(dc, RGB(0, 0, 0));
  ReleaseDC(w, dc);
  dc = GetDC(w);
  Fill(dc, RGB(255, 255, 255));
  ReleaseDC(w, dc);
  const plat::sim::WindowImage img = plat::sim::ReadWindow(w);
  EXPECT_EQ(At(img, 19, 0), 0xFFFFFFu);
  EXPECT_EQ(At(img, 20, 0), 0u);  // outside the region: never drawn
  EXPECT_EQ(WindowFromPoint(POINT{110, 110}), w);
  EXPECT_NE(WindowFromPoint(POINT{130, 110}), w);
  // The window owns its region and deletes it when it gets another.
  EXPECT_EQ(SetWindowRgn(w, CreateRectRgn(0, 0, 40, 30), FALSE), 1);
  EXPECT_EQ(GetObjectType(left), 0u);
  EXPECT_EQ(WindowFromPoint(POINT{130, 110}), w);
}

}  // namespace
