#include <gtest/gtest.h>

#include <functional>

#include "GdiFixtures.h"
#include "plat/error.h"
#include "plat/gdi.h"
#include "plat/winuser.h"
#include "plat/sim.h"

using gdi_test::DibCanvas;
using gdi_test::kMasks565;

namespace {

constexpr uint32_t kMasks555[3] = {0x7C00, 0x03E0, 0x001F};

struct ColorCase { COLORREF color; uint32_t v565, v555, v888; COLORREF back565, back555; };

// The colour keys depend on these exact values.
const ColorCase kColors[] = {
    {RGB(255, 0, 255), 0xF81F, 0x7C1F, 0xFF00FF, RGB(255, 0, 255), RGB(255, 0, 255)},
    {RGB(255, 255, 255), 0xFFFF, 0x7FFF, 0xFFFFFF, RGB(255, 255, 255), RGB(255, 255, 255)},
    {RGB(0, 0, 0), 0x0000, 0x0000, 0x000000, RGB(0, 0, 0), RGB(0, 0, 0)},
    {RGB(7, 3, 7), 0x0000, 0x0000, 0x070307, RGB(0, 0, 0), RGB(0, 0, 0)},  // truncation, never rounding
    {RGB(8, 4, 8), 0x0821, 0x0401, 0x080408, RGB(8, 4, 8), RGB(8, 0, 8)},
    {RGB(0x12, 0x34, 0x56), 0x11AA, 0x08CA, 0x123456, RGB(0x10, 0x34, 0x52), RGB(0x10, 0x31, 0x52)},
    {RGB(0xF8, 0xFC, 0xF8), 0xFFFF, 0x7FFF, 0xF8FCF8, RGB(255, 255, 255), RGB(255, 255, 255)},
};

TEST(GdiPixel, ColorrefBecomesExactDeviceValuesAndComesBackByBitReplication) {
  DibCanvas c565(4, 1, 16, kMasks565), c555(4, 1, 16, kMasks555), c16(4, 1, 16), c32(4, 1, 32);
  for (const ColorCase& c : kColors) {
    SCOPED_TRACE(testing::Message() << std::hex << c.color);
    for (const DibCanvas* canvas : {&c565, &c555, &c16, &c32}) SetPixel(canvas->dc(), 1, 0, c.color);
    EXPECT_EQ(c565.Raw(1, 0), c.v565);
    EXPECT_EQ(c555.Raw(1, 0), c.v555);
    EXPECT_EQ(c16.Raw(1, 0), c.v555);  // a 16-bit BI_RGB DIB is 5-5-5
    EXPECT_EQ(c32.Raw(1, 0), c.v888);
    EXPECT_EQ(GetPixel(c565.dc(), 1, 0), c.back565);
    EXPECT_EQ(GetPixel(c555.dc(), 1, 0), c.back555);
    EXPECT_EQ(GetPixel(c32.dc(), 1, 0), c.color);
  }
}

TEST(GdiPixel, SetPixelReturnsTheColourSetAndOutsideIsInvalid) {
  DibCanvas c(3, 2, 16, kMasks565);
  EXPECT_EQ(SetPixel(c.dc(), 0, 0, RGB(0x12, 0x34, 0x56)), RGB(0x10, 0x34, 0x52));
  EXPECT_TRUE(SetPixelV(c.dc(), 2, 1, RGB(255, 0, 255)));
  for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {INT32_MIN, INT32_MAX}}) {
    EXPECT_EQ(GetPixel(c.dc(), x, y), CLR_INVALID);
    EXPECT_EQ(SetPixel(c.dc(), x, y, 0), CLR_INVALID);
  }
}

TEST(GdiBitmap, FreshMemoryDcIsMonochromeAndSoAreItsCompatibleBitmaps) {
  HDC dc = CreateCompatibleDC(nullptr), screen = GetDC(nullptr);
  BITMAP b{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(b), &b), static_cast<int>(sizeof(b)));
  EXPECT_EQ(std::pair(b.bmWidth, b.bmBitsPixel), std::pair(1, WORD{1}));
  HBITMAP mono = CreateCompatibleBitmap(dc, 9, 2), colour = CreateCompatibleBitmap(screen, 4, 4);
  ASSERT_EQ(GetObjectA(mono, sizeof(b), &b), static_cast<int>(sizeof(b)));
  EXPECT_EQ(b.bmBitsPixel, 1);
  EXPECT_EQ(b.bmWidthBytes, 2);  // word-aligned rows
  ASSERT_EQ(GetObjectA(colour, sizeof(b), &b), static_cast<int>(sizeof(b)));
  EXPECT_EQ(b.bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL));
  EXPECT_EQ(b.bmBits, nullptr);
  ReleaseDC(nullptr, screen);
  DeleteObject(mono);
  DeleteObject(colour);
  DeleteDC(dc);
}

TEST(GdiObjects, SaveAndRestoreBringBackObjectsColoursAndClip) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
  EXPECT_EQ(SaveDC(dc), 1);
  SelectObject(dc, brush);
  SetTextColor(dc, RGB(1, 1, 1));
  SetBkMode(dc, TRANSPARENT);
  IntersectClipRect(dc, 0, 0, 0, 0);
  EXPECT_EQ(SaveDC(dc), 2);
  EXPECT_TRUE(RestoreDC(dc, 1));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_FALSE(RestoreDC(dc, -1));  // nothing saved any more
  EXPECT_TRUE(DeleteObject(brush));
  DeleteDC(dc);
}

TEST(GdiObjects, LogfontComesBackByteForByte) {
  LOGFONTA lf{}, back;
  lf.lfHeight = 12;
  lf.lfWeight = 400;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = VARIABLE_PITCH;
  std::strcpy(lf.lfFaceName, "\xB1\xBC\xB8\xB2");
  HFONT f = CreateFontIndirectA(&lf);
  std::memset(&back, 0xAB, sizeof(back));
  EXPECT_EQ(GetObjectA(f, sizeof(back), &back), 60);
  EXPECT_EQ(std::memcmp(&lf, &back, 60), 0);
  DeleteObject(f);
}

TEST(GdiFaults, InjectedFailuresReportTheWindowsWay) {
  HDC screen = GetDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {40, 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  LOGFONTA lf{};
  struct Case { const char* fault; std::function<void*()> make; } cases[] = {
      {"CreateCompatibleDC", [&] { return static_cast<void*>(CreateCompatibleDC(screen)); }},
      {"CreateCompatibleBitmap", [&] { return static_cast<void*>(CreateCompatibleBitmap(screen, 2, 2)); }},
      {"CreateDIBSection", [&] { return static_cast<void*>(CreateDIBSection(screen, &info, DIB_RGB_COLORS, nullptr, nullptr, 0)); }},
      {"CreateFontIndirectA", [&] { return static_cast<void*>(CreateFontIndirectA(&lf)); }},
      {"CreateBrushIndirect", [&] { return static_cast<void*>(CreateSolidBrush(0)); }},
      {"CreatePenIndirect", [&] { return static_cast<void*>(CreatePen(PS_SOLID, 1, 0)); }},
  };
  const size_t objects = plat::sim::LiveGdiObjects(), dcs = plat::sim::LiveDeviceContexts();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    plat::sim::FailNext(c.fault);
    SetLastError(0);
    EXPECT_EQ(c.make(), nullptr);
    EXPECT_NE(GetLastError(), 0u);
    EXPECT_EQ(plat::sim::FaultsFired(c.fault), 1u);
  }
  plat::sim::ClearFaults();
  EXPECT_EQ(plat::sim::LiveGdiObjects(), objects);
  EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcs);
  ReleaseDC(nullptr, screen);
}

TEST(GdiDc, ReleaseDcReleasesOnlyWindowAndScreenDcs) {
  HDC desk = GetWindowDC(GetDesktopWindow()), mem = CreateCompatibleDC(nullptr);
  ASSERT_NE(desk, nullptr);
  EXPECT_EQ(GetDeviceCaps(desk, BITSPIXEL), 32);
  EXPECT_EQ(ReleaseDC(GetDesktopWindow(), desk), 1);
  EXPECT_EQ(ReleaseDC(GetDesktopWindow(), desk), 0);  // already released
  EXPECT_EQ(ReleaseDC(nullptr, mem), 0);  // memory DCs are deleted, not released
  EXPECT_TRUE(DeleteDC(mem));
}

TEST(GdiObjects, PalettesNeedVersionAndEntriesAndObjectsReadBackUntilDeleted) {
  struct {
    LOGPALETTE head;
  } pal{};
  pal.head.palVersion = 0x300;
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
  pal.head.palNumEntries = 0;
  SetLastError(0);
  EXPECT_EQ(CreatePalette(&pal.head), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  pal.head.palNumEntries = 1;  // the one entry the header holds
  pal.head.palVersion = 0x200;
  EXPECT_EQ(CreatePalette(&pal.head), nullptr);
  pal.head.palVersion = 0x300;
  HPALETTE palette = CreatePalette(&pal.head);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(GetObjectType(palette), static_cast<DWORD>(OBJ_PAL));
  EXPECT_TRUE(DeleteObject(palette));

  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  LOGBRUSH lb{};
  EXPECT_EQ(GetObjectA(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
  EXPECT_EQ(lb.lbColor, RGB(4, 5, 6));
  EXPECT_TRUE(DeleteObject(brush));
  SetLastError(0);
  EXPECT_EQ(GetObjectA(brush, sizeof(lb), &lb), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(GdiObjects, SelectReturnsThePreviousObjectAndSelectedObjectsCannotBeDeleted) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  EXPECT_EQ(SelectObject(dc, red), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
  EXPECT_FALSE(DeleteObject(red));
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), red);
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_FALSE(DeleteObject(red));  // stale handle
  EXPECT_EQ(GetObjectType(red), 0u);
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(pen, sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));  // stock objects stay
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
  DeleteDC(dc);  // deleting the DC lets go of its pen
  EXPECT_TRUE(DeleteObject(pen));
}

TEST(GdiObjects, ABitmapLivesInOneDcAtATime) {
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  HBITMAP bm = CreateBitmap(8, 8, 1, 1, nullptr);
  EXPECT_NE(SelectObject(a, bm), nullptr);
  EXPECT_EQ(SelectObject(b, bm), nullptr);
  DeleteDC(a);
  EXPECT_NE(SelectObject(b, bm), nullptr);
  DeleteDC(b);
  EXPECT_TRUE(DeleteObject(bm));
}

TEST(GdiBitmap, GetDibitsReadsRowsInTheRequestedOrderAndDepth) {
  DibCanvas c(3, 2, 16, kMasks565);
  SetPixel(c.dc(), 0, 0, RGB(255, 0, 255));
  SetPixel(c.dc(), 2, 1, RGB(0, 255, 0));
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[256];
  } info{};
  info.h = {40, 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // bottom-up
  uint32_t px[6] = {};
  EXPECT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, px, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 2);
  EXPECT_EQ(px[3], 0xFF00FFu);  // the top row comes last
  EXPECT_EQ(px[2], 0x00FF00u);
  // One-bit rows of a monochrome bitmap, top-down.
  const uint8_t monoBits[4] = {0xA0, 0, 0x40, 0};
  HBITMAP mono = CreateBitmap(3, 2, 1, 1, monoBits);
  info.h = {40, 3, -2, 1, 1, BI_RGB, 0, 0, 0, 0, 0};
  uint32_t rows[2] = {};
  EXPECT_EQ(GetDIBits(c.dc(), mono, 0, 2, rows, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[0] & 0xE0, 0xA0u);
  EXPECT_EQ(rows[1] & 0xE0, 0x40u);
  EXPECT_EQ(info.colors[1].rgbRed, 255);
  DeleteObject(mono);
}

}  // namespace
