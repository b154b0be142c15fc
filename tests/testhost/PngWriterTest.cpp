// The Windows host's PNG writer, built here too: libpng reads back every pixel it wrote,
// under each row filter, and a table's frame takes the room of a compressed one.
#include "tools/winhost/PngWriter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>

namespace {

using winhost::EncodePng;
using winhost::RgbPicture;

RgbPicture Decode(const std::vector<uint8_t>& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  RgbPicture out;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return out;
  image.format = PNG_FORMAT_RGB;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) out = {};
  png_image_free(&image);
  return out;
}

// Rows that each filter suits best: flat, a ramp across, a ramp down, noise, edges.
RgbPicture Mixed(int width, int height) {
  RgbPicture p{width, height, {}};
  uint32_t noise = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) {
        noise = noise * 1103515245u + 12345u;
        const int band = y / 7 % 5;
        const int v = band == 0 ? 40 : band == 1 ? x * 3 + c : band == 2 ? y * 5 : band == 3 ? int(noise >> 24)
                                                                                           : (x / 4 + y / 4) % 2 * 255;
        p.rgb.push_back(static_cast<uint8_t>(v));
      }
  return p;
}

TEST(PngWriterTest, EveryPixelReadsBackUnderEveryFilter) {
  for (const auto& [width, height] : {std::pair(1, 1), std::pair(97, 41), std::pair(800, 35)}) {
    SCOPED_TRACE(testing::Message() << width << "x" << height);
    const RgbPicture picture = Mixed(width, height);
    const RgbPicture back = Decode(EncodePng(picture));
    EXPECT_EQ(std::tuple(back.width, back.height), std::tuple(width, height));
    EXPECT_TRUE(back.rgb == picture.rgb);
  }
}

// A table as the captures show it: a flat cloth under a few cards and a text line.
TEST(PngWriterTest, AFramesBytesAreCompressed) {
  RgbPicture frame{800, 600, {}};
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const bool card = (x % 120 < 60) && (y > 400 && y < 490);
      const bool text = y > 20 && y < 34 && x < 300 && (x * 7 + y * 3) % 5 < 2;
      const uint8_t v = card ? 230 : text ? 255 : 30;
      frame.rgb.insert(frame.rgb.end(), {v, static_cast<uint8_t>(v + 50), v});
    }
  const std::vector<uint8_t> file = EncodePng(frame);
  EXPECT_LT(file.size(), frame.rgb.size() / 100) << "a hundredth of the pixels' bytes";
  EXPECT_TRUE(Decode(file).rgb == frame.rgb);
}

TEST(PngWriterTest, APictureWhoseSizeAndBytesDisagreeGivesNoFile) {
  EXPECT_TRUE(EncodePng(RgbPicture{2, 2, std::vector<uint8_t>(11)}).empty());
  EXPECT_TRUE(EncodePng(RgbPicture{0, 0, {}}).empty());
}

}  // namespace
