#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "GdiFixtures.h"
#include "plat/gdi.h"
#include "plat/winuser.h"

using gdi_test::DibCanvas;
using gdi_test::kMasks565;

namespace gdi_blit_test {

constexpr COLORREF kMagenta = RGB(255, 0, 255);

TEST(GdiBlit, MonoAndColourConvertThroughTheDcColoursAndMaskThenImageDrawsTransparently) {
  // Mono to colour: 0 takes the target's text colour, 1 its background colour.
  const uint8_t bits[2] = {0x40, 0};  // 0 1 0: only x = 1 is set
  HBITMAP mono = CreateBitmap(3, 1, 1, 1, bits);
  HDC monoDc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldMono = SelectObject(monoDc, mono);
  DibCanvas dst(3, 1, 16, kMasks565);
  SetTextColor(dst.dc(), RGB(255, 0, 0));
  SetBkColor(dst.dc(), kMagenta);
  ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 3, 1, monoDc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.Raw(0, 0), 0xF800u);
  EXPECT_EQ(dst.Raw(1, 0), 0xF81Fu);
  // Colour to mono: only the source's background colour becomes white.
  DibCanvas src(3, 1, 32);
  src.Fill(RGB(10, 20, 30));
  SetPixel(src.dc(), 2, 0, kMagenta);
  SetBkColor(src.dc(), kMagenta);
  ASSERT_TRUE(BitBlt(monoDc, 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(monoDc, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(monoDc, 2, 0), RGB(255, 255, 255));
  // The classic transparent draw: mask (white = transparent) by SRCAND, then the image
  // whose transparent pixels are black by SRCPAINT.
  DibCanvas image(3, 1, 32), back(3, 1, 32);
  SetPixel(image.dc(), 2, 0, RGB(0, 0, 0));
  SetPixel(image.dc(), 1, 0, RGB(200, 100, 50));
  back.Fill(RGB(1, 2, 3));
  SetBkColor(back.dc(), RGB(255, 255, 255));
  ASSERT_TRUE(BitBlt(back.dc(), 0, 0, 3, 1, monoDc, 0, 0, SRCAND));
  ASSERT_TRUE(BitBlt(back.dc(), 0, 0, 3, 1, image.dc(), 0, 0, SRCPAINT));
  EXPECT_EQ(GetPixel(back.dc(), 2, 0), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(back.dc(), 1, 0), RGB(200, 100, 50));
  SelectObject(monoDc, oldMono);
  DeleteDC(monoDc);
  DeleteObject(mono);
}

TEST(GdiBlit, TransparentBltSkipsExactlyTheKeyColour) {
  DibCanvas src(3, 1, 16, kMasks565), dst(3, 1, 32);
  SetPixel(src.dc(), 0, 0, kMagenta);
  SetPixel(src.dc(), 1, 0, RGB(248, 0, 255));  // same 5-6-5 value as magenta: keyed too
  SetPixel(src.dc(), 2, 0, RGB(240, 0, 248));  // one step off: drawn
  dst.Fill(RGB(9, 9, 9));
  ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 3, 1, src.dc(), 0, 0, 3, 1, kMagenta));
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(dst.dc(), 1, 0), RGB(9, 9, 9));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 0), RGB(0xF7, 0, 0xFF));
  EXPECT_FALSE(TransparentBlt(dst.dc(), 0, 0, -3, 1, src.dc(), 0, 0, 3, 1, kMagenta));
}

TEST(GdiBlit, StretchIsNearestNeighbourAndNegativeSizesMirror) {
  DibCanvas src(2, 1, 32), dst(4, 2, 32);
  SetPixel(src.dc(), 0, 0, RGB(10, 0, 0));
  SetPixel(src.dc(), 1, 0, RGB(20, 0, 0));
  ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, SRCCOPY));
  const COLORREF row[4] = {RGB(10, 0, 0), RGB(10, 0, 0), RGB(20, 0, 0), RGB(20, 0, 0)};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(GetPixel(dst.dc(), x, 0), row[x]);
    EXPECT_EQ(GetPixel(dst.dc(), x, 1), row[x]);
  }
  ASSERT_TRUE(StretchBlt(dst.dc(), 3, 0, -2, 1, src.dc(), 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(GetPixel(dst.dc(), 1, 0), RGB(20, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 0), RGB(10, 0, 0));
}

TEST(GdiBlit, PatternAndConstantOperationsUseTheBrush) {
  DibCanvas dst(2, 1, 32);
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  SelectObject(dst.dc(), brush);
  struct Case { DWORD rop; COLORREF before, after; } cases[] = {{PATCOPY, RGB(9, 9, 9), RGB(1, 2, 3)},
               {BLACKNESS, RGB(9, 9, 9), RGB(0, 0, 0)}, {WHITENESS, RGB(9, 9, 9), RGB(255, 255, 255)},
               {DSTINVERT, RGB(0, 255, 15), RGB(255, 0, 240)},
               {PATINVERT, RGB(0, 0, 0), RGB(1, 2, 3)}};
  for (const Case& c : cases) {
    dst.Fill(c.before);
    EXPECT_TRUE(PatBlt(dst.dc(), 0, 0, 2, 1, c.rop));
    EXPECT_EQ(GetPixel(dst.dc(), 1, 0), c.after) << std::hex << c.rop;
  }
  SelectObject(dst.dc(), GetStockObject(NULL_BRUSH));
  dst.Fill(RGB(9, 9, 9));
  EXPECT_TRUE(PatBlt(dst.dc(), 0, 0, 2, 1, PATCOPY));
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(9, 9, 9));  // a hollow brush paints nothing
  EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  DeleteObject(brush);
}

TEST(GdiBlit, RectanglesAtExtremeCoordinatesTouchNothingOutside) {
  DibCanvas src(4, 4, 32), dst(4, 4, 16, kMasks565);
  src.Fill(RGB(255, 255, 255));
  dst.Fill(RGB(0, 0, 0));
  const int big = INT_MAX, small = INT_MIN;
  EXPECT_TRUE(BitBlt(dst.dc(), small, small, big, big, src.dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc(), 3, 3, big, big, src.dc(), small, small, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dst.dc(), small, small, big, big, src.dc(), big, big, small, small, SRCCOPY));
  EXPECT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 4, src.dc(), small, 0, big, 1, SRCCOPY));
  EXPECT_TRUE(PatBlt(dst.dc(), small, small, big, big, WHITENESS));
  EXPECT_TRUE(TransparentBlt(dst.dc(), big, big, big, big, src.dc(), 0, 0, big, big, kMagenta));
  RECT r{small, small, big, big};
  EXPECT_TRUE(FillRect(dst.dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_TRUE(FrameRect(dst.dc(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))));
  EXPECT_TRUE(Rectangle(dst.dc(), small, small, big, big));
  MoveToEx(dst.dc(), small, small, nullptr);
  EXPECT_TRUE(LineTo(dst.dc(), big, big));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 2), RGB(0, 0, 0));  // the line passes outside the buffer
}

// Across the whole 32-bit range the minor offset at the buffer is 3 x i / (2^32 - 1)
// with i = 2^31 + k going right (just above 1.5: rounds to 2) and i = 2^31 - 1 - k
// going up (just below 1.5: rounds to 1), products past 32 bits.
TEST(GdiBlit, LinesBetweenTheExtremesOfTheRangeRoundToTheNearestPixel) {
  struct Case {
    POINT from, to;
    bool xMajor;
    int32_t minor;
  };
  const Case table[] = {
      {{INT_MIN, 0}, {INT_MAX, 3}, true, 2},
      {{INT_MIN, 3}, {INT_MAX, 0}, true, 1},
      {{0, INT_MAX}, {3, INT_MIN}, false, 1},
      {{3, INT_MAX}, {0, INT_MIN}, false, 2},
  };
  for (const Case& c : table) {
    DibCanvas dst(4, 4, 32);
    dst.Fill(RGB(255, 255, 255));
    MoveToEx(dst.dc(), c.from.x, c.from.y, nullptr);
    ASSERT_TRUE(LineTo(dst.dc(), c.to.x, c.to.y));
    for (int32_t major = 0; major < 4; ++major) {
      for (int32_t minor = 0; minor < 4; ++minor) {
        const int32_t x = c.xMajor ? major : minor, y = c.xMajor ? minor : major;
        EXPECT_EQ(GetPixel(dst.dc(), x, y), minor == c.minor ? RGB(0, 0, 0) : RGB(255, 255, 255))
            << "line from " << c.from.x << ',' << c.from.y << " at " << x << ',' << y;
      }
    }
  }
}

// The reference: one pixel at a time, any raster operation by its truth table.
uint32_t RefRop(DWORD rop, uint32_t p, uint32_t s, uint32_t d) {
  const uint32_t code = (rop >> 16) & 0xFF;
  uint32_t out = 0;
  for (int bit = 0; bit < 32; ++bit) {
    const uint32_t i = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
    out |= ((code >> i) & 1) << bit;
  }
  return out;
}

TEST(GdiBlit, MatchesThePixelByPixelReferenceOverASeededSweep) {
  const DWORD rops[] = {SRCCOPY, SRCAND, SRCPAINT, SRCINVERT, NOTSRCCOPY, SRCERASE, MERGECOPY, PATPAINT, 0x00B8074A};
  constexpr int W = 7, H = 5;
  for (uint32_t seed = 0; seed < 300; ++seed) {
    SCOPED_TRACE(testing::Message() << "case " << seed);
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const bool wide = seed % 2 == 0;
    DibCanvas src(W, H, wide ? 32 : 16, wide ? nullptr : kMasks565), dst(W, H, wide ? 32 : 16, wide ? nullptr : kMasks565);
    const uint32_t mask = wide ? 0xFFFFFF : 0xFFFF;
    uint32_t before[H][W], srcv[H][W];
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        SetPixel(src.dc(), x, y, static_cast<COLORREF>(rng()) & 0xFFFFFF);
        SetPixel(dst.dc(), x, y, static_cast<COLORREF>(rng()) & 0xFFFFFF);
        srcv[y][x] = src.Raw(x, y);
        before[y][x] = dst.Raw(x, y);
      }
    const COLORREF brushColour = static_cast<COLORREF>(rng()) & 0xFFFFFF;
    HBRUSH brush = CreateSolidBrush(brushColour);
    SelectObject(dst.dc(), brush);
    const uint32_t r = GetRValue(brushColour), g = GetGValue(brushColour), b = GetBValue(brushColour);
    const uint32_t p = wide ? (r << 16 | g << 8 | b) : ((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    const int extreme = pick(0, 9);
    const int x = extreme == 0 ? INT_MIN + pick(0, 3) : pick(-3, W);
    const int y = pick(-3, H);
    const int w = extreme == 1 ? INT_MAX : pick(0, W + 3);
    const int h = pick(0, H + 3);
    const int xs = pick(-3, W), ys = extreme == 2 ? INT_MIN : pick(-3, H);
    const RECT clip{pick(-1, W), pick(-1, H), pick(0, W + 1), pick(0, H + 1)};
    IntersectClipRect(dst.dc(), clip.left, clip.top, clip.right, clip.bottom);
    const DWORD rop = rops[seed % std::size(rops)];
    ASSERT_TRUE(BitBlt(dst.dc(), x, y, w, h, src.dc(), xs, ys, rop));
    for (int py = 0; py < H; ++py)
      for (int px = 0; px < W; ++px) {
        uint32_t want = before[py][px];
        const int64_t sx = static_cast<int64_t>(xs) + px - x, sy = static_cast<int64_t>(ys) + py - y;
        const bool inside = px >= x && static_cast<int64_t>(px) < static_cast<int64_t>(x) + w && py >= y &&
                            py < static_cast<int64_t>(y) + h && px >= clip.left && px < clip.right &&
                            py >= clip.top && py < clip.bottom && sx >= 0 && sx < W && sy >= 0 && sy < H;
        if (inside) want = RefRop(rop, p, srcv[sy][sx], before[py][px]) & mask;
        ASSERT_EQ(dst.Raw(px, py), want) << "at " << px << "," << py << " rop " << std::hex << rop;
      }
    SelectObject(dst.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(brush);
  }
}

TEST(GdiDraw, RectangleOutlinesWithThePenAndFillsInsideWithTheBrush) {
  DibCanvas dst(6, 6, 32);
  dst.Fill(RGB(9, 9, 9));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
  SelectObject(dst.dc(), pen);
  SelectObject(dst.dc(), brush);
  Rectangle(dst.dc(), 1, 1, 5, 5);
  EXPECT_EQ(GetPixel(dst.dc(), 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 4, 4), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 2, 3), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 5, 5), RGB(9, 9, 9));
  SelectObject(dst.dc(), GetStockObject(NULL_PEN));
  dst.Fill(RGB(9, 9, 9));
  Rectangle(dst.dc(), 1, 1, 5, 5);  // without a pen the fill is one pixel smaller
  EXPECT_EQ(GetPixel(dst.dc(), 1, 1), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 3, 3), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dst.dc(), 4, 4), RGB(9, 9, 9));
  SelectObject(dst.dc(), GetStockObject(BLACK_PEN));
  SelectObject(dst.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace gdi_blit_test
