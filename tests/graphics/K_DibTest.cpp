// Images: creation sizes, clipping, copying, borrowed memory and DIB sections.
#include "graphics/K_Dib.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/PixelFormat.h"
#include "graphics/K_DibDC.h"
#include "plat/sim.h"
#include "plat/sim_gdi.h"
#include "graphics/GraphicsTestKit.h"

namespace {

TEST(K_DibTest, CreateGivesPitchAndSizeAndRefusesASecondCreate) {
  K_Dib a;
  ASSERT_EQ(a.Create(3, 2, 16), 1);
  const auto* info = a.GetBitmapInfo();
  EXPECT_EQ((std::vector<int64_t>{a.Pitch(), info->biSizeImage, info->biHeight, info->biCompression, info->FormatCode()}),
            (std::vector<int64_t>{8, 16, -2, BI_BITFIELDS, 16}));
  EXPECT_EQ(a.Create(3, 2, 16), 0);
  K_Dib b, c, d;
  ASSERT_EQ(b.Create(3, -2, 24), 1);
  EXPECT_EQ((std::vector<int>{b.Pitch(), b.Height()}), (std::vector<int>{12, 2}));
  ASSERT_EQ(c.Create(3, 2, 17), 1);
  EXPECT_EQ((std::vector<int>{c.GetBitmapInfo()->biBitCount, c.GetBitmapInfo()->FormatCode()}), (std::vector<int>{16, 17}));
  // The last is over the pixel cap.
  EXPECT_EQ((std::vector<int>{d.Create(0, 2, 16), d.Create(2, 0, 16), d.Create(2, 2, 8), d.Create(8193, 2, 32),
                              d.Create(8000, 8000, 32)}),
            std::vector<int>(5, 0));
  EXPECT_EQ(d.GetBits(), nullptr);
}

TEST(K_DibTest, ClipAreaCutsAtEachEdge) {
  K_Dib a;
  ASSERT_EQ(a.Create(100, 50, 32), 1);
  a.SetClipRect(10, 20, 90, 40);
  struct Row {
    int32_t x, y, w, h;
    bool ok;
    int32_t wx, wy, ww, wh;
  };
  const Row rows[] = {
      {15, 25, 5, 5, true, 15, 25, 5, 5},     // inside
      {5, 25, 10, 5, true, 10, 25, 5, 5},     // left
      {85, 25, 10, 5, true, 85, 25, 5, 5},    // right
      {15, 15, 5, 10, true, 15, 20, 5, 5},    // top
      {15, 38, 5, 10, true, 15, 38, 5, 2},    // bottom
      {0, 0, 200, 200, true, 10, 20, 80, 20}, // every edge
      {0, 25, 10, 5, false, 10, 25, 0, 5},    // wholly left
      {90, 25, 10, 5, false, 90, 25, 0, 5},   // wholly right
      {1, 25, 10, 5, true, 10, 25, 1, 5},     // one column in at the left
      {89, 25, 10, 5, true, 89, 25, 1, 5},    // one column in at the right
  };
  for (const Row& r : rows) {
    int32_t x = r.x, y = r.y, w = r.w, h = r.h;
    EXPECT_EQ(a.ClipArea(x, y, w, h), r.ok) << r.x << "," << r.y;
    if (r.ok) {
      EXPECT_EQ(x, r.wx);
      EXPECT_EQ(y, r.wy);
      EXPECT_EQ(w, r.ww);
      EXPECT_EQ(h, r.wh);
    }
  }
}

TEST(K_DibTest, CopyDetachAndAttach) {
  K_Dib a;
  ASSERT_EQ(a.Create(3, 2, 16), 1);
  std::vector<uint8_t> px(17);
  for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i);
  EXPECT_EQ(a.SetPixels(px.data(), 15), 0);
  EXPECT_EQ(a.SetPixels(px.data(), 17), 0);
  ASSERT_EQ(a.SetPixels(px.data(), 16), 1);
  K_Dib b;
  ASSERT_EQ(b.Copy(a), 1);
  EXPECT_EQ(b.GetPixel(2, 1), 0x0D0Cu);
  EXPECT_EQ(b.GetBitmapInfo()->FormatCode(), 16);
  K_Dib c;
  ASSERT_EQ(a.Detach(c), 1);
  EXPECT_EQ(a.GetBits(), nullptr);
  EXPECT_EQ(c.GetPixel(0, 1), 0x0908u);
  EXPECT_EQ(c.GetPixel(3, 0), 0u);
  EXPECT_EQ(c.GetPixel(0, 2), 0u);
  EXPECT_EQ(c.GetPixel(-1, 0), 0u);
  std::vector<uint8_t> outside(40, 7);
  K_Dib d;
  ASSERT_EQ(d.Attach(outside.data(), 20, 4, 4, 2), 1);
  EXPECT_EQ(d.GetPixel(3, 1), 0x07070707u);
  d.DetachBits();
  EXPECT_EQ(d.GetBits(), nullptr);
  EXPECT_EQ(outside[0], 7);
}

TEST(K_DibTest, DibSectionHoldsThePixelsAndGoesWithTheImage) {
  GetStockObject(WHITE_BRUSH);  // the stock objects are made on first use
  const size_t objects = plat::sim::LiveGdiObjects(), dcs = plat::sim::LiveDeviceContexts();
  {
    K_Dib a;
    ASSERT_EQ(a.Create(3, 2, 16, 1), 1);
    ASSERT_NE(a.GetBitmap(), nullptr);
    EXPECT_EQ(plat::sim::LiveGdiObjects(), objects + 1);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(a.GetBitmap(), int32_t(sizeof ds), &ds), int32_t(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, a.GetBits());
    EXPECT_EQ(ds.dsBm.bmWidthBytes, a.Pitch());
    EXPECT_EQ(a.GetBitmapInfo()->biSizeImage, 16u);
    kk::StorePixel<uint16_t>(a.PixelAddress(2, 1), 0xF800);  // 5-6-5 red
    {
      K_DibDC dc;
      HDC memory = dc.Select(a.GetBitmap());
      ASSERT_NE(memory, nullptr);
      EXPECT_EQ(::GetPixel(memory, 2, 1), RGB(255, 0, 0));
      EXPECT_EQ(::GetPixel(memory, 0, 0), RGB(0, 0, 0));
    }
    K_Dib heap;
    ASSERT_EQ(heap.Copy(a), 1);
    EXPECT_EQ(heap.GetBitmap(), nullptr);
    EXPECT_EQ(heap.GetPixel(2, 1), 0xF800u);

    const HBITMAP handle = a.GetBitmap();
    K_Dib b;
    ASSERT_EQ(a.Detach(b), 1);
    EXPECT_EQ(a.GetBitmap(), nullptr);
    EXPECT_EQ(b.GetBitmap(), handle);
    EXPECT_EQ(b.GetPixel(2, 1), 0xF800u);
    b.DetachBits();  // only borrowed memory is forgotten
    EXPECT_EQ(b.GetPixel(2, 1), 0xF800u);
    EXPECT_EQ(plat::sim::LiveGdiObjects(), objects + 1);
  }
  EXPECT_EQ(plat::sim::LiveGdiObjects(), objects);
  EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcs);
}

}  // namespace
