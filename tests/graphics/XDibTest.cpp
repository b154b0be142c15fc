// The DIB canvas: creation and packed-DIB loading in both row orders and its limits,
// fills and blends, the copies by depth pair with both clips, three- and nine-slice
// tiling, palette queries, resources, and the round trip through a device context.
#include "graphics/XDib.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/ByteReader.h"
#include "graphics/KK_GdiScope.h"
#include "graphics/GraphicsTestKit.h"
#include "plat/module.h"
#include "plat/sim.h"
#include "widgets/WidgetTestSupport.h"

namespace xdib_test {

using Bytes = std::vector<uint8_t>;

uint32_t Px(const XDib& d, int32_t x, int32_t y) { return LoadU32(d.PixelAt(x, y)); }
// Every pixel of a 32-bit canvas, rows top down.
std::vector<uint32_t> All(const XDib& d) {
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < d.Height(); ++y)
    for (int32_t x = 0; x < d.Width(); ++x) out.push_back(Px(d, x, y));
  return out;
}
using Pixels = std::vector<uint32_t>;

XDib Canvas32(int32_t w, int32_t h, uint32_t fill) {
  XDib d;
  EXPECT_EQ(d.CreateDib32(SIZE{w, h}), 1);
  d.FillRect(RECT{0, 0, w, h}, fill);
  return d;
}

// An 8-bit canvas whose table maps index i to grey i (blue, green, red all i).
XDibInfo GreyRamp() {
  XDibInfo info;
  info.header.biBitCount = 8;
  for (int i = 0; i < 256; ++i) info.colors[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
  return info;
}

// A packed DIB: a BMP file without its file header, with the colours-used field set.
Bytes Packed(const widget_test::BmpPicture& p, uint32_t clrUsed = 0) {
  Bytes b = widget_test::WriteBmp(p);
  b.erase(b.begin(), b.begin() + 14);
  StoreU32(&b[32], clrUsed);
  return b;
}

TEST(XDibTest, CreateMakesTopDownCanvasesWithPaddedRowsAndRefusesBadSizesAndTables) {
  XDib d;
  ASSERT_EQ(d.CreateDib32(SIZE{3, 2}), 1);
  EXPECT_EQ((std::vector<int64_t>{d.Header()->header.biHeight, d.Header()->header.biSizeImage, d.RowBytes(),
                                  d.ClipRect().right, d.ClipRect().bottom}),
            (std::vector<int64_t>{-2, 24, 12, 3, 2}));
  EXPECT_EQ(d.CreateDib32(SIZE{0, 2}), 0);
  EXPECT_TRUE(d.Empty());
  EXPECT_EQ(d.Width(), 0);
  XDibInfo src = GreyRamp();
  ASSERT_EQ(d.CreateDib8(SIZE{5, 3}, *src.Info()), 1);
  EXPECT_EQ((std::vector<int>{d.Width(), d.RowBytes(), d.Header()->colors[77].rgbRed}), (std::vector<int>{5, 8, 77}));
  src.header.biClrUsed = 257;
  EXPECT_EQ(d.CreateDib8(SIZE{5, 3}, *src.Info()), 0);
  EXPECT_TRUE(d.Empty());
}

TEST(XDibTest, PackedDibsOfEveryDepthLoadUprightInBothRowOrdersWithinTheirBytesAndTables) {
  for (uint16_t bits : {8, 24, 32})
    for (int32_t height : {2, -2}) {
      SCOPED_TRACE(testing::Message() << bits << " bits, height " << height);
      XDib d;
      if (bits == 8) {
        ASSERT_EQ(d.LoadPackedDib(Packed(widget_test::BmpPicture(2, height, 8, {0, 1, 2, 3}, {0x10, 0x20, 0x30, 0x40}), 4)), 1);
        EXPECT_EQ((std::vector<int>{d.BitCount(), *d.PixelAt(1, 0), *d.PixelAt(0, 1), d.Header()->colors[3].rgbBlue}),
                  (std::vector<int>{8, 1, 2, 0x40}));
        continue;
      }
      ASSERT_EQ(d.LoadPackedDib(Packed(widget_test::BmpPicture(1, height, bits, {0x112233, 0x445566}))), 1);
      EXPECT_EQ(d.BitCount(), 32);
      EXPECT_EQ(All(d), (Pixels{0x112233, 0x445566}));  // fourth byte 0
    }
  const Bytes good = Packed(widget_test::BmpPicture(1, 2, 24, {1, 2}));
  Bytes wide = Packed(widget_test::BmpPicture(1, 1, 32, {0}));
  StoreU32(&wide[4], 0x10000);
  XDib d;
  EXPECT_EQ(d.LoadPackedDib(std::span(good).first(good.size() - 1)), 0);  // last row cut
  EXPECT_EQ(d.LoadPackedDib(std::span(good).first(20)), 0);                // header cut
  EXPECT_EQ(d.LoadPackedDib(Packed(widget_test::BmpPicture(1, 1, 8, {0}, std::vector<uint32_t>(300, 0)), 300)), 0);
  EXPECT_EQ(d.LoadPackedDib(Packed(widget_test::BmpPicture(1, 1, 16, {0}))), 0);  // 65536 colours implied
  EXPECT_EQ(d.LoadPackedDib(wide), 0);
  EXPECT_TRUE(d.Empty());
}

TEST(XDibTest, BmpFilesAndBitmapResourcesLoadTheirPackedDib) {
  const widget_test::BmpPicture picture(1, 2, 24, {0xABCDEF, 0x123456});
  gfx_test::Folder dir;
  const std::string path = dir.Put("pic.bmp", widget_test::WriteBmp(picture));
  XDib d;
  ASSERT_EQ(d.LoadBmpFile(path.c_str()), 1);
  EXPECT_EQ(Px(d, 0, 0), 0xABCDEFu);
  EXPECT_EQ(d.LoadBmpFile((path + ".none").c_str()), 0);
  const Bytes dib = Packed(picture);
  ASSERT_TRUE(plat::RegisterResource(nullptr, RT_BITMAP, "XDIBTEST", dib.data(), dib.size()));
  ASSERT_EQ(d.LoadBitmapResource(nullptr, "XDIBTEST"), 1);
  EXPECT_EQ(Px(d, 0, 1), 0x123456u);
  EXPECT_EQ(d.LoadBitmapResource(nullptr, "XDIBMISSING"), 0);
}

TEST(XDibTest, KeyedBlitComparesTheWholePixel) {
  XDib src = Canvas32(3, 1, 0x00FF00FF);
  *(src.PixelAt(1, 0) + 3) = 1;  // same colour bytes, fourth byte set
  StoreU32(src.PixelAt(2, 0), 0x123456);
  XDib d = Canvas32(3, 1, 0xAAAAAA);
  d.BlitKeyed(src, POINT{0, 0}, RECT{0, 0, 3, 1}, 0xFFFF00FF);  // the key's top byte is ignored
  EXPECT_EQ(All(d), (Pixels{0xAAAAAA, 0x01FF00FF, 0x123456}));
  // Blending skips the key too and mixes the rest.
  XDib white = Canvas32(2, 1, 0xFF00FF);
  StoreU32(white.PixelAt(1, 0), 0xFFFFFF);
  XDib e = Canvas32(2, 1, 0);
  e.BlitBlendKeyed(white, POINT{0, 0}, RECT{0, 0, 2, 1}, 128, 0xFF00FF);
  EXPECT_EQ(All(e), (Pixels{0, 0x7F7F7F}));
}

TEST(XDibTest, CopiesByDepthPair) {
  XDibInfo ramp = GreyRamp();
  XDib s8;
  ASSERT_EQ(s8.CreateDib8(SIZE{2, 1}, *ramp.Info()), 1);
  s8.PixelAt(0, 0)[0] = 5;
  s8.PixelAt(0, 0)[1] = 7;
  const XDib s32 = Canvas32(2, 1, 0x313131);
  struct Case {
    const char* name;
    const XDib* source;
    int destBits;
    int op;  // 0 Blit, 1 keyed (key index 7 / colour 0x313131), 2 blend 128
    uint32_t expect0, expect1;
  };
  constexpr uint32_t kDest32 = 0x101010, kDest8 = 0x02;  // destination before the copy
  const Case cases[] = {
      {"8->8 copy", &s8, 8, 0, 5, 7},
      {"8->32 through the table", &s8, 32, 0, 0x050505, 0x070707},
      {"32->32 copy", &s32, 32, 0, 0x313131, 0x313131},
      {"32->8 nothing", &s32, 8, 0, kDest8, kDest8},
      {"8->8 keyed nothing", &s8, 8, 1, kDest8, kDest8},
      {"8->32 keyed skips the index", &s8, 32, 1, 0x050505, kDest32},
      {"32->32 keyed skips the colour", &s32, 32, 1, kDest32, kDest32},
      {"8->8 blend is a copy", &s8, 8, 2, 5, 7},
      {"8->32 blend nothing", &s8, 32, 2, kDest32, kDest32},
      {"32->32 blend", &s32, 32, 2, 0x202020, 0x202020},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    XDib d;
    if (c.destBits == 8) {
      ASSERT_EQ(d.CreateDib8(SIZE{2, 1}, *ramp.Info()), 1);
      d.FillRect(RECT{0, 0, 2, 1}, kDest8 << 24);
    } else {
      d = Canvas32(2, 1, kDest32);
    }
    const uint32_t key = c.source->BitCount() == 8 ? 7u << 24 : 0x313131;
    const RECT all{0, 0, 2, 1};
    if (c.op == 0) d.Blit(*c.source, POINT{0, 0}, all);
    if (c.op == 1) d.BlitKeyed(*c.source, POINT{0, 0}, all, key);
    if (c.op == 2) d.BlitBlend(*c.source, POINT{0, 0}, all, 128);
    EXPECT_EQ((c.destBits == 8 ? Pixels{*d.PixelAt(0, 0), *d.PixelAt(1, 0)} : All(d)), (Pixels{c.expect0, c.expect1}));
  }
}

// A source whose column x holds x + 1 in every row, and row y holds 100 (y + 1) plus that.
XDib Numbered(int32_t w, int32_t h) {
  XDib s = Canvas32(w, h, 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) StoreU32(s.PixelAt(x, y), uint32_t(100 * (y + 1) + x + 1));
  return s;
}

TEST(XDibTest, SlicesRepeatTheMiddleStripCutTheLastCopyAndCopyTheNineSliceMiddleOnce) {
  // Horizontal: border 2, strip columns 3..6 (values 3..6).
  XDib h = Canvas32(13, 1, 0);
  h.ThreeSliceH(Numbered(8, 1), RECT{0, 0, 8, 1}, RECT{0, 0, 13, 1});
  EXPECT_EQ(All(h), (Pixels{101, 102, 103, 104, 105, 106, 103, 104, 105, 106, 103, 107, 108}));
  // Vertical: border 1, strip rows 1..2.
  XDib v = Canvas32(1, 7, 0);
  v.ThreeSliceV(Numbered(1, 4), RECT{0, 0, 1, 4}, RECT{0, 0, 1, 7});
  EXPECT_EQ(All(v), (Pixels{101, 201, 301, 201, 301, 201, 401}));
  // A source narrower than its four ends has nothing to tile, and both calls return.
  XDib narrow = Canvas32(10, 10, 0);
  narrow.ThreeSliceH(Numbered(3, 3), RECT{0, 0, 3, 3}, RECT{0, 0, 10, 10});
  narrow.ThreeSliceV(Numbered(3, 3), RECT{0, 0, 3, 3}, RECT{0, 0, 10, 10});
  EXPECT_EQ(Px(narrow, 5, 5), 0u);
  // Nine slices of a 4 x 8 source (h = 2): top band source rows 0..1; middle from
  // source row 2 down to the source's end (rows 2..7 land in 2..7); rows 8..13
  // untouched; bottom band: source rows 6..7.
  XDib d = Canvas32(4, 16, 0);
  d.NineSlice(Numbered(4, 8), RECT{0, 0, 4, 8}, RECT{0, 0, 4, 16});
  Pixels column;
  for (int32_t y = 0; y < 16; ++y) column.push_back(Px(d, 0, y));
  EXPECT_EQ(column, (Pixels{101, 201, 301, 401, 501, 601, 701, 801, 0, 0, 0, 0, 0, 0, 701, 801}));
  EXPECT_EQ(Px(d, 3, 15), 804u);
}

TEST(XDibTest, OnePixelWideCheckerboardCoversEverySecondRow) {
  XDib d = Canvas32(3, 6, 0);
  d.FillRectChecker(RECT{1, 0, 2, 6}, 0xFF0000FF, 0);  // fourth byte of the colour dropped
  for (int32_t y = 0; y < 6; ++y) EXPECT_EQ(Px(d, 1, y), y % 2 == 1 ? 0xFFu : 0u) << y;
  d.FillRectChecker(RECT{0, 0, 1, 6}, 0x7, 3);
  for (int32_t y = 0; y < 6; ++y) EXPECT_EQ(Px(d, 0, y), y % 2 == 1 ? 7u : 0u) << y;
}

TEST(XDibTest, BlendFillMovesEachChannelByLevelOver256) {
  XDib d = Canvas32(1, 1, 0x00FF80);
  d.BlendFillRect(RECT{0, 0, 1, 1}, 0xFFFFFF, 0);
  EXPECT_EQ(Px(d, 0, 0), 0x00FF80u);
  d.BlendFillRect(RECT{0, 0, 1, 1}, 0xFF0000, 255);
  // Rising red stops at 254; falling channels round towards minus infinity, so green
  // and blue reach 0.
  EXPECT_EQ(Px(d, 0, 0), 0xFE0000u);
}

TEST(XDibTest, NearestIndexPrefersAnExactMatchThenTheFirstClosest) {
  XDibInfo table;
  table.header.biBitCount = 8;
  table.colors[0] = RGBQUAD{0, 0, 0, 0};
  table.colors[1] = RGBQUAD{10, 0, 0, 0};  // blue 10
  table.colors[2] = RGBQUAD{0, 0, 10, 0};  // red 10
  table.colors[3] = RGBQUAD{10, 0, 0, 0};
  XDib d;
  ASSERT_EQ(d.CreateDib8(SIZE{1, 1}, *table.Info()), 1);
  EXPECT_EQ(d.NearestIndex(0x00000A), 1u << 24 | 0x0A);  // blue 10: entry 1, not 3
  EXPECT_EQ(d.NearestIndex(0x0A0000), 2u << 24 | 0x0A0000);
  EXPECT_EQ(d.NearestIndex(0x000006), 1u << 24 | 6);  // 4 from entry 1, 6 from entry 0
  EXPECT_EQ(d.NearestIndex(0x000004), 0u << 24 | 4);
  const XDib d32 = Canvas32(1, 1, 0);
  EXPECT_EQ(d32.NearestIndex(0x123456), 0x123456u);
  EXPECT_EQ(XDib().NearestIndex(0x123456), 0u);
}

TEST(XDibTest, GreyPaletteWeighsRedGreenAndBlue) {
  XDibInfo table;
  table.header.biBitCount = 8;
  table.colors[0] = RGBQUAD{0, 0, 255, 0};  // red
  table.colors[1] = RGBQUAD{0, 255, 0, 0};
  table.colors[2] = RGBQUAD{255, 0, 0, 0};
  table.colors[3] = RGBQUAD{9, 9, 9, 0};
  XDib d;
  ASSERT_EQ(d.CreateDib8(SIZE{1, 1}, *table.Info()), 1);
  d.MakeGrey();
  EXPECT_EQ(d.Header()->colors[0].rgbGreen, 76);  // 765 / 10
  EXPECT_EQ(d.Header()->colors[1].rgbBlue, 153);
  EXPECT_EQ(d.Header()->colors[2].rgbRed, 25);
  EXPECT_EQ(d.Header()->colors[3].rgbRed, 9);
  EXPECT_EQ(d.GetColorCount(), 256);
  KK_GdiObject<HPALETTE> palette(d.CreatePalette());
  EXPECT_TRUE(palette);
  EXPECT_EQ(Canvas32(1, 1, 0).CreatePalette(), nullptr);
}

TEST(XDibTest, CanvasSurvivesARoundTripThroughADeviceContext) {
  XDib src = Numbered(3, 2);
  KK_WindowDC screen;
  KK_GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), 3, 2));
  {
    KK_MemoryDC memory(screen.Get());
    ASSERT_TRUE(memory.Select(bitmap.Get()));
    EXPECT_GT(src.CopyToDC(memory.Get(), POINT{0, 0}, RECT{0, 0, 3, 2}), 0);
    XDib captured;
    ASSERT_EQ(captured.FromDC(memory.Get(), RECT{1, 0, 3, 2}), 1);
    EXPECT_EQ(captured.Width(), 2);
    EXPECT_EQ(Px(captured, 0, 0) & 0xFFFFFF, 102u);
    EXPECT_EQ(Px(captured, 1, 1) & 0xFFFFFF, 203u);
  }
  XDib copy;
  ASSERT_EQ(copy.CopyFrom(src), 1);
  EXPECT_EQ(Px(copy, 2, 1), 203u);
  EXPECT_EQ(copy.CopyFrom(XDib()), 0);
}

}  // namespace xdib_test
