// Image-to-image operations: area blits with clipping and mirroring checked pixel by
// pixel against plain placement, pixel and row copies, transfers to device contexts,
// depth conversion and blur.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/KK_FXMan.h"
#include "base/PixelFormat.h"
#include "graphics/K_Dib.h"
#include "graphics/K_DibDC.h"
#include "plat/sim.h"
#include "plat/sim_gdi.h"
#include "graphics/GraphicsTestKit.h"
#include "support/Sweep.h"

namespace k_dib_copy_test {

using testing_support::CaseRng;

// A 32-bit image whose pixel (x, y) is distinct: 0x00XXYY01.
void Numbered(K_Dib& img, int32_t w, int32_t h) {
  ASSERT_EQ(img.Create(w, h, 32), 1);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) kk::StorePixel<uint32_t>(img.PixelAddress(x, y), uint32_t(x << 16 | y << 8 | 1));
}

// Row by row, as the image stores it.
std::vector<uint32_t> Pixels(const K_Dib& img) {
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < img.Height(); ++y)
    for (int32_t x = 0; x < img.Width(); ++x) out.push_back(img.GetPixel(x, y));
  return out;
}

class K_DibCopyTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateFXManager(32), 1); }
  void TearDown() override { DestroyFXManager(); }
};

// Every source pixel of the area lands where the plain rule puts it, or nowhere when
// that is outside the clip; nothing else changes.
TEST_F(K_DibCopyTest, BlitImageMatchesPlainPlacementOverASweep) {
  K_Dib src;
  Numbered(src, 13, 9);
  for (int32_t c = 0; c < 400; ++c) {
    CaseRng rng{uint64_t(c)};
    K_Dib dst;
    ASSERT_EQ(dst.Create(20, 16, 32), 1);
    dst.SetClipRect(rng.Range(-2, 8), rng.Range(-2, 6), rng.Range(10, 22), rng.Range(8, 18));
    const int32_t x = rng.Range(-15, 25), y = rng.Range(-12, 20);
    int32_t sx = rng.Range(-3, 12), sy = rng.Range(-3, 8), w = rng.Range(-1, 14), h = rng.Range(-1, 10);
    const uint32_t flags = uint32_t(rng.Below(4)) << 16;
    dst.BlitImage(src, x, y, sx, sy, w, h, flags, 0, 0, 0);
    if (w <= 0 || h <= 0) sx = 0, sy = 0, w = 13, h = 9;
    std::vector<uint32_t> want(20 * 16, 0);
    const K_Rect& clip = dst.ClipRect();
    for (int32_t j = 0; j < h; ++j)
      for (int32_t i = 0; i < w; ++i) {
        const int32_t px = sx + i, py = sy + j;
        if (px < 0 || py < 0 || px >= 13 || py >= 9) continue;
        const int32_t dx = (flags & 0x10000) ? x + w - 1 - i : x + i;
        const int32_t dy = (flags & 0x20000) ? y + h - 1 - j : y + j;
        if (dx < clip.left || dy < clip.top || dx >= clip.right || dy >= clip.bottom) continue;
        want[size_t(dy * 20 + dx)] = src.GetPixel(px, py);
      }
    for (int32_t j = 0; j < 16; ++j)
      for (int32_t i = 0; i < 20; ++i) ASSERT_EQ(dst.GetPixel(i, j), want[size_t(j * 20 + i)]) << "case " << c;
  }
}

TEST_F(K_DibCopyTest, BlitImageWithAnEffectRunsEachRowThroughItAndCopiesNeedMatchingShapes) {
  K_Dib src, dst;
  ASSERT_EQ(src.Create(2, 1, 32), 1);
  ASSERT_EQ(dst.Create(2, 1, 32), 1);
  kk::StorePixel<uint32_t>(src.PixelAddress(0, 0), 0x00102030);
  kk::StorePixel<uint32_t>(src.PixelAddress(1, 0), 0x00405060);
  kk::StorePixel<uint32_t>(dst.PixelAddress(0, 0), 0x00303030);
  kk::StorePixel<uint32_t>(dst.PixelAddress(1, 0), 0x00303030);
  dst.BlitImage(src, 0, 0, 0, 0, 0, 0, 1, 152, 0, 0);  // lighten
  dst.BlitImage(src, 0, 0, 0, 0, 0, 0, 1, 1, 31, 0);    // fully transparent: nothing
  EXPECT_EQ(Pixels(dst), (std::vector<uint32_t>{0x00303030, 0x00405060}));
  K_Dib narrow;
  ASSERT_EQ(narrow.Create(2, 1, 16), 1);
  narrow.BlitImage(src, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);  // pixel sizes differ
  EXPECT_EQ(narrow.GetPixel(0, 0), 0u);
  // Whole copies need matching shapes.
  K_Dib a, b, c;
  Numbered(a, 3, 2);
  ASSERT_EQ(b.Create(3, 2, 32), 1);
  ASSERT_EQ(c.Create(2, 2, 32), 1);
  EXPECT_EQ(b.CopyPixels(a), 1);
  EXPECT_EQ(Pixels(b), Pixels(a));
  EXPECT_EQ(c.CopyPixels(a), 0);
  std::vector<uint8_t> packed(2 * 8);
  K_Dib::CopyRows(packed.data(), a.GetBits() + 4, 8, 2, a.Pitch());
  EXPECT_EQ(kk::LoadPixel<uint32_t>(&packed[8]), a.GetPixel(1, 1));
}

TEST_F(K_DibCopyTest, ConvertDepthGoesThroughRowConvertersOrWidens) {
  K_Dib img;
  ASSERT_EQ(img.Create(2, 1, 32), 1);
  kk::StorePixel<uint32_t>(img.PixelAddress(0, 0), 0x00FF0000);
  kk::StorePixel<uint32_t>(img.PixelAddress(1, 0), 0x000000FF);
  img.SetClipRect(1, 0, 2, 1);
  ASSERT_EQ(img.ConvertDepth(16), 1);
  EXPECT_EQ((std::vector<int64_t>{img.BytesPerPixel(), img.FormatCode(), img.GetPixel(0, 0), img.ClipRect().left}),
            (std::vector<int64_t>{2, 16, 0xF800, 1}));
  EXPECT_EQ(img.ConvertDepth(17), 1);  // same pixel size: nothing
  EXPECT_EQ(img.FormatCode(), 16);
  ASSERT_EQ(img.ConvertDepth(24), 1);  // no row converter from 16 bits: widened
  EXPECT_EQ(Pixels(img), (std::vector<uint32_t>{0xFF0000, 0x0000FF}));
  EXPECT_EQ(img.ConvertDepth(8), 0);
  EXPECT_EQ(kk::GetStatus(), kk::kStatusOk);
}

TEST_F(K_DibCopyTest, DrawToDCDescribesBorrowedMemoryOnlyWithPackedRows) {
  K_Dib target;
  ASSERT_EQ(target.Create(2, 1, 32, 1), 1);
  K_DibDC dc;
  HDC memory = dc.Select(target.GetBitmap());
  std::vector<uint16_t> packed = {0x7C00, 0x001F};  // 2 bytes a pixel read as 5-6-5
  K_Dib borrowed;
  ASSERT_EQ(borrowed.Attach(reinterpret_cast<uint8_t*>(packed.data()), 4, 2, 2, 1), 1);
  EXPECT_EQ(borrowed.DrawToDC(memory, 0, 0, 2, 1, 0, 0, 2, 1), 1);
  EXPECT_EQ(Pixels(target), (std::vector<uint32_t>{0x7B8200, 0x0000FF}));  // 0x7C00 in 5-6-5: red 15, green 32
  std::vector<uint16_t> padded(4, 0x001F);
  ASSERT_EQ(borrowed.Attach(reinterpret_cast<uint8_t*>(padded.data()), 8, 2, 2, 1), 1);
  EXPECT_EQ(borrowed.DrawToDC(memory, 0, 0, 2, 1, 0, 0, 2, 1), 0);
  K_Dib empty;
  EXPECT_EQ(empty.DrawToDC(memory, 0, 0, 1, 1, 0, 0, 1, 1), 0);
}

TEST_F(K_DibCopyTest, BlurAveragesEachRowWithinTheRadius) {
  K_Dib img;
  ASSERT_EQ(img.Create(5, 2, 32), 1);
  kk::StorePixel<uint32_t>(img.PixelAddress(2, 0), 0x00F0F0F0);
  img.Blur(img, 1, {0, 0, 5, 1});  // onto itself
  EXPECT_EQ(Pixels(img), (std::vector<uint32_t>{0, 0x505050, 0x505050, 0x505050, 0, 0, 0, 0, 0, 0}));
  K_Dib out;
  ASSERT_EQ(out.Create(5, 2, 32), 1);
  out.Blur32(img, 1000, {-10, -10, 100, 100});  // radius clamped, rectangle cut
  EXPECT_EQ(out.GetPixel(0, 0), 0x00303030u);
  K_Dib small;
  ASSERT_EQ(small.Create(5, 2, 16), 1);
  small.Blur32(small, 1, {0, 0, 5, 2});  // 32-bit only
}

TEST_F(K_DibCopyTest, DrawToDCCopiesAtTheSameSizeAndStretchesOtherwise) {
  K_Dib src;
  Numbered(src, 2, 2);
  K_Dib target;
  ASSERT_EQ(target.Create(5, 4, 32, 1), 1);
  K_DibDC dc;
  HDC memory = dc.Select(target.GetBitmap());
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(src.DrawToDC(memory, 1, 1, 2, 2, 0, 0, 2, 2), 2);
  const uint32_t a = 0x000001, b = 0x010001, c = 0x000101, d = 0x010101;  // (0,0) (1,0) (0,1) (1,1)
  EXPECT_EQ(Pixels(target), (std::vector<uint32_t>{0, 0, 0, 0, 0,  //
                                                   0, a, b, 0, 0,  //
                                                   0, c, d, 0, 0,  //
                                                   0, 0, 0, 0, 0}));
  // A source area of one pixel, then the whole image doubled.
  EXPECT_NE(src.DrawToDC(memory, 4, 3, 1, 1, 1, 1, 1, 1), 0);
  EXPECT_EQ(target.GetPixel(4, 3), d);
  EXPECT_NE(src.DrawToDC(memory, 0, 0, 4, 4, 0, 0, 2, 2), 0);
  EXPECT_EQ(Pixels(target), (std::vector<uint32_t>{a, a, b, b, 0,  //
                                                   a, a, b, b, 0,  //
                                                   c, c, d, d, 0,  //
                                                   c, c, d, d, d}));
  // A 5-6-5 image is read by its masks.
  K_Dib red;
  ASSERT_EQ(red.Create(1, 1, 16), 1);
  kk::StorePixel<uint16_t>(red.PixelAddress(0, 0), 0xF800);
  EXPECT_EQ(red.DrawToDC(memory, 4, 0, 1, 1, 0, 0, 1, 1), 1);
  EXPECT_EQ(target.GetPixel(4, 0), 0xFF0000u);
}

TEST_F(K_DibCopyTest, ConvertDepthThroughGdiLeavesADibSectionAndNoDCs) {
  GetStockObject(WHITE_BRUSH);
  const size_t objects = plat::sim::LiveGdiObjects(), dcs = plat::sim::LiveDeviceContexts();
  {
    K_Dib img;
    ASSERT_EQ(img.Create(3, 2, 17), 1);
    kk::StorePixel<uint16_t>(img.PixelAddress(2, 1), 0x7C00);
    ASSERT_EQ(img.ConvertDepth(32), 1);
    EXPECT_NE(img.GetBitmap(), nullptr);
    EXPECT_EQ(img.FormatCode(), 32);
    EXPECT_EQ(img.GetPixel(2, 1), 0xFF0000u);
    EXPECT_EQ(img.GetPixel(0, 0), 0u);
    EXPECT_EQ(plat::sim::LiveGdiObjects(), objects + 1);
    EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcs);
    // Borrowed rows GDI cannot be told about are refused and left as they were.
    std::vector<uint16_t> padded(4, 0x001F);
    K_Dib borrowed;
    ASSERT_EQ(borrowed.Attach(reinterpret_cast<uint8_t*>(padded.data()), 8, 2, 2, 1), 1);
    EXPECT_EQ(borrowed.ConvertDepth(24), 0);
    EXPECT_EQ(borrowed.GetBits(), reinterpret_cast<uint8_t*>(padded.data()));
    plat::sim::FailNext("CreateCompatibleDC");
    K_Dib other;
    ASSERT_EQ(other.Create(2, 2, 16), 1);
    EXPECT_EQ(other.ConvertDepth(24), 0);
    EXPECT_EQ(other.BytesPerPixel(), 2);
  }
  EXPECT_EQ(plat::sim::LiveGdiObjects(), objects);
  EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcs);
}

}  // namespace k_dib_copy_test
