// Damaged headers must be refused without reading past the file (ASan checks the reads).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "GdiFixtures.h"
#include "plat/error.h"
#include "plat/gdi.h"
#include "plat/winuser.h"

using gdi_test::BmpLayout;
using gdi_test::PixelOf;
using gdi_test::TwoByTwo;
using gdi_test::ScratchDir;
using gdi_test::WriteBmp;

namespace {

constexpr UINT kFromFile = LR_LOADFROMFILE | LR_CREATEDIBSECTION;

TEST(BmpLoad, EveryDepthLoadsAsADibSectionOfItsOwnFormat) {
  ScratchDir dir;
  for (uint16_t bpp : {1, 4, 8, 16, 24, 32}) {
    SCOPED_TRACE(bpp);
    const std::string path = dir.Write("t.bmp", WriteBmp(TwoByTwo(bpp)));
    auto bm = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, kFromFile));
    ASSERT_NE(bm, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(bm, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmBitsPixel, bpp);
    EXPECT_NE(ds.dsBm.bmBits, nullptr);
    EXPECT_EQ(PixelOf(bm, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(bm, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(bm, 1, 1), bpp > 1 ? RGB(255, 255, 255) : RGB(0, 255, 0));
    DeleteObject(bm);
  }
}

TEST(BmpLoad, WithoutDibSectionTheBitmapTakesTheDisplayFormatAndSizesStretch) {
  ScratchDir dir;
  BmpLayout s = TwoByTwo(16);
  s.compression = BI_BITFIELDS;
  const uint32_t m565[3] = {0xF800, 0x07E0, 0x001F};
  std::memcpy(s.masks, m565, sizeof(m565));
  const uint16_t v[2] = {0xF81F, 0x07E0};
  std::memcpy(s.pixels.data() + 4, v, 4);  // top row: magenta, green
  auto bm = static_cast<HBITMAP>(LoadImageA(nullptr, dir.Write("m.bmp", WriteBmp(s)).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(bm, nullptr);
  BITMAP b{};
  GetObjectA(bm, sizeof(b), &b);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(b.bmBitsPixel, GetDeviceCaps(screen, BITSPIXEL));
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(PixelOf(bm, 0, 0), RGB(255, 0, 0) | RGB(0, 0, 255));
  DeleteObject(bm);
  bm = static_cast<HBITMAP>(LoadImageA(nullptr, dir.Write("s.bmp", WriteBmp(TwoByTwo(24))).c_str(), IMAGE_BITMAP, 4, 4, kFromFile));
  GetObjectA(bm, sizeof(b), &b);
  EXPECT_EQ(b.bmWidth, 4);
  EXPECT_EQ(PixelOf(bm, 1, 1), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(bm, 3, 3), RGB(255, 255, 255));
  DeleteObject(bm);
}

TEST(BmpLoad, DamagedFilesAreRefusedWithAnError) {
  ScratchDir dir;
  const std::vector<uint8_t> good = WriteBmp(TwoByTwo(24));
  auto patch = [](std::vector<uint8_t> b, size_t at, uint32_t v, size_t bytes = 4) {
    for (size_t i = 0; i < bytes; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
    return b;
  };
  // Bit-field masks must be disjoint runs of bits.
  auto fields = [](std::initializer_list<uint32_t> masks) {
    BmpLayout s = TwoByTwo(16);
    s.compression = BI_BITFIELDS;
    std::copy(masks.begin(), masks.end(), s.masks);
    return WriteBmp(s);
  };
  struct Case { const char* what; std::vector<uint8_t> bytes; DWORD error; } cases[] = {
      {"run-length", patch(WriteBmp(TwoByTwo(8)), 30, BI_RLE8), ERROR_INVALID_DATA},
      {"not a BMP", patch(good, 0, 0x4D42 ^ 0x0101, 2), ERROR_BAD_FORMAT}, {"empty", {}, ERROR_BAD_FORMAT},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 54), ERROR_INVALID_DATA},
      {"pixels cut short", std::vector<uint8_t>(good.begin(), good.end() - 1), ERROR_INVALID_DATA},
      {"offset past the end", patch(good, 10, 0xFFFFFFF0u), ERROR_INVALID_DATA},
      {"offset inside the header", patch(good, 10, 20), ERROR_INVALID_DATA},
      {"huge width", patch(good, 18, 0x7FFFFFFF), ERROR_INVALID_DATA},
      {"negative width", patch(good, 18, 0xFFFFFFFE), ERROR_INVALID_DATA},
      {"zero height", patch(good, 22, 0), ERROR_INVALID_DATA},
      {"height of INT_MIN", patch(good, 22, 0x80000000u), ERROR_INVALID_DATA},
      {"bad depth", patch(good, 28, 7, 2), ERROR_INVALID_DATA},
      {"two planes", patch(good, 26, 2, 2), ERROR_INVALID_DATA},
      {"header size lies", patch(good, 14, 0x10000), ERROR_INVALID_DATA},
      {"core header", patch(good, 14, 12), ERROR_INVALID_DATA},
      {"bitfields on 24 bits", patch(good, 30, BI_BITFIELDS), ERROR_INVALID_DATA},
      {"palette larger than the depth", patch(WriteBmp(TwoByTwo(8)), 46, 257), ERROR_INVALID_DATA},
      {"palette past the end", patch(WriteBmp(TwoByTwo(8)), 46, 0), ERROR_INVALID_DATA},
      {"overlapping masks", fields({0xF800, 0xF800, 0x001F}), ERROR_INVALID_DATA},
      {"empty mask", fields({0, 0x07E0, 0x001F}), ERROR_INVALID_DATA},
      {"mask with a gap", fields({0xF00F, 0x07E0, 0x0010}), ERROR_INVALID_DATA},
      {"mask past the depth", fields({0x1F0000, 0x07E0, 0x1F}), ERROR_INVALID_DATA},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Exact-size heap copies let ASan catch any read past the file.
    const std::string path = dir.Write("bad.bmp", c.bytes);
    SetLastError(0);
    EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, kFromFile), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_EQ(LoadImageA(nullptr, "C:\\no\\such.bmp", IMAGE_BITMAP, 0, 0, kFromFile), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// The fuzz target's seeds are files this writer makes; DORVIK_WRITE_SEEDS=1 rewrites them.
TEST(BmpLoad, FuzzSeedsAreWhatTheWriterMakes) {
  const char* source = std::getenv("DORVIK_SOURCE_DIR");
  if (!source) GTEST_SKIP() << "run under CTest";
  const std::string dir = std::string(source) + "/fuzz/corpus/bmp_read/";
  std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
  for (uint16_t bpp : {1, 4, 8, 16, 24, 32}) seeds.emplace_back("rgb" + std::to_string(bpp) + ".bmp", WriteBmp(TwoByTwo(bpp)));
  BmpLayout fields = TwoByTwo(16);
  fields.compression = BI_BITFIELDS;
  fields.masks[0] = 0xF800, fields.masks[1] = 0x07E0, fields.masks[2] = 0x001F;
  seeds.emplace_back("bitfields16.bmp", WriteBmp(fields));
  BmpLayout v5 = TwoByTwo(32);
  v5.headerSize = 124;
  v5.compression = BI_BITFIELDS;
  v5.masks[0] = 0xFF0000, v5.masks[1] = 0x00FF00, v5.masks[2] = 0x0000FF;
  seeds.emplace_back("v5-bitfields32.bmp", WriteBmp(v5));
  BmpLayout topDown = TwoByTwo(24);
  topDown.height = -2;
  seeds.emplace_back("topdown24.bmp", WriteBmp(topDown));
  const bool write = std::getenv("DORVIK_WRITE_SEEDS") != nullptr;
  for (const auto& [name, bytes] : seeds) {
    SCOPED_TRACE(name);
    if (write) {
      std::ofstream(dir + name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::ifstream in(dir + name, std::ios::binary);
    const std::vector<uint8_t> stored((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(stored, bytes);
  }
}

}  // namespace
