// The display's row conversion against its per-pixel reference: every 16-bit value in
// both 16-bit layouts, and a seeded sweep of 32-bit pixels with their unused byte set.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "ddraw/PixelFormat.h"
#include "plat/sim_display.h"

namespace pixel_row_test {

using plat::detail::ddraw::FormatOf;
using plat::sim::DisplayFormat;
using plat::detail::ddraw::PixelToXrgb;
using plat::detail::ddraw::ReadPixel;
using plat::detail::ddraw::RowToXrgb;

std::vector<uint32_t> Reference(const plat::detail::ddraw::PixelFormat& f, const std::vector<uint8_t>& raw) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i + static_cast<size_t>(f.bytes) <= raw.size(); i += static_cast<size_t>(f.bytes)) {
    out.push_back(PixelToXrgb(f, ReadPixel(raw.data() + i, f.bytes)));
  }
  return out;
}

TEST(PixelRowTest, RowsMatchThePerPixelReferenceInEveryFormat) {
  std::mt19937 rng(7);
  for (const DisplayFormat kind : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888,
                                   DisplayFormat::Rgb888, DisplayFormat::Palette8}) {
    const auto f = FormatOf(kind);
    std::vector<uint8_t> raw;
    if (f.bytes == 2) {
      for (uint32_t v = 0; v <= 0xFFFF; ++v) raw.insert(raw.end(), {uint8_t(v), uint8_t(v >> 8)});
    } else {
      for (int i = 0; i < 4099 * f.bytes; ++i) raw.push_back(static_cast<uint8_t>(rng()));
    }
    const std::vector<uint32_t> want = Reference(f, raw);
    std::vector<uint32_t> got(want.size() + 1, 0xDEADBEEF);
    RowToXrgb(f, raw.data(), got.data(), static_cast<int>(want.size()));
    EXPECT_EQ(got.back(), 0xDEADBEEFu) << "wrote past the row";
    got.pop_back();
    EXPECT_EQ(got, want) << static_cast<int>(kind);
  }
}

// Rows shorter than a vector, and a vector and a few: the tail alone converts, and
// nothing past the row is written.
TEST(PixelRowTest, ShortXrgbRowsConvertToTheirEnd) {
  const auto f = FormatOf(DisplayFormat::Xrgb8888);
  for (int count = 0; count <= 19; ++count) {
    std::vector<uint8_t> raw(static_cast<size_t>(count) * 4);
    for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(0xA5 + 37 * i);
    const std::vector<uint32_t> want = Reference(f, raw);
    std::vector<uint32_t> got(want.size() + 1, 0xDEADBEEF);
    RowToXrgb(f, raw.data(), got.data(), count);
    EXPECT_EQ(got.back(), 0xDEADBEEFu) << count;
    got.pop_back();
    EXPECT_EQ(got, want) << count;
  }
}

}  // namespace pixel_row_test
