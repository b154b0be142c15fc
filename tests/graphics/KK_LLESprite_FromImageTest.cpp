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

Bytes Flat(const KK_LLESprite& s, uint8_t fill) {
  const int32_t pitch = s.Header().trimWidth * s.BytesPerPixel();
  Bytes out(size_t(pitch) * s.Header().trimHeight, fill);
  s.Unpack(out.data(), pitch);
  return out;
}

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

TEST(LLESpriteFromImageTest, GdiBitmapsAreReadInTheRequestedCode) {
  GetStockObject(WHITE_BRUSH);
  const size_t objects = plat::sim::LiveGdiObjects(), dcs = plat::sim::LiveDeviceContexts();
  const uint32_t K = 0xFF00FF;
  const std::vector<uint32_t> picture = {K, 0xFF0000, 0x00FF00, K,  //
                                         K, K,        K,        K,  //
                                         K, 0x0000FF, K,        K};
  {
    K_Dib section;
    ASSERT_EQ(section.Create(4, 3, 32, 1), 1);
    for (int32_t i = 0; i < 12; ++i) kk::StorePixel<uint32_t>(section.PixelAddress(i % 4, i / 4), picture[size_t(i)]);
    const HBITMAP plain = CreateBitmap(4, 3, 1, 32, picture.data());
    ASSERT_NE(plain, nullptr);
    struct Row {
      int32_t code;
      uint32_t red, green, blue;
    };
    for (const Row& r : {Row{16, 0xF800, 0x07E0, 0x001F}, Row{17, 0x7C00, 0x03E0, 0x001F},
                         Row{32, 0xFF0000, 0x00FF00, 0x0000FF}}) {
      KK_LLESprite a, b;
      ASSERT_EQ(a.CreateFromBitmap(section.GetBitmap(), r.code, K), 1) << r.code;
      ASSERT_EQ(b.CreateFromBitmap(plain, r.code, K), 1) << r.code;
      EXPECT_EQ(a.SaveToBytes(), b.SaveToBytes()) << r.code;
      EXPECT_EQ(a.Header().format, r.code);
      EXPECT_EQ(a.Header().trimLeft, 1);
      EXPECT_EQ(a.Header().trimWidth, 2);
      EXPECT_EQ(a.Header().trimHeight, 3);
      const int32_t bpp = a.BytesPerPixel();
      const Bytes flat = Flat(a, 0);
      auto at = [&](int32_t x, int32_t y) {
        uint32_t v = 0;
        for (int32_t i = 0; i < bpp; ++i) v |= uint32_t(flat[size_t((y * 2 + x) * bpp + i)]) << (8 * i);
        return v;
      };
      EXPECT_EQ(at(0, 0), r.red) << r.code;
      EXPECT_EQ(at(1, 0), r.green) << r.code;
      EXPECT_EQ(at(0, 2), r.blue) << r.code;
    }
    KK_LLESprite s;
    EXPECT_EQ(s.CreateFromBitmap(plain, 8, K), 0);
    EXPECT_EQ(s.CreateFromBitmap(nullptr, 16, K), 0);
    EXPECT_EQ(s.CreateFromBitmap(reinterpret_cast<HBITMAP>(GetStockObject(WHITE_BRUSH)), 16, K), 0);
    ASSERT_TRUE(DeleteObject(plain));
    EXPECT_EQ(s.CreateFromBitmap(plain, 16, K), 0);  // a stale handle
    EXPECT_FALSE(s.HasHeader());
  }
  EXPECT_EQ(plat::sim::LiveGdiObjects(), objects);
  EXPECT_EQ(plat::sim::LiveDeviceContexts(), dcs);
}

TEST(LLESpriteFromImageTest, FilesBecomeSprites) {
  testing_support::TempDir dir;
  plat::sim::MapPathPrefix("S:\\", dir.path());
  K_Dib_Image img;
  ASSERT_EQ(img.Create(4, 2, 32), 1);
  for (int32_t x = 0; x < 4; ++x) {
    kk::StorePixel<uint32_t>(img.PixelAddress(x, 0), x == 0 ? 0xFF00FF : 0x102030);
    kk::StorePixel<uint32_t>(img.PixelAddress(x, 1), 0xFF00FF);
  }
  ASSERT_EQ(img.SaveBMP("S:\\card.bmp"), 1);
  for (int32_t code : {16, 17, 32}) {
    KK_LLESprite s;
    ASSERT_EQ(s.CreateFromImageFile("S:\\card.bmp", code, 0xFF00FF), 1) << code;
    EXPECT_EQ(s.Header().format, code);
    EXPECT_EQ(s.Header().trimLeft, 1);
    EXPECT_EQ(s.Header().trimWidth, 3);
    EXPECT_EQ(s.Header().trimHeight, 1);
  }
  KK_LLESprite none;
  EXPECT_EQ(none.CreateFromImageFile("S:\\missing.bmp", 16, 0xFF00FF), 0);

  // A TGA: alpha 0 pixels are left out, the rest keep alpha 0..31 in mode 1.
  Bytes tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 32, 8};
  for (uint32_t v : {0x00FFFFFFu, 0xFF112233u})
    for (int b = 0; b < 4; ++b) tga.push_back(uint8_t(v >> (8 * b)));
  dir.Write("a.tga", std::string(tga.begin(), tga.end()));
  KK_LLESprite t;
  EXPECT_EQ(t.CreateFromFile("S:\\a.tga", 24), 0);
  EXPECT_EQ(t.CreateFromFile("S:\\a.tga", 8), 0);
  ASSERT_EQ(t.CreateFromFile("S:\\a.tga", 32), 1);
  EXPECT_EQ(t.Header().alphaMode, 1);
  EXPECT_EQ(t.Header().trimLeft, 1);
  EXPECT_EQ(t.Header().trimWidth, 1);
  EXPECT_EQ(kk::LoadPixel<uint32_t>(Flat(t, 0).data()), 0x1F112233u);
  EXPECT_EQ(t.CreateFromFile("S:\\missing.tga", 32), 0);
  plat::sim::ClearPathPrefixes();
}

}  // namespace kk_llesprite_from_image_test
