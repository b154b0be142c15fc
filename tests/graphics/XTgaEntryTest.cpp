// TGA pictures: the reader's status codes (beside the sprite library's reader's results
// on the same files) and byte order, and the entry's conversion to each screen format
// with the alpha plane. Through the manager: XResEntryMgrPicturesTest.
#include "graphics/XTgaEntry.h"

#include <gtest/gtest.h>

#include "graphics/K_Dib_Image.h"
#include "support/PictureFileWriters.h"
#include "widgets/WidgetTestSupport.h"

namespace xtga_entry_test {

using testing_support::TgaFile;
using testing_support::TgaPicture;
using widget_test::DevicePixel;
using widget_test::DisplayFormat;
using widget_test::ReadPixels;

// A 2 x 2 picture stored bottom row first: bottom row red, green; top row blue, white.
TgaPicture Square(uint8_t depth = 32) {
  TgaPicture p;
  p.depth = depth, p.width = 2, p.height = 2;
  p.pixels = {0x11FF0000, 0x2200FF00, 0x330000FF, 0xFFFFFFFF};
  return p;
}

// The entry's reader and the sprite library's (K_Dib_Image) over the same files.
TEST(LoadTgaFile, StatusCodesAndTheOtherReadersResults) {
  struct Case {
    const char* what;
    TgaPicture picture;
    int32_t status, image;
  };
  auto with = [](auto change) {
    TgaPicture p = Square();
    change(p);
    return p;
  };
  const Case cases[] = {
      {"true colour", Square(), kTgaLoaded, 1},
      {"24 bits", Square(24), kTgaLoaded, 0},
      {"grey", with([](TgaPicture& p) { p.type = 3, p.depth = 8, p.pixels = {1, 2, 3, 4}; }), kTgaLoaded, 0},
      {"grey at 32 bits", with([](TgaPicture& p) { p.type = 3; }), kTgaLoaded, 1},
      {"short header", with([](TgaPicture& p) { p.pixels.clear(), p.cut = 1; }), kTgaReadError, 0},
      {"pixels cut by one byte", with([](TgaPicture& p) { p.cut = 1; }), kTgaReadError, 0},
      {"no pixels at all", with([](TgaPicture& p) { p.pixels.clear(); }), kTgaReadError, 0},
      {"width 0", with([](TgaPicture& p) { p.width = 0; }), kTgaReadError, 0},
      {"negative height", with([](TgaPicture& p) { p.height = -2; }), kTgaReadError, 0},
      {"colour-mapped", with([](TgaPicture& p) { p.type = 1; }), kTgaColourMapped, 0},
      {"above the pixel cap", with([](TgaPicture& p) { p.width = 4096, p.height = 4097, p.pixels.clear(); }),
       kTgaTooLarge, 0},
      // Huge sides announced by a tiny file fail before any pixels are made.
      {"65535 square, no pixels", with([](TgaPicture& p) { p.width = p.height = -1, p.pixels.clear(); }), kTgaReadError, 0},
      {"run-length true colour", with([](TgaPicture& p) { p.type = 10; }), kTgaOtherType, 0},
      {"no image", with([](TgaPicture& p) { p.type = 0; }), kTgaOtherType, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const testing_support::Bytes bytes = TgaFile(c.picture);
    const TgaImage image = LoadTgaFile(bytes);
    EXPECT_EQ(image.status, c.status);
    EXPECT_TRUE(c.status == kTgaLoaded || image.pixels.empty());
    K_Dib_Image dib;
    EXPECT_EQ(dib.LoadTGAFromBytes(bytes), c.image);
  }
  EXPECT_EQ(LoadTgaFile(std::string("Q:\\no\\such.tga")).status, kTgaCannotOpen);
}

TEST(LoadTgaFile, ColourBytesComeOutRedGreenBlueWithTheFourthKeptAfterTheSkippedFields) {
  const TgaImage image = LoadTgaFile(TgaFile(Square()));
  ASSERT_EQ(image.status, kTgaLoaded);
  EXPECT_EQ((std::vector<int>{image.width, image.height, image.depth}), (std::vector<int>{2, 2, 32}));
  EXPECT_EQ(std::vector<uint8_t>(image.pixels.begin(), image.pixels.begin() + 8),
            (std::vector<uint8_t>{0xFF, 0, 0, 0x11, 0, 0xFF, 0, 0x22}));
  // The ID field and a colour map (two bytes an entry) are skipped.
  TgaPicture p = Square();
  p.id = "made by hand";
  p.colourMapType = 1, p.colourMapLength = 3, p.colourMapBits = 15;
  EXPECT_EQ(LoadTgaFile(TgaFile(p)).pixels, image.pixels);
  // Grey pixels are one byte each and left alone.
  TgaPicture grey = Square();
  grey.type = 3, grey.depth = 8, grey.pixels = {1, 2, 3, 4};
  EXPECT_EQ(LoadTgaFile(TgaFile(grey)).pixels, (std::vector<uint8_t>{1, 2, 3, 4}));
}

class XTgaEntryTest : public widget_test::DisplayTest {
 protected:
  HRESULT Convert(const TgaPicture& p) { return entry_.LoadImage(dd_, LoadTgaFile(TgaFile(p))); }
  XTgaEntry entry_;
};

TEST_F(XTgaEntryTest, PacksKnownColoursInEveryScreenFormatTopRowFromTheFileEnd) {
  for (DisplayFormat f : {DisplayFormat::Rgb565, DisplayFormat::Rgb555, DisplayFormat::Xrgb8888}) {
    UseDesktop(f);
    TgaPicture p = Square(24);
    p.descriptor = 0x20;  // claims top row first, and is not believed
    p.pixels = {0x00FF8040, 0x0000FF00, 0x00123456, 0x00FFFFFF};
    ASSERT_EQ(Convert(p), S_OK) << widget_test::FormatName(f);
    const uint32_t mask = f == DisplayFormat::Xrgb8888 ? 0xFFFFFF : 0xFFFF;
    std::vector<uint32_t> got = ReadPixels(entry_.surface);
    for (uint32_t& v : got) v &= mask;
    EXPECT_EQ(got, (std::vector<uint32_t>{DevicePixel(f, 0x12, 0x34, 0x56), DevicePixel(f, 0xFF, 0xFF, 0xFF),
                                          DevicePixel(f, 0xFF, 0x80, 0x40), DevicePixel(f, 0, 0xFF, 0)}))
        << widget_test::FormatName(f);
  }
  // The packings themselves, for colours whose low bits would show a wrong shift.
  UseDesktop(DisplayFormat::Rgb565);
  TgaPicture one = Square(24);
  one.width = one.height = 1;
  one.pixels = {0x00F7FBFF};
  ASSERT_EQ(Convert(one), S_OK);
  EXPECT_EQ(ReadPixels(entry_.surface)[0], 0xF7DFu);  // 11110 111110 11111
  UseDesktop(DisplayFormat::Rgb555);
  ASSERT_EQ(Convert(one), S_OK);
  EXPECT_EQ(ReadPixels(entry_.surface)[0], 0x7BFFu);  // 11110 11111 11111
}

TEST_F(XTgaEntryTest, RefusedPicturesLeaveNoSurface) {
  // Grey, 16- and 8-bit true colour, run-length.
  for (const auto& [type, depth] : std::vector<std::pair<uint8_t, uint8_t>>{{3, 8}, {2, 16}, {2, 8}, {10, 32}}) {
    SCOPED_TRACE(testing::Message() << "type " << int(type) << ", depth " << int(depth));
    ASSERT_EQ(Convert(Square()), S_OK);
    TgaPicture p = Square();
    p.type = type, p.depth = depth, p.pixels = {1, 2, 3, 4};
    EXPECT_EQ(Convert(p), S_FALSE);
    EXPECT_TRUE(!entry_.surface && entry_.hasAlpha == 0 && entry_.alpha.empty());
  }
  for (int fault : {1, 0}) {
    if (fault) plat::sim::FailNext("IDirectDraw4::CreateSurface");
    else UseDesktop(DisplayFormat::Rgb888);  // a screen format pictures are never made in
    EXPECT_EQ(Convert(Square()), S_FALSE);
    EXPECT_FALSE(entry_.surface);
  }
}

}  // namespace xtga_entry_test
