#include <gtest/gtest.h>

#include <png.h>

#include <unistd.h>

#include <filesystem>

#include "DirectDrawTestSupport.h"
#include "plat/sim.h"

namespace {

using namespace ddraw_test;

class FrameCaptureTest : public DirectDrawTest {
 protected:
  void SetUp() override {
    DirectDrawTest::SetUp();
    folder_ = std::filesystem::temp_directory_path() / ("dorvik-frames-" + std::to_string(::getpid()));
    plat::sim::SetFrameFolder(folder_.string());
  }
  void TearDown() override {
    plat::sim::SetFrameFolder("");
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
    DirectDrawTest::TearDown();
  }
  std::filesystem::path folder_;
};

TEST_F(FrameCaptureTest, SurfacesReadBackAsRgbWithFullRangeChannelsAndLostOnesAsNothing) {
  const std::tuple<DisplayFormat, uint32_t, uint32_t, uint32_t, uint8_t, uint8_t, uint8_t> rows[] = {
      // format, white, red, a mid grey or colour, and that colour read back
      {DisplayFormat::Rgb565, 0xFFFF, 0xF800, 0x8410, 0x84, 0x82, 0x84},
      {DisplayFormat::Rgb555, 0x7FFF, 0x7C00, 0x4210, 0x84, 0x84, 0x84},
      {DisplayFormat::Xrgb8888, 0xFFFFFFFF, 0x00FF0000, 0x00123456, 0x12, 0x34, 0x56},
  };
  for (auto [format, white, red, mid, midR, midG, midB] : rows) {
    plat::sim::ResetDisplay(format);
    auto dd = MakeDirectDraw();
    ComPtr<IDirectDrawSurface4> s;
    ASSERT_EQ(MakeOffscreen(dd.Get(), 3, 1, &s), DD_OK);
    WritePixels(s.Get(), {white, red, mid});
    const plat::sim::RgbImage image = plat::sim::CaptureSurface(s.Get());
    ASSERT_EQ(image.width, 3);
    EXPECT_EQ(image.rgb, (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, midR, midG, midB}));
  }
  auto dd = MakeDirectDraw();
  ComPtr<IDirectDrawSurface4> primary;
  ASSERT_EQ(MakePrimary(dd.Get(), &primary), DD_OK);
  plat::sim::LoseSurfaces();
  EXPECT_EQ(plat::sim::CaptureSurface(primary.Get()).width, 0);
}

TEST_F(FrameCaptureTest, HashDependsOnSizeAndEveryByte) {
  plat::sim::RgbImage a{2, 1, {1, 2, 3, 4, 5, 6}};
  plat::sim::RgbImage wide{1, 2, a.rgb};
  plat::sim::RgbImage changed = a;
  changed.rgb[5] = 7;
  EXPECT_EQ(plat::sim::HashImage(a), plat::sim::HashImage(a));
  EXPECT_EQ(plat::sim::HashImage(a).size(), 16u);
  EXPECT_NE(plat::sim::HashImage(a), plat::sim::HashImage(wide));
  EXPECT_NE(plat::sim::HashImage(a), plat::sim::HashImage(changed));
}

TEST_F(FrameCaptureTest, MismatchLeavesActualAndExpectedPicturesBehind) {
  plat::sim::RgbImage image{2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}};
  const std::string hash = plat::sim::HashImage(image);
  auto ok = plat::sim::CheckFrame(image, "same", hash);
  EXPECT_TRUE(ok.matches);
  EXPECT_TRUE(ok.actualPath.empty());

  const auto expected = folder_ / "golden.png";
  std::filesystem::create_directories(folder_);
  ASSERT_TRUE(plat::sim::WritePng(image, expected.string()));
  image.rgb[0] = 0;
  auto bad = plat::sim::CheckFrame(image, "changed", hash, expected.string());
  EXPECT_FALSE(bad.matches);
  EXPECT_NE(bad.actualHash, hash);
  EXPECT_EQ(bad.actualPath, (folder_ / "changed.actual.png").string());
  EXPECT_EQ(bad.expectedPath, (folder_ / "changed.expected.png").string());

  // The written file decodes to the same pixels.
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&png, bad.actualPath.c_str()));
  png.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
  ASSERT_TRUE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(pixels, image.rgb);
  EXPECT_FALSE(plat::sim::WritePng(plat::sim::RgbImage{}, (folder_ / "x.png").string())) << "an empty picture";
}

}  // namespace
