// The GDI pixel rows against the per-pixel reads, in every depth a bitmap can have, and
// the conversion of values between formats against the colour rule: both take
// shortcuts for the common cases, which must give the same values.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "gdi/PixelBuffer.h"

namespace gdi_pixel_row_test {

using plat::detail::gdi::ColorToDevice;
using plat::detail::gdi::ConvertValues;
using plat::detail::gdi::DeviceToColor;
using plat::detail::gdi::kMask565;
using plat::detail::gdi::kMask888;
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

TEST(GdiPixelRowTest, ConvertedValuesFollowTheColourRuleBetweenTrueColourFormats) {
  std::mt19937 rng(13);
  PixelBuffer b24, b32, b32bgr, b16;
  SetFormat(b24, 1, 1, 24, nullptr);
  SetFormat(b32, 1, 1, 32, kMask888);
  const uint32_t bgr[3] = {0x0000FF, 0x00FF00, 0xFF0000};
  SetFormat(b32bgr, 1, 1, 32, bgr);
  SetFormat(b16, 1, 1, 16, kMask565);
  for (const PixelBuffer* to : {&b32, &b32bgr, &b16}) {
    std::vector<uint32_t> values(257);
    for (uint32_t& v : values) v = rng() & 0xFFFFFF;
    std::vector<uint32_t> want;
    for (const uint32_t v : values) want.push_back(ColorToDevice(*to, DeviceToColor(b24, v)));
    ConvertValues(b24, *to, values.data(), static_cast<int32_t>(values.size()));
    EXPECT_EQ(values, want) << to->bpp << " bpp, red mask " << to->masks[0];
  }
}

}  // namespace gdi_pixel_row_test
