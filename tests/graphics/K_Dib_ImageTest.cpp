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

// A BMP by hand, for headers the writer never makes: fields as given, then `pixels`
// at the offset.
struct BmpSpec {
  int32_t width = 2, height = 2;
  uint16_t bits = 24;
  uint32_t compression = 0, clrUsed = 0;
  Bytes extra;  // masks or palette, after the 40-byte header
  Bytes pixels;
};
Bytes Bmp(const BmpSpec& s) {
  Bytes b;
  ByteWriter o(b);
  const uint32_t off = 54 + uint32_t(s.extra.size());
  o.U8('B'), o.U8('M'), o.U32(off + uint32_t(s.pixels.size())), o.U32(0), o.U32(off);
  o.U32(40), o.U32(uint32_t(s.width)), o.U32(uint32_t(s.height)), o.U16(1), o.U16(s.bits);
  o.U32(s.compression), o.U32(0), o.U32(0), o.U32(0), o.U32(s.clrUsed), o.U32(0);
  o.Bytes(s.extra);
  o.Bytes(s.pixels);
  return b;
}

uint32_t Px(const K_Dib& d, int32_t x, int32_t y) { return d.GetPixel(x, y); }

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

TEST(K_Dib_ImageTest, BmpGivesExactPixelsInEachCode) {
  struct Row {
    int32_t code;
    uint32_t red, green, blue, white;
  };
  const Row rows[] = {
      {16, 0xF800, 0x07E0, 0x001F, 0xFFFF},
      {17, 0x7C00, 0x03E0, 0x001F, 0x7FFF},
      {24, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
      {32, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF},
  };
  for (const Row& r : rows) {
    K_Dib_Image img;
    ASSERT_EQ(img.LoadBMP(Bmp(Colours24()), r.code), 1) << r.code;
    EXPECT_EQ(img.GetBitmapInfo()->FormatCode(), r.code);
    EXPECT_EQ(Px(img, 0, 0), r.red) << r.code;
    EXPECT_EQ(Px(img, 1, 0), r.green) << r.code;
    EXPECT_EQ(Px(img, 0, 1), r.blue) << r.code;
    EXPECT_EQ(Px(img, 1, 1), r.white) << r.code;
  }
}

TEST(K_Dib_ImageTest, BmpDefaultCodeIsTheEffectManagers) {
  K_Dib_Image img;
  DestroyFXManager();
  EXPECT_EQ(img.LoadBMP(Bmp(Colours24()), 0), 0);
  ASSERT_EQ(CreateFXManager(17), 1);
  ASSERT_EQ(img.LoadBMP(Bmp(Colours24()), 0), 1);
  EXPECT_EQ(img.GetBitmapInfo()->FormatCode(), 17);
  DestroyFXManager();
}

TEST(K_Dib_ImageTest, DamagedBmpHeadersAreRefused) {
  const Bytes good = Bmp(Colours24());
  K_Dib_Image img;
  ASSERT_EQ(img.LoadBMP(good, 32), 1);
  auto refused = [&](const Bytes& b) { return img.LoadBMP(b, 32) == 0 && img.GetBits() == nullptr; };
  auto patched = [&](size_t at, uint32_t v) {
    Bytes b = good;
    StoreU32(&b[at], v);
    return b;
  };
  EXPECT_TRUE(refused(Bytes(good.begin(), good.begin() + 54)));  // not more than 54 bytes
  Bytes magic = good;
  magic[1] = 'X';
  EXPECT_TRUE(refused(magic));
  EXPECT_TRUE(refused(patched(10, 0xFFFFFFF0)));  // pixel offset past the data
  EXPECT_TRUE(refused(patched(10, 20)));          // pixel offset inside the headers
  EXPECT_TRUE(refused(patched(14, 12)));          // header too small
  EXPECT_TRUE(refused(patched(18, 0)));           // width 0
  EXPECT_TRUE(refused(patched(22, 0)));           // height 0
  EXPECT_TRUE(refused(patched(22, 5000)));        // rows past the end of a tiny file
  EXPECT_TRUE(refused(patched(18, 0x7FFFFFFF)));  // huge width
  EXPECT_TRUE(refused(patched(22, 0x80000000)));  // most negative height
  EXPECT_TRUE(refused(patched(30, 1)));           // run-length compression
  EXPECT_TRUE(refused(patched(46, 2)));           // colours used
  EXPECT_TRUE(refused(patched(50, 2)));           // colours important
  Bytes depth = good;
  StoreU16(&depth[28], 12);
  EXPECT_TRUE(refused(depth));
  // A palette that would run past the data.
  BmpSpec pal;
  pal.bits = 8;
  pal.extra.assign(16, 0);
  EXPECT_TRUE(refused(Bmp(pal)));
  // Masks that are not contiguous, or missing.
  BmpSpec masks;
  masks.bits = 16, masks.compression = 3, masks.height = 1;
  masks.extra = {0x05, 0, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  masks.pixels = {0, 0, 0, 0};
  EXPECT_TRUE(refused(Bmp(masks)));
  EXPECT_EQ(img.LoadBMP(good, 8), 0);
}

TEST(K_Dib_ImageTest, FileFormsReportTheirStatus) {
  testing_support::TempDir dir;
  plat::sim::MapPathPrefix("I:\\", dir.path());
  K_Dib_Image img;
  ASSERT_EQ(img.Create(4, 2, 16), 1);
  img.PixelAddress(3, 1)[0] = 0x5A;
  ASSERT_EQ(img.SaveBMP("I:\\a.bmp"), 1);
  EXPECT_EQ(kk::GetStatus(), kk::kStatusOk);
  K_Dib_Image back;
  ASSERT_EQ(back.LoadBMPFile("I:\\a.bmp", 16), 1);
  EXPECT_EQ(Px(back, 3, 1), 0x5Au);
  EXPECT_EQ(back.LoadBMPFile("I:\\missing.bmp", 16), 0);
  EXPECT_EQ(kk::GetStatus(), kk::kStatusCannotOpen);
  dir.Write("t.tga", [] {
    const Bytes b = Tga(1, 1, {0xFF010203});
    return std::string(b.begin(), b.end());
  }());
  ASSERT_EQ(back.LoadTGA("I:\\t.tga"), 1);
  EXPECT_EQ(Px(back, 0, 0), 0x1F010203u);
  EXPECT_EQ(back.LoadTGA("I:\\missing.tga"), 0);
  EXPECT_EQ(kk::GetStatus(), kk::kStatusCannotOpen);
  dir.Write("short.tga", "\x00\x00\x02");
  EXPECT_EQ(back.LoadTGA("I:\\short.tga"), 0);
  EXPECT_EQ(kk::GetStatus(), kk::kStatusReadFailed);
  K_Dib_Image empty;
  EXPECT_EQ(empty.SaveBMP("I:\\empty.bmp"), 0);
  plat::sim::ClearPathPrefixes();
}

}  // namespace k_dib_image_test
