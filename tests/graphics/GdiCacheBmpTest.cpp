// BMP files for the GDI bitmap cache: every header check (beside the sprite library's
// reader's on the same files) refuses without making a GDI object, and 8-bit files
// expand through their palette to 24-bit rows.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "base/ByteReader.h"
#include "graphics/GdiCache.h"
#include "graphics/GraphicsTestKit.h"
#include "graphics/K_Dib_Image.h"
#include "plat/sim_gdi.h"
#include "plat/winuser.h"
#include "widgets/WidgetTestSupport.h"

namespace gdi_cache_bmp_test {

using widget_test::BmpPicture;
using widget_test::WriteBmp;

std::vector<uint8_t> Bmp24(int32_t w, int32_t h) {
  return WriteBmp(BmpPicture(w, h, 24, std::vector<uint32_t>(static_cast<size_t>(w) * static_cast<size_t>(h < 0 ? -h : h), 0x102030)));
}

class GdiCacheBmpTest : public widget_test::DisplayTest {};

// The cache's reader and the sprite library's (K_Dib_Image, read into 32 bits) over the
// same damaged headers of a 3 x 2 24-bit file: the cache refuses without making a GDI
// object.
TEST_F(GdiCacheBmpTest, EveryHeaderCheckOfBothReadersRefusesAndTheLimitsAreAccepted) {
  using Edit = std::function<void(std::vector<uint8_t>&)>;
  auto field32 = [](size_t at, uint32_t v) -> Edit { return [=](std::vector<uint8_t>& b) { StoreU32(b.data() + at, v); }; };
  auto field16 = [](size_t at, uint16_t v) -> Edit { return [=](std::vector<uint8_t>& b) { StoreU16(b.data() + at, v); }; };
  const struct {
    const char* what;
    Edit edit;
    bool cache, image;  // read
  } cases[] = {
      {"the file as written", [](std::vector<uint8_t>&) {}, true, true},
      {"53 bytes", [](std::vector<uint8_t>& b) { b.resize(53); }, false, false},
      {"54 bytes", [](std::vector<uint8_t>& b) { b.resize(54); }, false, false},
      {"magic", [](std::vector<uint8_t>& b) { b[1] = 'X'; }, true, false},  // the cache does not look
      {"info header of 39 bytes", field32(14, 39), false, false},
      {"info header of 12 bytes", field32(14, 12), false, false},
      {"width 0", field32(18, 0), false, false},
      {"width -3", field32(18, static_cast<uint32_t>(-3)), false, false},
      {"width 16385", field32(18, 16385), false, false},
      {"width 2^31 - 1", field32(18, 0x7FFFFFFF), false, false},
      {"height 0", field32(22, 0), false, false},
      {"height 5000", field32(22, 5000), false, false},
      {"height 16385", field32(22, 16385), false, false},
      {"height -16385", field32(22, static_cast<uint32_t>(-16385)), false, false},
      {"height INT32_MIN", field32(22, 0x80000000u), false, false},
      {"pixel offset inside the headers", field32(10, 20), true, false},
      {"rows one byte past the end", field32(10, 55), false, false},
      {"pixel offset past the data", field32(10, 0xFFFFFFF0u), false, false},
      {"offset wrapping 32 bits", field32(10, 0xFFFFFFFFu - 11), false, false},
      {"offset plus rows wrapping 32 bits", [&](std::vector<uint8_t>& b) {
         StoreU32(b.data() + 18, 16384);  // 32-bit rows of 65,536 bytes, 16,384 of them
         StoreU32(b.data() + 22, 16384);
         StoreU16(b.data() + 28, 32);
         StoreU32(b.data() + 10, 0xC0000000u);
       }, false, false},
      {"1 bit", field16(28, 1), false, false},
      {"2 bits", field16(28, 2), false, false},
      {"4 bits", field16(28, 4), false, false},
      {"12 bits", field16(28, 12), false, false},
      {"15 bits", field16(28, 15), false, false},
      {"run-length compression", field32(30, BI_RLE8), false, false},
      {"bit fields at 24 bits", field32(30, BI_BITFIELDS), false, false},
      {"bit fields without their masks", [&](std::vector<uint8_t>& b) {
         StoreU16(b.data() + 28, 16);
         StoreU32(b.data() + 30, BI_BITFIELDS);
         StoreU32(b.data() + 10, 14);  // rows fit, the masks at 54..65 do not
         b.resize(62);
       }, false, false},
      {"masks that are not contiguous", [](std::vector<uint8_t>& b) {
         BmpPicture masks(2, 1, 16, {0, 0}, {0x05, 0x07E0, 0x001F});
         masks.compression = BI_BITFIELDS;
         b = WriteBmp(masks);
       }, true, false},
      {"colours used", field32(46, 2), true, false},
      {"colours important", field32(50, 2), true, false},
      {"a palette running past the data", [](std::vector<uint8_t>& b) { b = WriteBmp(BmpPicture(2, 2, 8, {0, 0, 0, 0}, {0, 0, 0, 0})); }, true, false},  // the cache stops it at the rows
  };
  DeleteObject(CreateBmpBitmap(Bmp24(3, 2)));  // the first bitmap makes the stock objects
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> bytes = Bmp24(3, 2);
    c.edit(bytes);
    GdiBmpImage image;
    EXPECT_EQ(ParseGdiBmp(bytes, image), c.cache);
    const size_t objects = plat::sim::LiveGdiObjects();
    HBITMAP bitmap = CreateBmpBitmap(bytes);
    EXPECT_EQ(bitmap != nullptr, c.cache);
    DeleteObject(bitmap);
    EXPECT_EQ(plat::sim::LiveGdiObjects(), objects);
    K_Dib_Image dib;
    EXPECT_EQ(dib.LoadBMP(bytes, 32), c.image ? 1 : 0);
    EXPECT_EQ(dib.GetBits() != nullptr, c.image);
  }
  // The limits themselves are accepted: width 16384, height -16384, rows ending at the
  // last byte, one row top-down.
  for (const auto& [w, h] : std::vector<std::pair<int32_t, int32_t>>{{16384, 1}, {1, -16384}, {3, 2}, {1, -1}}) {
    HBITMAP bm = CreateBmpBitmap(Bmp24(w, h));
    EXPECT_NE(bm, nullptr) << w << " x " << h;
    DeleteObject(bm);
  }
}

TEST_F(GdiCacheBmpTest, EightBitRowsExpandToTwentyFourBitsThroughThePalette) {
  // 3 x 2, bottom-up in the file; index 7 lies past the 4-entry palette.
  const std::vector<uint8_t> bytes =
      WriteBmp(BmpPicture(3, 2, 8, {0, 1, 2, 3, 7, 0}, {0x112233, 0x445566, 0x778899, 0xAABBCC}));
  GdiBmpImage image;
  ASSERT_TRUE(ParseGdiBmp(bytes, image));
  const BITMAPINFOHEADER& h = image.info.header;
  EXPECT_EQ(h.biBitCount, 24);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biSizeImage, 2u * 12u);  // (3 x 24 + 7) / 8 = 9, rounded to 12
  ASSERT_EQ(image.bits.size(), 24u);
  const std::vector<uint8_t> rows(image.bits.begin(), image.bits.end());
  const std::vector<uint8_t> expected = {
      0xCC, 0xBB, 0xAA, 0, 0, 0, 0x33, 0x22, 0x11, 0, 0, 0,        // bottom row first: 3, 7, 0
      0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0x99, 0x88, 0x77, 0, 0, 0,  // top row: 0, 1, 2
  };
  EXPECT_EQ(rows, expected);
}

TEST_F(GdiCacheBmpTest, PaletteIsReadAfterTheInfoHeaderAndStopsAtThePixels) {
  BmpPicture large(2, 1, 8, {0, 1}, {0x010203, 0x040506});
  large.infoSize = 124;
  GdiBmpImage image;
  ASSERT_TRUE(ParseGdiBmp(WriteBmp(large), image));
  EXPECT_EQ(std::vector<uint8_t>(image.bits.begin(), image.bits.begin() + 6),
            (std::vector<uint8_t>{0x03, 0x02, 0x01, 0x06, 0x05, 0x04}));

  // The pixel offset cuts the table after one entry: index 1 is then black.
  std::vector<uint8_t> cut = WriteBmp(BmpPicture(2, 1, 8, {0, 1}, {0x010203, 0x040506}));
  StoreU32(cut.data() + 10, 54 + 4);
  cut[58] = 0;
  cut[59] = 1;
  ASSERT_TRUE(ParseGdiBmp(cut, image));
  EXPECT_EQ(std::vector<uint8_t>(image.bits.begin(), image.bits.begin() + 6),
            (std::vector<uint8_t>{0x03, 0x02, 0x01, 0, 0, 0}));
}

}  // namespace gdi_cache_bmp_test
