#include "base/DDSurfacePixel.h"

#include <gtest/gtest.h>

#include "widgets/WidgetTestSupport.h"
#include "plat/gdi.h"

namespace widget_test {
namespace {

class DDSurfacePixelTest : public DisplayTest {};

TEST_F(DDSurfacePixelTest, SizesAndRectangles) {
  DDSurface s = MakeSurface(dd_, 7, 5);
  EXPECT_EQ(GetSurfaceSize(s), GSize(7, 5));
  EXPECT_EQ(GetSurfaceRectOf(s), GRect(0, 0, 7, 5));
  RECT r{};
  EXPECT_EQ(GetSurfaceRect(s, &r), S_OK);
  EXPECT_EQ(GRect(r), GRect(0, 0, 7, 5));
  EXPECT_EQ(GetSurfaceRect(DDSurface(), &r), E_POINTER);
  EXPECT_EQ(GetSurfaceRect(s, nullptr), E_INVALIDARG);
  EXPECT_EQ(GetSurfaceSize(DDSurface()), GSize());
  EXPECT_EQ(GetSurfaceRectOf(DDSurface()), GRect());
}

TEST_F(DDSurfacePixelTest, PixelsOutsideReadAsMinusOneAndAreNotWritten) {
  DDSurface s = MakeSurface(dd_, 4, 3);
  ClearSurface(s, 0x000102);
  struct Case { int32_t x, y; };
  for (const Case c : {Case{4, 0}, Case{-1, 0}, Case{0, 3}, Case{0, -1}}) {
    DWORD v = 0;
    EXPECT_EQ(GetSurfacePixel(s, c.x, c.y, &v), S_OK);
    EXPECT_EQ(v, kNoPixel) << c.x << "," << c.y;
    EXPECT_EQ(SetSurfacePixel(s, c.x, c.y, 0xABCDEF), S_OK);
  }
  for (uint32_t v : ReadPixels(s)) EXPECT_EQ(v, 0x000102u);
  DWORD v = 0;
  EXPECT_EQ(GetSurfacePixel(DDSurface(), 0, 0, &v), E_POINTER);
  EXPECT_EQ(GetSurfacePixel(s, 0, 0, nullptr), E_INVALIDARG);
  EXPECT_EQ(SetSurfacePixel(DDSurface(), 0, 0, 0), E_POINTER);
}

TEST_F(DDSurfacePixelTest, PixelsRoundTripAndColoursMatchTheirRawValueInEachFormat) {
  struct Case { DisplayFormat format; DWORD value, magenta; };
  for (const Case c : {Case{DisplayFormat::Rgb565, 0xBEEF, 0xF81F}, Case{DisplayFormat::Rgb555, 0x7ACE, 0x7C1F},
                       Case{DisplayFormat::Xrgb8888, 0x00C0FFEE, 0xFF00FF}}) {
    SCOPED_TRACE(FormatName(c.format));
    UseDesktop(c.format);
    DDSurface s = MakeSurface(dd_, 5, 4);
    ClearSurface(s, 0x1234);
    EXPECT_EQ(SetSurfacePixel(s, 4, 3, c.value), S_OK);
    DWORD v = 0;
    EXPECT_EQ(GetSurfacePixel(s, 4, 3, &v), S_OK);
    EXPECT_EQ(v, c.value);
    EXPECT_EQ(PixelAt(s, 4, 3), c.value);
    EXPECT_EQ(PixelAt(s, 3, 3), 0x1234u);  // neighbours untouched: the pitch is honoured
    // The match writes the colour into the corner through GDI and reads it back.
    EXPECT_EQ(MatchSurfaceColor(s, RGB(255, 0, 255)), c.magenta);
    EXPECT_EQ(PixelAt(s, 0, 0), 0x1234u);
  }
}

TEST_F(DDSurfacePixelTest, AnUnlockableSurfaceOrAMatchOfMinusOneTouchesNoPixel) {
  DDSurface s = MakeSurface(dd_, 2, 2);
  ClearSurface(s, 0x112233);
  HDC dc = GetSurfaceDC(s);
  ASSERT_NE(dc, nullptr);
  DWORD v = 0;
  EXPECT_EQ(GetSurfacePixel(s, 0, 0, &v), E_FAIL);
  EXPECT_EQ(v, kNoPixel);
  EXPECT_EQ(SetSurfacePixel(s, 0, 0, 0), S_OK);
  EXPECT_EQ(MatchSurfaceColor(s, RGB(1, 2, 3)), kNoPixel);
  ReleaseSurfaceDC(s, dc);
  EXPECT_EQ(PixelAt(s, 0, 0), 0x112233u);
  // A lock would use up the still-drawing answer; it must still be there afterwards.
  plat::sim::SetStillDrawing(1);
  EXPECT_EQ(MatchSurfaceColor(s, 0xFFFFFFFF), kNoPixel);
  DDSURFACEDESC2 desc;
  InitSurfaceDesc(desc);
  EXPECT_EQ(LockSurfaceOnce(s, nullptr, &desc, 0), DDERR_WASSTILLDRAWING);
}

}  // namespace
}  // namespace widget_test
