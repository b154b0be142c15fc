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

}  // namespace
