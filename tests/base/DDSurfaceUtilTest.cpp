#include "base/DDSurfaceUtil.h"

#include <gtest/gtest.h>

#include <utility>

#include "base/DDSurfacePixel.h"
#include "plat/error.h"
#include "plat/gdi.h"
#include "support/TimeLimit.h"
#include "widgets/WidgetTestSupport.h"

namespace widget_test {
namespace {

constexpr DisplayFormat kSurfaceFormats[] = {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888};

// A lock that never gives up fails the test instead of hanging it.
bool FinishesInTime(std::function<void()> fn) { return testing_support::FinishesWithin(std::move(fn), 20); }

class DDSurfaceUtilTest : public DisplayTest {
 protected:
  DDSurface Row(const std::vector<uint32_t>& pixels) {
    DDSurface s = MakeSurface(dd_, static_cast<int32_t>(pixels.size()), 1);
    for (size_t x = 0; x < pixels.size(); ++x) {
      RECT r{static_cast<LONG>(x), 0, static_cast<LONG>(x + 1), 1};
      EXPECT_EQ(FillSurfaceRect(s, &r, pixels[x], 0), S_OK);
    }
    return s;
  }
  static std::pair<HRESULT, DWORD> Pixel(const DDSurface& s, int32_t x, int32_t y) {
    DWORD v = 0;
    const HRESULT hr = GetSurfacePixel(s, x, y, &v);
    return {hr, v};
  }
};

TEST_F(DDSurfaceUtilTest, KeyedBlitsAndFillsInEachFormat) {
  for (DisplayFormat f : kSurfaceFormats) {
    UseDesktop(f);
    const uint32_t key = GetDisplayColorKey(dd_);
    const uint32_t red = DevicePixel(f, 255, 0, 0), green = DevicePixel(f, 0, 255, 0);
    const uint32_t blue = DevicePixel(f, 0, 0, 255), white = DevicePixel(f, 255, 255, 255);
    DDSurface src = Row({key, red, key, green});
    DDSurface dst = Row({blue, blue, blue, blue});
    ASSERT_EQ(SetSurfaceColorKey(src, key), S_OK);
    EXPECT_EQ(BltWithColorKey(dst, nullptr, src, nullptr, DDBLT_WAIT), S_OK) << FormatName(f);
    EXPECT_EQ(ReadPixels(dst), (std::vector<uint32_t>{blue, red, blue, green})) << FormatName(f);
    ASSERT_EQ(SetSurfaceColorKey(src, white), S_OK);  // a key no pixel has
    EXPECT_EQ(BltWithColorKey(dst, nullptr, src, nullptr, 0), S_OK);
    EXPECT_EQ(ReadPixels(dst), (std::vector<uint32_t>{key, red, key, green})) << FormatName(f);
    dst = Row({blue, blue, blue, blue});
    EXPECT_EQ(BltWithKeyOverride(dst, nullptr, src, nullptr, 0, DWORD{red}), S_OK);
    EXPECT_EQ(ReadPixels(dst), (std::vector<uint32_t>{key, blue, key, green})) << FormatName(f);
    EXPECT_EQ(BltWithKeyOverride(dst, nullptr, src, nullptr, 0, MakeColorKey(white)), S_OK);
    EXPECT_EQ(ReadPixels(dst), (std::vector<uint32_t>{key, red, key, green})) << FormatName(f);
    RECT inner{1, 0, 3, 1};
    EXPECT_EQ(FillSurfaceRect(dst, &inner, white, 0), S_OK);
    EXPECT_EQ(ReadPixels(dst), (std::vector<uint32_t>{key, white, white, green})) << FormatName(f);
    EXPECT_TRUE(ClearSurface(dst, blue));
    EXPECT_EQ(ReadPixels(dst), (std::vector<uint32_t>{blue, blue, blue, blue})) << FormatName(f);
    EXPECT_EQ(BltFastKeyed(dst, GPoint(0, 0), src, nullptr, 0), S_OK);
    EXPECT_EQ(ReadPixels(dst), (std::vector<uint32_t>{key, red, key, green})) << FormatName(f);
  }
}

TEST_F(DDSurfaceUtilTest, LocksGiveUpAfterBoundedTriesWhileTheSurfaceDcIsOut) {
  DDSurface s = MakeSurface(dd_, 4, 4);
  HRESULT sameThread = S_OK;
  ASSERT_TRUE(FinishesInTime([&] {
    HDC dc = GetSurfaceDC(s);
    ASSERT_NE(dc, nullptr);
    DDSURFACEDESC2 desc;
    InitSurfaceDesc(desc);
    sameThread = LockSurface(s, &desc, DDLOCK_WAIT);
    ReleaseSurfaceDC(s, dc);
  }));
  EXPECT_EQ(sameThread, E_FAIL);
  HDC dc = GetSurfaceDC(s);
  ASSERT_NE(dc, nullptr);
  HRESULT whole = S_OK, part = S_OK;
  ASSERT_TRUE(FinishesInTime([&] {
    DDSURFACEDESC2 desc;
    InitSurfaceDesc(desc);
    EXPECT_EQ(LockSurfaceOnce(s, nullptr, &desc, 0), DDERR_SURFACEBUSY);
    whole = LockSurface(s, &desc, DDLOCK_WAIT);
    RECT r{0, 0, 2, 2};
    part = LockSurfaceRect(s, &r, &desc, DDLOCK_WAIT);
  }));
  EXPECT_EQ(whole, E_FAIL);
  EXPECT_EQ(part, E_FAIL);
  EXPECT_EQ(ReleaseSurfaceDC(s, dc), S_OK);
  DDSURFACEDESC2 desc;
  InitSurfaceDesc(desc);
  RECT r{1, 1, 3, 3};
  ASSERT_EQ(LockSurfaceRect(s, &r, &desc, DDLOCK_WAIT), S_OK);
  EXPECT_EQ(UnlockSurface(s, &r), S_OK);
}

TEST_F(DDSurfaceUtilTest, BitmapsCopyThroughGdiIntoTheSurfaceFormatAndNeedASize) {
  for (DisplayFormat f : kSurfaceFormats) {
    UseDesktop(f);
    // A 2 x 2 DIB section: red, green on top; blue, white below.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bmp, nullptr);
    const uint32_t px[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    std::memcpy(bits, px, sizeof px);
    EXPECT_EQ(GetBitmapSize(bmp), GRect(0, 0, 2, 2));
    DDSurface s;
    ASSERT_EQ(CreateSurfaceFromBitmap(dd_, s, bmp), S_OK) << FormatName(f);
    EXPECT_EQ(ReadPixels(s), (std::vector<uint32_t>{DevicePixel(f, 255, 0, 0), DevicePixel(f, 0, 255, 0),
                                                    DevicePixel(f, 0, 0, 255), DevicePixel(f, 255, 255, 255)}))
        << FormatName(f);
    EXPECT_EQ(CreateSurfaceFromBitmap(dd_, s, bmp), E_INVALIDARG);  // full holder
    DDSurface wide = MakeSurface(dd_, 4, 2);
    ClearSurface(wide, 0);
    EXPECT_EQ(CopyBitmapToSurface(wide, GRect(2, 0, 4, 2), bmp, GRect(0, 0, 2, 2)), S_OK);
    EXPECT_EQ(PixelAt(wide, 0, 0), 0u);
    EXPECT_EQ(PixelAt(wide, 2, 0), DevicePixel(f, 255, 0, 0));
    EXPECT_EQ(PixelAt(wide, 3, 1), DevicePixel(f, 255, 255, 255));
    DeleteObject(bmp);
  }
  // A bitmap without a size is refused.
  DDSurface s;
  EXPECT_EQ(GetBitmapSize(nullptr), GRect());
  EXPECT_EQ(CreateSurfaceFromBitmap(dd_, s, nullptr), E_INVALIDARG);
  EXPECT_FALSE(s);
  DDSurface t = MakeSurface(dd_, 2, 2);
  EXPECT_EQ(CopyBitmapToSurface(t, GRect(0, 0, 2, 2), nullptr, GRect(0, 0, 2, 2)), E_INVALIDARG);
  EXPECT_EQ(CopyBitmapToSurface(DDSurface(), GRect(0, 0, 2, 2), nullptr, GRect(0, 0, 2, 2)), E_POINTER);
}

TEST_F(DDSurfaceUtilTest, GdiPixelsRoundTripAndReportDcFailures) {
  UseDesktop(DisplayFormat::Rgb565);
  DDSurface s = MakeSurface(dd_, 3, 3);
  EXPECT_EQ(SetSurfacePixelGDI(s, 1, 1, RGB(255, 0, 255)), S_OK);
  EXPECT_EQ(PixelAt(s, 1, 1), 0xF81Fu);
  COLORREF c = 0;
  EXPECT_EQ(GetSurfacePixelGDI(s, 1, 1, &c), S_OK);
  EXPECT_EQ(c, RGB(255, 0, 255));
  EXPECT_EQ(GetSurfacePixelGDI(s, 1, 1, nullptr), E_INVALIDARG);
  plat::sim::FailNext("IDirectDrawSurface4::GetDC");
  EXPECT_EQ(GetSurfacePixelGDI(s, 1, 1, &c), DDERR_CANTCREATEDC);
  EXPECT_EQ(c, 0xFFFFFFFFu);
  plat::sim::FailNext("IDirectDrawSurface4::GetDC");
  EXPECT_EQ(SetSurfacePixelGDI(s, 1, 1, 0), DDERR_CANTCREATEDC);
  EXPECT_EQ(PixelAt(s, 1, 1), 0xF81Fu);
}

TEST(HResultFromWin32, ZeroStaysZeroOthersGainTheWin32Facility) {
  EXPECT_EQ(HResultFromWin32(0), 0);
  EXPECT_EQ(HResultFromWin32(ERROR_FILE_NOT_FOUND), static_cast<HRESULT>(0x80070002u));
  EXPECT_EQ(HResultFromWin32(ERROR_INVALID_PARAMETER), E_INVALIDARG);
}

using DDSurfacePixelTest = DDSurfaceUtilTest;

TEST_F(DDSurfacePixelTest, PixelsOutsideAnUnlockableSurfaceOrAMatchOfMinusOneTouchNoPixel) {
  DDSurface s = MakeSurface(dd_, 4, 3);
  ClearSurface(s, 0x000102);
  struct Case { int32_t x, y; };
  for (const Case c : {Case{4, 0}, Case{-1, 0}, Case{0, 3}, Case{0, -1}}) {
    EXPECT_EQ(Pixel(s, c.x, c.y), std::make_pair(S_OK, kNoPixel)) << c.x << "," << c.y;
    EXPECT_EQ(SetSurfacePixel(s, c.x, c.y, 0xABCDEF), S_OK);
  }
  for (uint32_t v : ReadPixels(s)) EXPECT_EQ(v, 0x000102u);
  DWORD v = 0;
  EXPECT_EQ(GetSurfacePixel(DDSurface(), 0, 0, &v), E_POINTER);
  EXPECT_EQ(GetSurfacePixel(s, 0, 0, nullptr), E_INVALIDARG);
  EXPECT_EQ(SetSurfacePixel(DDSurface(), 0, 0, 0), E_POINTER);
  ClearSurface(s, 0x112233);  // unlockable while its DC is out
  HDC dc = GetSurfaceDC(s);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(Pixel(s, 0, 0), std::make_pair(E_FAIL, kNoPixel));
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

TEST_F(DDSurfacePixelTest, PixelsRoundTripAndColoursMatchTheirRawValueInEachFormat) {
  struct Case { DisplayFormat format; DWORD value, magenta; };
  for (const Case c : {Case{DisplayFormat::Rgb565, 0xBEEF, 0xF81F}, Case{DisplayFormat::Rgb555, 0x7ACE, 0x7C1F},
                       Case{DisplayFormat::Xrgb8888, 0x00C0FFEE, 0xFF00FF}}) {
    SCOPED_TRACE(FormatName(c.format));
    UseDesktop(c.format);
    DDSurface s = MakeSurface(dd_, 5, 4);
    ClearSurface(s, 0x1234);
    EXPECT_EQ(SetSurfacePixel(s, 4, 3, c.value), S_OK);
    EXPECT_EQ(Pixel(s, 4, 3), std::make_pair(S_OK, c.value));
    EXPECT_EQ(PixelAt(s, 4, 3), c.value);
    EXPECT_EQ(PixelAt(s, 3, 3), 0x1234u);  // neighbours untouched: the pitch is honoured
    // The match writes the colour into the corner through GDI and reads it back.
    EXPECT_EQ(MatchSurfaceColor(s, RGB(255, 0, 255)), c.magenta);
    EXPECT_EQ(PixelAt(s, 0, 0), 0x1234u);
  }
}

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

TEST_F(DDSurfaceUtilTest, CreateSurfaceRefusesAFullHolderAndANullDirectDraw) {
  DDSurface held = MakeSurface(dd_, 8, 8);
  IDirectDrawSurface4* before = held.Get();
  DDSURFACEDESC2 desc;
  InitSurfaceDesc(desc, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 4, 4, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
  EXPECT_EQ(CreateSurface(dd_, held, &desc), E_INVALIDARG);
  EXPECT_EQ(held.Get(), before);
  EXPECT_EQ(GetSurfaceSize(held), GSize(8, 8));
  DDSurface empty;
  EXPECT_EQ(CreateSurface(DDObject(), empty, &desc), E_POINTER);
  EXPECT_EQ(CreateOffscreenSurface(DDObject(), empty, GSize(4, 4)), E_POINTER);
  EXPECT_FALSE(empty);
}

TEST_F(DDSurfaceUtilTest, OffscreenSurfacesLiveInSystemMemory) {
  DDSurface s = MakeSurface(dd_, 5, 3);
  DDSURFACEDESC2 desc;
  InitSurfaceDesc(desc);
  ASSERT_EQ(GetSurfaceDesc(s, &desc), S_OK);
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_SYSTEMMEMORY);
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN);
  SIZE size{};
  EXPECT_EQ(QuerySurfaceSize(s, &size), S_OK);
  EXPECT_EQ(size.cx, 5);
  EXPECT_EQ(size.cy, 3);
  EXPECT_EQ(QuerySurfaceSize(DDSurface(), &size), E_POINTER);
  EXPECT_EQ(QuerySurfaceSize(s, nullptr), E_INVALIDARG);
  EXPECT_EQ(GetSurfaceDesc(DDSurface(), &desc), E_POINTER);
}

TEST_F(DDSurfaceUtilTest, DisplayDepthAndKeyPerDesktop) {
  struct Case {
    DisplayFormat format;
    int depth;
    COLORREF key;
  };
  const Case cases[] = {
      {DisplayFormat::Rgb565, 16, 0xF81F},   {DisplayFormat::Rgb555, 15, 0x7C1F},
      {DisplayFormat::Xrgb8888, 32, 0xFF00FF}, {DisplayFormat::Rgb888, 24, 0xFF00FF},
      {DisplayFormat::Palette8, 8, 0xFFFFFFFF},
  };
  for (const Case& c : cases) {
    UseDesktop(c.format);
    int depth = -1;
    EXPECT_EQ(QueryDisplayBitDepth(dd_, &depth), S_OK);
    EXPECT_EQ(depth, c.depth) << FormatName(c.format);
    EXPECT_EQ(GetDisplayBitDepth(dd_), c.depth);
    COLORREF key = 0;
    EXPECT_EQ(QueryDisplayColorKey(dd_, &key), S_OK) << FormatName(c.format);
    EXPECT_EQ(key, c.key) << FormatName(c.format);
    EXPECT_EQ(GetDisplayColorKey(dd_), c.key);
  }
  EXPECT_EQ(QueryDisplayBitDepth(dd_, nullptr), E_INVALIDARG);
  EXPECT_EQ(QueryDisplayColorKey(dd_, nullptr), E_INVALIDARG);
}

TEST_F(DDSurfaceUtilTest, NullHoldersRaiseTheComErrorWhereNotChecked) {
  int depth = 0;
  EXPECT_THROW(QueryDisplayBitDepth(DDObject(), &depth), ComError);
  DDSurface s = MakeSurface(dd_, 2, 2);
  EXPECT_THROW(BltSurface(DDSurface(), nullptr, s, nullptr, 0, nullptr), ComError);
  EXPECT_THROW(SetSurfaceColorKey(DDSurface(), 0), ComError);
  EXPECT_EQ(FillSurfaceRect(DDSurface(), nullptr, 0, 0), E_POINTER);
  try {
    DDSURFACEDESC2 desc;
    InitSurfaceDesc(desc);
    LockSurface(DDSurface(), &desc, 0);
    ADD_FAILURE() << "no error raised";
  } catch (const ComError& e) {
    EXPECT_EQ(e.Error(), E_POINTER);
  }
}

}  // namespace
}  // namespace widget_test
