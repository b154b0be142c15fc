// The seeds of the picture-entry fuzz targets are the test writers' files: this checks
// the committed ones are current, and rewrites them with DORVIK_WRITE_CORPUS=1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/PictureFileWriters.h"

namespace {

using namespace testing_support;
using Seeds = std::vector<std::pair<std::string, Bytes>>;

Seeds TgaSeeds() {
  TgaPicture p;
  p.width = 3;
  p.height = 2;
  p.pixels = {0xFF102030, 0x00405060, 0x80FFFFFF, 0xFF000000, 0x7F7F7F7F, 0x01020304};
  Seeds seeds{{"rgba32", TgaFile(p)}};
  TgaPicture rgb = p;
  rgb.depth = 24;
  rgb.id = "id";
  seeds.emplace_back("rgb24-with-id", TgaFile(rgb));
  TgaPicture grey = p;
  grey.type = 3;
  grey.depth = 8;
  seeds.emplace_back("grey8", TgaFile(grey));
  TgaPicture mapped = p;
  mapped.colourMapType = 1;
  mapped.colourMapLength = 2;
  mapped.descriptor = 0x28;
  seeds.emplace_back("colour-map-skipped", TgaFile(mapped));
  TgaPicture cut = p;
  cut.cut = 5;
  seeds.emplace_back("truncated", TgaFile(cut));
  return seeds;
}

void CheckSeeds(const std::string& target, const Seeds& seeds) {
  const char* source = std::getenv("DORVIK_SOURCE_DIR");
  ASSERT_NE(source, nullptr) << "DORVIK_SOURCE_DIR is set by CTest";
  const std::filesystem::path dir = std::filesystem::path(source) / "fuzz" / "corpus" / target;
  const bool write = std::getenv("DORVIK_WRITE_CORPUS") != nullptr;
  for (const auto& [name, bytes] : seeds) {
    if (write) {
      std::filesystem::create_directories(dir);
      std::ofstream(dir / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::ifstream in(dir / name, std::ios::binary);
    const Bytes committed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(committed, bytes) << target << "/" << name << " is stale: rerun with DORVIK_WRITE_CORPUS=1";
  }
}

TEST(PictureFuzzSeeds, CommittedSeedsAreTheWritersFiles) { CheckSeeds("tga_entry", TgaSeeds()); }

}  // namespace
