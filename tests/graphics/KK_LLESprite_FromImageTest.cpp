// Sprites made from images: DIB descriptions in either row order, GDI bitmaps, BMP and
// TGA files, and 32-bit sources stored at 16 bits with their alpha bytes.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/KK_LLESprite.h"
#include "base/PixelFormat.h"
#include "graphics/K_Dib_Image.h"
#include "plat/gdi.h"
#include "plat/sim_files.h"
#include "plat/sim_gdi.h"
#include "graphics/GraphicsTestKit.h"
#include "support/PictureFileWriters.h"

namespace kk_llesprite_from_image_test {

using Bytes = std::vector<uint8_t>;

// A 3 x 3 5-6-5 picture with a key pixel in each corner.
K_DibHeader Picture565(std::vector<uint16_t>& px, bool bottomUp) {
  const uint16_t K = 0xF81F;
  const std::vector<uint16_t> topDown = {K, 0x1111, K, 0x2222, 0x3333, 0x4444, K, 0x5555, K};
  px.clear();
  // Rows of 3 pixels padded to 8 bytes.
  for (int32_t r = 0; r < 3; ++r) {
    const int32_t y = bottomUp ? 2 - r : r;
    for (int32_t x = 0; x < 3; ++x) px.push_back(topDown[size_t(y * 3 + x)]);
    px.push_back(0);
  }
  K_DibHeader h;
  h.biWidth = 3, h.biHeight = bottomUp ? 3 : -3, h.biBitCount = 16, h.biCompression = BI_BITFIELDS;
  h.masks[0] = 0xF800, h.masks[1] = 0x07E0, h.masks[2] = 0x001F;
  h.biSizeImage = 0;  // legal; the pitch comes from the width
  return h;
}

TEST(LLESpriteFromImageTest, DibDescriptionsThatCannotBeEncodedAreRefused) {
  std::vector<uint16_t> px;
  const K_DibHeader h = Picture565(px, true);
  const uint8_t* bits = reinterpret_cast<const uint8_t*>(px.data());
  KK_LLESprite s;
  for (auto change : {+[](K_DibHeader& d) { d.biHeight = 0; }, +[](K_DibHeader& d) { d.biClrUsed = 4; },
                      +[](K_DibHeader& d) { d.biCompression = 1; }}) {
    K_DibHeader bad = h;
    change(bad);
    EXPECT_EQ(s.CreateFromDIB(bad, bits, 16, 0), 0);
  }
  EXPECT_EQ(s.CreateFromDIB(h, bits, 32, 0), 0);  // bit count unlike the code
  EXPECT_EQ(s.CreateFromDIB(h, nullptr, 16, 0), 0);
  EXPECT_FALSE(s.HasHeader());
}

TEST(LLESpriteFromImageTest, ThirtyTwoBitSourceStoredAtSixteenBitsCarriesAlphaBytes) {
  // One line: transparent, two drawn pixels with alpha 31 and 9, transparent.
  const std::vector<uint32_t> px = {0x00FFFFFF, 0x1FFF0000, 0x0900FF00, 0x00000000};
  for (int32_t code : {16, 17}) {
    KK_LLESprite s;
    ASSERT_EQ(s.CreateFromAlpha(4, -1, 16, reinterpret_cast<const uint8_t*>(px.data()), -1, code), 1);
    EXPECT_EQ((std::vector<int>{s.Header().format, s.Header().alphaMode}), (std::vector<int>{code, 2}));
    const uint16_t red = code == 16 ? 0xF800 : 0x7C00, green = code == 16 ? 0x07E0 : 0x03E0;
    // Record: head, one run (skip 0 from the trim left, copy 2), two pixels, two alpha
    // bytes, padding to the 4-byte step.
    EXPECT_EQ(Bytes(s.Runs(), s.Runs() + s.RunSize()),
              (Bytes{1, 0, 20, 0, 0, 0, 0, 0xFF, 0, 0, 2, 0, uint8_t(red), uint8_t(red >> 8), uint8_t(green),
                     uint8_t(green >> 8), 31, 9, 0x70, 0x70}));
    // It loads back as a sound mode-2 sprite.
    KK_LLESprite back;
    ASSERT_EQ(back.LoadFromBytes(s.SaveToBytes(), 0, 0), 1);
    Bytes alpha(2);
    back.UnpackAlpha(alpha.data(), 2);
    EXPECT_EQ(alpha, (Bytes{31, 9}));
  }
  KK_LLESprite bad;
  EXPECT_EQ(bad.CreateFromAlpha(4, -1, 16, reinterpret_cast<const uint8_t*>(px.data()), -1, 24), 0);
}

}  // namespace kk_llesprite_from_image_test
