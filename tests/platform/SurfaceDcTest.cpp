#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "DirectDrawTestSupport.h"
#include "plat/gdi.h"
#include "plat/gdi_text.h"
#include "plat/sim.h"

namespace surface_dc_test {

using namespace ddraw_test;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr int kWidth = 24, kHeight = 16;

struct FormatRow {
  DisplayFormat format;
  int bits;
  uint32_t magenta;
  DWORD compression;  // what GetDIBits reports for a compatible bitmap
};
constexpr FormatRow kFormats[] = {
    {DisplayFormat::Rgb565, 16, 0xF81F, BI_BITFIELDS}, {DisplayFormat::Rgb555, 16, 0x7C1F, BI_RGB},
    {DisplayFormat::Xrgb8888, 32, 0xFF00FF, BI_RGB},
};

DDPIXELFORMAT PixelFormatOf(DisplayFormat f) {
  DDPIXELFORMAT pf{};
  pf.dwSize = sizeof pf;
  pf.dwFlags = DDPF_RGB;
  pf.dwRGBBitCount = f == DisplayFormat::Xrgb8888 ? 32 : 16;
  pf.dwRBitMask = f == DisplayFormat::Rgb565 ? 0xF800 : f == DisplayFormat::Rgb555 ? 0x7C00 : 0xFF0000;
  pf.dwGBitMask = f == DisplayFormat::Rgb565 ? 0x07E0 : f == DisplayFormat::Rgb555 ? 0x03E0 : 0x00FF00;
  pf.dwBBitMask = f == DisplayFormat::Xrgb8888 ? 0xFF : 0x1F;
  return pf;
}

class SurfaceDcTest : public DirectDrawTest {
 protected:
  // An off-screen surface in format `f` on a display in `display`, cleared to raw 0.
  ComPtr<IDirectDrawSurface4> Cleared(DisplayFormat f, std::optional<DisplayFormat> display = std::nullopt) {
    plat::sim::ResetDisplay(display.value_or(f));
    dd_ = MakeDirectDraw();
    ComPtr<IDirectDrawSurface4> s;
    const DDPIXELFORMAT pf = PixelFormatOf(f);
    EXPECT_EQ(MakeOffscreen(dd_.Get(), kWidth, kHeight, &s, &pf), DD_OK);
    WritePixels(s.Get(), std::vector<uint32_t>(size_t{kWidth} * kHeight, 0));
    return s;
  }
  // Draws through the DC of a cleared surface and answers the surface's raw pixels.
  std::vector<uint32_t> DrawThroughDc(DisplayFormat f, const std::function<void(HDC)>& draw,
                                      std::optional<DisplayFormat> display = std::nullopt) {
    ComPtr<IDirectDrawSurface4> s = Cleared(f, display);
    HDC dc = nullptr;
    EXPECT_EQ(s->GetDC(&dc), DD_OK);
    if (!dc) return {};
    draw(dc);
    EXPECT_EQ(s->ReleaseDC(dc), DD_OK);
    return ReadPixels(s.Get());
  }
  ComPtr<IDirectDraw4> dd_;
};

TEST_F(SurfaceDcTest, TheDcHoldsTheSurfaceUntilReleasedAndThenIsGone) {
  ComPtr<IDirectDrawSurface4> s = Cleared(DisplayFormat::Rgb565);
  ComPtr<IDirectDrawSurface4> other;
  ASSERT_EQ(MakeOffscreen(dd_.Get(), kWidth, kHeight, &other), DD_OK);
  HDC dc = nullptr;
  ASSERT_EQ(s->GetDC(&dc), DD_OK);
  HDC second = nullptr;
  EXPECT_EQ(s->GetDC(&second), DDERR_DCALREADYCREATED);
  DDSURFACEDESC2 d = Desc();
  EXPECT_EQ(s->Lock(nullptr, &d, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(other->BltFast(0, 0, s.Get(), nullptr, DDBLTFAST_WAIT), DDERR_SURFACEBUSY);
  ASSERT_EQ(s->ReleaseDC(dc), DD_OK);
  // The handle is dead: drawing through it is refused and touches nothing.
  EXPECT_EQ(SetPixel(dc, 0, 0, kMagenta), CLR_INVALID);
  EXPECT_EQ(PixelAt(s.Get(), 0, 0), 0u);
  EXPECT_EQ(other->BltFast(0, 0, s.Get(), nullptr, DDBLTFAST_WAIT), DD_OK);
  // Releasing a surface with its DC out frees the DC too.
  ASSERT_EQ(other->GetDC(&dc), DD_OK);
  const size_t live = plat::sim::LiveDeviceContexts();
  other.Reset();
  EXPECT_EQ(plat::sim::LiveDeviceContexts(), live - 1);
}

TEST_F(SurfaceDcTest, PrimaryDcShowsInTheClipWindowOnRelease) {
  HWND game = MakeTop(40, 30, 64, 48);
  ComPtr<IDirectDraw4> dd = MakeDirectDraw();
  ComPtr<IDirectDrawSurface4> primary;
  ASSERT_EQ(MakePrimary(dd.Get(), &primary), DD_OK);
  ASSERT_EQ(ClipToWindow(dd.Get(), primary.Get(), game), DD_OK);
  HDC dc = nullptr;
  ASSERT_EQ(primary->GetDC(&dc), DD_OK);
  // The primary is the whole screen: the window's client area starts at (40, 30).
  SetPixel(dc, 45, 32, kMagenta);
  SetPixel(dc, 5, 5, kMagenta);  // outside the window: not shown in it
  const plat::sim::RgbImage before = plat::sim::CaptureWindow(game);
  ASSERT_EQ(primary->ReleaseDC(dc), DD_OK);
  const plat::sim::RgbImage after = plat::sim::CaptureWindow(game);
  ASSERT_EQ(after.width, 64);
  auto rgb = [](const plat::sim::RgbImage& im, int x, int y) {
    const size_t at = (static_cast<size_t>(y) * im.width + x) * 3;
    return RGB(im.rgb[at], im.rgb[at + 1], im.rgb[at + 2]);
  };
  EXPECT_NE(rgb(before, 5, 2), kMagenta);
  EXPECT_EQ(rgb(after, 5, 2), kMagenta);
  size_t magenta = 0;
  for (int y = 0; y < after.height; ++y)
    for (int x = 0; x < after.width; ++x) magenta += rgb(after, x, y) == kMagenta;
  EXPECT_EQ(magenta, 1u);
}

TEST_F(SurfaceDcTest, AModeChangeUnderThePrimaryDcLeavesItDrawingNothing) {
  ComPtr<IDirectDraw4> dd = MakeDirectDraw(TopLevel(), DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT);
  ASSERT_TRUE(dd);
  ComPtr<IDirectDrawSurface4> primary;
  ASSERT_EQ(MakePrimary(dd.Get(), &primary), DD_OK);
  HDC dc = nullptr;
  ASSERT_EQ(primary->GetDC(&dc), DD_OK);
  // The display's memory is replaced by a smaller mode: the DC must not reach the old one.
  ASSERT_EQ(dd->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  RECT whole{0, 0, 1024, 768};
  FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(SetPixel(dc, 0, 0, kMagenta), CLR_INVALID);
  EXPECT_EQ(primary->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
}

TEST_F(SurfaceDcTest, CompatibleBitmapsTakeTheSurfaceFormat) {
  for (const FormatRow& row : kFormats) {
    SCOPED_TRACE(row.bits);
    // The display is in another format: the surface's own format must win.
    const DisplayFormat otherDisplay = row.bits == 32 ? DisplayFormat::Rgb565 : DisplayFormat::Xrgb8888;
    const std::vector<uint32_t> px = DrawThroughDc(row.format, [&row](HDC dc) {
      HBITMAP bitmap = CreateCompatibleBitmap(dc, 5, 3);
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
      ASSERT_NE(GetDIBits(dc, bitmap, 0, 3, nullptr, &info, DIB_RGB_COLORS), 0);
      EXPECT_EQ(info.bmiHeader.biBitCount, row.bits);
      EXPECT_EQ(info.bmiHeader.biCompression, row.compression);

      // A picture made in the bitmap copies into the surface unchanged.
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memory, bitmap);
      SetPixel(memory, 2, 1, kMagenta);
      EXPECT_TRUE(BitBlt(dc, 0, 0, 5, 3, memory, 0, 0, SRCCOPY));
      SelectObject(memory, old);
      DeleteDC(memory);
      DeleteObject(bitmap);
    }, otherDisplay);
    ASSERT_FALSE(px.empty());
    EXPECT_EQ(px[kWidth + 2], row.magenta);
  }
}

}  // namespace surface_dc_test
