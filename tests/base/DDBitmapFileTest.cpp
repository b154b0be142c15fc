#include "base/DDBitmapFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "base/ByteReader.h"
#include "base/DDSurfacePixel.h"
#include "support/FencedBuffer.h"
#include "support/TempDir.h"
#include "widgets/WidgetTestSupport.h"

namespace widget_test {
namespace {

class DDBitmapFileTest : public DisplayTest {
 protected:
  // Parses from a copy whose last byte sits right before a guard page, so a read past
  // the file faults in every build.
  HRESULT Parse(const std::vector<uint8_t>& bytes, DDSurface& out) {
    if (bytes.empty()) return ParseBmpToSurface(dd_, out, {});
    testing_support::FencedBuffer fenced(1, static_cast<int32_t>(bytes.size()));
    std::memcpy(fenced.Bits(), bytes.data(), bytes.size());
    return ParseBmpToSurface(dd_, out, std::span<const uint8_t>(fenced.Bits(), bytes.size()));
  }
  std::vector<uint32_t> Load(const BmpPicture& pic) {
    DDSurface s;
    EXPECT_EQ(Parse(WriteBmp(pic), s), S_OK);
    return s ? ReadPixels(s) : std::vector<uint32_t>{};
  }
};

BmpPicture Pic(int32_t w, int32_t h, uint16_t bits, std::vector<uint32_t> px, std::vector<uint32_t> table = {},
               uint32_t infoSize = 40, uint32_t compression = 0) {
  BmpPicture pic(w, h, bits, std::move(px), std::move(table));
  pic.infoSize = infoSize;
  pic.compression = compression;
  return pic;
}

TEST_F(DDBitmapFileTest, EveryDepthLoadsUprightInTheDesktopsFormat) {
  using F = DisplayFormat;
  struct Case { const char* what; F format; BmpPicture pic; std::vector<uint32_t> expected; };
  const std::vector<uint32_t> rgb = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};
  const BmpPicture four = Pic(3, 2, 4, {1, 2, 3, 3, 2, 1}, {0, 0x112233, 0x445566, 0x778899});
  const Case cases[] = {
      {"24 bits, rows padded to words", F::Xrgb8888, Pic(3, 2, 24, rgb), rgb},
      {"24 bits on 5-5-5", F::Rgb555, Pic(1, 1, 24, {0xFFFFFF}), {0x7FFF}},
      {"24 bits on 5-6-5", F::Rgb565, Pic(1, 1, 24, {0xFFFFFF}), {0xFFFF}},
      {"24 bits, padded pitch on 5-6-5", F::Rgb565, Pic(3, 1, 24, {0xFF0000, 0x00FF00, 0x0000FF}),
       {0xF800, 0x07E0, 0x001F}},
      {"32 bits on 5-6-5", F::Rgb565, Pic(1, 1, 32, {0xFF8040}), {0xFC08}},
      {"32 bits on 5-5-5", F::Rgb555, Pic(1, 1, 32, {0x08F810}), {0x07E2}},
      // The three masks ride in a longer header; they are ignored.
      {"bit fields", F::Xrgb8888, Pic(1, 1, 32, {0xABCDEF}, {}, 52, 3), {0xABCDEF}},
      {"16 bits white", F::Xrgb8888, Pic(1, 1, 16, {0x7FFF}), {0xFFFFFF}},
      {"16 bits grey", F::Xrgb8888, Pic(1, 1, 16, {0x3DEF}), {0x787878}},
      {"16 bits on 5-5-5", F::Rgb555, Pic(1, 1, 16, {0x7ACE}), {0x7ACE}},
      // On 5-6-5: red << 11 | green << 6 | blue.
      {"16 bits on 5-6-5", F::Rgb565, Pic(1, 1, 16, {(21u << 10) | (9u << 5) | 30u}), {(21u << 11) | (9u << 6) | 30u}},
      {"16 bits bottom-up", F::Rgb555, Pic(2, 3, 16, {1, 2, 3, 4, 5, 6}), {1, 2, 3, 4, 5, 6}},
      {"16 bits top-down", F::Rgb555, Pic(2, -3, 16, {1, 2, 3, 4, 5, 6}), {1, 2, 3, 4, 5, 6}},
      {"8 bits", F::Rgb565, Pic(2, 1, 8, {2, 1}, {0x000000, 0xFF0000, 0x00FF00}), {0x07E0, 0xF800}},
      {"8 bits, index past the table is black", F::Xrgb8888, Pic(3, 1, 8, {1, 2, 200}, {0xFFFFFF, 0x808080}),
       {0x808080, 0, 0}},
      {"8 bits, longer header moves the table", F::Xrgb8888, Pic(2, 1, 8, {1, 0}, {0x0000FF, 0x00FF00}, 124),
       {0x00FF00, 0x0000FF}},
      // Odd width: the last byte of a row holds one pixel, in its high nibble.
      {"4 bits", F::Xrgb8888, four, {0x112233, 0x445566, 0x778899, 0x778899, 0x445566, 0x112233}},
      {"2 bits are blank", F::Xrgb8888, Pic(9, 2, 2, std::vector<uint32_t>(18, 1), {0xFFFFFF, 0xFFFFFF}),
       std::vector<uint32_t>(18, 0)},
      {"1 bit is blank", F::Xrgb8888, Pic(9, 2, 1, std::vector<uint32_t>(18, 1), {0xFFFFFF, 0xFFFFFF}),
       std::vector<uint32_t>(18, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    UseDesktop(c.format);
    EXPECT_EQ(Load(c.pic), c.expected);
  }
  // The writer's own layout, so that it and the parser cannot share a mistake: the
  // bottom row first, and the first pixel of a byte in its high nibble.
  EXPECT_EQ(LoadU16(WriteBmp(Pic(2, 3, 16, {1, 2, 3, 4, 5, 6})).data() + 54 + 2 * 4), 1);
  EXPECT_EQ(LoadU16(WriteBmp(Pic(2, -3, 16, {1, 2, 3, 4, 5, 6})).data() + 54), 1);
  EXPECT_EQ(WriteBmp(four)[54 + 16], 0x32);
  EXPECT_EQ(WriteBmp(Pic(3, 2, 24, rgb)).size(), 54u + 2 * 12);
}

// A valid 2 x 2 8-bit file with a two-entry table, changed one field at a time.
std::vector<uint8_t> Base() {
  BmpPicture pic{2, 2, 8};
  pic.palette = {0x000000, 0xFFFFFF};
  pic.pixels = {0, 1, 1, 0};
  return WriteBmp(pic);
}

std::vector<uint8_t> With(size_t offset, uint32_t value, int bytes = 4) {
  std::vector<uint8_t> b = Base();
  for (int i = 0; i < bytes; ++i) b[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  return b;
}

TEST_F(DDBitmapFileTest, TruncatedAndLyingHeadersAreRefusedAndTableClaimsBoundedByThePixelOffset) {
  const std::vector<uint8_t> base = Base();
  struct Case { const char* what; std::vector<uint8_t> bytes; };
  const Case cases[] = {
      {"empty", {}}, {"shorter than the headers", std::vector<uint8_t>(base.begin(), base.begin() + 53)},
      {"pixels cut short", std::vector<uint8_t>(base.begin(), base.end() - 1)}, {"info size 39", With(14, 39)},
      {"info size past the file", With(14, 0x7FFFFFF0)}, {"width 0", With(18, 0)},
      {"width negative", With(18, 0xFFFFFFFF)}, {"width 16385", With(18, 16385)}, {"height 0", With(22, 0)},
      {"height 16385", With(22, 16385)}, {"height -16385", With(22, static_cast<uint32_t>(-16385))},
      {"height INT32_MIN", With(22, 0x80000000u)}, {"3 bits", With(28, 3, 2)}, {"0 bits", With(28, 0, 2)},
      {"64 bits", With(28, 64, 2)}, {"RLE8", With(30, 1)}, {"RLE4", With(30, 2)}, {"JPEG", With(30, 4)},
      {"pixel offset past the end", With(10, 0xFFFFFFF0)}, {"rows past the end", With(22, 3)},
      {"wide rows past the end", With(18, 16384)},
  };
  for (const Case& c : cases) {
    DDSurface s;
    EXPECT_EQ(Parse(c.bytes, s), S_FALSE) << c.what;
    EXPECT_FALSE(s) << c.what;
  }
  UseDesktop(DisplayFormat::Xrgb8888);
  // An offset into the colour table counts only the entries before it; offset 0 reads
  // the pixels from the file's start with an empty table. All black, no fault.
  for (uint32_t offset : {54u + 4, 0u}) {
    DDSurface s;
    ASSERT_EQ(Parse(With(10, offset), s), S_OK);
    EXPECT_EQ(ReadPixels(s), std::vector<uint32_t>(4, 0)) << offset;
  }
}

// The fuzz target's seeds: one file per depth, a top-down file and a long header.
std::map<std::string, BmpPicture> SeedPictures() {
  std::map<std::string, BmpPicture> seeds;
  seeds["rgb1.bmp"] = {9, 2, 1, {0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}, {0, 0xFFFFFF}};
  seeds["rgb4.bmp"] = {3, 2, 4, {1, 2, 3, 3, 2, 1}, {0, 0x112233, 0x445566, 0x778899}};
  seeds["rgb8.bmp"] = {2, 2, 8, {0, 1, 2, 200}, {0xFF0000, 0x00FF00, 0x0000FF}};
  seeds["rgb16.bmp"] = {2, 2, 16, {0x7FFF, 0x3DEF, 0x001F, 0x7C00}};
  seeds["rgb24.bmp"] = {3, 2, 24, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0xFFFFFF}};
  seeds["rgb32.bmp"] = {2, 1, 32, {0xABCDEF, 0x123456}};
  seeds["topdown24.bmp"] = {2, -2, 24, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF}};
  seeds["v5header8.bmp"] = {2, 1, 8, {1, 0}, {0x0000FF, 0x00FF00}};
  seeds["v5header8.bmp"].infoSize = 124;
  return seeds;
}

TEST_F(DDBitmapFileTest, CommittedFuzzSeedsAreTheWritersFilesAndLoad) {
  const char* source = std::getenv("DORVIK_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "DORVIK_SOURCE_DIR is set by CTest";
  const std::filesystem::path dir = std::filesystem::path(source) / "fuzz" / "corpus" / "bmp_surface";
  const bool write = std::getenv("DORVIK_WRITE_CORPUS") != nullptr;
  UseDesktop(DisplayFormat::Rgb565);
  for (const auto& [name, pic] : SeedPictures()) {
    const std::vector<uint8_t> bytes = WriteBmp(pic);
    if (write) {
      std::filesystem::create_directories(dir);
      std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                        static_cast<std::streamsize>(bytes.size()));
    }
    std::ifstream in(dir / name, std::ios::binary);
    const std::vector<uint8_t> committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(committed, bytes) << name << " is stale: rerun with DORVIK_WRITE_CORPUS=1";
    DDSurface s;
    EXPECT_EQ(Parse(bytes, s), S_OK) << name;
  }
}

TEST_F(DDBitmapFileTest, FileLoadsThroughTheLayersOpener) {
  BmpPicture pic{2, 2, 24};
  pic.pixels = {0x112233, 0x445566, 0x778899, 0xAABBCC};
  const std::vector<uint8_t> bytes = WriteBmp(pic);
  testing_support::TempDir dir;
  dir.Write("pic.bmp", std::string(bytes.begin(), bytes.end()));
  DDSurface s;
  ASSERT_EQ(LoadFileSurface(dd_, s, dir / "pic.bmp"), S_OK);
  EXPECT_EQ(ReadPixels(s), pic.pixels);
  DDSurface again = s;
  EXPECT_EQ(LoadFileSurface(dd_, again, dir / "pic.bmp"), S_FALSE);  // holder already full
  DDSurface none;
  EXPECT_EQ(LoadFileSurface(DDObject(), none, dir / "pic.bmp"), S_FALSE);
}

TEST_F(DDBitmapFileTest, NoDirectDrawOrFullHolderMakesNothing) {
  DDSurface s;
  EXPECT_EQ(ParseBmpToSurface(DDObject(), s, Base()), S_FALSE);
  DDSurface held = MakeSurface(dd_, 1, 1);
  IDirectDrawSurface4* before = held.Get();
  EXPECT_EQ(ParseBmpToSurface(dd_, held, Base()), S_FALSE);
  EXPECT_EQ(held.Get(), before);
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(ParseBmpToSurface(dd_, s, Base()), S_FALSE);
  EXPECT_FALSE(s);
}

}  // namespace
}  // namespace widget_test
