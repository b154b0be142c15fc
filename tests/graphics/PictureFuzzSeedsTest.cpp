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

Seeds SidecarSeeds() {
  std::vector<VtiLayer> layers = {
      {3, 2, -4, 5, 500, "0.5", {0xFF102030, 0x00FFFFFF, 0x80405060, 0xFFFFFFFF, 0xFF102030, 0xFF102030}},
      {0, 3, 0, 0, 0, "", {}},
      {2, 1, 1, 1, 200, "frame1", {0x00000000, 0x01020304}},
  };
  Seeds seeds{{"three-layers", VtiFile(layers)}};
  VtiDamage overrun;
  overrun.overrun = 9;
  seeds.emplace_back("runs-past-channel-end", VtiFile(layers, "200304052307250", 201, overrun));
  VtiDamage cut;
  cut.cut = 3;
  seeds.emplace_back("truncated", VtiFile(layers, "0", 255, cut));
  seeds.emplace_back("no-layers", VtiFile({}));
  return seeds;
}

PsdDesc SeedPsd() {
  PsdDesc psd;
  psd.width = 16;
  psd.height = 8;
  psd.guides = {{3 * 32, false}, {2 * 32, true}};
  PsdLayerDesc raw;
  raw.left = 4, raw.top = 3, raw.right = 8, raw.bottom = 5;
  raw.name = "0.3";
  raw.pixels = {0xFF0000FF, 0xFF0000FF, 0x00000000, 0x80808080, 0xFFFFFFFF, 0, 0, 0x12345678};
  PsdLayerDesc packed = raw;
  packed.packBits = true;
  packed.name = "frame";
  PsdLayerDesc opaque = raw;
  opaque.alpha = false;
  opaque.extraChannels = {-2};
  opaque.name = "";
  psd.layers = {raw, packed, opaque};
  return psd;
}

Seeds PsdSeeds() {
  PsdDesc psd = SeedPsd();
  Seeds seeds{{"raw-packbits-no-alpha", PsdFile(psd)}};
  PsdDesc negative = psd;
  negative.negativeLayerCount = true;
  negative.guides.clear();
  seeds.emplace_back("negative-count-no-guides", PsdFile(negative));
  PsdDesc cut = psd;
  cut.cut = 40;
  seeds.emplace_back("truncated", PsdFile(cut));
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

TEST(PictureFuzzSeeds, CommittedSeedsAreTheWritersFiles) {
  CheckSeeds("tga_entry", TgaSeeds());
  CheckSeeds("psd_sidecar", SidecarSeeds());
  CheckSeeds("psd_layers", PsdSeeds());
}

}  // namespace
