// The desktop capture of a shaped window: only its region shows, and the window below
// shows through what the region cuts away.
#include <gtest/gtest.h>

#include "DirectDrawTestSupport.h"
#include "plat/gdi.h"
#include "plat/sim.h"

namespace desktop_shape_capture_test {

using namespace ddraw_test;

using DesktopShapeCaptureTest = DirectDrawTest;

void Fill(HWND hwnd, COLORREF colour) {
  HDC dc = GetDC(hwnd);
  RECT all{};
  GetClientRect(hwnd, &all);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  ReleaseDC(hwnd, dc);
}

std::array<uint8_t, 3> At(const plat::sim::RgbImage& image, int x, int y) {
  const size_t i = (size_t(y) * size_t(image.width) + size_t(x)) * 3;
  return {image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]};
}

TEST_F(DesktopShapeCaptureTest, OnlyTheRegionOfAShapedWindowShows) {
  HWND below = MakeTop(10, 10, 100, 100);
  HWND shaped = MakeTop(30, 30, 50, 50);
  Fill(below, RGB(255, 0, 0));
  // Two bands: the top-left quarter and the bottom-right quarter.
  HRGN shape = CreateRectRgn(0, 0, 25, 25);
  HRGN second = CreateRectRgn(25, 25, 50, 50);
  CombineRgn(shape, shape, second, RGN_OR);
  DeleteObject(second);
  ASSERT_NE(SetWindowRgn(shaped, shape, TRUE), 0);
  Fill(shaped, RGB(0, 0, 255));

  const plat::sim::RgbImage desk = plat::sim::CaptureDesktop();
  const std::array<uint8_t, 3> red{255, 0, 0}, blue{0, 0, 255};
  const struct { int x, y; std::array<uint8_t, 3> shows; } points[] = {
      {30, 30, blue}, {54, 54, blue}, {55, 55, blue}, {79, 79, blue},  // inside the two bands
      {55, 30, red},  {79, 54, red},  {30, 55, red},  {54, 79, red},   // cut away
      {80, 80, red},  {29, 29, red},                                   // beside the window
  };
  for (const auto& p : points) EXPECT_EQ(At(desk, p.x, p.y), p.shows) << p.x << ", " << p.y;
}

}  // namespace desktop_shape_capture_test
