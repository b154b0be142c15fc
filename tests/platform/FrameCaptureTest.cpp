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

TEST_F(FrameCaptureTest, EmptyOrLostSurfacesGiveEmptyPictures) {
  auto dd = MakeDirectDraw();
  ComPtr<IDirectDrawSurface4> primary;
  ASSERT_EQ(MakePrimary(dd.Get(), &primary), DD_OK);
  plat::sim::LoseSurfaces();
  EXPECT_EQ(plat::sim::CaptureSurface(primary.Get()).width, 0);
  EXPECT_FALSE(plat::sim::WritePng(plat::sim::RgbImage{}, (folder_ / "x.png").string()));
}

}  // namespace
