// Image files: TGA reading with alpha kept as 0..31, BMP reading in every code, BMP
// writing and its round trip, and the status each file form reports.
#include "graphics/K_Dib_Image.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/ByteReader.h"
#include "graphics/KFileHandle.h"
#include "graphics/KK_FXMan.h"
#include "plat/sim.h"
#include "plat/sim_files.h"
#include "plat/sim_gdi.h"
#include "graphics/GraphicsTestKit.h"
#include "support/PictureFileWriters.h"
#include "widgets/WidgetTestSupport.h"

namespace k_dib_image_test {

using gfx_test::Bytes;
using widget_test::BmpPicture;

// A TGA of pixels given top row first (the file stores the bottom row first); none
// for a header alone.
Bytes Tga(int32_t w, int32_t h, const std::vector<uint32_t>& topDown, uint8_t type = 2, uint8_t depth = 32,
          const std::string& id = "") {
  testing_support::TgaPicture p;
  p.type = type, p.depth = depth, p.width = int16_t(w), p.height = int16_t(h), p.id = id;
  for (int32_t y = h - 1; y >= 0 && !topDown.empty(); --y)
    p.pixels.insert(p.pixels.end(), topDown.begin() + y * w, topDown.begin() + (y + 1) * w);
  return TgaFile(p);
}

// 2 x 2 at 24 bits: top row red, green; bottom row blue, white.
BmpPicture Colours24() { return BmpPicture(2, 2, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}); }
Bytes Bmp(const BmpPicture& p) { return widget_test::WriteBmp(p); }

// Every pixel, rows top down.
std::vector<uint32_t> All(const K_Dib& d) {
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < d.Height(); ++y)
    for (int32_t x = 0; x < d.Width(); ++x) out.push_back(d.GetPixel(x, y));
  return out;
}
using Pixels = std::vector<uint32_t>;

// Other depths and types: LoadTgaFile's table of the two readers.
TEST(K_Dib_ImageTest, TgaRefusesEveryCutFile) {
  const Bytes whole = Tga(3, 2, std::vector<uint32_t>(6, 0x11223344), 2, 32, "id");
  K_Dib_Image img;
  for (size_t cut = 0; cut < whole.size(); ++cut)
    EXPECT_EQ(img.LoadTGAFromBytes(std::span(whole).first(cut)), 0) << cut;
  EXPECT_EQ(kk::GetStatus(), kk::kStatusReadFailed);
  EXPECT_EQ(img.GetBits(), nullptr);
}

TEST(K_Dib_ImageTest, BmpIsReadIntoADibSectionAndGivesBackItsDCs) {
  const gfx_test::GdiBalance balance;
  {
    K_Dib_Image img;
    ASSERT_EQ(img.LoadBMP(Bmp(Colours24()), 16), 1);
    EXPECT_NE(img.GetBitmap(), nullptr);
    balance.Check(1);
    for (const char* fault : {"CreateDIBSection", "CreateCompatibleDC"}) {
      plat::sim::FailNext(fault);
      EXPECT_EQ(img.LoadBMP(Bmp(Colours24()), 32), 0) << fault;
      EXPECT_EQ(img.GetBits(), nullptr) << fault;
      EXPECT_EQ(kk::GetStatus(), kk::kStatusReadFailed) << fault;
    }
  }
  balance.Check();
}

// Several images in one file are read one after another from the same handle.
TEST(K_Dib_ImageTest, TgaFromAnOpenFileStopsJustPastItsPixels) {
  gfx_test::Folder dir("I:\\");
  auto write = [&](const char* name, const Bytes& b) { dir.Put(name, b); };
  Bytes two = Tga(2, 1, {0xFF000001, 0x08000002}, 2, 32, "first");
  const Bytes second = Tga(1, 2, {0x10000003, 0x20000004});
  two.insert(two.end(), second.begin(), second.end());
  write("two.tga", two);
  KFileHandle file;
  ASSERT_TRUE(file.Open("I:\\two.tga", KFileHandle::kRead | KFileHandle::kShareRead));
  K_Dib_Image img;
  ASSERT_EQ(img.LoadTGA(file), 1);
  EXPECT_EQ(All(img), (Pixels{0x1F000001, 0x01000002}));
  ASSERT_EQ(img.LoadTGA(file), 1);
  EXPECT_EQ(All(img), (Pixels{0x02000003, 0x04000004}));
  EXPECT_EQ(img.LoadTGA(file), 0);  // nothing left
  EXPECT_EQ(kk::GetStatus(), kk::kStatusReadFailed);
  EXPECT_EQ(img.GetBits(), nullptr);

  // Sizes a short file cannot hold fail before any pixels are made, as do cut rows.
  write("huge.tga", Tga(0xFFFF, 0xFFFF, {}, 2));
  const Bytes whole = Tga(2, 2, {1, 2, 3, 4});
  write("cut.tga", Bytes(whole.begin(), whole.end() - 3));
  for (const char* name : {"I:\\huge.tga", "I:\\cut.tga"}) {
    KFileHandle f;
    ASSERT_TRUE(f.Open(name, KFileHandle::kRead));
    EXPECT_EQ(img.LoadTGA(f), 0) << name;
    EXPECT_EQ(kk::GetStatus(), kk::kStatusReadFailed) << name;
  }
  KFileHandle closed;
  EXPECT_EQ(img.LoadTGA(closed), 0);
  EXPECT_EQ(kk::GetStatus(), kk::kStatusCannotOpen);
}

}  // namespace k_dib_image_test
