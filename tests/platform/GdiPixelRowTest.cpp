// The GDI pixel rows against the per-pixel reads, in every depth a bitmap can have: the
// row reads take shortcuts for the common depths, which must give the same values.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "gdi/PixelBuffer.h"

namespace gdi_pixel_row_test {

using plat::detail::gdi::PixelBuffer;
using plat::detail::gdi::ReadPixel;
using plat::detail::gdi::ReadRow;
using plat::detail::gdi::SetFormat;

TEST(GdiPixelRowTest, RowReadsMatchThePixelReadsInEveryDepthAndOffset) {
  constexpr int32_t kWidth = 37;
  constexpr int32_t kHeight = 3;
  std::mt19937 rng(11);
  for (const int bpp : {1, 4, 8, 16, 24, 32}) {
    PixelBuffer buf;
    SetFormat(buf, kWidth, kHeight, bpp, nullptr);
    std::vector<uint8_t> bits(buf.ByteSize());
    for (uint8_t& b : bits) b = static_cast<uint8_t>(rng());
    buf.bits = bits.data();
    for (int32_t y = 0; y < kHeight; ++y) {
      for (const int32_t x : {0, 1, 5}) {
        const int32_t n = kWidth - x;
        std::vector<uint32_t> row(static_cast<size_t>(n) + 1, 0xDEADBEEF);
        ReadRow(buf, x, y, n, row.data());
        for (int32_t i = 0; i < n; ++i)
          ASSERT_EQ(row[static_cast<size_t>(i)], ReadPixel(buf, x + i, y)) << bpp << " bpp, row " << y << ", x " << x + i;
        EXPECT_EQ(row.back(), 0xDEADBEEFu) << bpp << " bpp read past its count";
      }
    }
  }
}

}  // namespace gdi_pixel_row_test
